#include "protocol/uci.h"

#include <strings.h>

#include "hash/keys.h"
#include "platform/console.h"
#include "platform/system.h"
#include "protocol/book.h"
#include "protocol/convert.h"
#include "protocol/egtb_bridge.h"
#include "protocol/options.h"
#include "protocol/thread_coup.h"
#include "search/control.h"
#include "search/main_thread_search.h"
#include "search/time_control.h"

const std::string AuthorName = "the Vostrak developers";
const std::string EngineName = "Vostrak 2.9f";

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

}  // namespace

std::string UciIdentity() {
  return "id name " + EngineName + "\n" +
         "id author " + AuthorName + "\n"
         "option name Hash type spin min 1 max 1024 default 32\n"
         "option name NalimovCache type spin min 1 max 1024 default 8\n"
         "option name NalimovPath type string default C:\\Nalimov\n"
         "option name Threads type spin min 1 max 8 default 1\n"
         "option name Ponder type check default false\n"
         "option name Clear Hash type button\n"
         "uciok\n";
}

TUCI::TUCI() {
  ProcessorCount = ProcessorCountOfMachine();
  ThreadsCount = 1;
  InitHashKeys();
  mainSearch_ = std::make_unique<TMainThreadSearch>(*this);
  writeLines(UciIdentity());
  TimeMode = tmFixedDepth;
  ClearHashPending = true;
  MateFound = false;
  SetStartPosition();
  output_ = std::make_unique<TThreadCoup>(mainSearch_->Thread());
  mainSearch_->SetOutput(output_.get());
}

TUCI::~TUCI() {
  if (mainSearch_) StopSearch();
  if (output_) output_->WaitPrinted();
  mainSearch_.reset();
  output_.reset();
}

void TUCI::ResetTimeControl() { TTime::InitAll(); }

bool TUCI::SearchRunning() const { return !mainSearch_->Suspended(); }

void TUCI::StopSearch() {
  StopRequested = true;
  mainSearch_->Checkup_mask = 1;
  // The search clears the flag when it starts, so keep raising it until the
  // thread has really parked.
  do SearchStopped = true;
  while (!mainSearch_->Thread().waitIdleFor(5));
}

void TUCI::Execute() {
  while (!terminated_) {
    command.clear();
    // End of input means the interface is gone: leave as "quit" does.
    if (!ReadLine(command)) command = "quit";
    HandleLine(command);
  }
}

bool TUCI::HandleLine(const std::string& line) {
  if (SearchRunning()) {
    if (line == "ucinewgame" || line == "quit" || line == "stop") StopSearch();
    else if (line != "ponderhit" && line != "isready") return !terminated_;
  }
  try {
    Dispatch(line);
  } catch (const std::exception& error) {
    // A bad argument drops that command alone; the engine goes on serving.
    writeString(ErrorLine(error));
  }
  return !terminated_;
}

void TUCI::Dispatch(const std::string& line) {
  if (line == "stop") {
    StopSearch();
  } else if (line == "isready") {
    if (EGTBCacheChanged || EGTBPathChanged) {
      ReinitTablebases();
      EGTBCacheChanged = EGTBPathChanged = false;
    }
    writeString("readyok");
  } else if (line == "quit") {
    terminated_ = true;
    ReleaseEGTBLibrary();
  } else if (line == "ucinewgame") {
    NewGame();
  } else if (SetOption(line)) {
  } else if (line.compare(0, 8, "position") == 0) {
    Position(line);
  } else if (line.compare(0, 2, "go") == 0) {
    Go(line);
  } else if (line == "test") {
    // The EPD test runner arrives with its own issue.
  } else if (line == "ponderhit") {
    PonderHit();
  }
}

void TUCI::ReinitTablebases() {
  mainSearch_->EGTB.Init();
  mainSearch_->ShareTablebases();
}

void TUCI::NewGame() {
  StopSearch();
  mainSearch_->AllThreadsNil();
  mainSearch_->CreateThreads();
  ReinitTablebases();
  mainSearch_->InitHashClass(HashSizeMB);
  ClearHashPending = true;
  Level = TLevel{};
  SetStartPosition();
}

bool TUCI::SetOption(const std::string& line) {
  if (ContainsNoCase(line, "setoption name hash value")) {
    mainSearch_->InitHashClass(OptionValueInt(line));
  } else if (ContainsNoCase(line, "setoption name NalimovCache value")) {
    const std::int32_t cache = OptionValueInt(line);
    if (cache != NalimovCache) {
      NalimovCache = cache;
      EGTBCacheChanged = true;
    }
  } else if (ContainsNoCase(line, "setoption name NalimovPath value")) {
    const std::string path = OptionValueString(line);
    if (path != NalimovPath) {
      NalimovPath = path;
      EGTBPathChanged = true;
    }
  } else if (ContainsNoCase(line, "setoption name Ponder value")) {
    // Pondering is ordered by "go ponder"; the option only tells the interface.
  } else if (ContainsNoCase(line, "setoption name OwnBook value")) {
    OwnBook = OptionValueBool(line);
    if (!OwnBook) mainSearch_->BOOK.close_book();
  } else if (ContainsNoCase(line, "setoption name Threads value")) {
    SetThreads(OptionValueInt(line));
  } else if (ContainsNoCase(line, "setoption name Clear Hash")) {
    mainSearch_->VideAllHash();
  } else {
    return false;
  }
  return true;
}

void TUCI::SetThreads(std::int32_t count) {
  // Out-of-range values are ignored silently, but the tablebases and the
  // tables are set up again all the same.
  if (std::uint32_t(count) <= ProcessorCount && count >= 1 && count <= MaxThreads) {
    mainSearch_->AllThreadsNil();
    ThreadsCount = count;
    mainSearch_->CreateThreads();
  }
  ReinitTablebases();
  mainSearch_->InitHashClass(HashSizeMB);
}

void TUCI::Position(const std::string& line) {
  const std::string arguments = Trim(line.size() > 9 ? std::string_view(line).substr(9) : std::string_view());
  if (IsNewFen(arguments)) ClearHashPending = true;
  SetupPosition(arguments);
}

void TUCI::Go(const std::string& line) {
  if (line == "go") return;
  ParseGoCommand(Trim(line.size() > 3 ? std::string_view(line).substr(3) : std::string_view()));
}

void WaitForUci() {
  std::string line;
  while (ReadLine(line)) {
    if (EqualsNoCase(line, "uci")) {
      TUCI uci;
      uci.Execute();
      return;
    }
    if (EqualsNoCase(line, "quit")) return;
  }
}

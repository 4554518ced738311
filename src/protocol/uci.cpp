#include "protocol/uci.h"

#include <strings.h>

#include "board/keys.h"
#include "board/move_text.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/system.h"
#include "protocol/bestmove_printer.h"
#include "protocol/convert.h"
#include "protocol/epd_test_run.h"
#include "protocol/go_command.h"
#include "protocol/option_table.h"
#include "protocol/text.h"
#include "search/main_thread_search.h"

const std::string AuthorName = "the Vostrak developers";
const std::string EngineName = "Vostrak 2.9f";

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// Interfaces and client libraries leave blanks, tabs or a carriage return at
// the end of a line; none of them is part of a command. Leading blanks are
// kept: such a line is no command at all.
std::string_view WithoutTrailingBlanks(std::string_view line) {
  const auto last = line.find_last_not_of(" \t\r");
  return last == std::string_view::npos ? std::string_view() : line.substr(0, last + 1);
}

// The handshake word, in any letter case, first or again later.
bool IsUciHello(std::string_view line) { return EqualsNoCase(line, "uci"); }

// A value outside the option's range is refused with a line, never taken silently.
bool ValueAllowed(std::string_view option, std::int32_t value, std::int32_t min, std::int32_t max, std::int32_t kept,
                  std::string_view unit = "") {
  if (value >= min && value <= max) return true;
  WriteInfoString(std::string(option) + " " + std::to_string(value) + " refused: it takes " + std::to_string(min) +
                  " to " + std::to_string(max) + std::string(unit) + "; " + std::to_string(kept) + " kept");
  return false;
}

bool TableSizeAllowed(std::string_view option, std::int32_t sizeMB, std::int32_t kept) {
  return ValueAllowed(option, sizeMB, MinTableMB, MaxTableMB, kept, " MB");
}

}  // namespace

std::string UciIdentity() {
  return "id name " + EngineName + "\n" + "id author " + AuthorName + "\n" + OptionLines() + "uciok\n";
}

TUCI::TUCI(unsigned processors) : processors_(processors) {
  // The book is read from the folder the engine was started in.
  settings_.BookFolder = CurrentDirectory();
  InitHashKeys();
  mainSearch_ = std::make_unique<TMainThreadSearch>(*this, settings_);
  WriteLines(UciIdentity());
  SetStartPosition();
  output_ = std::make_unique<TBestMovePrinter>(mainSearch_->Thread());
  Book = &mainSearch_->OpeningBook;
  mainSearch_->SetOutput([this](TMove best, TMove ponder) { output_->Hand(BestMoveLine(best, ponder)); });
}

TUCI::~TUCI() {
  if (mainSearch_) StopSearch();
  if (output_) output_->WaitPrinted();
  Book = nullptr;
  mainSearch_.reset();
  output_.reset();
}

void TUCI::ResetTimeControl() { mainSearch_->Clock.Forget(); }

std::string TUCI::BestMoveLine(TMove best, TMove ponder) const {
  // A search without a move (no legal move, or stopped before any) says so
  // rather than repeating an older, unrelated answer.
  if (best.IsNone()) return "bestmove 0000";
  std::string line = "bestmove " + MoveText(best);
  if (!ponder.IsNone()) {
    // The ponder move is checked against this board's rules on a copy: the
    // search thread calls this, and must only read the board.
    TProtocolBoard check = *this;
    TMove reply;
    if (check.ExpectedReplyIsLegal(best, ponder, &reply)) line += " ponder " + MoveText(reply);
  }
  return line;
}

bool TUCI::SearchRunning() const { return !mainSearch_->Suspended(); }

void TUCI::StopSearch() { mainSearch_->Stop(); }

void TUCI::Execute() {
  while (!terminated_) {
    command.clear();
    // End of input means the interface is gone: leave as "quit" does.
    if (!ReadLine(command)) command = "quit";
    HandleLine(command);
  }
}

bool TUCI::HandleLine(const std::string& received) {
  const std::string line(WithoutTrailingBlanks(received));
  if (SearchRunning()) {
    if (line == "ucinewgame" || line == "quit" || line == "stop") StopSearch();
    // "uci" again only prints, so it need not wait for the search either.
    else if (line != "ponderhit" && line != "isready" && !IsUciHello(line)) return !terminated_;
  }
  try {
    Dispatch(line);
  } catch (const std::exception& error) {
    // A bad argument drops that command alone; the engine goes on serving.
    WriteInfoString(ErrorLine(error));
  }
  return !terminated_;
}

void TUCI::Dispatch(const std::string& line) {
  if (line == "stop") {
    StopSearch();
  } else if (line == "isready") {
    SetUpChangedTablebases();
    WriteString("readyok");
  } else if (IsUciHello(line)) {
    // A client that lost the first answer asks again; nothing is reset.
    WriteLines(UciIdentity());
  } else if (line == "quit") {
    terminated_ = true;
    mainSearch_->EGTB.Release();
  } else if (line == "ucinewgame") {
    NewGame();
  } else if (SetOption(line)) {
  } else if (line.compare(0, 8, "position") == 0) {
    Position(line);
  } else if (line.compare(0, 2, "go") == 0) {
    Go(line);
  } else if (line == "test") {
    RunEpdTest(*this, *mainSearch_, settings_);
  } else if (line == "ponderhit") {
    mainSearch_->PonderHit();
  }
}

void TUCI::SetUpChangedTablebases() {
  if (!tablebasesChanged_) return;
  ReinitTablebases();
  tablebasesChanged_ = false;
}

void TUCI::ReinitTablebases() { mainSearch_->SetUpTablebases(); }

void TUCI::NewGame() {
  StopSearch();
  mainSearch_->DestroyHelpers();
  mainSearch_->CreateThreads();
  ReinitTablebases();
  mainSearch_->ResizeTables();
  mainSearch_->ClearTablesBeforeNextSearch();
  mainSearch_->ClearAllTables();  // now, rather than on the first move's clock
  level_ = TLevel{};
  SetStartPosition();
}

bool TUCI::SetOption(const std::string& line) {
  const std::optional<TSetOption> request = ReadSetOption(line);
  if (!request) return false;
  // An option the engine does not have is passed over, as UCI asks.
  if (const TOption* option = FindOption(request->name)) ApplyOption(*option, request->value);
  return true;
}

void TUCI::ApplyOption(const TOption& option, const std::string& value) {
  switch (option.id) {
    case TOptionId::Hash: SetHashSize(StrToInt(value)); break;
    case TOptionId::NalimovCache: SetTablebaseCache(StrToInt(value)); break;
    case TOptionId::NalimovPath:
      if (value != settings_.TablebasePath) {
        settings_.TablebasePath = value;
        tablebasesChanged_ = true;
      }
      break;
    case TOptionId::TablebaseLibrary: {
      // Interfaces send an empty string as "<empty>".
      const std::string path = value == "<empty>" ? "" : value;
      if (path == settings_.TablebaseLibrary) break;
      settings_.TablebaseLibrary = path;
      mainSearch_->EGTB.ChooseLibrary(path);
      tablebasesChanged_ = true;
      break;
    }
    case TOptionId::Threads: SetThreads(StrToInt(value)); break;
    case TOptionId::MoveOverhead: settings_.MoveOverhead = StrToIntClamped(value, option.min, option.max); break;
    case TOptionId::MultiPv: {
      const std::int32_t lines = StrToInt(value);
      if (ValueAllowed(option.name, lines, option.min, option.max, settings_.MultiPv)) settings_.MultiPv = lines;
      break;
    }
    case TOptionId::Chess960:
      // Every position set up from now on, and the one on the board, castles
      // by Chess960 rules; the searches take it with the board.
      SetChess960Rules(EqualsNoCase(value, "true"));
      break;
    case TOptionId::Ponder:
      // Pondering is ordered by "go ponder"; the option only tells the interface.
    case TOptionId::AnalyseMode:
      // Analysis is what "go infinite" orders; the mode changes nothing more.
      break;
    case TOptionId::ClearHash: mainSearch_->ClearAllTables(); break;
    case TOptionId::OwnBook: mainSearch_->OpeningBook.SetInUse(value == "true"); break;
  }
}

void TUCI::SetHashSize(std::int32_t sizeMB) {
  if (!TableSizeAllowed("Hash", sizeMB, settings_.HashMB)) return;
  settings_.HashMB = sizeMB;
  mainSearch_->ResizeTables();
}

void TUCI::SetTablebaseCache(std::int32_t sizeMB) {
  if (!TableSizeAllowed("NalimovCache", sizeMB, settings_.TablebaseCacheMB) || sizeMB == settings_.TablebaseCacheMB)
    return;
  settings_.TablebaseCacheMB = sizeMB;
  tablebasesChanged_ = true;
}

void TUCI::SetThreads(std::int32_t count) {
  // A count outside 1..8 is refused (and said so), but the tablebases and
  // the tables are set up again all the same. More threads than processors
  // is the user's choice: it is taken, and said so.
  if (ValueAllowed("Threads", count, 1, MaxThreads, settings_.Threads)) {
    mainSearch_->DestroyHelpers();
    settings_.Threads = count;
    mainSearch_->CreateThreads();
    if (unsigned(count) > processors_)
      WriteInfoString("Threads " + std::to_string(count) + " is more than this machine's " +
                      std::to_string(processors_) + " processors: the threads will take turns on them");
  }
  ReinitTablebases();
  mainSearch_->ResizeTables();
}

void TUCI::Position(const std::string& line) {
  const std::string arguments(Trim(line.size() > 9 ? std::string_view(line).substr(9) : std::string_view()));
  if (IsNewFen(arguments)) {
    mainSearch_->ClearTablesBeforeNextSearch();
    mainSearch_->ClearAllTables();  // now, rather than on the next search's clock
  }
  SetupPosition(arguments);
}

// "go" alone is an order like any other: it searches until "stop".
void TUCI::Go(const std::string& line) {
  // Some interfaces search without ever asking "isready": the tablebases
  // are set up before the first search all the same.
  SetUpChangedTablebases();
  // The clock runs from the order on.
  const std::int64_t orderTick = Ticks();
  const TGoOrder go = ReadGoOrder(Trim(line.size() > 3 ? std::string_view(line).substr(3) : std::string_view()));
  const TSearchOrder order = SearchOrderOf(go, *this, level_, settings_.MultiPv);
  if (order.TimeMode == tmUnlimited) mainSearch_->OpeningBook.CloseBook();
  // The previous search's answer goes out before this search starts.
  if (output_) output_->WaitPrinted();
  mainSearch_->Start(order, orderTick);
}

void WaitForUci() {
  std::string received;
  while (ReadLine(received)) {
    const std::string_view line = WithoutTrailingBlanks(received);
    if (IsUciHello(line)) {
      TUCI uci;
      uci.Execute();
      return;
    }
    if (EqualsNoCase(line, "quit")) return;
  }
}

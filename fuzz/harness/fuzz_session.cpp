#include "fuzz_session.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "board/move_text.h"
#include "board_agreement.h"
#include "search/main_thread_search.h"

namespace {

using std::chrono::steady_clock;

// A search still thinking after this long is stopped as an impatient
// interface would: a search that has run out of depths holds its answer
// until its clock or move time is up, by design. A bounded search takes far
// less, even under the sanitizers.
constexpr auto Patience = std::chrono::milliseconds(250);
// Lines a session serves at most: a longer input adds nothing a shorter one
// would not find, and each line may wait the patience out.
constexpr std::size_t MaxSessionLines = 100;

std::string_view WithoutTrailingBlanks(std::string_view line) {
  const auto last = line.find_last_not_of(" \t\r");
  return last == std::string_view::npos ? std::string_view() : line.substr(0, last + 1);
}

// The command loop takes every line that starts with "go" for a search
// order; a node limit after the order's own words bounds it.
std::string Bounded(std::string_view line) {
  std::string text(WithoutTrailingBlanks(line));
  if (text.starts_with("go")) text += " nodes " + std::to_string(SessionNodeLimit);
  return text;
}

bool IsUciReply(std::string_view line) {
  for (std::string_view start : {"id name ", "id author ", "option name ", "info ", "bestmove "})
    if (line.starts_with(start)) return true;
  return line == "uciok" || line == "readyok";
}

// The line in quotes and what is wrong with it (appended piece by piece:
// g++ 12 warns spuriously about "'" + std::string).
std::string Fault(std::string_view line, std::string_view why) {
  std::string text = "'";
  text.append(line).append("': ").append(why);
  return text;
}

// Plays the move the text names, when it is legal on the board and written
// as the engine writes that move (a promotion with its letter).
bool PlayIfLegal(TProtocolBoard& board, std::string_view text) {
  board.Ply = 0;
  board.ProtocolGenerate();
  TMove parsed;
  const int index = board.ParseCoordMove(text, parsed);
  return index >= 0 && MoveText(board.MoveStack[index].m) == text && board.ProtocolMakeMove(board.MoveStack[index].m);
}

bool HasLegalMove(TProtocolBoard board) {
  board.Ply = 0;
  board.ProtocolGenerate();
  for (int i = 0; i < board.FirstMove[1]; ++i)
    if (board.ProtocolMakeMove(board.MoveStack[i].m)) return true;
  return false;
}

// The moves of "bestmove X [ponder Y]" must be legal on `board`, X first;
// "0000" only where there is no legal move.
std::string CheckAnswer(std::string_view line, TProtocolBoard board) {
  const std::string_view rest = line.substr(9);
  const std::size_t blank = rest.find(' ');
  const std::string_view best = rest.substr(0, blank);
  if (best == "0000") return HasLegalMove(board) ? Fault(line, "no move where one is legal") : std::string();
  if (!PlayIfLegal(board, best)) return Fault(line, "the move is not legal");
  if (blank == std::string_view::npos) return {};
  const std::string_view ponder = rest.substr(blank + 1);
  if (!ponder.starts_with("ponder ")) return Fault(line, "unknown words after the move");
  if (!PlayIfLegal(board, ponder.substr(7))) return Fault(line, "the ponder move is not legal");
  return {};
}

}  // namespace

std::vector<std::string_view> InputLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

TFuzzSession::TFuzzSession() {
  capture_ = std::make_unique<OutputCapture>();
  engine_ = std::make_unique<TUCI>();
  // The tables are kept small so that sessions are quick.
  engine_->HandleLine("setoption name Hash value 1");
}

void TFuzzSession::WaitUntilSettled() {
  TMainThreadSearch& search = engine_->MainSearch();
  const auto start = steady_clock::now();
  bool stopped = false;
  // A ponder or infinite search waits for "ponderhit" or "stop" by design.
  while (!search.Suspended() && !search.Clock.Pondering() && search.Order().TimeMode != tmUnlimited) {
    if (!stopped && steady_clock::now() - start > Patience) {
      engine_->HandleLine("stop");
      stopped = true;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

bool TFuzzSession::Send(std::string_view line) {
  if (quit_) return false;
  // The engine's EPD test mode asks its own questions on standard input and
  // writes files: it is not for a session.
  if (WithoutTrailingBlanks(line) == "test") return true;
  TMainThreadSearch& search = engine_->MainSearch();
  const bool idle = search.Suspended();
  // Only a search's start sets a node limit: an order without one, put in
  // place while the engine is idle, tells whether the line started one.
  if (idle) search.TakeOrder(TSearchOrder{});
  const TProtocolBoard before = *engine_;
  quit_ = !engine_->HandleLine(Bounded(line));
  if (idle && search.Order().NodeLimit != 0) searched_.push_back(before);
  if (!quit_) WaitUntilSettled();
  return !quit_;
}

void TFuzzSession::SendLines(std::string_view text) {
  const std::vector<std::string_view> lines = InputLines(text);
  for (std::size_t i = 0; i < std::min(lines.size(), MaxSessionLines); ++i)
    if (!Send(lines[i])) return;
}

std::string TFuzzSession::Finish() {
  if (!quit_) engine_->HandleLine("quit");
  quit_ = true;
  const std::string key = CheckProtocolKey(*engine_);
  engine_.reset();  // waits until the last answer is printed
  const std::string output = capture_->Text();
  capture_.reset();
  if (!key.empty()) return key;
  std::size_t answers = 0;
  for (std::string_view line : InputLines(output)) {
    if (!IsUciReply(line)) return Fault(line, "not a UCI reply");
    if (!line.starts_with("bestmove ")) continue;
    if (answers >= searched_.size()) return Fault(line, "more answers than searches");
    const std::string fault = CheckAnswer(line, searched_[answers++]);
    if (!fault.empty()) return fault;
  }
  if (answers != searched_.size())
    return std::to_string(searched_.size()) + " searches but " + std::to_string(answers) + " answers";
  return {};
}

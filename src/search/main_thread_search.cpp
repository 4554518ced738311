#include "search/main_thread_search.h"

#include "protocol/move_text.h"
#include "protocol/thread_coup.h"

TMainThreadSearch::TMainThreadSearch(TProtocolBoard& source)
    : TThreadSearch(1), Source(source), worker_(std::make_unique<Worker>([this] { Execute(); })) {}

TMainThreadSearch::~TMainThreadSearch() { worker_.reset(); }

void TMainThreadSearch::CopyMain() {
  static_cast<TThreadConsole&>(*this) = Source;
}

void TMainThreadSearch::Think() {
  // The search itself arrives with the search issue; until then a search
  // finds no move.
  Best = TBest{};
}

std::string TMainThreadSearch::BestMoveLine() const {
  // A search without a move (no legal move, or stopped before any) says so
  // rather than repeating an older, unrelated answer.
  if (Best.m.IsNone()) return "bestmove 0000";
  std::string line = "bestmove " + move_str(Best.m);
  if (!CoupAttendu.IsNone()) {
    // The ponder move is checked against the protocol board's rules on a
    // copy, so that the protocol board itself is only ever read here.
    TProtocolBoard check = Source;
    if (check.CoupAttendu_OK(Best.m, CoupAttendu)) line += " ponder " + move_str(CoupAttendu);
  }
  return line;
}

void TMainThreadSearch::Execute() {
  computer_think = true;
  CopyMain();
  CoupAttendu = TMove{};
  Think();
  const std::string line = BestMoveLine();
  computer_think = false;
  if (output_) output_->Hand(line);
}

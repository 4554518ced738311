// The parallel search: the root moves are dealt round-robin among the search
// threads, each runs its own iterative deepening over its share, and at the
// end the main thread picks the move among all threads' results.
#include <string>

#include "platform/console.h"
#include "board/move_text.h"
#include "search/main_thread_search.h"
#include "search/search.h"

namespace {

// The move stored for the root in `t`'s own table, for a clock game.
bool StoredRootMove(const TThreadSearch& t, TStoredMove& move) {
  const THash& entry = t.TransTable->Entry(t.hash);
  if (entry.ID != t.hash || entry.Depth < 1 || entry.IsNil || !t.Owner->Clock.OnClock()) return false;
  move = entry.StoredMove;
  return true;
}

int FindInRoot(const TThreadSearch& t, TStoredMove move) {
  for (int i = 0; i < t.RootMoveCount(); ++i) {
    const TMove m = t.MoveStack[i].m;
    if (m.from == move.src && m.to == move.dst && m.promote == move.promote) return i;
  }
  return -1;
}

void SwitchLine(const char* tag, std::int32_t id, TMove oldMove, TMove newMove) {
  WriteInfoString(std::string(tag) + std::to_string(id) + " OldMove: " + MoveText(oldMove) + " Move :" +
                  MoveText(newMove));
}

// Gives `taker`'s first root move for `giver`'s move at index `at`.
void ExchangeFirst(TThreadSearch& taker, TThreadSearch& giver, int at) {
  const TMove oldFirst = taker.MoveStack[0].m;
  std::swap(taker.MoveStack[0], giver.MoveStack[at]);
  SwitchLine("SWITCH: T", taker.ThreadID, oldFirst, taker.MoveStack[0].m);
  HashMoveFirst(taker);
}

}  // namespace

bool TThreadSearch::OtherThreadScoreNotNegative() const {
  const TMainThreadSearch* main = Owner;
  if (!main) return false;
  if (ThreadID != 1 && main->BestScore() >= 0) return true;
  for (std::size_t i = 0; i < main->HelperCount(); ++i) {
    const TThreadSearch& other = main->Helper(i);
    if (&other != this && other.BestScore() >= 0) return true;
  }
  return false;
}

void TMainThreadSearch::DealRootMoves() {
  const int count = RootMoveCount();
  const int threads = int(SearchThreads.size()) + 1;
  std::vector<TGen> sorted(MoveStack.begin(), MoveStack.begin() + count);
  MaxMoves = 0;
  for (auto& helper : SearchThreads) helper->MaxMoves = 0;
  for (int k = 0; k < count; ++k) {
    TThreadSearch& t = k % threads == 0 ? static_cast<TThreadSearch&>(*this) : *SearchThreads[k % threads - 1];
    t.MoveStack[t.MaxMoves] = sorted[k];
    ++t.MaxMoves;
  }
  FirstMove[0] = 0;
  FirstMove[1] = MaxMoves;
  for (auto& helper : SearchThreads) {
    helper->FirstMove[0] = 0;
    helper->FirstMove[1] = helper->MaxMoves;
  }
}

void TMainThreadSearch::SwitchStoredMove() {
  const auto sharing = [](const TThreadSearch& t) { return t.MaxMoves > 0; };
  if (StoredMoveFound) return;
  for (auto& helper : SearchThreads)
    if (helper->StoredMoveFound) return;
  TStoredMove stored;
  if (StoredRootMove(*this, stored))
    for (auto& helper : SearchThreads) {
      const int at = sharing(*helper) ? FindInRoot(*helper, stored) : -1;
      if (at >= 0) return ExchangeFirst(*this, *helper, at);
    }
  for (auto& helper : SearchThreads) {
    if (!sharing(*helper) || !StoredRootMove(*helper, stored)) continue;
    int at = FindInRoot(*this, stored);
    if (at >= 0) return ExchangeFirst(*helper, *this, at);
    for (auto& other : SearchThreads) {
      at = other != helper && sharing(*other) ? FindInRoot(*other, stored) : -1;
      if (at >= 0) return ExchangeFirst(*helper, *other, at);
    }
  }
}

void TMainThreadSearch::StartHelpers() {
  // Lines from shares of the root searched to different depths cannot be
  // ranked against each other: with several lines asked for, the main
  // thread searches the whole root alone.
  for (auto& helper : SearchThreads) helper->MaxMoves = 0;
  if (SearchThreads.empty() || RootLines.Wanted() > 1) return;
  for (auto& helper : SearchThreads) {
    helper->Owner = this;
    CopyToHelper(*helper);
  }
  DealRootMoves();
  for (auto& helper : SearchThreads) {
    if (helper->MaxMoves > 0) {
      helper->stop = false;
      HashMoveFirst(*helper);
    } else {
      helper->IterationDepth = IdleDepth;
    }
  }
  SwitchStoredMove();
  // The threads that start from a stored move decide which thread speaks
  // first; they print nothing, as no depth of this search is done yet.
  std::int32_t reported = NoScore;
  if (StoredMoveFound) {
    Infos.TakeVoice(ThreadID, Best.score);
    reported = Best.score;
  }
  for (auto& helper : SearchThreads)
    if (helper->MaxMoves > 0 && helper->StoredMoveFound && helper->Best.score > reported) {
      Infos.TakeVoice(helper->ThreadID, helper->Best.score);
      reported = helper->Best.score;
    }
  for (auto& helper : SearchThreads)
    if (helper->MaxMoves > 0) helper->ResumeHelper();
}

void TThreadSearch::Execute() {
  if (!stop) RunAbortable([this] { IterativeDeepening(); });
  IterationDepth = IdleDepth;
}

void TMainThreadSearch::ChooseFinalMove() {
  // The candidate is the thread that spoke last; a better-scored thread
  // replaces it unless the candidate saw deeper and is within 20.
  TThreadSearch* candidate = this;
  for (auto& helper : SearchThreads)
    if (Infos.HasVoice(*helper)) candidate = helper.get();
  TBest chosen = candidate->BestSnapshot();
  const auto replaces = [&](const TBest& other) {
    return !other.m.IsNone() && other.score > chosen.score &&
           !(chosen.Depth > other.Depth && other.score <= chosen.score + 20);
  };
  if (candidate != this && replaces(Best)) {
    SwitchLine("SWITCHBEST: T", ThreadID, chosen.m, Best.m);
    candidate = this;
    chosen = Best;
  }
  for (auto& helper : SearchThreads) {
    if (helper.get() == candidate) continue;
    const TBest other = helper->BestSnapshot();
    if (!replaces(other)) continue;
    SwitchLine("SWITCHBEST: T", helper->ThreadID, chosen.m, other.m);
    candidate = helper.get();
    chosen = other;
  }
  {
    std::lock_guard guard(RootLock);
    Best = chosen;
  }
  if (candidate != this) {
    std::lock_guard guard(candidate->RootLock);
    ExpectedReply = candidate->ExpectedReply;
  }
  // Its line goes out once the move is final (Infos.Final, from Think).
}

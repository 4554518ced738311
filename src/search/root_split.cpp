#include "search/root_split.h"

#include <string>
#include <vector>

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

TRootSplit::TRootSplit(TMainThreadSearch& main) : main_(main) {
  for (std::size_t i = 0; i < main.HelperCount(); ++i) helpers_.push_back(&main.Helper(i));
}

void TRootSplit::Deal() {
  const int count = main_.RootMoveCount();
  const int threads = int(helpers_.size()) + 1;
  std::vector<TGen> sorted(main_.MoveStack.begin(), main_.MoveStack.begin() + count);
  main_.MaxMoves = 0;
  for (auto& helper : helpers_) helper->MaxMoves = 0;
  for (int k = 0; k < count; ++k) {
    TThreadSearch& t = k % threads == 0 ? static_cast<TThreadSearch&>(main_) : *helpers_[k % threads - 1];
    t.MoveStack[t.MaxMoves] = sorted[k];
    ++t.MaxMoves;
  }
  main_.FirstMove[0] = 0;
  main_.FirstMove[1] = main_.MaxMoves;
  for (auto& helper : helpers_) {
    helper->FirstMove[0] = 0;
    helper->FirstMove[1] = helper->MaxMoves;
  }
}

void TRootSplit::SwitchStoredMove() {
  const auto sharing = [](const TThreadSearch& t) { return t.MaxMoves > 0; };
  if (main_.StoredMoveFound) return;
  for (auto& helper : helpers_)
    if (helper->StoredMoveFound) return;
  TStoredMove stored;
  if (StoredRootMove(main_, stored))
    for (auto& helper : helpers_) {
      const int at = sharing(*helper) ? FindInRoot(*helper, stored) : -1;
      if (at >= 0) return ExchangeFirst(main_, *helper, at);
    }
  for (auto& helper : helpers_) {
    if (!sharing(*helper) || !StoredRootMove(*helper, stored)) continue;
    int at = FindInRoot(main_, stored);
    if (at >= 0) return ExchangeFirst(*helper, main_, at);
    for (auto& other : helpers_) {
      at = other != helper && sharing(*other) ? FindInRoot(*other, stored) : -1;
      if (at >= 0) return ExchangeFirst(*helper, *other, at);
    }
  }
}

void TRootSplit::StartHelpers() {
  // Lines from shares of the root searched to different depths cannot be
  // ranked against each other: with several lines asked for, the main
  // thread searches the whole root alone.
  for (auto& helper : helpers_) helper->MaxMoves = 0;
  if (helpers_.empty() || main_.RootLines.Wanted() > 1) return;
  for (auto& helper : helpers_) {
    helper->Owner = &main_;
    main_.CopyToHelper(*helper);
  }
  Deal();
  for (auto& helper : helpers_) {
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
  if (main_.StoredMoveFound) {
    main_.Infos.TakeVoice(main_.ThreadID, main_.Best.score);
    reported = main_.Best.score;
  }
  for (auto& helper : helpers_)
    if (helper->MaxMoves > 0 && helper->StoredMoveFound && helper->Best.score > reported) {
      main_.Infos.TakeVoice(helper->ThreadID, helper->Best.score);
      reported = helper->Best.score;
    }
  for (auto& helper : helpers_)
    if (helper->MaxMoves > 0) helper->ResumeHelper();
}

void TRootSplit::ChooseFinalMove() {
  // The candidate is the thread that spoke last; a better-scored thread
  // replaces it unless the candidate saw deeper and is within 20.
  TThreadSearch* candidate = &main_;
  for (auto& helper : helpers_)
    if (main_.Infos.HasVoice(*helper)) candidate = helper;
  TBest chosen = candidate->BestSnapshot();
  const auto replaces = [&](const TBest& other) {
    return !other.m.IsNone() && other.score > chosen.score &&
           !(chosen.Depth > other.Depth && other.score <= chosen.score + 20);
  };
  if (candidate != &main_ && replaces(main_.Best)) {
    SwitchLine("SWITCHBEST: T", main_.ThreadID, chosen.m, main_.Best.m);
    candidate = &main_;
    chosen = main_.Best;
  }
  for (auto& helper : helpers_) {
    if (helper == candidate) continue;
    const TBest other = helper->BestSnapshot();
    if (!replaces(other)) continue;
    SwitchLine("SWITCHBEST: T", helper->ThreadID, chosen.m, other.m);
    candidate = helper;
    chosen = other;
  }
  {
    std::lock_guard guard(main_.RootLock);
    main_.Best = chosen;
  }
  if (candidate != &main_) {
    std::lock_guard guard(candidate->RootLock);
    main_.ExpectedReply = candidate->ExpectedReply;
  }
  // Its line goes out once the move is final (TInfos::Final, from Think).
}

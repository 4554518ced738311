#include "search/time_manager.h"

#include <algorithm>
#include <string>

#include "platform/console.h"
#include "platform/system.h"
#include "search/main_thread_search.h"

namespace {

constexpr std::int32_t NoBonus = 99;  // bonus count when no bonus can be granted
constexpr std::int32_t MaxBonus = 2;
constexpr std::int32_t BonusThreshold = 25;  // accumulated drop that earns a slice
constexpr std::int32_t HelpSlices = 7;
constexpr std::uint32_t FrequentCheck = 1023;
constexpr std::uint32_t EveryNode = 1;

// The shortest slice: a fiftieth of the clock, and never so little that the
// search cannot finish a few iterations. A small increment makes the usual
// slice formula negative on a short clock; this keeps the engine thinking.
constexpr std::int64_t ShortestSlice = 5;
std::int64_t SliceFloor(std::int64_t t) { return std::max(t / 50, ShortestSlice); }

// Slices kept in reserve: fewer on a long clock, more on a short one.
std::int64_t ReserveSlices(std::int64_t t) { return t >= 600000 ? 3 : t < 60000 ? 7 : 5; }

// The thread that takes the HELP over from `owner`: one that is searching
// the depth at which it was requested.
TThreadSearch* NextHelpOwner(TMainThreadSearch& main, const TThreadSearch& owner, std::int32_t helpDepth) {
  const auto atHelpDepth = [helpDepth](const TThreadSearch& thread) {
    return thread.IterationDepth == std::uint32_t(helpDepth);
  };
  if (&owner == &main) {
    if (main.HelperCount() > 0 && atHelpDepth(main.Helper(0))) return &main.Helper(0);
    return nullptr;
  }
  if (atHelpDepth(main)) return &main;
  for (std::size_t i = 0; i < main.HelperCount(); ++i) {
    TThreadSearch& helper = main.Helper(i);
    if (&helper != &owner && atHelpDepth(helper)) return &helper;
  }
  return nullptr;
}

}  // namespace

std::uint32_t PhaseMinDepth(TPhase phase) { return phase == endgame ? 10 : 8; }

void TTimeManager::Forget() {
  std::lock_guard lock(lock_);
  startTick_ = 0;
  deadline_ = 0;
  slice_ = allotted_ = spare_ = savedDeadline_ = 0;
  clockLimit_ = NoDeadline;
  helpActive_ = false;
  helpDepth_ = 0;
  helpThread_ = 0;
  timeLeft_ = 0;
}

void TTimeManager::TakeOrder(const TSearchOrder& order) {
  std::lock_guard lock(lock_);
  mode_ = order.TimeMode;
  level_ = order.Level;
  timeLeft_ = order.GoTime;
  clockAtPonderHit_ = order.ClockAtPonderHit;
  pondering_ = order.Ponder;
  orderedPonder_ = order.Ponder;
}

TClockFigures TTimeManager::Figures() const {
  std::lock_guard lock(lock_);
  return {startTick_, deadline_, slice_, allotted_, spare_, bonusCount_, bonusAllowed_};
}

// Never plan to use the last moments of the clock: the interface and the
// pipe need the move overhead to pass the move on.
void TTimeManager::SetClockLimit(std::int64_t t) {
  clockLimit_ = startTick_ + std::max<std::int64_t>(0, t - settings_.MoveOverhead);
}

void TTimeManager::SetDeadline(std::int64_t tick) { deadline_ = std::min(tick, clockLimit_); }

void TTimeManager::SetSliceAndSpare(std::int64_t slice, std::int64_t t) {
  slice = std::max(slice, SliceFloor(t));
  slice_ = slice;
  spare_ = t - slice * ReserveSlices(t);
}

// At "ponderhit": the slices earned while pondering (at most two) are granted
// one by one while the spare time still covers them.
void TTimeManager::GrantEarnedSlices(std::int32_t earned) {
  std::int32_t k = 0;
  while (k < earned && spare_ >= 0 && spare_ >= slice_ * (k + 1) + slice_) ++k;
  allotted_ = slice_ * (k + 1);
  SetDeadline(startTick_ + allotted_);
}

void TTimeManager::StartSlice(bool ponderHit, std::int32_t earned) {
  if (ponderHit) {
    GrantEarnedSlices(earned);
  } else {
    allotted_ = slice_;
    SetDeadline(startTick_ + slice_);
  }
}

// Clock with a number of moves to go.
void TTimeManager::InitMovesToGo(TThreadSearch& main, std::int32_t t, bool ponderHit, std::int32_t earned) {
  // "movestogo 0" would divide by zero: the next move is the last one.
  const std::int32_t movesToGo = std::max(level_.MovesToGo, 1);
  if (t <= 15000) {
    bonusCount_ = NoBonus;
    bonusAllowed_ = false;
    main.StopPollMask = t <= 2000 ? EveryNode : FrequentCheck;
  }
  SetSliceAndSpare((std::int64_t(t) - 100) / movesToGo, t);
  StartSlice(ponderHit, earned);
  if (!ponderHit) bonusCount_ = 0;
  if (movesToGo == 1 && t >= 5000) {
    // The last move before the control: leave room for the interface.
    SetDeadline(deadline_ - 1500);
    main.StopPollMask = FrequentCheck;
  }
}

// Clock without moves to go (sudden death, with or without increment).
void TTimeManager::InitSuddenDeath(TThreadSearch& main, std::int32_t t, bool ponderHit, std::int32_t earned) {
  const std::int64_t slice =
      level_.Increment != 0 ? std::int64_t(t) / 30 + std::int64_t(level_.Increment) - 100 : std::int64_t(t) / 40;
  SetSliceAndSpare(slice, t);
  StartSlice(ponderHit, earned);
  // The check frequency matters at ponderhit too: a short clock cannot wait
  // 16,384 nodes between two looks at it.
  if (t <= 30000) main.StopPollMask = FrequentCheck;
  if (t <= 2000) main.StopPollMask = EveryNode;
  if (ponderHit) return;
  if (t <= 15000) {
    bonusCount_ = NoBonus;
    bonusAllowed_ = false;
  } else {
    bonusCount_ = 0;
  }
}

void TTimeManager::StartLocked(TThreadSearch& main, bool ponderStarts, bool keepStartTick) {
  const std::int32_t t = timeLeft_;
  const std::int32_t earned = std::clamp(bonusCount_, 0, MaxBonus);
  if (!keepStartTick) startTick_ = Ticks();
  clockLimit_ = NoDeadline;
  if (ponderStarts) {
    deadline_ = NoDeadline;
    bonusCount_ = 0;
    return;
  }
  {
    std::lock_guard root(main.RootLock);
    main.Best.ScoreLoss = 0;
  }
  bonusAllowed_ = true;
  switch (mode_) {
    case tmMovesToGo:
      SetClockLimit(t);
      InitMovesToGo(main, t, keepStartTick, earned);
      break;
    case tmSuddenDeath:
      SetClockLimit(t);
      InitSuddenDeath(main, t, keepStartTick, earned);
      break;
    default: deadline_ = t == NoTimeLimit ? NoDeadline : startTick_ + t; break;
  }
}

void TTimeManager::Start(TThreadSearch& main) {
  std::lock_guard lock(lock_);
  helpThread_ = 0;
  helpDepth_ = 0;
  helpActive_ = false;
  // A "ponderhit" that came before this call already gave the budget.
  if (orderedPonder_ && !pondering_) return;
  StartLocked(main, pondering_, false);
}

void TTimeManager::PonderHit(TThreadSearch& main) {
  std::lock_guard lock(lock_);
  if (!pondering_) return;
  // On a clock the search now plays on the time parked at "go"; a move time
  // or a depth limit stays as the order gave it.
  if (OnClock()) timeLeft_ = clockAtPonderHit_;
  StartLocked(main, false, true);
  pondering_ = false;
}

void TTimeManager::GrantBonus(TThreadSearch& thread, TBest& best) {
  ++bonusCount_;
  ExtendDeadline(slice_);
  allotted_ += slice_;
  best.ScoreLoss = 0;
  bonusGranted_ = true;
  best.PreviousScore = best.score;
  WriteInfoString("TIME BONUS !! Thread " + std::to_string(thread.ThreadID));
}

void TTimeManager::TimeBonusLocked(TThreadSearch& thread, std::int32_t oldScore, std::int32_t newScore) {
  if (thread.IterationDepth < PhaseMinDepth(thread.Eval.PhaseAtRoot) || !OnClock()) return;
  std::lock_guard root(thread.RootLock);
  TBest& best = thread.Best;
  if (oldScore <= newScore) {
    if (oldScore < newScore) best.ScoreLoss = 0;
    return;
  }
  best.ScoreLoss += oldScore - newScore;
  if (best.ScoreLoss < BonusThreshold) return;
  if (pondering_) {
    // No clock runs yet: count the slice, to be granted at "ponderhit".
    if (bonusCount_ < MaxBonus) {
      ++bonusCount_;
      best.ScoreLoss = 0;
      best.PreviousScore = best.score;
    }
    return;
  }
  if (spare_ < 0 || spare_ <= allotted_ + slice_ || bonusCount_ >= MaxBonus) return;
  GrantBonus(thread, best);
}

void TTimeManager::TimeBonus(TThreadSearch& thread, std::int32_t oldScore, std::int32_t newScore) {
  std::lock_guard lock(lock_);
  TimeBonusLocked(thread, oldScore, newScore);
}

bool TTimeManager::HelpWanted(TThreadSearch& thread, std::int32_t s, std::int32_t previous,
                              bool otherThreadScoreNotNegative, bool hasVoice) const {
  return !helpActive_ && !pondering_ && OnClock() && hasVoice &&
         thread.IterationDepth >= PhaseMinDepth(thread.Eval.PhaseAtRoot) && s <= 0 && previous >= -149 &&
         s < previous && bonusAllowed_ && previous - s >= 30 && !otherThreadScoreNotNegative;
}

bool TTimeManager::RequestHelp(TThreadSearch& thread, std::int32_t s, bool otherThreadScoreNotNegative, bool hasVoice) {
  std::lock_guard lock(lock_);
  const std::int32_t previous = thread.BestSnapshot().PreviousScore;
  if (!HelpWanted(thread, s, previous, otherThreadScoreNotNegative, hasVoice)) return false;
  helpActive_ = true;
  helpDepth_ = std::int32_t(thread.IterationDepth.load());
  helpThread_ = thread.ThreadID;
  bonusGranted_ = true;
  TimeBonusLocked(thread, previous, s);
  savedDeadline_ = deadline_;
  const std::int64_t extension = std::int64_t(HelpSlices) * slice_;
  if (extension < spare_) ExtendDeadline(extension);
  else if (spare_ > 0) ExtendDeadline(spare_);
  WriteInfoString("HELP !!");
  return true;
}

void TTimeManager::EndHelpWaitLocked() {
  if (!helpActive_) return;
  helpThread_ = 0;
  helpDepth_ = 0;
  helpActive_ = false;
  deadline_ = savedDeadline_;
  WriteInfoString("EndHelpWait");
}

void TTimeManager::PassHelpOn(TMainThreadSearch& main, TThreadSearch& owner) {
  std::lock_guard lock(lock_);
  if (!helpActive_ || helpThread_ != owner.ThreadID) return;
  if (TThreadSearch* next = NextHelpOwner(main, owner, helpDepth_)) helpThread_ = next->ThreadID;
  else EndHelpWaitLocked();
}

void TTimeManager::EndHelpWait() {
  std::lock_guard lock(lock_);
  EndHelpWaitLocked();
}

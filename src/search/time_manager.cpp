#include "search/time_manager.h"

#include <algorithm>
#include <mutex>
#include <string>

#include "platform/console.h"
#include "platform/system.h"
#include "search/infos.h"
#include "search/main_thread_search.h"

namespace {

std::mutex TimeLock;  // serialises every rule of this file

constexpr std::int32_t NoBonus = 99;  // BonusCount when no bonus can be granted
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

// Never plan to use the last moments of the clock: the interface and the
// pipe need the move overhead to pass the move on.
void SetClockLimit(std::int64_t t) {
  ClockLimit = StartTick + std::max<std::int64_t>(0, t - MoveOverhead.load());
}

void SetDeadline(std::int64_t tick) { Deadline = std::min(tick, ClockLimit.load()); }

void ExtendDeadline(std::int64_t milliseconds) { SetDeadline(Deadline + milliseconds); }

void SetSliceAndSpare(std::int64_t slice, std::int64_t t) {
  slice = std::max(slice, SliceFloor(t));
  TimeSlice = slice;
  SpareTime = t - slice * ReserveSlices(t);
}

// At "ponderhit": the slices earned while pondering (at most two) are granted
// one by one while the spare time still covers them.
void GrantEarnedSlices(std::int32_t earned) {
  const std::int64_t slice = TimeSlice;
  const std::int64_t spare = SpareTime;
  std::int32_t k = 0;
  while (k < earned && spare >= 0 && spare >= slice * (k + 1) + slice) ++k;
  TimeAllotted = slice * (k + 1);
  SetDeadline(StartTick + TimeAllotted);
}

void StartSlice(bool ponderHit, std::int32_t earned) {
  if (ponderHit) {
    GrantEarnedSlices(earned);
  } else {
    TimeAllotted = TimeSlice.load();
    SetDeadline(StartTick + TimeSlice);
  }
}

// Clock with a number of moves to go.
void InitMovesToGo(TThreadSearch& main, std::int32_t t, const TLevel& level, bool ponderHit, std::int32_t earned) {
  // "movestogo 0" would divide by zero: the next move is the last one.
  const std::int32_t movesToGo = std::max(level.MovesToGo, 1);
  if (t <= 15000) {
    BonusCount = NoBonus;
    BonusAllowed = false;
    main.StopPollMask = t <= 2000 ? EveryNode : FrequentCheck;
  }
  SetSliceAndSpare((std::int64_t(t) - 100) / movesToGo, t);
  StartSlice(ponderHit, earned);
  if (!ponderHit) BonusCount = 0;
  if (movesToGo == 1 && t >= 5000) {
    // The last move before the control: leave room for the interface.
    SetDeadline(Deadline - 1500);
    main.StopPollMask = FrequentCheck;
  }
}

// Clock without moves to go (sudden death, with or without increment).
void InitSuddenDeath(TThreadSearch& main, std::int32_t t, const TLevel& level, bool ponderHit, std::int32_t earned) {
  const std::int64_t slice =
      level.Increment != 0 ? std::int64_t(t) / 30 + std::int64_t(level.Increment) - 100 : std::int64_t(t) / 40;
  SetSliceAndSpare(slice, t);
  StartSlice(ponderHit, earned);
  // The check frequency matters at ponderhit too: a short clock cannot wait
  // 16,384 nodes between two looks at it.
  if (t <= 30000) main.StopPollMask = FrequentCheck;
  if (t <= 2000) main.StopPollMask = EveryNode;
  if (ponderHit) return;
  if (t <= 15000) {
    BonusCount = NoBonus;
    BonusAllowed = false;
  } else {
    BonusCount = 0;
  }
}

void InitTimeLocked(TThreadSearch& main, std::int32_t t, const TLevel& level, bool ponderStarts, bool keepStartTick) {
  // A ponder search whose "ponderhit" came before this call already has its
  // budget: the caller read Pondering just before the ponderhit cleared it.
  if (ponderStarts && !Pondering) return;
  const std::int32_t earned = std::clamp(BonusCount.load(), 0, MaxBonus);
  if (!keepStartTick) StartTick = Ticks();
  ClockLimit = NoDeadline;
  if (ponderStarts) {
    Deadline = NoDeadline;
    BonusCount = 0;
    return;
  }
  {
    std::lock_guard root(main.RootLock);
    main.Best.ScoreLoss = 0;
  }
  BonusAllowed = true;
  switch (TimeMode) {
    case tmMovesToGo:
      SetClockLimit(t);
      InitMovesToGo(main, t, level, keepStartTick, earned);
      break;
    case tmSuddenDeath:
      SetClockLimit(t);
      InitSuddenDeath(main, t, level, keepStartTick, earned);
      break;
    default:
      Deadline = t == NoTimeLimit ? NoDeadline : StartTick + t;
      break;
  }
}

void GrantBonus(TThreadSearch& thread, TBest& best) {
  ++BonusCount;
  ExtendDeadline(TimeSlice);
  TimeAllotted += TimeSlice;
  best.ScoreLoss = 0;
  BonusGranted = true;
  best.PreviousScore = best.score;
  WriteInfoString("TIME BONUS !! Thread " + std::to_string(thread.ThreadID));
}

void TimeBonusLocked(TThreadSearch& thread, std::int32_t oldScore, std::int32_t newScore) {
  if (thread.IterationDepth < PhaseMinDepth(thread.Eval.PhaseAtRoot) || TimeMode < tmMovesToGo) return;
  std::lock_guard root(thread.RootLock);
  TBest& best = thread.Best;
  if (oldScore <= newScore) {
    if (oldScore < newScore) best.ScoreLoss = 0;
    return;
  }
  best.ScoreLoss += oldScore - newScore;
  if (best.ScoreLoss < BonusThreshold) return;
  if (Pondering) {
    // No clock runs yet: count the slice, to be granted at "ponderhit".
    if (BonusCount < MaxBonus) {
      ++BonusCount;
      best.ScoreLoss = 0;
      best.PreviousScore = best.score;
    }
    return;
  }
  if (SpareTime < 0 || SpareTime <= TimeAllotted + TimeSlice || BonusCount >= MaxBonus) return;
  GrantBonus(thread, best);
}

bool HelpWanted(TThreadSearch& thread, std::int32_t s, std::int32_t previous, bool otherThreadScorePositive) {
  return !HelpActive && !Pondering && TimeMode >= tmMovesToGo && InfoThread == thread.ThreadID &&
         thread.IterationDepth >= PhaseMinDepth(thread.Eval.PhaseAtRoot) && s <= 0 && previous >= -149 && s < previous &&
         BonusAllowed && previous - s >= 30 && !otherThreadScorePositive;
}

void EndHelpWaitLocked() {
  if (!HelpActive) return;
  HelpThread = 0;
  HelpDepth = 0;
  HelpActive = false;
  Deadline = SavedDeadline.load();
  WriteInfoString("EndHelpWait");
}

// The thread that takes the HELP over from `owner`: one that is searching
// the depth at which it was requested.
TThreadSearch* NextHelpOwner(TMainThreadSearch& main, const TThreadSearch& owner) {
  const auto atHelpDepth = [](const TThreadSearch& thread) {
    return thread.IterationDepth == std::uint32_t(HelpDepth.load());
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

void InitTime(TThreadSearch& main, std::int32_t timeLeft, const TLevel& level, bool ponderStarts, bool keepStartTick) {
  std::lock_guard lock(TimeLock);
  InitTimeLocked(main, timeLeft, level, ponderStarts, keepStartTick);
}

void PonderHitTime(TThreadSearch& main, std::int32_t timeLeft, const TLevel& level) {
  std::lock_guard lock(TimeLock);
  InitTimeLocked(main, timeLeft, level, false, true);
  Pondering = false;
}

void TimeBonus(TThreadSearch& thread, std::int32_t oldScore, std::int32_t newScore) {
  std::lock_guard lock(TimeLock);
  TimeBonusLocked(thread, oldScore, newScore);
}

bool RequestHelp(TThreadSearch& thread, std::int32_t s, bool otherThreadScorePositive) {
  std::lock_guard lock(TimeLock);
  const std::int32_t previous = thread.BestSnapshot().PreviousScore;
  if (!HelpWanted(thread, s, previous, otherThreadScorePositive)) return false;
  HelpActive = true;
  HelpDepth = std::int32_t(thread.IterationDepth.load());
  HelpThread = thread.ThreadID;
  BonusGranted = true;
  TimeBonusLocked(thread, previous, s);
  SavedDeadline = Deadline.load();
  const std::int64_t extension = std::int64_t(HelpSlices) * TimeSlice;
  if (extension < SpareTime) ExtendDeadline(extension);
  else if (SpareTime > 0) ExtendDeadline(SpareTime);
  WriteInfoString("HELP !!");
  return true;
}

void PassHelpOn(TMainThreadSearch& main, TThreadSearch& owner) {
  std::lock_guard lock(TimeLock);
  if (!HelpActive || HelpThread != owner.ThreadID) return;
  if (TThreadSearch* next = NextHelpOwner(main, owner)) HelpThread = next->ThreadID;
  else EndHelpWaitLocked();
}

void EndHelpWait() {
  std::lock_guard lock(TimeLock);
  EndHelpWaitLocked();
}

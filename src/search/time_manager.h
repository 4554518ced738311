// Time management: turns the clock figures of a search order into the
// deadline the main search thread checks, and moves that deadline while the
// search runs: TIME BONUS slices when the root score keeps dropping, and a
// HELP extension taken from the reserve when the best move's score collapses.
//
// Every rule here runs under the manager's own lock (none is on a hot path),
// so that a "ponderhit" on the protocol thread and the decisions of several
// search threads never interleave. The rules also take the thread's RootLock
// for the few fields of Best they change: call them without holding it.
// Times are milliseconds on the program's tick counter (Ticks()).
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "eval/eval_state.h"
#include "search/engine_settings.h"
#include "search/search_order.h"
#include "search/thread_search.h"

class TMainThreadSearch;

// No deadline at all: far beyond any tick count a program run reaches.
constexpr std::int64_t NoDeadline = 999999999;

// Iteration depth from which the root takes its time decisions (stability,
// TIME BONUS, HELP), by the phase of the root position.
std::uint32_t PhaseMinDepth(TPhase phase);

// The clock's figures at one moment, for the debugger and the tests.
struct TClockFigures {
  std::int64_t startTick;   // when the search's clock started
  std::int64_t deadline;    // the main thread aborts at this tick
  std::int64_t slice;       // one slice
  std::int64_t allotted;    // slices granted so far, from startTick
  std::int64_t spare;       // clock time minus the reserve
  std::int32_t bonusCount;  // slices granted beyond the first; 99 = none possible
  bool bonusAllowed;        // HELP may be requested
};

class TTimeManager {
 public:
  // `settings` gives the move overhead; it outlives the manager.
  explicit TTimeManager(const TEngineSettings& settings) : settings_(settings) {}
  TTimeManager(const TTimeManager&) = delete;
  TTimeManager& operator=(const TTimeManager&) = delete;

  // A new game: the previous game's clock is forgotten.
  void Forget();
  // The clock part of the next search's order. Call it only while no search runs.
  void TakeOrder(const TSearchOrder& order);
  // The clock runs from `tick` (when the order arrived): a "ponderhit" that
  // comes before the search has started counts from there.
  void StartsAt(std::int64_t tick) { startTick_ = tick; }

  // The search starts: no HELP yet; the deadline, the slice, the spare time
  // and `main`'s check frequency (StopPollMask) are set from the order. A
  // ponder search gets no deadline until "ponderhit".
  void Start(TThreadSearch& main);
  // "ponderhit": the running ponder search gets its budget on the clock the
  // order parked, keeping its start, and plays on; the bonus slices earned
  // while pondering are granted as far as the spare time allows. Nothing
  // happens when no ponder search runs.
  void PonderHit(TThreadSearch& main);

  // The main thread must stop at `now`.
  bool Expired(std::int64_t now) const { return now >= deadline_.load(std::memory_order_relaxed); }
  std::int64_t StartTick() const { return startTick_.load(std::memory_order_relaxed); }
  std::uint8_t Mode() const { return mode_; }
  bool OnClock() const { return mode_ >= tmMovesToGo; }
  // The time the search plays on: the side's clock, the move time, or NoTimeLimit.
  std::int32_t TimeLeft() const { return timeLeft_.load(std::memory_order_relaxed); }
  // A ponder search that no "ponderhit" has turned into a real one yet.
  bool Pondering() const { return pondering_.load(std::memory_order_relaxed); }
  // Extra time (a bonus or HELP) was granted in this search.
  bool BonusGranted() const { return bonusGranted_.load(std::memory_order_relaxed); }
  void ForgetBonusGranted() { bonusGranted_ = false; }
  TClockFigures Figures() const;

  // The TIME BONUS test after the root score of `thread` went from
  // `oldScore` to `newScore`: a drop of 25 or more (added up over
  // iterations) earns one more slice, at most two per move.
  void TimeBonus(TThreadSearch& thread, std::int32_t oldScore, std::int32_t newScore);
  // The HELP request on the first root move's score `s`, by a thread that
  // has the voice (`hasVoice`); true when granted. `otherThreadScoreNotNegative`:
  // another thread holds a root score >= 0.
  bool RequestHelp(TThreadSearch& thread, std::int32_t s, bool otherThreadScoreNotNegative, bool hasVoice);
  bool HelpActive() const { return helpActive_.load(std::memory_order_relaxed); }
  std::int32_t HelpDepth() const { return helpDepth_.load(std::memory_order_relaxed); }
  // The thread that owns the HELP; 0 = none.
  std::int32_t HelpThread() const { return helpThread_.load(std::memory_order_relaxed); }
  // After `owner`'s root search returned: if it owns the HELP, hands it to a
  // thread searching the same depth, or ends it when there is none.
  void PassHelpOn(TMainThreadSearch& main, TThreadSearch& owner);
  // Ends the HELP (if one is active) and restores the deadline it extended.
  void EndHelpWait();

 private:
  void StartLocked(TThreadSearch& main, bool ponderStarts, bool keepStartTick);
  void InitMovesToGo(TThreadSearch& main, std::int32_t t, bool ponderHit, std::int32_t earned);
  void InitSuddenDeath(TThreadSearch& main, std::int32_t t, bool ponderHit, std::int32_t earned);
  void SetClockLimit(std::int64_t t);
  void SetDeadline(std::int64_t tick);
  void ExtendDeadline(std::int64_t milliseconds) { SetDeadline(deadline_ + milliseconds); }
  void SetSliceAndSpare(std::int64_t slice, std::int64_t t);
  void GrantEarnedSlices(std::int32_t earned);
  void StartSlice(bool ponderHit, std::int32_t earned);
  void GrantBonus(TThreadSearch& thread, TBest& best);
  void TimeBonusLocked(TThreadSearch& thread, std::int32_t oldScore, std::int32_t newScore);
  bool HelpWanted(TThreadSearch& thread, std::int32_t s, std::int32_t previous, bool otherThreadScoreNotNegative,
                  bool hasVoice) const;
  void EndHelpWaitLocked();

  const TEngineSettings& settings_;
  mutable std::mutex lock_;  // serialises every rule of the manager

  // The order's clock, set while no search runs; only "ponderhit" changes
  // the time left and the pondering flag while one does.
  std::uint8_t mode_ = tmFixedDepth;
  TLevel level_;
  std::int32_t clockAtPonderHit_ = 0;
  std::atomic<std::int32_t> timeLeft_{NoTimeLimit};
  std::atomic<bool> pondering_{false};
  bool orderedPonder_ = false;  // the order was "go ponder"

  // Read by the search threads without the lock, hence atomics.
  std::atomic<std::int64_t> startTick_{0};
  std::atomic<std::int64_t> deadline_{0};
  std::atomic<bool> bonusGranted_{false};
  std::atomic<bool> helpActive_{false};
  std::atomic<std::int32_t> helpDepth_{0};
  std::atomic<std::int32_t> helpThread_{0};
  // Written and read under the lock only.
  std::int64_t slice_ = 0;
  std::int64_t allotted_ = 0;
  std::int64_t spare_ = 0;
  std::int32_t bonusCount_ = 0;
  bool bonusAllowed_ = false;
  std::int64_t savedDeadline_ = 0;
  // The latest deadline the clock allows: the remaining time minus the move
  // overhead in the clock modes, no limit otherwise. Bonus and HELP slices
  // never push the deadline past it.
  std::int64_t clockLimit_ = NoDeadline;
};

// Clock state of the running search, shared by all search threads. Times are
// milliseconds on the program's tick counter (Ticks()).
#pragma once

#include <atomic>
#include <cstdint>

extern std::atomic<std::int64_t> StartTick;     // when the search's clock started
extern std::atomic<std::int64_t> Deadline;      // the main thread aborts at this tick
extern std::atomic<std::int64_t> TimeSlice;     // one slice
extern std::atomic<std::int64_t> TimeAllotted;  // slices granted so far, from StartTick
extern std::atomic<std::int64_t> SpareTime;     // clock time minus the reserve
extern std::atomic<std::int32_t> BonusCount;    // slices granted beyond the first; 99 = none possible
extern std::atomic<bool> BonusAllowed;          // HELP may be requested
extern std::atomic<bool> BonusGranted;          // extra time was granted in this search
extern std::atomic<bool> HelpActive;
extern std::atomic<std::int32_t> HelpDepth;
extern std::atomic<std::int32_t> HelpThread;
extern std::atomic<std::int64_t> SavedDeadline;
// The latest deadline the clock allows: the remaining time minus the move
// overhead in the clock modes, no limit otherwise. Bonus and HELP slices
// never push the deadline past it.
extern std::atomic<std::int64_t> ClockLimit;

// No deadline at all: far beyond any tick count a program run reaches.
constexpr std::int64_t NoDeadline = 999999999;

struct TTime {
  // Forgets the clock of the previous game (a new start position).
  static void InitAll();
  // Clears the HELP state at the start of a search.
  static void Init();
};

// Search-control globals, read by the search threads: the running search's
// order (set from the TSearchOrder the protocol hands down, see below), its
// state flags, and the engine's settings the protocol's options write.
// Atomics with relaxed ordering: each is a single value, and the hand-offs
// that start and stop a search order everything else.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "board/types.h"

// TimeMode values.
enum : std::uint8_t {
  tmFixedTime = 0,   // "movetime"
  tmFixedDepth = 1,  // "depth"
  tmUnlimited = 2,   // no limit: "infinite", "ponder"
  tmMovesToGo = 3,   // clock with "movestogo"
  tmSuddenDeath = 4, // clock without "movestogo"
};

constexpr std::int32_t NoTimeLimit = 999999999;
// The iteration depth a search runs to when nothing limits its depth.
constexpr std::int32_t FullDepth = 40;
// Lines are cut at MaxPly plies, so deeper iterations add nothing but time.
constexpr std::int32_t DeepestIteration = MaxPly;

// The clock's shape as the last "go" gave it: moves to the next time control
// (0 = the rest of the game) and the engine's increment per move.
struct TLevel {
  std::int32_t MovesToGo = 0;
  std::int32_t Increment = 0;
};

extern std::atomic<std::uint8_t> TimeMode;
extern std::atomic<std::int32_t> GoTime;
extern std::atomic<std::int32_t> MaxDepth;
extern std::atomic<bool> Pondering;
extern std::atomic<bool> SearchStopped;
// The interface said "stop" (or "quit", "ucinewgame") during this search. A
// ponder or infinite search holds its answer until then.
extern std::atomic<bool> StopRequested;
extern std::atomic<bool> MateFound;
extern std::atomic<bool> NoInfoOutput;
extern std::atomic<bool> ClearHashPending;
extern std::atomic<std::int32_t> HashSizeMB;
extern std::atomic<std::int32_t> ThreadsCount;
extern std::atomic<std::int32_t> TBMenLimit;
extern std::atomic<std::uint32_t> ProcessorCount;
// The search ends once the main search thread has searched this many nodes;
// 0 = no node limit.
extern std::atomic<std::uint32_t> NodeLimit;
// The order gave a depth (or a mate distance): reaching it ends the search
// at once, whatever the clock.
extern std::atomic<bool> DepthLimitGiven;

// The root moves the interface allows ("go searchmoves"); none = all.
// Moves are told apart by origin, destination and promotion.
struct TRootMoveFilter {
  std::array<TMove, 256> moves{};
  int count = 0;
  bool Contains(TMove m) const {
    for (int i = 0; i < count; ++i)
      if (moves[i].from == m.from && moves[i].to == m.to && moves[i].promote == m.promote) return true;
    return false;
  }
  bool Allows(TMove m) const { return count == 0 || Contains(m); }
};

// Milliseconds kept off every clock deadline for the interface and the pipe
// ("Move Overhead" option).
constexpr std::int32_t DefaultMoveOverhead = 30;
constexpr std::int32_t MaxMoveOverhead = 5000;
extern std::atomic<std::int32_t> MoveOverhead;
// The side to move is in check at the root of the running search.
extern std::atomic<bool> RootInCheck;

// Set by ApplySearchOrder only while no search runs; the search reads them
// after the hand-off that starts it.
extern TLevel Level;
extern TRootMoveFilter SearchMoves;

// One search's order as the interface gave it. The protocol fills one for
// each "go" (the bench and the EPD test for theirs) and hands it down; the
// search makes it the globals above, and only the search writes those
// while it runs.
struct TSearchOrder {
  std::uint8_t TimeMode = tmFixedDepth;
  std::int32_t GoTime = NoTimeLimit;   // milliseconds: the engine's clock, or the move time
  std::int32_t MaxDepth = FullDepth;
  bool DepthLimitGiven = false;        // a depth or a mate distance was ordered
  std::uint32_t NodeLimit = 0;         // 0 = none
  bool Ponder = false;
  std::int32_t ClockAtPonderHit = 0;   // a ponder search's clock, parked until "ponderhit"
  TLevel Level;
  TRootMoveFilter SearchMoves;
  std::int32_t MultiPv = 1;            // lines to show, best first ("MultiPV" option)
};

// Makes `order` the order of the next search. Call it only while no search runs.
void ApplySearchOrder(const TSearchOrder& order);

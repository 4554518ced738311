// One search's order as the interface gave it: how long to think, how deep,
// which root moves, how many lines. The protocol fills one for each "go"
// (the bench and the EPD test for theirs) and hands it to the main search
// thread, which keeps it whole for the search.
#pragma once

#include <array>
#include <cstdint>

#include "board/types.h"

// TimeMode values.
enum : std::uint8_t {
  tmFixedTime = 0,    // "movetime"
  tmFixedDepth = 1,   // "depth"
  tmUnlimited = 2,    // no limit: "infinite", "ponder"
  tmMovesToGo = 3,    // clock with "movestogo"
  tmSuddenDeath = 4,  // clock without "movestogo"
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

struct TSearchOrder {
  std::uint8_t TimeMode = tmFixedDepth;
  std::int32_t GoTime = NoTimeLimit;  // milliseconds: the engine's clock, or the move time
  std::int32_t MaxDepth = FullDepth;
  bool DepthLimitGiven = false;  // a depth or a mate distance was ordered
  std::uint32_t NodeLimit = 0;   // 0 = none
  bool Ponder = false;
  std::int32_t ClockAtPonderHit = 0;  // a ponder search's clock, parked until "ponderhit"
  TLevel Level;
  TRootMoveFilter SearchMoves;
  std::int32_t MultiPv = 1;  // lines to show, best first ("MultiPV" option)

  // The order runs on a clock (with or without moves to go).
  bool OnClock() const { return TimeMode >= tmMovesToGo; }
};

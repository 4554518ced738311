// A line of play from the root, and such a line with its score.
#pragma once

#include <array>
#include <cstdint>

#include "board/search_board.h"

// A line of play from the root: a root move and the replies the search
// expects, each legal after the ones before it, at most one move per ply.
struct TLine {
  std::array<TMove, PlyTableSize> moves{};
  std::uint8_t length = 0;

  void SetMove(TMove m) {
    moves[0] = m;
    length = 1;
  }
  // `m` followed by `rest`, cut to what the array holds.
  void SetMoveAndRest(TMove m, const TMove* rest, int restLength) {
    moves[0] = m;
    const int kept = restLength < PlyTableSize - 1 ? restLength : PlyTableSize - 1;
    for (int i = 0; i < kept; ++i) moves[i + 1] = rest[i];
    length = std::uint8_t(kept + 1);
  }
};

// A root move's line with the exact score it got and the iteration depth
// that gave it.
struct TRootLine {
  TLine line;
  std::int32_t score = 0;
  std::uint32_t depth = 0;
};

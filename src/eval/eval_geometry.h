// Square arithmetic of the evaluation. Tables are written from White's point
// of view in square order (first row = eighth rank); Black reads them at the
// mirrored square.
#pragma once

#include <cassert>

#include "board/types.h"

// Squares are 0..63 here; shifts and masks spare the sign handling of / and %.
constexpr int row(int square) {  // 1 = eighth rank .. 8 = first rank
  assert(square >= 0 && square < 64);
  return (square >> 3) + 1;
}
constexpr int file(int square) {  // 1 = a-file .. 8 = h-file
  assert(square >= 0 && square < 64);
  return (square & 7) + 1;
}
constexpr int mirror(int square) { return square ^ 56; }  // same file, rank 9 - r
constexpr int zone(int fileNumber) { return fileNumber <= 3 ? 1 : fileNumber <= 5 ? 2 : 3; }

// The square a table of White's view is read at for `side`.
template <TSide Us>
constexpr int RelativeSquare(int square) {
  return Us == Light ? square : mirror(square);
}

// An 8 x 8 table of White's view, in square order.
using TSquareTable = int[64];

// Square arithmetic of the evaluation. Tables are written from White's point
// of view in square order (first row = eighth rank); Black reads them at the
// mirrored square.
#pragma once

#include "board/types.h"

constexpr int row(int square) { return square / 8 + 1; }    // 1 = eighth rank .. 8 = first rank
constexpr int file(int square) { return square % 8 + 1; }   // 1 = a-file .. 8 = h-file
constexpr int mirror(int square) { return square ^ 56; }    // same file, rank 9 - r
constexpr int zone(int fileNumber) { return fileNumber <= 3 ? 1 : fileNumber <= 5 ? 2 : 3; }

// The square a table of White's view is read at for `side`.
template <TSide Us>
constexpr int RelativeSquare(int square) { return Us == Light ? square : mirror(square); }

// An 8 x 8 table of White's view, in square order.
using TSquareTable = int[64];

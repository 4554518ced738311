#include "eval/endgame_tables.h"

namespace {

// A set of squares written as an 8 x 8 grid of 0 and 1, in square order.
constexpr TSquareSet SetFromGrid(const int (&grid)[64]) {
  TSquareSet set = 0;
  for (int square = 0; square < 64; ++square)
    if (grid[square] != 0) set |= SquareBit(square);
  return set;
}

// clang-format off
constexpr int LightBishopCorners[64] = {
    1, 1, 1, 0, 0, 0, 0, 0,
    1, 1, 1, 0, 0, 0, 0, 0,
    1, 1, 1, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 1, 1, 1,
    0, 0, 0, 0, 0, 1, 1, 1,
    0, 0, 0, 0, 0, 1, 1, 1,
};

constexpr int DarkBishopCorners[64] = {
    0, 0, 0, 0, 0, 1, 1, 1,
    0, 0, 0, 0, 0, 1, 1, 1,
    0, 0, 0, 0, 0, 1, 1, 1,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    1, 1, 1, 0, 0, 0, 0, 0,
    1, 1, 1, 0, 0, 0, 0, 0,
    1, 1, 1, 0, 0, 0, 0, 0,
};

constexpr int PassageSquares[64] = {
    0, 0, 0, 1, 1, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 1,
    0, 0, 0, 0, 0, 0, 0, 1,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 1, 1, 0, 0, 0,
};
// clang-format on

}  // namespace

// clang-format off
const TSquareTable KnightSquareEG = {
    -40, -30, -30, -30, -30, -30, -30, -40,
    -30,  -5,   0,   0,   0,   0,  -5, -30,
    -30,   0,   0,   5,   5,   0,   0, -30,
    -30,   0,   5,  10,  10,   5,   0, -30,
    -30,   0,   5,  10,  10,   5,   0, -30,
    -30,   0,   0,   2,   2,   0,   0, -30,
    -30,  -5,  -2,  -2,  -2,  -2,  -5, -30,
    -40, -30, -30, -30, -30, -30, -30, -40,
};

const TSquareTable QueenSquareEG = {
    -5, -5, -5, -5, -5, -5, -5, -5,
    -5, -1,  0,  0,  0,  0, -1, -5,
    -5,  0,  0,  0,  0,  0,  0, -5,
    -5,  0,  0,  0,  0,  0,  0, -5,
    -5,  0,  0,  0,  0,  0,  0, -5,
    -5,  0,  0,  0,  0,  0,  0, -5,
    -5, -3,  0,  0,  0,  0, -3, -5,
    -5, -5, -5, -5, -5, -5, -5, -5,
};

const TSquareTable KingQueenWing = {
    -15,  -5,  -5, -10, -15, -30, -50, -70,
      0,  10,  10,   0,  -5, -20, -40, -60,
      5,  20,  20,   5,   0, -15, -35, -55,
     10,  30,  30,  10,   5, -10, -30, -50,
     10,  30,  30,  10,   5, -10, -30, -50,
      5,  20,  20,   5,   0, -15, -35, -55,
      0,  10,  10,   0,  -5, -20, -40, -60,
    -15,  -5,  -5, -10, -15, -30, -50, -70,
};

const TSquareTable KingKingWing = {
    -70, -50, -30, -15, -10,  -5,  -5, -15,
    -60, -40, -20,  -5,   0,  10,  10,   0,
    -60, -35, -15,   0,   5,  20,  20,   5,
    -50, -30, -10,   5,  10,  30,  30,  10,
    -50, -30, -10,   5,  10,  30,  30,  10,
    -60, -35, -15,   0,   5,  20,  20,   5,
    -60, -40, -20,  -5,   0,  10,  10,   0,
    -70, -50, -30, -15, -10,  -5,  -5, -15,
};

const TSquareTable KbnDrive = {
    150, 150, 150, 150, 150, 150, 150, 150,
    150, 100, 100, 100, 100, 100, 100, 150,
    150, 100,  50,  50,  50,  50, 100, 150,
    150, 100,  50,   0,   0,  50, 100, 150,
    150, 100,  50,   0,   0,  50, 100, 150,
    150, 100,  50,  50,  50,  50, 100, 150,
    150, 100, 100, 100, 100, 100, 100, 150,
    150, 150, 150, 150, 150, 150, 150, 150,
};
// clang-format on

const TSquareSet BishopCorners[2] = {SetFromGrid(LightBishopCorners), SetFromGrid(DarkBishopCorners)};
const TSquareSet WrongCorners[2] = {SetFromGrid(DarkBishopCorners), SetFromGrid(LightBishopCorners)};
const TSquareSet KbnPassageSquares = SetFromGrid(PassageSquares);

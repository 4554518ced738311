// Moves and take-backs in the three-man endings.
//
// The solver needs both directions: forward moves to count how many ways out
// a position has (and to value the moves that leave the table), and
// take-backs to walk from a solved position to the positions one move earlier.
#pragma once

#include <array>
#include <cstdlib>

#include "tb_board.h"

namespace egtb {

enum class MoveKind : uint8_t {
  Quiet,           // the position stays in the same ending
  TakesLastPiece,  // Black's king captures: bare kings, a draw
  Promotion,       // the pawn becomes `promotion`: the position moves to that ending's table
};

struct Move {
  MoveKind kind;
  Piece promotion;  // meaningful for Promotion only
  Position after;   // the opponent to move; for Promotion, a position of the promoted piece's ending
};

// A queen and a king have at most 27 + 8 moves; a pawn adds at most four
// promotions or two pushes. Take-backs are bounded the same way.
constexpr int MaxMoves = 40;

template <class T>
struct FixedList {
  std::array<T, MaxMoves> items;
  int count = 0;
  void add(const T& item) {
    if (count == MaxMoves) std::abort();  // cannot happen with the bounds above
    items[count++] = item;
  }
  const T* begin() const { return items.data(); }
  const T* end() const { return items.data() + count; }
};

using MoveList = FixedList<Move>;
using PositionList = FixedList<Position>;

// The legal moves of the side to move in a legal position.
void generateMoves(Piece kind, const Position& p, MoveList& list);

// The legal positions from which one quiet move (no capture, no promotion)
// leads to `p`. Positions entered by a promotion belong to the pawn ending
// and are valued from there, never taken back.
void generatePredecessors(Piece kind, const Position& p, PositionList& list);

}  // namespace egtb

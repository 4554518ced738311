// Positions of the three-man endings and their place in a table.
//
// Every table holds the positions where White owns the extra piece; a position
// where Black owns it is the same ending seen in a mirror (ranks flipped,
// colours swapped) and is turned around before the lookup.
#pragma once

#include <cstdint>

namespace egtb {

using Square = int;  // 0..63, a1 = 0, b1 = 1, ..., h8 = 63

constexpr int fileOf(Square s) { return s & 7; }
constexpr int rankOf(Square s) { return s >> 3; }
constexpr Square flipRanks(Square s) { return s ^ 56; }

enum Side : uint8_t { White = 0, Black = 1 };

constexpr Side opponent(Side side) { return side == White ? Black : White; }

// The extra piece; the order matches the count order of the probe's piece list.
enum class Piece : uint8_t { Pawn, Knight, Bishop, Rook, Queen };
constexpr int PieceKinds = 5;

struct Position {
  Side toMove;
  Square whiteKing;
  Square blackKing;
  Square piece;  // White's extra piece
};

// Each table is a plain 2 x 64 x 64 x 64 array: a few megabytes in all, and no
// symmetry folding keeps the indexing obvious. Illegal combinations simply
// stay unused.
constexpr uint32_t PositionsPerTable = 2u * 64 * 64 * 64;

constexpr uint32_t indexOf(const Position& p) {
  return ((uint32_t(p.toMove) * 64 + uint32_t(p.whiteKing)) * 64 + uint32_t(p.blackKing)) * 64 + uint32_t(p.piece);
}

constexpr Position positionAt(uint32_t index) {
  return Position{Side(index >> 18), Square((index >> 12) & 63), Square((index >> 6) & 63), Square(index & 63)};
}

bool kingsTouch(Square a, Square b);

// Does White's `kind` on `from` attack `target`? The white king is the only man
// that can stand in between: the black king is either the target or has just
// left the line.
bool attacks(Piece kind, Square from, Square target, Square whiteKing);

// Black is in check (only Black can be: White's king never faces a checker).
bool blackInCheck(Piece kind, const Position& p);

// Could this position arise in a game with that side to move? Distinct
// squares, kings apart, pawn off the first and last ranks, and the side not to
// move not in check.
bool isLegal(Piece kind, const Position& p);

}  // namespace egtb

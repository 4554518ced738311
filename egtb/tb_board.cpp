#include "tb_board.h"

#include <array>
#include <cstdlib>

namespace egtb {

namespace {

int sign(int x) { return (x > 0) - (x < 0); }

bool knightJump(Square a, Square b) {
  const int df = std::abs(fileOf(a) - fileOf(b));
  const int dr = std::abs(rankOf(a) - rankOf(b));
  return (df == 1 && dr == 2) || (df == 2 && dr == 1);
}

// A slider on `from` reaches `target` along a rank/file (straight) or a
// diagonal unless the white king stands strictly in between.
bool slides(Square from, Square target, Square whiteKing, bool straight, bool diagonal) {
  const int df = fileOf(target) - fileOf(from);
  const int dr = rankOf(target) - rankOf(from);
  if (df == 0 && dr == 0) return false;
  const bool isStraight = df == 0 || dr == 0;
  const bool isDiagonal = std::abs(df) == std::abs(dr);
  if (!((straight && isStraight) || (diagonal && isDiagonal))) return false;
  const int step = sign(df) + 8 * sign(dr);
  for (Square s = from + step; s != target; s += step)
    if (s == whiteKing) return false;
  return true;
}

}  // namespace

// Asked for nearly every move the solver looks at: a table is worth it.
constexpr auto KingsTouchTable = [] {
  std::array<std::array<bool, 64>, 64> touch{};
  for (Square a = 0; a < 64; ++a)
    for (Square b = 0; b < 64; ++b) {
      const int df = fileOf(a) - fileOf(b), dr = rankOf(a) - rankOf(b);
      touch[a][b] = df >= -1 && df <= 1 && dr >= -1 && dr <= 1;
    }
  return touch;
}();

bool kingsTouch(Square a, Square b) { return KingsTouchTable[a][b]; }

bool attacks(Piece kind, Square from, Square target, Square whiteKing) {
  switch (kind) {
    case Piece::Pawn:  // White pawns capture one rank up, one file aside
      return rankOf(target) == rankOf(from) + 1 && std::abs(fileOf(target) - fileOf(from)) == 1;
    case Piece::Knight: return knightJump(from, target);
    case Piece::Bishop: return slides(from, target, whiteKing, false, true);
    case Piece::Rook: return slides(from, target, whiteKing, true, false);
    case Piece::Queen: return slides(from, target, whiteKing, true, true);
  }
  return false;
}

bool blackInCheck(Piece kind, const Position& p) { return attacks(kind, p.piece, p.blackKing, p.whiteKing); }

bool isLegal(Piece kind, const Position& p) {
  if (p.whiteKing == p.blackKing || p.piece == p.whiteKing || p.piece == p.blackKing) return false;
  if (kingsTouch(p.whiteKing, p.blackKing)) return false;
  if (kind == Piece::Pawn && (rankOf(p.piece) == 0 || rankOf(p.piece) == 7)) return false;
  return !(p.toMove == White && blackInCheck(kind, p));
}

}  // namespace egtb

#include "board/castling.h"

#include <algorithm>

#include "board/keys.h"

namespace {

// The squares from `a` to `b`, both included, on one rank.
TSquareSet Span(int a, int b) {
  TSquareSet set = 0;
  for (int square = std::min(a, b); square <= std::max(a, b); ++square) set |= SquareBit(square);
  return set;
}

}  // namespace

void TCastlingSetup::SetChess960(int whiteKing, int blackKing, const std::array<int, 4>& rookFrom) {
  SetStandard();
  Chess960 = true;
  KingFrom = {std::int8_t(whiteKing), std::int8_t(blackKing)};
  Mask.fill(AllCastling);
  Mask[whiteKing] &= ~WhiteCastling;
  Mask[blackKing] &= ~BlackCastling;
  for (int right = WhiteShort; right <= BlackLong; ++right) {
    RookFrom[right] = std::int8_t(rookFrom[right]);
    if (rookFrom[right] == NoSquare) continue;
    const int king = KingFrom[SideOf(right)], rook = rookFrom[right];
    Mask[rook] &= ~Bit(right);
    MustBeSafe[right] = Span(king, KingTo(right));
    MustBeEmpty[right] = (MustBeSafe[right] | Span(rook, RookTo(right))) & ~(SquareBit(king) | SquareBit(rook));
  }
  for (std::uint32_t rights = 0; rights < ExtraKeys.size(); ++rights)
    for (int right = WhiteShort; right <= BlackLong; ++right)
      if ((rights & Bit(right)) && RookFrom[right] != NoSquare)
        ExtraKeys[rights] ^= Keys.CastleRookKeys[right][RookFrom[right] % 8];
}

bool castling_setup_is_ok(const TCastlingSetup& set, std::uint32_t rights) {
  for (int right = WhiteShort; right <= BlackLong; ++right) {
    if (!(rights & TCastlingSetup::Bit(right))) continue;
    const int king = set.KingFrom[TCastlingSetup::SideOf(right)], rook = set.RookFrom[right];
    const int backRank = TCastlingSetup::SideOf(right) == Light ? 7 : 0;
    if (rook == NoSquare || king / 8 != backRank || rook / 8 != backRank) return false;
    if ((right % 2 == 0) != (rook > king)) return false;
  }
  return true;
}

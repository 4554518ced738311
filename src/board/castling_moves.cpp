// Chess960 castling on the search board: the king "takes" its own rook,
// and both land on their castled squares, which may be either one's start.
// Kept apart from the standard make and unmake, whose rook always comes
// from a corner and whose king always steps two squares.
#include <cassert>

#include "board/keys.h"
#include "board/search_board.h"

bool TSearchBoard::MakeCastling960(TMove m) {
  assert(Castling.Chess960 && Piece[m.from] == King && Piece[m.to] == Rook && Color[m.to] == Side);
  assert(castling_setup_is_ok(Castling, Castle));
  const int right = TCastlingSetup::RightOf(m);
  if (Castle & TCastlingSetup::Bit(right) && !(Occupied() & Castling.MustBeEmpty[right])) {
    bool safe = true;
    ForEachSquare(Castling.MustBeSafe[right], [&](int square) { safe = safe && !SquareAttacked(square, XSide); });
    if (!safe) return false;
  } else {
    return false;
  }
  THist& H = GameHistory[HistoryLength];
  const TSide us = Side;
  const int kingFrom = m.from, rookFrom = m.to;
  const int kingTo = TCastlingSetup::KingTo(right), rookTo = TCastlingSetup::RookTo(right);
  H.m = m;
  H.Capture = bpEmpty;
  H.CaptureSquare = rookFrom;
  H.castle = Castle;
  H.ep = EP;
  H.fifty = HalfmoveClock;
  H.HistHash = hash;
  H.HistHashP = hashP;
  H.Index.MovedIndex = std::uint8_t(ListIndex[kingFrom]);
  H.Index.RookIndex = std::uint8_t(ListIndex[rookFrom]);
  PlaceCastlingPair(us, kingFrom, rookFrom, kingTo, rookTo, H.Index.MovedIndex, H.Index.RookIndex);
  hash ^= Keys.PieceKeys[us][King][kingFrom] ^ Keys.PieceKeys[us][King][kingTo] ^ Keys.PieceKeys[us][Rook][rookFrom] ^
          Keys.PieceKeys[us][Rook][rookTo];
  if (EP != NoSquare) hash ^= Keys.EPKeys[EP];
  EP = NoSquare;
  HalfmoveClock = 0;
  Castle &= Castling.Mask[kingFrom] & Castling.Mask[rookFrom];
  if (Castle != H.castle) hash ^= CastlingKey(*this, H.castle) ^ CastlingKey(*this, Castle);
  hash ^= Keys.SideKey;
  KingEntry(us).CastledAs = right % 2 == 0 ? CastledShort : CastledLong;
  PassTheMove();
  if (KingAttacked(XSide)) {
    TakeBack();
    return false;
  }
  assert(board_is_ok(false));
  return true;
}

void TSearchBoard::TakeBackCastling960(const THist& H) {
  const TSide us = Side;
  const int right = TCastlingSetup::RightOf(H.m);
  KingEntry(us).CastledAs = NotCastled;
  PlaceCastlingPair(us, TCastlingSetup::KingTo(right), TCastlingSetup::RookTo(right), H.m.from, H.m.to,
                    H.Index.MovedIndex, H.Index.RookIndex);
}

// Lifts the king and the rook off their squares, then sets them down on
// theirs: either may land where the other stood.
void TSearchBoard::PlaceCastlingPair(TSide us, int kingFrom, int rookFrom, int kingTo, int rookTo,
                                     std::uint32_t kingIndex, std::uint32_t rookIndex) {
  for (const int square : {kingFrom, rookFrom}) {
    Color[square] = bsEmpty;
    Piece[square] = bpEmpty;
  }
  MenSquares[us] &= ~(SquareBit(kingFrom) | SquareBit(rookFrom));
  const auto place = [&](int square, TBoardPiece kind, std::uint32_t index) {
    Color[square] = TBoardSide(us);
    Piece[square] = kind;
    ListIndex[square] = index;
    PieceLists[us].Men[index].Square = square;
    MenSquares[us] |= SquareBit(square);
  };
  place(kingTo, King, kingIndex);
  place(rookTo, Rook, rookIndex);
}

// Does castling by `right` give check? Only the rook can: it checks when it
// reaches the enemy king along a line that is clear once the king and the
// rook have left their squares and the king stands on its own.
bool TSearchBoard::Castling960GivesCheck(int right) const {
  const int enemyKing = KingSquare(XSide), rookTo = TCastlingSetup::RookTo(right);
  if (!AttackTable(Side, Rook, rookTo, enemyKing)) return false;
  const int step = Offset[Queen][DirIndex(rookTo, enemyKing)];
  const TSquareSet between = RaySet(rookTo, step) & RaySet(enemyKing, -step);
  const TSquareSet vacated = SquareBit(Castling.KingFrom[Side]) | SquareBit(Castling.RookFrom[right]);
  const TSquareSet after = (Occupied() & ~vacated) | SquareBit(TCastlingSetup::KingTo(right));
  return (between & after) == 0;
}

// Both kings' lines and the checks are worked out afresh: the king and the
// rook may each open and close lines, and castling is rare enough.
bool TSearchBoard::ChecksAfterCastling960() {
  for (const TSide king : {Light, Dark}) {
    SaveKingLines(king);
    BuildKingLines(KingEntry(king));
  }
  const bool inCheck = AnalyseChecks(Side, KingSquare(Side));
  InCheckAtPly[Ply] = inCheck;
  return inCheck;
}

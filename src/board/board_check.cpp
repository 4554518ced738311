// The board's invariants, recomputed from the placement: what every make and
// unmake must keep. Debug builds assert them around each move.
#include <bit>

#include "board/keys.h"
#include "board/search_board.h"

bool TSearchBoard::board_is_ok(bool withKingLines) const {
  if (XSide != Opponent(Side)) return false;
  if (hash != ComputeKey(*this)) return false;
  std::uint32_t pawnKey = 0;
  for (int square = 0; square < 64; ++square) {
    if ((Color[square] == bsEmpty) != (Piece[square] == bpEmpty)) return false;
    if (Piece[square] == Pawn) pawnKey ^= Keys.PieceKeys[Color[square]][Pawn][square];
  }
  if (hashP != pawnKey) return false;

  std::int32_t counts[2][6] = {};
  TSquareSet pawns[2] = {}, men[2] = {};
  for (int square = 0; square < 64; ++square) {
    if (Color[square] == bsEmpty) continue;
    ++counts[Color[square]][Piece[square]];
    men[Color[square]] |= SquareBit(square);
    if (Piece[square] == Pawn) pawns[Color[square]] |= SquareBit(square);
  }
  for (const TSide side : {Light, Dark})
    if (pawns[side] != PawnSquares[side] || men[side] != MenSquares[side]) return false;
  for (const TSide side : {Light, Dark}) {
    for (int kind = Pawn; kind <= King; ++kind)
      if (MenCount[side][kind] != counts[side][kind]) return false;
    // Every active entry stands where the board says, and every man of the
    // side has exactly one active entry.
    const std::uint32_t last = MaxIndex(side);
    if (last < 1 || last > PieceListSize) return false;
    int active = 0;
    for (std::uint32_t i = 1; i <= last; ++i) {
      const TPieceEntry& entry = PieceLists[side].Men[i];
      if (!entry.Active) continue;
      ++active;
      const int square = entry.Square;
      if (square < 0 || square > 63 || Color[square] != side || ListIndex[square] != i) return false;
      if ((i == 1) != (Piece[square] == King)) return false;
      if (!(KindIndices[side][Piece[square]] >> i & 1)) return false;
    }
    if (std::popcount(MenIndices(side)) != active) return false;
    int men = 0;
    for (const std::int32_t count : counts[side]) men += count;
    if (active != men) return false;
    if (withKingLines && KingEntry(side).LinesOfSight != KingLinesFrom(KingSquare(side))) return false;
  }
  return true;
}

bool TSearchBoard::move_is_ok(TMove m) const {
  // Castling is generated whatever stands in its way: making it tests the path.
  return m.from < 64 && m.to < 64 && m.from != m.to && Color[m.from] == Side && Piece[m.from] != bpEmpty &&
         (m.Has(MoveCastle) || Piece[m.to] == bpEmpty || (Color[m.to] == XSide && Piece[m.to] != King));
}

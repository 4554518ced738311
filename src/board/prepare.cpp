// Turning a placed position (colours, kinds, side, rights, en-passant
// square, history) into the full search board, and the legal root list.
#include <cassert>
#include <utility>

#include "board/keys.h"
#include "board/search_board.h"

void TSearchBoard::PrepareBoard() {
  ClearOrderingTables();
  FirstMove.fill(0);
  MoveStack.fill(TGen{});
  for (TPieceList& list : PieceLists) list = TPieceList{};
  ListIndex.fill(0);
  InCheckAtPly.fill(false);
  for (auto& counts : MenCount)
    for (auto& count : counts) count = 0;
  CheckCount = 0;
  CheckAnswerSquares = SquaresBehindKing = PinnedMen = 0;

  std::uint32_t next[2] = {2, 2};
  for (int square = 0; square < 64; ++square) {
    const TBoardSide side = Color[square];
    if (side == bsEmpty) continue;
    std::uint32_t index = 1;
    if (Piece[square] != King) {
      // The position set-up refuses more than 16 men a side.
      assert(next[side] <= PieceListSize);
      if (next[side] > PieceListSize) continue;
      index = next[side]++;
    }
    TPieceEntry& entry = PieceLists[side].Men[index];
    entry.Square = square;
    entry.Active = true;
    ListIndex[square] = index;
    if (index == 1) entry.CouldCastle = (Castle & CastlingOf(side)) != 0;
  }
  LastListIndex[Light] = next[Light] - 1;
  LastListIndex[Dark] = next[Dark] - 1;
  Ordiside = Side;
  Ply = 0;
  SortPieceLists();
  CountPieces();
  IndexMenOnBoard();
  InitKingLines();
  hash = ComputeKey(*this);
  SetPawnKey(*this);
  ReserveHistory(HistoryLength + MaxPly + 2);
}

void TSearchBoard::IndexMenOnBoard() {
  for (const TSide side : {Light, Dark}) {
    for (std::uint32_t& indices : KindIndices[side]) indices = 0;
    PawnSquares[side] = MenSquares[side] = 0;
    for (std::uint32_t i = 1; i <= MaxIndex(side); ++i) {
      const TPieceEntry& entry = PieceLists[side].Men[i];
      if (!entry.Active) continue;
      const bool pawn = Piece[entry.Square] == Pawn;
      KindIndices[side][Piece[entry.Square]] |= 1u << i;
      if (pawn) PawnSquares[side] |= SquareBit(entry.Square);
      MenSquares[side] |= SquareBit(entry.Square);
    }
  }
}

void TSearchBoard::SortPieceLists() {
  for (const TSide side : {Light, Dark}) {
    TPieceEntry* list = PieceLists[side].Men;
    const int last = int(MaxIndex(side));
    const auto exchange = [&](int i, int j) {
      std::swap(list[i], list[j]);
      ListIndex[list[i].Square] = i;
      ListIndex[list[j].Square] = j;
    };
    const auto isPawn = [&](int i) { return Piece[list[i].Square] == Pawn; };
    // Pawns to the front, behind the king.
    for (int i = 2, j = 2; i <= last; ++i)
      if (isPawn(i)) {
        if (j < i) exchange(i, j);
        ++j;
      }
    // Pawns by advance: White's toward low squares, Black's toward high.
    const auto ahead = [&](int a, int b) {
      return side == Light ? list[a].Square < list[b].Square : list[a].Square > list[b].Square;
    };
    for (int i = 2; i <= last; ++i) {
      if (!isPawn(i)) continue;
      for (int k = i + 1; k <= last; ++k)
        if (isPawn(k) && ahead(k, i)) exchange(i, k);
    }
  }
}

void TSearchBoard::CountPieces() {
  for (auto& counts : MenCount)
    for (auto& count : counts) count = 0;
  for (int square = 0; square < 64; ++square)
    if (Color[square] != bsEmpty) ++MenCount[Color[square]][Piece[square]];
}

void TSearchBoard::InitKingLines() {
  for (const TSide side : {Light, Dark})
    for (std::uint32_t i = 1; i <= MaxIndex(side); ++i) BuildKingLines(PieceLists[side].Men[i]);
}

void TSearchBoard::FilterLegalRootMoves() {
  int kept = FirstMove[Ply];
  for (int i = FirstMove[Ply]; i < FirstMove[Ply + 1]; ++i) {
    if (!MakeMove(MoveStack[i].m)) continue;
    TakeBack();
    MoveStack[kept++] = MoveStack[i];
  }
  FirstMove[Ply + 1] = kept;
}

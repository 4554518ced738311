// Turning a placed position (colours, kinds, side, rights, en-passant
// square, history) into the full search board, and the legal root list.
#include <cassert>
#include <utility>

#include "board/search_board.h"
#include "board/keys.h"

void TSearchBoard::PrepareBoard() {
  ClearOrderingTables();
  First_move.fill(0);
  Gen_dat.fill(TGen{});
  for (TPIECES& list : PIECES) list = TPIECES{};
  Tabindex.fill(0);
  EchecsPLY.fill(false);
  for (auto& counts : NP)
    for (auto& count : counts) count = 0;
  NEchecs = 0;
  CasesEchecs = CasesDerriere = PiecesClouees = 0;

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
    TEtatPieces& entry = PIECES[side].TabPieces[index];
    entry.CaseActu = square;
    entry.Active = true;
    Tabindex[square] = index;
    if (index == 1) entry.RoqueAutorise = (Castle & CastlingOf(side)) != 0;
  }
  Max_light = next[Light] - 1;
  Max_dark = next[Dark] - 1;
  Ordiside = Side;
  Ply = 0;
  SortPieceLists();
  CountPieces();
  IndexMenOnBoard();
  InitKingLines();
  hash = ComputeKey(*this);
  SetPawnKey(*this);
  ReserveHistory(Hply + MaxPly + 2);
}

void TSearchBoard::IndexMenOnBoard() {
  for (const TSide side : {Light, Dark}) {
    PawnIndices[side] = PieceIndices[side] = 0;
    PawnSquares[side] = MenSquares[side] = 0;
    for (std::uint32_t i = 1; i <= MaxIndex(side); ++i) {
      const TEtatPieces& entry = PIECES[side].TabPieces[i];
      if (!entry.Active) continue;
      const bool pawn = Piece[entry.CaseActu] == Pawn;
      (pawn ? PawnIndices : PieceIndices)[side] |= 1u << i;
      if (pawn) PawnSquares[side] |= SquareBit(entry.CaseActu);
      MenSquares[side] |= SquareBit(entry.CaseActu);
    }
  }
}

void TSearchBoard::SortPieceLists() {
  for (const TSide side : {Light, Dark}) {
    TEtatPieces* list = PIECES[side].TabPieces;
    const int last = int(MaxIndex(side));
    const auto exchange = [&](int i, int j) {
      std::swap(list[i], list[j]);
      Tabindex[list[i].CaseActu] = i;
      Tabindex[list[j].CaseActu] = j;
    };
    const auto isPawn = [&](int i) { return Piece[list[i].CaseActu] == Pawn; };
    // Pawns to the front, behind the king.
    for (int i = 2, j = 2; i <= last; ++i)
      if (isPawn(i)) {
        if (j < i) exchange(i, j);
        ++j;
      }
    // Pawns by advance: White's toward low squares, Black's toward high.
    const auto ahead = [&](int a, int b) {
      return side == Light ? list[a].CaseActu < list[b].CaseActu : list[a].CaseActu > list[b].CaseActu;
    };
    for (int i = 2; i <= last; ++i) {
      if (!isPawn(i)) continue;
      for (int k = i + 1; k <= last; ++k)
        if (isPawn(k) && ahead(k, i)) exchange(i, k);
    }
  }
}

void TSearchBoard::CountPieces() {
  for (auto& counts : NP)
    for (auto& count : counts) count = 0;
  for (int square = 0; square < 64; ++square)
    if (Color[square] != bsEmpty) ++NP[Color[square]][Piece[square]];
}

void TSearchBoard::InitKingLines() {
  for (const TSide side : {Light, Dark})
    for (std::uint32_t i = 1; i <= MaxIndex(side); ++i) BuildKingLines(PIECES[side].TabPieces[i]);
}

void TSearchBoard::FilterLegalRootMoves() {
  int kept = First_move[Ply];
  for (int i = First_move[Ply]; i < First_move[Ply + 1]; ++i) {
    if (!MakeMove(Gen_dat[i].m)) continue;
    TakeBack();
    Gen_dat[kept++] = Gen_dat[i];
  }
  First_move[Ply + 1] = kept;
}

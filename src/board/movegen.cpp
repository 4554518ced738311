// Move generation when the side to move is not in check: the full
// pseudo-legal list (MakeMove settles legality and the castling path), the
// root list, and the two quiescence lists. Pieces are visited in piece-list
// order (king, pawns most advanced first, then the others), which fixes the
// order of generation and so the order of equal scores.
#include <cassert>

#include "board/move_adders.h"
#include "board/square_names.h"

using namespace sq;

namespace {

constexpr int FileIndex(int square) { return square & 7; }

// Pawn geometry by colour: forward step, capture steps toward the a- and
// h-files, the rows where pushes start and promote.
template <TSide Us>
struct TPawnDirs {
  static constexpr int Forward = Us == Light ? -8 : 8;
  static constexpr int TowardA = Us == Light ? -9 : 7;
  static constexpr int TowardH = Us == Light ? -7 : 9;
  static constexpr bool OnStartRow(int s) { return Us == Light ? s >= 48 : s <= 15; }
  static constexpr bool OnSeventhRow(int s) { return Us == Light ? (s >= 8 && s <= 15) : (s >= 48 && s <= 55); }
  // Pushes from here are advanced pawn pushes (flagged for the search).
  static constexpr bool Advanced(int s) { return Us == Light ? (s >= 8 && s <= 31) : (s >= 32 && s <= 55); }
};

}  // namespace

TGen* TSearchBoard::BeginGeneration() {
  assert(Ply + 1 < FirstMove.size());
  assert(FirstMove[Ply] >= 0 && FirstMove[Ply] + 256 <= GenStackSize);
  FirstMove[Ply + 1] = FirstMove[Ply];
  return MoveStack.data() + FirstMove[Ply];
}

void TSearchBoard::EndGeneration(TGen* end) {
  FirstMove[Ply + 1] = std::int32_t(end - MoveStack.data());
  assert(FirstMove[Ply + 1] - FirstMove[Ply] <= 256);
}

template <TSide Us>
TGen* TSearchBoard::GenerateEnPassant(TGen* out, bool rootScores) const {
  if (EP == NoSquare) return out;
  using P = TPawnDirs<Us>;
  const auto add = [&](int from) {
    if (Piece[from] != Pawn || Color[from] != Us) return;
    if (rootScores) AddMove<TScoring::Root>(out, from, EP, MovePawn | MoveEnPassant | MoveCapture);
    else AddMove<TScoring::Full>(out, from, EP, MovePawn | MoveEnPassant | MoveCapture);
  };
  // The capturer stands diagonally behind the en-passant square.
  if (FileIndex(EP) != 0) add(EP - P::TowardH);
  if (FileIndex(EP) != 7) add(EP - P::TowardA);
  return out;
}

template <TSide Us, TSearchBoard::TScoring Mode>
void TSearchBoard::AddPawnCaptures(TGen*& out, int s, bool promotes) const {
  using P = TPawnDirs<Us>;
  const auto capture = [&](int to) {
    if (Color[to] != Opponent(Us)) return;
    if (promotes) AddPromotions<Mode>(out, s, to, MovePawn | MoveCapture);
    else AddMove<Mode>(out, s, to, MovePawn | MoveCapture);
  };
  if (FileIndex(s) != 0) capture(s + P::TowardA);
  if (FileIndex(s) != 7) capture(s + P::TowardH);
}

template <TSide Us, TSearchBoard::TScoring Mode>
TGen* TSearchBoard::GeneratePseudoLegal(TGen* out) const {
  constexpr TSide Them = Opponent(Us);
  using P = TPawnDirs<Us>;
  const TPieceEntry* list = PieceLists[Us].Men;
  for (std::uint32_t men = MenIndices(Us); men != 0; men &= men - 1) {
    const int s = list[std::countr_zero(men)].Square;
    const int kind = Piece[s];
    if (kind == Pawn) {
      const bool promotes = P::OnSeventhRow(s);
      AddPawnCaptures<Us, Mode>(out, s, promotes);
      const int front = s + P::Forward;
      if (Color[front] == bsEmpty) {
        const std::uint8_t push = MovePawn | (Mode == TScoring::Full && P::Advanced(s) ? MovePawnPush : 0);
        if (promotes) {
          AddPromotions<Mode>(out, s, front, push);
        } else {
          AddMove<Mode>(out, s, front, push);
          if (P::OnStartRow(s) && Color[front + P::Forward] == bsEmpty)
            AddMove<Mode>(out, s, front + P::Forward, MovePawn | MovePawn2sq);
        }
      }
      continue;
    }
    const int cell = Mailbox64[s];
    const bool slides = Slide[kind];
    for (int d = 0; d < OffsetCount[kind]; ++d) {
      const int step = Offset[kind][d];
      for (int c = cell + step, t; (t = Mailbox[c]) >= 0; c += step) {
        if (Color[t] == bsEmpty) {
          AddMove<Mode>(out, s, t, 0);
          if (slides) continue;
        } else if (Color[t] == Them) {
          AddMove<Mode>(out, s, t, MoveCapture);
        }
        break;
      }
    }
  }
  // Castling whenever the right is held; MakeMove tests the path.
  if (!(Castle & CastlingOf(Us))) {
  } else if (Castling.Chess960) {
    for (const int right : {2 * Us, 2 * Us + 1})
      if (Castle & TCastlingSetup::Bit(right))
        AddMove<Mode>(out, Castling.KingFrom[Us], Castling.RookFrom[right], MoveCastle);
  } else if constexpr (Us == Light) {
    if (Castle & WhiteKingSide) AddMove<Mode>(out, e1, g1, MoveCastle);
    if (Castle & WhiteQueenSide) AddMove<Mode>(out, e1, c1, MoveCastle);
  } else {
    if (Castle & BlackKingSide) AddMove<Mode>(out, e8, g8, MoveCastle);
    if (Castle & BlackQueenSide) AddMove<Mode>(out, e8, c8, MoveCastle);
  }
  return GenerateEnPassant<Us>(out, Mode == TScoring::Root);
}

template <TSide Us>
TGen* TSearchBoard::GenerateCapturesT(TGen* out) const {
  constexpr TSide Them = Opponent(Us);
  using P = TPawnDirs<Us>;
  const TPieceEntry* list = PieceLists[Us].Men;
  for (std::uint32_t men = MenIndices(Us); men != 0; men &= men - 1) {
    const int s = list[std::countr_zero(men)].Square;
    const int kind = Piece[s];
    if (kind == Pawn) {
      const bool promotes = P::OnSeventhRow(s);
      AddPawnCaptures<Us, TScoring::Tactical>(out, s, promotes);
      if (promotes && Color[s + P::Forward] == bsEmpty)
        AddPromotions<TScoring::Tactical>(out, s, s + P::Forward, MovePawn);
      continue;
    }
    // A piece that takes a pawn its own pawns defend loses material.
    const auto capture = [&](int t) {
      const bool defended = Piece[t] == Pawn && (Us == Light ? AttackedByDarkPawn(t) : AttackedByLightPawn(t));
      if (!defended) AddMove<TScoring::Tactical>(out, s, t, MoveCapture);
    };
    if (!Slide[kind]) {
      const int cell = Mailbox64[s];
      for (int d = 0; d < OffsetCount[kind]; ++d)
        if (const int t = Mailbox[cell + Offset[kind][d]]; t >= 0 && Color[t] == Them) capture(t);
      continue;
    }
    if ((EmptyBoardReach(kind, s) & MenSquares[Them]) == 0) continue;
    const TSquareSet occupied = Occupied();
    for (int d = 0; d < OffsetCount[kind]; ++d) {
      const int step = Offset[kind][d];
      const TSquareSet men = RaySet(s, step) & occupied;
      if (men == 0) continue;
      if (const int t = NearestOnRay(men, step); Color[t] == Them) capture(t);
    }
  }
  return GenerateEnPassant<Us>(out, false);
}

template <TSide Us>
TGen* TSearchBoard::GenerateCapturesAndChecksT(TGen* out) const {
  constexpr TSide Them = Opponent(Us);
  using P = TPawnDirs<Us>;
  const int enemyKing = KingSquare(Them);
  const TSquareSet sight = KingEntry(Them).LinesOfSight;
  const TSquareSet knightChecks = EmptyBoardReach(Knight, enemyKing);
  const TPieceEntry* list = PieceLists[Us].Men;
  for (std::uint32_t men = MenIndices(Us); men != 0; men &= men - 1) {
    const int s = list[std::countr_zero(men)].Square;
    const int kind = Piece[s];
    if (kind == Pawn) {
      const bool promotes = P::OnSeventhRow(s);
      AddPawnCaptures<Us, TScoring::Tactical>(out, s, promotes);
      const int front = s + P::Forward;
      if (Color[front] != bsEmpty) continue;
      if (promotes) {
        AddPromotions<TScoring::Tactical>(out, s, front, MovePawn);
        continue;
      }
      const auto checks = [&](int to) { return AttackTable(Us, Pawn, to, enemyKing) && InSet(sight, to); };
      if (checks(front)) AddMove<TScoring::Tactical>(out, s, front, MovePawn);
      const int front2 = front + P::Forward;
      if (P::OnStartRow(s) && Color[front2] == bsEmpty && checks(front2))
        AddMove<TScoring::Tactical>(out, s, front2, MovePawn | MovePawn2sq);
      continue;
    }
    if (!Slide[kind]) {
      // A knight's quiet move checks from a knight's jump of the king.
      const int cell = Mailbox64[s];
      for (int d = 0; d < OffsetCount[kind]; ++d) {
        const int t = Mailbox[cell + Offset[kind][d]];
        if (t < 0) continue;
        if (Color[t] == Them) AddMove<TScoring::Tactical>(out, s, t, MoveCapture);
        else if (Color[t] == bsEmpty && kind == Knight && InSet(knightChecks, t))
          AddMove<TScoring::Tactical>(out, s, t, 0);
      }
      continue;
    }
    // A ray piece's quiet move checks when the line from its square to the
    // king is clear: squares the king sees that the piece's kind reaches it from.
    const TSquareSet checkSquares = sight & EmptyBoardReach(kind, enemyKing);
    for (int d = 0; d < OffsetCount[kind]; ++d) {
      const int step = Offset[kind][d];
      const TRayView line = Ray(s, step);
      ForEachAlongRay(line.open & checkSquares, step, [&](int q) { AddMove<TScoring::Tactical>(out, s, q, 0); });
      if (line.firstMan >= 0 && Color[line.firstMan] == Them)
        AddMove<TScoring::Tactical>(out, s, line.firstMan, MoveCapture);
    }
  }
  // Castling whose rook lands on a clear line to the king.
  const auto rookChecks = [&](int rookTo) { return AttackTable(Us, Rook, rookTo, enemyKing) && InSet(sight, rookTo); };
  if (!(Castle & CastlingOf(Us))) {
  } else if (Castling.Chess960) {
    for (const int right : {2 * Us, 2 * Us + 1})
      if ((Castle & TCastlingSetup::Bit(right)) && Castling960GivesCheck(right))
        AddMove<TScoring::Tactical>(out, Castling.KingFrom[Us], Castling.RookFrom[right], MoveCastle);
  } else if constexpr (Us == Light) {
    if ((Castle & WhiteKingSide) && rookChecks(f1)) AddMove<TScoring::Tactical>(out, e1, g1, MoveCastle);
    if ((Castle & WhiteQueenSide) && rookChecks(d1)) AddMove<TScoring::Tactical>(out, e1, c1, MoveCastle);
  } else {
    if ((Castle & BlackKingSide) && rookChecks(f8)) AddMove<TScoring::Tactical>(out, e8, g8, MoveCastle);
    if ((Castle & BlackQueenSide) && rookChecks(d8)) AddMove<TScoring::Tactical>(out, e8, c8, MoveCastle);
  }
  return GenerateEnPassant<Us>(out, false);
}

void TSearchBoard::GenerateMoves() {
  TGen* out = BeginGeneration();
  out =
      Side == Light ? GeneratePseudoLegal<Light, TScoring::Full>(out) : GeneratePseudoLegal<Dark, TScoring::Full>(out);
  EndGeneration(out);
}

void TSearchBoard::GenerateMovesUnscored() {
  TGen* out = BeginGeneration();
  out = Side == Light ? GeneratePseudoLegal<Light, TScoring::Unscored>(out)
                      : GeneratePseudoLegal<Dark, TScoring::Unscored>(out);
  EndGeneration(out);
}

void TSearchBoard::GenerateRootMoves() {
  TGen* out = BeginGeneration();
  out =
      Side == Light ? GeneratePseudoLegal<Light, TScoring::Root>(out) : GeneratePseudoLegal<Dark, TScoring::Root>(out);
  EndGeneration(out);
}

void TSearchBoard::GenerateCaptures() {
  TGen* out = BeginGeneration();
  out = Side == Light ? GenerateCapturesT<Light>(out) : GenerateCapturesT<Dark>(out);
  EndGeneration(out);
}

void TSearchBoard::GenerateCapturesAndChecks() {
  TGen* out = BeginGeneration();
  out = Side == Light ? GenerateCapturesAndChecksT<Light>(out) : GenerateCapturesAndChecksT<Dark>(out);
  EndGeneration(out);
}

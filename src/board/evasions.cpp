// Moves that answer a check, built from the check analysis of the position
// (checker squares and the lines to block, squares behind the king, pinned
// pieces). They are legal by construction, so the search makes them without
// a test.
#include <cassert>

#include "board/move_adders.h"

namespace {

constexpr int FileIndex(int square) { return square & 7; }

}  // namespace

// Would this en-passant capture leave the capturer's king attacked? Taking
// the pawn empties two squares of one rank at once, which no pin test sees:
// with king and enemy rook on that rank, the capture exposes the king.
bool TSearchBoard::EnPassantExposesKing(int from, int to) {
  const TSide us = Color[from];
  const int taken = EPBehind(us, to);
  const TBoardSide takenColor = Color[taken];
  const TSquareSet men[2] = {MenSquares[Light], MenSquares[Dark]};
  Color[to] = Color[from];
  Piece[to] = Pawn;
  Color[from] = Color[taken] = bsEmpty;
  Piece[from] = Piece[taken] = bpEmpty;
  MenSquares[us] ^= SquareBit(from) | SquareBit(to);
  MenSquares[Opponent(us)] &= ~SquareBit(taken);
  const bool exposed = SquareAttacked(KingSquare(us), Opponent(us));
  MenSquares[Light] = men[Light];
  MenSquares[Dark] = men[Dark];
  Color[from] = Color[to];
  Piece[from] = Pawn;
  Color[taken] = takenColor;
  Piece[taken] = Pawn;
  Color[to] = bsEmpty;
  Piece[to] = bpEmpty;
  return exposed;
}

template <TSide Us, TSearchBoard::TScoring Mode>
TGen* TSearchBoard::GenerateEvasionsT(TGen* out) {
  constexpr TSide Them = Opponent(Us);
  constexpr int Forward = Us == Light ? -8 : 8;
  constexpr int TowardA = Us == Light ? -9 : 7;
  constexpr int TowardH = Us == Light ? -7 : 9;
  const int kingSquare = KingSquare(Us);

  // King steps: never along a checking ray, never onto an attacked square.
  // Fewer open lines around the target square score higher.
  const TSquareSet forbidden = SquaresBehindKing | CheckAnswerSquares;
  const int kingCell = Mailbox64[kingSquare];
  for (int d = 0; d < 8; ++d) {
    const int t = Mailbox[kingCell + Offset[King][d]];
    if (t < 0 || Color[t] == Us) continue;
    if (Color[t] == bsEmpty) {
      int openSquares = 0;
      if (!InSet(forbidden, t) && !SquareAttackedCount(t, Them, openSquares))
        AddMove<Mode>(out, kingSquare, t, 0, 10000 - openSquares);
    } else if (!InSet(SquaresBehindKing, t) && !SquareAttacked(t, Them)) {
      AddMove<Mode>(out, kingSquare, t, MoveCapture);
    }
  }
  if (CheckCount >= 2) return out;

  // Capture the checker or block its line, with unpinned pieces.
  const TPieceEntry* list = PieceLists[Us].Men;
  for (std::uint32_t men = MenIndices(Us) & ~2u; men != 0; men &= men - 1) {
    const int s = list[std::countr_zero(men)].Square;
    if (InSet(PinnedMen, s)) continue;
    const int kind = Piece[s];
    if (kind == Pawn) {
      const bool promotes = Us == Light ? (s >= 8 && s <= 15) : (s >= 48 && s <= 55);
      const auto add = [&](int to, std::uint8_t bits) {
        if (promotes) AddPromotions<Mode>(out, s, to, bits);
        else AddMove<Mode>(out, s, to, bits, EvasionBonus[Pawn]);
      };
      const auto capture = [&](int to) {
        if (Color[to] == Them && InSet(CheckAnswerSquares, to)) add(to, MovePawn | MoveCapture);
      };
      if (FileIndex(s) != 0) capture(s + TowardA);
      if (FileIndex(s) != 7) capture(s + TowardH);
      const int front = s + Forward;
      if (Color[front] == bsEmpty) {
        if (InSet(CheckAnswerSquares, front)) add(front, MovePawn);
        const bool startRow = Us == Light ? s >= 48 : s <= 15;
        const int front2 = front + Forward;
        if (startRow && Color[front2] == bsEmpty && InSet(CheckAnswerSquares, front2))
          AddMove<Mode>(out, s, front2, MovePawn | MovePawn2sq, EvasionBonus[Pawn]);
      }
      continue;
    }
    // A piece that could not reach the checking line even on an empty
    // board has nothing to add.
    if ((EmptyBoardReach(kind, s) & CheckAnswerSquares) == 0) continue;
    if (!Slide[kind]) {
      const int cell = Mailbox64[s];
      for (int d = 0; d < OffsetCount[kind]; ++d) {
        const int t = Mailbox[cell + Offset[kind][d]];
        if (t < 0 || !InSet(CheckAnswerSquares, t)) continue;
        if (Color[t] == bsEmpty) AddMove<Mode>(out, s, t, 0, EvasionBonus[kind]);
        else if (Color[t] == Them) AddMove<Mode>(out, s, t, MoveCapture);
      }
      continue;
    }
    // Along each line: the blocking squares short of its first man, nearest
    // first, then that man if it is the checker.
    for (int d = 0; d < OffsetCount[kind]; ++d) {
      const int step = Offset[kind][d];
      if ((RaySet(s, step) & CheckAnswerSquares) == 0) continue;
      const TRayView line = Ray(s, step);
      ForEachAlongRay(line.open & CheckAnswerSquares, step,
                      [&](int q) { AddMove<Mode>(out, s, q, 0, EvasionBonus[kind]); });
      const int t = line.firstMan;
      if (t >= 0 && Color[t] == Them && InSet(CheckAnswerSquares, t)) AddMove<Mode>(out, s, t, MoveCapture);
    }
  }

  // En passant, when the pawn that just advanced two squares gives the check.
  if (EP != NoSquare && InSet(CheckAnswerSquares, EP - Forward)) {
    const auto capture = [&](int from) {
      if (Piece[from] != Pawn || Color[from] != Us || InSet(PinnedMen, from)) return;
      if (EnPassantExposesKing(from, EP)) return;
      AddMove<Mode>(out, from, EP, MovePawn | MoveEnPassant | MoveCapture);
    };
    if (FileIndex(EP) != 0) capture(EP - TowardH);
    if (FileIndex(EP) != 7) capture(EP - TowardA);
  }
  return out;
}

void TSearchBoard::GenerateEvasions(bool underPromotions) {
  TGen* out = BeginGeneration();
  if (underPromotions)
    out = Side == Light ? GenerateEvasionsT<Light, TScoring::EvasionAll>(out)
                        : GenerateEvasionsT<Dark, TScoring::EvasionAll>(out);
  else
    out = Side == Light ? GenerateEvasionsT<Light, TScoring::Evasion>(out)
                        : GenerateEvasionsT<Dark, TScoring::Evasion>(out);
  EndGeneration(out);
}

void TSearchBoard::GenerateRootEvasions() { GenerateEvasions(); }

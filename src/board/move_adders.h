// The adders the generators append moves with: each writes a move and its
// ordering score at `out` and moves `out` on. Only the generators include it.
#pragma once

#include "board/geometry.h"
#include "board/search_board.h"

constexpr std::int32_t CaptureBase = 1000000;
// The best quiet move (top killer and full history) stays below the worst
// capture (a king taking a pawn).
static_assert(100000 + TSearchBoard::HistoryCeiling < CaptureBase - King);

inline TMove MakeMoveRecord(int from, int to, std::uint8_t bits, TPiece promote = 0) {
  return TMove{std::uint8_t(from), std::uint8_t(to), promote, bits};
}

// Scores by mode: the full generator orders captures by victim then attacker
// and quiet moves by killers and history; the root orders everything by
// killers and history; evasions give quiet moves a fixed base by kind; the
// quiescence generators order quiet checks by the checking piece's kind.
template <TSearchBoard::TScoring Mode>
inline void TSearchBoard::AddMove(TGen*& out, int from, int to, std::uint8_t bits, std::int32_t quietScore) const {
  TGen& g = *out++;
  g.m = MakeMoveRecord(from, to, bits);
  if constexpr (Mode == TScoring::Unscored) {
    g.score = 0;
  } else if constexpr (Mode == TScoring::Root) {
    g.score = KillerBonus(g.m) + History[Side][from][to];
  } else {
    if (bits & MoveCapture) {
      g.score = CaptureBase + 10 * Piece[to] - Piece[from];
    } else if constexpr (Mode == TScoring::Full) {
      g.score = KillerBonus(g.m) + History[Side][from][to];
    } else if constexpr (Mode == TScoring::Evasion || Mode == TScoring::EvasionAll) {
      g.score = KillerBonus(g.m) + quietScore;
    } else {
      g.score = Piece[from];
    }
  }
}

// The full generators (and perft's) promote to Queen, Rook, Bishop
// and Knight in that order; the others to a queen only.
template <TSearchBoard::TScoring Mode>
inline void TSearchBoard::AddPromotions(TGen*& out, int from, int to, std::uint8_t bits) const {
  const std::uint8_t flags = bits | MovePromote;
  const std::int32_t victim = PieceValue[Piece[to]];
  constexpr bool allKinds = Mode != TScoring::Evasion && Mode != TScoring::Tactical;
  constexpr int lastKind = allKinds ? Knight : Queen;
  for (int kind = Queen; kind >= lastKind; --kind) {
    TGen& g = *out++;
    g.m = MakeMoveRecord(from, to, flags, TPiece(kind));
    g.score = CaptureBase + 1000 * kind + victim;
  }
}

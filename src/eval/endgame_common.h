// Small board facts the recogniser and the endgame evaluator both need.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "board/geometry.h"
#include "board/search_board.h"
#include "eval/eval_state.h"
#include "eval/side_view.h"

inline int FileDistance(int a, int b) { return std::abs(file(a) - file(b)); }

// Square of the first active piece of that kind in the side's list, or NoSquare.
inline int FindPiece(const TSearchBoard& board, TSide side, TBoardPiece kind) {
  const std::uint32_t last = board.MaxIndex(side);
  for (std::uint32_t i = 1; i <= last; ++i) {
    const TPieceEntry& entry = board.PieceLists[side].Men[i];
    if (entry.Active && board.Piece[entry.Square] == kind) return entry.Square;
  }
  return NoSquare;
}

// Rule of the square for a passer of `Us` on `pawn` against the enemy king:
// true when the king cannot catch it, with `usToMove` telling who moves next.
template <TSide Us>
bool PawnOutrunsKing(int pawn, int enemyKing, bool usToMove) {
  const int relPawn = RelativeSquare<Us>(pawn);
  const int promotion = file(relPawn) - 1;  // the eighth-rank square of its file
  const int pawnSteps = row(relPawn) - 1;
  const int kingSteps = KingDistance(RelativeSquare<Us>(enemyKing), promotion);
  return usToMove ? pawnSteps < kingSteps : pawnSteps < kingSteps - 1;
}

// Does a piece of `kind` on `from` reach `to` along a clear line?
inline bool LineAttacks(const TSearchBoard& board, TSide side, TBoardPiece kind, int from, int to) {
  if (!AttackTable(side, kind, from, to)) return false;
  const int step = Offset[Queen][DirIndex(from, to)];
  for (int square = Step(from, step); square != to; square = Step(square, step))
    if (board.Color[square] != bsEmpty) return false;
  return true;
}

// Where the pawns stand: queen's wing a-d, king's wing e-h.
enum class TPawnWings { Both, QueenWingOnly, KingWingOnly };

inline TPawnWings PawnWings(const TEvalState& e) {
  if (e.KingWingPawns == 0 && e.QueenWingPawns > 0) return TPawnWings::QueenWingOnly;
  if (e.QueenWingPawns == 0 && e.KingWingPawns > 0) return TPawnWings::KingWingOnly;
  return TPawnWings::Both;  // pawns on both wings, or none at all
}

inline bool PawnsOnOneWing(const TEvalState& e) { return e.KingWingPawns == 0 || e.QueenWingPawns == 0; }

// The middlegame's global adjustments, applied once both sides' pieces are
// scored: the shaping of each king attack, then the rook files, pawn
// compensation, sheltered kings, bishop pair, material lead and one-wing
// positions.
#pragma once

#include "board/search_board.h"
#include "eval/eval_state.h"

// What the adjustments need of one side's king attack besides TEvalState.
struct TAttackFacts {
  bool pawnStorm = false;  // the side's pawn-storm entry is set
  int attackers = 0;       // pieces taking part in the king attack
};

// Sums the side's king-attack entries (KingAttackByKind) into its Tropism and
// shapes the total by the material balance.
TAttackFacts ShapeKingAttack(const TSearchBoard& board, TEvalState& e, TSide side);

// Every adjustment after the attacks are shaped. `base` holds the totals as
// they stood before the piece terms.
void AdjustMiddlegame(const TSearchBoard& board, TEvalState& e, const TSidePair& base, const TAttackFacts& light,
                      const TAttackFacts& dark);

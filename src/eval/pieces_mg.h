// Middlegame piece evaluation of one side: piece-square values, mobility,
// outposts, trapped pieces, rook and queen files, the seventh rank, king
// attack and the king's safety. The entry point the driver calls is
// EvaluatePiecesMiddlegame (eval/terms.h).
#pragma once

#include "board/search_board.h"
#include "eval/eval_state.h"

// Adds the side's piece terms to e.Score[Us] and records for the driver its
// king-attack entries (KingAttackByKind[Us][1..4]), rook, queen and outpost files,
// bad bishops, queen proximity and king safety (KingSafety).
template <TSide Us>
void EvaluatePiecesMiddlegameT(const TSearchBoard& board, TEvalState& e);

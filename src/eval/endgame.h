// The endgame evaluator. EvaluateEndgame (terms.h) asks the recogniser for
// a special case, then scores both sides' pieces with the endgame rules
// below and applies the global endgame terms.
#pragma once

#include "board/search_board.h"
#include "eval/eval_state.h"

// The pieces of one side by endgame rules: adds to e.Score[Us], the side's
// king-attack total (Tropism), its rook files, outpost
// files, bishop colour and bad-bishop count. True when its king escorts one
// of its passed pawns.
template <TSide Us>
bool EvaluateEndgamePieces(const TSearchBoard& board, TEvalState& e);

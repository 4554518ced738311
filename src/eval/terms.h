// Entry points of the evaluation's term groups, as the driver calls them.
#pragma once

#include "board/search_board.h"
#include "eval/eval_state.h"

class TPawnHash;

// The driver: the static score in centipawns from the side to move's view.
int Evaluate(const TSearchBoard& board, TEvalState& e, TPawnHash& pawnHash);
TPhase DeterminePhase(const TSearchBoard& board, TEvalState& e);
TPhase RootPhase(const TSearchBoard& board, TEvalState& e);
bool CentreClosed(const TSearchBoard& board);

// Middlegame pieces and king shelter of one side: adds to e.Score[side] and
// records that side's king-attack, file and bishop facts for the driver.
void EvaluatePiecesMiddlegame(const TSearchBoard& board, TEvalState& e, TSide side);

// The endgame evaluator: the final score from the side to move's view.
int EvaluateEndgame(const TSearchBoard& board, TEvalState& e);
// The special-endgame recogniser: a result code; may add to e.Score and set e.EndgameColor.
int RecogniseEndgame(const TSearchBoard& board, TEvalState& e);

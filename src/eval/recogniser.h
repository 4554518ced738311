// The special-endgame recogniser: material balances whose outcome the
// ordinary terms misjudge (dead draws, endings only one side can win, king
// and pawn endings, king + bishop + knight against a bare king, pure pawn
// endings). RecogniseEndgame (terms.h) returns one of the codes below, or
// any other value as a bonus to e.EndgameColor.
#pragma once

#include "board/search_board.h"
#include "eval/eval_state.h"

enum TEndgameCode : int {
  NoSpecialEnding = -1,  // evaluate normally
  DeadDraw = 0,          // the evaluation is 0
  KingsOnly = 1,         // drawish: only the kings' centralisation counts
  TotalsFinal = 2,       // Score already holds the whole evaluation
  LightCannotWin = 3,    // evaluate, but a White lead becomes the kings' difference
  DarkCannotWin = 4,     // the same for Black
  PawnEndingDone = 5,    // pure pawn ending, Score holds the whole evaluation
};

// The kings' centralisation difference from the side to move's view: the
// whole evaluation of a drawish ending.
int KingCentreDifference(const TSearchBoard& board);

// A king on a1-c1 (f1-h1) shut in by an enemy pawn or bishop on c3 (f3) in
// front of a pawn on c2 (f2): the penalty (0 or negative), Black mirrored.
int KingShutInPenalty(const TSearchBoard& board, const TEvalState& e, TSide side);

// King placement in the endgame by where the pawns stand: centre when both
// wings (or none) hold pawns, else the table of the pawns' wing.
int KingPlacement(const TEvalState& e, TSide side, int kingSquare);

// A position set up for the endgame evaluator: a prepared board and the
// evaluation state as the driver hands it over in the endgame (material
// counted, pawns scored, passers scored against the pieces).
#pragma once

#include <memory>
#include <string_view>

#include "eval/endgame.h"
#include "eval/eval_state.h"
#include "eval/pawns.h"
#include "eval/terms.h"
#include "support/eval_positions.h"

struct TEndgameCase {
  std::unique_ptr<TSearchBoard> board;
  TEvalState e;

  explicit TEndgameCase(std::string_view fen) : board(BoardFromFen(fen)) { Prepare(); }
  explicit TEndgameCase(std::unique_ptr<TSearchBoard> prepared) : board(std::move(prepared)) { Prepare(); }

  void Prepare() {
    e = TEvalState{};
    e.PhaseDepart = endgame;
    e.Phase = DeterminePhase(*board, e);
    PreparePawnsMiss(*board, e);
    e.Score = ScorePawns(*board, e);
    e.Score[Light] += e.piece_mat[Light];
    e.Score[Dark] += e.piece_mat[Dark];
    ScorePassedPawns(*board, e);
  }

  int Recognise() { return RecogniseEndgame(*board, e); }
  int Evaluate() { return EvaluateEndgame(*board, e); }

  // What the side's endgame piece evaluation adds to its score.
  int Pieces(TSide side) {
    e.Score[side] = 0;
    side == Light ? EvaluateEndgamePieces<Light>(*board, e) : EvaluateEndgamePieces<Dark>(*board, e);
    return e.Score[side];
  }
};

// A prepared board and the evaluation state as the driver hands it to the
// piece terms in the given phase (material, pawns and passers scored).
#pragma once

#include <memory>
#include <string_view>

#include "eval/endgame.h"
#include "eval/eval_state.h"
#include "eval/pawns.h"
#include "eval/side_view.h"
#include "eval/terms.h"
#include "support/eval_positions.h"

struct TEvalCase {
  std::unique_ptr<TSearchBoard> board;
  TEvalState e;
  TSidePair pawns{}, passers{};  // what the pawn structure and the passers gave each side

  explicit TEvalCase(std::string_view fen, TPhase phase = middlegame) : TEvalCase(BoardFromFen(fen), phase) {}
  explicit TEvalCase(std::unique_ptr<TSearchBoard> prepared, TPhase phase = middlegame) : board(std::move(prepared)) {
    e.PhaseAtRoot = phase;
    DeterminePhase(*board, e);
    e.Phase = phase;
    PreparePawnsMiss(*board, e);
    pawns = ScorePawns(*board, e);
    e.Score = {0, 0};
    ScorePassedPawns(*board, e);
    passers = e.Score;
    for (const TSide side : {Light, Dark}) e.Score[side] += pawns[side] + e.MaterialScore[side];
  }

  // What the side's piece evaluation for the phase adds to its score.
  int Pieces(TSide side) {
    e.Score[side] = 0;
    if (e.Phase == middlegame) EvaluatePiecesMiddlegame(*board, e, side);
    else if (side == Light) EvaluateEndgamePieces<Light>(*board, e);
    else EvaluateEndgamePieces<Dark>(*board, e);
    return e.Score[side];
  }

  int Recognise() { return RecogniseEndgame(*board, e); }
  int Evaluate() { return EvaluateEndgame(*board, e); }
  TSideView<Light> White() const { return {*board, e}; }
};

// A position set up for the piece terms: a prepared board and the evaluation
// state as the driver hands it to the piece evaluation (material counted,
// pawn files and flags prepared), with side views for calling single terms.
#pragma once

#include <memory>
#include <string_view>

#include "eval/eval_state.h"
#include "eval/pawns.h"
#include "eval/side_view.h"
#include "eval/terms.h"
#include "support/eval_positions.h"

struct TPieceCase {
  std::unique_ptr<TSearchBoard> board;
  TEvalState e;

  explicit TPieceCase(std::string_view fen) : board(BoardFromFen(fen)) { Prepare(); }
  explicit TPieceCase(std::unique_ptr<TSearchBoard> prepared) : board(std::move(prepared)) { Prepare(); }

  // Counts material and prepares the pawns again, after a test changed the board.
  void Prepare() {
    e = TEvalState{};
    DeterminePhase(*board, e);
    e.Phase = middlegame;
    PreparePawnsMiss(*board, e);
    ScorePawns(*board, e);
  }

  // What the side's piece evaluation adds to its score.
  int Pieces(TSide side) {
    e.Score[side] = 0;
    EvaluatePiecesMiddlegame(*board, e, side);
    return e.Score[side];
  }

  TSideView<Light> White() const { return {*board, e}; }
  TSideView<Dark> Black() const { return {*board, e}; }
};

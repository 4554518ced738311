// Colour symmetry: a position and its colour-mirrored twin, with the other
// side to move, evaluate the same, in both phases.
#include <gtest/gtest.h>

#include "eval/pawns.h"
#include "eval/terms.h"
#include "support/eval_positions.h"

namespace {

struct TTwins {
  std::unique_ptr<TSearchBoard> board, twin;
  explicit TTwins(const std::string& fen) : board(BoardFromFen(fen)), twin(MirroredBoard(*board)) {}
};

// The pawn facts and scores of one position, before the piece terms.
TEvalState PawnTerms(const TSearchBoard& board, TPhase root) {
  TEvalState e;
  e.PhaseDepart = root;
  e.Phase = DeterminePhase(board, e);
  PreparePawnsMiss(board, e);
  e.Score = ScorePawns(board, e);
  ScorePassedPawns(board, e);
  return e;
}

}  // namespace

TEST(EvalSymmetry, SampleHasBothPhasesAndBareKings) {
  int endgames = 0, bareKings = 0;
  for (const std::string& fen : VariedPositions()) {
    const auto board = BoardFromFen(fen);
    TEvalState e;
    endgames += DeterminePhase(*board, e) == endgame;
    bareKings += e.NL == 1 || e.ND == 1;
  }
  const int positions = int(VariedPositions().size());
  EXPECT_GE(positions, 200);
  EXPECT_GE(endgames, positions / 4);
  EXPECT_LE(endgames, positions * 3 / 4);
  EXPECT_GE(bareKings, 10);
}

TEST(EvalSymmetry, PawnTermsOfMirroredTwinsMatch) {
  for (const TPhase root : {middlegame, endgame})
    for (const std::string& fen : VariedPositions()) {
      const TTwins t(fen);
      const TEvalState a = PawnTerms(*t.board, root), b = PawnTerms(*t.twin, root);
      EXPECT_EQ(a.Score[Light], b.Score[Dark]) << fen;
      EXPECT_EQ(a.Score[Dark], b.Score[Light]) << fen;
      EXPECT_EQ(a.Passeds_Danger_L, b.Passeds_Danger_D) << fen;
      EXPECT_EQ(a.Passeds_Danger_D, b.Passeds_Danger_L) << fen;
      EXPECT_EQ(a.PionsBAttak, b.PionsNAttak) << fen;
      EXPECT_EQ(a.PionsNAttak, b.PionsBAttak) << fen;
      EXPECT_EQ(a.TabTropisme[Light][0], b.TabTropisme[Dark][0]) << fen;
      EXPECT_EQ(a.IndexL, b.IndexD) << fen;
      EXPECT_EQ(a.Aile_Roi, b.Aile_Roi) << fen;
      EXPECT_EQ(a.Aile_Dame, b.Aile_Dame) << fen;
    }
}

TEST(EvalSymmetry, MirroredTwinsEvaluateEqual) {
  THashClass tables(1);
  for (const TPhase root : {middlegame, endgame})
    for (const std::string& fen : VariedPositions()) {
      const TTwins t(fen);
      TEvalState a, b;
      a.PhaseDepart = b.PhaseDepart = root;
      EXPECT_EQ(Evaluate(*t.board, a, tables), Evaluate(*t.twin, b, tables)) << fen << " root phase " << int(root);
    }
}

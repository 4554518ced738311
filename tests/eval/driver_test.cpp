// The evaluation driver: game phase by material, the locked centre, the middlegame adjustments.
#include <gtest/gtest.h>

#include "eval/middlegame_adjustments.h"
#include "eval/terms.h"
#include "support/eval_positions.h"

namespace {

constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

TEST(EvalPhase, MaterialThresholdsAndTheRootPhase) {
  struct TCase {
    const char* fen;
    TPhase root, phase;
  };
  const TCase cases[] = {
      // without queens both sides must exceed 120 points
      {"r1b1k2r/8/8/8/8/8/8/R1B1K2R w - - 0 1", middlegame, endgame},  // 120 is not above 120
      {"r1b1k2r/8/8/8/8/8/8/RNB1K2R w - - 0 1", middlegame, endgame},
      {"r1b1k1nr/8/8/8/8/8/8/RNB1K2R w - - 0 1", middlegame, middlegame},
      {"4k3/8/8/8/8/8/8/R2QK3 w - - 0 1", middlegame, middlegame},  // with a queen one side is enough
      {"3qk1n1/8/8/8/8/8/8/3QK1N1 w - - 0 1", middlegame, endgame},
      {StartFen, endgame, endgame},  // an endgame root keeps every node in the endgame
  };
  for (const TCase& c : cases) {
    TEvalState e;
    e.PhaseAtRoot = c.root;
    EXPECT_EQ(DeterminePhase(*BoardFromFen(c.fen), e), c.phase) << c.fen;
  }
  TEvalState e;  // the root phase itself is decided by material alone
  e.PhaseAtRoot = endgame;
  EXPECT_EQ(RootPhase(*BoardFromFen(StartFen), e), middlegame);
  EXPECT_EQ(RootPhase(*BoardFromFen("r1b1k2r/8/8/8/8/8/8/R1B1K2R w - - 0 1"), e), endgame);
}

TEST(EvalDriver, CentreClosed) {
  for (const char* fen : {"4k3/8/8/4p3/3pP3/3P4/8/4K3 w - - 0 1", "4k3/8/3p4/3Pp3/4P3/8/8/4K3 w - - 0 1"})
    EXPECT_TRUE(CentreClosed(*BoardFromFen(fen))) << fen;
  for (const char* fen : {"4k3/8/8/4p3/3pP3/8/8/4K3 w - - 0 1", "4k3/8/8/3pp3/3PP3/8/8/4K3 w - - 0 1"})
    EXPECT_FALSE(CentreClosed(*BoardFromFen(fen))) << fen;
}

// The state the piece terms leave: totals of 1000 a side, pawns on both wings.
struct TAdjustCase {
  std::unique_ptr<TSearchBoard> board;
  TEvalState e;
  TAttackFacts light, dark;
  explicit TAdjustCase(std::string_view fen) : board(BoardFromFen(fen)) {
    DeterminePhase(*board, e);
    e.Score = {1000, 1000};
    e.KingWingPawns = e.QueenWingPawns = 8;
  }
  int WhiteAttack(std::initializer_list<int> entries) {
    std::copy(entries.begin(), entries.end(), e.KingAttackByKind[Light]);
    light = ShapeKingAttack(*board, e, Light);
    return e.Tropism[Light];
  }
  TSidePair Adjusted() {
    AdjustMiddlegame(*board, e, TSidePair{1000, 1000}, light, dark);
    return e.Score;
  }
};

TEST(EvalAdjustments, KingAttackBishopPairAndPawnCompensation) {
  // Without the queen and with few pieces there is no attack at all.
  EXPECT_GT(TAdjustCase("4k3/8/8/8/8/8/8/3QK2R w - - 0 1").WhiteAttack({5, 10, 0, 10, 0}), 0);
  EXPECT_EQ(TAdjustCase("4k3/8/8/8/8/8/8/R3K2R w - - 0 1").WhiteAttack({5, 10, 0, 10, 0}), 0);
  TAdjustCase pieces("4k3/8/8/8/8/8/8/RNB1K2R w - - 0 1");
  pieces.e.BishopTropismCount[Light] = 1;
  EXPECT_GT(pieces.WhiteAttack({5, 10, 10, 20, 0}), 45);  // more than the entries' sum
  // The bishop pair counts less with a bad bishop.
  int pair[2];
  for (const int bad : {0, 1}) {
    TAdjustCase c("r3k1n1/pppppppp/8/8/8/8/PPPPPPPP/R1B1KB2 w - - 0 1");
    c.e.BadBishops[Light] = bad;
    pair[bad] = c.Adjusted()[Light];
  }
  EXPECT_TRUE(pair[0] > pair[1] && pair[1] > 1000) << pair[0] << " " << pair[1];
  // A pawn down with 85 gained by the pieces: the pawn comes back; 79 is not enough.
  TAdjustCase down("r2qk2r/pppppppp/8/8/8/8/PPPPPPP1/R2QK2R w - - 0 1");
  down.e.Score = {1085, 1000};
  EXPECT_GT(down.Adjusted()[Light], 1085);
  down.e.Score = {1079, 1000};
  EXPECT_EQ(down.Adjusted()[Light], 1079);
}

}  // namespace

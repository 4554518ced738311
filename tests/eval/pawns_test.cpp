// Pawn structure and passed pawns: for each rule a pair of positions, the
// worse structure for White scoring lower; races and escorts by their result.
#include <gtest/gtest.h>

#include "eval/eval_case.h"

namespace {

constexpr TPhase MG = middlegame, EG = endgame;

TEST(PawnStructure, EachRuleScoresTheWorseStructureLower) {
  struct TCase {
    TPhase phase;
    const char *better, *worse;
  };
  const TCase cases[] = {
      {MG, "7k/2p5/8/8/8/1P6/2P5/K7 w - - 0 1", "7k/2p5/8/8/8/2P5/2P5/K7 w - - 0 1"},  // doubled and isolated
      {EG, "7k/2p5/8/8/8/1P6/2P5/K7 w - - 0 1", "7k/2p5/8/8/8/2P5/2P5/K7 w - - 0 1"},
      {MG, "7k/1p1p4/2p5/8/1P6/2PP4/8/K7 w - - 0 1", "7k/1p1p4/2p5/8/1P6/2P5/3P4/K7 w - - 0 1"},  // c3 backward
      {MG, "7k/8/8/8/3p4/8/3P4/K7 w - - 0 1", "7k/8/8/8/8/3p4/3P4/K7 w - - 0 1"},                 // blocked centre pawn
      {MG, "7k/8/8/3P4/4P3/8/8/K7 w - - 0 1", "7k/8/5p2/3P4/4P3/8/8/K7 w - - 0 1"},      // protector passed too
      {MG, "7k/8/5p2/2PP4/4P3/8/8/K7 w - - 0 1", "7k/8/5p2/P2P4/4P3/8/8/K7 w - - 0 1"},  // passed duo
      {MG, "7k/8/1P6/8/8/8/8/K7 w - - 0 1", "7k/8/8/8/1P6/8/8/K7 w - - 0 1"},            // the further the better
  };
  for (const TCase& c : cases)
    EXPECT_GT(TEvalCase(c.better, c.phase).pawns[Light], TEvalCase(c.worse, c.phase).pawns[Light]) << c.worse;
}

TEST(PassedPawns, RacesEscortsAndBlockades) {
  // The passer outruns the king only with its own side to move.
  struct TCase {
    const char *wins, *caught;
    TSide side;
  };
  const TCase races[] = {
      {"8/4k3/8/P7/8/8/8/7K w - - 0 1", "8/4k3/8/P7/8/8/8/7K b - - 0 1", Light},
      {"7k/8/8/8/p7/8/4K3/8 b - - 0 1", "7k/8/8/8/p7/8/4K3/8 w - - 0 1", Dark},
      {"4k3/2K5/1P6/8/8/8/8/8 b - - 0 1", "2k5/8/1P6/8/8/8/8/6K1 b - - 0 1", Light},  // the king escorts it
  };
  for (const TCase& c : races) {
    EXPECT_GT(TEvalCase(c.wins, EG).passers[c.side], 0) << c.wins;
    EXPECT_EQ(TEvalCase(c.caught, EG).passers[c.side], 0) << c.caught;
  }
  EXPECT_GT(TEvalCase("8/P7/8/8/4k3/8/8/7K b - - 0 1", EG).passers[Light], 0);  // out of reach on the seventh
  // A knight in front blockades; a rook does only on the last ranks in the middlegame.
  for (const TPhase phase : {MG, EG}) EXPECT_LT(TEvalCase("7k/8/3n4/3P4/8/8/8/K7 w - - 0 1", phase).passers[Light], 0);
  EXPECT_EQ(TEvalCase("7k/8/3r4/3P4/8/8/8/K7 w - - 0 1", EG).passers[Light], 0);
  EXPECT_LT(TEvalCase("3r3k/3P4/8/8/8/8/8/K7 w - - 0 1", MG).passers[Light], 0);
  // A rook on the b-file sees b8 through the pawn on the seventh.
  EXPECT_GT(TEvalCase("7k/1P6/8/8/8/K7/8/6r1 w - - 0 1", EG).e.PasserDanger[Light],
            TEvalCase("7k/1P6/8/8/8/K7/8/1r6 w - - 0 1", EG).e.PasserDanger[Light]);
}

TEST(PawnFacts, WingsStormAndAttacks) {
  const TEvalCase c("6k1/8/5P2/8/8/2n1r3/1P1P4/K7 w - - 0 1");
  EXPECT_TRUE(c.e.QueenWingPawns == 2 && c.e.KingWingPawns == 1);
  EXPECT_GT(c.e.KingAttackByKind[Light][0], 0);  // f6 is near g8
  EXPECT_EQ(c.e.KingAttackByKind[Dark][0], 0);
  EXPECT_GT(c.e.PawnAttackScore[Light], 0);
  EXPECT_EQ(c.e.PawnAttackScore[Dark], 0);
}

}  // namespace

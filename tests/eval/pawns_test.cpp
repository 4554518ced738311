// Pawn structure and passed-pawn terms on small hand-made positions. Each
// expected value is worked out by hand from the pawn tables.
#include <gtest/gtest.h>

#include "eval/pawns.h"
#include "eval/terms.h"
#include "support/eval_positions.h"

namespace {

struct TPawnCase {
  std::unique_ptr<TSearchBoard> board;
  TEvalState e;

  TPawnCase(std::string_view fen, TPhase phase) : board(BoardFromFen(fen)) {
    e.PhaseDepart = phase;
    e.Phase = DeterminePhase(*board, e);
    e.Phase = phase;
    PreparePawnsMiss(*board, e);
  }

  TTabScore Structure() { return ScorePawns(*board, e); }

  // What the passed-pawn scoring adds to each side's score (after the structure).
  TTabScore Passers() {
    ScorePawns(*board, e);
    e.Score = {0, 0};
    ScorePassedPawns(*board, e);
    return e.Score;
  }
};

int WhiteStructure(std::string_view fen, TPhase phase = middlegame) { return TPawnCase(fen, phase).Structure()[Light]; }

}  // namespace

TEST(PawnStructure, DoubledIsolatedPawnsOnAnOpenFile) {
  // c3: doubled 5, isolated on an open file 15 and 10 more, square +2.
  // c2: isolated on an open file 15. Both passed, neither counts yet.
  EXPECT_EQ(WhiteStructure("7k/8/8/8/8/2P5/2P5/K7 w - - 0 1"), 200 - 28 - 15);
  // An enemy pawn on the file makes them plainly isolated (8 each) and
  // stops them being passed.
  EXPECT_EQ(WhiteStructure("7k/2p5/8/8/8/2P5/2P5/K7 w - - 0 1"), 200 - 5 - 8 + 2 - 8);
  // The endgame charges more: doubled 10, isolated 15.
  EXPECT_EQ(WhiteStructure("7k/2p5/8/8/8/2P5/2P5/K7 w - - 0 1", endgame), 200 - 10 - 15 - 15 + 2);
}

TEST(PawnStructure, BackwardPawnCountsAnEmptyNeighbourFileAsAdvanced) {
  // c3 has b4 ahead on one side and no pawn on the d-file: backward, and
  // twice over as the rearmost pawn of a file without an enemy pawn (2 x 4).
  EXPECT_EQ(WhiteStructure("7k/1p6/8/8/1P6/2P5/8/K7 w - - 0 1"), 200 + 2 + 2 - 8);
  // An enemy pawn on the c-file leaves the single penalty.
  EXPECT_EQ(WhiteStructure("7k/1p6/2p5/8/1P6/2P5/8/K7 w - - 0 1"), 200 + 2 + 2 - 4);
  // With d3 level with it the pawn is no longer behind all its neighbours.
  EXPECT_EQ(WhiteStructure("7k/1p1p4/2p5/8/1P6/2PP4/8/K7 w - - 0 1"), 300 + 2 + 2 + 4);
}

TEST(PawnStructure, BlockedCentrePawn) {
  // d2 blocked by d3: the blocked-centre 6 on top of the isolated 8.
  EXPECT_EQ(WhiteStructure("7k/8/8/8/8/3p4/3P4/K7 w - - 0 1"), 100 - 8 - 6 - 2);
}

TEST(PassedPawns, ProtectedAndDuoPassers) {
  // d5 passed, protected by e4, which f6 keeps from being passed: Protected
  // 10 only, so full value 26 + 10; d5's square 10. e4 is backward on rank 4
  // (no charge) with square 8.
  EXPECT_EQ(WhiteStructure("7k/8/5p2/3P4/4P3/8/8/K7 w - - 0 1"), 200 + 46 + 8);
  // Without f6 the protector is passed too: 10 more.
  EXPECT_EQ(WhiteStructure("7k/8/8/3P4/4P3/8/8/K7 w - - 0 1"), 200 + 56 + 8);
  // A passed partner on c5 adds the duo bonus 50 to d5; c5 itself: duo 10,
  // a lone rearmost passer on rank 5 at full value 26, square 8.
  EXPECT_EQ(WhiteStructure("7k/8/5p2/2PP4/4P3/8/8/K7 w - - 0 1"), 300 + 44 + 96 + 8);
}

TEST(PassedPawns, LoneMiddlegamePasserNeedsToBeFarUp) {
  // A lone passer on rank 4 in the middlegame gets the reduced value (0);
  // on rank 6 the full 66. Squares: b4 2, b6 6. Isolated on an open file: 10.
  EXPECT_EQ(WhiteStructure("7k/8/8/8/1P6/8/8/K7 w - - 0 1"), 100 + 2 - 10);
  EXPECT_EQ(WhiteStructure("7k/8/1P6/8/8/8/8/K7 w - - 0 1"), 100 + 6 - 10 + 66);
  // In the endgame any passer not blocked by its own pawn counts fully.
  EXPECT_EQ(WhiteStructure("7k/8/8/8/1P6/8/8/K7 w - - 0 1", endgame), 100 + 2 - 15 + 48);
}

TEST(PassedPawns, RuleOfTheSquareDependsOnTheSideToMove) {
  // a5 needs 3 moves, the king on e7 needs 4 to reach a8: it outruns the
  // king with White to move, but not with Black to move.
  EXPECT_EQ(TPawnCase("8/4k3/8/P7/8/8/8/7K w - - 0 1", endgame).Passers()[Light], 500);
  EXPECT_EQ(TPawnCase("8/4k3/8/P7/8/8/8/7K b - - 0 1", endgame).Passers()[Light], 0);
  // The same race for Black, mirrored.
  EXPECT_EQ(TPawnCase("7k/8/8/8/p7/8/4K3/8 b - - 0 1", endgame).Passers()[Dark], 500);
  EXPECT_EQ(TPawnCase("7k/8/8/8/p7/8/4K3/8 w - - 0 1", endgame).Passers()[Dark], 0);
  // A passer on the seventh that the king cannot catch: the top bonus.
  EXPECT_EQ(TPawnCase("8/P7/8/8/4k3/8/8/7K b - - 0 1", endgame).Passers()[Light], 700);
}

TEST(PassedPawns, KingEscortAgainstABareKing) {
  // The king on c7 escorts b6 to promotion although the enemy king is near.
  EXPECT_EQ(TPawnCase("4k3/2K5/1P6/8/8/8/8/8 b - - 0 1", endgame).Passers()[Light], 600);
  // Without the escort the enemy king catches it.
  EXPECT_EQ(TPawnCase("2k5/8/1P6/8/8/8/8/6K1 b - - 0 1", endgame).Passers()[Light], 0);
}

TEST(PassedPawns, Blockades) {
  // Endgame, passer on d5: a knight on d6 blockades it (- 28), a rook does not.
  EXPECT_EQ(TPawnCase("7k/8/3n4/3P4/8/8/8/K7 w - - 0 1", endgame).Passers()[Light], -28);
  EXPECT_EQ(TPawnCase("7k/8/3r4/3P4/8/8/8/K7 w - - 0 1", endgame).Passers()[Light], 0);
  // Middlegame: the knight blockades (- 13); a rook only on ranks 8 and 7.
  EXPECT_EQ(TPawnCase("7k/8/3n4/3P4/8/8/8/K7 w - - 0 1", middlegame).Passers()[Light], -13);
  EXPECT_EQ(TPawnCase("7k/8/3r4/3P4/8/8/8/K7 w - - 0 1", middlegame).Passers()[Light], 0);
  EXPECT_EQ(TPawnCase("3r3k/3P4/8/8/8/8/8/K7 w - - 0 1", middlegame).Passers()[Light], -43);
}

TEST(PassedPawns, SeventhRankRunAgainstPieces) {
  // Endgame, b7 with a free promotion square: run 50 and 30 more when no
  // enemy piece covers b8. A rook on the b-file behind the pawn sees b8
  // through it.
  TPawnCase free("7k/1P6/8/8/8/K7/8/6r1 w - - 0 1", endgame);
  free.Passers();
  EXPECT_EQ(free.e.Passeds_Danger_L, 80);
  TPawnCase covered("7k/1P6/8/8/8/K7/8/1r6 w - - 0 1", endgame);
  covered.Passers();
  EXPECT_EQ(covered.e.Passeds_Danger_L, 50);
  // The middlegame has the run bonus only.
  TPawnCase middle("7k/1P6/8/8/8/K7/8/6r1 w - - 0 1", middlegame);
  middle.Passers();
  EXPECT_EQ(middle.e.Passeds_Danger_L, 50);
}

TEST(PawnFacts, WingsStormAndAttacks) {
  TPawnCase c("6k1/8/5P2/8/8/2n1r3/1P1P4/K7 w - - 0 1", middlegame);
  c.Structure();
  EXPECT_EQ(c.e.Aile_Dame, 2);
  EXPECT_EQ(c.e.Aile_Roi, 1);
  EXPECT_EQ(c.e.TabTropisme[Light][0], 5);  // f6 is two steps from g8
  EXPECT_EQ(c.e.TabTropisme[Dark][0], 0);
  EXPECT_EQ(c.e.PionsBAttak, 10 + 10 + 20);  // b2 and d2 hit the knight, d2 the rook
}

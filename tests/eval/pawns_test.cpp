// Pawn structure and passed-pawn terms on small hand-made positions. Each
// expected value is worked out by hand from the pawn tables.
#include <gtest/gtest.h>

#include "eval/eval_case.h"

namespace {

constexpr TPhase MG = middlegame, EG = endgame;

}  // namespace

TEST(PawnStructure, WhiteStructureScores) {
  struct TCase { const char* fen; TPhase phase; int expected; };
  const TCase cases[] = {
      // c3: doubled 5, isolated on an open file 15 and 10 more, square +2;
      // c2: isolated on an open file 15. Both passed, neither counts yet.
      {"7k/8/8/8/8/2P5/2P5/K7 w - - 0 1", MG, 200 - 28 - 15},
      // An enemy pawn on the file: plainly isolated (8 each), not passed;
      // the endgame charges doubled 10, isolated 15.
      {"7k/2p5/8/8/8/2P5/2P5/K7 w - - 0 1", MG, 200 - 5 - 8 + 2 - 8},
      {"7k/2p5/8/8/8/2P5/2P5/K7 w - - 0 1", EG, 200 - 10 - 15 - 15 + 2},
      // c3 has b4 ahead on one side and no pawn on the d-file: backward, and
      // twice over as the rearmost pawn of a file without an enemy pawn (2 x 4);
      // an enemy pawn on the c-file leaves the single penalty; with d3 level
      // with it the pawn is no longer behind all its neighbours.
      {"7k/1p6/8/8/1P6/2P5/8/K7 w - - 0 1", MG, 200 + 2 + 2 - 8},
      {"7k/1p6/2p5/8/1P6/2P5/8/K7 w - - 0 1", MG, 200 + 2 + 2 - 4},
      {"7k/1p1p4/2p5/8/1P6/2PP4/8/K7 w - - 0 1", MG, 300 + 2 + 2 + 4},
      // d2 blocked by d3: the blocked-centre 6 on top of the isolated 8.
      {"7k/8/8/8/8/3p4/3P4/K7 w - - 0 1", MG, 100 - 8 - 6 - 2},
      // d5 passed, protected by e4, which f6 keeps from being passed:
      // protected 10, full value 26 + 10, square 10; e4 backward on rank 4
      // (no charge), square 8. Without f6 the protector is passed too: 10 more.
      {"7k/8/5p2/3P4/4P3/8/8/K7 w - - 0 1", MG, 200 + 46 + 8},
      {"7k/8/8/3P4/4P3/8/8/K7 w - - 0 1", MG, 200 + 56 + 8},
      // A passed partner on c5 adds the duo bonus 50 to d5; c5 itself: duo
      // 10, a lone rearmost passer on rank 5 at full value 26, square 8.
      {"7k/8/5p2/2PP4/4P3/8/8/K7 w - - 0 1", MG, 300 + 44 + 96 + 8},
      // A lone middlegame passer on rank 4 gets the reduced value (0), on
      // rank 6 the full 66; in the endgame any passer not blocked by its own
      // pawn counts fully. Squares b4 2, b6 6; isolated on an open file 10.
      {"7k/8/8/8/1P6/8/8/K7 w - - 0 1", MG, 100 + 2 - 10},
      {"7k/8/1P6/8/8/8/8/K7 w - - 0 1", MG, 100 + 6 - 10 + 66},
      {"7k/8/8/8/1P6/8/8/K7 w - - 0 1", EG, 100 + 2 - 15 + 48},
  };
  for (const TCase& c : cases) EXPECT_EQ(TEvalCase(c.fen, c.phase).pawns[Light], c.expected) << c.fen;
}

TEST(PassedPawns, RacesEscortsAndBlockades) {
  struct TCase { const char* fen; TPhase phase; TSide side; int expected; };
  const TCase cases[] = {
      // a5 needs 3 moves, the king on e7 needs 4 to reach a8: it outruns the
      // king with White to move, not with Black to move; the same for Black.
      {"8/4k3/8/P7/8/8/8/7K w - - 0 1", EG, Light, 500},
      {"8/4k3/8/P7/8/8/8/7K b - - 0 1", EG, Light, 0},
      {"7k/8/8/8/p7/8/4K3/8 b - - 0 1", EG, Dark, 500},
      {"7k/8/8/8/p7/8/4K3/8 w - - 0 1", EG, Dark, 0},
      {"8/P7/8/8/4k3/8/8/7K b - - 0 1", EG, Light, 700},  // on the seventh, out of reach
      // The king on c7 escorts b6 although the enemy king is near; without
      // the escort the enemy king catches it.
      {"4k3/2K5/1P6/8/8/8/8/8 b - - 0 1", EG, Light, 600},
      {"2k5/8/1P6/8/8/8/8/6K1 b - - 0 1", EG, Light, 0},
      // A knight in front blockades (28 in the endgame, 13 in the
      // middlegame); a rook only on ranks 8 and 7 in the middlegame.
      {"7k/8/3n4/3P4/8/8/8/K7 w - - 0 1", EG, Light, -28},
      {"7k/8/3r4/3P4/8/8/8/K7 w - - 0 1", EG, Light, 0},
      {"7k/8/3n4/3P4/8/8/8/K7 w - - 0 1", MG, Light, -13},
      {"7k/8/3r4/3P4/8/8/8/K7 w - - 0 1", MG, Light, 0},
      {"3r3k/3P4/8/8/8/8/8/K7 w - - 0 1", MG, Light, -43},
  };
  for (const TCase& c : cases) EXPECT_EQ(TEvalCase(c.fen, c.phase).passers[c.side], c.expected) << c.fen;
}

TEST(PassedPawns, SeventhRankRunAgainstPieces) {
  // b7 with a free promotion square: run 50, and in the endgame 30 more when
  // no enemy piece covers b8. A rook on the b-file sees b8 through the pawn.
  const auto danger = [](const char* fen, TPhase phase) { return TEvalCase(fen, phase).e.PasserDanger[Light]; };
  EXPECT_EQ(danger("7k/1P6/8/8/8/K7/8/6r1 w - - 0 1", EG), 80);
  EXPECT_EQ(danger("7k/1P6/8/8/8/K7/8/1r6 w - - 0 1", EG), 50);
  EXPECT_EQ(danger("7k/1P6/8/8/8/K7/8/6r1 w - - 0 1", MG), 50);
}

TEST(PawnFacts, WingsStormAndAttacks) {
  const TEvalCase c("6k1/8/5P2/8/8/2n1r3/1P1P4/K7 w - - 0 1");
  EXPECT_EQ(c.e.Aile_Dame, 2);
  EXPECT_EQ(c.e.Aile_Roi, 1);
  EXPECT_EQ(c.e.TabTropisme[Light][0], 5);  // f6 is two steps from g8
  EXPECT_EQ(c.e.TabTropisme[Dark][0], 0);
  EXPECT_EQ(c.e.PawnAttackScore[Light], 10 + 10 + 20);  // b2 and d2 hit the knight, d2 the rook
}

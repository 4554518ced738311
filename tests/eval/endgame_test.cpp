// The endgame evaluator's rules most easily got wrong, on hand-made
// positions. Symmetry and pawn-hash consistency over many endings are in
// symmetry_test.cpp.
#include <gtest/gtest.h>

#include "eval/eval_case.h"
#include "eval/piece_tables.h"
#include "eval/recogniser.h"
#include "board/square_names.h"

namespace {

// What the pieces in `with` that are missing from `without` add to White.
int PiecesAdd(std::string_view with, std::string_view without) {
  TEvalCase a(with, endgame), b(without, endgame);
  return a.Pieces(Light) - b.Pieces(Light);
}

TEST(EndgamePieces, RookTerms) {
  struct TCase { const char *with, *without; int added; };
  const TCase cases[] = {
      // Behind its own passer; in front of it on the eighth.
      {"8/8/3P4/8/8/k7/8/3R3K w - - 0 1", "8/8/3P4/8/8/k7/8/7K w - - 0 1", 20},
      {"3R4/8/3P4/8/8/k7/8/7K w - - 0 1", "8/8/3P4/8/8/k7/8/7K w - - 0 1", -20 + 10},
      // On the seventh against a king on g8: 30 more while its f- and g-pawn
      // cover is gone. An e-pawn is no cover, nor a pawn that has left home.
      {"6k1/R7/8/8/8/8/8/6K1 w - - 0 1", "6k1/8/8/8/8/8/8/6K1 w - - 0 1", 20 + 30},
      {"6k1/R4pp1/8/8/8/8/8/6K1 w - - 0 1", "6k1/5pp1/8/8/8/8/8/6K1 w - - 0 1", 20},
      {"6k1/R5p1/8/8/8/8/8/6K1 w - - 0 1", "6k1/6p1/8/8/8/8/8/6K1 w - - 0 1", 20},
      {"6k1/R3p3/8/8/8/8/8/6K1 w - - 0 1", "6k1/4p3/8/8/8/8/8/6K1 w - - 0 1", 20 + 30},
      {"6k1/R7/5pp1/8/8/8/8/6K1 w - - 0 1", "6k1/8/5pp1/8/8/8/8/6K1 w - - 0 1", 20 + 30},
  };
  for (const TCase& c : cases) EXPECT_EQ(PiecesAdd(c.with, c.without), c.added) << c.with;
}

TEST(EndgamePieces, KnightsAndBishops) {
  // A lone knight on d5 against rook pawns: eight safe squares (+8), its
  // square (+10), and 40 off against two of them, 20 against one; with a rook
  // beside it the knight is not alone.
  EXPECT_EQ(PiecesAdd("8/8/8/3N4/8/p6p/8/K6k w - - 0 1", "8/8/8/8/8/p6p/8/K6k w - - 0 1"), 8 + 10 - 40);
  EXPECT_EQ(PiecesAdd("8/8/8/3N4/8/p5p1/8/K6k w - - 0 1", "8/8/8/8/8/p5p1/8/K6k w - - 0 1"), 8 + 10 - 20);
  EXPECT_EQ(PiecesAdd("1R6/8/8/3N4/8/p6p/8/K6k w - - 0 1", "1R6/8/8/8/8/p6p/8/K6k w - - 0 1"), 8 + 10);
  // A bishop shut in by its own pawns is bad: its square, no mobility, and
  // hemmed in on c1 by the pawns on b2 and d2.
  TEvalCase bishop("4k3/8/8/8/8/8/1P1P4/2B1K3 w - - 0 1", endgame);
  const int withBishop = bishop.Pieces(Light);
  EXPECT_EQ(bishop.e.BadBishops[Light], 1);
  TEvalCase noBishop("4k3/8/8/8/8/8/1P1P4/4K3 w - - 0 1", endgame);
  EXPECT_EQ(withBishop - noBishop.Pieces(Light), BishopSquare[sq::c1] - 15 - 40);
}

TEST(EndgameEvaluation, SideThatCannotWinKeepsOnlyTheKingsDifference) {
  // Rook against bishop and pawn: Black is ahead but cannot win.
  TEvalCase blackAhead("7r/6k1/8/8/8/3K4/4P3/2B5 w - - 0 1", endgame);
  EXPECT_EQ(blackAhead.Evaluate(), KingCentreDifference(*blackAhead.board));
  EXPECT_EQ(KingCentreDifference(*blackAhead.board), 4 - -10);
  // Rook against bishop: drawish, the kings alone (h1 against e2, White to move).
  TEvalCase drawish("8/8/8/8/8/2b5/4k3/R6K w - - 0 1", endgame);
  EXPECT_EQ(drawish.Evaluate(), -20 - -5);
  // Rook and pawn against knight: White is ahead and may win.
  TEvalCase whiteAhead("4k3/8/8/4n3/8/8/4P3/R3K3 w - - 0 1", endgame);
  EXPECT_GT(whiteAhead.Evaluate(), 100);
}

TEST(EndgameEvaluation, BonusCodesJoinTheScore) {
  // King and pawn with the opposition: 50 for White on top of the pawn.
  TEvalCase won("8/8/4k3/8/4K3/4P3/8/8 b - - 0 1", endgame);
  TEvalCase drawn("8/8/4k3/8/4K3/4P3/8/8 w - - 0 1", endgame);
  EXPECT_EQ(drawn.Evaluate(), 0);
  EXPECT_LE(won.Evaluate(), -(100 + 50));
}

}  // namespace

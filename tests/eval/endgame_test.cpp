// The endgame evaluator: colour symmetry and pawn-hash consistency over many
// positions evaluated as endgames, and the endgame piece rules most easily
// got wrong on hand-made positions.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "eval/endgame_case.h"
#include "eval/piece_tables.h"
#include "eval/recogniser.h"
#include "eval/square_names.h"
#include "hash/hash_table.h"

namespace {

// Endings of the kinds the recogniser and the endgame rules single out.
const std::vector<std::string> SpecialEndings = {
    "8/8/2K5/8/3k4/8/8/1N3B2 b - - 0 1",           // king + bishop + knight
    "8/8/4k3/8/4K3/4P3/8/8 w - - 0 1",             // king and pawn, opposition
    "8/3K4/8/7k/3P4/8/8/8 b - - 0 1",              // king and pawn, escorted
    "8/8/5k2/P7/2K5/8/8/8 w - - 0 1",              // rook pawn
    "8/2K5/1P6/8/8/6k1/8/7r w - - 0 1",            // rook against pawn
    "r7/8/8/8/8/8/1PK5/7k b - - 0 1",              // rook against pawn at home
    "8/8/1b6/4k3/8/8/4PP2/4K3 w - - 0 1",          // lone bishop
    "7r/6k1/8/8/8/3K4/4P3/2B5 w - - 0 1",          // only White can win
    "4k3/8/8/4P3/8/8/r7/4K2R b - - 0 1",           // rook and pawn against rook
    "8/5ppp/1k6/8/6K1/8/5PPP/8 w - - 0 1",         // pure pawn ending
    "8/pp3k2/2p5/8/3P1K2/8/PP6/8 b - - 0 1",       // pure pawn ending, both wings
    "6k1/5ppp/8/8/8/8/1q3PPP/3Q2K1 w - - 0 1",     // queens
    "3r2k1/p4pp1/1p5p/8/3n4/1P3N1P/P4PP1/2R3K1 w - - 0 1",
    "8/p4k2/1p2np2/2p5/2P1B3/1P3K2/P4P2/8 w - - 0 1",
    "2b3k1/5ppp/8/3P4/8/8/5PPP/2B2BK1 b - - 0 1",  // bishop pair against one bishop
    "6k1/R4ppp/8/8/8/8/5PPP/6K1 w - - 0 1",        // rook on the seventh
};

// Every position of the sample, evaluated with the root already in the
// endgame, so that the endgame evaluator scores all of them.
int EvaluateAsEndgame(const TSearchBoard& board, THashClass& tables) {
  TEvalState e;
  e.PhaseDepart = endgame;
  return Evaluate(board, e, tables);
}

TEST(EndgameEvaluation, ColourMirroredTwinsEvaluateEqual) {
  std::vector<std::string> positions = VariedPositions();
  positions.insert(positions.end(), SpecialEndings.begin(), SpecialEndings.end());
  THashClass tables(1);
  for (const std::string& fen : positions) {
    SCOPED_TRACE(fen);
    const auto board = BoardFromFen(fen);
    const auto twin = MirroredBoard(*board);
    EXPECT_EQ(EvaluateAsEndgame(*board, tables), EvaluateAsEndgame(*twin, tables));
  }
}

TEST(EndgameEvaluation, PawnHashHitGivesTheMissScore) {
  std::vector<std::string> positions = VariedPositions();
  positions.insert(positions.end(), SpecialEndings.begin(), SpecialEndings.end());
  for (const std::string& fen : positions) {
    SCOPED_TRACE(fen);
    THashClass tables(1);
    const auto board = BoardFromFen(fen);
    const int miss = EvaluateAsEndgame(*board, tables);
    EXPECT_EQ(EvaluateAsEndgame(*board, tables), miss);
  }
}

// What the pieces in `with` that are missing from `without` add to the side.
int PiecesAdd(std::string_view with, std::string_view without, TSide side = Light) {
  TEndgameCase a(with), b(without);
  return a.Pieces(side) - b.Pieces(side);
}

TEST(EndgamePieces, RookAndItsOwnPassedPawn) {
  constexpr std::string_view noRook = "8/8/3P4/8/8/k7/8/7K w - - 0 1";
  EXPECT_EQ(PiecesAdd("8/8/3P4/8/8/k7/8/3R3K w - - 0 1", noRook), 20);       // behind it
  EXPECT_EQ(PiecesAdd("3R4/8/3P4/8/8/k7/8/7K w - - 0 1", noRook), -20 + 10);  // in front, on the eighth
}

TEST(EndgamePieces, RookOnTheSeventhAgainstTheKingsPawnCover) {
  // The king on g8: its cover is the f- and g-pawns, at home on the seventh.
  EXPECT_EQ(PiecesAdd("6k1/R7/8/8/8/8/8/6K1 w - - 0 1", "6k1/8/8/8/8/8/8/6K1 w - - 0 1"), 20 + 30);
  EXPECT_EQ(PiecesAdd("6k1/R4pp1/8/8/8/8/8/6K1 w - - 0 1", "6k1/5pp1/8/8/8/8/8/6K1 w - - 0 1"), 20);
  EXPECT_EQ(PiecesAdd("6k1/R5p1/8/8/8/8/8/6K1 w - - 0 1", "6k1/6p1/8/8/8/8/8/6K1 w - - 0 1"), 20);
  EXPECT_EQ(PiecesAdd("6k1/R4p2/8/8/8/8/8/6K1 w - - 0 1", "6k1/5p2/8/8/8/8/8/6K1 w - - 0 1"), 20);
  // An e-pawn is no cover for a king on g8, nor a pawn that has left home.
  EXPECT_EQ(PiecesAdd("6k1/R3p3/8/8/8/8/8/6K1 w - - 0 1", "6k1/4p3/8/8/8/8/8/6K1 w - - 0 1"), 20 + 30);
  EXPECT_EQ(PiecesAdd("6k1/R7/5pp1/8/8/8/8/6K1 w - - 0 1", "6k1/8/5pp1/8/8/8/8/6K1 w - - 0 1"), 20 + 30);
}

TEST(EndgamePieces, LoneKnightAgainstRookPawns) {
  // Knight d5: eight safe squares (+8) and its square (+10).
  EXPECT_EQ(PiecesAdd("8/8/8/3N4/8/p6p/8/K6k w - - 0 1", "8/8/8/8/8/p6p/8/K6k w - - 0 1"), 8 + 10 - 40);
  EXPECT_EQ(PiecesAdd("8/8/8/3N4/8/p5p1/8/K6k w - - 0 1", "8/8/8/8/8/p5p1/8/K6k w - - 0 1"), 8 + 10 - 20);
  // With a rook beside it the knight is not alone.
  EXPECT_EQ(PiecesAdd("1R6/8/8/3N4/8/p6p/8/K6k w - - 0 1", "1R6/8/8/8/8/p6p/8/K6k w - - 0 1"), 8 + 10);
}

TEST(EndgamePieces, BishopShutInByItsOwnPawnsIsBad) {
  TEndgameCase position("4k3/8/8/8/8/8/1P1P4/2B1K3 w - - 0 1");
  const int withBishop = position.Pieces(Light);
  EXPECT_EQ(position.e.Bad_Bishop_L, 1);
  TEndgameCase noBishop("4k3/8/8/8/8/8/1P1P4/4K3 w - - 0 1");
  // Its square, no mobility at all, and hemmed in on c1 by the pawns on b2 and d2.
  EXPECT_EQ(withBishop - noBishop.Pieces(Light), BishopSquare[sq::c1] - 15 - 40);
}

TEST(EndgameEvaluation, SideThatCannotWinKeepsOnlyTheKingsDifference) {
  // Rook against bishop and pawn: Black is ahead but cannot win.
  TEndgameCase blackAhead("7r/6k1/8/8/8/3K4/4P3/2B5 w - - 0 1");
  EXPECT_EQ(blackAhead.Evaluate(), KingCentreDifference(*blackAhead.board));
  EXPECT_EQ(KingCentreDifference(*blackAhead.board), 4 - -10);
  // Rook and pawn against knight: White is ahead and may win.
  TEndgameCase whiteAhead("4k3/8/8/4n3/8/8/4P3/R3K3 w - - 0 1");
  EXPECT_GT(whiteAhead.Evaluate(), 100);
}

TEST(EndgameEvaluation, BonusCodesJoinTheScore) {
  // King and pawn with the opposition: 50 for White on top of the pawn.
  TEndgameCase won("8/8/4k3/8/4K3/4P3/8/8 b - - 0 1");
  TEndgameCase drawn("8/8/4k3/8/4K3/4P3/8/8 w - - 0 1");
  EXPECT_EQ(drawn.Evaluate(), 0);
  EXPECT_LE(won.Evaluate(), -(100 + 50));
}

}  // namespace

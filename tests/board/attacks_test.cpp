// Attacked squares, check analysis from scratch and after a move, pins and
// the kings' lines of sight.
#include <gtest/gtest.h>

#include "board/board_fixture.h"

namespace {

// The squares of a text such as "e8 e7 e6".
TSquareSet Squares(std::string_view names) {
  TSquareSet set = 0;
  for (std::size_t i = 0; i + 1 < names.size(); i += 3) set |= SquareBit(Sq(names.substr(i, 2)));
  return set;
}

TEST(BoardAttacks, CheckAnalysisFromScratch) {
  struct TCase {
    const char* fen;
    int checks;
    const char *lines, *behind, *pins;  // null: no meaning in a double check
  };
  const TCase cases[] = {
      {"4r2k/8/8/8/8/8/8/4K3 w - - 0 1", 1, "e8 e7 e6 e5 e4 e3 e2", "", ""},  // rook from the edge
      {"4r2k/8/8/8/4K3/8/8/8 w - - 0 1", 1, "e8 e7 e6 e5", "e3", ""},         // the square behind the king
      {"7k/8/8/8/8/3p4/4K3/8 w - - 0 1", 1, "d3", "", ""},                     // pawn: no line behind
      {"4r2k/8/8/8/4N3/3n4/8/4K3 w - - 0 1", 1, "d3", "", "e4"},              // the rook pins e4
      {"7k/8/8/8/1b6/3n4/8/R3K3 w - - 0 1", 2, nullptr, nullptr, ""},         // bishop and knight
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.fen);
    auto board = BoardFromFen(c.fen);
    EXPECT_TRUE(InCheckAtRoot(*board));
    EXPECT_EQ(board->NEchecs, c.checks);
    if (c.lines) { EXPECT_EQ(board->CasesEchecs, Squares(c.lines)); }
    if (c.behind) { EXPECT_EQ(board->CasesDerriere, Squares(c.behind)); }
    EXPECT_EQ(board->PiecesClouees, Squares(c.pins));
  }
}

TEST(BoardAttacks, PawnsAndKingLinesStopAtTheBoardEdge) {
  // h1 sees its file, its rank and the long diagonal up to the king on a8.
  EXPECT_EQ(std::popcount(BoardFromFen("k7/8/8/8/8/8/8/7K w - - 0 1")->KingEntry(Light).PieceCasesControle), 21);
  // Squares next in numbering across the edge are not neighbours.
  auto pawns = BoardFromFen("7k/8/8/p6p/P6P/8/P7/7K w - - 0 1");
  EXPECT_TRUE(pawns->AttackedByDarkPawn(Sq("b4")));
  EXPECT_TRUE(pawns->AttackedByDarkPawn(Sq("g4")));
  EXPECT_FALSE(pawns->AttackedByDarkPawn(Sq("a4")));
  EXPECT_TRUE(pawns->AttackedByLightPawn(Sq("g5")));
  EXPECT_FALSE(pawns->AttackedByLightPawn(Sq("h6")));
  EXPECT_TRUE(pawns->DarkPawnBeside(Sq("b5")));
  EXPECT_FALSE(pawns->DarkPawnBeside(Sq("a4")));  // h5 comes before a4
  EXPECT_TRUE(pawns->LightPawnBeside(Sq("g4")));
  EXPECT_FALSE(pawns->LightPawnBeside(Sq("h3")));  // a2 comes after h3
}

TEST(BoardAttacks, EnPassantOpeningTheRankChecksOnce) {
  // cxb6 empties c5 and b5 at once: the rook on h5 checks a5 through both.
  // The line past the taken pawn runs through the capturer's square and must
  // not register the same check twice (a double check allows king moves only).
  auto board = BoardFromFen("8/1p2n3/8/k1P4R/8/8/8/4K3 b - - 0 1");
  for (const char* move : {"b7b5", "c5b6"}) {
    board->GenerateMoves();
    ASSERT_TRUE(board->MakeMove(FindMove(*board, move))) << move;
    EXPECT_EQ(board->UpdateChecks(false), move[0] == 'c') << move;
  }
  EXPECT_EQ(board->NEchecs, 1);
  EXPECT_EQ(board->CasesEchecs, Squares("h5 g5 f5 e5 d5 c5 b5"));
  board->GenerateEvasions();
  const auto replies = PlyMoveTexts(*board);
  EXPECT_TRUE(Contains(replies, "e7d5"));
  EXPECT_TRUE(Contains(replies, "a5b6"));
  EXPECT_FALSE(Contains(replies, "a5b5"));
  EXPECT_TRUE(board->board_is_ok());
}

}  // namespace

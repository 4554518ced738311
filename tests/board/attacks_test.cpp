// Attacked squares, check analysis from scratch and after a move, pins and
// the kings' lines of sight.
#include <gtest/gtest.h>

#include "board/board_fixture.h"

namespace {

TSquareSet Squares(std::initializer_list<std::string_view> names) {
  TSquareSet set = 0;
  for (const auto name : names) set |= SquareBit(Sq(name));
  return set;
}

// Makes `text` (which must be legal) and runs the check analysis.
bool Play(TSearchBoard& board, std::string_view text) {
  InCheckAtRoot(board) ? board.GenerateEvasions() : board.GenerateMoves();
  EXPECT_TRUE(board.MakeMove(FindMove(board, text))) << text;
  return board.UpdateChecks(false);
}

TEST(BoardAttacks, RookCheckAlongFileFromEdge) {
  auto board = BoardFromFen("4r2k/8/8/8/8/8/8/4K3 w - - 0 1");
  ASSERT_TRUE(board);
  EXPECT_TRUE(InCheckAtRoot(*board));
  EXPECT_EQ(board->NEchecs, 1);
  EXPECT_EQ(board->CasesEchecs, Squares({"e8", "e7", "e6", "e5", "e4", "e3", "e2"}));
  EXPECT_EQ(board->CasesDerriere, 0u);
}

TEST(BoardAttacks, SquareBehindKingOnCheckingRay) {
  auto board = BoardFromFen("4r2k/8/8/8/4K3/8/8/8 w - - 0 1");
  ASSERT_TRUE(board);
  EXPECT_TRUE(InCheckAtRoot(*board));
  EXPECT_EQ(board->CasesDerriere, Squares({"e3"}));
  board->GenerateEvasions();
  EXPECT_FALSE(Contains(PlyMoveTexts(*board), "e4e3"));
  EXPECT_TRUE(Contains(PlyMoveTexts(*board), "e4d3"));
}

TEST(BoardAttacks, KnightAndBishopDoubleCheckLeavesNoPins) {
  // Bishop b4 and knight d3 both check e1.
  auto board = BoardFromFen("7k/8/8/8/1b6/3n4/8/R3K3 w - - 0 1");
  ASSERT_TRUE(board);
  EXPECT_TRUE(InCheckAtRoot(*board));
  EXPECT_EQ(board->NEchecs, 2);
  EXPECT_EQ(board->PiecesClouees, 0u);
}

TEST(BoardAttacks, PawnCheckHasNoLineNorSquareBehind) {
  auto board = BoardFromFen("7k/8/8/8/8/3p4/4K3/8 w - - 0 1");
  ASSERT_TRUE(board);
  EXPECT_TRUE(InCheckAtRoot(*board));
  EXPECT_EQ(board->CasesEchecs, Squares({"d3"}));
  EXPECT_EQ(board->CasesDerriere, 0u);
}

TEST(BoardAttacks, PinnedPieceFound) {
  auto board = BoardFromFen("4r2k/8/8/8/4N3/3n4/8/4K3 w - - 0 1");
  ASSERT_TRUE(board);
  // The knight d3 checks; the knight e4 is pinned by the rook.
  EXPECT_TRUE(InCheckAtRoot(*board));
  EXPECT_EQ(board->PiecesClouees, Squares({"e4"}));
}

TEST(BoardAttacks, AttacksDoNotSeeThroughPieces) {
  auto board = BoardFromFen("r6k/8/8/8/N7/8/8/7K w - - 0 1");
  ASSERT_TRUE(board);
  EXPECT_TRUE(board->SquareAttacked(Sq("a5"), Dark));
  EXPECT_TRUE(board->SquareAttacked(Sq("a4"), Dark));
  EXPECT_FALSE(board->SquareAttacked(Sq("a3"), Dark));
  int open = -1;
  EXPECT_FALSE(board->SquareAttackedCount(Sq("a2"), Dark, open));
  EXPECT_GT(open, 0);
}

TEST(BoardAttacks, PawnAttacksRespectTheBoardEdge) {
  auto board = BoardFromFen("7k/8/8/p6p/P6P/8/8/7K w - - 0 1");
  ASSERT_TRUE(board);
  EXPECT_TRUE(board->AttackedByDarkPawn(Sq("b4")));
  EXPECT_TRUE(board->AttackedByDarkPawn(Sq("g4")));
  EXPECT_FALSE(board->AttackedByDarkPawn(Sq("a4")));
  EXPECT_TRUE(board->AttackedByLightPawn(Sq("b5")));
  EXPECT_TRUE(board->AttackedByLightPawn(Sq("g5")));
  EXPECT_FALSE(board->AttackedByLightPawn(Sq("h6")));
}

TEST(BoardAttacks, CornerKingSeesTwentyOneSquares) {
  auto board = BoardFromFen("k7/8/8/8/8/8/8/7K w - - 0 1");
  ASSERT_TRUE(board);
  // h1 sees its file, its rank and the long diagonal up to the king on a8.
  EXPECT_EQ(std::popcount(board->KingEntry(Light).PieceCasesControle), 21);
}

TEST(BoardAttacks, DiscoveredCheckFoundAfterTheMove) {
  // The bishop leaves the e-file between the rook and the king.
  auto board = BoardFromFen("4k3/8/8/8/4B3/8/8/K3R3 w - - 0 1");
  ASSERT_TRUE(board);
  EXPECT_TRUE(Play(*board, "e4f3"));
  EXPECT_EQ(board->NEchecs, 1);
  EXPECT_EQ(board->CasesEchecs, Squares({"e1", "e2", "e3", "e4", "e5", "e6", "e7"}));
  EXPECT_TRUE(board->board_is_ok());
}

TEST(BoardAttacks, EnPassantOpeningTheRankChecksOnce) {
  // cxb6 empties c5 and b5 at once: the rook on h5 checks a5 through both.
  // The line past the taken pawn runs through the capturer's square and must
  // not register the same check twice (a double check allows king moves only).
  auto board = BoardFromFen("8/1p2n3/8/k1P4R/8/8/8/4K3 b - - 0 1");
  ASSERT_TRUE(board);
  EXPECT_FALSE(Play(*board, "b7b5"));
  EXPECT_TRUE(Play(*board, "c5b6"));
  EXPECT_EQ(board->NEchecs, 1);
  EXPECT_EQ(board->CasesEchecs, Squares({"h5", "g5", "f5", "e5", "d5", "c5", "b5"}));
  board->GenerateEvasions();
  const auto replies = PlyMoveTexts(*board);
  EXPECT_TRUE(Contains(replies, "e7d5"));
  EXPECT_TRUE(Contains(replies, "a5b6"));
  EXPECT_FALSE(Contains(replies, "a5b5"));
  EXPECT_TRUE(board->board_is_ok());
}

TEST(BoardAttacks, MaterialQueries) {
  auto board = BoardFromFen("rn2k3/pppp4/8/8/8/8/PP6/R2QKB2 w - - 0 1");
  ASSERT_TRUE(board);
  EXPECT_EQ(board->PieceCount(Light), 3);
  EXPECT_EQ(board->PieceWeight(Light), 45 + 90 + 30);
  EXPECT_EQ(board->PieceMaterial(Dark), 470 + 300);
  EXPECT_EQ(board->MenCountWithoutKings(), 3 + 2 + 2 + 4);
  EXPECT_EQ(board->PieceCountBothSides(), 5);
  EXPECT_TRUE(board->DarkPawnBeside(Sq("e7")));
  EXPECT_FALSE(board->DarkPawnBeside(Sq("e6")));
  EXPECT_TRUE(board->LightPawnBeside(Sq("c2")));
  EXPECT_FALSE(board->LightPawnBeside(Sq("h3")));  // a2 is next in numbering, not on the board
}

}  // namespace

// Preparing a placed position for a search, and the legal root list.
#include <gtest/gtest.h>

#include "board/board_fixture.h"

namespace {

std::vector<std::string> ListSquares(const TSearchBoard& board, TSide side) {
  std::vector<std::string> squares;
  for (std::uint32_t i = 1; i <= board.MaxIndex(side); ++i)
    squares.emplace_back(SquareName[board.PIECES[side].TabPieces[i].CaseActu]);
  return squares;
}

TEST(BoardPrepare, StartPositionLists) {
  auto board = BoardFromFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
  ASSERT_TRUE(board);
  const std::vector<std::string> white = {"e1", "a2", "b2", "c2", "d2", "e2", "f2", "g2", "h2",
                                          "a1", "b1", "c1", "d1", "f1", "g1", "h1"};
  EXPECT_EQ(ListSquares(*board, Light), white);
  // Black's pawns run from the h-file to the a-file.
  EXPECT_EQ(ListSquares(*board, Dark)[1], "h7");
  EXPECT_EQ(board->Max_light, 16u);
  EXPECT_EQ(board->NP[Light][Pawn], 8);
  EXPECT_EQ(board->NP[Light][King], 1);
  EXPECT_TRUE(board->KingEntry(Light).RoqueAutorise);
  EXPECT_TRUE(board->board_is_ok());
}

TEST(BoardPrepare, PawnsMostAdvancedFirst) {
  // The knight is met first in the scan and ends up behind the pawns.
  auto board = BoardFromFen("4k3/8/N7/1P6/8/8/6P1/4K3 w - - 0 1");
  ASSERT_TRUE(board);
  EXPECT_EQ(ListSquares(*board, Light), (std::vector<std::string>{"e1", "b5", "g2", "a6"}));
  EXPECT_FALSE(board->KingEntry(Light).RoqueAutorise);
  EXPECT_TRUE(board->board_is_ok());
}

TEST(BoardPrepare, RootListKeepsLegalMovesOnly) {
  // The bishop on e2 is pinned: of its moves none is legal.
  auto board = BoardFromFen("4r1k1/8/8/8/8/8/4B3/4K3 w - - 0 1");
  ASSERT_TRUE(board);
  ASSERT_FALSE(InCheckAtRoot(*board));
  board->GenerateRootMoves();
  const int generated = board->First_move[1];
  board->FilterLegalRootMoves();
  EXPECT_EQ(board->First_move[0], 0);
  EXPECT_EQ(board->First_move[1], generated - 9);
  for (const TGen& g : PlyMoves(*board)) EXPECT_NE(g.m.from, Sq("e2"));
  EXPECT_TRUE(board->board_is_ok());
}

}  // namespace

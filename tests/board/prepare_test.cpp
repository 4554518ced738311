// Preparing a placed position for a search, and the legal root list.
#include <gtest/gtest.h>

#include "board/board_fixture.h"

namespace {

std::string ListSquares(const TSearchBoard& board, TSide side) {
  std::string squares;
  for (std::uint32_t i = 1; i <= board.MaxIndex(side); ++i)
    squares += std::string(i > 1 ? " " : "") + std::string(SquareName[board.PIECES[side].TabPieces[i].CaseActu]);
  return squares;
}

TEST(BoardPrepare, PieceListsPutTheKingFirstThenThePawnsMostAdvancedFirst) {
  auto start = BoardFromFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
  EXPECT_EQ(ListSquares(*start, Light), "e1 a2 b2 c2 d2 e2 f2 g2 h2 a1 b1 c1 d1 f1 g1 h1");
  // Black's pawns run from the h-file to the a-file.
  EXPECT_TRUE(ListSquares(*start, Dark).starts_with("e8 h7 g7 f7 e7 d7 c7 b7 a7 "));
  EXPECT_TRUE(start->KingEntry(Light).RoqueAutorise);
  // The knight is met first in the scan and ends up behind the pawns.
  auto pawns = BoardFromFen("4k3/8/N7/1P6/8/8/6P1/4K3 w - - 0 1");
  EXPECT_EQ(ListSquares(*pawns, Light), "e1 b5 g2 a6");
  EXPECT_FALSE(pawns->KingEntry(Light).RoqueAutorise);
}

TEST(BoardPrepare, RootListKeepsLegalMovesOnly) {
  // The bishop on e2 is pinned: of its moves none is legal.
  auto board = BoardFromFen("4r1k1/8/8/8/8/8/4B3/4K3 w - - 0 1");
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

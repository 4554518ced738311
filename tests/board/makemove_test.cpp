// Preparing a placed position for a search (piece lists, the legal root
// list), and what the board walk does not see of making and unmaking moves:
// castling's own test, promotion reports, repetitions and the null move.
#include <gtest/gtest.h>

#include "board/board_fixture.h"
#include "board/keys.h"

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

// Generates this ply's full list and makes `text` from it.
bool Make(TSearchBoard& board, std::string_view text) {
  board.GenerateMoves();
  return board.MakeMove(FindMove(board, text));
}

TEST(BoardMakeMove, CastlingOutOfCheckIsNotMakeMovesTest) {
  // The generator keeps castling out of check; MakeMove tests the path only.
  auto board = BoardFromFen("4r1k1/8/8/8/8/8/8/4K2R w K - 0 1");
  EXPECT_TRUE(Make(*board, "e1g1"));
  EXPECT_EQ(board->Fifty, 0u);
  EXPECT_EQ(board->KingEntry(Light).RoiARoque, PetitRoque);
  EXPECT_EQ(board->hash, ComputeKey(*board));
  board->TakeBack();
  EXPECT_EQ(board->KingEntry(Light).RoiARoque, NonRoque);
}

TEST(BoardMakeMove, PromotionReportedAndUndone) {
  // Keys, counts and lists after every make are checked by the board walk.
  auto board = BoardFromFen("1r5k/P7/8/8/8/8/8/7K w - - 0 1");
  const TBoardSnapshot before(*board);
  board->GenerateMoves();
  std::int32_t promoA = 0, promoB = 0;
  ASSERT_TRUE(board->MakeMove(FindMove(*board, "a7b8n"), promoA, promoB));
  EXPECT_EQ(promoA, 2);
  EXPECT_EQ(promoB, 1);
  EXPECT_EQ(board->Piece[Sq("b8")], Knight);
  board->TakeBack();
  EXPECT_EQ(TBoardSnapshot(*board), before);
  promoA = promoB = 0;
  ASSERT_TRUE(board->MakeMove(FindMove(*board, "h1g1"), promoA, promoB));
  EXPECT_EQ(promoA + promoB, 0);
}

TEST(BoardMakeMove, RepetitionFoundAfterFourPliesInsideTheHistory) {
  auto board = BoardFromFen("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1");
  for (const char* move : {"g1f3", "e8d8", "f3g1", "d8e8"}) {
    EXPECT_FALSE(board->IsRepetition());
    ASSERT_TRUE(Make(*board, move));
  }
  EXPECT_EQ(board->Fifty, 4u);
  EXPECT_TRUE(board->IsRepetition());
  // One ply back, four plies have not passed yet.
  board->TakeBack();
  EXPECT_FALSE(board->IsRepetition());
  // A set-up count larger than the history does not send the scan outside it.
  auto fresh = BoardFromFen("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1");
  fresh->Fifty = 90;
  fresh->Hply = 0;
  EXPECT_FALSE(fresh->IsRepetition());
}

TEST(BoardMakeMove, NullMoveKeys) {
  // The null move drops the en-passant square; the caller puts it and its key back.
  auto board = BoardFromFen("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
  const std::uint32_t key = board->hash;
  const std::int32_t square = board->EP;
  board->MakeNullMove();
  EXPECT_EQ(board->Side, Dark);
  EXPECT_EQ(board->EP, NoSquare);
  EXPECT_EQ(board->hash, ComputeKey(*board));
  board->TakeBackNullMove();
  board->EP = square;
  board->hash ^= Keys.EPKeys[square];
  EXPECT_EQ(board->hash, key);
}

}  // namespace

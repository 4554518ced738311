// Making and unmaking moves: what the board walk does not see (castling's
// own test, promotion reports, repetitions and the null move).
#include <gtest/gtest.h>

#include "board/board_fixture.h"
#include "board/keys.h"

namespace {

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

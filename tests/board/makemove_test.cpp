// Making and unmaking moves: refusals leave the board untouched, keys stay
// equal to a fresh computation, and unmaking restores the board exactly.
#include <gtest/gtest.h>

#include "board/board_fixture.h"
#include "hash/keys.h"

namespace {

// Generates this ply's full list and makes `text` from it.
bool Make(TSearchBoard& board, std::string_view text) {
  board.GenerateMoves();
  return board.MakeMove(FindMove(board, text));
}

std::uint32_t PawnKey(const TSearchBoard& board) {
  TThreadConsole copy = board;
  Set_Hash_Pawns(copy);
  return copy.hashP;
}

TEST(BoardMakeMove, CastlingOutOfCheckIsNotMakeMovesTest) {
  // The generator keeps castling out of check; MakeMove tests the path only.
  auto board = BoardFromFen("4r1k1/8/8/8/8/8/8/4K2R w K - 0 1");
  ASSERT_TRUE(board);
  EXPECT_TRUE(Make(*board, "e1g1"));
  EXPECT_EQ(board->Fifty, 0u);
  EXPECT_EQ(board->KingEntry(Light).RoiARoque, PetitRoque);
  EXPECT_EQ(board->hash, set_hash(*board));
  board->TakeBack();
  EXPECT_EQ(board->KingEntry(Light).RoiARoque, NonRoque);
}

TEST(BoardMakeMove, CaptureOnRookSquareDropsTheRight) {
  auto board = BoardFromFen("r3k2r/8/8/8/8/8/8/4K2R w Kkq - 0 1");
  ASSERT_TRUE(board);
  ASSERT_TRUE(Make(*board, "h1h8"));
  EXPECT_EQ(board->Castle, 8u);  // only Black's queen side is left
  EXPECT_EQ(board->hash, set_hash(*board));
}

TEST(BoardMakeMove, EnPassantCaptureAndTakeBack) {
  auto board = BoardFromFen("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
  ASSERT_TRUE(board);
  const TBoardSnapshot before(*board);
  const std::uint32_t pawnIndex = board->Tabindex[Sq("d5")];
  ASSERT_TRUE(Make(*board, "e5d6"));
  EXPECT_EQ(board->Color[Sq("d5")], bsEmpty);
  EXPECT_EQ(std::uint32_t(board->Hist_dat[board->Hply - 1].Index.IndexPrise), pawnIndex);
  EXPECT_EQ(board->Hist_dat[board->Hply - 1].Capture, bpEmpty);
  EXPECT_EQ(board->NP[Dark][Pawn], 0);
  EXPECT_EQ(board->hash, set_hash(*board));
  EXPECT_EQ(board->hashP, PawnKey(*board));
  board->TakeBack();
  EXPECT_EQ(TBoardSnapshot(*board), before);
}

TEST(BoardMakeMove, PromotionReportedAndUndone) {
  auto board = BoardFromFen("1r5k/P7/8/8/8/8/8/7K w - - 0 1");
  ASSERT_TRUE(board);
  const TBoardSnapshot before(*board);
  board->GenerateMoves();
  std::int32_t promoA = 0, promoB = 0;
  ASSERT_TRUE(board->MakeMove(FindMove(*board, "a7b8n"), promoA, promoB));
  EXPECT_EQ(promoA, 2);
  EXPECT_EQ(promoB, 1);
  EXPECT_EQ(board->Piece[Sq("b8")], Knight);
  EXPECT_EQ(board->NP[Light][Knight], 1);
  EXPECT_EQ(board->NP[Light][Pawn], 0);
  EXPECT_EQ(board->NP[Dark][Rook], 0);
  EXPECT_EQ(board->hashP, 0u);
  EXPECT_EQ(board->hash, set_hash(*board));
  board->TakeBack();
  EXPECT_EQ(TBoardSnapshot(*board), before);
  promoA = promoB = 0;
  ASSERT_TRUE(board->MakeMove(FindMove(*board, "h1g1"), promoA, promoB));
  EXPECT_EQ(promoA + promoB, 0);
}

TEST(BoardMakeMove, RepetitionFoundAfterFourPlies) {
  auto board = BoardFromFen("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1");
  ASSERT_TRUE(board);
  const char* shuffle[] = {"g1f3", "e8d8", "f3g1", "d8e8"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FALSE(board->IsRepetition());
    ASSERT_TRUE(Make(*board, shuffle[i]));
  }
  EXPECT_EQ(board->Fifty, 4u);
  EXPECT_TRUE(board->IsRepetition());
  // One ply back, four plies have not passed yet.
  board->TakeBack();
  EXPECT_FALSE(board->IsRepetition());
}

TEST(BoardMakeMove, RepetitionScanStaysInsideTheHistory) {
  auto board = BoardFromFen("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1");
  ASSERT_TRUE(board);
  board->Fifty = 90;  // a set-up count larger than the history
  board->Hply = 0;
  EXPECT_FALSE(board->IsRepetition());
}

TEST(BoardMakeMove, NullMoveRestoresKey) {
  auto board = BoardFromFen("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1");
  ASSERT_TRUE(board);
  const std::uint32_t key = board->hash;
  board->MakeNullMove();
  EXPECT_EQ(board->Side, Dark);
  EXPECT_EQ(board->hash, set_hash(*board));
  board->TakeBackNullMove();
  EXPECT_EQ(board->hash, key);

  // With an en-passant square the caller puts it and its key back.
  auto ep = BoardFromFen("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
  ASSERT_TRUE(ep);
  const std::uint32_t epKey = ep->hash;
  const std::int32_t square = ep->EP;
  ep->MakeNullMove();
  EXPECT_EQ(ep->EP, NoSquare);
  EXPECT_EQ(ep->hash, set_hash(*ep));
  ep->TakeBackNullMove();
  ep->EP = square;
  ep->hash ^= Keys.EPKeys[square];
  EXPECT_EQ(ep->hash, epKey);
}

}  // namespace

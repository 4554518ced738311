// What the board walk does not see: the legal root list, the castled mark, repetitions, the null move.
#include <gtest/gtest.h>

#include "board/board_fixture.h"
#include "board/keys.h"

namespace {

// Generates this ply's full list and makes `text` from it.
bool Make(TSearchBoard& board, std::string_view text) {
  board.GenerateMoves();
  return board.MakeMove(FindMove(board, text));
}

TEST(BoardPrepare, RootListKeepsLegalMovesOnly) {
  auto board = BoardFromFen("4r1k1/8/8/8/8/8/4B3/4K3 w - - 0 1");  // the bishop is pinned
  ASSERT_FALSE(InCheckAtRoot(*board));
  board->GenerateRootMoves();
  board->FilterLegalRootMoves();
  EXPECT_TRUE(board->FirstMove[0] == 0 && PlyMoves(*board).size() == 4u);  // the king's, none of the bishop's
  for (const TGen& g : PlyMoves(*board)) EXPECT_EQ(g.m.from, Sq("e1"));
  EXPECT_TRUE(board->board_is_ok());
}

TEST(BoardMakeMove, CastlingMarksTheKingAsCastled) {
  auto board = BoardFromFen("4k3/8/8/8/8/8/8/4K2R w K - 0 1");
  ASSERT_TRUE(Make(*board, "e1g1"));
  EXPECT_EQ(board->KingEntry(Light).CastledAs, CastledShort);  // the evaluation's castling bonus reads it
}

TEST(BoardMakeMove, RepetitionFoundAfterFourPliesInsideTheHistory) {
  auto board = BoardFromFen("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1");
  for (const char* move : {"g1f3", "e8d8", "f3g1", "d8e8"}) {
    EXPECT_FALSE(board->IsRepetition());
    ASSERT_TRUE(Make(*board, move));
  }
  EXPECT_TRUE(board->IsRepetition());
  board->TakeBack();
  EXPECT_FALSE(board->IsRepetition());
  // A set-up count larger than the history does not send the scan outside it.
  auto fresh = BoardFromFen("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1");
  fresh->HalfmoveClock = 90;
  fresh->HistoryLength = 0;
  EXPECT_FALSE(fresh->IsRepetition());
}

TEST(BoardMakeMove, NullMoveKeys) {
  // The null move drops the en-passant square; the caller puts it and its key back.
  auto board = BoardFromFen("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
  const std::uint32_t key = board->hash;
  const std::int32_t square = board->EP;
  board->MakeNullMove();
  EXPECT_TRUE(board->Side == Dark && board->EP == NoSquare && board->hash == ComputeKey(*board));
  board->TakeBackNullMove();
  board->EP = square;
  board->hash ^= Keys.EPKeys[square];
  EXPECT_EQ(board->hash, key);
}

}  // namespace

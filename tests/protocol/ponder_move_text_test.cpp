// The expected reply sent after "ponder" is written from the position's own
// move list: the search records it from the hash table without a promotion's
// flag, and a promotion written without its letter is no legal UCI move
// (the soak referee caught "ponder c2c1").
#include <gtest/gtest.h>

#include "board/move_text.h"
#include "protocol/protocol_test_util.h"
#include "support/engine_session.h"

namespace {

using namespace protocol_test;

TEST(PonderReplyText, ThePromotionOfAReplyKeepsItsLetter) {
  TProtocolBoard board = BoardFromFen("7k/8/8/8/8/8/1p6/7K w - - 0 1");
  const TMove kingMove = GeneratedMove(board, "h1g1");
  // As the search records a stored reply: squares and piece, no flags.
  const TMove stored{49, 57, Knight, 0};  // b2b1
  ASSERT_EQ(MoveText(stored), "b2b1");
  TMove reply;
  ASSERT_TRUE(board.ExpectedReplyIsLegal(kingMove, stored, &reply));
  EXPECT_EQ(MoveText(reply), "b2b1n");
}

class UciPonderMove : public EngineSession {};

TEST_F(UciPonderMove, AnExpectedPromotionIsWrittenWithItsLetter) {
  // Whatever White does, Black's best reply is to promote (four men: the
  // search answers, not the tablebases).
  engine.Send("position fen k7/8/8/8/8/8/1p4PP/7K w - - 0 1");
  engine.Send("go depth 5");
  const auto best = BestMove(20000);
  ASSERT_TRUE(best);
  const std::size_t ponder = best->find(" ponder ");
  ASSERT_NE(ponder, std::string::npos) << *best;
  EXPECT_EQ(best->substr(ponder + 8), "b2b1q") << *best;
}

}  // namespace

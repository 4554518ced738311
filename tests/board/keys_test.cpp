// The random generator and the position keys drawn from it.
#include <gtest/gtest.h>

#include <random>

#include "board/keys.h"
#include "board/mersenne.h"
#include "protocol/protocol_test_util.h"

namespace {

constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

TEST(KeysGenerator, MatchesTheStandardGenerator) {
  Tmt19937 random(0xFFFFFFFFu);
  std::mt19937 reference(0xFFFFFFFFu);
  for (int i = 0; i < 10000; ++i) ASSERT_EQ(random.val32(), reference()) << i;
}

class KeysTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureEngineTables(); }
};

// The keys are part of the search's signature: a change in the draws, their
// order or the key formula moves every stored-move collision and the bench
// count. The start position's keys, recorded once, catch such a change here.
TEST_F(KeysTest, TheStartPositionHasItsRecordedKeys) {
  TBoardState board = protocol_test::BoardFromFen(StartFen);
  EXPECT_EQ(board.hash, 58130639u);
  EXPECT_EQ(ComputeKey(board), 58130639u);
  SetPawnKey(board);
  EXPECT_EQ(board.hashP, 753845607u);
}

}  // namespace

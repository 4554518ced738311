// The tables built at start-up that no perft count exercises: the kings'
// zones, the ray sets' conventions, and the position keys with their random
// generator.
#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "board/geometry.h"
#include "board/keys.h"
#include "board/mersenne.h"
#include "protocol/protocol_test_util.h"

namespace {

TEST(Geometry, KingZonesStopAtTheEdgeAndRaySetsMatchTheRayLists) {
  EnsureEngineTables();
  EXPECT_EQ(std::popcount(KingZone(63)), 4);
  EXPECT_EQ(std::popcount(KingZone(4)), 6);
  EXPECT_EQ(std::popcount(KingZone(36)), 9);
  EXPECT_FALSE(InSet(KingZone(36), 34));
  // The nearest square of a set on a ray is the one the list meets first.
  for (int d = 0; d < 8; ++d) {
    const int offset = Offset[Queen][d];
    ASSERT_EQ(QueenDirection(offset), d);
    for (int square = 0; square < 64; ++square) {
      const TRay& ray = RayFrom(square, offset);
      TSquareSet listed = 0;
      for (const int q : ray) listed |= SquareBit(q);
      ASSERT_EQ(RaySet(square, offset), listed) << square << " " << offset;
      if (ray.length < 3) continue;
      EXPECT_EQ(NearestOnRay(SquareBit(ray.squares[1]) | SquareBit(ray.squares[ray.length - 1]), offset), ray.squares[1]);
      EXPECT_EQ(RayBefore(square, offset, ray.squares[2]), SquareBit(ray.squares[0]) | SquareBit(ray.squares[1]));
    }
  }
}

// The keys are part of the search's signature: a change in the draws, their
// order or the key formula moves every stored-move collision and the bench
// count. The start position's keys, recorded once, catch such a change here.
TEST(Keys, TheGeneratorIsTheStandardOneAndTheStartKeysAreRecorded) {
  TMersenneTwister random(0xFFFFFFFFu);
  std::mt19937 reference(0xFFFFFFFFu);
  for (int i = 0; i < 10000; ++i) ASSERT_EQ(random.Next32(), reference()) << i;
  TBoardState board = protocol_test::BoardFromFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
  EXPECT_TRUE(board.hash == 58130639u && ComputeKey(board) == 58130639u);
  SetPawnKey(board);
  EXPECT_EQ(board.hashP, 753845607u);
}

}  // namespace

// The tables built at start-up: the geometry only the evaluation reads, the
// ray sets' conventions, and the position keys with their random generator.
// The mailbox, the attack and direction tables are exercised by every perft count.
#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "board/geometry.h"
#include "board/keys.h"
#include "board/mersenne.h"
#include "protocol/protocol_test_util.h"

namespace {

TEST(Geometry, KingZonesAndLinesTowardThem) {
  EnsureEngineTables();
  EXPECT_EQ(std::popcount(KingZone(63)), 4);
  EXPECT_EQ(std::popcount(KingZone(4)), 6);
  EXPECT_EQ(std::popcount(KingZone(36)), 9);
  EXPECT_FALSE(InSet(KingZone(36), 34));
  // King on g1: a knight on e3 reaches g2 and f1, one on e4 only f2.
  EXPECT_EQ(Geo.KnightTropism[62][44], 10);
  EXPECT_EQ(Geo.KnightTropism[62][36], 5);
  EXPECT_EQ(Geo.KnightTropism[62][62], 0);

  // Bit d stands for the direction Offset[kind][d].
  EXPECT_EQ(Geo.BishopLinesToZone[0][57], 0);       // b1 toward a king on a8
  EXPECT_EQ(Geo.BishopLinesToZone[0][63], 0b1);     // h1 on the long diagonal: -11
  EXPECT_EQ(Geo.QueenLinesToZone[36][20], 0b11100000);  // e6 toward a king on e4: +9, +10, +11
  EXPECT_EQ(Geo.QueenLinesToZone[36][36], 0);
}

// The ray sets hold the squares of the ray lists, and the nearest square of a
// set on a ray is the one the list meets first.
TEST(Geometry, RaySetsMatchTheRayLists) {
  EnsureEngineTables();
  for (int d = 0; d < 8; ++d) {
    const int offset = Offset[Queen][d];
    ASSERT_EQ(QueenDirection(offset), d);
    for (int square = 0; square < 64; ++square) {
      TSquareSet listed = 0;
      for (const int q : RayFrom(square, offset)) listed |= SquareBit(q);
      ASSERT_EQ(RaySet(square, offset), listed) << square << " " << offset;
      const TRay& ray = RayFrom(square, offset);
      if (ray.length < 3) continue;
      const TSquareSet far = SquareBit(ray.squares[1]) | SquareBit(ray.squares[ray.length - 1]);
      EXPECT_EQ(NearestOnRay(far, offset), ray.squares[1]);
      EXPECT_EQ(RayBefore(square, offset, ray.squares[2]), SquareBit(ray.squares[0]) | SquareBit(ray.squares[1]));
    }
  }
}

TEST(Keys, TheGeneratorMatchesTheStandardOne) {
  Tmt19937 random(0xFFFFFFFFu);
  std::mt19937 reference(0xFFFFFFFFu);
  for (int i = 0; i < 10000; ++i) ASSERT_EQ(random.val32(), reference()) << i;
}

// The keys are part of the search's signature: a change in the draws, their
// order or the key formula moves every stored-move collision and the bench
// count. The start position's keys, recorded once, catch such a change here.
TEST(Keys, TheStartPositionHasItsRecordedKeys) {
  TBoardState board = protocol_test::BoardFromFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
  EXPECT_TRUE(board.hash == 58130639u && ComputeKey(board) == 58130639u);
  SetPawnKey(board);
  EXPECT_EQ(board.hashP, 753845607u);
}

}  // namespace

// The king zones. Only the evaluation reads them, so no perft count sees
// them, and the colour-mirror tests miss a zone that wraps round to the other
// edge: mirroring keeps the files. (The rays are walked by every perft count.)
#include <gtest/gtest.h>

#include "support/engine_tables.h"

namespace {

TEST(Geometry, AKingZoneIsTheSquareAndItsNeighboursAcrossNoEdge) {
  EnsureEngineTables();
  for (int king = 0; king < 64; ++king)
    for (int square = 0; square < 64; ++square)
      EXPECT_EQ(InSet(KingZone(king), square), LineDistance(king, square) <= 1) << SquareName[king] << " " << SquareName[square];
}

}  // namespace

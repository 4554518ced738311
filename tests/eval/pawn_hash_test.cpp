// The pawn hash: its share of the budget, resizing and clearing, and the
// packing of the wing counts into an entry.
#include "eval/pawn_hash.h"

#include <gtest/gtest.h>

namespace {

TEST(PawnHash, ASixteenthOfTheBudgetResizedOrClearedEmpty) {
  struct Case { std::int32_t mb; std::uint32_t entries; };
  for (const Case& c : {Case{32, 104857}, {8, 26214}, {0, 104857}}) EXPECT_EQ(TPawnHash(c.mb).Size(), c.entries) << c.mb;

  TPawnHash table(1);
  const std::uint32_t pawnKey = 0xDEADBEEF;
  for (std::int32_t size : {2, 2, 0, 5000}) {  // a new shape, the same again, clearing, out of range
    table.Entry(pawnKey) = THashP{pawnKey ^ 5, {-15, 40}, SquareBit(12), 3, PackAiles(2, 3)};
    if (size == 0) table.Clear();
    else ASSERT_TRUE(table.init_size(size));
    const bool kept = size == 5000;
    EXPECT_EQ(table.Entry(pawnKey).ID, kept ? pawnKey ^ 5 : 0u) << size;
    EXPECT_EQ(table.Entry(pawnKey).SetTablePawn, kept ? SquareBit(12) : 0u) << size;
  }
  EXPECT_EQ(table.Size(), 6553u);
}

TEST(HashAiles, EveryPawnCountComesBack) {
  bool used[256] = {};
  for (int roi = 0; roi <= 16; ++roi)
    for (int dame = 0; roi + dame <= 16; ++dame) {
      const std::uint8_t packed = PackAiles(roi, dame);
      EXPECT_FALSE(used[packed]) << roi << " " << dame;
      used[packed] = true;
      int roiBack = -1, dameBack = -1;
      UnpackAiles(packed, roiBack, dameBack);
      EXPECT_TRUE(roiBack == roi && dameBack == dame) << roi << " " << dame;
    }
}

}  // namespace

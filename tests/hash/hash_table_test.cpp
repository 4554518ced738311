#include "hash/hash_table.h"

#include <gtest/gtest.h>

#include <memory>

#include "search/control.h"

namespace {

constexpr TMove e2e4{52, 36, 0, 24};
constexpr TMove g1f3{62, 45, 0, 0};

TEST(HashSizing, BudgetsInTwentyByteUnits) {
  EXPECT_EQ(THashClass::UnitsForSize(1024), 53687091u);
  EXPECT_EQ(THashClass::UnitsForSize(1025), 0u);
  THashClass full(32);
  EXPECT_EQ(full.HashSize, 1572864u);
  EXPECT_EQ(full.PawnHashSize, 104857u);

  const std::int32_t savedSize = HashSizeMB, savedThreads = ThreadsCount;
  HashSizeMB = 32;
  ThreadsCount = 4;
  THashClass share;
  EXPECT_EQ(share.HashSize, 393216u);
  EXPECT_EQ(share.PawnHashSize, 26214u);
  HashSizeMB = 1;
  ThreadsCount = 2;  // a share of 0 MB gets the default tables
  EXPECT_EQ(THashClass().HashSize, 1572864u);
  HashSizeMB = savedSize;
  ThreadsCount = savedThreads;
}

TEST(HashSizing, OutOfRangeSizesKeepExistingTables) {
  for (std::int32_t size : {0, 2000, -5}) {
    EXPECT_EQ(THashClass(size).HashSize, 1572864u) << size;
    THashClass table(1);
    const THash* before = table.HashTable.get();
    table.HashTable[7].ID = 7;
    EXPECT_TRUE(table.init_size(size));
    EXPECT_EQ(table.HashTable.get(), before);
    EXPECT_EQ(table.HashSize, 49152u);
    EXPECT_EQ(table.HashTable[7].ID, 7u);
  }
}

class HashTable : public ::testing::Test {
 protected:
  void SetUp() override { SearchSeq = 0; }
  void TearDown() override { SearchSeq = 0; }

  bool Probe(std::uint32_t key, std::int32_t alpha, std::int32_t beta, std::int32_t depth) {
    board->hash = key;
    return table.ProbeHash(*board, alpha, beta, depth, value);
  }
  void Store(std::uint32_t key, TMove move, std::int32_t depth, std::int32_t score, std::int8_t hashf) {
    board->hash = key;
    table.RecordHash(*board, move, depth, score, hashf);
  }
  // Puts `moves` at ply 0 and asks for the stored move of `key` to go first.
  bool LiftHashMove(std::uint32_t key, std::initializer_list<TMove> moves) {
    board->hash = key;
    board->First_move[0] = 0;
    int i = 0;
    for (TMove move : moves) board->Gen_dat[i++] = {move, 10};
    board->First_move[1] = i;
    return table.BestHashEnTete(*board);
  }

  THashClass table{1};
  std::unique_ptr<TThreadConsole> board = std::make_unique<TThreadConsole>();
  std::int32_t value = 0;
};

TEST_F(HashTable, ResizingGivesEmptyTables) {
  for (std::int32_t size : {2, 2}) {  // a new shape, then the same one again
    Store(777, e2e4, 4, 55, hashfExact);
    table.PawnEntry(99).ID = 5;
    ASSERT_TRUE(table.init_size(size));
    EXPECT_FALSE(Probe(777, 0, 1, 0));
    EXPECT_EQ(table.PawnEntry(99).ID, 0u);
  }
  EXPECT_EQ(table.HashSize, 98304u);
}

TEST_F(HashTable, BoundsDecideWhetherAProbeAnswers) {
  Store(100, e2e4, 5, 30, hashfExact);
  EXPECT_TRUE(Probe(100, 50, 60, 5));
  EXPECT_EQ(value, 30);
  EXPECT_FALSE(Probe(100, 50, 60, 6)) << "shallower than asked";
  EXPECT_FALSE(Probe(101, 50, 60, 0)) << "another position";
  Store(200, e2e4, 5, 30, hashfUpper);
  EXPECT_TRUE(Probe(200, 30, 60, 5));
  EXPECT_FALSE(Probe(200, 29, 60, 5));
  Store(300, e2e4, 5, 30, hashfLower);
  EXPECT_TRUE(Probe(300, 0, 30, 5));
  EXPECT_FALSE(Probe(300, 0, 31, 5));
}

TEST_F(HashTable, DeeperEntriesOfTheSameSearchAreKept) {
  Store(100, e2e4, 5, 30, hashfExact);
  Store(100, g1f3, 3, -10, hashfExact);
  Store(100 + table.HashSize, g1f3, 3, -10, hashfExact);  // same slot, other position
  EXPECT_TRUE(Probe(100, 0, 1, 5));
  EXPECT_EQ(value, 30);
  SearchSeq = 1;
  Store(100, g1f3, 3, -10, hashfExact);
  EXPECT_TRUE(Probe(100, 0, 1, 3));
  EXPECT_EQ(value, -10);
  Store(200, e2e4, 39, 30, hashfExact);
  Store(200, g1f3, 1, -10, hashfExact);
  EXPECT_TRUE(Probe(200, 0, 1, 1));
  EXPECT_EQ(value, -10) << "depths of 39 or more never protect";
}

TEST_F(HashTable, AgesCountModulo256) {
  for (std::int32_t seq = 0; seq < 700; ++seq) {
    SearchSeq = seq;
    Store(100, e2e4, 5, seq, hashfExact);
    Store(100, g1f3, 3, -1, hashfExact);
    ASSERT_TRUE(Probe(100, 0, 1, 5) && value == seq) << "protected in its own search " << seq;
    SearchSeq = seq + 1;
    ASSERT_TRUE(Probe(100, 0, 1, 5)) << "answers in the next search " << seq;
    SearchSeq = seq + 2;
    ASSERT_FALSE(Probe(100, 0, 1, 5)) << "too old two searches later " << seq;
  }
}

TEST_F(HashTable, StoresWithoutAMoveKeepTheMoveOfTheSamePosition) {
  Store(100, e2e4, 2, 0, hashfExact);
  Store(100, TMove{}, 3, 0, hashfUpper);
  EXPECT_TRUE(LiftHashMove(100, {g1f3, e2e4}));
  const std::uint32_t other = 100 + table.HashSize;
  Store(other, TMove{}, 4, 0, hashfUpper);
  EXPECT_FALSE(LiftHashMove(other, {g1f3, e2e4}));
  Store(other, TMove{}, 5, 0, hashfUpper);
  EXPECT_FALSE(LiftHashMove(other, {g1f3, e2e4})) << "e2e4 belongs to another position";
}

TEST_F(HashTable, StoredMoveGoesFirst) {
  const TMove promoteQueen{12, 4, Queen, 48};
  Store(100, promoteQueen, 0, 0, hashfExact);
  EXPECT_FALSE(LiftHashMove(100, {g1f3, TMove{12, 4, Knight, 48}}));
  // The squares and the promotion identify the move, not its flags.
  EXPECT_TRUE(LiftHashMove(100, {g1f3, TMove{12, 4, Knight, 48}, TMove{12, 4, Queen, 112}}));
  EXPECT_EQ(board->Gen_dat[0].score, 10);
  EXPECT_EQ(board->Gen_dat[2].score, 10 + HashMoveBonus);
  SearchSeq = 50;  // neither depth nor age matters here
  board->Ply = 1;
  board->First_move[1] = 5;
  board->First_move[2] = 6;
  board->Gen_dat[5] = {promoteQueen, 0};
  EXPECT_TRUE(table.BestHashEnTete(*board));
  EXPECT_EQ(board->Gen_dat[5].score, HashMoveBonus);
}

TEST_F(HashTable, ClearingEmptiesBothTables) {
  Store(100, e2e4, 5, 30, hashfExact);
  const std::uint32_t pawnKey = 0xDEADBEEF;
  table.PawnEntry(pawnKey) = THashP{pawnKey ^ 5, {-15, 40}, SquareBit(12), 3, PackAiles(2, 3)};
  EXPECT_EQ(table.PawnsTable[pawnKey % table.PawnHashSize].TabScore, (TTabScore{-15, 40}));
  table.videHash();
  EXPECT_FALSE(Probe(100, -40000, 40000, -50));
  EXPECT_FALSE(LiftHashMove(100, {e2e4}));
  EXPECT_EQ(table.PawnEntry(pawnKey).ID, 0u);
  EXPECT_EQ(table.PawnEntry(pawnKey).SetTablePawn, 0u);
}

TEST(HashAiles, EveryPawnCountComesBack) {
  EXPECT_EQ(PackAiles(4, 3), 5 + 10 * 4);
  bool used[256] = {};
  for (int roi = 0; roi <= 16; ++roi) {
    for (int dame = 0; roi + dame <= 16; ++dame) {
      const std::uint8_t packed = PackAiles(roi, dame);
      EXPECT_FALSE(used[packed]) << roi << " " << dame;
      used[packed] = true;
      int roiBack = -1, dameBack = -1;
      UnpackAiles(packed, roiBack, dameBack);
      EXPECT_TRUE(roiBack == roi && dameBack == dame) << roi << " " << dame;
    }
  }
}

}  // namespace

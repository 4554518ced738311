#include "hash/hash_table.h"

#include <gtest/gtest.h>

#include <memory>

#include "search/control.h"

namespace {

constexpr TMove e2e4{52, 36, 0, 24};
constexpr TMove g1f3{62, 45, 0, 0};

// The budget is counted in 20-byte units, a sixteenth for the pawn table.
TEST(HashSizing, EntriesFollowTheBudget) {
  struct Case { std::int32_t mb; std::uint32_t entries; };
  for (const Case& c : {Case{32, 1572864}, {8, 393216}, {0, 1572864}}) {
    THashClass table(c.mb);  // a share of 0 MB (one of several threads' 1 MB) gets the default tables
    EXPECT_EQ(table.HashSize, c.entries) << c.mb;
  }
  // Out of range: new tables get the default size, existing ones stay.
  THashClass small(1);
  const THash* before = small.HashTable.get();
  small.HashTable[7].ID = 7;
  for (std::int32_t size : {0, 2000, -5}) {
    EXPECT_EQ(THashClass(size).HashSize, 1572864u) << size;
    EXPECT_TRUE(small.init_size(size));
    EXPECT_TRUE(small.HashTable.get() == before && small.HashSize == 49152u && small.HashTable[7].ID == 7u) << size;
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
  std::unique_ptr<TBoardState> board = std::make_unique<TBoardState>();
  std::int32_t value = 0;
};

TEST_F(HashTable, ResizingAndClearingEmptyTheTable) {
  for (std::int32_t size : {2, 2, 0}) {  // a new shape, the same one again, then clearing
    Store(100, e2e4, 5, 30, hashfExact);
    if (size) ASSERT_TRUE(table.init_size(size));
    else table.videHash();
    EXPECT_FALSE(Probe(100, -40000, 40000, -50));
    EXPECT_FALSE(LiftHashMove(100, {e2e4}));
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

TEST_F(HashTable, MatesAreReadBackAtTheDistanceOfTheProbingNode) {
  // Stored at ply 3: mating at ply 7, mated at ply 6 (four and three plies on).
  board->Ply = 3;
  Store(100, e2e4, 4, MateScore - 7, hashfLower);
  Store(200, e2e4, 4, 6 - MateScore, hashfUpper);
  Store(300, e2e4, 4, 250, hashfExact);
  board->Ply = 5;
  EXPECT_TRUE(Probe(100, 0, MateScore - 9, 4));
  EXPECT_EQ(value, MateScore - 9);
  EXPECT_FALSE(Probe(100, 0, MateScore - 8, 4)) << "the bound is a mate four plies on, no sooner";
  EXPECT_TRUE(Probe(200, 8 - MateScore, 0, 4));
  EXPECT_EQ(value, 8 - MateScore);
  board->Ply = 1;
  EXPECT_TRUE(Probe(100, 0, MateScore - 5, 4));
  EXPECT_EQ(value, MateScore - 5);
  EXPECT_TRUE(Probe(300, 0, 1, 4));
  EXPECT_EQ(value, 250) << "other scores do not move";
}

TEST_F(HashTable, DeeperEntriesOfTheSameSearchAreKept) {
  Store(100, e2e4, 5, 30, hashfExact);
  Store(100, g1f3, 3, -10, hashfExact);
  Store(100 + table.HashSize, g1f3, 3, -10, hashfExact);  // same slot, other position
  EXPECT_TRUE(Probe(100, 0, 1, 5));
  EXPECT_EQ(value, 30);
  Store(200, e2e4, 39, 30, hashfExact);
  Store(200, g1f3, 1, -10, hashfExact);
  EXPECT_TRUE(Probe(200, 0, 1, 1));
  EXPECT_EQ(value, -10) << "depths of 39 or more never protect";
}

// The next search may still read an entry but replaces it; two searches
// later it is too old. Ages wrap at 256 without the table going dead.
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
  SearchSeq = 700;  // the entry of search 699 no longer protects its depth
  Store(100, g1f3, 3, -10, hashfExact);
  EXPECT_TRUE(Probe(100, 0, 1, 3));
  EXPECT_EQ(value, -10);
}

// The squares and the promotion identify the stored move, not its flags; a
// store without a move keeps the move of the same position only.
TEST_F(HashTable, StoredMoveGoesFirst) {
  const TMove promoteQueen{12, 4, Queen, 48};
  Store(100, promoteQueen, 2, 0, hashfExact);
  EXPECT_FALSE(LiftHashMove(100, {g1f3, TMove{12, 4, Knight, 48}}));
  Store(100, TMove{}, 3, 0, hashfUpper);
  SearchSeq = 50;  // neither depth nor age matters here
  EXPECT_TRUE(LiftHashMove(100, {g1f3, TMove{12, 4, Knight, 48}, TMove{12, 4, Queen, 112}}));
  EXPECT_EQ(board->Gen_dat[0].score, 10);
  EXPECT_EQ(board->Gen_dat[2].score, 10 + HashMoveBonus);
  const std::uint32_t other = 100 + table.HashSize;
  Store(other, TMove{}, 5, 0, hashfUpper);
  EXPECT_FALSE(LiftHashMove(other, {g1f3, promoteQueen})) << "the move belongs to another position";
}

// Only entries of the current search count, estimated from the first
// thousand slots.
TEST_F(HashTable, HashFullCountsTheCurrentSearchsEntries) {
  SearchSeq = 7;
  EXPECT_EQ(table.HashFull(), 0);
  for (std::uint32_t key = 1; key <= 250; ++key) Store(key, e2e4, 1, 0, hashfExact);
  Store(2000, e2e4, 1, 0, hashfExact);  // beyond the sample
  EXPECT_EQ(table.HashFull(), 250);
  SearchSeq = 8;
  for (std::uint32_t key = 1; key <= 100; ++key) Store(key + 500, g1f3, 1, 0, hashfExact);
  EXPECT_EQ(table.HashFull(), 100) << "the previous search's entries no longer count";
  table.videHash();
  SearchSeq = 0;  // a cleared table, and the count of searches starts again
  EXPECT_EQ(table.HashFull(), 0);
}

}  // namespace

#include "hash/hash_table.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <random>
#include <thread>
#include <tuple>

namespace {

constexpr TMove e2e4{52, 36, 0, 24};
constexpr TMove g1f3{62, 45, 0, 0};

// Every search thread gets an equal share of the budget: together they
// never take more than was asked, and no share is too small for a table,
// however many threads split however small a budget. A size outside
// 1..1024 MB keeps an existing table as it is.
TEST(HashSizing, ThreadSharesStayWithinTheBudgetAndSizesOutsideItAreKept) {
  for (std::int32_t total : {1, 2, 7, 32, 1024})
    for (std::int32_t threads = 1; threads <= 8; ++threads) {
      const TTableUnits share = TTranspositionTable::ThreadShare(total, threads);
      EXPECT_LE(std::uint64_t(share.count) * threads, TTranspositionTable::UnitsForSize(total))
          << total << "/" << threads;
      EXPECT_GT(TTranspositionTable::PawnShare(share.count), 0u) << total << "/" << threads;
      EXPECT_GT(TTranspositionTable(share).HashSize, 0u) << total << "/" << threads;
    }
  EXPECT_LT(TTranspositionTable(1).HashSize, TTranspositionTable(2).HashSize);
  TTranspositionTable small(1);
  const TTableSlot* before = small.HashTable.get();
  const std::uint32_t size = small.HashSize;
  small.Store(7, THash{7, 1, 2, hashfExact, {}, false, 0});
  for (std::int32_t outside : {0, 1025, -5}) {
    EXPECT_TRUE(small.Resize(outside));
    EXPECT_TRUE(small.HashTable.get() == before && small.HashSize == size && small.Entry(7).ID == 7u) << outside;
  }
}

// Both tables find an entry's slot by a multiplication instead of a
// division; it must agree with key % size everywhere, the table sizes the
// budgets give and the extremes of key and size included.
TEST(HashSizing, SlotIsTheKeyModuloTheSize) {
  const std::uint32_t sizes[] = {1, 2, 3, 49152, 98304, 1572864, 3145728, 1u << 31, 0xFFFFFFFFu};
  const std::uint32_t keys[] = {0, 1, 49151, 49152, 0x7FFFFFFFu, 0x80000000u, 0xDEADBEEFu, 0xFFFFFFFEu, 0xFFFFFFFFu};
  for (const std::uint32_t size : sizes)
    for (const std::uint32_t key : keys)
      EXPECT_EQ(SlotOf(key, SlotMultiplier(size), size), key % size) << key << " % " << size;
}

// A slot holds its entry whole; a slot whose two words come from two
// different entries (two threads storing at once) names neither position,
// so no probe of either uses it.
TEST(HashSlots, EntriesComeBackWholeAndTornSlotsNameNoPosition) {
  std::mt19937 random(7);
  const auto any = [&random] {
    return THash{std::uint32_t(random()),
                 std::int32_t(random() % 80001) - 40000,
                 std::int8_t(random() % 200 - 100),
                 std::int8_t(random() % 3),
                 {std::uint8_t(random() % 64), std::uint8_t(random() % 64), std::uint8_t(random() % 6)},
                 random() % 2 == 0,
                 std::uint8_t(random())};
  };
  // Field by field: the record has a byte of padding.
  const auto same = [](const THash& a, const THash& b) {
    const auto fields = [](const THash& e) {
      return std::tuple(e.ID, e.Score, e.Depth, e.Bound, e.StoredMove.src, e.StoredMove.dst, e.StoredMove.promote,
                        e.IsNil, e.seq);
    };
    return fields(a) == fields(b);
  };
  EXPECT_TRUE(same(UnpackEntry(TTableSlot{}), THash{}));
  EXPECT_TRUE(same(UnpackEntry(PackEntry(EmptyHashEntry)), EmptyHashEntry));
  for (int i = 0; i < 100000; ++i) {
    const THash a = any(), b = any();
    ASSERT_TRUE(same(UnpackEntry(PackEntry(a)), a));
    const TTableSlot torn{PackEntry(a).keyed, PackEntry(b).data};
    const THash read = UnpackEntry(torn);
    if (same(a, b) || PackEntry(a).data == PackEntry(b).data) continue;
    ASSERT_TRUE(read.ID != a.ID && read.ID != b.ID) << i;
  }
}

// Threads storing into the same few slots at once, each position with a
// score of its own: a probe that answers gives that position's score.
TEST(HashSlots, ThreadsStoringAtOnceNeverMixTheirEntries) {
  TTranspositionTable table(1);
  std::atomic<bool> done{false};
  std::atomic<int> answers{0}, wrong{0};
  const auto work = [&](std::uint32_t first) {
    TBoardState board;
    for (std::uint32_t n = 0; !done; ++n) {
      // Positions 0..7 of this thread share slots with the other thread's.
      board.hash = first + (n % 8) * table.HashSize;
      const std::int32_t score = std::int32_t(board.hash % 20000);
      const TMove move{std::uint8_t(n % 64), std::uint8_t(board.hash % 64), 0, 0};
      table.RecordHash(board, move, std::int32_t(n % 30), score, hashfExact);
      std::int32_t value = 0;
      if (!table.ProbeHash(board, -40000, 40000, 0, value)) continue;
      ++answers;
      if (value != score) ++wrong;
    }
  };
  std::thread one(work, 11u), two(work, 11u + 4 * table.HashSize);
  while (answers < 200000) std::this_thread::yield();
  done = true;
  one.join();
  two.join();
  EXPECT_EQ(wrong, 0);
}

class HashTable : public ::testing::Test {
 protected:
  bool Probe(std::uint32_t key, std::int32_t alpha, std::int32_t beta, std::int32_t depth) {
    board->hash = key;
    return table.ProbeHash(*board, alpha, beta, depth, value);
  }
  void Store(std::uint32_t key, TMove move, std::int32_t depth, std::int32_t score, std::int8_t hashf = hashfExact) {
    board->hash = key;
    table.RecordHash(*board, move, depth, score, hashf);
  }
  // Puts `moves` at ply 0 and asks for the stored move of `key` to go first.
  bool LiftHashMove(std::uint32_t key, std::initializer_list<TMove> moves) {
    board->hash = key;
    board->FirstMove[0] = 0;
    int i = 0;
    for (TMove move : moves) board->MoveStack[i++] = {move, 10};
    board->FirstMove[1] = i;
    return table.HashMoveToFront(*board);
  }

  TTranspositionTable table{1};
  std::unique_ptr<TBoardState> board = std::make_unique<TBoardState>();
  std::int32_t value = 0;
};

TEST_F(HashTable, ResizingAndClearingEmptyTheTable) {
  for (std::int32_t size : {2, 2, 0}) {  // a new shape, the same one again, then clearing
    Store(100, e2e4, 5, 30);
    if (size) ASSERT_TRUE(table.Resize(size));
    else table.Clear();
    EXPECT_FALSE(Probe(100, -40000, 40000, -50));
    EXPECT_FALSE(LiftHashMove(100, {e2e4}));
  }
}

TEST_F(HashTable, BoundsAndMateDistancesDecideWhatAProbeAnswers) {
  Store(100, e2e4, 5, 30);
  Store(200, e2e4, 5, 30, hashfUpper);
  Store(300, e2e4, 5, 30, hashfLower);
  // Stored at ply 3: mating at ply 7, mated at ply 6 (four and three plies on).
  board->Ply = 3;
  Store(400, e2e4, 4, MateScore - 7, hashfLower);
  Store(500, e2e4, 4, 6 - MateScore, hashfUpper);
  struct Case {
    const char* why;
    std::uint32_t ply, key;
    std::int32_t alpha, beta, depth;
    bool answers;
    std::int32_t value = 0;
  };
  const Case cases[] = {
      {"exact", 0, 100, 50, 60, 5, true, 30},
      {"shallower than asked", 0, 100, 50, 60, 6, false},
      {"another position", 0, 101, 50, 60, 0, false},
      {"upper bound at alpha", 0, 200, 30, 60, 5, true, 30},
      {"upper bound above alpha", 0, 200, 29, 60, 5, false},
      {"lower bound at beta", 0, 300, 0, 30, 5, true, 30},
      {"lower bound below beta", 0, 300, 0, 31, 5, false},
      {"mating, two plies deeper", 5, 400, 0, MateScore - 9, 4, true, MateScore - 9},
      {"a mate four plies on, no sooner", 5, 400, 0, MateScore - 8, 4, false},
      {"mated, two plies deeper", 5, 500, 8 - MateScore, 0, 4, true, 8 - MateScore},
      {"mating, two plies nearer the root", 1, 400, 0, MateScore - 5, 4, true, MateScore - 5},
      {"other scores do not move", 1, 100, 0, 1, 4, true, 30},
  };
  for (const Case& c : cases) {
    board->Ply = c.ply;
    value = 0;
    EXPECT_EQ(Probe(c.key, c.alpha, c.beta, c.depth), c.answers) << c.why;
    EXPECT_EQ(value, c.value) << c.why;
  }
}

TEST_F(HashTable, DeeperEntriesOfTheSameSearchAreKept) {
  Store(100, e2e4, 5, 30);
  Store(100, g1f3, 3, -10);
  Store(100 + table.HashSize, g1f3, 3, -10);  // same slot, other position
  EXPECT_TRUE(Probe(100, 0, 1, 5));
  EXPECT_EQ(value, 30);
  Store(200, e2e4, 39, 30);
  Store(200, g1f3, 1, -10);
  EXPECT_TRUE(Probe(200, 0, 1, 1));
  EXPECT_EQ(value, -10) << "depths of 39 or more never protect";
}

// The next search may still read an entry but replaces it; two searches
// later it is too old. Ages wrap at 256 without the table going dead.
TEST_F(HashTable, AgesCountModulo256) {
  for (std::int32_t seq = 0; seq < 700; ++seq) {
    Store(100, e2e4, 5, seq);
    Store(100, g1f3, 3, -1);
    ASSERT_TRUE(Probe(100, 0, 1, 5) && value == seq) << "protected in its own search " << seq;
    table.NewSearch();
    ASSERT_TRUE(Probe(100, 0, 1, 5)) << "answers in the next search " << seq;
    table.NewSearch();
    ASSERT_FALSE(Probe(100, 0, 1, 5)) << "too old two searches later " << seq;
    table.RestartSearchCount();
    for (std::int32_t n = 0; n <= seq; ++n) table.NewSearch();
  }
  // The entry of search 699 no longer protects its depth in search 700.
  Store(100, g1f3, 3, -10);
  EXPECT_TRUE(Probe(100, 0, 1, 3));
  EXPECT_EQ(value, -10);
}

// The squares and the promotion identify the stored move, not its flags; a
// store without a move keeps the move of the same position only.
TEST_F(HashTable, StoredMoveGoesFirst) {
  const TMove promoteQueen{12, 4, Queen, 48};
  Store(100, promoteQueen, 2, 0);
  EXPECT_FALSE(LiftHashMove(100, {g1f3, TMove{12, 4, Knight, 48}}));
  Store(100, TMove{}, 3, 0, hashfUpper);
  for (int n = 0; n < 50; ++n) table.NewSearch();  // neither depth nor age matters here
  EXPECT_TRUE(LiftHashMove(100, {g1f3, TMove{12, 4, Knight, 48}, TMove{12, 4, Queen, 112}}));
  EXPECT_EQ(board->MoveStack[0].score, 10);
  EXPECT_EQ(board->MoveStack[2].score, 10 + HashMoveBonus);
  const std::uint32_t other = 100 + table.HashSize;
  Store(other, TMove{}, 5, 0, hashfUpper);
  EXPECT_FALSE(LiftHashMove(other, {g1f3, promoteQueen})) << "the move belongs to another position";
}

// Only entries of the current search count, estimated from the first
// thousand slots.
TEST_F(HashTable, HashFullCountsTheCurrentSearchsEntries) {
  EXPECT_EQ(table.HashFull(), 0);
  for (std::uint32_t key = 1; key <= 250; ++key) Store(key, e2e4, 1, 0);
  Store(2000, e2e4, 1, 0);  // beyond the sample
  EXPECT_EQ(table.HashFull(), 250);
  table.NewSearch();
  for (std::uint32_t key = 1; key <= 100; ++key) Store(key + 500, g1f3, 1, 0);
  EXPECT_EQ(table.HashFull(), 100) << "the previous search's entries no longer count";
  table.Clear();
  table.RestartSearchCount();  // a cleared table, and the count of searches starts again
  EXPECT_EQ(table.HashFull(), 0);
}

}  // namespace

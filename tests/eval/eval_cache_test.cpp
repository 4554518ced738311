// The evaluation cache keeps apart what the position key leaves out, and the
// pawn hash's sizing and clearing. (Hits are checked in symmetry_test.cpp.)
#include <gtest/gtest.h>

#include "eval/eval_cache.h"
#include "eval/pawn_hash.h"
#include "eval/terms.h"
#include "support/eval_positions.h"

namespace {

int Evaluated(TSearchBoard& board, TEvalState& e) {
  TPawnHash tables(1);
  return Evaluate(board, e, tables);
}

TEST(EvalCache, KeepsApartWhatTheKeyLeavesOut) {
  // White's king reached g1 without castling, or by castling: the same key,
  // scores ten points apart each way.
  auto board = BoardFromFen("r1bq1rk1/pppp1ppp/2n2n2/2b1p3/2B1P3/2N2N2/PPPP1PPP/R1BQ1RK1 w - - 0 1");
  board->KingEntry(Light).CouldCastle = true;
  TEvalState e;
  TEvalCache cache;

  board->KingEntry(Light).CastledAs = NotCastled;
  const int walked = Evaluated(*board, e);
  cache.Store(*board, e, walked);
  board->KingEntry(Light).CastledAs = CastledShort;
  const int castled = Evaluated(*board, e);
  ASSERT_NE(walked, castled);

  int score = 0;
  EXPECT_FALSE(cache.Find(*board, e, score));
  cache.Store(*board, e, castled);
  ASSERT_TRUE(cache.Find(*board, e, score));
  EXPECT_EQ(score, castled);

  // The phase the search began in changes the evaluation too.
  e.PhaseAtRoot = endgame;
  EXPECT_FALSE(cache.Find(*board, e, score));
}

// A new table without a budget takes the default's size. A new shape or
// clearing empties the table; a budget out of range keeps it as it is.
TEST(PawnHash, FollowsTheBudgetAndComesBackEmptyWhenResizedOrCleared) {
  EXPECT_EQ(TPawnHash(0).Size(), TPawnHash(32).Size());
  EXPECT_LT(TPawnHash(8).Size(), TPawnHash(32).Size());
  TPawnHash table(1);
  const std::uint32_t pawnKey = 0xDEADBEEF;
  for (std::int32_t size : {2, 2, 0, 5000}) {  // a new shape, the same again, clearing, out of range
    table.Entry(pawnKey) = TPawnHashEntry{pawnKey ^ 5, {-15, 40}, SquareBit(12), 3, PackWingCounts(2, 3)};
    if (size == 0) table.Clear();
    else ASSERT_TRUE(table.Resize(size));
    const bool kept = size == 5000;
    EXPECT_EQ(table.Entry(pawnKey).ID, kept ? pawnKey ^ 5 : 0u) << size;
    EXPECT_EQ(table.Entry(pawnKey).StoredPassers, kept ? SquareBit(12) : 0u) << size;
  }
  EXPECT_EQ(table.Size(), TPawnHash(2).Size());
}

}  // namespace

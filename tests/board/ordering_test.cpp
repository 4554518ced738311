// Ordering scores, the selection step and the killer slots.
#include <gtest/gtest.h>

#include "board/board_fixture.h"

namespace {

// A non-capturing piece move from its coordinate text.
TMove Quiet(std::string_view text) {
  return TMove{std::uint8_t(Sq(text.substr(0, 2))), std::uint8_t(Sq(text.substr(2, 2))), 0, 0};
}

TEST(BoardOrdering, PawnTakingQueenPickedBeforeQueenTakingPawn) {
  auto board = BoardFromFen("4k3/8/8/3q4/2P1p3/5Q2/8/4K3 w - - 0 1");
  ASSERT_TRUE(board);
  board->GenerateMoves();
  board->PickNextMove(board->First_move[0]);
  const TGen first = board->Gen_dat[board->First_move[0]];
  EXPECT_EQ(move_str(first.m), "c4d5");
  EXPECT_EQ(first.score, 1000040);
  board->PickNextMove(board->First_move[0] + 1);
  const TGen second = board->Gen_dat[board->First_move[0] + 1];
  EXPECT_EQ(move_str(second.m), "f3e4");
  EXPECT_EQ(second.score, 999996);
}

TEST(BoardOrdering, SelectionKeepsGenerationOrderAmongEqualScores) {
  auto board = BoardFromFen("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
  ASSERT_TRUE(board);
  board->GenerateMoves();
  const auto before = PlyMoveTexts(*board);
  for (int i = board->First_move[0]; i < board->First_move[1]; ++i) board->PickNextMove(i);
  EXPECT_EQ(PlyMoveTexts(*board), before);
  // A one-move range is left as it is.
  board->First_move[1] = board->First_move[0] + 1;
  board->PickNextMove(board->First_move[0]);
  EXPECT_EQ(PlyMoveTexts(*board), std::vector<std::string>{before[0]});
}

TEST(BoardOrdering, KillerClimbsOneSlotWhenItsCountPassesTheSlotAbove) {
  auto board = BoardFromFen("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1");
  ASSERT_TRUE(board);
  const TMove a = Quiet("g1f3"), b = Quiet("g1h3"), c = Quiet("g1e2");
  board->RecordKiller(a);  // each enters the third slot...
  board->RecordKiller(b);
  EXPECT_EQ(board->Killer3[Light][0], b);
  board->RecordKiller(b);  // ...and climbs once its count passes the slot above (0)
  EXPECT_EQ(board->Killer2[Light][0], b);
  EXPECT_EQ(board->killer2_scores[Light][0], 2);
  board->RecordKiller(c);
  board->RecordKiller(c);  // 2 does not pass 2
  EXPECT_EQ(board->Killer3[Light][0], c);
  board->RecordKiller(c);
  EXPECT_EQ(board->Killer2[Light][0], c);
  EXPECT_EQ(board->Killer3[Light][0], b);
  EXPECT_EQ(board->killer3_scores[Light][0], 2);
  board->RecordRootKiller(c, 5);  // the root weighs by depth
  EXPECT_EQ(board->Killer1[Light][0], c);
  EXPECT_EQ(board->killer1_scores[Light][0], 8);
  EXPECT_EQ(board->KillerBonus(c), 100000);
  EXPECT_EQ(board->KillerBonus(b), 25000);
  EXPECT_EQ(board->KillerBonus(a), 0);
}

TEST(BoardOrdering, KillersAndHistoryScoreQuietMovesOfTheirPly) {
  auto board = BoardFromFen("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1");
  ASSERT_TRUE(board);
  const TMove killer = Quiet("g1f3");
  board->RecordKiller(killer);
  board->RecordKiller(killer);
  board->RecordKiller(killer);  // now in the first slot
  ASSERT_EQ(board->Killer1[Light][0], killer);
  board->History[Light][Sq("g1")][Sq("f3")] = 7;
  board->GenerateMoves();
  for (const TGen& g : PlyMoves(*board))
    if (g.m == killer) {
      EXPECT_EQ(g.score, 100007);
    }
  // At another ply the same move is no killer: its history alone.
  board->First_move[1] = board->First_move[0];
  board->Ply = 1;
  board->GenerateMoves();
  for (const TGen& g : PlyMoves(*board))
    if (g.m == killer) {
      EXPECT_EQ(g.score, 7);
    }
}

TEST(BoardOrdering, PreparationClearsKillersAndHistory) {
  auto board = BoardFromFen("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1");
  ASSERT_TRUE(board);
  board->RecordKiller(Quiet("g1f3"));
  board->History[Light][1][2] = 9;
  board->PrepareBoard();
  EXPECT_TRUE(board->Killer3[Light][0].IsNone());
  EXPECT_EQ(board->killer3_scores[Light][0], 0);
  EXPECT_EQ(board->History[Light][1][2], 0);
}

}  // namespace

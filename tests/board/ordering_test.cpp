// Ordering: the score bands the generators give, the selection step and the
// killer slots.
#include <gtest/gtest.h>

#include "board/board_fixture.h"

namespace {

// A non-capturing piece move from its coordinate text.
TMove Quiet(std::string_view text) {
  return TMove{std::uint8_t(Sq(text.substr(0, 2))), std::uint8_t(Sq(text.substr(2, 2))), 0, 0};
}

int ScoreOf(const TSearchBoard& board, std::string_view text) {
  for (const TGen& g : PlyMoves(board))
    if (move_str(g.m) == text) return g.score;
  ADD_FAILURE() << "no move " << text;
  return 0;
}

constexpr const char* Exchanges = "4k3/8/8/3q4/2P1p3/5Q2/8/4K3 w - - 0 1";

TEST(BoardOrdering, ScoreBands) {
  struct TCase {
    const char* fen;
    char generator;  // 'm' all moves, 'k' captures and checks, 'e' evasions
    const char* move;
    int score;
  };
  constexpr int Tactical = 1000000;
  const TCase cases[] = {
      {Exchanges, 'm', "c4d5", Tactical + 40},  // the least attacker on the greatest victim
      {Exchanges, 'm', "f3e4", Tactical - 4},
      {"rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", 'm', "d4e3", Tactical + 60},
      {"r6k/1P6/8/8/8/8/8/7K w - - 0 1", 'm', "b7a8q", Tactical + 1000 * Queen + 470},
      {"r6k/1P6/8/8/8/8/8/7K w - - 0 1", 'm', "b7b8n", Tactical + 1000 * Knight},
      // Quiet checks by the kind of the checking piece (the king's for castling).
      {"3k4/8/8/8/8/8/8/R3K1NB w Q - 0 1", 'k', "a1d1", Rook},
      {"3k4/8/8/8/8/8/8/R3K1NB w Q - 0 1", 'k', "e1c1", King},
      // King evasions: the fewer empty squares on the lines from the target, the better.
      {"4r2k/8/8/8/8/8/8/4K3 w - - 0 1", 'e', "e1d1", 10000 - 17},
      {"4r2k/8/8/8/8/8/8/4K3 w - - 0 1", 'e', "e1f1", 10000 - 16},
      {"4r2k/8/8/8/8/8/8/4K3 w - - 0 1", 'e', "e1f2", 10000 - 22},
  };
  for (const TCase& c : cases) {
    auto board = BoardFromFen(c.fen);
    if (c.generator == 'm') board->GenerateMoves();
    if (c.generator == 'k') board->GenerateCapturesAndChecks();
    if (c.generator == 'e') {
      ASSERT_TRUE(InCheckAtRoot(*board));  // evasions need the check analysis
      board->GenerateEvasions();
    }
    EXPECT_EQ(ScoreOf(*board, c.move), c.score) << c.fen << " " << c.move;
  }
}

TEST(BoardOrdering, SelectionTakesTheBestAndKeepsGenerationOrderAmongEquals) {
  auto board = BoardFromFen(Exchanges);
  board->GenerateMoves();
  const int first = board->First_move[0];
  board->PickNextMove(first);
  board->PickNextMove(first + 1);
  EXPECT_EQ(move_str(board->Gen_dat[first].m), "c4d5");
  EXPECT_EQ(move_str(board->Gen_dat[first + 1].m), "f3e4");

  auto kings = BoardFromFen("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
  kings->GenerateMoves();
  const auto before = PlyMoveTexts(*kings);
  for (int i = kings->First_move[0]; i < kings->First_move[1]; ++i) kings->PickNextMove(i);
  EXPECT_EQ(PlyMoveTexts(*kings), before);
}

TEST(BoardOrdering, KillerClimbsOneSlotWhenItsCountPassesTheSlotAbove) {
  auto board = BoardFromFen("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1");
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

  // Killer and history score the quiet move of their ply only.
  board->History[Light][Sq("g1")][Sq("e2")] = 7;
  board->GenerateMoves();
  EXPECT_EQ(ScoreOf(*board, "g1e2"), 100007);
  board->First_move[1] = board->First_move[0];
  board->Ply = 1;
  board->GenerateMoves();
  EXPECT_EQ(ScoreOf(*board, "g1e2"), 7);

  // Preparing a search clears both.
  board->Ply = 0;
  board->PrepareBoard();
  EXPECT_TRUE(board->Killer1[Light][0].IsNone());
  EXPECT_EQ(board->killer3_scores[Light][0], 0);
  EXPECT_EQ(board->History[Light][Sq("g1")][Sq("e2")], 0);
}

TEST(BoardOrdering, HistoryStaysBelowTheCapturesHoweverLongTheSearch) {
  auto board = BoardFromFen(Exchanges);
  const TMove kingMove = Quiet("e1d2"), queenMove = Quiet("f3g3");
  board->History[Light][queenMove.from][queenMove.ToNdx] = 1001;
  // An analysis running for hours adds up far more than any one search.
  for (int i = 0; i < 100000; ++i) board->AddHistory(kingMove, 39);
  EXPECT_LE(board->History[Light][kingMove.from][kingMove.ToNdx], TSearchBoard::HistoryCeiling);
  EXPECT_LT(board->History[Light][queenMove.from][queenMove.ToNdx], 1001);  // halved with the rest
  board->RecordKiller(kingMove);
  board->GenerateMoves();
  EXPECT_LT(ScoreOf(*board, "e1d2"), ScoreOf(*board, "f3e4"));  // the worst capture still comes first
}

}  // namespace

// What the board walk does not check: the order the generators' scores give
// the moves, edge cases of attacks and en passant, and the killers and
// history the quiet moves are ordered by.
#include <gtest/gtest.h>

#include "board/board_fixture.h"

namespace {

// A non-capturing piece move from its coordinate text.
TMove Quiet(std::string_view text) {
  return TMove{std::uint8_t(Sq(text.substr(0, 2))), std::uint8_t(Sq(text.substr(2, 2))), 0, 0};
}

int ScoreOf(const TSearchBoard& board, std::string_view text) { return FindGen(board, text).score; }

constexpr const char* Exchanges = "4k3/8/8/3q4/2P1p3/5Q2/8/4K3 w - - 0 1";

// The search tries moves in the order of these scores: in each pair the
// move that should be tried first scores higher.
TEST(BoardMovegen, TheBetterMoveOfEachPairScoresHigher) {
  constexpr const char* Captures = "4k3/8/8/3r1n2/4P3/8/8/3QK3 w - - 0 1";
  constexpr const char* Promotion = "r6k/1P6/8/8/8/8/8/7K w - - 0 1";
  struct TCase { const char *fen, *better, *worse; };
  const TCase cases[] = {
      {Captures, "d1d5", "e4f5"},  // the greater victim first, whatever takes it
      {Captures, "e4d5", "d1d5"},  // then the lesser attacker
      {"rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", "d4e3", "d8d5"},  // en passant is a capture
      {Promotion, "b7a8q", "b7b8q"},  // promoting with a capture
      {Promotion, "b7b8q", "b7b8n"},
      {Promotion, "b7b8n", "h1g1"},
      // A king evasion to a square fewer lines run open to, f1 rather than f2.
      {"4r2k/8/8/8/8/8/8/4K3 w - - 0 1", "e1f1", "e1f2"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.fen) + " " + c.better);
    auto board = BoardFromFen(c.fen);
    InCheckAtRoot(*board) ? board->GenerateEvasions() : board->GenerateMoves();
    EXPECT_GT(ScoreOf(*board, c.better), ScoreOf(*board, c.worse));
  }
  // A push from the fifth rank on is tactical (never reduced); one from the
  // fourth is not.
  auto board = BoardFromFen("4k3/8/8/3P4/4P3/8/8/4K3 w - - 0 1");
  board->GenerateMoves();
  EXPECT_TRUE(FindMove(*board, "d5d6").Has(MovePawnPush));
  EXPECT_FALSE(FindMove(*board, "e4e5").Has(MovePawnPush));
}

TEST(BoardMovegen, EnPassantEvasionThatExposesTheKingIsNotGenerated) {
  // c7-c5 checks d4; taking en passant removes the pawn that shields the
  // king from the bishop on a7. Only a set-up position can hold this (the
  // bishop would have been checking before the push), but evasions are made
  // without a test, so the generator must not offer it.
  auto board = BoardFromFen("7k/b7/8/2pP4/3K4/8/8/8 w - c6 0 1");
  ASSERT_TRUE(InCheckAtRoot(*board));
  board->GenerateEvasions(true);
  EXPECT_FALSE(Contains(PlyMoveTexts(*board), "d5c6"));
  for (const TGen& g : PlyMoves(*board)) {
    board->MakeMoveUnchecked(g.m);
    EXPECT_FALSE(board->KingAttacked(board->XSide)) << MoveText(g.m);
    board->TakeBack();
  }
}

// Squares next in numbering across the edge are not neighbours.
TEST(BoardAttacks, APawnAttacksTheTwoSquaresDiagonallyAheadAndNoneAcrossTheEdge) {
  auto board = BoardFromFen("k7/8/8/8/8/8/8/7K w - - 0 1");
  for (const TSide side : {Light, Dark})
    for (int pawn = 8; pawn < 56; ++pawn) {
      board->Piece[pawn] = Pawn;
      board->Color[pawn] = TBoardSide(side);
      for (int target = 0; target < 64; ++target) {
        const bool ahead = target / 8 == pawn / 8 + (side == Light ? -1 : 1);
        const bool attacked = ahead && target % 8 != pawn % 8 && LineDistance(pawn, target) == 1;
        EXPECT_EQ(side == Light ? board->AttackedByLightPawn(target) : board->AttackedByDarkPawn(target), attacked)
            << SquareName[pawn] << " " << SquareName[target];
      }
      board->Piece[pawn] = bpEmpty;
      board->Color[pawn] = bsEmpty;
    }
}

TEST(BoardAttacks, EnPassantOpeningTheRankChecksOnce) {
  // cxb6 empties c5 and b5 at once: the rook on h5 checks a5 through both.
  // The line past the taken pawn runs through the capturer's square and must
  // not register the same check twice (a double check allows king moves only).
  auto board = BoardFromFen("8/1p2n3/8/k1P4R/8/8/8/4K3 b - - 0 1");
  for (const char* move : {"b7b5", "c5b6"}) {
    board->GenerateMoves();
    ASSERT_TRUE(board->MakeMove(FindMove(*board, move))) << move;
    EXPECT_EQ(board->UpdateChecks(false), move[0] == 'c') << move;
  }
  EXPECT_EQ(board->CheckCount, 1);
  board->GenerateEvasions();
  const auto replies = PlyMoveTexts(*board);
  EXPECT_TRUE(Contains(replies, "e7d5"));
  EXPECT_TRUE(Contains(replies, "a5b6"));
  EXPECT_FALSE(Contains(replies, "a5b5"));
  EXPECT_TRUE(board->board_is_ok());
}

TEST(BoardOrdering, AKillerClimbsOnlyPastTheSlotItHasOvertaken) {
  auto board = BoardFromFen("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1");
  const TMove a = Quiet("g1f3"), b = Quiet("g1h3"), c = Quiet("g1e2");
  for (const TMove m : {a, b, b}) board->RecordKiller(m);  // b takes a's place in the last slot, then climbs
  EXPECT_EQ(board->KillerBonus(a), 0);
  for (const TMove m : {c, c}) board->RecordKiller(m);
  EXPECT_LT(board->KillerBonus(c), board->KillerBonus(b));  // level with b is not past it
  board->RecordKiller(c);
  EXPECT_GT(board->KillerBonus(c), board->KillerBonus(b));
  EXPECT_GT(board->KillerBonus(b), 0);  // one slot down, still a killer
  board->RecordRootKiller(b, 5);        // the root weighs by depth: one record passes c
  EXPECT_GT(board->KillerBonus(b), board->KillerBonus(c));
  const int second = board->KillerBonus(b);
  board->RecordKiller(b);  // and on into the first slot, still empty
  EXPECT_GT(board->KillerBonus(b), second);
  // Killer and history score the quiet move of their ply only.
  board->History[Light][Sq("g1")][Sq("e2")] = 7;
  board->GenerateMoves();
  EXPECT_EQ(ScoreOf(*board, "g1e2"), board->KillerBonus(c) + 7);
  board->FirstMove[1] = board->FirstMove[0];
  board->Ply = 1;
  board->GenerateMoves();
  EXPECT_EQ(ScoreOf(*board, "g1e2"), 7);
  // Preparing a search clears both.
  board->Ply = 0;
  board->PrepareBoard();
  EXPECT_EQ(board->KillerBonus(b) + board->KillerBonus(c), 0);
  EXPECT_EQ(board->History[Light][Sq("g1")][Sq("e2")], 0);
}

TEST(BoardOrdering, HistoryStaysBelowTheCapturesHoweverLongTheSearch) {
  auto board = BoardFromFen(Exchanges);
  const TMove kingMove = Quiet("e1d2"), queenMove = Quiet("f3g3");
  board->History[Light][queenMove.from][queenMove.to] = 1001;
  // An analysis running for hours adds up far more than any one search.
  for (int i = 0; i < 100000; ++i) board->AddHistory(kingMove, 39);
  EXPECT_LE(board->History[Light][kingMove.from][kingMove.to], TSearchBoard::HistoryCeiling);
  EXPECT_LT(board->History[Light][queenMove.from][queenMove.to], 1001);  // halved with the rest
  board->RecordKiller(kingMove);
  board->GenerateMoves();
  EXPECT_LT(ScoreOf(*board, "e1d2"), ScoreOf(*board, "f3e4"));  // the worst capture still comes first
}

}  // namespace

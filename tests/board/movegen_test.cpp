// What the board walk does not see: move ordering, pawn attacks and king zones,
// the legal root list, the castled mark, repetitions, the null move.
#include <gtest/gtest.h>

#include "board/board_fixture.h"
#include "board/keys.h"

namespace {

// A non-capturing piece move from its coordinate text.
TMove Quiet(std::string_view text) {
  return TMove{std::uint8_t(Sq(text.substr(0, 2))), std::uint8_t(Sq(text.substr(2, 2))), 0, 0};
}

int ScoreOf(const TSearchBoard& board, std::string_view text) { return FindGen(board, text).score; }

// Generates this ply's full list and makes `text` from it.
bool Make(TSearchBoard& board, std::string_view text) {
  board.GenerateMoves();
  return board.MakeMove(FindMove(board, text));
}

// The search tries moves in the order of these scores: in each pair the
// move that should be tried first scores higher.
TEST(BoardMovegen, TheBetterMoveOfEachPairScoresHigher) {
  constexpr const char* Captures = "4k3/8/8/3r1n2/4P3/8/8/3QK3 w - - 0 1";
  constexpr const char* Promotion = "r6k/1P6/8/8/8/8/8/7K w - - 0 1";
  struct TCase {
    const char *fen, *better, *worse;
  };
  const TCase cases[] = {
      {Captures, "d1d5", "e4f5"},  // the greater victim first, whatever takes it
      {Captures, "e4d5", "d1d5"},  // then the lesser attacker
      {"rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", "d4e3", "d8d5"},  // en passant is a capture
      {Promotion, "b7a8q", "b7b8q"},                                                     // promoting with a capture
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
  // A push from the fifth rank on is tactical (never reduced), one from the fourth not.
  auto board = BoardFromFen("4k3/8/8/3P4/4P3/8/8/4K3 w - - 0 1");
  board->GenerateMoves();
  EXPECT_TRUE(FindMove(*board, "d5d6").Has(MovePawnPush));
  EXPECT_FALSE(FindMove(*board, "e4e5").Has(MovePawnPush));
}

// Squares next in numbering across the edge are not neighbours. Only the
// evaluation reads the king zones, so no perft count sees them.
TEST(BoardAttacks, PawnAttacksAndKingZonesReachNoSquareAcrossTheEdge) {
  auto board = BoardFromFen("k7/8/8/8/8/8/8/7K w - - 0 1");
  for (int from = 0; from < 64; ++from)
    for (const TSide side : {Light, Dark}) {
      const bool pawn = from >= 8 && from < 56;  // off the kings' ranks
      if (pawn) board->Piece[from] = Pawn, board->Color[from] = TBoardSide(side);
      for (int target = 0; target < 64; ++target) {
        const bool near = LineDistance(from, target) == 1, ahead = target / 8 == from / 8 + (side == Light ? -1 : 1);
        SCOPED_TRACE(std::string(SquareName[from]).append(" ").append(SquareName[target]));
        EXPECT_EQ(InSet(KingZone(from), target), near || from == target);
        if (!pawn) continue;
        EXPECT_EQ(side == Light ? board->AttackedByLightPawn(target) : board->AttackedByDarkPawn(target),
                  near && ahead && target % 8 != from % 8);
      }
      if (pawn) board->Piece[from] = bpEmpty, board->Color[from] = bsEmpty;
    }
}

TEST(BoardOrdering, AKillerClimbsOnlyPastTheSlotItHasOvertaken) {
  auto board = BoardFromFen("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1");
  const TMove b = Quiet("g1h3"), c = Quiet("g1e2");
  for (const TMove m : {b, b, c, c}) board->RecordKiller(m);  // b climbs to the second slot, c stays level below
  EXPECT_LT(board->KillerBonus(c), board->KillerBonus(b));    // level with b is not past it
  board->RecordKiller(c);
  EXPECT_GT(board->KillerBonus(c), board->KillerBonus(b));
  EXPECT_GT(board->KillerBonus(b), 0);  // one slot down, still a killer
  board->RecordRootKiller(b, 5);        // the root weighs by depth: one record passes c
  EXPECT_GT(board->KillerBonus(b), board->KillerBonus(c));
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
  auto board = BoardFromFen("4k3/8/8/3q4/2P1p3/5Q2/8/4K3 w - - 0 1");
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

TEST(BoardPrepare, RootListKeepsLegalMovesOnly) {
  auto board = BoardFromFen("4r1k1/8/8/8/8/8/4B3/4K3 w - - 0 1");  // the bishop is pinned
  ASSERT_FALSE(InCheckAtRoot(*board));
  board->GenerateRootMoves();
  board->FilterLegalRootMoves();
  EXPECT_TRUE(board->FirstMove[0] == 0 && PlyMoves(*board).size() == 4u);  // the king's, none of the bishop's
  for (const TGen& g : PlyMoves(*board)) EXPECT_EQ(g.m.from, Sq("e1"));
  EXPECT_TRUE(board->board_is_ok());
}

TEST(BoardMakeMove, CastlingMarksTheKingAsCastled) {
  auto board = BoardFromFen("4k3/8/8/8/8/8/8/4K2R w K - 0 1");
  ASSERT_TRUE(Make(*board, "e1g1"));
  EXPECT_EQ(board->KingEntry(Light).CastledAs, CastledShort);  // the evaluation's castling bonus reads it
}

TEST(BoardMakeMove, RepetitionFoundAfterFourPliesInsideTheHistory) {
  auto board = BoardFromFen("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1");
  for (const char* move : {"g1f3", "e8d8", "f3g1", "d8e8"}) {
    EXPECT_FALSE(board->IsRepetition());
    ASSERT_TRUE(Make(*board, move));
  }
  EXPECT_TRUE(board->IsRepetition());
  board->TakeBack();
  EXPECT_FALSE(board->IsRepetition());
  // A set-up count larger than the history does not send the scan outside it.
  auto fresh = BoardFromFen("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1");
  fresh->HalfmoveClock = 90;
  fresh->HistoryLength = 0;
  EXPECT_FALSE(fresh->IsRepetition());
}

TEST(BoardMakeMove, NullMoveKeys) {
  // The null move drops the en-passant square; the caller puts it and its key back.
  auto board = BoardFromFen("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
  const std::uint32_t key = board->hash;
  const std::int32_t square = board->EP;
  board->MakeNullMove();
  EXPECT_TRUE(board->Side == Dark && board->EP == NoSquare && board->hash == ComputeKey(*board));
  board->TakeBackNullMove();
  board->EP = square;
  board->hash ^= Keys.EPKeys[square];
  EXPECT_EQ(board->hash, key);
}

}  // namespace

// What the board walk does not check: the generators' order and flags, the
// check analysis of a set-up position, edge cases of attacks and en passant,
// and move ordering (score bands, selection, killers, history).
#include <gtest/gtest.h>

#include "board/board_fixture.h"

namespace {

constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr const char* PromotionFen = "r6k/1P6/8/8/8/8/8/7K w - - 0 1";

std::string Joined(const std::vector<std::string>& texts) {
  std::string line;
  for (const auto& text : texts) line += (line.empty() ? "" : " ") + text;
  return line;
}

// Runs a generator: 'm' all moves, 'r' the root list, 'e' evasions (after
// the check analysis they need), 'c' captures, 'k' captures and checks.
void Generate(TSearchBoard& board, char generator) {
  if (generator == 'm') board.GenerateMoves();
  if (generator == 'r') board.GenerateRootMoves();
  if (generator == 'e') {
    EXPECT_TRUE(InCheckAtRoot(board));
    board.GenerateEvasions();
  }
  if (generator == 'c') board.GenerateCaptures();
  if (generator == 'k') board.GenerateCapturesAndChecks();
}

// A non-capturing piece move from its coordinate text.
TMove Quiet(std::string_view text) {
  return TMove{std::uint8_t(Sq(text.substr(0, 2))), std::uint8_t(Sq(text.substr(2, 2))), 0, 0};
}

int ScoreOf(const TSearchBoard& board, std::string_view text) {
  for (const TGen& g : PlyMoves(board))
    if (MoveText(g.m) == text) return g.score;
  ADD_FAILURE() << "no move " << text;
  return 0;
}

constexpr const char* Exchanges = "4k3/8/8/3q4/2P1p3/5Q2/8/4K3 w - - 0 1";

TEST(BoardMovegen, GenerationOrder) {
  // Castling is listed whenever the right is held; MakeMove refuses it here.
  auto start = BoardFromFen(StartFen);
  start->GenerateMoves();
  EXPECT_EQ(Joined(PlyMoveTexts(*start)),
            "a2a3 a2a4 b2b3 b2b4 c2c3 c2c4 d2d3 d2d4 e2e3 e2e4 f2f3 f2f4 g2g3 g2g4 h2h3 h2h4 "
            "b1a3 b1c3 g1f3 g1h3 e1g1 e1c1");
  auto promotion = BoardFromFen(PromotionFen);
  promotion->GenerateMoves();
  std::vector<std::string> pawnMoves;
  for (const auto& text : PlyMoveTexts(*promotion))
    if (text.starts_with("b7")) pawnMoves.push_back(text);
  EXPECT_EQ(Joined(pawnMoves), "b7a8q b7a8r b7a8b b7a8n b7b8q b7b8r b7b8b b7b8n");
}

// The flags a move carries and the ordering band its generator scores it in.
TEST(BoardMovegen, FlagsAndScoreBands) {
  constexpr int Any = -1, Promotion = MovePawn | MovePromote, Tactical = 1000000;
  struct TCase { const char* fen; char generator; const char* move; int bits, score; };
  const TCase cases[] = {
      // Only the full list marks the advanced push.
      {PromotionFen, 'm', "b7b8q", Promotion | MovePawnPush, Any},
      {PromotionFen, 'r', "b7b8q", Promotion, Any},
      {"r5K1/3P4/8/8/8/8/8/k7 w - - 0 1", 'e', "d7d8q", Promotion, Any},
      {"7k/P7/8/8/8/8/8/K7 w - - 0 1", 'c', "a7a8q", Promotion, Any},
      {StartFen, 'm', "e2e4", MovePawn | MovePawn2sq, Any},
      // The en-passant capture of a checking pawn, nothing behind the king.
      {"7k/8/8/2pP4/3K4/8/8/8 w - c6 0 1", 'e', "d5c6", MovePawn | MoveCapture | MoveEnPassant, Any},
      {Exchanges, 'm', "c4d5", Any, Tactical + 40},  // the least attacker on the greatest victim
      {Exchanges, 'm', "f3e4", Any, Tactical - 4},
      {"rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", 'm', "d4e3", Any, Tactical + 60},
      {PromotionFen, 'm', "b7a8q", Any, Tactical + 1000 * Queen + 470},
      {PromotionFen, 'm', "b7b8n", Any, Tactical + 1000 * Knight},
      // Quiet checks by the kind of the checking piece (the king's for castling).
      {"3k4/8/8/8/8/8/8/R3K1NB w Q - 0 1", 'k', "a1d1", Any, Rook},
      {"3k4/8/8/8/8/8/8/R3K1NB w Q - 0 1", 'k', "e1c1", Any, King},
      // King evasions: the fewer empty squares on the lines from the target, the better.
      {"4r2k/8/8/8/8/8/8/4K3 w - - 0 1", 'e', "e1d1", Any, 10000 - 17},
      {"4r2k/8/8/8/8/8/8/4K3 w - - 0 1", 'e', "e1f1", Any, 10000 - 16},
      {"4r2k/8/8/8/8/8/8/4K3 w - - 0 1", 'e', "e1f2", Any, 10000 - 22},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.fen) + " " + c.move);
    auto board = BoardFromFen(c.fen);
    Generate(*board, c.generator);
    if (c.bits != Any) { EXPECT_EQ(FindMove(*board, c.move).bits, c.bits); }
    if (c.score != Any) { EXPECT_EQ(ScoreOf(*board, c.move), c.score); }
  }
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

// The squares of a text such as "e8 e7 e6".
TSquareSet Squares(std::string_view names) {
  TSquareSet set = 0;
  for (std::size_t i = 0; i + 1 < names.size(); i += 3) set |= SquareBit(Sq(names.substr(i, 2)));
  return set;
}

TEST(BoardAttacks, CheckAnalysisFromScratch) {
  struct TCase {
    const char* fen;
    int checks;
    const char *lines, *behind, *pins;  // null: no meaning in a double check
  };
  const TCase cases[] = {
      {"4r2k/8/8/8/8/8/8/4K3 w - - 0 1", 1, "e8 e7 e6 e5 e4 e3 e2", "", ""},  // rook from the edge
      {"4r2k/8/8/8/4K3/8/8/8 w - - 0 1", 1, "e8 e7 e6 e5", "e3", ""},         // the square behind the king
      {"7k/8/8/8/8/3p4/4K3/8 w - - 0 1", 1, "d3", "", ""},                     // pawn: no line behind
      {"4r2k/8/8/8/4N3/3n4/8/4K3 w - - 0 1", 1, "d3", "", "e4"},              // the rook pins e4
      {"7k/8/8/8/1b6/3n4/8/R3K3 w - - 0 1", 2, nullptr, nullptr, ""},         // bishop and knight
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.fen);
    auto board = BoardFromFen(c.fen);
    EXPECT_TRUE(InCheckAtRoot(*board));
    EXPECT_EQ(board->CheckCount, c.checks);
    if (c.lines) { EXPECT_EQ(board->CheckAnswerSquares, Squares(c.lines)); }
    if (c.behind) { EXPECT_EQ(board->SquaresBehindKing, Squares(c.behind)); }
    EXPECT_EQ(board->PinnedMen, Squares(c.pins));
  }
}

TEST(BoardAttacks, PawnsAndKingLinesStopAtTheBoardEdge) {
  // h1 sees its file, its rank and the long diagonal up to the king on a8.
  EXPECT_EQ(std::popcount(BoardFromFen("k7/8/8/8/8/8/8/7K w - - 0 1")->KingEntry(Light).LinesOfSight), 21);
  // Squares next in numbering across the edge are not neighbours.
  auto b = BoardFromFen("7k/8/8/p6p/P6P/8/P7/7K w - - 0 1");
  EXPECT_TRUE(b->AttackedByDarkPawn(Sq("b4")) && b->AttackedByDarkPawn(Sq("g4")) && b->AttackedByLightPawn(Sq("g5")));
  EXPECT_FALSE(b->AttackedByDarkPawn(Sq("a4")) || b->AttackedByLightPawn(Sq("h6")));
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
  EXPECT_EQ(board->CheckAnswerSquares, Squares("h5 g5 f5 e5 d5 c5 b5"));
  board->GenerateEvasions();
  const auto replies = PlyMoveTexts(*board);
  EXPECT_TRUE(Contains(replies, "e7d5"));
  EXPECT_TRUE(Contains(replies, "a5b6"));
  EXPECT_FALSE(Contains(replies, "a5b5"));
  EXPECT_TRUE(board->board_is_ok());
}


TEST(BoardOrdering, KillerClimbsOneSlotWhenItsCountPassesTheSlotAbove) {
  auto board = BoardFromFen("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1");
  const TMove a = Quiet("g1f3"), b = Quiet("g1h3"), c = Quiet("g1e2");
  for (const TMove m : {a, b, b}) board->RecordKiller(m);  // each enters the third slot, b climbs past 0
  EXPECT_TRUE(board->Killer2[Light][0] == b && board->killer2_scores[Light][0] == 2);
  board->RecordKiller(c);
  board->RecordKiller(c);  // 2 does not pass 2
  EXPECT_EQ(board->Killer3[Light][0], c);
  board->RecordKiller(c);
  EXPECT_TRUE(board->Killer2[Light][0] == c && board->Killer3[Light][0] == b && board->killer3_scores[Light][0] == 2);
  board->RecordRootKiller(c, 5);  // the root weighs by depth
  EXPECT_TRUE(board->Killer1[Light][0] == c && board->killer1_scores[Light][0] == 8);
  EXPECT_GT(board->KillerBonus(c), board->KillerBonus(b));
  EXPECT_EQ(board->KillerBonus(a), 0);
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
  EXPECT_TRUE(board->Killer1[Light][0].IsNone() && board->killer3_scores[Light][0] == 0);
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

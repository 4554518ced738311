// The generators: which moves they list, in which order, with which flags.
#include <gtest/gtest.h>

#include "board/board_fixture.h"

namespace {

constexpr std::string_view StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

std::vector<std::string> From(const TSearchBoard& board, std::string_view square) {
  std::vector<std::string> texts;
  for (const TGen& g : PlyMoves(board))
    if (g.m.from == Sq(square)) texts.push_back(move_str(g.m));
  return texts;
}

TEST(BoardMovegen, StartPositionOrderAndFlags) {
  auto board = BoardFromFen(StartFen);
  ASSERT_TRUE(board);
  board->GenerateMoves();
  // Castling is listed whenever the right is held; MakeMove refuses it here.
  const std::vector<std::string> expected = {
      "a2a3", "a2a4", "b2b3", "b2b4", "c2c3", "c2c4", "d2d3", "d2d4", "e2e3", "e2e4", "f2f3", "f2f4",
      "g2g3", "g2g4", "h2h3", "h2h4", "b1a3", "b1c3", "g1f3", "g1h3", "e1g1", "e1c1"};
  EXPECT_EQ(PlyMoveTexts(*board), expected);
  for (const TGen& g : PlyMoves(*board)) {
    const bool twoSquares = g.m.from - g.m.ToNdx == 16;
    if (g.m.from >= 48 && g.m.from <= 55) {
      EXPECT_EQ(g.m.bits, twoSquares ? 24 : 16);
    }
  }
  int legal = 0;
  for (const TGen& g : PlyMoves(*board))
    if (board->MakeMove(g.m)) {
      ++legal;
      board->TakeBack();
    }
  EXPECT_EQ(legal, 20);
}

TEST(BoardMovegen, PromotionsInQueenRookBishopKnightOrder) {
  auto board = BoardFromFen("r6k/1P6/8/8/8/8/8/7K w - - 0 1");
  ASSERT_TRUE(board);
  board->GenerateMoves();
  const std::vector<std::string> expected = {"b7a8q", "b7a8r", "b7a8b", "b7a8n", "b7b8q", "b7b8r", "b7b8b", "b7b8n"};
  EXPECT_EQ(From(*board, "b7"), expected);
  for (const TGen& g : PlyMoves(*board)) {
    if (g.m.from != Sq("b7")) continue;
    const bool capture = g.m.ToNdx == Sq("a8");
    EXPECT_EQ(g.m.bits, capture ? 49 : 112);  // advanced push, promotion
    EXPECT_EQ(g.score, 1000000 + 1000 * g.m.promote + (capture ? 470 : 0));
  }
  // Out of the root list the push carries no advanced-push flag.
  board->GenerateRootMoves();
  EXPECT_EQ(FindMove(*board, "b7b8q").bits, 48);
}

TEST(BoardMovegen, EnPassantAfterDoublePush) {
  auto board = BoardFromFen("rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
  ASSERT_TRUE(board);
  board->GenerateMoves();
  const TMove ep = FindMove(*board, "d4e3");
  EXPECT_EQ(ep.bits, 21);
  const auto moves = PlyMoves(*board);
  const auto it = std::find_if(moves.begin(), moves.end(), [&](const TGen& g) { return g.m == ep; });
  EXPECT_EQ(it->score, 1000060);
}

TEST(BoardMovegen, PinnedPieceDoesNotCaptureChecker) {
  // The bishop e2 could take the checking knight but is pinned by the rook.
  auto board = BoardFromFen("4r2k/8/8/8/8/3n4/4B3/4K3 w - - 0 1");
  ASSERT_TRUE(board);
  ASSERT_TRUE(InCheckAtRoot(*board));
  board->GenerateEvasions();
  EXPECT_TRUE(From(*board, "e2").empty());
  EXPECT_FALSE(PlyMoves(*board).empty());
}

TEST(BoardMovegen, EnPassantEvasionThatExposesTheKingIsNotGenerated) {
  // c7-c5 checks d4; taking en passant removes the pawn that shields the
  // king from the bishop on a7. Only a set-up position can hold this (the
  // bishop would have been checking before the push), but evasions are made
  // without a test, so the generator must not offer it.
  auto board = BoardFromFen("7k/b7/8/2pP4/3K4/8/8/8 w - c6 0 1");
  ASSERT_TRUE(board);
  ASSERT_TRUE(InCheckAtRoot(*board));
  board->GenerateEvasions();
  EXPECT_FALSE(Contains(PlyMoveTexts(*board), "d5c6"));
  for (const TGen& g : PlyMoves(*board)) {
    board->MakeMoveUnchecked(g.m);
    EXPECT_FALSE(board->KingAttacked(board->XSide)) << move_str(g.m);
    board->TakeBack();
  }
  // The same capture answering a check with nothing behind is offered.
  auto open = BoardFromFen("7k/8/8/2pP4/3K4/8/8/8 w - c6 0 1");
  ASSERT_TRUE(open);
  ASSERT_TRUE(InCheckAtRoot(*open));
  open->GenerateEvasions();
  EXPECT_EQ(FindMove(*open, "d5c6").bits, 21);
}

TEST(BoardMovegen, EvasionsPromoteToQueenUnlessAskedForAll) {
  // The rook checks along the eighth rank; the pawn blocks it by promoting.
  auto white = BoardFromFen("r5K1/3P4/8/8/8/8/8/k7 w - - 0 1");
  ASSERT_TRUE(white);
  ASSERT_TRUE(InCheckAtRoot(*white));
  white->GenerateEvasions();
  EXPECT_EQ(From(*white, "d7"), std::vector<std::string>{"d7d8q"});
  EXPECT_EQ(FindMove(*white, "d7d8q").bits, 48);
  white->GenerateEvasions(true);
  EXPECT_EQ(From(*white, "d7"), (std::vector<std::string>{"d7d8q", "d7d8r", "d7d8b", "d7d8n"}));
}

TEST(BoardMovegen, KingEvasionsScoreFewerOpenLinesHigher) {
  auto board = BoardFromFen("4r2k/8/8/8/8/8/8/4K3 w - - 0 1");
  ASSERT_TRUE(board);
  ASSERT_TRUE(InCheckAtRoot(*board));
  board->GenerateEvasions();
  for (const TGen& g : PlyMoves(*board)) {
    int open = 0;
    EXPECT_FALSE(board->SquareAttackedCount(g.m.ToNdx, Dark, open));
    EXPECT_EQ(g.score, 10000 - open) << move_str(g.m);
  }
}

TEST(BoardMovegen, CapturesSkipPawnsDefendedByPawns) {
  // Nxd5 takes a pawn defended by c6; Nxf5 an undefended one; exd5 is a
  // pawn capture and always listed; a7-a8 promotes to a queen only.
  auto board = BoardFromFen("7k/P7/2p5/3p1p2/4P3/4N3/8/K7 w - - 0 1");
  ASSERT_TRUE(board);
  board->GenerateCaptures();
  const auto texts = PlyMoveTexts(*board);
  EXPECT_FALSE(Contains(texts, "e3d5"));
  EXPECT_TRUE(Contains(texts, "e3f5"));
  EXPECT_TRUE(Contains(texts, "e4d5"));
  EXPECT_TRUE(Contains(texts, "e4f5"));
  EXPECT_EQ(FindMove(*board, "a7a8q").bits, 48);
  EXPECT_EQ(texts.size(), 4u);
}

TEST(BoardMovegen, QuietChecksAreDirectChecksOnly) {
  // The d2 pawn closes the d-file: neither Ra1-d1 nor castling checks d8.
  auto closed = BoardFromFen("3k4/8/8/8/8/8/3P4/R3K1NB w Q - 0 1");
  ASSERT_TRUE(closed);
  closed->GenerateCapturesAndChecks();
  EXPECT_EQ(PlyMoveTexts(*closed), std::vector<std::string>{"a1a8"});

  auto open = BoardFromFen("3k4/8/8/8/8/8/8/R3K1NB w Q - 0 1");
  ASSERT_TRUE(open);
  open->GenerateCapturesAndChecks();
  EXPECT_EQ(PlyMoveTexts(*open), (std::vector<std::string>{"a1a8", "a1d1", "e1c1"}));
  // Quiet checks are ordered by the kind of the checking piece.
  for (const TGen& g : PlyMoves(*open)) EXPECT_EQ(g.score, open->Piece[g.m.from]);
}

}  // namespace

// The generators' order and flags, and the en-passant evasion that would
// expose the king. That each generator lists exactly what its rule selects
// is checked over whole trees by the board walk; scores by the ordering tests.
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

// Runs a generator: 'm' all moves, 'r' the root list, 'e' evasions, 'c' captures.
void Generate(TSearchBoard& board, char generator) {
  if (generator == 'm') board.GenerateMoves();
  if (generator == 'r') board.GenerateRootMoves();
  if (generator == 'e') board.GenerateEvasions();
  if (generator == 'c') board.GenerateCaptures();
}

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

TEST(BoardMovegen, MoveFlags) {
  struct TCase {
    const char* fen;
    char generator;
    const char* move;
    int bits;
  };
  constexpr int Promotion = MovePawn | MovePromote;
  const TCase cases[] = {
      // Only the full list marks the advanced push.
      {PromotionFen, 'm', "b7b8q", Promotion | MovePawnPush},
      {PromotionFen, 'r', "b7b8q", Promotion},
      {"r5K1/3P4/8/8/8/8/8/k7 w - - 0 1", 'e', "d7d8q", Promotion},
      {"7k/P7/8/8/8/8/8/K7 w - - 0 1", 'c', "a7a8q", Promotion},
      {StartFen, 'm', "e2e4", MovePawn | MovePawn2sq},
      // The en-passant capture of a checking pawn, nothing behind the king.
      {"7k/8/8/2pP4/3K4/8/8/8 w - c6 0 1", 'e', "d5c6", MovePawn | MoveCapture | MoveEnPassant},
  };
  for (const TCase& c : cases) {
    auto board = BoardFromFen(c.fen);
    if (c.generator == 'e') { ASSERT_TRUE(InCheckAtRoot(*board)) << c.fen; }
    Generate(*board, c.generator);
    EXPECT_EQ(FindMove(*board, c.move).bits, c.bits) << c.fen << " " << c.move;
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
    EXPECT_FALSE(board->KingAttacked(board->XSide)) << move_str(g.m);
    board->TakeBack();
  }
}

}  // namespace

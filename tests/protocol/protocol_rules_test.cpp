// The protocol board's own rules: move counts of known positions, castling
// conditions, en passant, promotions, exact take-backs, and keys.
#include <gtest/gtest.h>

#include "protocol/protocol_test_util.h"

namespace {

using namespace protocol_test;

// Counts the leaves, checking the key after every move against a fresh one.
std::uint64_t Perft(TProtocolBoard& board, int depth) {
  board.ProtocolGenerate();
  std::uint64_t nodes = 0;
  const int first = board.First_move[board.Ply], last = board.First_move[board.Ply + 1];
  for (int i = first; i < last; ++i) {
    if (!board.ProtocolMakeMove(board.Gen_dat[i].m)) continue;
    EXPECT_EQ(board.hash, ComputeKey(board));
    nodes += depth == 1 ? 1 : Perft(board, depth - 1);
    board.ProtocolTakeBack();
    --board.Ply;
  }
  return nodes;
}

// Is the move legal? (The move counts check that refused moves change nothing.)
bool Legal(TProtocolBoard&& board, std::string_view text) {
  const TMove m = GeneratedMove(board, text);
  return !m.IsNone() && board.ProtocolMakeMove(m);
}

TEST(ProtocolRules, MoveCountsOfKnownPositions) {
  struct Case { const char* fen; int depth; std::uint64_t nodes; };
  const Case cases[] = {
      {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3, 97862},
      {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 4, 43238},
      {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, 9467},
      {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3, 62379},
  };
  for (const Case& c : cases) {
    TProtocolBoard board = BoardFromFen(c.fen);
    EXPECT_EQ(Perft(board, c.depth), c.nodes) << c.fen;
    // Every make was taken back, refused ones included.
    EXPECT_TRUE(BoardSnapshot(board) == BoardSnapshot(BoardFromFen(c.fen))) << c.fen;
  }
}

TEST(ProtocolRules, CastlingConditions) {
  struct Case { const char* fen; const char* move; bool legal; };
  const Case cases[] = {
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "e1g1", true},
      {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "e8c8", true},
      {"1r2k3/8/8/8/8/8/8/R3K3 w Q -", "e1c1", true},     // b1 may be attacked
      {"4k3/4r3/8/8/8/8/8/4K2R w K -", "e1g1", false},    // out of check
      {"4k3/5r2/8/8/8/8/8/4K2R w K -", "e1g1", false},    // through an attacked square
      {"4k3/6r1/8/8/8/8/8/4K2R w K -", "e1g1", false},    // into check
      {"r3k3/8/8/8/8/8/8/2R1K3 b q -", "e8c8", false},
      {"rn2k3/8/8/8/8/8/8/RN2K3 w Qq -", "e1c1", false},  // a piece between, b1 too
      {"rn2k3/8/8/8/8/8/8/RN2K3 b Qq -", "e8c8", false},
      {"4k3/8/8/8/8/8/8/4K1NR w K -", "e1g1", false},
  };
  for (const Case& c : cases) EXPECT_EQ(Legal(BoardFromFen(c.fen), c.move), c.legal) << c.fen << " " << c.move;
  // The candidate is still listed while the right is held.
  EXPECT_FALSE(GeneratedMove(BoardFromFen("rn2k3/8/8/8/8/8/8/RN2K3 w Qq -"), "e1c1").IsNone());
}

// Castling and promotion moves both men; castling clears the fifty-move count.
// Take-backs are checked by the move counts above.
TEST(ProtocolRules, CastlingAndPromotionMoves) {
  TProtocolBoard board = BoardFromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
  board.PlayMoves("e1g1 h8h7 a1b1 e8c8");
  EXPECT_TRUE(board.Piece[62] == King && board.Piece[61] == Rook && board.Color[63] == bsEmpty);
  EXPECT_TRUE(board.Piece[2] == King && board.Piece[3] == Rook && board.Color[0] == bsEmpty);
  EXPECT_TRUE(board.Castle == 0u && board.Fifty == 0u && board.Hist_dat[0].castleOK[Light]);

  board = BoardFromFen("3r3k/4P3/8/8/8/8/8/K7 w - -");
  std::vector<TPiece> pushes;
  for (int i = 0; i < board.First_move[1]; ++i)
    if (const TMove m = board.Gen_dat[i].m; m.from == 12 && m.ToNdx == 4 && m.bits == (MovePawn | MovePromote))
      pushes.push_back(m.promote);
  EXPECT_EQ(pushes, (std::vector<TPiece>{Queen, Rook, Bishop, Knight}));
  EXPECT_EQ(GeneratedMove(board, "e7d8n").bits, MoveCapture | MovePawn | MovePromote);
  board.PlayMoves("e7d8n");
  EXPECT_TRUE(board.Piece[3] == Knight && board.Color[3] == Light);
}

TEST(ProtocolRules, EnPassant) {
  TProtocolBoard board = BoardFromFen("4k3/3p4/8/4P3/8/8/8/4K3 b - -");
  board.PlayMoves("d7d5");
  EXPECT_EQ(board.EP, 19);  // d6
  EXPECT_EQ(GeneratedMove(board, "e5d6").bits, MoveCapture | MoveEnPassant | MovePawn);
  board.PlayMoves("e5d6");
  EXPECT_TRUE(board.Piece[19] == Pawn && board.Color[27] == bsEmpty && board.EP == NoSquare);  // d5 is gone
  // Refused when the captured pawn was shielding the king.
  EXPECT_FALSE(Legal(BoardFromFen("8/8/8/K2pP2r/8/8/8/7k w - d6"), "e5d6"));
}

TEST(ProtocolRules, TheSamePositionHasTheSameKeyHoweverReached) {
  EnsureEngineTables();
  TProtocolBoard played, other;
  Position(played, "startpos moves e2e4 c7c5 g1f3 d7d6 e1e2");
  EXPECT_EQ(played.hash, BoardFromFen("rnbqkbnr/pp2pppp/3p4/2p5/4P3/5N2/PPPPKPPP/RNBQ1B1R b kq - 1 3").hash);
  Position(played, "startpos moves g1f3 g8f6 b1c3 b8c6");
  Position(other, "startpos moves b1c3 b8c6 g1f3 g8f6");
  EXPECT_EQ(played.hash, other.hash);
  Position(other, "startpos moves g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 b1c3 b8c6");
  EXPECT_EQ(played.hash, other.hash);
}

}  // namespace

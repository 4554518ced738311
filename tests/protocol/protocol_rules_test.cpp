// The protocol board's rules engine: move counts of known positions, castling
// conditions, en passant, promotions, and exact take-backs.
#include <gtest/gtest.h>

#include <cstdint>

#include "protocol/protocol_test_util.h"

namespace {

using namespace protocol_test;

std::uint64_t Perft(TProtocolBoard& board, int depth) {
  board.ProtocolGenerate();
  std::uint64_t nodes = 0;
  const int first = board.First_move[board.Ply], last = board.First_move[board.Ply + 1];
  for (int i = first; i < last; ++i) {
    if (!board.ProtocolMakeMove(board.Gen_dat[i].m)) continue;
    nodes += depth == 1 ? 1 : Perft(board, depth - 1);
    board.ProtocolTakeBack();
    --board.Ply;
  }
  return nodes;
}

bool Legal(TProtocolBoard& board, std::string_view text) {
  const TMove m = GeneratedMove(board, text);
  if (m.IsNone()) return false;
  const BoardSnapshot before(board);
  const bool made = board.ProtocolMakeMove(m);
  if (made) {
    board.ProtocolTakeBack();
    board.Ply = 0;
  }
  EXPECT_TRUE(BoardSnapshot(board) == before) << text;
  EXPECT_EQ(board.Ply, 0u) << text;
  return made;
}
bool Legal(TProtocolBoard&& board, std::string_view text) { return Legal(board, text); }

TEST(ProtocolRules, MoveCountsOfKnownPositions) {
  struct Case { const char* fen; int depth; std::uint64_t nodes; };
  const Case cases[] = {
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 3, 8902},
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
  // Free and safe: both sides may castle both ways; b1 may be attacked.
  TProtocolBoard board = BoardFromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
  EXPECT_TRUE(Legal(board, "e1g1"));
  EXPECT_TRUE(Legal(board, "e1c1"));
  board = BoardFromFen("r3k2r/8/8/8/8/8/8/R3K2R b KQkq -");
  EXPECT_TRUE(Legal(board, "e8g8"));
  EXPECT_TRUE(Legal(board, "e8c8"));
  EXPECT_TRUE(Legal(BoardFromFen("1r2k3/8/8/8/8/8/8/R3K3 w Q -"), "e1c1"));

  // Out of check, through an attacked square, onto an attacked square.
  EXPECT_FALSE(Legal(BoardFromFen("4k3/4r3/8/8/8/8/8/4K2R w K -"), "e1g1"));
  EXPECT_FALSE(Legal(BoardFromFen("4k3/5r2/8/8/8/8/8/4K2R w K -"), "e1g1"));
  EXPECT_FALSE(Legal(BoardFromFen("4k3/6r1/8/8/8/8/8/4K2R w K -"), "e1g1"));
  EXPECT_FALSE(Legal(BoardFromFen("3rk3/8/8/8/8/8/8/R3K3 w Q -"), "e1c1"));
  EXPECT_FALSE(Legal(BoardFromFen("r3k3/8/8/8/8/8/8/2R1K3 b q -"), "e8c8"));

  // A piece between king and rook, b1 and b8 included; the candidate is
  // still listed while the right is held.
  TProtocolBoard blocked = BoardFromFen("rn2k3/8/8/8/8/8/8/RN2K3 w Qq -");
  EXPECT_FALSE(GeneratedMove(blocked, "e1c1").IsNone());
  EXPECT_FALSE(Legal(blocked, "e1c1"));
  blocked = BoardFromFen("rn2k3/8/8/8/8/8/8/RN2K3 b Qq -");
  EXPECT_FALSE(Legal(blocked, "e8c8"));
  EXPECT_FALSE(Legal(BoardFromFen("4k3/8/8/8/8/8/8/4K1NR w K -"), "e1g1"));
}

TEST(ProtocolRules, CastlingMovesTheRookAndTakesBackExactly) {
  TProtocolBoard board = BoardFromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
  board.PlayMoves("e1g1");
  EXPECT_EQ(board.Piece[62], King);
  EXPECT_EQ(board.Piece[61], Rook);
  EXPECT_EQ(board.Color[63], bsEmpty);
  EXPECT_EQ(board.Castle, 12u);
  EXPECT_EQ(board.Fifty, 0u);
  EXPECT_TRUE(board.Hist_dat[0].castleOK[Light]);
  board.PlayMoves("h8h7 a1b1 h7h8 b1b2");
  EXPECT_EQ(board.Fifty, 4u);
  board.PlayMoves("e8c8");
  EXPECT_EQ(board.Fifty, 0u);
  EXPECT_EQ(board.Piece[3], Rook);
  EXPECT_EQ(board.Castle, 0u);
  for (int i = 0; i < 6; ++i) board.ProtocolTakeBack();
  EXPECT_TRUE(BoardSnapshot(board) == BoardSnapshot(BoardFromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -")));
}

TEST(ProtocolRules, EnPassant) {
  TProtocolBoard board = BoardFromFen("4k3/3p4/8/4P3/8/8/8/4K3 b - -");
  board.PlayMoves("d7d5");
  EXPECT_EQ(board.EP, 19);  // d6
  const TMove capture = GeneratedMove(board, "e5d6");
  EXPECT_EQ(capture.bits, MoveCapture | MoveEnPassant | MovePawn);
  const BoardSnapshot before(board);
  ASSERT_TRUE(board.ProtocolMakeMove(capture));
  EXPECT_EQ(board.Piece[19], Pawn);
  EXPECT_EQ(board.Color[27], bsEmpty);  // the d5 pawn is gone
  EXPECT_EQ(board.Hist_dat[1].Capture, bpEmpty);
  board.ProtocolTakeBack();
  EXPECT_TRUE(BoardSnapshot(board) == before);

  // A double push sets the square even with nobody to take; no candidate then.
  board = BoardFromFen("4k3/8/8/8/8/8/4P3/4K3 w - -");
  board.PlayMoves("e2e4");
  EXPECT_EQ(board.EP, 44);
  for (int i = 0; i < board.First_move[1]; ++i) EXPECT_FALSE(board.Gen_dat[i].m.Has(MoveEnPassant));
  board.PlayMoves("e8d8");
  EXPECT_EQ(board.EP, NoSquare);

  // Refused when the captured pawn was shielding the king.
  board = BoardFromFen("8/8/8/K2pP2r/8/8/8/7k w - d6");
  EXPECT_FALSE(Legal(board, "e5d6"));
}

TEST(ProtocolRules, PromotionsComeQueenRookBishopKnight) {
  TProtocolBoard board = BoardFromFen("3r3k/4P3/8/8/8/8/8/K7 w - -");
  const TPiece pushes[] = {Queen, Rook, Bishop, Knight};
  int found = 0;
  for (int i = 0; i < board.First_move[1]; ++i) {
    const TMove m = board.Gen_dat[i].m;
    if (m.from != 12 || m.ToNdx != 4) continue;
    EXPECT_EQ(m.promote, pushes[found]);
    EXPECT_EQ(m.bits, MovePawn | MovePromote);
    ++found;
  }
  EXPECT_EQ(found, 4);
  const TMove takeRook = GeneratedMove(board, "e7d8n");
  EXPECT_EQ(takeRook.bits, MoveCapture | MovePawn | MovePromote);
  EXPECT_EQ(takeRook.promote, Knight);

  const BoardSnapshot before(board);
  ASSERT_TRUE(board.ProtocolMakeMove(takeRook));
  EXPECT_EQ(board.Piece[3], Knight);
  EXPECT_EQ(board.Color[3], Light);
  board.ProtocolTakeBack();
  EXPECT_TRUE(BoardSnapshot(board) == before);
  EXPECT_EQ(board.Piece[12], Pawn);
  EXPECT_EQ(board.Piece[3], Rook);
  EXPECT_EQ(board.Color[3], Dark);
}

TEST(ProtocolRules, KeysAfterMovesMatchTheSamePositionFromFen) {
  EnsureEngineTables();
  TProtocolBoard played;
  Position(played, "startpos moves e2e4");
  EXPECT_EQ(played.hash, BoardFromFen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3").hash);
  Position(played, "startpos moves e2e4 c7c5 g1f3 d7d6 e1e2");
  EXPECT_EQ(played.hash, BoardFromFen("rnbqkbnr/pp2pppp/3p4/2p5/4P3/5N2/PPPPKPPP/RNBQ1B1R b kq - 1 3").hash);

  // The same position by different move orders.
  TProtocolBoard other;
  Position(played, "startpos moves g1f3 g8f6 b1c3 b8c6");
  Position(other, "startpos moves b1c3 b8c6 g1f3 g8f6");
  EXPECT_EQ(played.hash, other.hash);
  Position(other, "startpos moves g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 b1c3 b8c6");
  EXPECT_EQ(played.hash, other.hash);
}

}  // namespace

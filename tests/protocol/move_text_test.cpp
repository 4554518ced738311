// Move text: coordinate text out and in, the ponder-move test, and the
// algebraic text kept with played moves.
#include <gtest/gtest.h>

#include "protocol/move_text.h"
#include "protocol/protocol_test_util.h"

namespace {

using namespace protocol_test;

TMove Move(int from, int to, TPiece promote = 0, std::uint8_t bits = 0) {
  return TMove{std::uint8_t(from), std::uint8_t(to), promote, bits};
}

// Algebraic text of a move as it would be recorded when played now.
std::string San(const TProtocolBoard& board, std::string_view text) {
  const TMove m = GeneratedMove(board, text);
  EXPECT_FALSE(m.IsNone()) << text;
  return board.MoveToSan(m, board.Piece[m.from]);
}

TEST(ProtocolMoveText, CoordinateText) {
  EXPECT_EQ(move_str(Move(52, 36, 0, MovePawn2sq | MovePawn)), "e2e4");
  EXPECT_EQ(move_str(Move(12, 4, Queen, MovePawn | MovePromote)), "e7e8q");
  EXPECT_EQ(move_str(Move(48, 56, Knight, MovePawn | MovePromote)), "a2a1n");
  EXPECT_EQ(move_str(Move(12, 4, Rook, MovePromote)), "e7e8r");
  EXPECT_EQ(move_str(Move(12, 4, Bishop, MovePromote)), "e7e8b");
  EXPECT_EQ(move_str(Move(60, 62, 0, MoveCastle)), "e1g1");
  EXPECT_EQ(move_str(Move(4, 2, 0, MoveCastle)), "e8c8");
  // A stale promotion piece without the flag is not printed.
  EXPECT_EQ(move_str(Move(52, 44, Queen, MovePawn)), "e2e3");
  EXPECT_EQ(move_str(TMove{}), "a8a8");
}

TEST(ProtocolMoveText, EveryGeneratedMoveRoundTrips) {
  for (const char* fen : {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
                          "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
                          "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ -",
                          "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N w - -",
                          "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6"}) {
    const TProtocolBoard board = BoardFromFen(fen);
    ASSERT_GT(board.First_move[1], 0);
    for (int i = 0; i < board.First_move[1]; ++i) {
      const TMove m = board.Gen_dat[i].m;
      TMove parsed;
      EXPECT_EQ(board.ParseCoordMove(move_str(m), parsed), i) << fen << " " << move_str(m);
      EXPECT_EQ(parsed.from, m.from);
      EXPECT_EQ(parsed.ToNdx, m.ToNdx);
    }
  }
}

TEST(ProtocolMoveText, PromotionLettersAndMalformedText) {
  const TProtocolBoard board = BoardFromFen("4k3/P7/8/8/8/8/8/4K3 w - -");
  const auto promoteOf = [&](std::string_view text) { return GeneratedMove(board, text).promote; };
  EXPECT_EQ(promoteOf("a7a8"), Queen);
  EXPECT_EQ(promoteOf("a7a8x"), Queen);
  EXPECT_EQ(promoteOf("a7a8q"), Queen);
  EXPECT_EQ(promoteOf("a7a8R"), Rook);
  EXPECT_EQ(promoteOf("a7a8b"), Bishop);
  EXPECT_EQ(promoteOf("a7a8N"), Knight);
  EXPECT_EQ(promoteOf("a7a8nq"), Knight);  // only five characters count

  TMove parsed;
  for (const char* bad : {"", "a7", "a7a", "i7a8", "a7a9", "a0a8", "A7a8", "a7-a8", "e1e3", "e8d8"})
    EXPECT_EQ(board.ParseCoordMove(bad, parsed), -1) << bad;
}

TEST(ProtocolMoveText, AlgebraicText) {
  // Disambiguation by file, then by rank.
  TProtocolBoard board = BoardFromFen("4k3/8/8/R7/8/8/8/RN2KN2 w - -");
  EXPECT_EQ(San(board, "b1d2"), "Nbd2");
  EXPECT_EQ(San(board, "f1d2"), "Nfd2");
  EXPECT_EQ(San(board, "a1a3"), "R1a3");
  EXPECT_EQ(San(board, "a5a3"), "R5a3");
  EXPECT_EQ(San(board, "b1c3"), "Nc3");
  EXPECT_EQ(San(board, "e1e2"), "Ke2");

  // Captures carry no sign; pawns name their file; castling; promotions.
  board = BoardFromFen("r2qk2r/1P6/8/3pP3/3n4/8/8/R3K2R w KQkq d6");
  EXPECT_EQ(San(board, "e5d6"), "ed6");
  EXPECT_EQ(San(board, "e5e6"), "e6");
  EXPECT_EQ(San(board, "b7b8q"), "b8=Q");
  EXPECT_EQ(San(board, "b7a8n"), "ba8=N");
  EXPECT_EQ(San(board, "b7a8r"), "ba8=R");
  EXPECT_EQ(San(board, "b7a8b"), "ba8=B");
  EXPECT_EQ(San(board, "e1g1"), "O-O");
  EXPECT_EQ(San(board, "e1c1"), "O-O-O");
  EXPECT_EQ(San(board, "a1a8"), "Ra8");

  // Checks and mates carry no sign either.
  board = BoardFromFen("r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq -");
  EXPECT_EQ(San(board, "h5f7"), "Qf7");
  EXPECT_EQ(San(board, "c4f7"), "Bf7");
}

TEST(ProtocolMoveText, PlayedMovesKeepTheirAlgebraicText) {
  EnsureEngineTables();
  TProtocolBoard board;
  Position(board, "startpos moves e2e4 d7d5 e4d5 d8d5 b1c3 d5a5 g1f3 c8g4 f1e2 b8c6 e1g1 e8c8");
  const char* const expected[] = {"e4", "d5", "ed5", "Qd5", "Nc3", "Qa5", "Nf3", "Bg4", "Be2", "Nc6", "O-O", "O-O-O"};
  ASSERT_EQ(board.Hply, 12u);
  for (int i = 0; i < 12; ++i) EXPECT_STREQ(board.Hist_dat[i].chaineCoup, expected[i]) << i;
}

TEST(ProtocolMoveText, ExpectedReplyTest) {
  EnsureEngineTables();
  TProtocolBoard board;
  Position(board, "startpos moves e2e4");
  const BoardSnapshot before(board);
  const int listSize = board.First_move[1];
  const TMove e7e5 = Move(12, 28), d2d4 = Move(51, 35), g1f3 = Move(62, 45);
  const TMove c7c5 = GeneratedMove(board, "c7c5");
  EXPECT_TRUE(board.CoupAttendu_OK(c7c5, g1f3));
  EXPECT_FALSE(board.CoupAttendu_OK(c7c5, e7e5));          // a move of the wrong side
  EXPECT_FALSE(board.CoupAttendu_OK(d2d4, e7e5));          // not a move of this position
  EXPECT_FALSE(board.CoupAttendu_OK(Move(4, 36), e7e5));   // nonsense from elsewhere
  EXPECT_TRUE(BoardSnapshot(board) == before);
  EXPECT_EQ(board.First_move[1], listSize);
  EXPECT_EQ(board.Ply, 0u);

  // The promotion piece is compared; the flags are not.
  board = BoardFromFen("4k3/P7/8/8/8/8/p7/4K3 w - -");
  const TMove up = GeneratedMove(board, "a7a8q");
  EXPECT_TRUE(board.CoupAttendu_OK(up, Move(48, 56, Knight)));
  EXPECT_FALSE(board.CoupAttendu_OK(up, Move(48, 56, 0)));
}

}  // namespace

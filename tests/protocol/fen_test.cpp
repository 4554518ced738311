// Reading FEN: what is accepted, what is cleaned up, and what is refused
// with one line while the previous position stays.
#include <gtest/gtest.h>

#include <algorithm>

#include "protocol/protocol_test_util.h"

namespace {

using namespace protocol_test;

// Rights whose king or rook is not at home are dropped; so is an en-passant
// square without a pawn just pushed past it.
TEST(ProtocolFen, CastlingAndEnPassantFields) {
  struct Case { const char* fen; std::uint32_t castle; std::int32_t ep; };
  const Case cases[] = {
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", 15, NoSquare},
      {"r3k2r/8/8/8/8/8/8/R3K2R w Kq -", 1 | 8, NoSquare},
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq", 15, NoSquare},
      {"r3k3/8/8/8/8/8/8/4K2R w KQkq -", 1 | 8, NoSquare},
      {"r3k2r/8/8/8/8/8/8/R4K1R w KQkq -", 4 | 8, NoSquare},
      {"Rn2k2r/8/8/8/8/8/8/R3K1nr w KQkq -", 2 | 4, NoSquare},  // a rook of the wrong colour
      {"4k3/8/8/3Pp3/8/8/8/4K3 w - e6", 0, 20},
      {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", 15, 44},
      {"4k3/8/8/8/3Pp3/8/8/4K3 b - d3", 0, 43},
      {"4k3/8/8/3P4/8/8/8/4K3 w - e6", 0, NoSquare},          // no pawn in front
      {"4k3/8/8/3Pp3/8/8/8/4K3 b - e6", 0, NoSquare},         // the wrong side to move
      {"4k3/8/8/3Pp3/8/8/8/4K3 w - e5", 0, NoSquare},         // a wrong rank
      {"4k3/4n3/8/3Pp3/8/8/8/4K3 w - e6", 0, NoSquare},       // the pawn came through a man
      {"4k3/8/8/3P4/4p3/8/8/4K3 w - e6", 0, NoSquare},
  };
  for (const Case& c : cases) {
    const TProtocolBoard board = BoardFromFen(c.fen);
    EXPECT_EQ(board.Castle, c.castle) << c.fen;
    EXPECT_EQ(board.EP, c.ep) << c.fen;
  }
}

TEST(ProtocolFen, ShortFensAndTrailingFieldsAreAccepted) {
  const TProtocolBoard board = BoardFromFen("4k3/8/8/8/8/8/8/4K3 b");
  EXPECT_EQ(board.Side, Dark);
  EXPECT_EQ(board.First_move[1], 5) << "moves generated, ready for the first one";
  // Half-move clock and move number are not used; EPD operations may follow.
  EXPECT_EQ(BoardFromFen("4k3/8/8/8/8/8/8/4K3 w - - 37 80").Fifty, 0u);
  BoardFromFen("4k3/8/8/8/8/8/8/4K3 w - - bm Kd2; id \"x\";");
  BoardFromFen("  4k3/8/8/8/8/8/8/4K3   w\t-  -  ");
}

TEST(ProtocolFen, UnsoundFensAreRefusedWithOneLineAndThePositionKept) {
  EnsureEngineTables();
  TProtocolBoard board;
  Position(board, "startpos moves e2e4 e7e5");
  const BoardSnapshot before(board);
  for (const char* fen : RefusedFens) {
    const std::string printed = Position(board, std::string("fen ") + fen);
    EXPECT_EQ(printed.rfind("info string ", 0), 0u) << fen;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << fen << " printed " << printed;
    EXPECT_TRUE(BoardSnapshot(board) == before) << fen;
  }
  // The moves that follow a refused FEN are not played on the old position.
  EXPECT_EQ(Position(board, std::string("fen ") + RefusedFens[1] + " moves g1f3").find("Illegal"), std::string::npos);
  EXPECT_TRUE(BoardSnapshot(board) == before);

  // LoadFen itself prints nothing and names the problem.
  std::string error;
  OutputCapture capture;
  EXPECT_FALSE(board.LoadFen("4k3/8/8/8/8/8/8/4K2K w - -", error));
  EXPECT_NE(error.find("king"), std::string::npos) << error;
  EXPECT_EQ(capture.Text(), "");
}

}  // namespace

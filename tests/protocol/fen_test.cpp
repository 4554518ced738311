// Reading FEN: what is accepted, what is cleaned up, and what is refused
// with one line while the previous position stays.
#include <gtest/gtest.h>

#include <algorithm>

#include "board/geometry.h"
#include "protocol/protocol_test_util.h"

namespace {

using namespace protocol_test;

const char* const kStartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

TEST(ProtocolFen, ReadsPlacementSideCastlingAndEnPassant) {
  TProtocolBoard board = BoardFromFen("rnbqkbnr/pppp1ppp/8/8/4p3/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
  EXPECT_EQ(board.Piece[36], Pawn);
  EXPECT_EQ(board.Color[36], Dark);
  EXPECT_EQ(board.Color[12], bsEmpty);
  EXPECT_EQ(board.Piece[60], King);
  EXPECT_EQ(board.Color[60], Light);
  EXPECT_EQ(board.Side, Light);
  EXPECT_EQ(board.XSide, Dark);
  EXPECT_EQ(board.Castle, 15u);
  EXPECT_EQ(board.EP, NoSquare);
  EXPECT_EQ(board.hash, set_hash(board));
  EXPECT_EQ(board.First_move[1], 21);  // ready: 19 moves and both castling candidates

  board = BoardFromFen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
  EXPECT_EQ(board.Side, Dark);
  EXPECT_EQ(board.EP, 44);
}

TEST(ProtocolFen, CastlingFieldsWithRooksAtHome) {
  const std::string placement = "r3k2r/8/8/8/8/8/8/R3K2R w ";
  EXPECT_EQ(BoardFromFen(placement + "KQkq -").Castle, 15u);
  EXPECT_EQ(BoardFromFen(placement + "Kq -").Castle, 9u);
  EXPECT_EQ(BoardFromFen(placement + "- -").Castle, 0u);
}

TEST(ProtocolFen, ShortFensAndTrailingFieldsAreAccepted) {
  TProtocolBoard board = BoardFromFen("4k3/8/8/8/8/8/8/4K3 b");
  EXPECT_EQ(board.Side, Dark);
  EXPECT_EQ(board.Castle, 0u);
  EXPECT_EQ(board.EP, NoSquare);
  EXPECT_EQ(BoardFromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq").Castle, 15u);
  // Half-move clock and move number are not used; EPD operations may follow.
  board = BoardFromFen("4k3/8/8/8/8/8/8/4K3 w - - 37 80");
  EXPECT_EQ(board.Fifty, 0u);
  BoardFromFen("4k3/8/8/8/8/8/8/4K3 w - - bm Kd2; id \"x\";");
  BoardFromFen("  4k3/8/8/8/8/8/8/4K3   w\t-  -  ");
}

TEST(ProtocolFen, CastlingRightsWithoutKingOrRookAtHomeAreDropped) {
  EXPECT_EQ(BoardFromFen("r3k3/8/8/8/8/8/8/4K2R w KQkq -").Castle, 1u | 8u);
  EXPECT_EQ(BoardFromFen("r3k2r/8/8/8/8/8/8/R4K1R w KQkq -").Castle, 4u | 8u);
  // A rook of the wrong colour on the home square does not count.
  EXPECT_EQ(BoardFromFen("Rn2k2r/8/8/8/8/8/8/R3K1nr w KQkq -").Castle, 2u | 4u);
}

TEST(ProtocolFen, EnPassantSquareKeptOnlyBehindAJustPushedPawn) {
  // Black just played e7e5 / White just played d2d4.
  EXPECT_EQ(BoardFromFen("4k3/8/8/3Pp3/8/8/8/4K3 w - e6").EP, 20);
  EXPECT_EQ(BoardFromFen("4k3/8/8/8/3Pp3/8/8/4K3 b - d3").EP, 43);
  // No pawn in front, the wrong side to move, a wrong rank, or a blocked square.
  EXPECT_EQ(BoardFromFen("4k3/8/8/3P4/8/8/8/4K3 w - e6").EP, NoSquare);
  EXPECT_EQ(BoardFromFen("4k3/8/8/3Pp3/8/8/8/4K3 b - e6").EP, NoSquare);
  EXPECT_EQ(BoardFromFen("4k3/8/8/3Pp3/8/8/8/4K3 w - e5").EP, NoSquare);
  EXPECT_EQ(BoardFromFen("4k3/4n3/8/3Pp3/8/8/8/4K3 w - e6").EP, NoSquare);
  EXPECT_EQ(BoardFromFen("4k3/8/8/3P4/4p3/8/8/4K3 w - e6").EP, NoSquare);
}

TEST(ProtocolFen, UnsoundFensAreRefusedWithOneLineAndThePositionKept) {
  const char* const refused[] = {
      "",
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w KQkq -",             // 7 ranks
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/8 w KQkq -",  // 9 ranks
      "rnbqkbnr/ppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",     // a rank of 7
      "rnbqkbnr/ppppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",   // a rank of 9
      "rnbqkbnr/pppppppp/8/8/4X3/8/PPPPPPPP/RNBQKBNR w KQkq -",  // unknown letter
      "rnbqkbnr/pppppppp/9/8/8/PPPPPPPP/RNBQKBNR w KQkq -",      // digit 9
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR",             // no side
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq -",    // bad side
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR W KQkq -",    // side in capitals
      "rnbq1bnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQ -",      // no black king
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBKKBNR w kq -",      // two white kings
      "rnbqkbnr/pppppppp/8/8/8/P7/PPPPPPPP/RNBQKBNR w KQkq -",   // 17 white men
      "P3k3/8/8/8/8/8/8/4K3 w - -",                              // pawn on the last rank
      "4k3/8/8/8/8/8/8/p3K3 w - -",                              // pawn on the first rank
      "4k3/8/8/8/8/8/8/4R1K1 w - -",                             // side not to move in check
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQxq -",    // bad castling letter
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e9",   // en passant not a square
  };
  EnsureEngineTables();
  TProtocolBoard board;
  Position(board, "startpos moves e2e4 e7e5");
  const BoardSnapshot before(board);
  for (const char* fen : refused) {
    const std::string printed = Position(board, std::string("fen ") + fen);
    EXPECT_EQ(printed.rfind("info string ", 0), 0u) << fen;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << fen << " printed " << printed;
    EXPECT_TRUE(BoardSnapshot(board) == before) << fen;
  }
  // The moves that follow a refused FEN are not played on the old position.
  EXPECT_EQ(Position(board, std::string("fen ") + refused[1] + " moves g1f3").find("Illegal"), std::string::npos);
  EXPECT_TRUE(BoardSnapshot(board) == before);
}

TEST(ProtocolFen, LoadFenIsQuietAndNamesTheProblem) {
  EnsureEngineTables();
  TProtocolBoard board;
  std::string error;
  OutputCapture capture;
  EXPECT_FALSE(board.LoadFen("4k3/8/8/8/8/8/8/4K2K w - -", error));
  EXPECT_NE(error.find("king"), std::string::npos) << error;
  EXPECT_TRUE(board.LoadFen(kStartFen, error));
  EXPECT_EQ(capture.Text(), "");
}

}  // namespace

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
  BoardFromFen("  4k3/8/8/8/8/8/8/4K3   w\t-  -  ");
}

// The fifth field starts the fifty-move counter. EPD operations may stand
// there instead: anything that is not a number counts as 0, and a huge
// clock is cut to one that draws just as surely.
TEST(ProtocolFen, HalfMoveClockStartsTheFiftyMoveCounter) {
  const std::pair<const char*, std::uint32_t> cases[] = {
      {"4k3/8/8/8/8/8/8/4K3 w - - 37 80", 37},
      {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", 0},
      {"4k3/8/8/8/8/8/8/4K3 w - - 99", 99},
      {"4k3/8/8/8/8/8/8/4K3 w - - 1000 600", 1000},
      {"4k3/8/8/8/8/8/8/4K3 w - - 1001 600", 1000},
      {"4k3/8/8/8/8/8/8/4K3 w - - 99999999999999999999 1", 1000},
      {"4k3/8/8/8/8/8/8/4K3 w - - -5 1", 0},
      {"4k3/8/8/8/8/8/8/4K3 w - - 12x 1", 0},
      {"4k3/8/8/8/8/8/8/4K3 w - -", 0},
      {"4k3/8/8/8/8/8/8/4K3 w - - bm Kd2; id \"x\";", 0},
  };
  for (const auto& [fen, clock] : cases) EXPECT_EQ(BoardFromFen(fen).Fifty, clock) << fen;
}

// Material a game can reach: at most eight pawns a side, and no more pieces
// beyond one queen and two each of rooks, bishops and knights than the
// side's missing pawns could have become.
TEST(ProtocolFen, MaterialNoGameCanReachIsRefused) {
  struct Case { const char* fen; const char* refusal; };  // refusal null: accepted
  const Case cases[] = {
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", nullptr},
      // Nine queens, two rooks, two bishops, two knights and the king a side.
      {"rnbqkbnr/qqqqqqqq/8/8/8/8/QQQQQQQQ/RNBQKBNR w - - 0 1", nullptr},
      {"R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - - 0 1", nullptr},  // 218 moves
      {"4k3/8/8/8/8/8/1PPPPPPP/QQ2K3 w - - 0 1", nullptr},     // one pawn promoted
      {"4k3/4p3/8/8/8/8/RRRRRRRR/RRK5 w - - 0 1", nullptr},    // ten rooks
      {"4k3/8/8/8/8/8/NNNBBBRR/NNKBB3 w - - 0 1", nullptr},    // five knights, five bishops
      {"4k3/8/8/8/8/8/PPPPPPPP/QQ2K3 w - - 0 1", "white has more pieces beyond the original set (1) than missing pawns (0)"},
      {"4k3/8/8/8/8/8/1PPPPPPP/QQQ1K3 w - - 0 1", "white has more pieces beyond the original set (2) than missing pawns (1)"},
      {"4k3/4p3/8/8/8/8/RRRRRRRR/RRRK4 w - - 0 1", "white has more pieces beyond the original set (9) than missing pawns (8)"},
      {"rrrrrrrr/rrrrrrrk/8/8/8/8/RRRRRRRK/RRRRRRRR w - - 0 1", "white has more pieces beyond"},
      {"nnnnkbbb/pppppppp/8/8/8/8/8/4K3 w - - 0 1", "black has more pieces beyond the original set (3) than missing pawns (0)"},
      {"4k3/pppppppp/p7/8/8/8/8/4K3 w - - 0 1", "black has more than 8 pawns"},
      {"4k3/8/8/8/8/P7/PPPPPPPP/4K3 w - - 0 1", "white has more than 8 pawns"},
  };
  EnsureEngineTables();
  for (const Case& c : cases) {
    TProtocolBoard board;
    std::string error;
    EXPECT_EQ(board.LoadFen(c.fen, error), c.refusal == nullptr) << c.fen << ": " << error;
    if (c.refusal) {
      EXPECT_EQ(error.rfind(std::string("fen refused: ") + c.refusal, 0), 0u) << c.fen << ": " << error;
    }
  }
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

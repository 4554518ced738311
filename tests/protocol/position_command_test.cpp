// The "position" command on the protocol board: FEN accepted, cleaned up or
// refused with one line, and the moves that follow.
#include <gtest/gtest.h>

#include <algorithm>

#include "protocol/protocol_test_util.h"

namespace {

using namespace protocol_test;

// Rights whose king or rook is not at home are dropped; so is an en-passant
// square without a pawn just pushed past it.
TEST(ProtocolFen, CastlingAndEnPassantFields) {
  struct Case {
    const char* fen;
    std::uint32_t castle;
    std::int32_t ep;
  };
  const Case cases[] = {
      {"r3k2r/8/8/8/8/8/8/R3K2R w Kq -", 1 | 8, NoSquare},
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq", 15, NoSquare},
      {"r3k3/8/8/8/8/8/8/4K2R w KQkq -", 1 | 8, NoSquare},
      {"r3k2r/8/8/8/8/8/8/R4K1R w KQkq -", 4 | 8, NoSquare},
      {"Rn2k2r/8/8/8/8/8/8/R3K1nr w KQkq -", 2 | 4, NoSquare},  // a rook of the wrong colour
      {"4k3/8/8/3Pp3/8/8/8/4K3 w - e6", 0, 20},
      {"4k3/8/8/8/3Pp3/8/8/4K3 b - d3", 0, 43},
      {"4k3/8/8/3P4/8/8/8/4K3 w - e6", 0, NoSquare},     // no pawn in front
      {"4k3/8/8/3Pp3/8/8/8/4K3 b - e6", 0, NoSquare},    // the wrong side to move
      {"4k3/8/8/3Pp3/8/8/8/4K3 w - e5", 0, NoSquare},    // a wrong rank
      {"4k3/4n3/8/3Pp3/8/8/8/4K3 w - e6", 0, NoSquare},  // the pawn came through a man
  };
  for (const Case& c : cases) {
    const TProtocolBoard board = BoardFromFen(c.fen);
    EXPECT_TRUE(board.Castle == c.castle && board.EP == c.ep) << c.fen << ": " << board.Castle << " " << board.EP;
  }
}

// Short FENs and blanks anywhere are accepted. A fifth field that is not a
// number (EPD operations) counts as 0; a huge clock is cut to one that draws as surely.
TEST(ProtocolFen, ShortFensAndTheHalfMoveClock) {
  TProtocolBoard board = BoardFromFen("4k3/8/8/8/8/8/8/4K3 b");
  EXPECT_EQ(board.Side, Dark);
  EXPECT_EQ(board.FirstMove[1], 5) << "moves generated, ready for the first one";
  BoardFromFen("  4k3/8/8/8/8/8/8/4K3   w\t-  -  ");
  EXPECT_EQ(Position(board, "fen 4k3/8/8/8/8/8/4P3/4K3 w moves e2e4 e8d7"), "");
  EXPECT_EQ(board.HistoryLength, 2u);
  const std::pair<const char*, std::uint32_t> clocks[] = {
      {"37 80", 37}, {"99", 99}, {"1001 600", 1000},      {"99999999999999999999 1", 1000}, {"-5 1", 0},
      {"12x 1", 0},  {"", 0},    {"bm Kd2; id \"x\";", 0}};
  for (const auto& [clock, expected] : clocks) {
    const std::string fen = std::string("4k3/8/8/8/8/8/8/4K3 w - - ") + clock;
    EXPECT_EQ(BoardFromFen(fen).HalfmoveClock, expected) << fen;
  }
}

// Refused with one line naming the reason, the position kept. Material must be
// reachable by promotions, and checks ones a move can give.
TEST(ProtocolFen, UnsoundFensAreRefusedWithOneLineAndThePositionKept) {
  const std::pair<const char*, const char*> refused[] = {
      {"", "no placement"},
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w KQkq -", "the placement does not have 8 ranks"},
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/8 w KQkq -", "the placement does not have 8 ranks"},
      {"rnbqkbnr/ppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "a rank of the placement does not hold 8"},
      {"rnbqkbnr/ppppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "a rank of the placement holds more than 8"},
      {"rnbqkbnr/pppppppp/8/8/4X3/8/PPPPPPPP/RNBQKBNR w KQkq -", "unknown character 'X' in the placement"},
      {"rnbqkbnr/pppppppp/9/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "unknown character '9' in the placement"},
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR", "no side to move"},
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR W KQkq -", "the side to move is not w or b"},
      {"rnbq1bnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQ -", "each side needs exactly one king"},
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBKKBNR w kq -", "each side needs exactly one king"},
      {"P3k3/8/8/8/8/8/8/4K3 w - -", "a pawn stands on the first or last rank"},
      {"4k3/8/8/8/8/8/8/4R1K1 w - -", "the side not to move is in check"},
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQxq -", "unknown character 'x' in the castling field"},
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e9", "the en-passant field is not a square"},
      {"4k3/8/8/8/8/8/PPPPPPPP/QQ2K3 w - - 0 1",
       "white has more pieces beyond the original set (1) than missing pawns (0)"},
      {"4k3/4p3/8/8/8/8/RRRRRRRR/RRRK4 w - - 0 1",
       "white has more pieces beyond the original set (9) than missing pawns (8)"},
      {"nnnnkbbb/pppppppp/8/8/8/8/8/4K3 w - - 0 1",
       "black has more pieces beyond the original set (3) than missing pawns (0)"},
      {"4k3/pppppppp/p7/8/8/8/8/4K3 w - - 0 1", "black has more than 8 pawns"},
      {"4k3/8/8/8/8/P7/PPPPPPPP/4K3 w - - 0 1", "white has more than 8 pawns"},
      {"4k3/8/8/8/8/3n1n2/8/4K3 w - - 0 1", "the side to move is in a double check without a bishop, rook or queen"},
      {"4k3/8/8/8/8/5n2/3p4/4K3 w - - 0 1", "the side to move is in a double check without a bishop, rook or queen"},
      {"4k3/8/8/8/8/3n1n2/8/r3K3 w - - 0 1", "the side to move is in check by 3 men"},
  };
  TProtocolBoard board = BoardFromFen("4k3/8/8/8/8/8/8/4K3 w - -");
  for (const auto& [fen, reason] : refused) {
    SCOPED_TRACE(fen);
    Position(board, "startpos moves e2e4 e7e5");
    const auto before = Snapshot(board);
    const std::string printed = Position(board, std::string("fen ") + fen);
    EXPECT_EQ(printed.rfind(std::string("info string fen refused: ") + reason, 0), 0u) << printed;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_TRUE(Snapshot(board) == before);
    // The moves that follow a refused FEN are not played on the old position.
    EXPECT_EQ(Position(board, std::string("fen ") + fen + " moves g1f3"), printed);
    EXPECT_TRUE(Snapshot(board) == before);
  }
  // At the limits of what a game reaches; double checks a move can give.
  for (const char* fen : {"rnbqkbnr/qqqqqqqq/8/8/8/8/QQQQQQQQ/RNBQKBNR w - - 0 1", "4k3/8/8/8/8/8/1PPPPPPP/QQ2K3 w - -",
                          "4k3/4p3/8/8/8/8/RRRRRRRR/RRK5 w - - 0 1", "4k3/8/8/8/8/8/NNNBBBRR/NNKBB3 w - - 0 1",
                          "4k3/8/8/8/1b6/8/8/r3K3 w - - 0 1", "4k3/8/8/8/8/3n4/8/r3K3 w - - 0 1",
                          "4k3/8/8/8/8/8/3p4/r3K3 w - - 0 1", "4k3/8/8/8/8/5n2/8/4K2q w - - 0 1"})
    EXPECT_EQ(Position(board, std::string("fen ") + fen), "") << fen;
}

class ProtocolPosition : public ::testing::Test {
 protected:
  void SetUp() override { EnsureEngineTables(); }
  TProtocolBoard board;
};

// The clock counts on and a pawn move resets it. A bad move is reported by its
// place in the list, and the position stops before it.
TEST_F(ProtocolPosition, MovesArePlayedAndTheFirstIllegalOneEndsTheList) {
  const std::string illegal = "info string Illegal Move !!\n";
  EXPECT_EQ(Position(board, "fen 4k3/8/8/8/8/8/4P3/4K3 b - - 37 80 moves e8d7 e1d1"), "");
  EXPECT_TRUE(board.Piece[11] == King && board.HalfmoveClock == 39u);
  Position(board, "fen 4k3/8/8/8/8/8/4P3/4K3 b - - 37 80 moves e8d7 e2e4");
  EXPECT_EQ(board.HalfmoveClock, 0u);
  Position(board, "startpos moves e2e4 e7e5");
  const auto afterE4E5 = Snapshot(board);
  // Castling written as the king taking its rook, as some interfaces do.
  EXPECT_EQ(Position(board, "startpos moves e2e4 e7e5 e1h1 zz g1f3"),
            illegal + "info string move 3 of 5, 'e1h1', is not legal here: the position stops after move 2, e7e5\n");
  EXPECT_TRUE(Snapshot(board) == afterE4E5);
  EXPECT_EQ(Position(board, "fen 4k3/4r3/8/8/8/8/4N3/4K3 w - - moves e2c3 e1d1"),  // pinned
            illegal +
                "info string move 1 of 2, 'e2c3', is not legal here: the position stops before it, at the "
                "position given\n");
  EXPECT_EQ(board.Piece[60], King);
}

// Far beyond the history the board starts with; a search's copy carries it all.
TEST_F(ProtocolPosition, ThousandsOfGameMovesFit) {
  std::string moves;
  const char* const shuffle[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
  const int plies = 6000;
  for (int i = 0; i < plies; ++i) moves += std::string(" ") + shuffle[i % 4];
  EXPECT_EQ(Position(board, "startpos moves" + moves), "");
  EXPECT_TRUE(board.HistoryLength == std::uint32_t(plies) &&
              board.hash == BoardFromFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -").hash);
  EXPECT_STREQ(board.GameHistory[plies - 1].Notation, "Ng8");
  const TBoardState copy = board;
  EXPECT_EQ(copy.GameHistory[plies - 2].m, board.GameHistory[plies - 2].m);
}

}  // namespace

// The "position" command on the protocol board: start position, FEN, the
// moves that follow, "Illegal Move !!", and which set-ups ask for cleared tables.
#include <gtest/gtest.h>

#include "protocol/protocol_test_util.h"
#include "search/control.h"

namespace {

using namespace protocol_test;

class ProtocolPosition : public ::testing::Test {
 protected:
  void SetUp() override { EnsureEngineTables(); }
  TProtocolBoard board;
};

TEST_F(ProtocolPosition, NewFenIsDecidedOnTheFenTextAlone) {
  const std::string fen = "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1";
  EXPECT_TRUE(board.IsNewFen("fen " + fen));
  EXPECT_FALSE(board.IsNewFen("fen " + fen + " moves e2e4"));
  EXPECT_FALSE(board.IsNewFen("startpos moves e2e4"));
  EXPECT_EQ(board.Fen_Precedente, fen);
  EXPECT_TRUE(board.IsNewFen("fen 4k3/8/8/8/8/8/3P4/4K3 w - - 0 1"));
  EXPECT_TRUE(board.IsNewFen("fen " + fen + " MOVES e2e4"));
  EXPECT_TRUE(board.IsNewFen("fen"));  // an empty FEN text differs too
}

TEST_F(ProtocolPosition, MovesArePlayedAndIllegalOnesReported) {
  EXPECT_EQ(Position(board, "fen 4k3/8/8/8/8/8/4P3/4K3 b - - 0 1 moves e8d7 e2e4 d7d6"), "");
  EXPECT_EQ(board.Piece[19], King);
  EXPECT_EQ(board.Fifty, 1u);
  // The FEN's clock goes on counting; a pawn move sets it back.
  Position(board, "fen 4k3/8/8/8/8/8/4P3/4K3 b - - 37 80 moves e8d7 e1d1");
  EXPECT_EQ(board.Fifty, 39u);
  Position(board, "fen 4k3/8/8/8/8/8/4P3/4K3 b - - 37 80 moves e8d7 e2e4");
  EXPECT_EQ(board.Fifty, 0u);
  Position(board, "startpos moves e2e4 e7e5");
  const BoardSnapshot afterE4E5(board);
  EXPECT_EQ(Position(board, "startpos moves e2e4 e7e5 e1e3"), "info string Illegal Move !!\n");
  EXPECT_TRUE(BoardSnapshot(board) == afterE4E5);
  EXPECT_EQ(Position(board, "startpos moves e2e4 e7e5 e1e2"), "");
  EXPECT_EQ(board.Piece[52], King);

  // Each bad token costs one line; the moves after it are played.
  EXPECT_EQ(Position(board, "startpos moves e2e4 e2e4 e7e5 zz g1f3"), "info string Illegal Move !!\ninfo string Illegal Move !!\n");
  EXPECT_EQ(board.Hply, 3u);
  // Leaving the king in check: the pinned knight may not move.
  EXPECT_EQ(Position(board, "fen 4k3/4r3/8/8/8/8/4N3/4K3 w - - moves e2c3 e1d1"), "info string Illegal Move !!\n");
  EXPECT_EQ(board.Piece[59], King);
}

TEST_F(ProtocolPosition, ThousandsOfGameMovesFit) {
  std::string moves;
  const char* const shuffle[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
  const int plies = 6000;
  for (int i = 0; i < plies; ++i) moves += std::string(" ") + shuffle[i % 4];
  const std::uint32_t startKey = BoardFromFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -").hash;
  EXPECT_EQ(Position(board, "startpos moves" + moves), "");
  EXPECT_EQ(board.Hply, std::uint32_t(plies));
  EXPECT_EQ(board.hash, startKey);
  EXPECT_STREQ(board.Hist_dat[plies - 1].chaineCoup, "Ng8");
  // A copy for a search carries the whole history.
  const TBoardState copy = board;
  EXPECT_EQ(copy.Hist_dat[plies - 2].m, board.Hist_dat[plies - 2].m);
}

// A start position is a new game: the clock and depth limit go, a FEN keeps
// them. Every set-up stops pondering; a mate found is forgotten only when the
// tables are to be cleared.
TEST_F(ProtocolPosition, GameStateResetPerPosition) {
  struct CountingBoard : TProtocolBoard {
    int resets = 0;
    void ResetTimeControl() override { ++resets; }
  } counting;
  GoTime = 5000;
  MaxDepth = 7;
  MateFound = NoInfoOutput = Pondering = true;
  ClearHashPending = false;
  Position(counting, "fen 4k3/8/8/8/8/8/4P3/4K3 w - -");
  EXPECT_EQ(GoTime, 5000);
  EXPECT_EQ(counting.resets, 0);
  EXPECT_FALSE(Pondering);
  EXPECT_TRUE(MateFound && NoInfoOutput);

  Pondering = true;
  ClearHashPending = true;
  Position(counting, "startpos moves e2e4");
  EXPECT_EQ(GoTime, 0);
  EXPECT_EQ(MaxDepth, 0);
  EXPECT_EQ(counting.resets, 1);
  EXPECT_FALSE(Pondering || MateFound || NoInfoOutput);
}

}  // namespace

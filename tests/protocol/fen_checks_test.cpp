// Checks no game can reach: the search's check analysis counts one checking
// knight at most and answers a double check with king moves only, so a FEN
// with two knights checking (found by fuzzing: the search then played a
// queen capture that left the king in check) or three checkers is refused.
#include <gtest/gtest.h>

#include "protocol/protocol_test_util.h"

namespace {

using namespace protocol_test;

TEST(FenChecks, ChecksNoMoveCanGiveAreRefusedAndTheRestKept) {
  EnsureEngineTables();
  const std::pair<const char*, const char*> refused[] = {
      {"rnbq1k1r/B11Pbppp/2p5/8/2B5/8/PPnPPPnn/RNBQK2B w", "a double check without a bishop, rook or queen"},
      {"4k3/8/8/8/8/3n1n2/8/4K3 w - - 0 1", "a double check without a bishop, rook or queen"},
      {"4k3/8/8/8/8/3p1p2/4K3/8 w - - 0 1", "a double check without a bishop, rook or queen"},
      {"4k3/8/8/8/8/5n2/3p4/4K3 w - - 0 1", "a double check without a bishop, rook or queen"},
      {"4k3/8/8/8/8/3n1n2/8/r3K3 w - - 0 1", "in check by 3 men"},
  };
  for (const auto& [fen, why] : refused) {
    TProtocolBoard board;
    const BoardSnapshot before(board);
    std::string error;
    EXPECT_FALSE(board.LoadFen(fen, error)) << fen;
    EXPECT_NE(error.find(why), std::string::npos) << fen << ": " << error;
    EXPECT_TRUE(BoardSnapshot(board) == before) << fen;
  }
  // Double checks a move can give: one checker is a line piece.
  for (const char* fen : {"4k3/8/8/8/1b6/8/8/r3K3 w - - 0 1", "4k3/8/8/8/8/3n4/8/r3K3 w - - 0 1",
                          "4k3/8/8/8/8/8/3p4/r3K3 w - - 0 1", "4k3/8/8/8/8/5n2/8/4K2q w - - 0 1"})
    BoardFromFen(fen);
}

}  // namespace

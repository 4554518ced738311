// The protocol board's own generator and make/take-back: move counts of
// known positions (every castling rule, en passant pins and promotions among
// them), checking the key after every move and the board after every take-back.
#include <gtest/gtest.h>

#include "protocol/protocol_test_util.h"

namespace {

using namespace protocol_test;

std::uint64_t Perft(TProtocolBoard& board, int depth) {
  board.ProtocolGenerate();
  std::uint64_t nodes = 0;
  const int first = board.FirstMove[board.Ply], last = board.FirstMove[board.Ply + 1];
  for (int i = first; i < last; ++i) {
    if (!board.ProtocolMakeMove(board.MoveStack[i].m)) continue;
    EXPECT_EQ(board.hash, ComputeKey(board));
    nodes += depth == 1 ? 1 : Perft(board, depth - 1);
    board.ProtocolTakeBack();
    --board.Ply;
  }
  return nodes;
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
    EXPECT_TRUE(BoardSnapshot(board) == BoardSnapshot(BoardFromFen(c.fen))) << c.fen;
  }
}

}  // namespace

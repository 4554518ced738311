// Helpers for the protocol board tests: set-up with captured output and a
// snapshot of everything a position command may change.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>

#include "board/keys.h"
#include "board/move_text.h"
#include "platform/console.h"
#include "protocol/protocol_board.h"
#include "support/engine_tables.h"

// A namespace of their own: other test helpers share these plain names.
namespace protocol_test {

// Everything a position command may change.
inline auto Snapshot(const TBoardState& b) {
  return std::tuple(b.Color, b.Piece, b.Side, b.XSide, b.Castle, b.EP, b.HalfmoveClock, b.HistoryLength, b.hash);
}

// Runs the body of a "position" command and returns what it printed.
inline std::string Position(TProtocolBoard& board, std::string_view args) {
  OutputCapture capture;
  board.SetupPosition(args);
  return capture.Text();
}

// A board set up from FEN, failing the test when the FEN is refused.
inline TProtocolBoard BoardFromFen(std::string_view fen) {
  EnsureEngineTables();
  TProtocolBoard board;
  std::string error;
  EXPECT_TRUE(board.LoadFen(fen, error)) << fen << ": " << error;
  return board;
}

// The generated move that the coordinate text names; a zero move if none.
inline TMove GeneratedMove(const TProtocolBoard& board, std::string_view text) {
  TMove parsed;
  const int index = board.ParseCoordMove(text, parsed);
  return index < 0 ? TMove{} : board.MoveStack[index].m;
}

// Leaves `depth` plies below the board through its own generator and maker;
// the key is checked against one rebuilt from scratch after every move.
inline std::uint64_t Perft(TProtocolBoard& board, int depth) {
  board.ProtocolGenerate();
  std::uint64_t nodes = 0;
  const int first = board.FirstMove[board.Ply], last = board.FirstMove[board.Ply + 1];
  for (int i = first; i < last; ++i) {
    if (!board.ProtocolMakeMove(board.MoveStack[i].m)) continue;
    EXPECT_EQ(board.hash, ComputeKey(board)) << MoveText(board.MoveStack[i].m);
    nodes += depth == 1 ? 1 : Perft(board, depth - 1);
    board.ProtocolTakeBack();
    --board.Ply;
  }
  return nodes;
}

}  // namespace protocol_test

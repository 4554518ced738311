// Helpers for the protocol board tests: set-up with captured output and a
// snapshot of everything a position command may change.
#pragma once

#include <string>

#include "platform/console.h"
#include "protocol/protocol_board.h"
#include "support/engine_tables.h"

// A namespace of their own: other test helpers share these plain names.
namespace protocol_test {

struct BoardSnapshot {
  explicit BoardSnapshot(const TBoardState& b)
      : color(b.Color), piece(b.Piece), side(b.Side), xside(b.XSide), castle(b.Castle), ep(b.EP),
        fifty(b.HalfmoveClock), hply(b.HistoryLength), hash(b.hash) {}
  bool operator==(const BoardSnapshot&) const = default;
  TBoardColor color;
  TBoardNature piece;
  TSide side, xside;
  std::uint32_t castle;
  std::int32_t ep;
  std::uint32_t fifty, hply, hash;
};

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

}  // namespace protocol_test

// Helpers for the protocol board tests: set-up with captured output, a
// snapshot of everything a position command may change, and FENs to refuse.
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
        fifty(b.Fifty), hply(b.Hply), hash(b.hash) {}
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
  return index < 0 ? TMove{} : board.Gen_dat[index].m;
}

// FENs the engine cannot hold safely: each is refused with one line.
inline constexpr const char* RefusedFens[] = {
    "",
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w KQkq -",             // 7 ranks
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/8 w KQkq -",  // 9 ranks
    "rnbqkbnr/ppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",     // a rank of 7
    "rnbqkbnr/ppppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",   // a rank of 9
    "rnbqkbnr/pppppppp/8/8/4X3/8/PPPPPPPP/RNBQKBNR w KQkq -",  // unknown letter
    "rnbqkbnr/pppppppp/9/8/8/PPPPPPPP/RNBQKBNR w KQkq -",      // digit 9
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR",             // no side
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR W KQkq -",    // side in capitals
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR white KQkq -",
    "rnbq1bnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQ -",      // no black king
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBKKBNR w kq -",      // two white kings
    "rnbqkbnr/pppppppp/8/8/8/P7/PPPPPPPP/RNBQKBNR w KQkq -",   // 17 white men
    "P3k3/8/8/8/8/8/8/4K3 w - -",                              // pawn on the last rank
    "4k3/8/8/8/8/8/8/p3K3 w - -",                              // pawn on the first rank
    "4k3/8/8/8/8/8/8/4R1K1 w - -",                             // side not to move in check
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQxq -",    // bad castling letter
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e9",   // en passant not a square
};

}  // namespace protocol_test

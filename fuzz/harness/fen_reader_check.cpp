#include <memory>

#include "board/geometry.h"
#include "board/keys.h"
#include "board_agreement.h"
#include "fuzz_checks.h"

namespace {

// What a refused FEN must leave as it was.
struct TPlacement {
  explicit TPlacement(const TBoardState& board)
      : color(board.Color), piece(board.Piece), side(board.Side), castle(board.Castle), ep(board.EP),
        fifty(board.HalfmoveClock), hash(board.hash) {}
  bool operator==(const TPlacement&) const = default;
  TBoardColor color;
  TBoardNature piece;
  TSide side;
  std::uint32_t castle;
  std::int32_t ep;
  std::uint32_t fifty, hash;
};

}  // namespace

void PrepareFuzzChecks() {
  InitGeometry();
  InitHashKeys();
  // No check may wait for a human: what the engine reads, it reads from nothing.
  if (!std::freopen("/dev/null", "r", stdin)) std::abort();
}

namespace {

std::string CheckFenReaderUnder(std::string_view input, bool chess960) {
  static const auto board = std::make_unique<TProtocolBoard>();
  board->SetChess960Rules(chess960);
  board->SetStartPosition();
  const TPlacement before(*board);
  std::string error;
  if (!board->LoadFen(input, error)) {
    if (!error.starts_with("fen refused: ")) return "a refusal without its reason: '" + error + "'";
    if (!(TPlacement(*board) == before)) return "a refused FEN changed the board";
    return {};
  }
  if (!error.empty()) return "an accepted FEN with an error: '" + error + "'";
  const std::string key = CheckProtocolKey(*board);
  return key.empty() ? CompareMoveGenerators(*board) : key;
}

}  // namespace

// Every input is read by the rules of standard chess and of Chess960.
std::string CheckFenReader(std::string_view input) {
  for (const bool chess960 : {false, true}) {
    const std::string fault = CheckFenReaderUnder(input, chess960);
    if (!fault.empty()) return (chess960 ? "Chess960: " : "") + fault;
  }
  return {};
}

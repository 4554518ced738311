#include <memory>

#include "board/move_text.h"
#include "board_agreement.h"
#include "fuzz_checks.h"
#include "fuzz_session.h"

namespace {

// The coordinate text of every move of the position reads back as that
// move, and its algebraic text is made of algebraic characters only.
std::string CheckMoveTexts(TProtocolBoard& board) {
  board.Ply = 0;
  board.ProtocolGenerate();
  for (int i = 0; i < board.FirstMove[1]; ++i) {
    const TMove m = board.MoveStack[i].m;
    const std::string text = MoveText(m);
    TMove parsed;
    if (board.ParseCoordMove(text, parsed) != i) return "'" + text + "' does not read back as the move it names";
    const std::string san = board.MoveToSan(m, board.Piece[m.from]);
    if (san.size() < 2 || san.find_first_not_of("abcdefgh12345678KQRBNxO-=") != std::string::npos)
      return "'" + text + "' has the algebraic text '" + san + "'";
  }
  return {};
}

}  // namespace

std::string CheckMoveText(std::string_view input) {
  static const auto board = std::make_unique<TProtocolBoard>();
  const std::vector<std::string_view> lines = InputLines(input);
  board->SetStartPosition();
  std::string error;
  if (!lines.empty()) board->LoadFen(lines[0], error);
  std::string moves;
  for (std::size_t i = 1; i < lines.size(); ++i) moves.append(lines[i]).append(" ");
  {
    OutputCapture quiet;  // the "Illegal Move" lines
    board->PlayMoves(moves);
  }
  std::string fault = CheckMoveTexts(*board);
  if (fault.empty()) fault = CheckProtocolKey(*board);
  if (fault.empty()) fault = CompareMoveGenerators(*board);
  return fault;
}

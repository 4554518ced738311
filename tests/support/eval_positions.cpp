#include "support/eval_positions.h"

#include <stdexcept>
#include <string>

#include "protocol/epd_lines.h"
#include "protocol/protocol_board.h"
#include "support/engine_tables.h"

std::unique_ptr<TSearchBoard> BoardFromFen(std::string_view fen, bool chess960) {
  EnsureEngineTables();
  TProtocolBoard loaded;
  std::string error;
  if (!loaded.LoadFen(fen, error, chess960)) throw std::invalid_argument(std::string(fen) + ": " + error);
  auto board = std::make_unique<TSearchBoard>();
  static_cast<TBoardState&>(*board) = loaded;
  board->Ply = 0;
  board->PrepareBoard();
  return board;
}

std::unique_ptr<TSearchBoard> MirroredBoard(std::string_view fen) { return BoardFromFen(MirrorEpd(fen)); }

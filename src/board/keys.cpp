#include "board/keys.h"

#include <mutex>

#include "board/mersenne.h"

namespace {
TKeyTables keyTables{};
}

const TKeyTables& Keys = keyTables;

void InitHashKeys() {
  static std::once_flag once;
  std::call_once(once, [] {
    TMersenneTwister random(0xFFFFFFFFu);
    for (auto& colour : keyTables.PieceKeys)
      for (auto& kind : colour)
        for (auto& key : kind) key = random.Next32();
    keyTables.SideKey = random.Next32();
    for (auto& key : keyTables.EPKeys) key = random.Next32();
    for (auto& key : keyTables.CastleKeys) key = random.Next32();
    for (auto& key : keyTables.PhaseKeys) key = random.Next32();
    for (auto& right : keyTables.CastleRookKeys)
      for (auto& key : right) key = random.Next32();
  });
}

std::uint32_t ComputeKey(const TBoardState& board) {
  std::uint32_t key = 0;
  for (int square = 0; square < 64; ++square)
    if (board.Color[square] != bsEmpty) key ^= Keys.PieceKeys[board.Color[square]][board.Piece[square]][square];
  if (board.Side == Dark) key ^= Keys.SideKey;
  if (board.EP != NoSquare) key ^= Keys.EPKeys[board.EP];
  key ^= CastlingKey(board, board.Castle & AllCastling);
  return key;
}

void SetPawnKey(TBoardState& board) {
  board.hashP = 0;
  for (int square = 0; square < 64; ++square)
    if (board.Piece[square] == Pawn) board.hashP ^= Keys.PieceKeys[board.Color[square]][Pawn][square];
}

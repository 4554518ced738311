// Random keys of the position and pawn-structure hashes, and their full
// recomputation. Making and unmaking moves keep the same keys incrementally.
#pragma once

#include <cstdint>

#include "board/board_state.h"

struct TKeyTables {
  std::uint32_t PieceKeys[3][7][64];  // [colour][kind][square]; empty rows drawn but unused
  std::uint32_t SideKey;              // Black to move
  std::uint32_t EPKeys[64];
  std::uint32_t CastleKeys[16];
  std::uint32_t PhaseKeys[3];
  std::uint32_t CastleRookKeys[4][8];  // Chess960: [right][file of its rook]
};

extern const TKeyTables& Keys;

// Draws the key tables in their fixed order; safe to call more than once.
void InitHashKeys();

// Key of the whole position: pieces, side to move, en-passant square, rights.
std::uint32_t ComputeKey(const TBoardState& board);
// The key term of castling rights `rights` on `board` (its Chess960 rooks included).
inline std::uint32_t CastlingKey(const TBoardState& board, std::uint32_t rights) {
  return Keys.CastleKeys[rights] ^ board.Castling.ExtraKeys[rights];
}
// Recomputes the pawn-structure key in place.
void SetPawnKey(TBoardState& board);

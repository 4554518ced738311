// The search board: the board state of a search thread with the fields the
// board code keeps up to date (piece lists, counts, check state). The search
// thread class derives from it; perft and unit tests use it on its own.
#pragma once

#include <array>
#include <cstdint>

#include "board/console_board.h"

class TSearchBoard : public TThreadConsole {
 public:
  TEtatPieces& KingEntry(TSide side) { return PIECES[side].TabPieces[1]; }
  const TEtatPieces& KingEntry(TSide side) const { return PIECES[side].TabPieces[1]; }
  int KingSquare(TSide side) const { return PIECES[side].TabPieces[1].CaseActu; }

  std::int32_t NEchecs = 0;          // pieces giving check to the side to move
  TSquareSet CasesEchecs = 0;        // where a single check can be captured or blocked
  TSquareSet PiecesClouees = 0;      // side to move's pieces pinned to its king
  TSquareSet CasesDerriere = 0;      // squares behind the king on checking lines
  std::array<std::uint32_t, 64> Tabindex{};  // piece-list index of the piece on a square
  TTPIECES PIECES{};
  std::array<bool, MaxPly + 2> EchecsPLY{};
  std::int32_t NP[2][6]{};  // piece counts per side and kind
};

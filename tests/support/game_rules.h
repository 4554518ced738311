// The protocol board as referee of games played through the engine.
#pragma once

#include <string>

#include "protocol/protocol_board.h"

// Does the side to move have a legal move?
inline bool HasLegalMove(TProtocolBoard& board) {
  board.Ply = 0;
  board.ProtocolGenerate();
  for (int i = board.FirstMove[0]; i < board.FirstMove[1]; ++i)
    if (board.ProtocolMakeMove(board.MoveStack[i].m)) {
      board.ProtocolTakeBack();
      return true;
    }
  return false;
}

// Plays the coordinate move text; false, with the board unchanged, when it is not legal.
inline bool PlayMoveText(TProtocolBoard& board, const std::string& text) {
  board.Ply = 0;
  board.ProtocolGenerate();
  TMove m;
  const int index = board.ParseCoordMove(text, m);
  return index >= 0 && board.ProtocolMakeMove(board.MoveStack[index].m);
}

#include "board/board_state.h"

#include <algorithm>

TBoardState::TBoardState() : GameHistory(InitialHistoryCapacity) {
  Color.fill(bsEmpty);
  Piece.fill(bpEmpty);
}

void TBoardState::ClearStacks() {
  MoveStack.fill(TGen{});
  FirstMove.fill(0);
  std::fill(GameHistory.begin(), GameHistory.end(), THist{});
}

void TBoardState::ReserveHistory(std::size_t entries) {
  if (entries > GameHistory.size()) GameHistory.resize(std::max(entries, GameHistory.size() * 2));
}

#include "board/board_state.h"

#include <algorithm>

TBoardState::TBoardState() : Hist_dat(InitialHistoryCapacity) {
  Color.fill(bsEmpty);
  Piece.fill(bpEmpty);
}

void TBoardState::ClearStacks() {
  Gen_dat.fill(TGen{});
  First_move.fill(0);
  std::fill(Hist_dat.begin(), Hist_dat.end(), THist{});
}

void TBoardState::ReserveHistory(std::size_t entries) {
  if (entries > Hist_dat.size()) Hist_dat.resize(std::max(entries, Hist_dat.size() * 2));
}

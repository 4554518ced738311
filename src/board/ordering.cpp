// Move ordering: the selection step the search takes moves by, and the three
// killer slots per side and ply. A killer enters the third slot and climbs
// one slot at a time once it has been recorded more often than the slot above.
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <utility>

#include "board/search_board.h"

void TSearchBoard::PickNextMove(int i) {
  const int end = FirstMove[Ply + 1];
  int best = i;
  std::int32_t bestScore = -1;
  for (int j = i; j < end; ++j)
    if (MoveStack[j].score > bestScore) {
      bestScore = MoveStack[j].score;
      best = j;
    }
  if (best != i) std::swap(MoveStack[i], MoveStack[best]);
}

void TSearchBoard::RecordKillerWeighted(TMove m, std::int32_t weight) {
  TMove& k1 = Killer1[Side][Ply];
  TMove& k2 = Killer2[Side][Ply];
  TMove& k3 = Killer3[Side][Ply];
  std::int32_t& s1 = KillerScore1[Side][Ply];
  std::int32_t& s2 = KillerScore2[Side][Ply];
  std::int32_t& s3 = KillerScore3[Side][Ply];
  if (m == k1) {
    s1 += weight;
  } else if (m == k2) {
    s2 += weight;
    if (s2 > s1) {
      std::swap(k1, k2);
      std::swap(s1, s2);
    }
  } else if (m == k3) {
    s3 += weight;
    if (s3 > s2) {
      std::swap(k2, k3);
      std::swap(s2, s3);
    }
  } else {
    k3 = m;
    s3 = weight;
  }
}

void TSearchBoard::ClearOrderingTables() {
  for (TKiller* killers : {&Killer1, &Killer2, &Killer3})
    for (auto& row : *killers) std::fill(std::begin(row), std::end(row), TMove{});
  std::memset(KillerScore1, 0, sizeof KillerScore1);
  std::memset(KillerScore2, 0, sizeof KillerScore2);
  std::memset(KillerScore3, 0, sizeof KillerScore3);
  std::memset(History, 0, sizeof History);
}

void TSearchBoard::HalveHistory() {
  for (auto& side : History)
    for (auto& from : side)
      for (std::int32_t& score : from) score /= 2;
}

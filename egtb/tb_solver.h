// Retrograde analysis of the three-man endings.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tb_board.h"

namespace egtb {

// Scores in the search's mate convention, for the side to move.
constexpr int MateScore = 10000;
constexpr int16_t IllegalScore = INT16_MAX;  // marks table entries no legal position uses

constexpr int16_t winIn(int plies) { return int16_t(MateScore - plies); }
constexpr int16_t lossIn(int plies) { return int16_t(plies - MateScore); }

// The score a move is worth to the side that plays it, given the score of the
// position it leads to (for the opponent): one ply further from the mate.
constexpr int16_t scoreThroughMove(int16_t after) {
  if (after == 0) return 0;
  return after < 0 ? int16_t(-after - 1) : int16_t(-after + 1);
}

class Tablebase {
 public:
  // Solves all five endings; the pawn ending last, since its promotions lead
  // into the others. Returns false with a reason when an ending cannot be
  // solved (it cannot happen with these endings; the check guards the solver's
  // assumptions).
  bool build(std::string& error);

  // The score of a legal position of `kind`'s ending (White owns the piece);
  // IllegalScore for an illegal one.
  int16_t score(Piece kind, const Position& p) const { return tables_[int(kind)][indexOf(p)]; }

 private:
  bool solve(Piece kind, std::string& error);

  std::array<std::vector<int16_t>, PieceKinds> tables_;
};

}  // namespace egtb

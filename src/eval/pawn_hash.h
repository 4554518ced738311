// The pawn hash of one search thread: what the evaluation knows of a pawn
// structure (its scores, passed pawns, flags and wing counts), stored by the
// pawn key so that the next position with the same pawns skips the work.
#pragma once

#include <array>
#include <cstdint>
#include <type_traits>

#include "board/types.h"
#include "hash/hash_table.h"
#include "platform/large_memory.h"

// Pawn-structure scores per side, Light then Dark.
using TTabScore = std::array<std::int32_t, 2>;
// Squares of passed pawns (only 8..55 can hold pawns).
using TSetTablePawn = TSquareSet;

struct THashP {
  std::uint32_t ID;  // hashP xor PhaseKeys[PhaseKeySelect[phase]]
  TTabScore TabScore;
  TSetTablePawn SetTablePawn;
  std::uint32_t PionsH;  // the evaluator's Pions word
  std::uint8_t Ailes;    // wing pawn counts, see PackAiles
};
static_assert(std::is_trivially_copyable_v<THashP>);

// Game phase (opening 0, middlegame 1, endgame 2) to its PhaseKeys index:
// opening and middlegame share pawn entries, the endgame keeps its own.
constexpr int PhaseKeySelect[3] = {1, 1, 2};

// Wing pawn counts packed into one byte: (Aile_Roi + 1) + 10 x (Aile_Dame + 1)
// while both counts are at most 8. The two wings hold 16 pawns at most, so
// when one count is 9..16 the other is at most 7 and the pair goes to the
// codes 100..227 instead, where the decimal digits would no longer fit.
constexpr std::uint8_t PackAiles(int aileRoi, int aileDame) {
  if (aileRoi <= 8 && aileDame <= 8) return std::uint8_t((aileRoi + 1) + 10 * (aileDame + 1));
  if (aileRoi > 8) return std::uint8_t(100 + (aileRoi - 9) * 8 + aileDame);
  return std::uint8_t(164 + (aileDame - 9) * 8 + aileRoi);
}

constexpr void UnpackAiles(std::uint8_t ailes, int& aileRoi, int& aileDame) {
  if (ailes < 100) {
    aileRoi = ailes % 10 - 1;
    aileDame = ailes / 10 - 1;
  } else if (ailes < 164) {
    aileRoi = 9 + (ailes - 100) / 8;
    aileDame = (ailes - 100) % 8;
  } else {
    aileDame = 9 + (ailes - 164) / 8;
    aileRoi = (ailes - 164) % 8;
  }
}

class TPawnHash {
 public:
  // Sized as init_size takes it; throws std::bad_alloc when not even this
  // table can be had.
  explicit TPawnHash(std::int32_t sizeMB);

  // Reallocates the table, zero-filled, with the pawn hash's share of a
  // budget of `sizeMB` megabytes (see THashClass::init_size: out of range
  // keeps the table, or gets the default share on a new one). When memory
  // runs out the old table stays and the result is false.
  bool init_size(std::int32_t sizeMB);
  void Clear();

  THashP& Entry(std::uint32_t pawnKey) { return table_[pawnKey % size_]; }
  std::uint32_t Size() const { return size_; }

 private:
  LargeArray<THashP> table_;
  std::uint32_t size_ = 0;
};

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
using TSidePair = std::array<std::int32_t, 2>;
// Squares of passed pawns (only 8..55 can hold pawns).
using TPasserSquares = TSquareSet;

struct TPawnHashEntry {
  std::uint32_t ID;  // hashP xor PhaseKeys[PhaseKeySelect[phase]]
  TSidePair TabScore;
  TPasserSquares StoredPassers;
  std::uint32_t StoredPawnFlags;  // the evaluator's PawnFlags word
  std::uint8_t WingCounts;        // wing pawn counts, see PackWingCounts
};
static_assert(std::is_trivially_copyable_v<TPawnHashEntry>);

// Game phase (opening 0, middlegame 1, endgame 2) to its PhaseKeys index:
// opening and middlegame share pawn entries, the endgame keeps its own.
constexpr int PhaseKeySelect[3] = {1, 1, 2};

// Wing pawn counts packed into one byte: (KingWingPawns + 1) + 10 x (QueenWingPawns + 1)
// while both counts are at most 8. The two wings hold 16 pawns at most, so
// when one count is 9..16 the other is at most 7 and the pair goes to the
// codes 100..227 instead, where the decimal digits would no longer fit.
constexpr std::uint8_t PackWingCounts(int kingWingPawns, int queenWingPawns) {
  if (kingWingPawns <= 8 && queenWingPawns <= 8) return std::uint8_t((kingWingPawns + 1) + 10 * (queenWingPawns + 1));
  if (kingWingPawns > 8) return std::uint8_t(100 + (kingWingPawns - 9) * 8 + queenWingPawns);
  return std::uint8_t(164 + (queenWingPawns - 9) * 8 + kingWingPawns);
}

constexpr void UnpackWingCounts(std::uint8_t packed, int& kingWingPawns, int& queenWingPawns) {
  if (packed < 100) {
    kingWingPawns = packed % 10 - 1;
    queenWingPawns = packed / 10 - 1;
  } else if (packed < 164) {
    kingWingPawns = 9 + (packed - 100) / 8;
    queenWingPawns = (packed - 100) % 8;
  } else {
    queenWingPawns = 9 + (packed - 164) / 8;
    kingWingPawns = (packed - 164) % 8;
  }
}

class TPawnHash {
 public:
  // Sized as Resize takes it; throws std::bad_alloc when not even this
  // table can be had.
  explicit TPawnHash(std::int32_t sizeMB);
  // Sized with the pawn hash's part of a share of a budget.
  explicit TPawnHash(TTableUnits share);

  // Reallocates the table, zero-filled, with the pawn hash's share of a
  // budget of `sizeMB` megabytes (see TTranspositionTable::Resize: out of range
  // keeps the table, or gets the default share on a new one). When memory
  // runs out the old table stays and the result is false.
  bool Resize(std::int32_t sizeMB);
  bool Resize(TTableUnits share);
  void Clear();

  TPawnHashEntry& Entry(std::uint32_t pawnKey) { return table_[SlotOf(pawnKey, slotMultiplier_, size_)]; }
  std::uint32_t Size() const { return size_; }
  void Prefetch(std::uint32_t pawnKey) const { __builtin_prefetch(&table_[SlotOf(pawnKey, slotMultiplier_, size_)]); }

 private:
  LargeArray<TPawnHashEntry> table_;
  std::uint32_t size_ = 0;
  std::uint64_t slotMultiplier_ = 0;
};

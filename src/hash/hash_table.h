// The transposition table and the pawn hash table of one search thread.
// Each search thread owns its own THashClass; nothing here is shared between
// threads except the sizing globals and the search counter.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <type_traits>

#include "board/console_board.h"
#include "platform/large_memory.h"

// Bound kinds of a stored score.
enum : std::int8_t {
  hashfExact = 0,
  hashfUpper = 1,  // failed low: true score <= Valeur
  hashfLower = 2,  // failed high: true score >= Valeur
};

// The best move of an entry, reduced to what identifies it in a move list.
struct THashCoup {
  std::uint8_t src;
  std::uint8_t dst;
  std::uint8_t promote;
};

// Four entries to a cache line: the fields are ordered so that the entry
// packs into 16 bytes without padding.
struct THash {
  std::uint32_t ID;      // full position key
  std::int32_t Valeur;   // score, mates counted from this position
  std::int8_t ProfH;     // remaining depth searched; quiescence stores 0 or less
  std::int8_t Hashf;     // hashfExact, hashfUpper or hashfLower
  THashCoup BestH;
  bool IsNil;            // BestH holds no usable move
  std::uint8_t seq;      // low byte of SearchSeq when stored
};
static_assert(sizeof(THash) == 16 && 64 % sizeof(THash) == 0, "entries never straddle a cache line");
static_assert(std::is_trivially_copyable_v<THash>);

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

// Counts the searches: the main search thread adds one at the start of every
// search, or resets it to 0 when the tables are cleared first. Written only
// while no other search thread runs.
extern std::atomic<std::int32_t> SearchSeq;

// Bonus that puts the stored best move ahead of every other ordering score.
constexpr std::int32_t HashMoveBonus = 10000000;

class THashClass {
 public:
  // Sized with `sizeMB` megabytes, as init_size takes it (out of range: the
  // default); throws std::bad_alloc when not even these tables can be had.
  explicit THashClass(std::int32_t sizeMB);
  THashClass(const THashClass&) = delete;
  THashClass& operator=(const THashClass&) = delete;

  // 20-byte units of a budget of `sizeMB` megabytes; 0 when the size is not
  // one init_size takes as given (0 or more than 1024). The budget has always
  // been counted in 20-byte units, the entries' former size: the tables keep
  // the number of entries users and stored games have searched with, and
  // leave the memory the smaller entries save unused.
  static constexpr std::uint32_t UnitsForSize(std::uint32_t sizeMB) {
    return sizeMB >= 1 && sizeMB <= 1024 ? std::uint32_t(std::uint64_t(sizeMB) * 1048576 / 20) : 0;
  }
  static constexpr std::uint32_t DefaultUnits = 1677721;  // 32 MB

  // Reallocates both tables, zero-filled, for a budget of `sizeMB` megabytes.
  // A size outside 1..1024 keeps the tables there are (or gets the 32 MB
  // default on a new object). When memory runs out the old tables stay and
  // the result is false.
  bool init_size(std::int32_t sizeMB);

  // True when the entry of this position answers the window at this depth;
  // `value` then holds the stored score.
  bool ProbeHash(const TThreadConsole& source, std::int32_t alpha, std::int32_t beta, std::int32_t depth,
                 std::int32_t& value) const;
  // Stores a result; `move` may be the empty move.
  void RecordHash(const TThreadConsole& source, TMove move, std::int32_t depth, std::int32_t value,
                  std::int8_t hashf);
  // Lifts the stored best move of this position, if it is in the current
  // ply's move list, above every other move. True when it was found.
  bool BestHashEnTete(TThreadConsole& source) const;
  // Empties both tables.
  void videHash();
  // Per mille of the transposition table holding entries of the current
  // search, estimated from the first HashFullSample entries.
  std::int32_t HashFull() const;
  static constexpr std::uint32_t HashFullSample = 1000;

  THash& Entry(std::uint32_t key) { return HashTable[Slot(key)]; }
  const THash& Entry(std::uint32_t key) const { return HashTable[Slot(key)]; }
  // Starts fetching the entry of a position the search is about to visit.
  void Prefetch(std::uint32_t key) const { __builtin_prefetch(&HashTable[Slot(key)]); }
  THashP& PawnEntry(std::uint32_t pawnKey) { return PawnsTable[pawnKey % PawnHashSize]; }

  // key % HashSize, without a division: with m = floor((2^64 - 1) / n) + 1
  // the high 64 bits of (m * key mod 2^64) * n are exactly key mod n for any
  // 32-bit key and divisor.
  std::uint32_t Slot(std::uint32_t key) const {
    const std::uint64_t fraction = slotMultiplier_ * key;
    return std::uint32_t((static_cast<unsigned __int128>(fraction) * HashSize) >> 64);
  }

  // Change these only through init_size: the sizes and arrays go together.
  LargeArray<THash> HashTable;
  std::uint32_t PawnHashSize = 0;
  std::uint32_t HashSize = 0;
  LargeArray<THashP> PawnsTable;

 private:
  std::uint64_t slotMultiplier_ = 0;
};

// The empty transposition entry: its depth fails every probe.
constexpr THash EmptyHashEntry{0, 0, -60, hashfExact, {0, 0, 0}, false, 0};

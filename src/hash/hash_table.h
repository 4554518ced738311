// The transposition table, shared by every search thread without locks.
// Each slot is two 64-bit words, each loaded and stored whole (relaxed
// atomics): two threads that store into one slot at once may leave the
// words of two different entries, and a check word tells such a torn slot
// apart from a stored entry.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <type_traits>

#include "board/board_state.h"
#include "platform/large_memory.h"

// Bound kinds of a stored score.
enum : std::int8_t {
  hashfExact = 0,
  hashfUpper = 1,  // failed low: true score <= Score
  hashfLower = 2,  // failed high: true score >= Score
};

// The best move of an entry, reduced to what identifies it in a move list.
struct TStoredMove {
  std::uint8_t src;
  std::uint8_t dst;
  std::uint8_t promote;
};

// Four entries to a cache line: the fields are ordered so that the entry
// packs into 16 bytes without padding.
struct THash {
  std::uint32_t ID;    // full position key
  std::int32_t Score;  // score, mates counted from this position
  std::int8_t Depth;   // remaining depth searched; quiescence stores 0 or less
  std::int8_t Bound;   // hashfExact, hashfUpper or hashfLower
  TStoredMove StoredMove;
  bool IsNil;        // StoredMove holds no usable move
  std::uint8_t seq;  // the table's search count when stored
};
static_assert(std::is_trivially_copyable_v<THash>);

// A slot as the table holds it: the entry packed in two words. `data` holds
// the depth, the bound, the move, the nil mark and the search count;
// `keyed` the score and a check, the position key xor a mix of the score
// and `data`. A slot whose words come from two different entries decodes
// to a key no probe asks for (but by a chance of one in 2^32), so it reads
// as another position's entry. An all-zero slot decodes to THash{}.
struct TTableSlot {
  std::uint64_t keyed;
  std::uint64_t data;
};
static_assert(sizeof(TTableSlot) == 16 && 64 % sizeof(TTableSlot) == 0, "slots never straddle a cache line");
static_assert(std::is_trivially_copyable_v<TTableSlot>);
TTableSlot PackEntry(const THash& entry);
THash UnpackEntry(const TTableSlot& slot);

// key % size, without a division, for tables of any size: with the
// multiplier m = floor((2^64 - 1) / size) + 1 the high 64 bits of
// (m * key mod 2^64) * size are exactly key mod size for any 32-bit key and
// size. (A size of 1 wraps m to 0, and every key goes to slot 0 as it should.)
constexpr std::uint64_t SlotMultiplier(std::uint32_t size) { return size == 0 ? 0 : ~std::uint64_t{0} / size + 1; }
constexpr std::uint32_t SlotOf(std::uint32_t key, std::uint64_t multiplier, std::uint32_t size) {
  const std::uint64_t fraction = multiplier * key;
  return std::uint32_t((static_cast<unsigned __int128>(fraction) * size) >> 64);
}

// A Hash budget, or a thread's share of it, in 20-byte units.
struct TTableUnits {
  std::uint32_t count;
};

// Bonus that puts the stored best move ahead of every other ordering score.
constexpr std::int32_t HashMoveBonus = 10000000;

class TTranspositionTable {
 public:
  // Sized with `sizeMB` megabytes, as Resize takes it (out of range: the
  // default); throws std::bad_alloc when not even these tables can be had.
  explicit TTranspositionTable(std::int32_t sizeMB);
  // Sized with a share of a budget (see ThreadShare).
  explicit TTranspositionTable(TTableUnits share);
  TTranspositionTable(const TTranspositionTable&) = delete;
  TTranspositionTable& operator=(const TTranspositionTable&) = delete;

  // 20-byte units of a budget of `sizeMB` megabytes; 0 when the size is not
  // one Resize takes as given (0 or more than 1024). The budget has always
  // been counted in 20-byte units, the entries' former size: the tables keep
  // the number of entries users and stored games have searched with, and
  // leave the memory the smaller entries save unused.
  static constexpr std::uint32_t UnitsForSize(std::uint32_t sizeMB) {
    return sizeMB >= 1 && sizeMB <= 1024 ? std::uint32_t(std::uint64_t(sizeMB) * 1048576 / 20) : 0;
  }
  static constexpr std::uint32_t DefaultUnits = 1677721;  // 32 MB

  // Units a budget of `sizeMB` megabytes gives a table that has `current`
  // entries now: 0 (keep the table) for a size outside 1..1024 when there
  // is a table, the 32 MB default when there is none.
  static std::uint32_t BudgetUnits(std::int32_t sizeMB, std::uint32_t current) {
    const std::uint32_t units = UnitsForSize(std::uint32_t(sizeMB));
    return units != 0 || current != 0 ? units : DefaultUnits;
  }
  // A sixteenth of the budget's units goes to the pawn hashes, the rest here.
  static constexpr std::uint32_t PawnShare(std::uint32_t units) { return units / 16; }
  // The whole budget of `totalMB` megabytes, as the shared table takes it
  // (it leaves the pawn hashes their sixteenth).
  static constexpr TTableUnits WholeBudget(std::int32_t totalMB) {
    const std::uint32_t units = UnitsForSize(std::uint32_t(totalMB));
    return {units < MinShareUnits ? MinShareUnits : units};
  }
  // Each of `threads` search threads' share of a budget of `totalMB`
  // megabytes (1..1024), from which each sizes its pawn hash: the shares
  // add up to no more than the budget, and none is too small.
  static constexpr TTableUnits ThreadShare(std::int32_t totalMB, std::int32_t threads) {
    const std::uint32_t units = UnitsForSize(std::uint32_t(totalMB)) / std::uint32_t(threads < 1 ? 1 : threads);
    return {units < MinShareUnits ? MinShareUnits : units};
  }
  static constexpr std::uint32_t MinShareUnits = 16 * 64;

  // Reallocates the table, zero-filled, for a budget of `sizeMB` megabytes.
  // A size outside 1..1024 keeps the table there is (or gets the 32 MB
  // default on a new object). When memory runs out the old table stays and
  // the result is false.
  bool Resize(std::int32_t sizeMB);
  // The same for a share of a budget.
  bool Resize(TTableUnits share);

  // True when the entry of this position answers the window at this depth;
  // `value` then holds the stored score.
  bool ProbeHash(const TBoardState& source, std::int32_t alpha, std::int32_t beta, std::int32_t depth,
                 std::int32_t& value) const;
  // Stores a result; `move` may be the empty move.
  void RecordHash(const TBoardState& source, TMove move, std::int32_t depth, std::int32_t value, std::int8_t hashf);
  // Lifts the stored best move of this position, if it is in the current
  // ply's move list, above every other move. True when it was found.
  bool HashMoveToFront(TBoardState& source) const;
  // Empties the table.
  void Clear();
  // Counts the searches (modulo 256): the main search thread adds one at
  // the start of every search, or starts again at 0 when the tables are
  // cleared first. Entries of the last two searches keep their depth.
  void NewSearch() { ++searchCount_; }
  void RestartSearchCount() { searchCount_ = 0; }
  std::uint8_t SearchCount() const { return searchCount_; }
  // Per mille of the transposition table holding entries of the current
  // search, estimated from the first HashFullSample entries.
  std::int32_t HashFull() const;
  static constexpr std::uint32_t HashFullSample = 1000;

  // The entry in the slot of `key`, which may hold another position's (its
  // ID says whose), and storing one there. Any thread may call them.
  THash Entry(std::uint32_t key) const { return Load(Slot(key)); }
  void Store(std::uint32_t key, const THash& entry) { StoreAt(Slot(key), entry); }
  // The entry of slot `slot` (0..HashSize - 1).
  THash Load(std::uint32_t slot) const;
  // The root's slot keeps a move for the ponder line and the next search:
  // `move` goes in when the slot has none, whosever entry it holds.
  void KeepRootMove(std::uint32_t key, TMove move);
  // Starts fetching the entry of a position the search is about to visit.
  void Prefetch(std::uint32_t key) const { __builtin_prefetch(&HashTable[Slot(key)]); }

  std::uint32_t Slot(std::uint32_t key) const { return SlotOf(key, slotMultiplier_, HashSize); }

  // Change these only through Resize: the size and array go together.
  LargeArray<TTableSlot> HashTable;
  std::uint32_t HashSize = 0;

 private:
  void StoreAt(std::uint32_t slot, const THash& entry);

  std::uint64_t slotMultiplier_ = 0;
  std::uint8_t searchCount_ = 0;
};

// The empty transposition entry: its depth fails every probe.
constexpr THash EmptyHashEntry{0, 0, -60, hashfExact, {0, 0, 0}, false, 0};

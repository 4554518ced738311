#include "hash/hash_table.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <new>

namespace {

// Stored during this search or the previous one. Ages are counted modulo
// 256: the table keeps working however many searches a game has.
bool Fresh(std::uint8_t seq, std::uint8_t current) { return std::uint8_t(current - seq) <= 1; }

// Stored depths from here on are search artefacts and never protect an entry.
constexpr std::int32_t UnprotectedDepth = 39;

// Mate scores count plies from the root, but an entry is read back at
// whatever distance from the root its position recurs. The table keeps them
// counted from the entry's own position instead.
std::int32_t ToTable(std::int32_t score, std::int32_t ply) {
  if (score > MateBound) return score + ply;
  if (score < -MateBound) return score - ply;
  return score;
}

std::int32_t FromTable(std::int32_t score, std::int32_t ply) {
  if (score > MateBound) return score - ply;
  if (score < -MateBound) return score + ply;
  return score;
}

bool SameMove(TMove move, TStoredMove stored) {
  return move.from == stored.src && move.to == stored.dst && move.promote == stored.promote;
}

// The check's mix: every bit of the score and of the data word moves the
// check, and an all-zero slot mixes to zero.
std::uint32_t Mix(std::uint32_t score, std::uint64_t data) {
  return std::uint32_t(((data ^ (std::uint64_t(score) << 21)) * 0x9E3779B97F4A7C15ull) >> 32);
}

std::uint64_t LoadWord(const std::uint64_t& word) {
  // atomic_ref takes no const object; the load writes nothing.
  return std::atomic_ref<std::uint64_t>(const_cast<std::uint64_t&>(word)).load(std::memory_order_relaxed);
}

void StoreWord(std::uint64_t& word, std::uint64_t value) {
  std::atomic_ref<std::uint64_t>(word).store(value, std::memory_order_relaxed);
}

}  // namespace

TTableSlot PackEntry(const THash& e) {
  const std::uint64_t data = std::uint64_t(std::uint8_t(e.Depth)) | std::uint64_t(std::uint8_t(e.Bound)) << 8 |
                             std::uint64_t(e.StoredMove.src) << 16 | std::uint64_t(e.StoredMove.dst) << 24 |
                             std::uint64_t(e.StoredMove.promote) << 32 | std::uint64_t(e.IsNil) << 40 |
                             std::uint64_t(e.seq) << 48;
  const std::uint32_t score = std::uint32_t(e.Score);
  return {std::uint64_t(e.ID ^ Mix(score, data)) << 32 | score, data};
}

THash UnpackEntry(const TTableSlot& slot) {
  const std::uint64_t data = slot.data;
  const std::uint32_t score = std::uint32_t(slot.keyed);
  const auto byte = [data](int at) { return std::uint8_t(data >> at); };
  return {std::uint32_t(slot.keyed >> 32) ^ Mix(score, data),
          std::int32_t(score),
          std::int8_t(byte(0)),
          std::int8_t(byte(8)),
          {byte(16), byte(24), byte(32)},
          byte(40) != 0,
          byte(48)};
}

THash TTranspositionTable::Load(std::uint32_t slot) const {
  const TTableSlot& stored = HashTable[slot];
  return UnpackEntry({LoadWord(stored.keyed), LoadWord(stored.data)});
}

void TTranspositionTable::StoreAt(std::uint32_t slot, const THash& entry) {
  const TTableSlot packed = PackEntry(entry);
  TTableSlot& stored = HashTable[slot];
  StoreWord(stored.data, packed.data);
  StoreWord(stored.keyed, packed.keyed);
}

void TTranspositionTable::KeepRootMove(std::uint32_t key, TMove move) {
  THash entry = Entry(key);
  if (entry.StoredMove.src != 0 || entry.StoredMove.dst != 0) return;
  entry.StoredMove = TStoredMove{move.from, move.to, move.promote};
  Store(key, entry);
}

TTranspositionTable::TTranspositionTable(std::int32_t sizeMB) {
  if (!Resize(sizeMB)) throw std::bad_alloc();
}

TTranspositionTable::TTranspositionTable(TTableUnits share) {
  if (!Resize(share)) throw std::bad_alloc();
}

bool TTranspositionTable::Resize(std::int32_t sizeMB) {
  const std::uint32_t units = BudgetUnits(sizeMB, HashSize);
  return units == 0 || Resize(TTableUnits{units});
}

bool TTranspositionTable::Resize(TTableUnits share) {
  const std::uint32_t size = share.count - PawnShare(share.count);
  if (size == HashSize) {
    // Same shape: refilling with zeros is what a fresh allocation would give.
    std::fill_n(HashTable.get(), HashSize, TTableSlot{});
    return true;
  }
  // The new table is built before the old one goes, so that running out of
  // memory leaves the thread with the table it had.
  LargeArray<TTableSlot> table = MakeLargeArray<TTableSlot>(size);
  if (!table) return false;
  HashTable = std::move(table);
  HashSize = size;
  slotMultiplier_ = SlotMultiplier(size);
  return true;
}

bool TTranspositionTable::ProbeHash(const TBoardState& source, std::int32_t alpha, std::int32_t beta,
                                    std::int32_t depth, std::int32_t& value) const {
  const THash entry = Entry(source.hash);
  if (entry.ID != source.hash || entry.Depth < depth || !Fresh(entry.seq, searchCount_)) return false;
  const std::int32_t stored = FromTable(entry.Score, std::int32_t(source.Ply));
  switch (entry.Bound) {
    case hashfExact: break;
    case hashfUpper:
      if (stored > alpha) return false;
      break;
    case hashfLower:
      if (stored < beta) return false;
      break;
    default: return false;
  }
  value = stored;
  return true;
}

void TTranspositionTable::RecordHash(const TBoardState& source, TMove move, std::int32_t depth, std::int32_t value,
                                     std::int8_t hashf) {
  assert(hashf == hashfExact || hashf == hashfUpper || hashf == hashfLower);
  assert(value >= -40000 && value <= 40000 && depth > -128 && depth < 128);
  const std::uint32_t slot = Slot(source.hash);
  THash entry = Load(slot);
  const std::uint8_t seq = searchCount_;
  // A deeper result of this same search is worth more than this one.
  if (entry.Depth > depth && entry.Depth < UnprotectedDepth && entry.seq == seq) return;
  if (!move.IsNone()) {
    entry.StoredMove = {move.from, move.to, move.promote};
    entry.IsNil = false;
  } else if (entry.ID != source.hash) {
    entry.IsNil = true;
  }
  // Without a move, an entry of the same position keeps its best move and
  // whether it had one: an entry without a move may still carry the move of
  // the position stored before it, which means nothing here.
  entry.seq = seq;
  entry.Bound = hashf;
  entry.ID = source.hash;
  entry.Score = ToTable(value, std::int32_t(source.Ply));
  entry.Depth = std::int8_t(depth);
  StoreAt(slot, entry);
}

bool TTranspositionTable::HashMoveToFront(TBoardState& source) const {
  const THash entry = Entry(source.hash);
  if (entry.ID != source.hash || entry.IsNil) return false;
  const std::int32_t first = source.FirstMove[source.Ply];
  const std::int32_t end = source.FirstMove[source.Ply + 1];
  for (std::int32_t i = first; i < end; ++i) {
    if (SameMove(source.MoveStack[i].m, entry.StoredMove)) {
      source.MoveStack[i].score += HashMoveBonus;
      return true;
    }
  }
  return false;
}

void TTranspositionTable::Clear() { std::fill_n(HashTable.get(), HashSize, PackEntry(EmptyHashEntry)); }

std::int32_t TTranspositionTable::HashFull() const {
  const std::uint32_t sample = std::min(HashSize, HashFullSample);
  if (sample == 0) return 0;
  // An empty entry has key 0; a stored position with key 0 is rare enough
  // not to matter to an estimate.
  const std::uint8_t seq = searchCount_;
  std::uint32_t used = 0;
  for (std::uint32_t i = 0; i < sample; ++i) {
    const THash entry = Load(i);
    if (entry.ID != 0 && entry.seq == seq) ++used;
  }
  return std::int32_t(used * 1000 / sample);
}

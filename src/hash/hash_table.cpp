#include "hash/hash_table.h"

#include <algorithm>
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

}  // namespace

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
    std::fill_n(HashTable.get(), HashSize, THash{});
    return true;
  }
  // The new table is built before the old one goes, so that running out of
  // memory leaves the thread with the table it had.
  LargeArray<THash> table = MakeLargeArray<THash>(size);
  if (!table) return false;
  HashTable = std::move(table);
  HashSize = size;
  slotMultiplier_ = SlotMultiplier(size);
  return true;
}

bool TTranspositionTable::ProbeHash(const TBoardState& source, std::int32_t alpha, std::int32_t beta, std::int32_t depth,
                           std::int32_t& value) const {
  const THash& entry = Entry(source.hash);
  if (entry.ID != source.hash || entry.Depth < depth || !Fresh(entry.seq, searchCount_)) return false;
  const std::int32_t stored = FromTable(entry.Score, std::int32_t(source.Ply));
  switch (entry.Bound) {
    case hashfExact:
      break;
    case hashfUpper:
      if (stored > alpha) return false;
      break;
    case hashfLower:
      if (stored < beta) return false;
      break;
    default:
      return false;
  }
  value = stored;
  return true;
}

void TTranspositionTable::RecordHash(const TBoardState& source, TMove move, std::int32_t depth, std::int32_t value,
                            std::int8_t hashf) {
  assert(hashf == hashfExact || hashf == hashfUpper || hashf == hashfLower);
  assert(value >= -40000 && value <= 40000 && depth > -128 && depth < 128);
  THash& entry = Entry(source.hash);
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
}

bool TTranspositionTable::HashMoveToFront(TBoardState& source) const {
  const THash& entry = Entry(source.hash);
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

void TTranspositionTable::Clear() { std::fill_n(HashTable.get(), HashSize, EmptyHashEntry); }

std::int32_t TTranspositionTable::HashFull() const {
  const std::uint32_t sample = std::min(HashSize, HashFullSample);
  if (sample == 0) return 0;
  // An empty entry has key 0; a stored position with key 0 is rare enough
  // not to matter to an estimate.
  const std::uint8_t seq = searchCount_;
  std::uint32_t used = 0;
  for (std::uint32_t i = 0; i < sample; ++i)
    if (HashTable[i].ID != 0 && HashTable[i].seq == seq) ++used;
  return std::int32_t(used * 1000 / sample);
}

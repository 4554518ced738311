#include "eval/pawn_hash.h"

#include <algorithm>
#include <new>

TPawnHash::TPawnHash(std::int32_t sizeMB) {
  if (!Resize(sizeMB)) throw std::bad_alloc();
}

TPawnHash::TPawnHash(TTableUnits share) {
  if (!Resize(share)) throw std::bad_alloc();
}

bool TPawnHash::Resize(std::int32_t sizeMB) {
  const std::uint32_t units = TTranspositionTable::BudgetUnits(sizeMB, size_);
  return units == 0 || Resize(TTableUnits{units});
}

bool TPawnHash::Resize(TTableUnits share) {
  const std::uint32_t size = TTranspositionTable::PawnShare(share.count);
  if (size == size_) {
    Clear();
    return true;
  }
  LargeArray<TPawnHashEntry> table = MakeLargeArray<TPawnHashEntry>(size);
  if (!table) return false;
  table_ = std::move(table);
  size_ = size;
  slotMultiplier_ = SlotMultiplier(size);
  return true;
}

void TPawnHash::Clear() { std::fill_n(table_.get(), size_, TPawnHashEntry{}); }

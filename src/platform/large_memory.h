// Large zero-filled blocks for the hash tables, backed by huge pages where
// the system allows: a table probed at random addresses otherwise spends much
// of its time on page-table walks.
#pragma once

#include <cstddef>
#include <memory>

void* AllocateLarge(std::size_t bytes);  // zero-filled; nullptr when memory runs out
void FreeLarge(void* block);

struct LargeBlockDeleter {
  void operator()(void* block) const { FreeLarge(block); }
};

// An array of trivially copyable records in one large block.
template <class T>
using LargeArray = std::unique_ptr<T[], LargeBlockDeleter>;

template <class T>
LargeArray<T> MakeLargeArray(std::size_t count) {
  return LargeArray<T>(static_cast<T*>(AllocateLarge(count * sizeof(T))));
}

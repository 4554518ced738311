#include "platform/large_memory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>

namespace {
constexpr std::size_t HugePage = std::size_t(2) << 20;
}

void* AllocateLarge(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
  const std::size_t alignment = bytes >= HugePage ? HugePage : alignof(std::max_align_t);
  const std::size_t rounded = (bytes + alignment - 1) / alignment * alignment;
  void* block = std::aligned_alloc(alignment, rounded);
  if (!block) return nullptr;
#ifdef MADV_HUGEPAGE
  if (alignment == HugePage) madvise(block, rounded, MADV_HUGEPAGE);
#endif
  std::memset(block, 0, rounded);
  return block;
}

void FreeLarge(void* block) { std::free(block); }

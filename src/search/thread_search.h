// A search thread: a search board plus everything one thread needs to search
// on its own. Fields other threads read while it searches are atomics.
#pragma once

#include <atomic>
#include <cstdint>

#include "board/search_board.h"

// The thread's root result.
struct TBest {
  TMove m;
  std::int32_t score = -40000;
};

// Thrown by CheckStop to unwind a search at once; caught only by the
// iterative-deepening loops. Nothing of the search's state is used after it.
struct SearchAborted {};

constexpr std::uint32_t DefaultCheckupMask = 16383;
constexpr std::uint32_t IdleDepth = 99;  // PROF of a thread that is not searching

class TThreadSearch : public TSearchBoard {
 public:
  explicit TThreadSearch(std::int32_t id) : ThreadID(id) {}
  virtual ~TThreadSearch() = default;

  std::int32_t ThreadID;
  std::atomic<bool> stop{true};
  std::atomic<std::uint32_t> Checkup_mask{DefaultCheckupMask};
  std::atomic<std::uint32_t> PROF{IdleDepth};
  std::uint32_t Nodes = 0;
  TBest Best;
  TMove CoupAttendu;
};

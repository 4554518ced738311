// The search threads as a team: every helper searches the whole root with
// the main thread, each on its own board and at its own depths, and all
// share one transposition table, so that what one thread proves the others
// read. Only the main thread speaks and keeps the clock; at the end it
// picks the answer among all threads' results. A team lives for one search,
// made by the main search thread.
#pragma once

#include <cstdint>
#include <vector>

class TMainThreadSearch;
#include "search/thread_search.h"

class TSearchTeam {
 public:
  explicit TSearchTeam(TMainThreadSearch& main);

  // Copies the position and the root list to the helpers and starts them,
  // each from the depth StartDepth gives it.
  void StartHelpers();
  // The answer among every thread's result (SWITCHBEST): the main thread's,
  // unless a helper's result overrides it.
  void ChooseFinalMove();
  // Does result `other` override result `held`? When it completed a deeper
  // iteration; at the same completed depth, when it scored better and
  // `held` did not see deeper within 20.
  static bool Overrides(const TBest& other, const TBest& held);
  // Does thread `threadId` pass over iteration `depth`? The main thread
  // searches every depth; each helper skips runs of depths in a pattern of
  // its own, so that at any time some threads search a depth ahead of the
  // main thread and fill the table for it.
  static bool SkipsDepth(std::int32_t threadId, std::uint32_t depth);
  // The first depth from `depth` on that thread `threadId` searches.
  static std::uint32_t NextDepth(std::int32_t threadId, std::uint32_t depth);

 private:
  TMainThreadSearch& main_;
  std::vector<TThreadSearch*> helpers_;
};

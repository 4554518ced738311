// The parallel search's root split: the root moves are dealt round-robin
// among the search threads, each runs its own iterative deepening over its
// share, and at the end the main thread picks the move among all threads'
// results. A split lives for one search, made by the main search thread.
#pragma once

#include <vector>

class TMainThreadSearch;
class TThreadSearch;

class TRootSplit {
 public:
  explicit TRootSplit(TMainThreadSearch& main);

  // Copies the position to the helpers, deals them their shares (none
  // with several lines asked for: the main thread then searches the whole
  // root), hands a stored root move found in another share to the thread
  // that searches first (SWITCH) and starts the helpers.
  void StartHelpers();
  // The answer among every thread's result (SWITCHBEST): the thread with
  // the voice, unless another scored better and it did not see deeper
  // within 20.
  void ChooseFinalMove();

 private:
  void Deal();
  void SwitchStoredMove();

  TMainThreadSearch& main_;
  std::vector<TThreadSearch*> helpers_;
};

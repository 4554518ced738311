#include "protocol/thread_coup.h"

#include "platform/console.h"

TThreadCoup::TThreadCoup(Worker& searchThread) : searchThread_(searchThread) {}

void TThreadCoup::Hand(const std::string& line) {
  worker_.waitIdle();  // an earlier line is printed first
  {
    std::lock_guard guard(lock_);
    coup = line;
    searchRun_ = searchThread_.runsStarted();
  }
  worker_.resume();
}

void TThreadCoup::Execute() {
  std::string line;
  std::uint64_t run;
  {
    std::lock_guard guard(lock_);
    line.swap(coup);
    run = searchRun_;
  }
  if (line.empty()) return;
  // Printed once the run that produced it has ended: a "go" sent on reading
  // the line then finds the search thread free. Waiting for that run rather
  // than for an idle thread cannot miss the moment if a new search starts.
  searchThread_.waitRunsFinished(run);
  writeString(line);
}

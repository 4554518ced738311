#include "protocol/bestmove_printer.h"

#include "platform/console.h"

TBestMovePrinter::TBestMovePrinter(TWorker& searchThread) : searchThread_(searchThread) {}

void TBestMovePrinter::Hand(const std::string& line) {
  worker_.WaitIdle();  // an earlier line is printed first
  {
    std::lock_guard guard(lock_);
    pending_ = line;
    searchRun_ = searchThread_.RunsStarted();
  }
  worker_.Resume();
}

void TBestMovePrinter::Execute() {
  std::string line;
  std::uint64_t run;
  {
    std::lock_guard guard(lock_);
    line.swap(pending_);
    run = searchRun_;
  }
  if (line.empty()) return;
  // Printed once the run that produced it has ended: a "go" sent on reading
  // the line then finds the search thread free. Waiting for that run rather
  // than for an idle thread cannot miss the moment if a new search starts.
  searchThread_.WaitRunsFinished(run);
  WriteString(line);
}

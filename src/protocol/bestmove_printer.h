// The output thread: prints the "bestmove" line once the search thread that
// produced it has parked, so that a "go" sent on reading the line always
// finds the search thread ready for it.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "platform/worker.h"

class TBestMovePrinter {
 public:
  // `searchThread` is the worker whose idle state gates the printing.
  explicit TBestMovePrinter(TWorker& searchThread);
  // Hands a line over to be printed; called by the search thread at the end of its search.
  void Hand(const std::string& line);
  // Waits until a handed line has been printed.
  void WaitPrinted() { worker_.WaitIdle(); }

 private:
  void Execute();

  TWorker& searchThread_;
  std::mutex lock_;
  std::string pending_;          // the line waiting to be printed
  std::uint64_t searchRun_ = 0;  // the search run that produced it
  TWorker worker_{[this] { Execute(); }};
};

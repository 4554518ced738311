#include "protocol/thread_coup.h"

#include "platform/console.h"

TThreadCoup::TThreadCoup(Worker& searchThread) : searchThread_(searchThread) {}

void TThreadCoup::Hand(const std::string& line) {
  worker_.waitIdle();  // an earlier line is printed first
  {
    std::lock_guard guard(lock_);
    coup = line;
  }
  worker_.resume();
}

void TThreadCoup::Execute() {
  std::string line;
  {
    std::lock_guard guard(lock_);
    line.swap(coup);
  }
  if (line.empty()) return;
  searchThread_.waitIdle();
  writeString(line);
}

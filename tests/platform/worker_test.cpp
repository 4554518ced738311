#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/worker.h"

// The job runs once per Resume(), which returns only once it runs; a Resume
// during a run is ignored; WaitIdle() blocks until the job ends, and so does
// destruction.
TEST(Worker, RunsTheJobOncePerResumeAndParksBetween) {
  std::atomic<int> runs{0};
  TWorker counter([&] { ++runs; });
  EXPECT_TRUE(counter.IsIdle());
  for (int i = 1; i <= 20; ++i) {
    counter.Resume();
    counter.WaitIdle();
    EXPECT_EQ(runs, i);
  }
  std::atomic<bool> release{false}, finished{false};
  {
    TWorker worker([&] {
      while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      finished = true;
    });
    worker.Resume();
    EXPECT_FALSE(worker.IsIdle());  // taken up at once, not merely queued
    EXPECT_FALSE(worker.WaitIdleFor(20));
    worker.Resume();
    release = true;
  }
  EXPECT_TRUE(finished);
}

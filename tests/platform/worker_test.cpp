#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/worker.h"

// The job runs once per resume(), which returns only once it runs; a resume
// during a run is ignored; waitIdle() blocks until the job ends, and so does
// destruction.
TEST(Worker, RunsTheJobOncePerResumeAndParksBetween) {
  std::atomic<int> runs{0};
  Worker counter([&] { ++runs; });
  EXPECT_TRUE(counter.isIdle());
  for (int i = 1; i <= 20; ++i) {
    counter.resume();
    counter.waitIdle();
    EXPECT_EQ(runs, i);
  }
  std::atomic<bool> release{false}, finished{false};
  {
    Worker worker([&] {
      while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      finished = true;
    });
    worker.resume();
    EXPECT_FALSE(worker.isIdle());  // taken up at once, not merely queued
    EXPECT_FALSE(worker.waitIdleFor(20));
    worker.resume();
    release = true;
  }
  EXPECT_TRUE(finished);
}

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/worker.h"

TEST(Worker, RunsTheJobOncePerResumeAndParksBetween) {
  std::atomic<int> runs{0};
  Worker counter([&] { ++runs; });
  EXPECT_TRUE(counter.isIdle());
  for (int i = 1; i <= 20; ++i) {
    counter.resume();
    counter.waitIdle();
    EXPECT_EQ(runs, i);
  }
  // resume() returns only once the job runs; waitIdle() blocks until it ends.
  std::atomic<bool> release{false};
  Worker worker([&] {
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  worker.resume();
  EXPECT_FALSE(worker.isIdle());  // taken up at once, not merely queued
  EXPECT_FALSE(worker.waitIdleFor(20));
  worker.resume();  // already running: ignored
  release = true;
  worker.waitIdle();
  EXPECT_TRUE(worker.isIdle());
}

TEST(Worker, DestructionLetsARunningJobFinish) {
  std::atomic<bool> finished{false};
  {
    Worker worker([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      finished = true;
    });
    worker.resume();
  }
  EXPECT_TRUE(finished);
}

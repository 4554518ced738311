// A thread that sleeps between jobs. Each resume() runs the job once; the
// thread then parks itself until the next resume(). Others can block until it
// has parked, so nobody spins a core waiting for it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class Worker {
 public:
  explicit Worker(std::function<void()> job);
  ~Worker();  // terminates: lets a running job finish, then joins
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // Starts one run of the job and returns once it is really running.
  // Ignored when the job is already running.
  void resume();
  // Blocks until the job has finished and the thread has parked.
  void waitIdle();
  // As waitIdle, but gives up after `milliseconds`; true when idle.
  bool waitIdleFor(int milliseconds);
  bool isIdle() const;
  // Runs begun so far; a job asking from inside its run gets its own number.
  std::uint64_t runsStarted() const;
  // Blocks until `runs` runs have finished.
  void waitRunsFinished(std::uint64_t runs);

 private:
  void Loop();

  std::function<void()> job_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t requested_ = 0;  // runs asked for
  std::uint64_t started_ = 0;    // runs begun
  std::uint64_t finished_ = 0;   // runs ended
  bool running_ = false;
  bool terminating_ = false;
  std::thread thread_;
};

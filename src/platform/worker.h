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

 private:
  void Loop();

  std::function<void()> job_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t requested_ = 0;  // runs asked for
  std::uint64_t started_ = 0;    // runs begun
  bool running_ = false;
  bool terminating_ = false;
  std::thread thread_;
};

// A thread that sleeps between jobs. Each Resume() runs the job once; the
// thread then parks itself until the next Resume(). Others can block until it
// has parked, so nobody spins a core waiting for it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class TWorker {
 public:
  explicit TWorker(std::function<void()> job);
  ~TWorker();  // terminates: lets a running job finish, then joins
  TWorker(const TWorker&) = delete;
  TWorker& operator=(const TWorker&) = delete;

  // Starts one run of the job and returns once it is really running.
  // Ignored when the job is already running.
  void Resume();
  // Blocks until the job has finished and the thread has parked.
  void WaitIdle();
  // As WaitIdle, but gives up after `milliseconds`; true when idle.
  bool WaitIdleFor(int milliseconds);
  bool IsIdle() const;
  // Runs begun so far; a job asking from inside its run gets its own number.
  std::uint64_t RunsStarted() const;
  // Blocks until `runs` runs have finished.
  void WaitRunsFinished(std::uint64_t runs);

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

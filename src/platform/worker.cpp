#include "platform/worker.h"

TWorker::TWorker(std::function<void()> job) : job_(std::move(job)), thread_([this] { Loop(); }) {}

TWorker::~TWorker() {
  {
    std::lock_guard lock(mutex_);
    terminating_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void TWorker::Resume() {
  std::unique_lock lock(mutex_);
  if (running_ || requested_ != started_) return;
  ++requested_;
  changed_.notify_all();
  changed_.wait(lock, [this] { return started_ == requested_; });
}

void TWorker::WaitIdle() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !running_ && started_ == requested_; });
}

bool TWorker::WaitIdleFor(int milliseconds) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                           [this] { return !running_ && started_ == requested_; });
}

std::uint64_t TWorker::RunsStarted() const {
  std::lock_guard lock(mutex_);
  return started_;
}

void TWorker::WaitRunsFinished(std::uint64_t runs) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return finished_ >= runs; });
}

bool TWorker::IsIdle() const {
  std::lock_guard lock(mutex_);
  return !running_ && started_ == requested_;
}

void TWorker::Loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return terminating_ || requested_ != started_; });
    if (requested_ == started_) return;  // terminating with nothing pending
    ++started_;
    running_ = true;
    changed_.notify_all();
    lock.unlock();
    job_();
    lock.lock();
    running_ = false;
    ++finished_;
    changed_.notify_all();
  }
}

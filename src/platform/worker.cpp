#include "platform/worker.h"

Worker::Worker(std::function<void()> job) : job_(std::move(job)), thread_([this] { Loop(); }) {}

Worker::~Worker() {
  {
    std::lock_guard lock(mutex_);
    terminating_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void Worker::resume() {
  std::unique_lock lock(mutex_);
  if (running_ || requested_ != started_) return;
  ++requested_;
  changed_.notify_all();
  changed_.wait(lock, [this] { return started_ == requested_; });
}

void Worker::waitIdle() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !running_ && started_ == requested_; });
}

bool Worker::waitIdleFor(int milliseconds) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                           [this] { return !running_ && started_ == requested_; });
}

std::uint64_t Worker::runsStarted() const {
  std::lock_guard lock(mutex_);
  return started_;
}

void Worker::waitRunsFinished(std::uint64_t runs) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return finished_ >= runs; });
}

bool Worker::isIdle() const {
  std::lock_guard lock(mutex_);
  return !running_ && started_ == requested_;
}

void Worker::Loop() {
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

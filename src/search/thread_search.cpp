#include "search/thread_search.h"

TThreadSearch::TThreadSearch(std::int32_t id) : ThreadID(id) {
  if (id > 1) worker_ = std::make_unique<TWorker>([this] { Execute(); });
}

TThreadSearch::~TThreadSearch() {
  if (worker_) {
    RequestStop();
    worker_.reset();
  }
}

void TThreadSearch::CheckStop() {
  if (stop.load(std::memory_order_relaxed)) throw SearchAborted{};
}

void TThreadSearch::ResumeHelper() {
  if (worker_) worker_->Resume();
}

void TThreadSearch::RequestStop() {
  StopPollMask = 1;
  stop = true;
}

void TThreadSearch::WaitIdle() {
  if (worker_) worker_->WaitIdle();
}

bool TThreadSearch::Idle() const { return !worker_ || worker_->IsIdle(); }

// The main search thread: wakes up for each "go", copies the protocol board,
// searches, hands its "bestmove" line to the output thread and parks again.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "protocol/protocol_board.h"
#include "platform/worker.h"
#include "search/thread_search.h"

class TThreadCoup;

class TMainThreadSearch : public TThreadSearch {
 public:
  explicit TMainThreadSearch(TProtocolBoard& source);
  ~TMainThreadSearch() override;

  // Starts one search; returns once the thread is running it.
  void Resume() { worker_->resume(); }
  bool Suspended() const { return worker_->isIdle(); }
  void WaitSuspended() { worker_->waitIdle(); }
  Worker& Thread() { return *worker_; }
  void SetOutput(TThreadCoup* output) { output_ = output; }

  // Copies the protocol board into this thread's board.
  void CopyMain();
  void Think();

  TProtocolBoard& Source;  // the protocol board, not owned
  std::atomic<bool> computer_think{false};

 private:
  void Execute();
  std::string BestMoveLine() const;

  TThreadCoup* output_ = nullptr;
  std::unique_ptr<Worker> worker_;  // last, so that it stops before the fields go
};

// The main search thread: wakes up for each "go", copies the protocol board,
// searches with its helpers, hands its "bestmove" line to the output thread
// and parks again. It owns the helpers, the book and its own tables.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/worker.h"
#include "search/book.h"
#include "search/control.h"
#include "search/thread_search.h"

class TMainThreadSearch : public TThreadSearch {
 public:
  explicit TMainThreadSearch(const TBoardState& source);
  ~TMainThreadSearch() override;

  // --- Run loop ---------------------------------------------------------
  // Starts one search of `order`, its clock running from `orderTick` (when
  // the order arrived); returns once the thread is running it.
  void Start(const TSearchOrder& order, std::int64_t orderTick);
  // "ponderhit": a running ponder search plays on, on the clock its order
  // parked. Nothing happens when no ponder search runs.
  void PonderHit();
  // Stops a running search and waits until this thread has parked.
  void Stop();
  // Makes `order` the order of the next search. Call it only while no
  // search runs.
  void TakeOrder(const TSearchOrder& order);
  // Starts one search of the order already in place; returns once the
  // thread is running it.
  void Resume() { worker_->Resume(); }
  bool Suspended() const { return worker_->IsIdle(); }
  TWorker& Thread() { return *worker_; }
  // Where the outcome of each search goes (its move, or none, and the
  // expected reply, or none): the protocol's printer.
  using TBestMoveOutput = std::function<void(TMove best, TMove ponder)>;
  void SetOutput(TBestMoveOutput output) { output_ = std::move(output); }

  // --- Threads and tables -------------------------------------------------
  // New tables for this thread and ThreadsCount - 1 new helpers.
  void CreateThreads();
  // Ends and frees every helper.
  void DestroyHelpers();
  // Every thread's tables sized from a total of `newsize` megabytes.
  void ResizeTables(std::int32_t newsize);
  // Every thread's tables emptied. The protocol calls it as soon as a new
  // game or position asks for empty tables, so that the search does not
  // spend its clock on it.
  void ClearAllTables();
  // Hands the tablebase probe of this thread's bridge to every helper.
  void ShareTablebases();
  std::size_t HelperCount() const { return SearchThreads.size(); }
  TThreadSearch& Helper(std::size_t i) { return *SearchThreads[i]; }

  // --- One search -----------------------------------------------------------
  // Copies the protocol board into this thread's board.
  void CopyMain();
  // Copies this thread's position into a helper and prepares its board.
  void CopyToHelper(TThreadSearch& helper);
  // Asks every searching helper to stop and waits until all have parked.
  void StopHelpers();
  void CheckStop() override;
  void Think();
  const TThreadSearch& Helper(std::size_t i) const { return *SearchThreads[i]; }
  // Steps of Think that split the root among the threads and pick the
  // answer among their results (parallel.cpp).
  void StartHelpers();
  void ChooseFinalMove();

  const TBoardState& Source;  // the position to search, not owned
  TBook OpeningBook;
  std::atomic<bool> Thinking{false};

 private:
  void Execute() override;

  // Parts of Think (think.cpp, parallel.cpp).
  void GenerateRootList();
  // Drops the root moves the interface's "searchmoves" leaves out.
  void KeepAllowedRootMoves();
  // One legal move in timed play: it is taken at once, after a short
  // search that gives its line a score.
  bool ForcedReply();
  // With several lines asked for: the first shown line becomes the answer.
  void AnswerWithShownLines();
  bool TablebaseRootMove();
  void DealRootMoves();
  void SwitchStoredMove();
  void EnsureLegalBest();

  std::vector<std::unique_ptr<TThreadSearch>> SearchThreads;  // helpers, ThreadID 2..
  std::int32_t clockAtPonderHit_ = 0;  // written and read by the thread that orders searches
  std::int32_t linesWanted_ = 1;       // MultiPV of the order, set before the search starts
  TBestMoveOutput output_;
  bool tablesEmpty_ = false;  // emptied, and no search has written since
  std::unique_ptr<TWorker> worker_;  // last, so that it stops before the fields go
};

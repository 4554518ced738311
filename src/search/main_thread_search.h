// The main search thread: wakes up for each "go", copies the protocol board,
// searches with its helpers, hands its "bestmove" line to the output thread
// and parks again. It owns the helpers, the book, its own tables, the
// running search's order, clock and output, and the tablebase bridge.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/worker.h"
#include "search/book.h"
#include "search/egtb_bridge.h"
#include "search/engine_settings.h"
#include "search/infos.h"
#include "search/search_order.h"
#include "search/thread_search.h"
#include "search/time_manager.h"

class TMainThreadSearch : public TThreadSearch {
 public:
  // `source` and `settings` belong to the owner and outlive this object.
  TMainThreadSearch(const TBoardState& source, const TEngineSettings& settings);
  ~TMainThreadSearch() override;

  // --- Run loop ---------------------------------------------------------
  // Starts one search of `order`, its clock running from `orderTick` (when
  // the order arrived); returns once the thread is running it. Call it only
  // while no search runs.
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
  // New tables for this thread and Settings.Threads - 1 new helpers.
  void CreateThreads();
  // Ends and frees every helper.
  void DestroyHelpers();
  // Every thread's tables sized from a total of Settings.HashMB megabytes.
  void ResizeTables();
  // Every thread's tables emptied. The protocol calls it as soon as a new
  // game or position asks for empty tables, so that the search does not
  // spend its clock on it.
  void ClearAllTables();
  // The next search starts with empty tables (a new game or position).
  void ClearTablesBeforeNextSearch() { clearTablesPending_ = true; }
  // Sets the tablebases up with the settings' folder and cache.
  void SetUpTablebases() { EGTB.Init(Settings.TablebasePath, Settings.TablebaseCacheMB); }
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

  // The order of the running (or next) search, whole; its depth limit may
  // be lowered by the search itself (a forced reply).
  const TSearchOrder& Order() const { return order_; }
  std::int32_t MaxDepth() const { return maxDepth_; }

  const TBoardState& Source;  // the position to search, not owned
  const TEngineSettings& Settings;
  TBook OpeningBook;
  TEGTB EGTB;
  TTimeManager Clock;
  TInfos Infos;
  std::atomic<bool> Thinking{false};
  // The search must end: the clock, a limit, a stop or a decision says so.
  std::atomic<bool> SearchStopped{false};
  // The interface said "stop" (or "quit", "ucinewgame") during this search.
  // A ponder or infinite search holds its answer until then.
  std::atomic<bool> StopRequested{false};

 private:
  void Execute() override;

  // Parts of Think.
  void GenerateRootList();
  // Drops the root moves the interface's "searchmoves" leaves out.
  void KeepAllowedRootMoves();
  // One legal move in timed play: it is taken at once, after a short
  // search that gives its line a score.
  bool ForcedReply();
  // With several lines asked for: the first shown line becomes the answer.
  void AnswerWithShownLines();
  bool TablebaseRootMove();
  void EnsureLegalBest();

  std::vector<std::unique_ptr<TThreadSearch>> SearchThreads;  // helpers, ThreadID 2..
  TSearchOrder order_;                                        // set while no search runs
  std::int32_t maxDepth_ = FullDepth;                         // written before the helpers start
  bool clearTablesPending_ = true;
  TBestMoveOutput output_;
  bool tablesEmpty_ = false;         // emptied, and no search has written since
  std::unique_ptr<TWorker> worker_;  // last, so that it stops before the fields go
};

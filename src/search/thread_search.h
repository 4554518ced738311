// A search thread: a search board plus everything one thread needs to search
// on its own (tables, evaluation scratch, tablebase bridge, root result).
// Fields other threads read while it searches are atomics, or are guarded by
// its RootLock (the root result and the root move list).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "board/search_board.h"
#include "eval/eval_state.h"
#include "hash/hash_table.h"
#include "platform/worker.h"
#include "protocol/egtb_bridge.h"

constexpr std::int32_t NoScore = -40000;

// A thread's root result and the bookkeeping of its stability.
struct TBest {
  TMove m;
  TMove ancienCoup;
  bool coupchange = false;
  bool scorebaisse = false;
  std::int32_t score = 0;
  std::uint32_t BestProf = 0;
  std::int32_t ancienscore = NoScore;
  std::int32_t plafondBonus = 0;
  std::int32_t Passages = 0;
};

// Thrown by CheckStop to unwind a search at once; caught only by the
// iterative-deepening loops. Nothing of the search's state is used after it:
// the board is rebuilt from its source before the next search.
struct SearchAborted {};

constexpr std::uint32_t DefaultCheckupMask = 16383;
constexpr std::uint32_t IdleDepth = 99;  // PROF of a thread that is not searching

class TThreadSearch : public TSearchBoard {
 public:
  // A helper (id 2..8) gets its own worker, parked until a search deals it
  // moves; the main thread (id 1) is driven by its own run loop.
  explicit TThreadSearch(std::int32_t id);
  ~TThreadSearch() override;
  TThreadSearch(const TThreadSearch&) = delete;
  TThreadSearch& operator=(const TThreadSearch&) = delete;

  // The abort check, made when Nodes & Checkup_mask is 0: throws SearchAborted
  // when this thread must stop.
  virtual void CheckStop();
  // Does another search thread hold a non-negative root score?
  virtual bool AutreScorePositif() const;
  // The root list: Gen_dat from 0 to RootMoveCount() - 1.
  int RootMoveCount() const { return First_move[1]; }
  void ResetBest() {
    std::lock_guard guard(RootLock);
    Best = TBest{};
  }
  // Runs `search`, catching the abort; false when it was aborted.
  template <class Search>
  static bool RunAbortable(Search&& search) {
    try {
      search();
      return true;
    } catch (const SearchAborted&) {
      return false;
    }
  }

  // Counts a node and checks for a stop when the mask says so.
  void CountNode() {
    ++Nodes;
    if ((Nodes & Checkup_mask.load(std::memory_order_relaxed)) == 0) CheckStop();
  }

  // Helpers: start one search and wait until it has really started; ask it to
  // stop at its next node; wait until it has parked.
  void ResumeHelper();
  void RequestStop();
  void WaitIdle();
  bool Idle() const;

  // The root result, read by other threads while this one searches.
  TBest BestSnapshot() const {
    std::lock_guard guard(RootLock);
    return Best;
  }
  std::int32_t BestScore() const {
    std::lock_guard guard(RootLock);
    return Best.score;
  }

  std::unique_ptr<THashClass> HashClass;
  const std::int32_t ThreadID;
  std::atomic<bool> stop{true};
  std::uint32_t Nodes = 0;
  TEvalState Eval;
  bool couptrouve = false;
  std::int32_t ALPHA_ROOT = NoScore;
  std::int32_t BETA_ROOT = -NoScore;
  std::atomic<std::uint32_t> PROF{IdleDepth};
  TBest Best;  // written by this thread under RootLock
  TMove CoupAttendu;  // written by this thread under RootLock
  std::int32_t ThreadScore = NoScore;
  std::atomic<std::int32_t> MaxCoups{0};
  std::atomic<std::uint32_t> Checkup_mask{DefaultCheckupMask};
  TEGTB EGTB;
  // Guards Best, CoupAttendu and the root move list (Gen_dat from 0 to
  // First_move[1]) while other threads may read them.
  mutable std::mutex RootLock;
  // The main search thread that owns this helper (null for the main thread).
  class TMainThreadSearch* Owner = nullptr;

 protected:
  // One run of a helper: its iterative deepening over its share of the root.
  virtual void Execute();
  // Iterations over the thread's root moves until the depth limit or an
  // abort; the main thread's and every helper's.
  void IterativeDeepening();

 private:
  std::unique_ptr<Worker> worker_;  // helpers only; last, so that it stops first
};

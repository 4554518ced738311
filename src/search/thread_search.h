// A search thread: a search board plus everything one thread needs to search
// (the shared transposition table, its own pawn hash and evaluation
// scratch, the tablebase bridge, its root result).
// Fields other threads read while it searches are atomics, or are guarded by
// its RootLock (the root result and the root move list).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <type_traits>

#include "board/search_board.h"
#include "eval/eval_cache.h"
#include "eval/eval_state.h"
#include "hash/hash_table.h"
#include "platform/worker.h"
#include "search/root_lines.h"

constexpr std::int32_t NoScore = -40000;

// The principal variation of every node on the current path, one row per
// ply (a triangular table): row p holds the best line found so far from the
// node at ply p. A node empties its row on entry; a move that raises alpha
// without failing high writes itself followed by the row of the child.
// Null-window nodes never raise alpha without failing high, so they never copy.
class TPvTable {
 public:
  void Clear(std::uint32_t ply) { length_[ply] = 0; }
  // `move`, made at ply `ply`, raised alpha: it and its child's line are now
  // the line of ply `ply`.
  void Extend(std::uint32_t ply, TMove move) {
    TMove* row = lines_[ply].data();
    const TMove* child = lines_[ply + 1].data();
    const int childLength = length_[ply + 1];
    row[0] = move;
    for (int i = 0; i < childLength; ++i) row[i + 1] = child[i];
    length_[ply] = std::uint8_t(childLength + 1);
  }
  const TMove* Line(std::uint32_t ply) const { return lines_[ply].data(); }
  int Length(std::uint32_t ply) const { return length_[ply]; }

 private:
  // A node at ply p gets at most one move per ply below it: row p never
  // holds more than PlyTableSize - p moves.
  std::array<std::array<TMove, PlyTableSize>, PlyTableSize> lines_{};
  std::array<std::uint8_t, PlyTableSize> length_{};
};

// A thread's root result and the bookkeeping of its stability.
struct TBest {
  TMove m;
  TLine pv;                   // the line that m begins, as far as the search has it
  TMove PreviousMove;         // the best move of the previous iteration
  bool MoveChanged = false;   // the best move changed since
  bool ScoreDropped = false;  // the score fell since
  std::int32_t score = 0;
  std::uint32_t Depth = 0;           // of the iteration that found m
  std::uint32_t CompletedDepth = 0;  // the deepest iteration that ended inside its window
  std::int32_t PreviousScore = NoScore;
  std::int32_t ScoreLoss = 0;         // score lost since the last time bonus, toward the next
  std::int32_t RisingIterations = 0;  // iterations in a row whose score rose
};
// Copied wholesale between threads under their root locks.
static_assert(std::is_trivially_copyable_v<TBest>);

// Thrown by CheckStop to unwind a search at once; caught only by the
// iterative-deepening loops. Nothing of the search's state is used after it:
// the board is rebuilt from its source before the next search.
struct SearchAborted {};

constexpr std::uint32_t DefaultCheckupMask = 16383;
constexpr std::uint32_t IdleDepth = 99;  // IterationDepth of a thread that is not searching

class TEGTB;
class TMainThreadSearch;

class TThreadSearch : public TSearchBoard {
 public:
  // A helper (id 2..8) gets its own worker, parked until a search deals it
  // moves; the main thread (id 1) is driven by its own run loop.
  explicit TThreadSearch(std::int32_t id);
  ~TThreadSearch() override;
  TThreadSearch(const TThreadSearch&) = delete;
  TThreadSearch& operator=(const TThreadSearch&) = delete;

  // The abort check, made when Nodes & StopPollMask is 0: throws SearchAborted
  // when this thread must stop.
  virtual void CheckStop();
  // Does another search thread hold a non-negative root score?
  virtual bool OtherThreadScoreNotNegative() const;
  // The root list: MoveStack from 0 to RootMoveCount() - 1.
  int RootMoveCount() const { return FirstMove[1]; }
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
    } catch (const SearchAborted&) { return false; }
  }

  // Counts a node and checks for a stop when the mask says so. Only this
  // thread writes its counters, so a plain load and store do; other threads
  // read them for the search's figures.
  void CountNode() {
    const std::uint64_t nodes = Nodes.load(std::memory_order_relaxed) + 1;
    Nodes.store(nodes, std::memory_order_relaxed);
    if ((nodes & StopPollMask.load(std::memory_order_relaxed)) == 0) CheckStop();
  }
  // The node at the current ply was reached: the selective depth grows.
  void NoteSelDepth() {
    if (Ply > SelDepth.load(std::memory_order_relaxed)) SelDepth.store(Ply, std::memory_order_relaxed);
  }
  void CountTablebaseHit() {
    TablebaseHits.store(TablebaseHits.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
  }
  // A new search counts from nothing.
  void ResetCounters() {
    Nodes = 0;
    SelDepth = 0;
    TablebaseHits = 0;
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

  // The transposition table every thread of the search shares, and this
  // thread's own pawn hash.
  std::shared_ptr<TTranspositionTable> TransTable;
  std::unique_ptr<TPawnHash> PawnHash;
  const std::int32_t ThreadID;
  std::atomic<bool> stop{true};
  std::atomic<std::uint64_t> Nodes{0};
  std::atomic<std::uint32_t> SelDepth{0};  // the deepest ply reached, quiescence included
  TEvalState Eval;
  TEvalCache EvalCache;
  bool StoredMoveFound = false;
  std::int32_t RootAlpha = NoScore;
  std::int32_t RootBeta = -NoScore;
  std::atomic<std::uint32_t> IterationDepth{IdleDepth};
  TBest Best;           // written by this thread under RootLock
  TMove ExpectedReply;  // written by this thread under RootLock
  std::int32_t ThreadScore = NoScore;
  std::atomic<std::int32_t> MaxMoves{0};
  std::atomic<std::uint32_t> StopPollMask{DefaultCheckupMask};
  // The tablebases every thread of the search probes (the main thread's bridge).
  const TEGTB* Tablebases = nullptr;
  // Set up by the main thread before its helpers start, and copied to them.
  bool RootInCheck = false;                     // the side to move is in check at the root
  std::int32_t TablebaseMenLimit = 0;           // captures down to this many men are probed
  std::atomic<std::uint64_t> TablebaseHits{0};  // probes the tablebases answered
  // Guards Best, ExpectedReply and the root move list (MoveStack from 0 to
  // FirstMove[1]) while other threads may read them.
  mutable std::mutex RootLock;
  // The main search thread that owns this helper (null for the main thread).
  TMainThreadSearch* Owner = nullptr;
  // This thread's principal variations, by ply. Kept behind the other fields:
  // its seven kilobytes between the fields every node reads cost a few
  // per cent of the search's speed.
  TPvTable Pv;
  // With several lines asked for (MultiPV): those of the running iteration,
  // and those of the last iteration completed, which the output shows.
  TRootLines RootLines;
  TRootLines ShownLines;

 protected:
  // One run of a helper: its iterative deepening over its share of the root.
  virtual void Execute();
  // Iterations over the thread's root moves until the depth limit or an
  // abort; the main thread's and every helper's.
  void IterativeDeepening();

 private:
  std::unique_ptr<TWorker> worker_;  // helpers only; last, so that it stops first
};

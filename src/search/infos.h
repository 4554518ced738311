// The "info" lines of a search. With several search threads one thread has
// the voice at a time: the thread that last reported keeps it,
// and another one takes it over only with a strictly better score. A line
// goes out for every completed iteration, and its depth never falls below
// that of a line already printed in the same search.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "board/types.h"
#include "search/thread_search.h"

// What one "info depth" line reports.
struct TDepthReport {
  std::int32_t depth;
  std::uint32_t seldepth;
  std::int32_t multipv;  // the line's rank; 0 when only one line is asked for
  std::int32_t score;
  std::int64_t elapsedMs;  // since the search's clock started
  std::uint64_t nodes;     // all threads
  std::int32_t hashfull;   // per mille
  std::uint64_t tbhits;    // all threads
};

// The search's figures, summed over its threads.
struct TSearchTotals {
  std::uint64_t nodes = 0;
  std::uint64_t tbhits = 0;
  std::uint32_t seldepth = 0;
};

// One per main search thread, shared by its helpers.
class TInfos {
 public:
  // A new search: nobody has the voice, no line has been printed.
  void Init();
  // No line at all (the bench, the EPD test and the tests search quietly).
  void SetQuiet(bool quiet) { quiet_ = quiet; }
  bool Quiet() const { return quiet_.load(std::memory_order_relaxed); }
  // Thread `id` found the root result `score`: it takes the voice when it
  // may. True when it has the voice now.
  bool TakeVoice(std::int32_t id, std::int32_t score);
  // Gives the voice to thread `id`, whatever it had.
  void GiveVoice(std::int32_t id);
  // The thread with the voice; 0 = none yet.
  std::int32_t VoiceThread() const { return voiceThread_.load(std::memory_order_relaxed); }
  bool HasVoice(const TThreadSearch& t) const { return VoiceThread() == t.ThreadID; }
  // Thread `t` completed iteration `depth` with `score` inside its window:
  // it takes the voice when it may, and then prints the iteration's line
  // (or its lines, when several are asked for).
  void IterationDone(const TThreadSearch& t, std::int32_t depth, std::int32_t score);
  // The line of the move the search answers with, printed whoever had the
  // voice; `main` holds the answer. Without a move, the root had none: a
  // depth-0 line says mate or stalemate.
  void Final(const TThreadSearch& main);
  // The root move about to be searched, number `i` from 0, by thread `id`.
  void CurrentMove(TMove move, int i, std::int32_t id) const;

  // The figures of every thread of `t`'s search.
  static TSearchTotals Totals(const TThreadSearch& t);
  // "cp S", or "mate N" in moves: N > 0 when the side to move mates, N < 0
  // when it is mated.
  static std::string ScoreText(std::int32_t score);
  // The whole line: "info depth D seldepth S [multipv K] score ... time T
  // nodes N nps X hashfull H tbhits B pv ...".
  static std::string DepthLine(const TDepthReport& report, const TLine& line);
  // The line `best` shows: its principal variation when that begins with
  // its move (should they ever disagree, the move alone).
  static TLine ShownLine(const TBest& best);

 private:
  bool TakeVoiceLocked(std::int32_t id, std::int32_t score);

  std::atomic<bool> quiet_{false};
  // Makes the voice test and its change one step when two threads report
  // at once, and keeps the lines of one iteration together.
  std::mutex lock_;
  std::atomic<std::int32_t> voiceThread_{0};
  std::int32_t voiceScore_ = NoScore;  // of the last accepted report; guarded by lock_
  std::int32_t printedDepth_ = 0;      // the deepest "info depth" printed; guarded by lock_
};

// The "info" lines of a search. With several search threads one thread has
// the voice at a time: the thread that last reported (InfoThread) keeps it,
// and another one takes it over only with a strictly better score. A line
// goes out for every completed iteration, and its depth never falls below
// that of a line already printed in the same search.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "board/types.h"
#include "search/thread_search.h"

extern std::atomic<std::int32_t> InfoThread;  // ThreadID with the voice; 0 = none yet
extern std::atomic<std::int32_t> InfoScore;   // score of the last accepted report; NoScore = none

// What one "info depth" line reports.
struct TDepthReport {
  std::int32_t depth;
  std::uint32_t seldepth;
  std::int32_t multipv;    // the line's rank; 0 when only one line is asked for
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

struct TInfos {
  // A new search: nobody has the voice, no line has been printed.
  static void Init();
  // Thread `id` found the root result `score`: it takes the voice when it
  // may. True when it has the voice now.
  static bool TakeVoice(std::int32_t id, std::int32_t score);
  // Thread `t` completed iteration `depth` with `score` inside its window:
  // it takes the voice when it may, and then prints the iteration's line
  // (or its lines, when several are asked for).
  static void IterationDone(const TThreadSearch& t, std::int32_t depth, std::int32_t score);
  // The line of the move the search answers with, printed whoever had the
  // voice; `main` holds the answer. Without a move, the root had none: a
  // depth-0 line says mate or stalemate.
  static void Final(const TThreadSearch& main);
  // The root move about to be searched, number `i` from 0, by thread `id`.
  static void CurrentMove(TMove move, int i, std::int32_t id);

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
};

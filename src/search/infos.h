// The "info" lines of a search. With several search threads one thread has
// the voice at a time: the thread that last reported (InfoThread) keeps it,
// and another one takes it over only with a strictly better score.
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
  std::int32_t score;
  std::int64_t elapsedMs;  // since the search's clock started
  std::uint32_t nodes;     // one thread's own count
  std::int32_t hashfull;   // per mille
};

struct TInfos {
  // A new search: nobody has the voice.
  static void Init();
  // A thread's result `best` at iteration `depth`: takes the voice when it
  // may, and prints the line from depth 7 on. `nodes` and `tables` are that
  // thread's.
  static void Total(const TBest& best, std::int32_t depth, std::int32_t score, std::int32_t id, std::uint32_t nodes,
                    const TTranspositionTable& tables);
  // The line of the move the search answers with, printed at the very end
  // whatever its depth and whoever had the voice; `main` holds the answer.
  // Without a move, the root had none: a depth-0 line says mate or stalemate.
  static void Final(const TThreadSearch& main);
  // The root move about to be searched, number `i` from 0, by thread `id`.
  static void EnCours(TMove move, int i, std::int32_t prof, std::int32_t id);

  // "cp S", or "mate N" in moves: N > 0 when the side to move mates, N < 0
  // when it is mated.
  static std::string ScoreText(std::int32_t score);
  // The whole line: "info depth D score ... time T nodes N nps X hashfull H pv ...".
  static std::string DepthLine(const TDepthReport& report, const TBest& best);
};

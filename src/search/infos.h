// The "info" lines of a search. With several search threads one thread has
// the voice at a time: the thread that last reported (InfoThread) keeps it,
// and another one takes it over only with a strictly better score.
#pragma once

#include <atomic>
#include <cstdint>

#include "board/types.h"
#include "search/thread_search.h"

extern std::atomic<std::int32_t> InfoThread;  // ThreadID with the voice; 0 = none yet
extern std::atomic<std::int32_t> InfoScore;   // score of the last accepted report; NoScore = none

struct TInfos {
  // A new search: nobody has the voice.
  static void Init();
  // A thread's result `best` at iteration `depth`: takes the voice when it
  // may, and prints the line from depth 7 on. `nodes` is that thread's count.
  static void Total(const TBest& best, std::int32_t depth, std::int32_t score, std::int32_t id, std::uint32_t nodes);
  // The root move about to be searched, number `i` from 0, by thread `id`.
  static void EnCours(TMove move, int i, std::int32_t prof, std::int32_t id);
};

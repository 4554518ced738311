// Time management: turns the clock figures of a "go" into the deadline the
// main search thread checks, and moves that deadline while the search runs:
// TIME BONUS slices when the root score keeps dropping, and a HELP extension
// taken from the reserve when the best move's score collapses.
//
// Every rule here runs under one lock of its own (none is on a hot path), so
// that a "ponderhit" on the protocol thread and the decisions of several
// search threads never interleave. The rules also take the thread's RootLock
// for the few fields of Best they change: call them without holding it.
#pragma once

#include <cstdint>

#include "eval/eval_state.h"
#include "search/control.h"
#include "search/thread_search.h"
#include "search/time_control.h"

class TMainThreadSearch;

// Iteration depth from which the root takes its time decisions (stability,
// TIME BONUS, HELP), by the phase of the root position.
std::uint32_t PhaseMinDepth(TPhase phase);

// Starts the clock of a search on `timeLeft` ms (the side to move's clock,
// the move time, or NoTimeLimit) and sets the deadline, the slice, the spare
// time and `main`'s check frequency (StopPollMask). `ponderStarts`: a ponder search,
// which gets no deadline (pass the current Pondering: once it is false the
// ponderhit has set the budget, and the call changes nothing). `keepStartTick`: the call made at "ponderhit",
// which keeps the ponder search's start and grants the bonus slices earned
// while pondering as far as the spare time allows.
void InitTime(TThreadSearch& main, std::int32_t timeLeft, const TLevel& level, bool ponderStarts, bool keepStartTick);

// "ponderhit": gives the running ponder search its budget on the clock
// `timeLeft` and clears Pondering, as one step, so that a search starting
// at that moment cannot put the unlimited ponder deadline back.
void PonderHitTime(TThreadSearch& main, std::int32_t timeLeft, const TLevel& level);

// The TIME BONUS test after the root score of `thread` went from `oldScore`
// to `newScore`: a drop of 25 or more (added up over iterations) earns one
// more slice, at most two per move.
void TimeBonus(TThreadSearch& thread, std::int32_t oldScore, std::int32_t newScore);

// The HELP request on the first root move's score `s`; true when granted.
// `otherThreadScorePositive`: another thread holds a root score >= 0.
bool RequestHelp(TThreadSearch& thread, std::int32_t s, bool otherThreadScorePositive);

// After `owner`'s root search returned: if it owns the HELP, hands it to a
// thread searching the same depth, or ends it when there is none.
void PassHelpOn(TMainThreadSearch& main, TThreadSearch& owner);

// Ends the HELP (if one is active) and restores the deadline it extended.
void EndHelpWait();

// The search below the root: the alpha-beta node in its three forms and the
// quiescence search in its two. Each runs on one search thread's own board,
// tables and evaluation scratch.
#pragma once

#include <cstdint>

#include "search/thread_search.h"

constexpr std::int32_t Infinity = 40000;

// A node's arguments make sense: an ordered window within the score range,
// a ply the per-ply tables hold, a depth no iteration could exceed.
inline bool node_is_ok(const TThreadSearch& t, std::int32_t alpha, std::int32_t beta, std::int32_t depth) {
  return -Infinity <= alpha && alpha < beta && beta <= Infinity && t.Ply <= std::uint32_t(MaxPly) + 1 &&
         depth < 4 * PlyTableSize && depth > -4 * PlyTableSize;
}
// A score a node returns: within the window's range, never beyond a mate.
constexpr bool score_is_ok(std::int32_t score) { return -Infinity <= score && score <= Infinity; }

// A move that mates on the next ply cannot be bettered: once alpha holds
// such a mate the node's remaining moves need no search. A longer mate can,
// so it never ends the move loop early.
constexpr bool NoShorterMate(std::int32_t alpha, std::uint32_t ply) {
  return alpha >= MateScore - std::int32_t(ply) - 1;
}

// The alpha-beta form is chosen once per root iteration and kept for the tree.
enum class TSearchForm : std::uint8_t {
  Normal,     // the root is not in the endgame
  Endgame,    // endgame root, no tablebases (or a short clock)
  EndgameTB,  // endgame root with tablebases probed inside the tree
};

// Extensions taken on the path from the root, passed down by value.
struct TPathExtensions {
  std::int32_t mateThreat = 0;
  std::int32_t recapture = 0;
  std::int32_t pawnEnding = 0;
  std::int32_t pawnPush = 0;
  std::int32_t check = 0;
};

template <TSearchForm Form>
std::int32_t AlphaBeta(TThreadSearch& t, std::int32_t alpha, std::int32_t beta, std::int32_t depth,
                       TPathExtensions path, bool noNull, bool parentInCheck, bool afterNull);

// Quiesce (Endgame false) and QuiesceEnd (Endgame true).
template <bool Endgame>
std::int32_t Quiesce(TThreadSearch& t, std::int32_t alpha, std::int32_t beta, std::int32_t depth,
                     std::int32_t checksUsed, bool afterNull, bool quietCheck);

// Bare material that cannot mate: kings alone, a single minor piece, minor
// against minor, or two knights against a bare king. Refreshes Eval.NonPawnMen[Light]/ND.
bool InsufficientMaterial(TThreadSearch& t);

// The static evaluation of the thread's current position.
std::int32_t EvaluateNode(TThreadSearch& t);

// --- The root (root_search.cpp) ---------------------------------------------
// One iteration over the thread's root moves with the window (alpha, beta);
// updates Best and ExpectedReply.
std::int32_t RootSearch(TThreadSearch& t, std::int32_t alpha, std::int32_t beta);
// Ordering scores of the root moves before each iteration.
void OrderRootMoves(TThreadSearch& t);
// Puts the root move stored in the thread's own table first, and takes it
// as the best move so far (clock games only).
void HashMoveFirst(TThreadSearch& t);
// Is `m` in the thread's root list?
bool InRootList(const TThreadSearch& t, TMove m);
// The EASY stop, asked after the first root move of an iteration: true when
// the best move has held and its score has risen over three stability checks.
bool EasyStop(TThreadSearch& t);
// The iteration just searched ended inside its window with a move: its
// depth is done.
bool IterationCompleted(const TThreadSearch& t);
// One iteration-end step shared by the main thread and the helpers: the
// aspiration window for the next iteration; true when the depth is done.
bool AdvanceIteration(TThreadSearch& t);

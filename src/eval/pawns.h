// Pawn structure and passed pawns. The structure scores depend on the pawns
// alone and are cached in the pawn hash; the per-node facts (files, passer
// lists, pawn attacks on pieces, the pawn storm) are rebuilt on every call,
// and passed pawns are scored against the pieces on every call.
#pragma once

#include "board/search_board.h"
#include "eval/eval_state.h"
#include "eval/pawn_hash.h"

// Per-node preparation on a pawn-hash miss: pawn files, wing counts, pawn
// storm (middlegame only) and pawn attacks on pieces.
void PreparePawnsMiss(const TSearchBoard& board, TEvalState& e);
// The same on a hit: wing counts and flags come from the entry, the passer
// lists are rebuilt from the entry's passer squares.
void PreparePawnsHit(const TSearchBoard& board, TEvalState& e, TPasserSquares passers);

// Structure scores after PreparePawnsMiss: the White and Black totals, 100 a
// pawn included. Fills PawnFlags, PasserSet and the passer lists.
TSidePair ScorePawns(const TSearchBoard& board, TEvalState& e);

// Passed pawns against the pieces on the board, for the phase in e.Phase:
// adds to e.Score and sets PasserDanger.
void ScorePassedPawns(const TSearchBoard& board, TEvalState& e);

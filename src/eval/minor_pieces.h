// Knight and bishop terms shared by the middlegame and endgame evaluations:
// mobility, pawn-protected outposts and the trapped or hemmed-in patterns.
// Squares are relative to the side Us (see side_view.h).
#pragma once

#include "eval/side_view.h"

// Knight mobility: enemy pieces hit, loose enemy pawns hit and safe empty
// squares; -5 for a knight with none of these.
template <TSide Us>
int KnightMobility(const TSideView<Us>& v, int s);

// A knight or bishop on s protected by an own pawn, not on a8, h8, a2, h2
// or the first rank: the outpost value of `table` at s, and the file is
// recorded in MinorOutpostFiles (it then counts as blocked for the enemy's rooks).
// 0 when s is no outpost.
template <TSide Us>
int MinorOutpost(const TSideView<Us>& v, TSideFields& f, int s, const TSquareTable& table);

// A knight on a8, h8, a7 or h7 shut in by enemy pawns.
template <TSide Us>
bool KnightTrapped(const TSideView<Us>& v, int s);

// The knight's square value, replaced by the trapped value or by the value
// of a knight blocking its own c-, d-, e- or f-pawn.
template <TSide Us>
int KnightPlacement(const TSideView<Us>& v, int s);

// Bishop mobility along the two forward diagonals. A bishop without any on
// ranks 1..4 is bad: it counts in BadBishops and scores -10.
template <TSide Us>
int BishopMobility(const TSideView<Us>& v, TSideFields& f, int s);

// Penalty (negative) for a bishop shut in behind pawns on the edges, in the
// corners or on its first-rank squares. The d3/e3 blockers are separate.
template <TSide Us>
int BishopTrapPatterns(const TSideView<Us>& v, int s);

// Penalty (negative) for a minor piece on d3 or e3 in front of its own
// unmoved d- or e-pawn.
template <TSide Us>
int BlocksCentrePawn(const TSideView<Us>& v, int s);

// Rook terms shared by the middlegame and endgame evaluations: the rook and
// the pawns on its file, hemmed-in rooks and rooks shut in at home.
// Squares are relative to the side Us (see side_view.h).
#pragma once

#include "eval/side_view.h"

// A rook on a file with own pawns, other than behind a passer: +10 in front
// of a pawn still on rank 2 or 3 when no enemy pawn shares the file, or
// -`pawnAheadPenalty` for a rook on rank 1 or 2 behind such a pawn.
template <TSide Us>
int RookOnOwnPawnFile(const TSideView<Us>& v, int s, int pawnAheadPenalty);

// A file with enemy pawns only is worth opening for a rook unless the
// enemy pawn on it is doubled, or further forward than the enemy pawns
// of a neighbouring file (which could then come to protect it).
template <TSide Us>
bool HalfOpenForRook(const TSideView<Us>& v, int fileNumber);

// Penalty (negative) for a rook on a file it was not credited for, shut in
// sideways by pawns.
template <TSide Us>
int RookHemmedIn(const TSideView<Us>& v, int s);

// Penalty (negative) for a rook on rank 3..6 with its own pawn in front.
template <TSide Us>
int RookBehindOwnPawn(const TSideView<Us>& v, int s);

// A rook at home on a1, b1, g1 or h1 and its penalty (negative) for the
// pieces that shut it in.
constexpr bool RookAtHome(int s) { return s == sq::a1 || s == sq::b1 || s == sq::g1 || s == sq::h1; }
template <TSide Us>
int RookHomePenalty(const TSideView<Us>& v, int s);

// King attack along lines: what a bishop, rook or queen adds to its side's
// king-attack entry for the rays from its square into the enemy king's zone.
// Squares are relative to the side Us (see side_view.h).
#pragma once

#include "board/geometry.h"
#include "eval/side_view.h"

// The amount for a piece of `kind` (Bishop, Rook or Queen) on s: 5 for each
// zone square its rays reach past at most one piece (two for a bishop on
// the king's own line) or one loose enemy pawn, and 5 more for each ray that
// gets through. Most pieces have no line to the zone at all: that test is
// inline, and only the walk along the `lines` that reach it is a call.
template <TSide Us>
int LineTropismAlong(const TSideView<Us>& v, TPiece kind, int s, TDirections lines);

template <TSide Us>
inline int LineTropism(const TSideView<Us>& v, TPiece kind, int s) {
  const int king = v.EnemyKing();
  const TDirections lines = kind == Bishop ? Geo.BishopLinesToZone[king][s]
                            : kind == Rook ? Geo.RookLinesToZone[king][s]
                                           : Geo.QueenLinesToZone[king][s];
  return lines == 0 ? 0 : LineTropismAlong(v, kind, s, lines);
}

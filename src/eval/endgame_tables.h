// Constant tables of the endgame: piece and king squares for the endgame,
// the special-material weights of the recogniser and the mating drive of
// king + bishop + knight. Square tables are White's view in square order;
// Black reads them at mirror(square).
#pragma once

#include <cstdint>

#include "board/types.h"
#include "eval/eval_geometry.h"

// Knights and queens by square in the endgame.
extern const TSquareTable KnightSquareEG;
extern const TSquareTable QueenSquareEG;

// King placement when every pawn stands on files a-d (queen's wing) or on
// files e-h (king's wing).
extern const TSquareTable KingQueenWing;
extern const TSquareTable KingKingWing;

// King + bishop + knight against a bare king: the drive toward the edge, by
// the bare king's square.
extern const TSquareTable KbnDrive;
// By the colour of the bishop's squares (Light = light squares): the corner
// blocks where the bishop helps to mate, and the other two.
extern const TSquareSet BishopCorners[2];
extern const TSquareSet WrongCorners[2];
// Middles of the edges on the way from one corner to the other.
extern const TSquareSet KbnPassageSquares;

// Winning weight of each kind when only pieces decide; sides closer than
// NoWinningMargin cannot win on material alone.
inline constexpr std::int32_t EndgamePoints[6] = {0, 30, 35, 55, 110, 0};
inline constexpr std::int32_t NoWinningMargin = 36;

// A lone knight against enemy rook-pawn passers: [passer on the a-file][on the h-file].
inline constexpr std::int32_t KnightVsRookPawns[2][2] = {{0, 20}, {20, 40}};

// Rook behind its own passer, by the passer's rank (index 1..8).
inline constexpr std::int32_t RookBehindPasserEG[9] = {0, 0, 0, 5, 10, 10, 20, 25, 0};

// Endgame material lead, [k][lead]; lead 0 is unused, larger leads use entry 20.
inline constexpr std::int32_t EndgameEdgeBonus[2][21] = {
    {0, 70, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100},
    {0, 100, 130, 130, 130, 130, 130, 130, 130, 130, 130, 130, 130, 130, 130, 130, 130, 130, 130, 130, 130},
};

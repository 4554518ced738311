// Constant tables of the pawn evaluation. Square tables are White's view in
// square order (first row = eighth rank); Black reads them at mirror(square).
// Tables that differ between the phases are indexed [PawnPhase][...].
#pragma once

#include <array>
#include <cstdint>

#include "board/types.h"
#include "eval/eval_geometry.h"
#include "eval/eval_state.h"

// Index of the phase in the phase-dependent pawn tables.
enum TPawnPhase : int { PawnMG = 0, PawnEG = 1 };
constexpr TPawnPhase PawnPhaseOf(TPhase phase) { return phase == endgame ? PawnEG : PawnMG; }

// Tables "by rank" are indexed by row0 = square / 8 of White's view:
// 0 = eighth rank .. 7 = first rank.
using TRankTable = std::int32_t[8];

// --- Cached structure terms -------------------------------------------------
extern const std::int32_t PawnAttack[6];    // by kind of the enemy piece a pawn attacks
extern const std::int32_t PawnNearKing[8];  // by king distance from a pawn to the enemy king
extern const TSquareTable DuoBonus;         // a pawn with a friendly pawn just right of it
extern const TSquareTable Doubled[2];
extern const TSquareTable Backward[2];
extern const TSquareTable IsolatedOpen[2];  // no enemy pawn on the file
extern const TSquareTable Isolated[2];      // an enemy pawn on the file
extern const TSquareTable BlockedCentre;    // d- or e-pawn blocked by an enemy pawn
extern const TSquareTable PawnSquare;
extern const TSquareTable PassedFull[2];
extern const TSquareTable PassedReduced[2];
extern const TRankTable Protected;        // passer protected by a pawn
extern const TRankTable ProtectorPassed;  // ... whose protector is passed too
extern const TRankTable DuoPassed[2];     // passer with a passed partner beside it

// --- Passed pawns against the pieces ----------------------------------------
// Squares in front of a passer where an enemy piece of that kind blockades it.
extern const TSquareSet BlockadeMG[6];
extern const TSquareSet BlockadeEG[6];
extern const TSquareTable PassedRunMG;
extern const TSquareTable PassedRunEG[2];
extern const TRankTable KingInFront;   // enemy king in front of the passer
extern const TSquareTable EdgePasser;  // a- or h-pawn against a lone minor piece
extern const TRankTable Runaway;
extern const std::int32_t UnstoppableBonus[9];  // by row of the best unstoppable passer; 8 = none
// Squares from which the own king escorts a passer to promotion.
extern const std::array<TSquareSet, 64> EscortSquares;

// --- Wings -------------------------------------------------------------------
enum TWing : std::uint8_t { QueenWing = 0, KingWing = 1 };
// The wing counter a pawn on each square adds to: files a-d and e-h.
extern const std::array<TWing, 64> WingOfSquare;

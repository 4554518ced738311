// Constant tables of the evaluation driver: coarse material, the attack and
// material-lead scales, the bishop pair and open-file bonuses, and the king
// centralisation table the endgame uses.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "eval/eval_geometry.h"

// Coarse material per kind (pawns and kings count nothing). Every value is a
// multiple of 15, so every material difference is too; "leads" below are
// such a difference divided by 15.
inline constexpr std::int32_t MaterialPoints[6] = {0, 30, 30, 45, 90, 0};
inline constexpr std::int32_t MaterialStep = 15;

// Extra weight of a king attack by the defender's material lead.
inline constexpr std::int32_t AttackCompensation[21] = {
    0, 50, 50, 125, 125, 300, 300, 400, 400, 500, 500, 500, 500, 500, 500, 500, 500, 500, 500, 500, 500,
};

// Bonus for a material lead, [k][lead]; lead 0 is unused.
inline constexpr std::int32_t MaterialEdgeBonus[2][21] = {
    {0, 35, 70, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100},
    {0, 70, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100},
};

inline constexpr std::int32_t BishopPairBonus[2] = {10, 20};

// Rook on an open file, by file index (0 = a-file).
inline constexpr std::int32_t RookOpenFileBonus[8] = {20, 20, 20, 20, 20, 20, 20, 20};

// A lead or index into a table of 21 entries: larger leads use the last one.
constexpr int LeadIndex(int lead) { return lead < 0 ? 0 : lead > 20 ? 20 : lead; }

// King centralisation, White's view; Black reads it at mirror(square).
extern const TSquareTable KingCentreTable;

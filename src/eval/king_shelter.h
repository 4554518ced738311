// King shelter: the pawn cover of the three files around a king and, when
// the enemy has a queen, the enemy pawns storming them, scaled by the
// enemy's piece material. Squares are relative to the side Us.
#pragma once

#include "eval/side_view.h"

// Pawn-cover tables by the relative row0 p of the own rearmost pawn on a
// file (0 = none): entries 0..7 for a pawn level with or in front of the
// king, 8..15 for a pawn behind it.
using TShelterTable = std::array<int, 16>;
extern const TShelterTable ShelterEdge;
extern const TShelterTable ShelterKnightFile;
extern const TShelterTable ShelterEdgeFar;
extern const TShelterTable ShelterKnightFileFar;
extern const TShelterTable ShelterCentre;
extern const TShelterTable ShelterQuiet;
extern const TShelterTable ShelterQuietCentre;

// Pawn-storm tables by the relative row0 q of the enemy's rearmost pawn on
// a file (7 = none).
using TStormTable = std::array<int, 8>;
extern const TStormTable Storm;
extern const TStormTable StormFar;
extern const TStormTable StormCentreCastle;
extern const TStormTable StormCentre;

// Piece material of one side at the start: the scale of the shelter terms.
constexpr int FullPieceMaterial = PieceValue[Queen] + 2 * (PieceValue[Rook] + PieceValue[Bishop] + PieceValue[Knight]);

// The shelter of the king on k starting from `base`, scaled by the enemy's
// piece material. Both store the result in KingSafety and return it.
template <TSide Us>
int KingShelterWithQueen(const TSideView<Us>& v, TSideFields& f, int k, int base);
template <TSide Us>
int KingShelterWithoutQueen(const TSideView<Us>& v, TSideFields& f, int k, int base);

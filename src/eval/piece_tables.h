// Constant tables of the middlegame piece terms. Square tables are written
// from White's point of view in square order (first row = eighth rank) and
// read by Black at the mirrored square. Tables by kind are indexed Pawn ..
// bpEmpty, so that the kind found on any square can be looked up directly.
#pragma once

#include <array>
#include <cstdint>

#include "board/types.h"
#include "eval/eval_geometry.h"

using TKindTable = std::array<int, 7>;  // Pawn, Knight, Bishop, Rook, Queen, King, empty

// Piece-square values.
extern const TSquareTable KnightSquare;
extern const TSquareTable BishopSquare;
extern const TSquareTable QueenSquare;

// King placement when the enemy has little material left (KingCentre) or
// has 121..150 points without a queen (KingQuiet), and the base value the
// shelter evaluation starts from.
extern const TSquareTable KingCentre;
extern const TSquareTable KingQuiet;
extern const TSquareTable KingShelterBase;

// Pawn-protected minor pieces.
extern const TSquareTable KnightOutpost;
extern const TSquareTable BishopOutpost;

// Squares where a bishop's open diagonal is worth counting: ranks 8 and 7,
// b6-g6, c5-f5 and c4-f4.
extern const TSquareTable BishopForwardArea;

// What a minor piece is worth for the enemy pieces it hits.
extern const TKindTable KnightAttack;
extern const TKindTable BishopHit;

// A queen close to the enemy king, by king distance 0..7.
extern const std::array<int, 8> QueenNear;

// By TCastled: a king that lost its castling rights without castling pays.
extern const std::array<int, 3> CastleBonus;

// Rook file and placement terms.
extern const std::array<int, 9> RookBehindPasser;  // by the passer's rank 1..8
extern const std::array<int, 2> RookPawnAhead;     // [own coarse material < 151]
constexpr int RookBlocked = 10;
constexpr int RookFirstRank = 5;
extern const TKindTable RookTrapped;  // rook b1/g1, by the kind on c1/f1
extern const TKindTable RookCorner;   // rook a1/h1, by the kinds on b1, c1 / g1, f1

// Rook on an open file two files from the enemy king: (king file, rook file).
struct TFilePair {
  int kingFile;
  int rookFile;
};
extern const std::array<TFilePair, 4> RookKingFile;

// Bishop trapped in a corner behind a pawn on c3 (f3): [own pawn, enemy pawn].
extern const std::array<int, 2> BishopCornerTrap;
// Bishop on a7/h7 behind a pawn on b6/g6, by that pawn's owner: [own, enemy].
extern const std::array<int, 2> BishopSideTrap;

// A bishop on one of these guards its king's fianchetto: b2 and g2.
extern const std::array<int, 2> FianchettoGuard;

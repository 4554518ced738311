// Scratch state of one evaluation. Each search thread owns one, so threads
// never share evaluation state; every field is overwritten on each call
// except PhaseAtRoot, which the root search sets once per search.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "eval/pawn_hash.h"  // TSidePair, shared with the pawn hash entries

enum TPhase : std::uint8_t { opening = 0, middlegame = 1, endgame = 2 };

struct TEvalState {
  TPhase PhaseAtRoot = middlegame;
  TPhase Phase = middlegame;

  // Material (DeterminePhase).
  std::int32_t NonPawnMen[2] = {};     // pieces other than pawns, king included
  std::int32_t Material[2] = {};       // coarse material points
  std::int32_t MaterialScore[2] = {};  // centipawns of the pieces other than pawns

  // Running totals per side, centipawns.
  TSidePair Score{};

  // Pawn structure.
  std::int32_t RearPawnRow[2][10] = {};
  std::int32_t Passers[2][8] = {};
  std::int32_t PasserIndex[2] = {1, 1};  // one more than the passers listed
  TSquareSet PasserSet = 0;
  std::uint32_t PawnFlags = 0;
  std::int32_t KingWingPawns = 0, QueenWingPawns = 0;
  std::int32_t PasserDanger[2] = {};
  std::int32_t PawnAttackScore[2] = {};  // pawns attacking enemy pieces
  TSquareSet PawnAttacks[2] = {};        // squares each side's pawns attack

  // King attack.
  std::int32_t KingAttackByKind[2][5] = {};
  std::int32_t Tropism[2] = {};
  std::int32_t BishopTropismCount[2] = {};
  bool QueenNearKing[2] = {};
  std::int32_t KingSafety[2] = {};

  // Files of rooks and queens; outpost files (bit n = file n, 1..8).
  std::int32_t OpenFileRook1[2] = {}, OpenFileRook2[2] = {};
  std::int32_t HalfOpenFileRook1[2] = {}, HalfOpenFileRook2[2] = {};
  std::int32_t QueenFile[2] = {};
  TSquareSet MinorOutpostFiles[2] = {};

  // Bishops.
  std::int32_t BadBishops[2] = {};
  bool BishopAttacksFianchetto[2] = {};
  TSide BishopSquareColour[2] = {Light, Light};

  TBoardSide EndgameColor = bsEmpty;
};

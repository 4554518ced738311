// Scratch state of one evaluation. Each search thread owns one, so threads
// never share evaluation state; every field is overwritten on each call
// except PhaseDepart, which the root search sets once per search.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "eval/pawn_hash.h"  // TTabScore, shared with the pawn hash entries

enum TPhase : std::uint8_t { opening = 0, middlegame = 1, endgame = 2 };

struct TEvalState {
  TPhase PhaseDepart = middlegame;
  TPhase Phase = middlegame;

  // Material (DeterminePhase).
  std::int32_t NL = 0, ND = 0;  // pieces other than pawns, king included
  std::int32_t Material_Light = 0, Material_Dark = 0;
  std::int32_t piece_mat[2] = {};

  // Running totals per side, centipawns.
  TTabScore Score{};

  // Pawn structure.
  std::int32_t pawn_rank[2][10] = {};
  std::int32_t TabPionsPassed[2][8] = {};
  std::int32_t IndexL = 1, IndexD = 1;
  TSquareSet SetPasseds = 0;
  std::uint32_t Pions = 0;
  std::int32_t Aile_Roi = 0, Aile_Dame = 0;
  std::int32_t Passeds_Danger_L = 0, Passeds_Danger_D = 0;
  std::int32_t PionsBAttak = 0, PionsNAttak = 0;
  TSquareSet PawnAttacks[2] = {};  // squares each side's pawns attack

  // King attack.
  std::int32_t TabTropisme[2][5] = {};
  std::int32_t Tropisme_L = 0, Tropisme_D = 0;
  std::int32_t Ntrop_FousL = 0, Ntrop_FousD = 0;
  bool DameProche_L = false, DameProche_D = false;
  std::int32_t Eval_King_L = 0, Eval_King_D = 0;

  // Files of rooks and queens; outpost files (bit n = file n, 1..8).
  std::int32_t ColonneTour1_L = 0, ColonneTour2_L = 0, ColonneTour1_D = 0, ColonneTour2_D = 0;
  std::int32_t ColSemiTour1_L = 0, ColSemiTour2_L = 0, ColSemiTour1_D = 0, ColSemiTour2_D = 0;
  std::int32_t ColonneDame_L = 0, ColonneDame_D = 0;
  TSquareSet SetMinOpen_L = 0, SetMinOpen_D = 0;

  // Bishops.
  std::int32_t Bad_Bishop_L = 0, Bad_Bishop_D = 0;
  bool FouBAttakFianch = false, FouNAttakFianch = false;
  TSide CouleurFouBlanc = Light, CouleurFouNoir = Light;

  TBoardSide EndgameColor = bsEmpty;
};

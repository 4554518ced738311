// The endgame evaluator: special endgames first, then both sides' pieces by
// endgame rules, then the terms that weigh the two sides against each other
// (king attack, open files, bishop pair, material lead) and the rules for
// leads that are hard to convert.
#include "eval/endgame.h"

#include <cstdlib>

#include "eval/driver_tables.h"
#include "eval/endgame_common.h"
#include "eval/endgame_tables.h"
#include "eval/recogniser.h"
#include "eval/terms.h"

namespace {

// A lead of this size or more is worth questioning when it cannot be
// converted.
constexpr int ConvertibleLead = 31;

void ResetFiles(TEvalState& e) {
  e.OpenFileRook1[Light] = e.OpenFileRook2[Light] = e.HalfOpenFileRook1[Light] = e.HalfOpenFileRook2[Light] = 0;
  e.OpenFileRook1[Dark] = e.OpenFileRook2[Dark] = e.HalfOpenFileRook1[Dark] = e.HalfOpenFileRook2[Dark] = 0;
  e.MinorOutpostFiles[Light] = e.MinorOutpostFiles[Dark] = 0;
}

// The side's attack on the enemy king, unless the enemy's passers outweigh
// it: against a king on the edge a flat 50.
template <TSide Us>
void KingAttack(const TSearchBoard& board, TEvalState& e) {
  constexpr TSide Them = Opponent(Us);
  const int tropism = e.Tropism[Us];
  const int net = tropism - e.PasserDanger[Them];
  if (net < 15 || net > 10000) return;
  e.Score[Us] += OnBoardEdge(board.KingSquare(Them)) ? 50 : tropism;
}

// Rooks on open files, unless an enemy or own minor piece guards the file
// from an outpost.
template <TSide Us>
void OpenFileRooks(const TSearchBoard& board, TEvalState& e) {
  const int rooks = board.MenCount[Us][Rook];
  if (rooks != 1 && rooks != 2) return;
  const TSquareSet outpostFiles = e.MinorOutpostFiles[Light] | e.MinorOutpostFiles[Dark];
  const TSideFields f = FieldsOf<Us>(e);
  for (const int openFile : {f.OpenFileRook1, f.OpenFileRook2})
    if (openFile != 0) e.Score[Us] += InSet(outpostFiles, openFile) ? 10 : RookOpenFileBonus[openFile - 1];
}

template <TSide Us>
void BishopPair(const TSearchBoard& board, TEvalState& e) {
  constexpr TSide Them = Opponent(Us);
  if (board.MenCount[Us][Bishop] < 2 || FieldsOf<Us>(e).BadBishops != 0) return;
  const int enemyDanger = e.PasserDanger[Them];
  if (enemyDanger == 0) e.Score[Us] += BishopPairBonus[1];
  else if (e.PasserDanger[Us] >= 1) e.Score[Us] += BishopPairBonus[enemyDanger < 30 ? 1 : 0];
}

// The bonus for a material lead of `Us`, halved where the extra material
// hardly wins, withheld where the enemy's escorted passers counter it.
template <TSide Us>
void MaterialLead(const TSearchBoard& board, TEvalState& e, bool enemyEscort) {
  constexpr TSide Them = Opponent(Us);
  const int enemyDanger = e.PasserDanger[Them];
  if (enemyDanger >= 40 && enemyEscort) return;
  const int material = FieldsOf<Us>(e).Material, enemyMaterial = FieldsOf<Us>(e).EnemyMaterial;
  const int lead = (material - enemyMaterial) / MaterialStep;
  const int pieces = e.NonPawnMen[Us], enemyPieces = e.NonPawnMen[Them];
  const auto& own = board.MenCount[Us];
  const auto& enemy = board.MenCount[Them];
  const int full = EndgameEdgeBonus[lead < 2 && pieces <= enemyPieces ? 0 : 1][LeadIndex(lead)];
  const int half = full / 2;

  if (enemy[Rook] + enemy[Queen] > 0 && own[Rook] + own[Queen] == 0) {
    if (own[Bishop] >= 2) e.Score[Us] += half;
    return;
  }
  const bool noQueens = own[Queen] + enemy[Queen] == 0;
  if (lead == 1 && pieces > enemyPieces && noQueens && enemy[Rook] == 2 && own[Rook] == 1 && enemy[Bishop] < 2) {
    e.Score[Us] += half;
    return;
  }
  if (lead == 1 && pieces == enemyPieces && enemy[Knight] == 0) {
    e.Score[Us] += half;
    return;
  }
  if (lead == 1 && pieces <= enemyPieces && enemyDanger != 0 && enemyEscort) return;
  e.Score[Us] += full;
}

// Leads that are hard to convert: pawns on one wing without passers, a
// single minor piece with few pawns, rook endings without a passer.
void UnconvertibleLead(const TSearchBoard& board, TEvalState& e, const bool escort[2]) {
  const TSide leader = e.Score[Light] > e.Score[Dark] ? Light : Dark;
  const TSide other = Opponent(leader);
  const bool anyPasser = e.PasserIndex[Light] + e.PasserIndex[Dark] > 2;
  const bool onePieceEach = e.NonPawnMen[Light] == 2 && e.NonPawnMen[Dark] == 2;
  const int pawns = board.MenCount[Light][Pawn] + board.MenCount[Dark][Pawn];
  if (PawnsOnOneWing(e)) {
    if (!anyPasser && !escort[leader]) e.Score[leader] -= 30;
    if (!onePieceEach) return;
    const bool minor = board.MenCount[leader][Knight] + board.MenCount[leader][Bishop] > 0;
    if (!minor && board.MenCount[leader][Pawn] == board.MenCount[other][Pawn] + 1 && !anyPasser) e.Score[leader] -= 30;
    if (minor && (pawns == 1 || (!anyPasser && pawns < 4))) e.Score[leader] -= 30;
    return;
  }
  const bool rooksOnly = onePieceEach && board.MenCount[Light][Rook] == 1 && board.MenCount[Dark][Rook] == 1;
  const int leaderPassers = e.PasserIndex[leader] - 1;
  if (rooksOnly && leaderPassers == 0) e.Score[leader] -= 20;
}

}  // namespace

int EvaluateEndgame(const TSearchBoard& board, TEvalState& e) {
  const int code = RecogniseEndgame(board, e);
  switch (code) {
    case DeadDraw: return 0;
    case KingsOnly: return KingCentreDifference(board);
    case TotalsFinal:
    case PawnEndingDone: return e.Score[board.Side] - e.Score[board.XSide];
    case NoSpecialEnding:
    case LightCannotWin:
    case DarkCannotWin: break;
    default: e.Score[e.EndgameColor] += code;
  }

  ResetFiles(e);
  e.Score[Light] += e.PasserDanger[Light] + e.PawnAttackScore[Light];
  e.Score[Dark] += e.PasserDanger[Dark] + e.PawnAttackScore[Dark];
  e.Tropism[Light] = e.Tropism[Dark] = 0;
  const bool escort[2] = {EvaluateEndgamePieces<Light>(board, e), EvaluateEndgamePieces<Dark>(board, e)};

  KingAttack<Light>(board, e);
  KingAttack<Dark>(board, e);
  OpenFileRooks<Light>(board, e);
  OpenFileRooks<Dark>(board, e);
  BishopPair<Light>(board, e);
  BishopPair<Dark>(board, e);
  if (code == NoSpecialEnding) {
    if (e.Material[Light] > e.Material[Dark]) MaterialLead<Light>(board, e, escort[Dark]);
    if (e.Material[Dark] > e.Material[Light]) MaterialLead<Dark>(board, e, escort[Light]);
  }
  if ((e.Material[Light] == e.Material[Dark] || code != NoSpecialEnding) &&
      std::abs(e.Score[Light] - e.Score[Dark]) >= ConvertibleLead)
    UnconvertibleLead(board, e, escort);

  const int result = e.Score[board.Side] - e.Score[board.XSide];
  // A side that cannot win keeps no more than the kings' difference.
  const auto ahead = [&](TSide side) { return board.Side == side ? result >= 1 : result < 0; };
  if ((code == LightCannotWin && ahead(Light)) || (code == DarkCannotWin && ahead(Dark)))
    return KingCentreDifference(board);
  return result;
}

#include "eval/pawns.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "board/geometry.h"
#include "eval/pawn_tables.h"
#include "eval/side_view.h"

namespace {

// --- Per-node preparation ----------------------------------------------------

template <TSide Us>
void AppendPasser(TEvalState& e, int square) {
  std::int32_t& index = e.PasserIndex[Us];
  e.Passers[Us][index - 1] = square;
  ++index;
}

void ResetPawnStorm(TEvalState& e) {
  for (auto& side : e.KingAttackByKind) std::fill(std::begin(side), std::end(side), 0);
}

// Square sets derived once from the tables: the king's wing, and by king
// square the squares from which a pawn counts as near that king.
struct TPawnSets {
  TSquareSet kingWing = 0;
  TSquareSet nearKing[64] = {};
  TPawnSets() {
    for (int s = 0; s < 64; ++s) {
      if (WingOfSquare[s] == KingWing) kingWing |= SquareBit(s);
      for (int king = 0; king < 64; ++king)
        if (PawnNearKing[KingDistance(s, king)] != 0) nearKing[king] |= SquareBit(s);
    }
  }
};
const TPawnSets PawnSets;

constexpr TSquareSet FileA = 0x0101010101010101;

// The squares a side's pawns capture on toward the a-file and toward the h-file.
template <TSide Us>
constexpr TSquareSet CapturesTowardA(TSquareSet pawns) {
  return Us == Light ? (pawns & ~FileA) >> 9 : (pawns & ~FileA) << 7;
}
template <TSide Us>
constexpr TSquareSet CapturesTowardH(TSquareSet pawns) {
  constexpr TSquareSet FileH = FileA << 7;
  return Us == Light ? (pawns & ~FileH) >> 7 : (pawns & ~FileH) << 9;
}

// The row0 of the rearmost pawn of each file: White's nearest the first rank
// (0 on a file without one), Black's nearest the eighth (7 without).
template <TSide Us>
void RearmostPawns(TEvalState& e, TSquareSet pawns) {
  std::int32_t* rear = e.RearPawnRow[Us];
  rear[0] = rear[9] = Us == Light ? 0 : 7;
  for (int f = 1; f <= 8; ++f) {
    const TSquareSet onFile = pawns & (FileA << (f - 1));
    if (Us == Light) rear[f] = onFile ? (63 - std::countl_zero(onFile)) >> 3 : 0;
    else rear[f] = onFile ? std::countr_zero(onFile) >> 3 : 7;
  }
}

// The storm term of the first pawn, in list order, near the enemy king.
template <TSide Us>
void PawnNearEnemyKing(const TSearchBoard& board, TEvalState& e, TSquareSet pawns) {
  const int enemyKing = board.KingSquare(Opponent(Us));
  const TSquareSet near = PawnSets.nearKing[enemyKing];
  if ((pawns & near) == 0) return;
  const TPieceEntry* list = board.PieceLists[Us].Men;
  for (std::uint32_t rest = board.PawnIndices(Us); rest != 0; rest &= rest - 1) {
    const int s = list[std::countr_zero(rest)].Square;
    if (InSet(near, s)) {
      e.KingAttackByKind[Us][0] = PawnNearKing[KingDistance(s, enemyKing)];
      return;
    }
  }
}

// The side's pawn facts of this node: files, attacked squares, attacks on
// enemy men, the pawn storm (middlegame), and on a miss the wing counts, on a
// hit the passer list rebuilt in list order from the entry's passer squares.
template <TSide Us, bool Middlegame, bool Hit>
void ScanPawns(const TSearchBoard& board, TEvalState& e, TPasserSquares passers) {
  constexpr TSide Them = Opponent(Us);
  const TSquareSet pawns = board.PawnSquares[Us];
  const TSquareSet towardA = CapturesTowardA<Us>(pawns), towardH = CapturesTowardH<Us>(pawns);
  e.PawnAttacks[Us] = towardA | towardH;
  RearmostPawns<Us>(e, pawns);
  if constexpr (Hit) {
    if ((passers & pawns) != 0)
      board.ForEachPawn(Us, [&](const int s) {
        if (InSet(passers, s)) AppendPasser<Us>(e, s);
      });
  } else {
    e.KingWingPawns += CountSquares(pawns & PawnSets.kingWing);
    e.QueenWingPawns += CountSquares(pawns & ~PawnSets.kingWing);
  }
  if constexpr (Middlegame) PawnNearEnemyKing<Us>(board, e, pawns);

  // Enemy pawns are worth nothing to attack: only the other men count, once
  // per pawn attacking them.
  std::int32_t& attacks = e.PawnAttackScore[Us];
  const TSquareSet enemyPieces = board.MenSquares[Them] & ~board.PawnSquares[Them];
  ForEachSquare(towardA & enemyPieces, [&](const int s) { attacks += PawnAttack[board.Piece[s]]; });
  ForEachSquare(towardH & enemyPieces, [&](const int s) { attacks += PawnAttack[board.Piece[s]]; });
}

template <bool Middlegame, bool Hit>
void PreparePawns(const TSearchBoard& board, TEvalState& e, TPasserSquares passers) {
  if constexpr (Middlegame) ResetPawnStorm(e);
  if constexpr (Hit) {
    e.PasserIndex[Light] = e.PasserIndex[Dark] = 1;
  } else {
    e.KingWingPawns = e.QueenWingPawns = 0;
  }
  ScanPawns<Light, Middlegame, Hit>(board, e, passers);
  ScanPawns<Dark, Middlegame, Hit>(board, e, passers);
}

// --- Structure scores (cached) -------------------------------------------------

void SetPionsFlag(TEvalState& e, TPawnFlagByte byte, int fileNumber) {
  e.PawnFlags |= 1u << (8 * byte + 8 - fileNumber);
}

// Bonus of a passer for a friendly pawn protecting it or standing beside it.
// A file is clear from row0 x when no enemy pawn stands on it from x on
// toward our promotion.
template <TSide Us>
int ConnectedPasserBonus(const TSideView<Us>& v, int rs, TPawnPhase phase) {
  const int r = rs / 8, f = file(rs);
  const auto clear = [&](int fileNumber, int from) { return v.EnemyRear(fileNumber) >= from; };
  if (f == 1) {
    if (!v.Own(rs + 9, Pawn)) return 0;
    return Protected[r] + (clear(2, r + 1) && clear(3, r + 1) ? ProtectorPassed[r] : 0);
  }
  if (f == 8) {
    if (v.Own(rs + 7, Pawn)) return Protected[r] + (clear(7, r + 1) && clear(6, r + 1) ? ProtectorPassed[r] : 0);
    return v.Own(rs - 1, Pawn) && clear(6, r) ? DuoPassed[phase][r] : 0;
  }
  int bonus = 0;
  if (v.Own(rs + 7, Pawn)) {
    bonus = Protected[r];
    if (clear(f - 1, r + 1) && clear(f - 2, r + 1)) return bonus + ProtectorPassed[r];
  } else if (v.Own(rs + 9, Pawn)) {
    bonus = Protected[r];
    if (clear(f + 1, r + 1) && clear(f + 2, r + 1)) return bonus + ProtectorPassed[r];
  }
  if (v.Own(rs - 1, Pawn) && clear(f - 2, r)) bonus += DuoPassed[phase][r];
  return bonus;
}

template <TSide Us>
int PawnScore(const TSideView<Us>& v, TEvalState& e, int s, TPawnPhase phase) {
  constexpr TPawnFlagByte DoubledByte = Us == Light ? LightDoubled : DarkDoubled;
  constexpr TPawnFlagByte PassedByte = Us == Light ? LightPassed : DarkPassed;
  const int rs = RelativeSquare<Us>(s), r = rs / 8, f = file(rs);
  const bool enemyOnFile = v.EnemyPawnOn(f);
  const bool rearmost = v.OwnRear(f) == r;
  int score = 0;

  if (DuoBonus[rs] && v.Own(rs + 1, Pawn)) score += DuoBonus[rs];

  const bool doubled = v.OwnRear(f) > r;
  if (doubled) {
    score -= Doubled[phase][rs];
    SetPionsFlag(e, DoubledByte, f);
  }

  const int left = v.OwnRear(f - 1), right = v.OwnRear(f + 1);
  if (left > 0 || right > 0) {
    // Backward: every neighbour pawn is further up (an empty neighbour file
    // counts as further up). Twice as bad low down on a file where no enemy
    // pawn stands to be exchanged.
    if (left < r && right < r) {
      const int weight = r >= 4 && !enemyOnFile && rearmost ? 2 : 1;
      score -= weight * Backward[phase][rs];
    }
  } else if (!enemyOnFile) {
    score -= IsolatedOpen[phase][rs] + (doubled ? 10 : 0);
  } else {
    score -= Isolated[phase][rs];
  }

  if (BlockedCentre[rs] && v.Enemy(rs - 8, Pawn)) score -= BlockedCentre[rs];

  if (v.EnemyRear(f - 1) >= r && v.EnemyRear(f) >= r && v.EnemyRear(f + 1) >= r) {
    const int bonus = ConnectedPasserBonus(v, rs, phase);
    const bool pawnInFront = v.Own(rs - 8, Pawn);
    bool strong = !pawnInFront;
    if (phase == PawnMG && bonus == 0) {
      // A lone middlegame passer counts fully only when it is far up, leads
      // its file and has no enemy pawn left on the file at all.
      const bool farEnough = r == 1 || (rearmost && r <= 3);
      const bool fileAlreadyPassed = PawnFlag(e.PawnFlags, PassedByte, f);
      strong = strong && !enemyOnFile && farEnough && !(fileAlreadyPassed && rearmost);
    }
    score += strong ? PassedFull[phase][rs] + bonus : PassedReduced[phase][rs];
    SetPionsFlag(e, PassedByte, f);
    e.PasserSet |= SquareBit(s);
    AppendPasser<Us>(e, s);
  }

  return score + PawnSquare[rs];
}

template <TSide Us>
std::int32_t PawnTotal(const TSearchBoard& board, TEvalState& e, TPawnPhase phase) {
  const TSideView<Us> v{board, e};
  std::int32_t total = 0;
  board.ForEachPawn(Us, [&](const int s) { total += 100 + PawnScore(v, e, s, phase); });
  return total;
}

// --- Passed pawns against the pieces ----------------------------------------------

template <TSide Us>
int PasserCount(const TEvalState& e) {
  return e.PasserIndex[Us] - 1;
}

template <TSide Us>
std::int32_t& PassedDanger(TEvalState& e) {
  return e.PasserDanger[Us];
}

// An enemy piece on `front` (relative) of a kind and square the table marks.
template <TSide Us>
bool Blockaded(const TSideView<Us>& v, int front, const TSquareSet (&blockade)[6]) {
  return v.IsEnemy(front) && InSet(blockade[v.Kind(front)], front);
}

template <TSide Us>
bool EnemyKingInFront(const TSideView<Us>& v, int rs) {
  const int king = v.EnemyKing();
  return row(king) < row(rs) && std::abs(file(king) - file(rs)) <= 1;
}

template <TSide Us>
void PassersMiddlegame(const TSearchBoard& board, TEvalState& e) {
  const TSideView<Us> v{board, e};
  const int king = v.EnemyKing();
  for (int i = 0; i < PasserCount<Us>(e); ++i) {
    const int rs = RelativeSquare<Us>(e.Passers[Us][i]);
    const int front = rs - 8;
    if (Blockaded(v, front, BlockadeMG) || EnemyKingInFront(v, rs)) {
      e.Score[Us] -= PassedReduced[PawnMG][rs];
      continue;
    }
    if (row(king) == row(rs) && std::abs(file(king) - file(rs)) == 1) continue;
    const int r = rs / 8;
    if ((r == 1 && !v.IsEnemy(front)) || (r == 2 && !v.IsEnemy(front) && !v.IsEnemy(front - 8)))
      PassedDanger<Us>(e) += PassedRunMG[rs];
  }
}

// Does an enemy piece other than a pawn attack `target` (relative)? Lines
// are seen through the passer's own square `passer`.
template <TSide Us>
bool PromotionSquareAttacked(const TSearchBoard& board, int passer, int target) {
  constexpr TSide Them = Opponent(Us);
  const int to = RelativeSquare<Us>(target), through = RelativeSquare<Us>(passer);
  const TPieceEntry* list = board.PieceLists[Them].Men;
  for (std::uint32_t i = 1; i <= board.MaxIndex(Them); ++i) {
    if (!list[i].Active) continue;
    const int from = list[i].Square;
    const int kind = board.Piece[from];
    if (kind == Pawn || !AttackTable(Them, kind, from, to)) continue;
    if (!Slide[kind]) return true;
    const int step = Offset[Queen][DirIndex(to, from)];
    int square = Step(to, step);
    while (square != from && (board.Color[square] == bsEmpty || square == through)) square = Step(square, step);
    if (square == from) return true;
  }
  return false;
}

// The endgame race of a passer against enemy pieces: blockades, the enemy
// king in front, and the run bonus by rank.
template <TSide Us>
void PasserRaceEndgame(const TSideView<Us>& v, TEvalState& e, int rs) {
  const int ownPieces = e.NonPawnMen[Us];
  const int enemyPieces = e.NonPawnMen[Opponent(Us)];
  const bool knightsOnly = e.NonPawnMen[Light] == 2 && e.NonPawnMen[Dark] == 2 &&
                           v.board.MenCount[Light][Knight] == 1 && v.board.MenCount[Dark][Knight] == 1;
  const int r = rs / 8, f = file(rs), front = rs - 8;

  if (Blockaded(v, front, BlockadeEG) && !knightsOnly) {
    e.Score[Us] -= PassedReduced[PawnEG][rs];
    return;
  }
  if (EnemyKingInFront(v, rs)) {
    if (r >= 2) {
      e.Score[Us] -= KingInFront[r];
      return;
    }
    if (ownPieces < 3) {
      e.Score[Us] -= 40;
      return;
    }
  }

  // A lone enemy knight has trouble with a rook pawn.
  const bool knightEdge = enemyPieces == 2 && v.EnemyCount(Knight) == 1 && (f == 1 || f == 8);
  std::int32_t& danger = PassedDanger<Us>(e);
  if (r == 1) {
    const int k = !v.IsEnemy(front) || knightEdge ? 1 : 0;
    danger += PassedRunEG[k][rs];
    if (v.Empty(front) && !PromotionSquareAttacked<Us>(v.board, rs, front)) danger += 30;
  } else if (r == 2) {
    const int k = (!v.IsEnemy(front) && !v.IsEnemy(front - 8)) || knightEdge ? 1 : 0;
    danger += PassedRunEG[k][rs];
  } else if (r == 3) {
    const bool partner = (f > 1 && v.Own(rs - 1, Pawn)) || (f < 8 && v.Own(rs + 1, Pawn));
    const int k = ownPieces == 1 && enemyPieces == 2 && v.EnemyCount(Queen) == 0 && partner ? 1 : 0;
    danger += PassedRunEG[k][rs];
  } else if ((f == 1 || f == 8) && v.EnemyCount(Queen) == 0 && v.EnemyCount(Rook) == 0 && enemyPieces == 2) {
    danger += EdgePasser[rs];
  }
}

template <TSide Us>
void PassersAgainstPieces(const TSearchBoard& board, TEvalState& e) {
  const TSideView<Us> v{board, e};
  const int ownKing = v.OwnKing(), enemyKing = v.EnemyKing();
  const int ownMaterial = e.Material[Us];
  const int enemyMaterial = e.Material[Opponent(Us)];
  const bool pawnCountsClose = std::abs(v.Count(Pawn) - v.EnemyCount(Pawn)) <= 1;
  for (int i = 0; i < PasserCount<Us>(e); ++i) {
    const int rs = RelativeSquare<Us>(e.Passers[Us][i]);
    const int r = rs / 8, f = file(rs);
    PasserRaceEndgame(v, e, rs);

    // The own king escorting a far-advanced passer.
    if (r <= 2 && row(ownKing) <= row(rs) && std::abs(file(ownKing) - f) <= 1) e.Score[Us] += 20;

    // A distant passer drags the enemy king to one wing while our pawns on
    // the other wing go on.
    if (PasserCount<Opponent(Us)>(e) == 0 && ownMaterial >= enemyMaterial && r <= 3 && pawnCountsClose &&
        std::abs(file(enemyKing) - f) > 2) {
      bool otherWing = false;
      for (int g = 1; g <= 8; ++g) otherWing |= std::abs(zone(g) - zone(f)) == 2 && v.OwnPawnOn(g);
      if (otherWing) e.Score[Us] += 30;
    }
  }
}

// Against a bare king: the rule of the square, king escorts and runaway
// pawns; the best unstoppable passer earns a bonus by its row.
template <TSide Us>
void PassersAgainstBareKing(const TSearchBoard& board, TEvalState& e) {
  const TSideView<Us> v{board, e};
  const int ownKing = v.OwnKing(), enemyKing = v.EnemyKing();
  const bool usToMove = board.Side == Us;
  int best = 8;
  for (int i = 0; i < PasserCount<Us>(e); ++i) {
    const int rs = RelativeSquare<Us>(e.Passers[Us][i]);
    const int pawnSteps = row(rs) - 1;
    const int kingSteps = KingDistance(enemyKing, file(rs) - 1);
    const bool outruns = usToMove ? pawnSteps < kingSteps : pawnSteps < kingSteps - 1;
    if (outruns && row(rs) < best) {
      best = row(rs);
      continue;
    }
    if ((row(ownKing) < row(enemyKing) || row(ownKing) == 2) && InSet(EscortSquares[rs], ownKing)) {
      best = std::min(best, row(rs));
      continue;
    }
    const int r = rs / 8;
    if ((r == 1 || r == 2) && row(enemyKing) == row(rs) && std::abs(file(enemyKing) - file(rs)) >= 2) {
      const int besideTowardKing = file(enemyKing) < file(rs) ? rs - 1 : rs + 1;
      if (v.Own(rs + 8, Pawn) || v.Enemy(besideTowardKing, Pawn)) e.Score[Us] += Runaway[r];
    }
  }
  e.Score[Us] += UnstoppableBonus[best];
}

template <TSide Us>
void PassersEndgame(const TSearchBoard& board, TEvalState& e) {
  const int enemyPieces = e.NonPawnMen[Opponent(Us)];
  if (enemyPieces > 1) PassersAgainstPieces<Us>(board, e);
  else PassersAgainstBareKing<Us>(board, e);
}

}  // namespace

void PreparePawnsMiss(const TSearchBoard& board, TEvalState& e) {
  if (e.Phase == endgame) PreparePawns<false, false>(board, e, 0);
  else PreparePawns<true, false>(board, e, 0);
}

void PreparePawnsHit(const TSearchBoard& board, TEvalState& e, TPasserSquares passers) {
  if (e.Phase == endgame) PreparePawns<false, true>(board, e, passers);
  else PreparePawns<true, true>(board, e, passers);
}

TSidePair ScorePawns(const TSearchBoard& board, TEvalState& e) {
  e.PasserSet = 0;
  e.PasserIndex[Light] = e.PasserIndex[Dark] = 1;
  e.PawnFlags = 0;
  const TPawnPhase phase = PawnPhaseOf(e.Phase);
  // All White pawns first, then all Black pawns.
  const std::int32_t light = PawnTotal<Light>(board, e, phase);
  return {light, PawnTotal<Dark>(board, e, phase)};
}

void ScorePassedPawns(const TSearchBoard& board, TEvalState& e) {
  e.PasserDanger[Light] = e.PasserDanger[Dark] = 0;
  if (e.Phase == endgame) {
    PassersEndgame<Light>(board, e);
    PassersEndgame<Dark>(board, e);
  } else {
    PassersMiddlegame<Light>(board, e);
    PassersMiddlegame<Dark>(board, e);
  }
}

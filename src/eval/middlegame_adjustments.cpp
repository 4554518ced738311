#include "eval/middlegame_adjustments.h"

#include <cstdlib>

#include "board/square_names.h"
#include "eval/driver_tables.h"
#include "eval/terms.h"

namespace {

// A rook on an open file where a minor piece of either side holds an outpost.
constexpr int OutpostFileRookBonus = 10;

// One side's view of the fields the adjustments read, with the enemy's twins.
template <TSide Us>
struct TDriverSide {
  TEvalState& e;

  std::int32_t& Score() { return e.Score[Us]; }
  std::int32_t& Tropism() { return e.Tropism[Us]; }
  std::int32_t EnemyTropism() const { return e.Tropism[Opponent(Us)]; }
  std::int32_t Material() const { return e.Material[Us]; }
  std::int32_t EnemyMaterial() const { return e.Material[Opponent(Us)]; }
  std::int32_t Pieces() const { return e.NonPawnMen[Us]; }
  std::int32_t EnemyPieces() const { return e.NonPawnMen[Opponent(Us)]; }
  // Material lead in steps of 15; 0 when not ahead.
  int Lead() const { return Material() > EnemyMaterial() ? (Material() - EnemyMaterial()) / MaterialStep : 0; }
  int EnemyLead() const { return EnemyMaterial() > Material() ? (EnemyMaterial() - Material()) / MaterialStep : 0; }
  std::int32_t KingSafety() const { return e.KingSafety[Us]; }
  std::int32_t EnemyKingSafety() const { return e.KingSafety[Opponent(Us)]; }
  bool QueenNearKing() const { return e.QueenNearKing[Us]; }
  bool EnemyQueenNearKing() const { return e.QueenNearKing[Opponent(Us)]; }
  std::int32_t EnemyPassedDanger() const { return e.PasserDanger[Opponent(Us)]; }
  std::int32_t BadBishops() const { return e.BadBishops[Us]; }
  TSquareSet MinorOutposts() const { return e.MinorOutpostFiles[Us]; }
  TSquareSet EnemyMinorOutposts() const { return e.MinorOutpostFiles[Opponent(Us)]; }
  std::int32_t QueenFile() const { return e.QueenFile[Us]; }
  std::int32_t EnemyQueenFile() const { return e.QueenFile[Opponent(Us)]; }
  std::int32_t OpenFile(int n) const { return n == 1 ? e.OpenFileRook1[Us] : e.OpenFileRook2[Us]; }
  std::int32_t HalfOpenFile(int n) const { return n == 1 ? e.HalfOpenFileRook1[Us] : e.HalfOpenFileRook2[Us]; }
};

// The attack total grows with the attackers and the defender's material lead:
// a weak attack without the queen counts for nothing, a strong one with the
// queen up to 200 more.
template <TSide Us>
TAttackFacts ShapeAttack(const TSearchBoard& board, TEvalState& e) {
  TDriverSide<Us> d{e};
  const std::int32_t(&entries)[5] = e.KingAttackByKind[Us];
  TAttackFacts facts;
  facts.pawnStorm = entries[0] != 0;
  facts.attackers = (entries[Knight] != 0) + (entries[Rook] != 0) + (entries[Queen] != 0) + e.BishopTropismCount[Us];

  int t = entries[0] + entries[1] + entries[2] + entries[3] + entries[4];
  const int q = entries[Queen], r = entries[Rook];
  const int lead = d.EnemyLead();  // the defender's material lead
  const int a = AttackCompensation[LeadIndex(lead)];
  const bool hasQueen = board.MenCount[Us][Queen] > 0;
  const bool notBehind = d.Material() >= d.EnemyMaterial();

  if (t < 30 && facts.attackers >= 3 && d.EnemyMaterial() >= d.Material() && hasQueen) t += 5;
  if (d.Material() < 135 && !hasQueen) {
    t = 0;
  } else if (hasQueen) {
    if (t >= 0 && t <= 5) {
      if (r == 0) t = 0;
    } else if (t >= 20 && t <= 24) {
      if (q >= 6 && notBehind && !(r < 1 && facts.attackers < 3)) t += 50;
    } else if (t >= 25 && t <= 29) {
      t += (q > 5 && notBehind) || lead >= 1 ? a + 50 : 25;
    } else if (t >= 30 && t <= 34) {
      const bool small = q >= 6 ? d.Material() < d.EnemyMaterial() && lead < 1 : lead < 1;
      t += small ? 50 : a + 100;
    } else if (t >= 35 && t <= 39) {
      const bool small = q >= 6 ? d.Material() < d.EnemyMaterial() && lead < 1 : lead < 1;
      t += small ? 100 : a + 150;
    } else if (t >= 40) {
      t += (q > 5 && notBehind) || lead > 0 ? a + 200 : 150;
    }
  } else {
    if (t >= 0 && t <= 19) t = 0;
    else if (t >= 25 && t <= 29) t += 50;
    else if (t >= 30 && t <= 34) t += lead < 1 ? 100 : a + 100;
    else if (t >= 35 && t <= 40) t += lead >= 1 ? a + 150 : 150;
    else if (t >= 41) t += 200;
  }
  d.Tropism() = t;
  return facts;
}

// A weak attack is dropped, or, with the queen close to a shaky king, counted twice.
template <TSide Us>
void WeakAttack(TEvalState& e, const TAttackFacts& facts) {
  TDriverSide<Us> d{e};
  if (d.Tropism() >= 25 || facts.attackers >= 2) return;
  if (e.KingAttackByKind[Us][Rook] <= 0 && e.KingAttackByKind[Us][Queen] < 6) d.Tropism() = 0;
  else if (d.QueenNearKing() && d.EnemyKingSafety() < -40) d.Score() += d.Tropism();
}

// A queen is worth a little more than two rooks in an equal position.
template <TSide Us>
bool QueenAgainstRooks(const TSearchBoard& board, TEvalState& e) {
  constexpr TSide Them = Opponent(Us);
  TDriverSide<Us> d{e};
  if (d.EnemyTropism() != 0 || board.MenCount[Us][Queen] != 1 || board.MenCount[Them][Queen] != 0 ||
      board.MenCount[Them][Rook] != 2)
    return false;
  d.Score() += 20;
  return true;
}

template <TSide Us>
void RookFiles(const TSearchBoard& board, TEvalState& e) {
  TDriverSide<Us> d{e};
  const int rooks = board.MenCount[Us][Rook];
  const TSquareSet outposts = d.MinorOutposts() | d.EnemyMinorOutposts();
  if (rooks == 1 || rooks == 2) {
    for (int n = 1; n <= rooks; ++n) {
      const int f = d.OpenFile(n);
      if (f == 0) continue;
      d.Score() += InSet(outposts, f) ? OutpostFileRookBonus : RookOpenFileBonus[f - 1];
      if (f == d.EnemyQueenFile()) d.Score() += 15;
    }
  }
  for (int n = 1; n <= 2; ++n) {
    const int f = d.HalfOpenFile(n);
    if (f == 0 || InSet(d.EnemyMinorOutposts(), f)) continue;
    d.Score() += 5;
    if (f == d.EnemyQueenFile()) d.Score() += 7;
  }
}

// A side a pawn down with enough play for it gets the pawn back.
template <TSide Us>
void PawnCompensation(const TSearchBoard& board, TEvalState& e, const TSidePair& base) {
  constexpr TSide Them = Opponent(Us);
  TDriverSide<Us> d{e};
  if (board.MenCount[Us][Pawn] >= board.MenCount[Them][Pawn]) return;
  if (d.Material() > d.EnemyMaterial() || d.Material() < 135) return;
  const int gain = (e.Score[Us] - base[Us]) - (e.Score[Them] - base[Them]);
  if (gain - d.EnemyTropism() >= 80) d.Score() += 80;
}

// An attacker whose own king is tucked away and faces no counter-attack.
template <TSide Us>
bool SafeAttacker(const TSearchBoard& board, TEvalState& e, const TAttackFacts& enemy) {
  TDriverSide<Us> d{e};
  if (d.Tropism() < 1 || enemy.pawnStorm || enemy.attackers != 0 || d.Material() < 160 ||
      d.Material() >= d.EnemyMaterial() || d.EnemyPassedDanger() != 0)
    return false;
  const int king = RelativeSquare<Us>(board.KingSquare(Us));
  const bool tucked =
      king == sq::a2 || king == sq::h2 || king == sq::a1 || king == sq::b1 || king == sq::g1 || king == sq::h1;
  if (!tucked || d.EnemyKingSafety() >= -40) return false;
  d.Score() += 30;
  return true;
}

// Half of a sheltered king's penalty comes back when the enemy has no attack.
template <TSide Us>
void ShelteredKingRelief(const TSearchBoard& board, TEvalState& e, bool centreClosed) {
  TDriverSide<Us> d{e};
  const int evalKing = d.KingSafety();
  if (evalKing >= 0 || d.EnemyTropism() != 0 || d.Tropism() <= 0) return;
  const bool secondRank = row(RelativeSquare<Us>(board.KingSquare(Us))) == 7;
  if (centreClosed || (evalKing >= -49 && secondRank)) d.Score() -= evalKing / 2;
}

// In a closed centre the queen may stay near its own king while the enemy
// king sits on a wing.
template <TSide Us>
void QueenNearOwnKing(const TSearchBoard& board, TEvalState& e, const TAttackFacts& enemy) {
  constexpr TSide Them = Opponent(Us);
  TDriverSide<Us> d{e};
  if (enemy.attackers != 0 || board.MenCount[Us][Queen] < 1) return;
  const int ownKingFile = file(board.KingSquare(Us)), enemyKingFile = file(board.KingSquare(Them));
  if (std::abs(zone(d.QueenFile()) - zone(ownKingFile)) > 1 || enemyKingFile == 4 || enemyKingFile == 5) return;
  d.Score() += 20;
  if (board.MenCount[Them][Queen] == 1 && std::abs(zone(d.EnemyQueenFile()) - zone(enemyKingFile)) > 1) d.Score() += 20;
}

template <TSide Us>
void BishopPair(const TSearchBoard& board, TEvalState& e) {
  TDriverSide<Us> d{e};
  const int bad = d.BadBishops();
  if (board.MenCount[Us][Bishop] < 2) return;
  if (!(bad == 0 || (bad < 2 && d.Material() < 151))) return;
  if (d.Material() < d.EnemyMaterial() || d.KingSafety() - d.EnemyTropism() < -89) return;
  const int k = bad == 0 && d.EnemyPassedDanger() < 30 && d.EnemyTropism() < 25 ? 1 : 0;
  d.Score() += BishopPairBonus[k];
}

template <TSide Us>
void MaterialLead(TEvalState& e, const TAttackFacts& enemy) {
  TDriverSide<Us> d{e};
  if (d.Material() <= d.EnemyMaterial() || d.KingSafety() - d.EnemyTropism() <= -90) return;
  if (d.EnemyQueenNearKing() && (enemy.attackers > 1 || d.KingSafety() < -40)) return;
  if (d.EnemyPassedDanger() >= 40) return;
  const int lead = d.Lead();
  if (lead < 2 && d.Pieces() <= d.EnemyPieces()) {
    if (lead == 1 && d.EnemyMaterial() <= 120) d.Score() += MaterialEdgeBonus[0][lead];
  } else {
    d.Score() += MaterialEdgeBonus[1][LeadIndex(lead)];
  }
}

// With every pawn on one wing and no passer, a lead is hard to convert.
void OneWing(TEvalState& e) {
  if ((e.KingWingPawns != 0 && e.QueenWingPawns != 0) || e.PasserIndex[Light] + e.PasserIndex[Dark] != 2) return;
  const int balance = e.Score[Light] - e.Score[Dark];
  if (std::abs(balance) <= 30) return;
  if (balance > 0 && e.Tropism[Light] == 0) e.Score[Light] -= 30;
  if (balance < 0 && e.Tropism[Dark] == 0) e.Score[Dark] -= 30;
}

}  // namespace

TAttackFacts ShapeKingAttack(const TSearchBoard& board, TEvalState& e, TSide side) {
  return side == Light ? ShapeAttack<Light>(board, e) : ShapeAttack<Dark>(board, e);
}

void AdjustMiddlegame(const TSearchBoard& board, TEvalState& e, const TSidePair& base, const TAttackFacts& light,
                      const TAttackFacts& dark) {
  WeakAttack<Light>(e, light);
  WeakAttack<Dark>(e, dark);
  e.Score[Light] += e.Tropism[Light];
  e.Score[Dark] += e.Tropism[Dark];

  if (e.Material[Light] == e.Material[Dark] && !QueenAgainstRooks<Light>(board, e)) QueenAgainstRooks<Dark>(board, e);
  RookFiles<Light>(board, e);
  RookFiles<Dark>(board, e);
  PawnCompensation<Light>(board, e, base);
  PawnCompensation<Dark>(board, e, base);
  if (!SafeAttacker<Light>(board, e, dark)) SafeAttacker<Dark>(board, e, light);

  const bool closed = CentreClosed(board);
  ShelteredKingRelief<Light>(board, e, closed);
  ShelteredKingRelief<Dark>(board, e, closed);
  if (closed) {
    QueenNearOwnKing<Light>(board, e, dark);
    QueenNearOwnKing<Dark>(board, e, light);
  }
  // No bonus for a bishop aimed at a weakened fianchetto: the piece terms
  // never raise BishopAttacksFianchetto.
  BishopPair<Light>(board, e);
  BishopPair<Dark>(board, e);
  MaterialLead<Light>(e, dark);
  MaterialLead<Dark>(e, light);
  OneWing(e);
}

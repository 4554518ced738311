#include "eval/line_tropism.h"

#include <bit>

#include "board/geometry.h"

namespace {

struct TTarget {
  int king;
  TSquareSet zone;
  bool aligned;  // the piece and the king share a line of the piece's kind
};

// One ray from s toward the zone. Adds 5 to `amount` per zone square
// counted; true when the ray gets through to the king.
template <TSide Us>
bool WalkLine(const TSideView<Us>& v, TPiece kind, int s, int dir, const TTarget& target, int& amount) {
  const auto [king, zone, aligned] = target;
  int met = 0;
  bool through = false;  // looking through one loose enemy pawn
  bool entered = false;
  for (const int q : RayFrom(s, dir)) {
    const bool inZone = InSet(zone, q);
    // A line crosses the compact zone once: past it nothing more counts.
    if (entered && !inZone) return false;
    entered |= inZone;
    if (v.Empty(q)) {
      if (!inZone) continue;
      if (met > 0 || through) {
        if (!through) amount += 5;
        return aligned;
      }
      amount += 5;
      if (kind == Rook) ++met;  // a rook counts at most two empty zone squares
      continue;
    }
    if (v.Kind(q) == Pawn) {
      if (through) return false;
      if (inZone) return true;
      if (met > 0 || v.IsOwn(q) || v.EnemyPawnAttacks(q) || !aligned) return false;
      through = true;
      continue;
    }
    if (through) return q == king;
    if (inZone) {
      amount += 5;
      if (aligned) return true;
      if (v.IsEnemy(q)) return false;
    }
    ++met;
    if (kind == Bishop ? met > 2 || (met > 1 && !aligned) : met > 1) return false;
  }
  return false;
}

}  // namespace

template <TSide Us>
int LineTropismAlong(const TSideView<Us>& v, TPiece kind, int s, TDirections lines) {
  const int king = v.EnemyKing();
  const TTarget target{king, KingZone(king), AttackTable(Light, kind, s, king)};
  int amount = 0;
  for (unsigned rest = lines; rest != 0; rest &= rest - 1)
    if (WalkLine(v, kind, s, Offset[kind][std::countr_zero(rest)], target, amount)) amount += 5;
  return amount;
}

template int LineTropismAlong<Light>(const TSideView<Light>&, TPiece, int, TDirections);
template int LineTropismAlong<Dark>(const TSideView<Dark>&, TPiece, int, TDirections);

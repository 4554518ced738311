#include "eval/king_shelter.h"

#include <bit>

#include "board/geometry.h"

// clang-format off
//                                       p: none  1   2   3   4   5  6  7 | behind the king (8..15)
const TShelterTable ShelterEdge          = {25, 0, 20, 20, 15, 10, 0, 0,  20, 20, 20, 20, 20, 20, 20, 20};
const TShelterTable ShelterKnightFile    = {40, 0, 20, 20, 15, 10, 0, 0,  20, 20, 20, 20, 20, 20, 20, 20};
const TShelterTable ShelterEdgeFar       = {30, 0, 20, 20, 15, 10, 0, 0,  20, 20, 20, 20, 20, 20, 20, 20};
const TShelterTable ShelterKnightFileFar = {40, 0, 20, 20, 20, 10, 0, 0,  20, 20, 20, 20, 20, 20, 20, 20};
const TShelterTable ShelterCentre        = {20, 0, 10, 10,  5,  5, 0, 0,  20, 20, 20, 20, 20, 20, 20, 20};
const TShelterTable ShelterQuiet         = {20, 0, 15, 15, 10,  5, 0, 0,  10, 10, 10, 10, 10, 10, 10, 10};
const TShelterTable ShelterQuietCentre   = {20, 0,  5,  5,  5,  5, 0, 0,  10, 10, 10, 10, 10, 10, 10, 10};

//                                    q: 0  1  2  3   4   5  6  7 (none)
const TStormTable Storm             = {0, 0, 0, 5, 10, 10, 0,  0};
const TStormTable StormFar          = {0, 0, 0, 5, 10, 10, 0, 15};
const TStormTable StormCentreCastle = {0, 0, 0, 0,  0,  0, 0, 10};
const TStormTable StormCentre       = {0, 0, 0, 0,  0,  0, 0, 20};
// clang-format on

namespace {

// The files around a king on the queen's wing (a, b, c) or the king's wing
// (h, g, f): the edge file, the knight file and the inner file.
struct TWingFiles {
  int edge, knight, inner;
  int knightPawnHome;  // b2 or g2
};
constexpr TWingFiles QueenWing = {1, 2, 3, sq::b2};
constexpr TWingFiles KingWing = {8, 7, 6, sq::g2};

template <TSide Us>
struct TShelter {
  const TSideView<Us>& v;
  int k;  // king square

  // The cover of a file by the own rearmost pawn on it, divided by `divisor`.
  int Cover(const TShelterTable& table, int fileNumber, int divisor = 1) const {
    const int p = v.OwnRear(fileNumber);
    return (Row0(k) >= p ? table[p] : table[8 + p]) / divisor;
  }
  int Storming(const TStormTable& table, int fileNumber) const { return table[v.EnemyRear(fileNumber)]; }

  // The enemy king on the other wing leaves the enemy free to storm this one.
  bool EnemyKingOnOtherWing() const {
    const int kf = file(k), enemyFile = file(v.EnemyKing());
    return (kf <= 3 && enemyFile >= 6) || (kf >= 6 && enemyFile <= 3);
  }
  TWingFiles Wing() const { return file(k) <= 3 ? QueenWing : KingWing; }
  // The king is in the corner, beside the knight file rather than on the inner file.
  bool Cornered() const { return file(k) <= 2 || file(k) >= 7; }

  int PawnsBesideKing() const {
    int count = 0;
    ForEachSquare(KingZone(k) & ~SquareBit(k), [&](const int q) { count += v.AnyPawn(q); });
    return count;
  }

  int Scaled(TSideFields& f, int value) const {
    f.KingSafety = value * v.e.MaterialScore[TSideView<Us>::Them] / FullPieceMaterial;
    return f.KingSafety;
  }
};

}  // namespace

template <TSide Us>
int KingShelterWithQueen(const TSideView<Us>& v, TSideFields& f, int k, int base) {
  const TShelter<Us> sh{v, k};
  const int kf = file(k);
  int cost = 0;
  if (kf == 4 || kf == 5) {
    const TStormTable& storm = v.OwnCastlingRight() ? StormCentreCastle : StormCentre;
    for (int fl = kf - 1; fl <= kf + 1; ++fl) cost += sh.Cover(ShelterCentre, fl) + sh.Storming(storm, fl);
  } else if (const TWingFiles w = sh.Wing(); sh.EnemyKingOnOtherWing()) {
    cost =
        sh.Cover(ShelterEdgeFar, w.edge) + sh.Cover(ShelterKnightFileFar, w.knight) + sh.Cover(ShelterEdgeFar, w.inner);
    for (const int fl : {w.edge, w.knight, w.inner}) cost += sh.Storming(StormFar, fl);
  } else {
    // The inner file matters half as much while the knight pawn still guards the corner.
    const int divisor = sh.Cornered() && v.Own(w.knightPawnHome, Pawn) ? 2 : 1;
    cost =
        sh.Cover(ShelterEdge, w.edge) + sh.Cover(ShelterKnightFile, w.knight) + sh.Cover(ShelterEdge, w.inner, divisor);
    for (const int fl : {w.edge, w.knight, w.inner}) cost += sh.Storming(Storm, fl);
  }
  int value = base - cost;
  if (RankOf(k) != 1) value += 2 * sh.PawnsBesideKing();
  return sh.Scaled(f, value);
}

template <TSide Us>
int KingShelterWithoutQueen(const TSideView<Us>& v, TSideFields& f, int k, int base) {
  const TShelter<Us> sh{v, k};
  const int kf = file(k);
  int cost = 0;
  if (kf == 4 || kf == 5) {
    for (int fl = kf - 1; fl <= kf + 1; ++fl) cost += sh.Cover(ShelterQuietCentre, fl);
  } else {
    const TWingFiles w = sh.Wing();
    const int divisor = sh.Cornered() && !sh.EnemyKingOnOtherWing() ? 2 : 1;
    cost = sh.Cover(ShelterQuiet, w.edge) + sh.Cover(ShelterQuiet, w.knight) + sh.Cover(ShelterQuiet, w.inner, divisor);
  }
  return sh.Scaled(f, base - cost);
}

template int KingShelterWithQueen<Light>(const TSideView<Light>&, TSideFields&, int, int);
template int KingShelterWithQueen<Dark>(const TSideView<Dark>&, TSideFields&, int, int);
template int KingShelterWithoutQueen<Light>(const TSideView<Light>&, TSideFields&, int, int);
template int KingShelterWithoutQueen<Dark>(const TSideView<Dark>&, TSideFields&, int, int);

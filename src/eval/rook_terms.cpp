#include "eval/rook_terms.h"

#include "eval/piece_tables.h"

using namespace sq;

template <TSide Us>
int RookOnOwnPawnFile(const TSideView<Us>& v, int s, int pawnAheadPenalty) {
  const int fl = file(s), rear = v.OwnRear(fl);
  const bool pawnAtHome = rear == Row0(a3) || rear == Row0(a2);
  if (pawnAtHome && rear > Row0(s) && !v.OwnDoubled(fl)) return v.EnemyPawnOn(fl) ? 0 : 10;
  if (pawnAtHome && RankOf(s) <= 2) return -pawnAheadPenalty;
  return 0;
}

template <TSide Us>
bool HalfOpenForRook(const TSideView<Us>& v, int fileNumber) {
  const int rear = v.EnemyRear(fileNumber);
  return !v.EnemyDoubled(fileNumber) && rear <= v.EnemyRear(fileNumber - 1) && rear <= v.EnemyRear(fileNumber + 1);
}

template <TSide Us>
int RookHemmedIn(const TSideView<Us>& v, int s) {
  bool hemmed;
  switch (file(s)) {
    case 1: hemmed = v.AnyPawn(s + 1) || v.Own(s + 2, Pawn); break;
    case 8: hemmed = v.AnyPawn(s - 1) || v.Own(s - 2, Pawn); break;
    default: hemmed = v.AnyPawn(s - 1) && v.AnyPawn(s + 1); break;
  }
  return hemmed ? -RookBlocked : 0;
}

template <TSide Us>
int RookBehindOwnPawn(const TSideView<Us>& v, int s) {
  const int rank = RankOf(s);
  return rank >= 3 && rank <= 6 && v.Own(s - 8, Pawn) ? -RookBlocked : 0;
}

template <TSide Us>
int RookHomePenalty(const TSideView<Us>& v, int s) {
  switch (s) {
    case a1: return v.OwnPawnOn(file(b1)) ? -(RookCorner[v.Kind(b1)] + RookCorner[v.Kind(c1)]) : 0;
    case b1: return -RookTrapped[v.Kind(c1)];
    case g1: return -RookTrapped[v.Kind(f1)];
    case h1: return v.OwnPawnOn(file(g1)) ? -(RookCorner[v.Kind(g1)] + RookCorner[v.Kind(f1)]) : 0;
    default: return 0;
  }
}

template int RookOnOwnPawnFile<Light>(const TSideView<Light>&, int, int);
template bool HalfOpenForRook<Light>(const TSideView<Light>&, int);
template int RookHemmedIn<Light>(const TSideView<Light>&, int);
template int RookBehindOwnPawn<Light>(const TSideView<Light>&, int);
template int RookHomePenalty<Light>(const TSideView<Light>&, int);

template int RookOnOwnPawnFile<Dark>(const TSideView<Dark>&, int, int);
template bool HalfOpenForRook<Dark>(const TSideView<Dark>&, int);
template int RookHemmedIn<Dark>(const TSideView<Dark>&, int);
template int RookBehindOwnPawn<Dark>(const TSideView<Dark>&, int);
template int RookHomePenalty<Dark>(const TSideView<Dark>&, int);

#include "eval/minor_pieces.h"

#include "board/geometry.h"
#include "eval/piece_tables.h"

using namespace sq;

template <TSide Us>
int KnightMobility(const TSideView<Us>& v, int s) {
  constexpr TSide Them = Opponent(Us);
  constexpr TSquareSet BoardEdge = 0xff818181818181ff;
  const TSearchBoard& board = v.board;
  const TSquareSet jumps = EmptyBoardReach(Knight, v.Abs(s));
  const TSquareSet safe = ~v.e.PawnAttacks[Them];
  const TSquareSet enemyPawns = board.PawnSquares[Them];
  int total = 0;
  ForEachSquare(jumps & board.MenSquares[Them] & ~enemyPawns,
                [&](const int t) { total += KnightAttack[board.Piece[t]]; });
  // From its own edge squares near home a knight only pretends to threaten pawns.
  const bool hitsPawns = RankOf(s) != 1 && s != a4 && s != h4 && s != a3 && s != h3 && s != a2 && s != h2;
  if (hitsPawns) total += 5 * CountSquares(jumps & enemyPawns & safe);
  total += CountSquares(jumps & ~board.Occupied() & ~BoardEdge & safe);
  return total == 0 ? -5 : total;
}

template <TSide Us>
int MinorOutpost(const TSideView<Us>& v, TSideFields& f, int s, const TSquareTable& table) {
  if (RankOf(s) == 1 || s == a8 || s == h8 || s == a2 || s == h2) return 0;
  const int fl = file(s);
  const bool pawnProtected = (fl != 1 && v.Own(s + 7, Pawn)) || (fl != 8 && v.Own(s + 9, Pawn));
  if (!pawnProtected) return 0;
  f.MinorOutpostFiles |= FileBit(fl);
  return table[s];
}

template <TSide Us>
bool KnightTrapped(const TSideView<Us>& v, int s) {
  switch (s) {
    case a8: return v.Enemy(a7, Pawn) && !v.Own(b6, Pawn) && !v.Own(d6, Pawn);
    case h8: return v.Enemy(h7, Pawn) && !v.Own(g6, Pawn) && !v.Own(e6, Pawn);
    case a7: return v.Enemy(b7, Pawn) && (v.Enemy(a6, Pawn) || v.Enemy(c6, Pawn));
    case h7: return v.Enemy(g7, Pawn) && (v.Enemy(h6, Pawn) || v.Enemy(f6, Pawn));
    default: return false;
  }
}

template <TSide Us>
int BlocksCentrePawn(const TSideView<Us>& v, int s) {
  if ((s == d3 && v.Own(d2, Pawn)) || (s == e3 && v.Own(e2, Pawn))) return -7;
  return 0;
}

template <TSide Us>
int KnightPlacement(const TSideView<Us>& v, int s) {
  if (KnightTrapped(v, s)) return -150;
  const int kingFile = file(v.OwnKing());
  // Blocking the c- or f-pawn matters only when the king is not behind it.
  if (s == c3 && v.Own(c2, Pawn) && kingFile > 3) return -7;
  if (s == f3 && v.Own(f2, Pawn) && kingFile < 6) return -7;
  if (const int blocking = BlocksCentrePawn(v, s)) return blocking;
  return KnightSquare[s];
}

namespace {

// The pawn that ends a forward diagonal of a bishop on s. Sets `zeroed` when
// that pawn kills the bishop's whole mobility.
template <TSide Us>
int PawnAtDiagonalEnd(const TSideView<Us>& v, int s, int q, bool& zeroed) {
  if (v.IsOwn(q)) return BishopForwardArea[q] && v.Empty(q - 8) && !OnBoardEdge(s) ? 1 : 0;
  if (RankOf(s) == 1 && RankOf(q) <= 4) return 0;
  if (!v.EnemyPawnAttacks(q)) return 5;
  // A bishop on a2/h2 biting on a protected d5/e5 pawn is shut out.
  zeroed = (s == a2 || s == h2) && (q == d5 || q == e5);
  return 0;
}

}  // namespace

template <TSide Us>
int BishopMobility(const TSideView<Us>& v, TSideFields& f, int s) {
  const int emptyValue = v.Count(Bishop) >= 2 ? 3 : 1;
  int total = 0;
  bool zeroed = false;
  for (const int dir : {Offset[Bishop][0], Offset[Bishop][1]}) {  // toward the eighth rank
    int met = 0;
    for (const int q : RayFrom(s, dir)) {
      if (v.Empty(q)) {
        if (BishopForwardArea[q]) total += emptyValue;
        continue;
      }
      const TBoardPiece kind = v.Kind(q);
      if (kind == Pawn) {
        total += PawnAtDiagonalEnd(v, s, q, zeroed);
        break;
      }
      if (v.IsEnemy(q)) {
        // Only the first two pieces on the diagonal count; the king always does.
        if (kind == King || met < 2) total += BishopHit[kind];
      } else {
        if (kind == King) break;
        if (BishopForwardArea[q]) total += 1;
      }
      ++met;
    }
    if (zeroed) {
      total = 0;
      break;
    }
  }
  if (total == 0 && RankOf(s) <= 4) {
    ++f.BadBishops;
    return -10;
  }
  return total;
}

namespace {

// Bishop on a7/h7 behind a pawn on b6/g6: worse behind an enemy pawn.
template <TSide Us>
int SideTrap(const TSideView<Us>& v, int pawn) {
  return v.AnyPawn(pawn) ? -BishopSideTrap[v.IsEnemy(pawn)] : 0;
}

// Bishop on the a- or h-file behind a pawn on the neighbouring file.
template <TSide Us>
int EdgeBlock(const TSideView<Us>& v, int pawn, int ownPawnPenalty) {
  if (v.Enemy(pawn, Pawn)) return -50;
  if (v.Own(pawn, Pawn)) return -ownPawnPenalty;
  return 0;
}

// Bishop in the a1 (h1) corner behind a pawn on c3 (f3). An own pawn there
// costs only when a pawn on c4 (f4) fixes it; an enemy pawn costs more when
// an enemy pawn beside it on the fourth rank supports it.
template <TSide Us>
int CornerTrap(const TSideView<Us>& v, int blocker, int fixer, int support1, int support2) {
  if (v.Own(blocker, Pawn)) return v.AnyPawn(fixer) ? -BishopCornerTrap[0] : 0;
  if (!v.Enemy(blocker, Pawn)) return 0;
  const bool supported = v.Enemy(support1, Pawn) || v.Enemy(support2, Pawn);
  return -BishopCornerTrap[supported];
}

// Bishop at home on c1 (f1): hemmed in by its own unit on d2 (e2) and the
// pawn on b2 (g2), or by pawns on b2 (g2) and e3 (d3).
template <TSide Us>
int BackRankBishop(const TSideView<Us>& v, int front, int knightPawn, int otherSide) {
  if (v.IsOwn(front)) {
    if (!v.AnyPawn(knightPawn)) return -5;
    return v.Kind(front) == Pawn ? -40 : -10;
  }
  return v.AnyPawn(otherSide) && v.AnyPawn(knightPawn) ? -5 : 0;
}

}  // namespace

template <TSide Us>
int BishopTrapPatterns(const TSideView<Us>& v, int s) {
  switch (s) {
    case a8: return v.Enemy(c6, Pawn) ? -100 : 0;
    case b8: return v.Enemy(c7, Pawn) ? -100 : 0;
    case g8: return v.Enemy(f7, Pawn) ? -100 : 0;
    case h8: return v.Enemy(f6, Pawn) ? -100 : 0;
    case a7: return SideTrap(v, b6);
    case h7: return SideTrap(v, g6);
    case a6: return EdgeBlock(v, b5, 15);
    case h6: return EdgeBlock(v, g5, 15);
    case a5: return EdgeBlock(v, b4, 10);
    case h5: return EdgeBlock(v, g4, 10);
    case a4: return v.Own(b3, Pawn) ? -5 : 0;
    case h4: return v.Own(g3, Pawn) ? -5 : 0;
    case a2: return v.AnyPawn(b3) ? -15 : 0;
    case b1: return v.AnyPawn(c2) ? -15 : 0;
    case h2: return v.AnyPawn(g3) ? -15 : 0;
    case g1: return v.AnyPawn(f2) ? -15 : 0;
    case a1: return CornerTrap(v, c3, c4, d4, b4);
    case h1: return CornerTrap(v, f3, f4, e4, g4);
    case c1: return BackRankBishop(v, d2, b2, e3);
    case f1: return BackRankBishop(v, e2, g2, d3);
    default: return 0;
  }
}

template int KnightMobility<Light>(const TSideView<Light>&, int);
template int MinorOutpost<Light>(const TSideView<Light>&, TSideFields&, int, const TSquareTable&);
template bool KnightTrapped<Light>(const TSideView<Light>&, int);
template int KnightPlacement<Light>(const TSideView<Light>&, int);
template int BishopMobility<Light>(const TSideView<Light>&, TSideFields&, int);
template int BishopTrapPatterns<Light>(const TSideView<Light>&, int);
template int BlocksCentrePawn<Light>(const TSideView<Light>&, int);

template int KnightMobility<Dark>(const TSideView<Dark>&, int);
template int MinorOutpost<Dark>(const TSideView<Dark>&, TSideFields&, int, const TSquareTable&);
template bool KnightTrapped<Dark>(const TSideView<Dark>&, int);
template int KnightPlacement<Dark>(const TSideView<Dark>&, int);
template int BishopMobility<Dark>(const TSideView<Dark>&, TSideFields&, int);
template int BishopTrapPatterns<Dark>(const TSideView<Dark>&, int);
template int BlocksCentrePawn<Dark>(const TSideView<Dark>&, int);

// The pieces of one side by endgame rules. Written once for the side `Us`
// with squares relative to it (see side_view.h); Black is the exact mirror.
#include <bit>

#include "board/geometry.h"
#include "eval/driver_tables.h"
#include "eval/endgame.h"
#include "eval/endgame_common.h"
#include "eval/endgame_tables.h"
#include "eval/minor_pieces.h"
#include "eval/piece_tables.h"
#include "eval/recogniser.h"
#include "eval/rook_terms.h"

using namespace sq;

namespace {

constexpr int PawnCoverBonus = 30;
constexpr int EnemyKingOnDiagonal = 30;

// Everything one side's piece walk works with.
template <TSide Us>
struct TEndgameWalk {
  static constexpr TSide Them = Opponent(Us);

  TSideView<Us> v;
  TSideFields f;
  TEvalState& e;
  TSquareSet ownPassers = 0;     // relative squares
  TSquareSet enemyPassers = 0;   // relative squares
  TSquareSet creditedFiles = 0;  // files credited as open or half-open to a rook
  int tropism = 0;
  bool kingEscort = false;

  int& Score() { return f.Score; }
  int OwnPieces() const { return e.NonPawnMen[Us]; }
  bool OwnPasserOn(int rel) const { return InSet(ownPassers, rel); }

  void Credit(int fileNumber, std::int32_t& first, std::int32_t& second) {
    creditedFiles |= FileBit(fileNumber);
    (first == 0 ? first : second) = fileNumber;
  }
};

template <TSide Us>
TSquareSet PasserSquares(const TEvalState& e, TSide side) {
  TSquareSet set = 0;
  const int count = e.PasserIndex[side] - 1;
  for (int i = 0; i < count; ++i) set |= SquareBit(RelativeSquare<Us>(e.Passers[side][i]));
  return set;
}

// +30 when the enemy king's pawn cover has left home: on the files beside
// and in front of the king, no enemy pawn stands on its seventh rank.
template <TSide Us>
int PawnCover(const TEndgameWalk<Us>& w) {
  const int kingFile = file(w.v.EnemyKing());
  int first, last;
  switch (kingFile) {
    case 1: first = last = 2; break;
    case 2: first = 2, last = 3; break;
    case 7: first = 6, last = 7; break;
    case 8: first = last = 7; break;
    default: first = kingFile - 1, last = kingFile + 1; break;
  }
  for (int f = first; f <= last; ++f)
    if (w.v.EnemyRear(f) == Row0(a7)) return 0;
  return PawnCoverBonus;
}

// Bishop mobility in the endgame: all four diagonals count, and the enemy
// king met on one is worth more than in the middlegame. A bishop with none
// on ranks 1..4 is bad.
template <TSide Us>
int BishopMobilityEG(const TSideView<Us>& v, TSideFields& f, int s) {
  const int emptyValue = v.Count(Bishop) >= 2 ? 3 : 1;
  const bool cornered = s == a2 || s == b2 || s == g2 || s == h2 || s == a1 || s == h1;
  int total = 0;
  for (int d = 0; d < OffsetCount[Bishop]; ++d) {
    const int dir = Offset[Bishop][d];
    int met = 0;
    bool shutOut = false;
    for (const int q : RayFrom(s, dir)) {
      if (v.Empty(q)) {
        if (BishopForwardArea[q]) total += emptyValue;
        continue;
      }
      const TBoardPiece kind = v.Kind(q);
      if (kind == Pawn) {
        if (v.IsEnemy(q) && !(RankOf(s) == 1 && RankOf(q) <= 4)) {
          if (!v.EnemyPawnAttacks(q)) total += 5;
          else shutOut = cornered && (q == d5 || q == e5);  // biting on a protected centre pawn
        }
        break;
      }
      if (v.IsEnemy(q)) {
        if (kind == King) total += EnemyKingOnDiagonal;
        else if (met < 2) total += BishopHit[kind];
      } else {
        if (kind == King) break;
        if (BishopForwardArea[q]) total += 1;
      }
      ++met;
    }
    if (shutOut) {
      total = 0;
      break;
    }
  }
  if (total == 0 && RankOf(s) <= 4) {
    ++f.BadBishops;
    return -15;
  }
  return total;
}

// A bishop's rays into the enemy king's zone, when a queen can follow up:
// 5 per zone square reached past at most two pieces (one when the bishop
// is off the king's diagonal), 5 more per ray that gets through. No pawn is
// looked through.
template <TSide Us>
int BishopTropismEG(const TSideView<Us>& v, int s) {
  const int king = v.EnemyKing();
  const TSquareSet zone = KingZone(king);
  const bool aligned = AttackTable(Light, Bishop, s, king);
  int amount = 0;
  for (unsigned rest = Geo.BishopLinesToZone[king][s]; rest != 0; rest &= rest - 1) {
    const int dir = Offset[Bishop][std::countr_zero(rest)];
    int met = 0;
    bool through = false;
    for (const int q : RayFrom(s, dir)) {
      const bool inZone = InSet(zone, q);
      if (v.Empty(q)) {
        if (!inZone) continue;
        amount += 5;
        if (met > 0) {
          through = aligned;
          break;
        }
        continue;
      }
      if (v.Kind(q) == Pawn) {
        through = inZone;
        break;
      }
      if (inZone) {
        amount += 5;
        if (aligned) {
          through = true;
          break;
        }
      }
      ++met;
      if (met > 2 || (met > 1 && !aligned)) break;
    }
    if (through) amount += 5;
  }
  return amount;
}

template <TSide Us>
void ScoreKnight(TEndgameWalk<Us>& w, int s) {
  const TSideView<Us>& v = w.v;
  if (v.Count(Queen) > 0) w.tropism += Geo.KnightTropism[v.EnemyKing()][s];
  w.Score() += KnightMobility(v, s) + MinorOutpost(v, w.f, s, KnightOutpost);
  w.Score() += KnightTrapped(v, s) ? -150 : KnightSquareEG[s];
  // A lone knight struggles against rook pawns: it cannot cover both wings.
  if (v.Count(Bishop) + v.Count(Rook) + v.Count(Queen) == 0) {
    const TPawnFlagByte enemyPassed = Us == Light ? DarkPassed : LightPassed;
    w.Score() -= KnightVsRookPawns[PawnFlag(w.e.PawnFlags, enemyPassed, 1)][PawnFlag(w.e.PawnFlags, enemyPassed, 8)];
  }
}

template <TSide Us>
void ScoreBishop(TEndgameWalk<Us>& w, int s) {
  const TSideView<Us>& v = w.v;
  w.Score() += BishopSquare[s] + BishopMobilityEG(v, w.f, s);
  if (v.Count(Queen) > 0) w.tropism += BishopTropismEG(v, s);
  w.f.BishopSquareColour = SquareColour(TSideView<Us>::Abs(s));
  if (w.OwnPieces() == 2) {
    // The lone bishop cannot attack the enemy pawns that block its own
    // pawns on its colour.
    const std::uint32_t last = v.board.MaxIndex(Us);
    for (std::uint32_t i = 2; i <= last; ++i) {
      const TPieceEntry& entry = v.board.PieceLists[Us].Men[i];
      if (!entry.Active || v.board.Piece[entry.Square] != Pawn) continue;
      const int pawn = TSideView<Us>::Abs(entry.Square);
      if (SquareColour(pawn) == SquareColour(s) && v.Enemy(pawn - 8, Pawn)) w.Score() -= 3;
    }
  }
  if (!v.OwnPawnOn(file(s)) && !v.EnemyPawnOn(file(s))) w.Score() += MinorOutpost(v, w.f, s, BishopOutpost);
  w.Score() += BishopTrapPatterns(v, s);
}

// Rook and the pawns of its file.
template <TSide Us>
void RookFile(TEndgameWalk<Us>& w, int s) {
  const TSideView<Us>& v = w.v;
  const int fl = file(s);
  const bool ownPawn = v.OwnPawnOn(fl), enemyPawn = v.EnemyPawnOn(fl);
  if (ownPawn && v.OwnPassed(fl) && !v.OwnDoubled(fl)) {
    const int passer = v.OwnRear(fl);  // the file's only pawn
    if (Row0(s) > passer) w.Score() += RookBehindPasserEG[8 - passer];
    else if (Row0(s) < passer) w.Score() -= 20;
  } else {
    w.Score() += RookOnOwnPawnFile(v, s, 15);
    // Shut in on the back rank of an empty file by its own men.
    if (!ownPawn && !enemyPawn && RankOf(s) == 1) {
      const int front = s - 8;
      if (v.Own(front, Knight) || v.Own(front, Bishop) || v.Own(front, King)) w.Score() -= 15;
    }
  }

  if (!ownPawn && enemyPawn) {
    bool behindPasser = false;
    ForEachSquare(w.enemyPassers, [&](const int passer) {
      if (file(passer) == fl && Row0(s) < Row0(passer)) behindPasser = true;
    });
    if (behindPasser) w.Score() += 20;
    else if (HalfOpenForRook(v, fl)) w.Credit(fl, w.f.HalfOpenFileRook1, w.f.HalfOpenFileRook2);
  } else if (!ownPawn) {
    const int kingFile = file(v.EnemyKing());
    if (kingFile == fl) w.Score() += 20;
    if ((fl == 2 && kingFile == 1) || (fl == 7 && kingFile == 8)) w.Score() += 20;
    w.Credit(fl, w.f.OpenFileRook1, w.f.OpenFileRook2);
    if (RankOf(s) == 1 && (v.Own(s - 8, Knight) || v.Own(s - 8, Bishop))) w.Score() -= RookFirstRank;
  }
}

// Rook attacking along its rank: +5 for each loose enemy pawn it meets first.
template <TSide Us>
int RankAttack(const TSideView<Us>& v, int s) {
  int total = 0;
  for (const int dir : {-1, 1}) {
    int q = Step(s, dir);
    while (q >= 0 && v.Empty(q)) q = Step(q, dir);
    if (q >= 0 && v.Enemy(q, Pawn) && !v.EnemyPawnAttacks(q)) total += 5;
  }
  return total;
}

template <TSide Us>
void ScoreRook(TEndgameWalk<Us>& w, int s) {
  const TSideView<Us>& v = w.v;
  RookFile(w, s);
  if (!InSet(w.creditedFiles, file(s))) w.Score() += RookHemmedIn(v, s);
  w.Score() += RookBehindOwnPawn(v, s);
  if (RookAtHome(s)) {
    w.Score() += RookHomePenalty(v, s);
    return;
  }
  const int kingRank = RankOf(v.EnemyKing());
  switch (RankOf(s)) {
    case 8: w.Score() += kingRank == 8 ? 20 : 10; break;
    case 7:
      if (kingRank == 7) w.Score() += 20;
      else if (kingRank == 8) w.Score() += 20 + PawnCover(w);
      else w.Score() += 10;
      break;
    default: w.Score() += RankAttack(v, s);
  }
}

template <TSide Us>
void ScoreQueen(TEndgameWalk<Us>& w, int s) {
  const TSideView<Us>& v = w.v;
  w.Score() += QueenSquareEG[s];
  if (w.OwnPieces() > 2) w.tropism += QueenNear[KingDistance(s, v.EnemyKing())];
  if (!v.OwnPawnOn(file(s)) && !v.EnemyPawnOn(file(s))) w.Score() += 5;
  if (w.e.Material[Light] == w.e.Material[Dark] && v.EnemyCount(Rook) == 2 && w.OwnPieces() >= 3) w.Score() += 20;
  if (RankOf(s) == 7 && RankOf(v.EnemyKing()) == 8) w.Score() += PawnCover(w);
}

// Does the king on s stand next to one of its passers? On ranks 6..8 any
// neighbour counts; on rank 5 only the squares beside and ahead of it.
template <TSide Us>
bool EscortsPasser(const TEndgameWalk<Us>& w, int s) {
  if (RankOf(s) >= 6) return (KingZone(s) & ~SquareBit(s) & w.ownPassers) != 0;
  if (RankOf(s) != 5) return false;
  const int fl = file(s);
  if (w.OwnPasserOn(s - 8)) return true;
  if (fl > 1 && (w.OwnPasserOn(s - 1) || w.OwnPasserOn(s - 9))) return true;
  return fl < 8 && (w.OwnPasserOn(s + 1) || w.OwnPasserOn(s - 7));
}

template <TSide Us>
void ScoreKing(TEndgameWalk<Us>& w, int s) {
  const TSideView<Us>& v = w.v;
  w.Score() += KingShutInPenalty(v.board, w.e, Us);
  if (EscortsPasser(w, s)) {
    w.Score() += 20;
    w.kingEscort = true;
  }
  if (!OnBoardEdge(s) && w.e.PasserDanger[Opponent(Us)] == 0) {
    for (TSquareSet around = KingZone(s) & ~SquareBit(s); around != 0; around &= around - 1) {
      const int q = std::countr_zero(around);
      if (v.Enemy(q, Pawn) && !v.EnemyPawnAttacks(q)) {
        w.Score() += 10;
        break;
      }
    }
  }
  w.Score() += KingPlacement(w.e, Us, TSideView<Us>::Abs(s));
}

}  // namespace

template <TSide Us>
bool EvaluateEndgamePieces(const TSearchBoard& board, TEvalState& e) {
  TEndgameWalk<Us> w{TSideView<Us>{board, e}, FieldsOf<Us>(e), e};
  w.ownPassers = PasserSquares<Us>(e, Us);
  w.enemyPassers = PasserSquares<Us>(e, Opponent(Us));
  board.ForEachPiece(Us, [&](const TPieceEntry& entry) {
    const int s = TSideView<Us>::Abs(entry.Square);
    switch (board.Piece[entry.Square]) {
      case Knight: ScoreKnight(w, s); break;
      case Bishop: ScoreBishop(w, s); break;
      case Rook: ScoreRook(w, s); break;
      case Queen: ScoreQueen(w, s); break;
      case King: ScoreKing(w, s); break;
      default: break;
    }
  });
  e.Tropism[Us] += w.tropism;
  return w.kingEscort;
}

template bool EvaluateEndgamePieces<Light>(const TSearchBoard&, TEvalState&);
template bool EvaluateEndgamePieces<Dark>(const TSearchBoard&, TEvalState&);

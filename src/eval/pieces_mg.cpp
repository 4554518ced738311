#include "eval/pieces_mg.h"

#include <algorithm>

#include "board/geometry.h"
#include "eval/king_shelter.h"
#include "eval/line_tropism.h"
#include "eval/minor_pieces.h"
#include "eval/piece_tables.h"
#include "eval/rook_terms.h"
#include "eval/side_view.h"
#include "eval/terms.h"

using namespace sq;

namespace {

template <TSide Us>
class TPiecesMiddlegame {
 public:
  TPiecesMiddlegame(const TSearchBoard& board, TEvalState& e) : v{board, e}, f(FieldsOf<Us>(e)) {}

  void Run() {
    f.OpenFileRook1 = f.OpenFileRook2 = f.HalfOpenFileRook1 = f.HalfOpenFileRook2 = f.QueenFile = 0;
    f.MinorOutpostFiles = 0;
    f.BishopAttacksFianchetto = false;  // the fianchetto attack is not scored
    f.BishopTropismCount = 0;
    // The king first, then the pieces kind by kind, each kind in list order.
    // No term reads what another kind's terms write (the outpost files and
    // seventh-rank count are only added to, the rest belongs to one kind), so
    // the scores are those of one walk over the whole list.
    KingTerms(v.OwnKing(), v.board.KingEntry(Us));
    v.board.ForEachOfKind(Us, Knight, [this](int square) { KnightTerms(v.Abs(square)); });
    v.board.ForEachOfKind(Us, Bishop, [this](int square) { BishopTerms(v.Abs(square)); });
    v.board.ForEachOfKind(Us, Rook, [this](int square) { RookTerms(v.Abs(square)); });
    v.board.ForEachOfKind(Us, Queen, [this](int square) { QueenTerms(v.Abs(square)); });
    if (seventh >= 3) score += 20;
    f.Score += score;
  }

 private:
  void KnightTerms(int s) {
    const int enemyKing = v.EnemyKing();
    f.KingAttackByKind[Knight] = std::min(f.KingAttackByKind[Knight] + Geo.KnightTropism[enemyKing][s], 10);
    score += KnightMobility(v, s);
    // An edge knight far up the board still helps an attack on its wing.
    if (OnBoardEdge(s) && RankOf(s) >= 4 && zone(file(s)) == zone(file(enemyKing))) score += 10;
    score += MinorOutpost(v, f, s, KnightOutpost);
    score += KnightPlacement(v, s);
  }

  void BishopTerms(int s) {
    score += BishopSquare[s] + BishopMobility(v, f, s);
    if (const int attack = LineTropism(v, Bishop, s)) {
      f.KingAttackByKind[Bishop] += attack;
      ++f.BishopTropismCount;
    }
    if (!OnBoardEdge(s) && v.Own(s + 7, Pawn) && v.Own(s + 9, Pawn)) score -= 5;
    const int king = v.OwnKing();
    if (KingTucked(king) && (s == FianchettoGuard[0] || s == FianchettoGuard[1]) && zone(file(s)) == zone(file(king)))
      score += 5;
    f.BishopSquareColour = SquareColour(v.Abs(s));
    if (!v.OwnPawnOn(file(s)) && !v.EnemyPawnOn(file(s))) score += MinorOutpost(v, f, s, BishopOutpost);
    score += BishopTrapPatterns(v, s) + BlocksCentrePawn(v, s);
  }

  void RookTerms(int s) {
    const int fl = file(s);
    if (v.OwnPawnOn(fl)) {
      const int rear = v.OwnRear(fl);
      if (v.OwnPassed(fl) && !v.OwnDoubled(fl) && Row0(s) > rear) score += RookBehindPasser[8 - rear];
      else score += RookOnOwnPawnFile(v, s, RookPawnAhead[f.Material < 151]);
    } else if (v.EnemyPawnOn(fl)) {
      if (HalfOpenForRook(v, fl)) Credit(fl, f.HalfOpenFileRook1, f.HalfOpenFileRook2);
    } else {
      Credit(fl, f.OpenFileRook1, f.OpenFileRook2);
      if (RankOf(s) == 1 && (v.Own(s - 8, Knight) || v.Own(s - 8, Bishop))) score -= RookFirstRank;
      const int kingFile = file(v.EnemyKing());
      for (const TFilePair pair : RookKingFile)
        if (pair.kingFile == kingFile && pair.rookFile == fl) f.KingAttackByKind[Rook] += 5;
    }
    if (!InSet(credited, fl)) score += RookHemmedIn(v, s);
    score += RookBehindOwnPawn(v, s);
    if (RookAtHome(s)) {
      score += RookHomePenalty(v, s);
    } else if (RankOf(s) == 8) {
      if (RankOf(v.EnemyKing()) == 8) score += 20;
    } else if (RankOf(s) == 7) {
      score += 10;
      seventh += 1;
    }
    f.KingAttackByKind[Rook] += LineTropism(v, Rook, s);
  }

  // Records an open or half-open rook file: first and second rook.
  void Credit(int fl, std::int32_t& first, std::int32_t& second) {
    credited |= FileBit(fl);
    if (first == 0) first = fl;
    else if (second == 0) second = fl;
  }

  void QueenTerms(int s) {
    const int fl = file(s);
    score += QueenSquare[s];
    if (const int near = QueenNear[KingDistance(s, v.EnemyKing())]) {
      f.KingAttackByKind[Queen] += near;
      f.QueenNearKing = true;
    } else {
      f.KingAttackByKind[Queen] += LineTropism(v, Queen, s);
      if (f.KingAttackByKind[Queen] == 20) f.KingAttackByKind[Queen] = 15;
    }
    if (!v.OwnPawnOn(fl) && !v.EnemyPawnOn(fl)) score += 5;
    f.QueenFile = fl;
    if (RankOf(s) == 7) seventh += 2;
  }

  // King safety by what the enemy has left to attack with.
  void KingTerms(int s, const TPieceEntry& entry) {
    const int enemyMaterial = f.EnemyMaterial;
    const bool enemyQueen = v.EnemyCount(Queen) > 0;
    if (enemyMaterial < 120 || (enemyMaterial == 120 && !enemyQueen)) {
      f.KingSafety = KingCentre[s];
      score += f.KingSafety;
    } else if (enemyMaterial <= 150 && !enemyQueen) {
      f.KingSafety = KingQuiet[s];
      score += f.KingSafety;
    } else if (enemyQueen) {
      score += KingShelterWithQueen(v, f, s, KingShelterBase[s]);
    } else {
      score += KingShelterWithoutQueen(v, f, s, KingShelterBase[s]);
    }
    if (enemyMaterial >= 151 && entry.CouldCastle && !v.OwnCastlingRight()) score += CastleBonus[entry.CastledAs];
  }

  TSideView<Us> v;
  TSideFields f;
  int score = 0;
  int seventh = 0;          // rooks (1 each) and queens (2 each) on the seventh rank
  TSquareSet credited = 0;  // files credited to a rook as open or half-open
};

}  // namespace

template <TSide Us>
void EvaluatePiecesMiddlegameT(const TSearchBoard& board, TEvalState& e) {
  TPiecesMiddlegame<Us>(board, e).Run();
}

template void EvaluatePiecesMiddlegameT<Light>(const TSearchBoard&, TEvalState&);
template void EvaluatePiecesMiddlegameT<Dark>(const TSearchBoard&, TEvalState&);

void EvaluatePiecesMiddlegame(const TSearchBoard& board, TEvalState& e, TSide side) {
  if (side == Light) EvaluatePiecesMiddlegameT<Light>(board, e);
  else EvaluatePiecesMiddlegameT<Dark>(board, e);
}

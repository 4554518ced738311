// Special endgames. Every rule is written once, for the side named `Us`, with
// squares read relative to that side (RelativeSquare), and instantiated for
// both colours.
#include "eval/recogniser.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "board/square_names.h"
#include "eval/driver_tables.h"
#include "eval/endgame_common.h"
#include "eval/endgame_tables.h"
#include "eval/piece_tables.h"
#include "eval/terms.h"

using namespace sq;

namespace {

// A rule that does not settle the position hands over to the next one.
using TVerdict = std::optional<int>;

int EndgamePointsOf(const TSearchBoard& board, TSide side) {
  int points = 0;
  for (int kind = Knight; kind <= Queen; ++kind) points += EndgamePoints[kind] * board.MenCount[side][kind];
  return points;
}

bool NoWinningEdge(const TSearchBoard& board) {
  return std::abs(EndgamePointsOf(board, Light) - EndgamePointsOf(board, Dark)) < NoWinningMargin;
}

int RooksAndQueens(const TSearchBoard& board) {
  return board.MenCount[Light][Rook] + board.MenCount[Light][Queen] + board.MenCount[Dark][Rook] +
         board.MenCount[Dark][Queen];
}

int Bonus(TEvalState& e, TSide side, int amount) {
  e.EndgameColor = TBoardSide(side);
  return amount;
}

// King + bishop + knight of `Us` against a bare king: push the king to the
// edge and then to a corner of the bishop's colour.
template <TSide Us>
void DriveToBishopCorner(const TSearchBoard& board, TEvalState& e) {
  const int bareKing = RelativeSquare<Us>(board.KingSquare(Opponent(Us)));
  const TSide bishopColour = SquareColour(RelativeSquare<Us>(FindPiece(board, Us, Bishop)));
  int drive = KbnDrive[bareKing];
  if (InSet(BishopCorners[bishopColour], bareKing)) drive += 100;
  else if (InSet(KbnPassageSquares, bareKing)) drive += 50;
  else if (InSet(WrongCorners[bishopColour], bareKing)) drive -= 100;
  e.Score[Us] += drive;
}

TVerdict WithoutPawns(const TSearchBoard& board, TEvalState& e) {
  const int men = e.NonPawnMen[Light] + e.NonPawnMen[Dark];
  if ((men <= 5 || (men == 6 && RooksAndQueens(board) < 3)) && NoWinningEdge(board)) return KingsOnly;
  const bool lightBare = e.NonPawnMen[Light] == 1, darkBare = e.NonPawnMen[Dark] == 1;
  if ((darkBare && e.NonPawnMen[Light] == 3 && board.MenCount[Light][Knight] == 2) ||
      (lightBare && e.NonPawnMen[Dark] == 3 && board.MenCount[Dark][Knight] == 2))
    return DeadDraw;
  const int bishopAndKnight = PieceValue[Bishop] + PieceValue[Knight];
  if (darkBare && e.MaterialScore[Light] == bishopAndKnight) {
    DriveToBishopCorner<Light>(board, e);
    return TotalsFinal;
  }
  if (lightBare && e.MaterialScore[Dark] == bishopAndKnight) {
    DriveToBishopCorner<Dark>(board, e);
    return TotalsFinal;
  }
  return std::nullopt;
}

// King and one pawn of `Us` against the bare king.
template <TSide Us>
TVerdict KingAndPawn(const TSearchBoard& board, TEvalState& e) {
  constexpr TSide Them = Opponent(Us);
  const bool usToMove = board.Side == Us;
  const int pawn = RelativeSquare<Us>(FindPiece(board, Us, Pawn));
  const int ownKing = RelativeSquare<Us>(board.KingSquare(Us));
  const int enemyKing = RelativeSquare<Us>(board.KingSquare(Them));
  // The own king on the seventh rank beside the pawn's path, and the enemy
  // king too far to the side to come back in time.
  const bool kingClearsTheWay = row(ownKing) == 2 && FileDistance(enemyKing, pawn) > row(pawn) - 1 - row(ownKing);

  if (file(pawn) == 1 || file(pawn) == 8) {
    const bool aPawn = file(pawn) == 1;
    const int drawZone[6] = {aPawn ? a8 : f8, aPawn ? b8 : g8, aPawn ? c8 : h8,
                             aPawn ? a7 : f7, aPawn ? b7 : g7, aPawn ? c7 : h7};
    for (int square : drawZone)
      if (enemyKing == square) return DeadDraw;
    if (kingClearsTheWay && file(ownKing) == (aPawn ? 2 : 7)) return Bonus(e, Us, 500);
    return std::nullopt;
  }

  if (row(ownKing) < row(pawn)) {
    // Kings in opposition in front of a pawn still on its own half, with the
    // pawn's side to move: the defender holds.
    if (row(pawn) >= 5 && ownKing == pawn - 8 && enemyKing == ownKing - 16 && usToMove) return DeadDraw;
    if (kingClearsTheWay && FileDistance(ownKing, pawn) <= 1) return Bonus(e, Us, 500);
    return Bonus(e, Us, 50);
  }
  if (enemyKing == ownKing - 16 && row(pawn) == 3 && !usToMove) return Bonus(e, Us, 50);
  if (row(enemyKing) < row(pawn)) return DeadDraw;
  return Bonus(e, Us, 50);
}

// One pawn and one rook each: the defending king in front of the pawn holds.
template <TSide Us>
TVerdict RookAndPawnAgainstRook(const TSearchBoard& board) {
  const int pawn = RelativeSquare<Us>(FindPiece(board, Us, Pawn));
  const int enemyKing = RelativeSquare<Us>(board.KingSquare(Opponent(Us)));
  if (file(enemyKing) == file(pawn) && row(enemyKing) < row(pawn)) return KingsOnly;
  return std::nullopt;
}

// `Them` has king + bishop + one pawn against the bare king of `Us`.
template <TSide Us>
TVerdict BishopAndPawnAgainstKing(const TSearchBoard& board, TEvalState& e) {
  constexpr TSide Them = Opponent(Us);
  const int pawn = RelativeSquare<Us>(FindPiece(board, Them, Pawn));
  const int bishop = RelativeSquare<Us>(FindPiece(board, Them, Bishop));
  const int king = RelativeSquare<Us>(board.KingSquare(Us));
  if (file(pawn) == 1 || file(pawn) == 8) {
    const bool aPawn = file(pawn) == 1;
    const int promotion = aPawn ? a1 : h1;
    const bool kingInCorner = aPawn ? (king == a1 || king == b1 || king == a2 || king == b2)
                                    : (king == g1 || king == h1 || king == g2 || king == h2);
    if (SquareColour(promotion) == SquareColour(bishop) || !kingInCorner) return std::nullopt;
    const int ownPawns = board.MenCount[Us][Pawn];
    if (ownPawns <= 1) return DeadDraw;
    if (ownPawns <= 3) return Bonus(e, Them, -200);
    return std::nullopt;
  }
  // The king shut in on a1 (h1) behind the bishop's pawn: stalemate defence.
  if (pawn == b3 && bishop == a2 && (king == b2 || king == a1)) return DeadDraw;
  if (pawn == g3 && bishop == h2 && (king == g2 || king == h1)) return DeadDraw;
  return std::nullopt;
}

// `Them` has a rook against the king and single pawn of `Us`: a pawn that
// wins the race with the enemy king to its file costs the rook.
template <TSide Us>
TVerdict RookAgainstPawn(const TSearchBoard& board, TEvalState& e) {
  constexpr TSide Them = Opponent(Us);
  const bool usToMove = board.Side == Us;
  const int pawnSquare = FindPiece(board, Us, Pawn);
  const int ownKingSquare = board.KingSquare(Us), enemyKingSquare = board.KingSquare(Them);
  if (!PawnOutrunsKing<Us>(pawnSquare, enemyKingSquare, usToMove)) return std::nullopt;
  if (PawnOutrunsKing<Us>(pawnSquare, ownKingSquare, usToMove)) return std::nullopt;
  if (KingDistance(ownKingSquare, pawnSquare) > 1) return std::nullopt;

  const int pawn = RelativeSquare<Us>(pawnSquare);
  const int ownKing = RelativeSquare<Us>(ownKingSquare), enemyKing = RelativeSquare<Us>(enemyKingSquare);
  const int enemySteps = std::max(row(enemyKing) - 2, FileDistance(pawn, enemyKing) - 1);
  const int pawnSteps = (file(ownKing) == file(pawn) ? 1 : 0) + (row(ownKing) - 2) + (row(pawn) - 1);
  bool pawnWins = usToMove ? enemySteps >= pawnSteps : enemySteps > pawnSteps;
  if (!pawnWins) {
    const int low = std::min(file(enemyKing), file(pawn)), high = std::max(file(enemyKing), file(pawn));
    pawnWins = file(ownKing) > low && file(ownKing) < high;  // the own king shoulders the other away
  }
  if (!pawnWins) return std::nullopt;
  if (row(pawn) == 7) return Bonus(e, Us, 370);
  return DeadDraw;
}

// `Them` has a queen against the pawn of `Us` on the seventh rank: the
// stalemate defences of the rook and bishop pawns.
template <TSide Us>
TVerdict QueenAgainstPawn(const TSearchBoard& board) {
  constexpr TSide Them = Opponent(Us);
  const int pawnSquare = FindPiece(board, Us, Pawn);
  const int pawn = RelativeSquare<Us>(pawnSquare);
  const int king = RelativeSquare<Us>(board.KingSquare(Us));
  if (row(pawn) != 2) return std::nullopt;
  const bool kingOnB = king == b8 || king == b7, kingOnG = king == g8 || king == g7;
  switch (file(pawn)) {
    case 1: return kingOnB ? TVerdict(DeadDraw) : std::nullopt;
    case 8: return kingOnG ? TVerdict(DeadDraw) : std::nullopt;
    case 3:
    case 6: {
      const bool cPawn = file(pawn) == 3;
      if (cPawn ? kingOnB : kingOnG) return DeadDraw;
      const bool kingInCorner = cPawn ? (king == a8 || king == a7) : (king == h8 || king == h7);
      if (!kingInCorner) return std::nullopt;
      const int promotion = pawnSquare + (Us == Light ? -8 : 8);
      const bool queenTakesOver =
          board.Side == Them && LineAttacks(board, Them, Queen, FindPiece(board, Them, Queen), promotion);
      return queenTakesOver ? std::nullopt : TVerdict(DeadDraw);
    }
    default: return std::nullopt;
  }
}

// One piece of `Them` against the bare king (and any pawns) of `Us`.
template <TSide Us>
TVerdict LonePieceAgainstKing(const TSearchBoard& board, TEvalState& e) {
  constexpr TSide Them = Opponent(Us);
  const int ownPawns = board.MenCount[Us][Pawn];
  if (board.MenCount[Them][Pawn] > 0) {
    if (board.MenCount[Them][Bishop] == 1 && board.MenCount[Them][Pawn] == 1)
      return BishopAndPawnAgainstKing<Us>(board, e);
    return std::nullopt;
  }
  // A lone minor piece cannot win.
  if (board.MenCount[Them][Knight] == 1) return Bonus(e, Them, -200);
  if (board.MenCount[Them][Bishop] == 1) return ownPawns == 1 ? TVerdict(DeadDraw) : Bonus(e, Them, -200);
  if (ownPawns != 1) return std::nullopt;
  if (board.MenCount[Them][Rook] == 1) return RookAgainstPawn<Us>(board, e);
  return QueenAgainstPawn<Us>(board);
}

int ManyPieces(const TSearchBoard& board, const TEvalState& e) {
  const int men = e.NonPawnMen[Light] + e.NonPawnMen[Dark];
  if ((men > 5 && RooksAndQueens(board) >= 3) || men >= 7) return NoSpecialEnding;
  if (NoWinningEdge(board)) {
    if (board.MenCount[Light][Pawn] == 0) return LightCannotWin;
    if (board.MenCount[Dark][Pawn] == 0) return DarkCannotWin;
  }
  return NoSpecialEnding;
}

// The king of `Us` in the pawns' zone (files f-h or a-c) while the enemy
// king is not: the further away the enemy king, the better.
template <TSide Us>
void KingInPawnZone(const TSearchBoard& board, TEvalState& e) {
  constexpr TSide Them = Opponent(Us);
  const int firstFile = e.QueenWingPawns == 0 ? 6 : 1;  // king's wing f-h, queen's wing a-c
  const auto inZone = [firstFile](int square) { return file(square) >= firstFile && file(square) <= firstFile + 2; };
  const int ownKing = board.KingSquare(Us), enemyKing = board.KingSquare(Them);
  const int enemyPassers = e.PasserIndex[Opponent(Us)] - 1;
  if (inZone(ownKing) && !inZone(enemyKing) && enemyPassers == 0 && e.Score[Us] - e.Score[Them] > 50)
    e.Score[Us] += (FileDistance(ownKing, enemyKing) - 1) * 30;
}

// The king of `Us` on a1-c1 (f1-h1) behind a pawn on c2 (f2) that an enemy
// pawn or bishop on c3 (f3) fixes.
template <TSide Us>
int KingShutIn(const TSideView<Us>& v) {
  const int king = v.OwnKing();
  if (RankOf(king) != 1 || file(king) == 4 || file(king) == 5) return 0;
  const bool queenSide = file(king) <= 3;
  const int blocker = queenSide ? c3 : f3, pawn = queenSide ? c2 : f2;
  const bool blocked = v.Enemy(blocker, Pawn) || v.Enemy(blocker, Bishop);
  return blocked && v.AnyPawn(pawn) ? -30 : 0;
}

int PurePawnEnding(const TSearchBoard& board, TEvalState& e) {
  for (TSide side : {Light, Dark})
    e.Score[side] += KingShutInPenalty(board, e, side) + KingPlacement(e, side, board.KingSquare(side));
  const bool oneWing = PawnsOnOneWing(e);
  const int lightPawns = board.MenCount[Light][Pawn], darkPawns = board.MenCount[Dark][Pawn];
  if (lightPawns != darkPawns) {
    const TSide more = lightPawns > darkPawns ? Light : Dark;
    if (oneWing) e.Score[more] -= 10;
    if (e.Score[more] - e.Score[Opponent(more)] >= 50) e.Score[more] += 30;
  } else if (oneWing) {
    KingInPawnZone<Light>(board, e);
    KingInPawnZone<Dark>(board, e);
  }
  return PawnEndingDone;
}

}  // namespace

int KingCentreDifference(const TSearchBoard& board) {
  const int light = KingCentreTable[board.KingSquare(Light)];
  const int dark = KingCentreTable[mirror(board.KingSquare(Dark))];
  return board.Side == Light ? light - dark : dark - light;
}

int KingShutInPenalty(const TSearchBoard& board, const TEvalState& e, TSide side) {
  return side == Light ? KingShutIn(TSideView<Light>{board, e}) : KingShutIn(TSideView<Dark>{board, e});
}

int KingPlacement(const TEvalState& e, TSide side, int kingSquare) {
  const int square = side == Light ? kingSquare : mirror(kingSquare);
  switch (PawnWings(e)) {
    case TPawnWings::QueenWingOnly: return KingQueenWing[square];
    case TPawnWings::KingWingOnly: return KingKingWing[square];
    default: return KingCentre[square];
  }
}

int RecogniseEndgame(const TSearchBoard& board, TEvalState& e) {
  const int pawns = board.MenCount[Light][Pawn] + board.MenCount[Dark][Pawn];
  const int men = e.NonPawnMen[Light] + e.NonPawnMen[Dark];
  if (pawns == 0) {
    if (const TVerdict verdict = WithoutPawns(board, e)) return *verdict;
  } else if (pawns == 1 && men == 2) {
    const TVerdict verdict =
        board.MenCount[Light][Pawn] == 1 ? KingAndPawn<Light>(board, e) : KingAndPawn<Dark>(board, e);
    return verdict ? *verdict : ManyPieces(board, e);
  } else if (pawns == 1 && men == 4 && e.Material[Light] == MaterialPoints[Rook] &&
             e.Material[Dark] == MaterialPoints[Rook]) {
    const TVerdict verdict =
        board.MenCount[Light][Pawn] == 1 ? RookAndPawnAgainstRook<Light>(board) : RookAndPawnAgainstRook<Dark>(board);
    if (verdict) return *verdict;
  }
  if (men == 2) return PurePawnEnding(board, e);
  if (men == 3) {
    const TVerdict verdict =
        e.NonPawnMen[Light] == 1 ? LonePieceAgainstKing<Light>(board, e) : LonePieceAgainstKing<Dark>(board, e);
    if (verdict) return *verdict;
  }
  return ManyPieces(board, e);
}

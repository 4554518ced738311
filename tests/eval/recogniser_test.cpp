// The special-endgame recogniser on hand-made positions, each checked on the
// position and on its colour-mirrored twin (the other side to move), which
// must give the mirrored verdict.
#include <gtest/gtest.h>

#include <string_view>

#include "eval/endgame_tables.h"
#include "eval/recogniser.h"
#include "eval/square_names.h"
#include "eval/endgame_case.h"

namespace {

int MirroredCode(int code) {
  if (code == LightCannotWin) return DarkCannotWin;
  if (code == DarkCannotWin) return LightCannotWin;
  return code;
}

// The code of the position and of its twin; a bonus code goes to `bonusTo`
// in the position and to the other colour in the twin.
void ExpectCode(std::string_view fen, int code, TBoardSide bonusTo = bsEmpty) {
  SCOPED_TRACE(fen);
  TEndgameCase position(fen);
  EXPECT_EQ(position.Recognise(), code);
  if (bonusTo != bsEmpty) {
    EXPECT_EQ(position.e.EndgameColor, bonusTo);
  }
  TEndgameCase twin(MirroredBoard(*position.board));
  EXPECT_EQ(twin.Recognise(), MirroredCode(code));
  if (bonusTo != bsEmpty) {
    EXPECT_EQ(twin.e.EndgameColor, TBoardSide(Opponent(bonusTo)));
  }
}

TEST(Recogniser, PawnlessMaterialBalances) {
  ExpectCode("8/8/4k3/8/8/2b5/8/R3K3 w - - 0 1", KingsOnly);        // rook against bishop
  ExpectCode("4k3/8/8/8/8/8/r7/R1B1K3 w - - 0 1", KingsOnly);       // rook + bishop against rook
  ExpectCode("4k3/8/8/8/8/8/rn6/R1B1K3 w - - 0 1", KingsOnly);      // rook + bishop against rook + knight
  ExpectCode("4k3/8/8/8/8/8/rn6/R2RK3 w - - 0 1", NoSpecialEnding);  // three rooks: no longer drawish
  ExpectCode("8/8/4k3/8/8/8/8/1NN1K3 w - - 0 1", DeadDraw);         // two knights cannot mate
  ExpectCode("4k3/8/8/8/8/8/r7/3QK3 w - - 0 1", NoSpecialEnding);    // queen against rook
  ExpectCode("4k3/8/8/8/8/8/8/R3K3 w - - 0 1", NoSpecialEnding);     // rook against the bare king
}

TEST(Recogniser, DrawishEndingScoresOnlyTheKings) {
  TEndgameCase position("8/8/8/8/8/2b5/4k3/R6K w - - 0 1");
  EXPECT_EQ(position.Evaluate(), KingCentreDifference(*position.board));
  EXPECT_EQ(KingCentreDifference(*position.board), -20 - -5);  // h1 against e2, White to move
}

// King + bishop (light squares, f1) + knight against the bare king.
int KbnDriveFor(std::string_view fen) {
  SCOPED_TRACE(fen);
  TEndgameCase position(fen);
  const int before = position.e.Score[Light];
  EXPECT_EQ(position.Recognise(), TotalsFinal);
  return position.e.Score[Light] - before;
}

TEST(Recogniser, BishopAndKnightDriveTheKingToTheBishopsCorner) {
  const int centre = KbnDriveFor("8/8/2K5/8/3k4/8/8/1N3B2 b - - 0 1");
  const int thirdRing = KbnDriveFor("8/8/2K5/8/8/4k3/8/1N3B2 b - - 0 1");
  const int nearCorner = KbnDriveFor("8/8/2K5/8/8/8/5k2/1N3B2 b - - 0 1");
  const int rightCorner = KbnDriveFor("8/8/2K5/8/8/8/8/1N3B1k b - - 0 1");
  EXPECT_EQ(centre, 0);
  EXPECT_LT(centre, thirdRing);
  EXPECT_LT(thirdRing, nearCorner);
  EXPECT_LT(nearCorner, rightCorner);
  EXPECT_EQ(rightCorner, 150 + 100);
  // The corners of the other colour are worth less than any edge square.
  EXPECT_EQ(KbnDriveFor("7k/8/2K5/8/8/8/8/1N3B2 b - - 0 1"), 150 - 100);
  EXPECT_EQ(KbnDriveFor("8/8/2K5/8/8/8/8/k2N1B2 b - - 0 1"), 150 - 100);
  // The middle of the edge on the way between the right corners.
  EXPECT_EQ(KbnDriveFor("8/8/2K5/8/7k/8/8/1N3B2 b - - 0 1"), 150 + 50);
  ExpectCode("8/8/2K5/8/8/8/8/1N3B1k b - - 0 1", TotalsFinal);
}

TEST(Recogniser, KingAndPawnAgainstKing) {
  // Kings in opposition in front of a pawn on its own half: the side to
  // move decides.
  ExpectCode("8/8/4k3/8/4K3/4P3/8/8 w - - 0 1", DeadDraw);
  ExpectCode("8/8/4k3/8/4K3/4P3/8/8 b - - 0 1", 50, Light);
  // Further up the board the opposition rule does not apply.
  ExpectCode("4k3/8/4K3/4P3/8/8/8/8 w - - 0 1", 50, Light);
  // The own king on the seventh rank and the enemy king far away.
  ExpectCode("8/3K4/8/7k/3P4/8/8/8 w - - 0 1", 500, Light);
  // The enemy king in front of the pawn, the own king behind it.
  ExpectCode("8/8/4k3/8/4P3/4K3/8/8 w - - 0 1", DeadDraw);
  // Rook pawn: the defender in the corner holds; elsewhere only White can win.
  ExpectCode("8/1k6/8/P7/2K5/8/8/8 w - - 0 1", DeadDraw);
  ExpectCode("8/8/5k2/P7/2K5/8/8/8 w - - 0 1", DarkCannotWin);
}

TEST(Recogniser, RookAndPawnAgainstRook) {
  ExpectCode("4k3/8/8/4P3/8/8/r7/4K2R w - - 0 1", KingsOnly);
  ExpectCode("3k4/8/8/4P3/8/8/r7/4K2R w - - 0 1", DarkCannotWin);
}

TEST(Recogniser, LoneMinorPieceAgainstPawns) {
  ExpectCode("8/8/8/4k3/8/1n6/4P3/4K3 w - - 0 1", -200, Dark);
  ExpectCode("8/8/1b6/4k3/8/8/4P3/4K3 w - - 0 1", DeadDraw);
  ExpectCode("8/8/1b6/4k3/8/8/4PP2/4K3 w - - 0 1", -200, Dark);
  // Bishop and pawn: the king shut in on a1, and the wrong rook pawn.
  ExpectCode("8/8/8/4k3/8/1p6/b7/K7 w - - 0 1", DeadDraw);
  ExpectCode("8/8/8/4k3/8/1p6/b7/2K5 w - - 0 1", LightCannotWin);
  ExpectCode("8/8/8/4k3/p3b3/8/1K6/8 w - - 0 1", DeadDraw);
  ExpectCode("8/8/8/4k3/p3b3/8/1K4PP/8 w - - 0 1", -200, Dark);
  ExpectCode("8/8/8/4k3/p2b4/8/1K6/8 w - - 0 1", LightCannotWin);  // the bishop controls a1
}

TEST(Recogniser, HeavyPieceAgainstPawn) {
  // The pawn wins the race against the rook side's king.
  ExpectCode("8/2K5/1P6/8/8/6k1/8/7r w - - 0 1", DeadDraw);
  ExpectCode("8/2K5/1P6/8/8/8/8/k6r w - - 0 1", DeadDraw);
  ExpectCode("8/2K5/kP6/8/8/8/8/7r w - - 0 1", NoSpecialEnding);  // the king is inside the square
  ExpectCode("r7/8/8/8/8/8/1PK5/7k w - - 0 1", 370, Light);        // still on its first step
  // Queen against a pawn on the seventh rank: the stalemate defences.
  ExpectCode("1K6/P7/8/8/8/8/8/q5k1 w - - 0 1", DeadDraw);
  ExpectCode("K7/2P5/8/8/8/7q/8/6k1 w - - 0 1", DeadDraw);
  ExpectCode("K7/2P5/8/8/8/7q/8/6k1 b - - 0 1", NoSpecialEnding);  // the queen takes over c8
  ExpectCode("8/3P4/3K4/8/8/7q/8/6k1 w - - 0 1", NoSpecialEnding);
}

TEST(Recogniser, EndingsOnlyOneSideCanWin) {
  ExpectCode("4k3/8/8/4n3/8/8/4P3/R3K3 w - - 0 1", DarkCannotWin);    // rook + pawn against knight
  ExpectCode("4k3/4p3/8/8/2b5/8/4P3/R3K3 w - - 0 1", NoSpecialEnding);  // pawns on both sides
  ExpectCode("rn2k3/8/8/8/8/8/PPPP4/RN2K3 w - - 0 1", DarkCannotWin);     // six men, equal pieces
  ExpectCode("rnb1k3/8/8/8/8/8/PPPP4/RNB1K3 w - - 0 1", NoSpecialEnding);  // eight men: too many
}

TEST(Recogniser, PurePawnEndingKingInThePawnsZone) {
  // Pawns on the king's wing only; White's king among them, Black's far away.
  TEndgameCase position("8/5ppp/1k6/8/6K1/8/5PPP/8 w - - 0 1");
  ASSERT_EQ(position.e.Score[Light], position.e.Score[Dark]);
  EXPECT_EQ(position.Recognise(), PawnEndingDone);
  const int placement = KingKingWing[sq::g4] - KingKingWing[mirror(sq::b6)];  // 30 + 35
  const int kingsApart = (7 - 2 - 1) * 30;
  EXPECT_EQ(position.e.Score[Light] - position.e.Score[Dark], placement + kingsApart);
  ExpectCode("8/5ppp/1k6/8/6K1/8/5PPP/8 w - - 0 1", PawnEndingDone);
}

}  // namespace

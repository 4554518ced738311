// The endgame evaluator on hand-made positions: the special-endgame
// recogniser, each position checked with its colour-mirrored twin (the other
// side to move), which must give the mirrored verdict; the endgame piece
// terms, and how the recogniser's codes join the score.
#include <gtest/gtest.h>

#include <string_view>

#include "eval/eval_case.h"
#include "eval/endgame_tables.h"
#include "eval/piece_tables.h"
#include "eval/recogniser.h"
#include "board/square_names.h"

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
  TEvalCase position(fen, endgame);
  EXPECT_EQ(position.Recognise(), code);
  TEvalCase twin(MirroredBoard(*position.board), endgame);
  EXPECT_EQ(twin.Recognise(), MirroredCode(code));
  if (bonusTo == bsEmpty) return;
  EXPECT_EQ(position.e.EndgameColor, bonusTo);
  EXPECT_EQ(twin.e.EndgameColor, TBoardSide(Opponent(bonusTo)));
}

struct TCodeCase { const char* fen; int code; TBoardSide bonusTo = bsEmpty; };

TEST(Recogniser, PawnlessMaterialBalances) {
  const TCodeCase cases[] = {
      {"8/8/4k3/8/8/2b5/8/R3K3 w - - 0 1", KingsOnly},           // rook against bishop
      {"4k3/8/8/8/8/8/r7/R1B1K3 w - - 0 1", KingsOnly},          // rook + bishop against rook
      {"4k3/8/8/8/8/8/rn6/R1B1K3 w - - 0 1", KingsOnly},         // ... against rook + knight
      {"4k3/8/8/8/8/8/rn6/R2RK3 w - - 0 1", NoSpecialEnding},    // three rooks: no longer drawish
      {"8/8/4k3/8/8/8/8/1NN1K3 w - - 0 1", DeadDraw},            // two knights cannot mate
      {"4k3/8/8/8/8/8/r7/3QK3 w - - 0 1", NoSpecialEnding},      // queen against rook
      {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", NoSpecialEnding},       // rook against the bare king
      {"8/8/2K5/8/8/8/8/1N3B1k b - - 0 1", TotalsFinal},         // bishop and knight
  };
  for (const TCodeCase& c : cases) ExpectCode(c.fen, c.code, c.bonusTo);
}

TEST(Recogniser, EndingsWithPawns) {
  const TCodeCase cases[] = {
      // King and pawn: kings in opposition in front of a pawn on its own
      // half, the side to move decides; further up the rule does not apply.
      {"8/8/4k3/8/4K3/4P3/8/8 w - - 0 1", DeadDraw},
      {"8/8/4k3/8/4K3/4P3/8/8 b - - 0 1", 50, Light},
      {"4k3/8/4K3/4P3/8/8/8/8 w - - 0 1", 50, Light},
      {"8/3K4/8/7k/3P4/8/8/8 w - - 0 1", 500, Light},  // own king on the seventh, the other far
      {"8/8/4k3/8/4P3/4K3/8/8 w - - 0 1", DeadDraw},   // enemy king in front, own king behind
      // Rook pawn: the defender in the corner holds; elsewhere only White can win.
      {"8/1k6/8/P7/2K5/8/8/8 w - - 0 1", DeadDraw},
      {"8/8/5k2/P7/2K5/8/8/8 w - - 0 1", DarkCannotWin},
      // Rook and pawn against rook.
      {"4k3/8/8/4P3/8/8/r7/4K2R w - - 0 1", KingsOnly},
      {"3k4/8/8/4P3/8/8/r7/4K2R w - - 0 1", DarkCannotWin},
      // A lone minor piece against pawns.
      {"8/8/8/4k3/8/1n6/4P3/4K3 w - - 0 1", -200, Dark},
      {"8/8/1b6/4k3/8/8/4P3/4K3 w - - 0 1", DeadDraw},
      {"8/8/1b6/4k3/8/8/4PP2/4K3 w - - 0 1", -200, Dark},
      // Bishop and pawn: the king shut in on a1, and the wrong rook pawn.
      {"8/8/8/4k3/8/1p6/b7/K7 w - - 0 1", DeadDraw},
      {"8/8/8/4k3/8/1p6/b7/2K5 w - - 0 1", LightCannotWin},
      {"8/8/8/4k3/p3b3/8/1K6/8 w - - 0 1", DeadDraw},
      {"8/8/8/4k3/p3b3/8/1K4PP/8 w - - 0 1", -200, Dark},
      {"8/8/8/4k3/p2b4/8/1K6/8 w - - 0 1", LightCannotWin},  // the bishop controls a1
      // Rook against a pawn that wins the race against the rook side's king.
      {"8/2K5/1P6/8/8/6k1/8/7r w - - 0 1", DeadDraw},
      {"8/2K5/1P6/8/8/8/8/k6r w - - 0 1", DeadDraw},
      {"8/2K5/kP6/8/8/8/8/7r w - - 0 1", NoSpecialEnding},  // the king is inside the square
      {"r7/8/8/8/8/8/1PK5/7k w - - 0 1", 370, Light},       // still on its first step
      // Queen against a pawn on the seventh rank: the stalemate defences.
      {"1K6/P7/8/8/8/8/8/q5k1 w - - 0 1", DeadDraw},
      {"K7/2P5/8/8/8/7q/8/6k1 w - - 0 1", DeadDraw},
      {"K7/2P5/8/8/8/7q/8/6k1 b - - 0 1", NoSpecialEnding},  // the queen takes over c8
      {"8/3P4/3K4/8/8/7q/8/6k1 w - - 0 1", NoSpecialEnding},
      // Endings only one side can win, and where the rule stops.
      {"4k3/8/8/4n3/8/8/4P3/R3K3 w - - 0 1", DarkCannotWin},      // rook + pawn against knight
      {"4k3/4p3/8/8/2b5/8/4P3/R3K3 w - - 0 1", NoSpecialEnding},  // pawns on both sides
      {"rn2k3/8/8/8/8/8/PPPP4/RN2K3 w - - 0 1", DarkCannotWin},     // six men, equal pieces
      {"rnb1k3/8/8/8/8/8/PPPP4/RNB1K3 w - - 0 1", NoSpecialEnding},  // eight men: too many
      {"8/5ppp/1k6/8/6K1/8/5PPP/8 w - - 0 1", PawnEndingDone},
  };
  for (const TCodeCase& c : cases) ExpectCode(c.fen, c.code, c.bonusTo);
}

// King + bishop (light squares, f1) + knight against the bare king.
int KbnDriveFor(std::string_view fen) {
  SCOPED_TRACE(fen);
  TEvalCase position(fen, endgame);
  const int before = position.e.Score[Light];
  EXPECT_EQ(position.Recognise(), TotalsFinal);
  return position.e.Score[Light] - before;
}

TEST(Recogniser, BishopAndKnightDriveTheKingToTheBishopsCorner) {
  const int centre = KbnDriveFor("8/8/2K5/8/3k4/8/8/1N3B2 b - - 0 1");
  const int thirdRing = KbnDriveFor("8/8/2K5/8/8/4k3/8/1N3B2 b - - 0 1");
  const int nearCorner = KbnDriveFor("8/8/2K5/8/8/8/5k2/1N3B2 b - - 0 1");
  EXPECT_EQ(centre, 0);
  EXPECT_LT(centre, thirdRing);
  EXPECT_LT(thirdRing, nearCorner);
  EXPECT_LT(nearCorner, KbnDriveFor("8/8/2K5/8/8/8/8/1N3B1k b - - 0 1"));
  EXPECT_EQ(KbnDriveFor("8/8/2K5/8/8/8/8/1N3B1k b - - 0 1"), 150 + 100);
  // The corners of the other colour are worth less than any edge square;
  // the middle of the edge lies on the way between the right corners.
  EXPECT_EQ(KbnDriveFor("7k/8/2K5/8/8/8/8/1N3B2 b - - 0 1"), 150 - 100);
  EXPECT_EQ(KbnDriveFor("8/8/2K5/8/8/8/8/k2N1B2 b - - 0 1"), 150 - 100);
  EXPECT_EQ(KbnDriveFor("8/8/2K5/8/7k/8/8/1N3B2 b - - 0 1"), 150 + 50);
}

TEST(Recogniser, PurePawnEndingKingInThePawnsZone) {
  // Pawns on the king's wing only; White's king among them, Black's far away.
  TEvalCase position("8/5ppp/1k6/8/6K1/8/5PPP/8 w - - 0 1", endgame);
  ASSERT_EQ(position.e.Score[Light], position.e.Score[Dark]);
  EXPECT_EQ(position.Recognise(), PawnEndingDone);
  const int placement = KingKingWing[sq::g4] - KingKingWing[mirror(sq::b6)];  // 30 + 35
  const int kingsApart = (7 - 2 - 1) * 30;
  EXPECT_EQ(position.e.Score[Light] - position.e.Score[Dark], placement + kingsApart);
}


// What the pieces in `with` that are missing from `without` add to White.
int PiecesAdd(std::string_view with, std::string_view without) {
  TEvalCase a(with, endgame), b(without, endgame);
  return a.Pieces(Light) - b.Pieces(Light);
}

TEST(EndgamePieces, RookTerms) {
  struct TCase { const char *with, *without; int added; };
  const TCase cases[] = {
      // Behind its own passer; in front of it on the eighth.
      {"8/8/3P4/8/8/k7/8/3R3K w - - 0 1", "8/8/3P4/8/8/k7/8/7K w - - 0 1", 20},
      {"3R4/8/3P4/8/8/k7/8/7K w - - 0 1", "8/8/3P4/8/8/k7/8/7K w - - 0 1", -20 + 10},
      // On the seventh against a king on g8: 30 more while its f- and g-pawn
      // cover is gone. An e-pawn is no cover, nor a pawn that has left home.
      {"6k1/R7/8/8/8/8/8/6K1 w - - 0 1", "6k1/8/8/8/8/8/8/6K1 w - - 0 1", 20 + 30},
      {"6k1/R4pp1/8/8/8/8/8/6K1 w - - 0 1", "6k1/5pp1/8/8/8/8/8/6K1 w - - 0 1", 20},
      {"6k1/R5p1/8/8/8/8/8/6K1 w - - 0 1", "6k1/6p1/8/8/8/8/8/6K1 w - - 0 1", 20},
      {"6k1/R3p3/8/8/8/8/8/6K1 w - - 0 1", "6k1/4p3/8/8/8/8/8/6K1 w - - 0 1", 20 + 30},
      {"6k1/R7/5pp1/8/8/8/8/6K1 w - - 0 1", "6k1/8/5pp1/8/8/8/8/6K1 w - - 0 1", 20 + 30},
  };
  for (const TCase& c : cases) EXPECT_EQ(PiecesAdd(c.with, c.without), c.added) << c.with;
}

TEST(EndgamePieces, KnightsAndBishops) {
  // A lone knight on d5 against rook pawns: eight safe squares (+8), its
  // square (+10), and 40 off against two of them, 20 against one; with a rook
  // beside it the knight is not alone.
  EXPECT_EQ(PiecesAdd("8/8/8/3N4/8/p6p/8/K6k w - - 0 1", "8/8/8/8/8/p6p/8/K6k w - - 0 1"), 8 + 10 - 40);
  EXPECT_EQ(PiecesAdd("8/8/8/3N4/8/p5p1/8/K6k w - - 0 1", "8/8/8/8/8/p5p1/8/K6k w - - 0 1"), 8 + 10 - 20);
  EXPECT_EQ(PiecesAdd("1R6/8/8/3N4/8/p6p/8/K6k w - - 0 1", "1R6/8/8/8/8/p6p/8/K6k w - - 0 1"), 8 + 10);
  // A bishop shut in by its own pawns is bad: its square, no mobility, and
  // hemmed in on c1 by the pawns on b2 and d2.
  TEvalCase bishop("4k3/8/8/8/8/8/1P1P4/2B1K3 w - - 0 1", endgame);
  const int withBishop = bishop.Pieces(Light);
  EXPECT_EQ(bishop.e.BadBishops[Light], 1);
  TEvalCase noBishop("4k3/8/8/8/8/8/1P1P4/4K3 w - - 0 1", endgame);
  EXPECT_EQ(withBishop - noBishop.Pieces(Light), BishopSquare[sq::c1] - 15 - 40);
}

TEST(EndgameEvaluation, SideThatCannotWinKeepsOnlyTheKingsDifference) {
  // Rook against bishop and pawn: Black is ahead but cannot win.
  TEvalCase blackAhead("7r/6k1/8/8/8/3K4/4P3/2B5 w - - 0 1", endgame);
  EXPECT_EQ(blackAhead.Evaluate(), KingCentreDifference(*blackAhead.board));
  EXPECT_EQ(KingCentreDifference(*blackAhead.board), 4 - -10);
  // Rook against bishop: drawish, the kings alone (h1 against e2, White to move).
  TEvalCase drawish("8/8/8/8/8/2b5/4k3/R6K w - - 0 1", endgame);
  EXPECT_EQ(drawish.Evaluate(), -20 - -5);
  // Rook and pawn against knight: White is ahead and may win.
  TEvalCase whiteAhead("4k3/8/8/4n3/8/8/4P3/R3K3 w - - 0 1", endgame);
  EXPECT_GT(whiteAhead.Evaluate(), 100);
}

TEST(EndgameEvaluation, BonusCodesJoinTheScore) {
  // King and pawn with the opposition: 50 for White on top of the pawn.
  TEvalCase won("8/8/4k3/8/4K3/4P3/8/8 b - - 0 1", endgame);
  TEvalCase drawn("8/8/4k3/8/4K3/4P3/8/8 w - - 0 1", endgame);
  EXPECT_EQ(drawn.Evaluate(), 0);
  EXPECT_LE(won.Evaluate(), -(100 + 50));
}

}  // namespace

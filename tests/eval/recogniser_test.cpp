// The recogniser's verdicts on known endings, each with its colour-mirrored
// twin's mirrored verdict, and how verdicts join the endgame score.
#include <gtest/gtest.h>

#include <string_view>

#include "eval/eval_case.h"
#include "eval/recogniser.h"

namespace {

int MirroredCode(int code) {
  return code == LightCannotWin ? DarkCannotWin : code == DarkCannotWin ? LightCannotWin : code;
}

// The code of the position and its twin; a bonus goes to `bonusTo`, in the twin to the other colour.
void ExpectCode(std::string_view fen, int code, TBoardSide bonusTo = bsEmpty) {
  SCOPED_TRACE(fen);
  TEvalCase position(fen, endgame);
  EXPECT_EQ(position.Recognise(), code);
  TEvalCase twin(MirroredBoard(fen), endgame);
  EXPECT_EQ(twin.Recognise(), MirroredCode(code));
  if (bonusTo == bsEmpty) return;
  EXPECT_EQ(position.e.EndgameColor, bonusTo);
  EXPECT_EQ(twin.e.EndgameColor, TBoardSide(Opponent(bonusTo)));
}

struct TCodeCase {
  const char* fen;
  int code;
  TBoardSide bonusTo = bsEmpty;
};

TEST(Recogniser, PawnlessMaterialBalances) {
  const TCodeCase cases[] = {
      {"8/8/4k3/8/8/2b5/8/R3K3 w - - 0 1", KingsOnly},         // rook against bishop
      {"4k3/8/8/8/8/8/r7/R1B1K3 w - - 0 1", KingsOnly},        // rook + bishop against rook
      {"4k3/8/8/8/8/8/rn6/R2RK3 w - - 0 1", NoSpecialEnding},  // three rooks: no longer drawish
      {"8/8/4k3/8/8/8/8/1NN1K3 w - - 0 1", DeadDraw},          // two knights cannot mate
      {"4k3/8/8/8/8/8/r7/3QK3 w - - 0 1", NoSpecialEnding},    // queen against rook
      {"8/8/2K5/8/8/8/8/1N3B1k b - - 0 1", TotalsFinal},       // bishop and knight
  };
  for (const TCodeCase& c : cases) ExpectCode(c.fen, c.code, c.bonusTo);
}

TEST(Recogniser, EndingsWithPawns) {
  const TCodeCase cases[] = {
      // King and pawn: kings in opposition in front of a pawn on its own
      // half, the side to move decides; further up the rule does not apply.
      {"8/8/4k3/8/4K3/4P3/8/8 w - - 0 1", DeadDraw},
      {"8/8/4k3/8/4K3/4P3/8/8 b - - 0 1", 50, Light},
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
      // Bishop and pawn: the king shut in on a1, and the wrong rook pawn.
      {"8/8/8/4k3/8/1p6/b7/K7 w - - 0 1", DeadDraw},
      {"8/8/8/4k3/8/1p6/b7/2K5 w - - 0 1", LightCannotWin},
      {"8/8/8/4k3/p3b3/8/1K6/8 w - - 0 1", DeadDraw},
      {"8/8/8/4k3/p2b4/8/1K6/8 w - - 0 1", LightCannotWin},  // the bishop controls a1
      // Rook against a pawn that wins the race against the rook side's king.
      {"8/2K5/1P6/8/8/6k1/8/7r w - - 0 1", DeadDraw},
      {"8/2K5/kP6/8/8/8/8/7r w - - 0 1", NoSpecialEnding},  // the king is inside the square
      {"r7/8/8/8/8/8/1PK5/7k w - - 0 1", 370, Light},       // still on its first step
      // Queen against a pawn on the seventh rank: the stalemate defences.
      {"1K6/P7/8/8/8/8/8/q5k1 w - - 0 1", DeadDraw},
      {"K7/2P5/8/8/8/7q/8/6k1 w - - 0 1", DeadDraw},
      {"K7/2P5/8/8/8/7q/8/6k1 b - - 0 1", NoSpecialEnding},  // the queen takes over c8
      // Endings only one side can win, and where the rule stops.
      {"4k3/8/8/4n3/8/8/4P3/R3K3 w - - 0 1", DarkCannotWin},         // rook + pawn against knight
      {"4k3/4p3/8/8/2b5/8/4P3/R3K3 w - - 0 1", NoSpecialEnding},     // pawns on both sides
      {"rn2k3/8/8/8/8/8/PPPP4/RN2K3 w - - 0 1", DarkCannotWin},      // six men, equal pieces
      {"rnb1k3/8/8/8/8/8/PPPP4/RNB1K3 w - - 0 1", NoSpecialEnding},  // eight men: too many
      {"8/5ppp/1k6/8/6K1/8/5PPP/8 w - - 0 1", PawnEndingDone},
  };
  for (const TCodeCase& c : cases) ExpectCode(c.fen, c.code, c.bonusTo);
}

// K+B(f1)+N against K: the bonus grows as the king nears the bishop's corners;
// the other corners are worth less than the edge between them.
int KbnDrive(std::string_view fen) {
  SCOPED_TRACE(fen);
  TEvalCase position(fen, endgame);
  const int before = position.e.Score[Light];
  EXPECT_EQ(position.Recognise(), TotalsFinal);
  return position.e.Score[Light] - before;
}

TEST(Recogniser, BishopAndKnightDriveTheKingToTheBishopsCorner) {
  const char* const drive[] = {"8/8/2K5/8/3k4/8/8/1N3B2 b - - 0 1", "8/8/2K5/8/8/4k3/8/1N3B2 b - - 0 1",
                               "8/8/2K5/8/8/8/5k2/1N3B2 b - - 0 1", "8/8/2K5/8/8/8/8/1N3B1k b - - 0 1"};
  for (int i = 1; i < 4; ++i) EXPECT_LT(KbnDrive(drive[i - 1]), KbnDrive(drive[i])) << drive[i];
  EXPECT_LT(KbnDrive("7k/8/2K5/8/8/8/8/1N3B2 b - - 0 1"), KbnDrive("8/8/2K5/8/7k/8/8/1N3B2 b - - 0 1"));
  EXPECT_EQ(KbnDrive("7k/8/2K5/8/8/8/8/1N3B2 b - - 0 1"), KbnDrive("8/8/2K5/8/8/8/8/k2N1B2 b - - 0 1"));
}

// Endgame piece terms, each pair the better placement first.
TEST(EndgamePieces, EachRuleScoresTheWorsePlacementLower) {
  const std::pair<const char*, const char*> cases[] = {
      {"8/8/3P4/8/8/k7/8/3R3K w - - 0 1", "3R4/8/3P4/8/8/k7/8/7K w - - 0 1"},     // behind its passer, not in front
      {"6k1/R7/8/8/8/8/8/6K1 w - - 0 1", "6k1/R4pp1/8/8/8/8/8/6K1 w - - 0 1"},    // seventh against an uncovered king
      {"1R6/8/8/3N4/8/p6p/8/K6k w - - 0 1", "1R6/8/8/N7/8/p6p/8/K6k w - - 0 1"},  // knight centralised
  };
  for (const auto& [better, worse] : cases)
    EXPECT_GT(TEvalCase(better, endgame).Pieces(Light), TEvalCase(worse, endgame).Pieces(Light)) << worse;
}

TEST(EndgameEvaluation, TheRecognisersVerdictsDecideTheScore) {
  // Rook against bishop (and pawn): the side ahead cannot win, so only the kings' placement counts.
  for (const char* fen : {"7r/6k1/8/8/8/3K4/4P3/2B5 w - - 0 1", "8/8/8/8/8/2b5/4k3/R6K w - - 0 1"}) {
    TEvalCase position(fen, endgame);
    EXPECT_EQ(position.Evaluate(), KingCentreDifference(*position.board)) << fen;
  }
  EXPECT_GT(TEvalCase("4k3/8/8/4n3/8/8/4P3/R3K3 w - - 0 1", endgame).Evaluate(), 100);  // White may win
  // King and pawn: the opposition decides between a draw and a win.
  EXPECT_EQ(TEvalCase("8/8/4k3/8/4K3/4P3/8/8 w - - 0 1", endgame).Evaluate(), 0);
  EXPECT_LE(TEvalCase("8/8/4k3/8/4K3/4P3/8/8 b - - 0 1", endgame).Evaluate(), -150);
}

}  // namespace

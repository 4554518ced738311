// The evaluation driver: game phase and material counters, the locked-centre
// test, the pawn hash's phases, and the middlegame adjustments.
#include <gtest/gtest.h>

#include "eval/middlegame_adjustments.h"
#include "eval/terms.h"
#include "board/keys.h"
#include "support/eval_positions.h"

namespace {

TPhase PhaseOf(std::string_view fen, TPhase rootPhase = middlegame) {
  TEvalState e;
  e.PhaseDepart = rootPhase;
  return DeterminePhase(*BoardFromFen(fen), e);
}

// A position with the evaluation state as the piece terms would leave it:
// material counted, totals of 1000 a side, pawns on both wings, no attack.
struct TAdjustCase {
  std::unique_ptr<TSearchBoard> board;
  TEvalState e;
  TAttackFacts light, dark;

  explicit TAdjustCase(std::string_view fen) : board(BoardFromFen(fen)) {
    DeterminePhase(*board, e);
    e.Score = {1000, 1000};
    e.Aile_Roi = e.Aile_Dame = 8;
  }

  TTabScore Adjusted(TTabScore base = {1000, 1000}) {
    AdjustMiddlegame(*board, e, base, light, dark);
    return e.Score;
  }

  int ShapedWhiteAttack(std::initializer_list<int> entries) {
    std::copy(entries.begin(), entries.end(), e.TabTropisme[Light]);
    light = ShapeKingAttack(*board, e, Light);
    return e.Tropism[Light];
  }
};

constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

}  // namespace

TEST(EvalPhase, MaterialCountsThresholdsAndTheRootPhase) {
  struct TCase { const char* fen; TPhase root, phase; };
  const TCase cases[] = {  // without queens both sides must exceed 120 points
      {"r1b1k2r/8/8/8/8/8/8/R1B1K2R w - - 0 1", middlegame, endgame},  // 120 is not above 120
      {"r1b1k2r/8/8/8/8/8/8/RNB1K2R w - - 0 1", middlegame, endgame},  // 150 against 120
      {"r1b1k1nr/8/8/8/8/8/8/RNB1K2R w - - 0 1", middlegame, middlegame},
      // With a queen on the board one side above 120 is enough.
      {"4k3/8/8/8/8/8/8/R2QK3 w - - 0 1", middlegame, middlegame},
      {"3qk1n1/8/8/8/8/8/8/3QK1N1 w - - 0 1", middlegame, endgame},  // 120 a side, neither above
      // An endgame root keeps every node in the endgame.
      {StartFen, endgame, endgame},
  };
  for (const TCase& c : cases) EXPECT_EQ(PhaseOf(c.fen, c.root), c.phase) << c.fen;
  // The root phase itself is decided by material alone.
  TEvalState e;
  e.PhaseDepart = endgame;
  EXPECT_EQ(RootPhase(*BoardFromFen(StartFen), e), middlegame);
  EXPECT_TRUE(e.NonPawnMen[Dark] == 8 && e.Material[Light] == 300);
  EXPECT_EQ(e.MaterialScore[Dark], 2 * 300 + 2 * 310 + 2 * 470 + 900);
  EXPECT_EQ(RootPhase(*BoardFromFen("r1b1k2r/8/8/8/8/8/8/R1B1K2R w - - 0 1"), e), endgame);
}

TEST(EvalDriver, CentreClosed) {
  for (const char* fen : {"4k3/8/8/4p3/3pP3/3P4/8/4K3 w - - 0 1", "4k3/8/3p4/3Pp3/4P3/8/8/4K3 w - - 0 1"})
    EXPECT_TRUE(CentreClosed(*BoardFromFen(fen))) << fen;
  // The same chains with one pawn missing, or not locked against each other.
  for (const char* fen : {"4k3/8/8/4p3/3pP3/8/8/4K3 w - - 0 1", "4k3/8/8/3pp3/3PP3/8/8/4K3 w - - 0 1"})
    EXPECT_FALSE(CentreClosed(*BoardFromFen(fen))) << fen;
}

TEST(EvalPawnHash, MiddlegameEntriesAreNotReusedInTheEndgame) {
  // Doubled c-pawns cost 5 in the middlegame and 10 in the endgame.
  const auto board = BoardFromFen("r1bqk2r/pp3ppp/2n2n2/8/8/2P2N2/P1P2PPP/R1BQKB1R w KQkq - 0 1");
  TPawnHash tables(1);
  TEvalState fresh;
  fresh.PhaseDepart = endgame;
  const int endgameAlone = Evaluate(*board, fresh, tables);

  tables.Clear();
  TEvalState e;
  Evaluate(*board, e, tables);
  const THashP& entry = tables.Entry(board->hashP);
  EXPECT_EQ(entry.ID, board->hashP ^ Keys.PhaseKeys[PhaseKeySelect[middlegame]]);
  const TTabScore middlegamePawns = entry.TabScore;

  e.PhaseDepart = endgame;
  EXPECT_EQ(Evaluate(*board, e, tables), endgameAlone);
  EXPECT_EQ(entry.ID, board->hashP ^ Keys.PhaseKeys[PhaseKeySelect[endgame]]);
  EXPECT_NE(entry.TabScore, middlegamePawns);
}

TEST(EvalAdjustments, KingAttackShapedByQueenAndMaterial) {
  // With the queen and no material deficit, 25..29 points earn 50 more.
  TAdjustCase ahead("4k3/8/8/8/8/8/8/3QK2R w - - 0 1");
  EXPECT_EQ(ahead.ShapedWhiteAttack({0, 0, 0, 0, 27}), 77);
  // Against a defender 90 points up the attack earns its compensation (300).
  TAdjustCase behind("r2qk2r/8/8/8/8/8/8/3QK3 w - - 0 1");
  EXPECT_EQ(behind.ShapedWhiteAttack({0, 0, 0, 0, 27}), 27 + 300 + 50);
  // Without the queen and under 135 points there is no attack at all.
  TAdjustCase rooks("4k3/8/8/8/8/8/8/R3K2R w - - 0 1");
  EXPECT_EQ(rooks.ShapedWhiteAttack({5, 10, 0, 10, 0}), 0);
  // Without the queen but with enough pieces: small attacks vanish, 20..24
  // stays, 41 and more gain 200.
  TAdjustCase pieces("4k3/8/8/8/8/8/8/RNB1K2R w - - 0 1");
  EXPECT_EQ(pieces.ShapedWhiteAttack({0, 5, 0, 14, 0}), 0);
  EXPECT_EQ(pieces.ShapedWhiteAttack({5, 5, 0, 12, 0}), 22);
  EXPECT_EQ(pieces.ShapedWhiteAttack({5, 10, 10, 20, 0}), 245);
  pieces.e.BishopTropismCount[Light] = 1;
  pieces.ShapedWhiteAttack({5, 10, 10, 20, 0});
  EXPECT_TRUE(pieces.light.pawnStorm);
  EXPECT_EQ(pieces.light.attackers, 3);  // knight, rook and the one bishop counted
}

TEST(EvalAdjustments, RooksOnOpenAndHalfOpenFiles) {
  TAdjustCase c("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w - - 0 1");
  c.e.OpenFileRook1[Light] = 4;                  // d-file: 20, and 15 for the enemy queen there
  c.e.OpenFileRook2[Light] = 5;                  // e-file: an outpost on it leaves 10
  c.e.MinorOutpostFiles[Dark] = TSquareSet{1} << 5;
  c.e.QueenFile[Dark] = 4;
  c.e.HalfOpenFileRook1[Dark] = 3;                  // half-open c-file: 5, and 7 for the queen
  c.e.QueenFile[Light] = 3;
  EXPECT_EQ(c.Adjusted(), (TTabScore{1045, 1012}));
}

TEST(EvalAdjustments, BishopPairMaterialLeadAndPawnCompensation) {
  // Two bishops and a rook against rook and knight: a lead of 2 steps earns
  // 100, the pair 20 (10 with one bad bishop, still allowed below 151 points).
  for (const int badBishops : {0, 1}) {
    TAdjustCase c("r3k1n1/pppppppp/8/8/8/8/PPPPPPPP/R1B1KB2 w - - 0 1");
    c.e.BadBishops[Light] = badBishops;
    EXPECT_EQ(c.Adjusted()[Light], 1120 - 10 * badBishops);
  }
  struct TCase { TTabScore before; int queenWing; TTabScore after; };
  const TCase cases[] = {
      {{1085, 1000}, 8, {1165, 1000}},  // a pawn down, 85 gained by the pieces: the pawn back
      {{1079, 1000}, 8, {1079, 1000}},  // 79 is not enough
      {{1000, 1100}, 0, {1000, 1070}},  // all pawns on one wing, no passer: the side ahead loses 30
  };
  for (const TCase& t : cases) {
    TAdjustCase c("r2qk2r/pppppppp/8/8/8/8/PPPPPPP1/R2QK2R w - - 0 1");
    c.e.Score = t.before;
    c.e.Aile_Dame = t.queenWing;
    EXPECT_EQ(c.Adjusted(), t.after) << t.before[Light] << " " << t.before[Dark];
  }
}

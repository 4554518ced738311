// The evaluation driver: game phase and material counters, the locked-centre
// test, and the pawn hash (a hit must give exactly what a miss gives, and the
// two phases never share entries).
#include <gtest/gtest.h>

#include "eval/middlegame_adjustments.h"
#include "eval/terms.h"
#include "hash/keys.h"
#include "support/eval_positions.h"

namespace {

TPhase PhaseOf(std::string_view fen, TPhase rootPhase = middlegame) {
  const auto board = BoardFromFen(fen);
  TEvalState e;
  e.PhaseDepart = rootPhase;
  return DeterminePhase(*board, e);
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
    return e.Tropisme_L;
  }
};

constexpr std::string_view StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

}  // namespace

TEST(EvalPhase, StartPositionIsMiddlegameWithItsMaterialCounted) {
  const auto board = BoardFromFen(StartFen);
  TEvalState e;
  EXPECT_EQ(RootPhase(*board, e), middlegame);
  EXPECT_EQ(e.PhaseDepart, middlegame);
  EXPECT_EQ(DeterminePhase(*board, e), middlegame);
  EXPECT_EQ(e.NL, 8);
  EXPECT_EQ(e.ND, 8);
  EXPECT_EQ(e.Material_Light, 300);
  EXPECT_EQ(e.Material_Dark, 300);
  EXPECT_EQ(e.piece_mat[Light], 2 * 300 + 2 * 310 + 2 * 470 + 900);
  EXPECT_EQ(e.piece_mat[Dark], e.piece_mat[Light]);
}

TEST(EvalPhase, MaterialThresholds) {
  // Queens off, two rooks and a bishop each: 120 points is not above 120.
  EXPECT_EQ(PhaseOf("r1b1k2r/8/8/8/8/8/8/R1B1K2R w - - 0 1"), endgame);
  // Queens off, 150 against 120: without queens both sides must exceed 120.
  EXPECT_EQ(PhaseOf("r1b1k2r/8/8/8/8/8/8/RNB1K2R w - - 0 1"), endgame);
  // 150 a side without queens: both exceed 120.
  EXPECT_EQ(PhaseOf("r1b1k1nr/8/8/8/8/8/8/RNB1K2R w - - 0 1"), middlegame);
  // With a queen on the board one side above 120 is enough.
  EXPECT_EQ(PhaseOf("4k3/8/8/8/8/8/8/R2QK3 w - - 0 1"), middlegame);
  EXPECT_EQ(PhaseOf("3qk3/8/8/8/8/8/8/R2QK3 b - - 0 1"), middlegame);
  // Queen and knight each: 120 points a side, neither above.
  EXPECT_EQ(PhaseOf("3qk1n1/8/8/8/8/8/8/3QK1N1 w - - 0 1"), endgame);
}

TEST(EvalPhase, EndgameRootKeepsEveryNodeInTheEndgame) {
  EXPECT_EQ(PhaseOf(StartFen, endgame), endgame);
  // The root phase itself is decided by material alone.
  const auto board = BoardFromFen(StartFen);
  TEvalState e;
  e.PhaseDepart = endgame;
  EXPECT_EQ(RootPhase(*board, e), middlegame);
  const auto ending = BoardFromFen("r1b1k2r/8/8/8/8/8/8/R1B1K2R w - - 0 1");
  EXPECT_EQ(RootPhase(*ending, e), endgame);
}

TEST(EvalDriver, CentreClosed) {
  EXPECT_TRUE(CentreClosed(*BoardFromFen("4k3/8/8/4p3/3pP3/3P4/8/4K3 w - - 0 1")));
  EXPECT_TRUE(CentreClosed(*BoardFromFen("4k3/8/3p4/3Pp3/4P3/8/8/4K3 w - - 0 1")));
  // The same chains with one pawn missing, or not locked against each other.
  EXPECT_FALSE(CentreClosed(*BoardFromFen("4k3/8/8/4p3/3pP3/8/8/4K3 w - - 0 1")));
  EXPECT_FALSE(CentreClosed(*BoardFromFen("4k3/8/8/3pp3/3PP3/8/8/4K3 w - - 0 1")));
  EXPECT_FALSE(CentreClosed(*BoardFromFen(StartFen)));
}

TEST(EvalPawnHash, HitGivesExactlyTheMissScore) {
  THashClass tables(1);
  for (const TPhase root : {middlegame, endgame}) {
    for (const std::string& fen : VariedPositions()) {
      const auto board = BoardFromFen(fen);
      THashP& entry = tables.PawnEntry(board->hashP);
      entry = THashP{};
      TEvalState missState, hitState;
      missState.PhaseDepart = hitState.PhaseDepart = root;
      const int miss = Evaluate(*board, missState, tables);
      ASSERT_EQ(entry.ID, board->hashP ^ Keys.PhaseKeys[PhaseKeySelect[missState.Phase]]) << fen;
      const THashP stored = entry;
      const int hit = Evaluate(*board, hitState, tables);
      EXPECT_EQ(hit, miss) << fen;
      EXPECT_EQ(hitState.Score, missState.Score) << fen;
      EXPECT_EQ(hitState.Aile_Roi, missState.Aile_Roi) << fen;
      EXPECT_EQ(hitState.Aile_Dame, missState.Aile_Dame) << fen;
      EXPECT_EQ(hitState.IndexL, missState.IndexL) << fen;
      EXPECT_EQ(hitState.IndexD, missState.IndexD) << fen;
      EXPECT_EQ(hitState.Pions, missState.Pions) << fen;
      EXPECT_EQ(hitState.SetPasseds, missState.SetPasseds) << fen;
      // A hit leaves the entry as it was.
      EXPECT_EQ(entry.TabScore, stored.TabScore) << fen;
    }
  }
}

TEST(EvalPawnHash, MiddlegameEntriesAreNotReusedInTheEndgame) {
  // Doubled c-pawns cost 5 in the middlegame and 10 in the endgame.
  const auto board = BoardFromFen("r1bqk2r/pp3ppp/2n2n2/8/8/2P2N2/P1P2PPP/R1BQKB1R w KQkq - 0 1");
  THashClass tables(1);
  TEvalState fresh;
  fresh.PhaseDepart = endgame;
  const int endgameAlone = Evaluate(*board, fresh, tables);

  tables.videHash();
  TEvalState e;
  Evaluate(*board, e, tables);
  const THashP& entry = tables.PawnEntry(board->hashP);
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
  pieces.e.Ntrop_FousL = 1;
  pieces.ShapedWhiteAttack({5, 10, 10, 20, 0});
  EXPECT_TRUE(pieces.light.pawnStorm);
  EXPECT_EQ(pieces.light.attackers, 3);  // knight, rook and the one bishop counted
}

TEST(EvalAdjustments, RooksOnOpenAndHalfOpenFiles) {
  TAdjustCase c("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w - - 0 1");
  c.e.ColonneTour1_L = 4;                  // d-file: 20, and 15 for the enemy queen there
  c.e.ColonneTour2_L = 5;                  // e-file: an outpost on it leaves 10
  c.e.SetMinOpen_D = TSquareSet{1} << 5;
  c.e.ColonneDame_D = 4;
  c.e.ColSemiTour1_D = 3;                  // half-open c-file: 5, and 7 for the queen
  c.e.ColonneDame_L = 3;
  EXPECT_EQ(c.Adjusted(), (TTabScore{1045, 1012}));
}

TEST(EvalAdjustments, BishopPairAndMaterialLead) {
  // Two bishops and a rook against rook and knight: a lead of 2 steps earns
  // 100, the pair 20 (10 with one bad bishop, still allowed below 151 points).
  TAdjustCase c("r3k1n1/pppppppp/8/8/8/8/PPPPPPPP/R1B1KB2 w - - 0 1");
  EXPECT_EQ(c.Adjusted()[Light], 1120);
  TAdjustCase bad("r3k1n1/pppppppp/8/8/8/8/PPPPPPPP/R1B1KB2 w - - 0 1");
  bad.e.Bad_Bishop_L = 1;
  EXPECT_EQ(bad.Adjusted()[Light], 1110);
}

TEST(EvalAdjustments, PawnCompensationAndOneWing) {
  // A pawn down, with 85 gained over the base totals by the pieces: the pawn back.
  TAdjustCase c("r2qk2r/pppppppp/8/8/8/8/PPPPPPP1/R2QK2R w - - 0 1");
  c.e.Score = {1085, 1000};
  EXPECT_EQ(c.Adjusted()[Light], 1165);
  TAdjustCase little("r2qk2r/pppppppp/8/8/8/8/PPPPPPP1/R2QK2R w - - 0 1");
  little.e.Score = {1079, 1000};
  EXPECT_EQ(little.Adjusted()[Light], 1079);
  // All pawns on one wing and no passer: the side ahead loses 30.
  TAdjustCase wing("r2qk2r/pppppppp/8/8/8/8/PPPPPPP1/R2QK2R w - - 0 1");
  wing.e.Score = {1000, 1100};
  wing.e.Aile_Dame = 0;
  EXPECT_EQ(wing.Adjusted(), (TTabScore{1000, 1070}));
}

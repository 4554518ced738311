// Properties over a few hundred varied positions and the special endings,
// with the root in either phase: a position and its colour-mirrored twin
// (the other side to move) evaluate equal, and a pawn-hash hit gives exactly
// what a miss gives.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "eval/eval_case.h"
#include "eval/pawn_hash.h"
#include "board/keys.h"
#include "support/build_speed.h"

namespace {

// Endings of the kinds the recogniser and the endgame rules single out.
const std::vector<std::string> SpecialEndings = {
    "8/8/2K5/8/3k4/8/8/1N3B2 b - - 0 1",           // king + bishop + knight
    "8/8/4k3/8/4K3/4P3/8/8 w - - 0 1",             // king and pawn, opposition
    "8/3K4/8/7k/3P4/8/8/8 b - - 0 1",              // king and pawn, escorted
    "8/8/5k2/P7/2K5/8/8/8 w - - 0 1",              // rook pawn
    "8/2K5/1P6/8/8/6k1/8/7r w - - 0 1",            // rook against pawn
    "r7/8/8/8/8/8/1PK5/7k b - - 0 1",              // rook against pawn at home
    "8/8/1b6/4k3/8/8/4PP2/4K3 w - - 0 1",          // lone bishop
    "7r/6k1/8/8/8/3K4/4P3/2B5 w - - 0 1",          // only White can win
    "4k3/8/8/4P3/8/8/r7/4K2R b - - 0 1",           // rook and pawn against rook
    "8/5ppp/1k6/8/6K1/8/5PPP/8 w - - 0 1",         // pure pawn ending
    "8/pp3k2/2p5/8/3P1K2/8/PP6/8 b - - 0 1",       // pure pawn ending, both wings
    "2b3k1/5ppp/8/3P4/8/8/5PPP/2B2BK1 b - - 0 1",  // bishop pair against one bishop
    "6k1/R4ppp/8/8/8/8/5PPP/6K1 w - - 0 1",        // rook on the seventh
};

std::vector<std::string> Sample() {
  std::vector<std::string> positions = VariedPositions();
  positions.insert(positions.end(), SpecialEndings.begin(), SpecialEndings.end());
  return positions;
}

}  // namespace

TEST(EvalSymmetry, SampleHasBothPhasesAndBareKings) {
  int endgames = 0, bareKings = 0;
  for (const std::string& fen : VariedPositions()) {
    TEvalState e;
    endgames += DeterminePhase(*BoardFromFen(fen), e) == endgame;
    bareKings += e.NonPawnMen[Light] == 1 || e.NonPawnMen[Dark] == 1;
  }
  const int positions = int(VariedPositions().size());
  EXPECT_GE(positions, 200);
  EXPECT_GE(endgames, positions / 4);
  EXPECT_LE(endgames, positions * 3 / 4);
  EXPECT_GE(bareKings, 10);
}

TEST(EvalSymmetry, MirroredTwinsEvaluateEqual) {
  TPawnHash tables(1);
  for (const std::string& fen : Sample()) {
    SCOPED_TRACE(fen);
    TEvalCase position(BoardFromFen(fen));
    TEvalCase twin(MirroredBoard(*position.board));
    for (const TPhase root : {middlegame, endgame}) {
      TEvalState a, b;
      a.PhaseDepart = b.PhaseDepart = root;
      EXPECT_EQ(Evaluate(*position.board, a, tables), Evaluate(*twin.board, b, tables)) << "root phase " << int(root);
    }
    // The middlegame piece terms side by side, whatever the phase.
    for (const TSide side : {Light, Dark}) {
      const TSide other = Opponent(side);
      ASSERT_EQ(position.Pieces(side), twin.Pieces(other));
      for (int i = 1; i < 5; ++i) EXPECT_EQ(position.e.TabTropisme[side][i], twin.e.TabTropisme[other][i]);
    }
    EXPECT_EQ(position.e.KingSafety[Light], twin.e.KingSafety[Dark]);
    EXPECT_EQ(position.e.MinorOutpostFiles[Light], twin.e.MinorOutpostFiles[Dark]);
  }
}

TEST(EvalPawnHash, HitGivesExactlyTheMissScore) {
  TPawnHash tables(1);
  for (const std::string& fen : Sample())
    for (const TPhase root : {middlegame, endgame}) {
      SCOPED_TRACE(fen);
      const auto board = BoardFromFen(fen);
      THashP& entry = tables.Entry(board->hashP);
      entry = THashP{};
      TEvalState miss, hit;
      miss.PhaseDepart = hit.PhaseDepart = root;
      const int missScore = Evaluate(*board, miss, tables);
      ASSERT_EQ(entry.ID, board->hashP ^ Keys.PhaseKeys[PhaseKeySelect[miss.Phase]]);
      const THashP stored = entry;
      EXPECT_EQ(Evaluate(*board, hit, tables), missScore);
      EXPECT_EQ(hit.Score, miss.Score);
      EXPECT_EQ(hit.Aile_Roi, miss.Aile_Roi);
      EXPECT_EQ(hit.Aile_Dame, miss.Aile_Dame);
      EXPECT_EQ(hit.PasserIndex[Light], miss.PasserIndex[Light]);
      EXPECT_EQ(hit.PasserIndex[Dark], miss.PasserIndex[Dark]);
      EXPECT_EQ(hit.Pions, miss.Pions);
      EXPECT_EQ(hit.SetPasseds, miss.SetPasseds);
      EXPECT_EQ(entry.TabScore, stored.TabScore);  // a hit leaves the entry as it was
    }
}

namespace {

// Walks every line of `plies` moves from a position and its twin together,
// move for mirrored move, and counts the nodes whose evaluations differ.
struct TwinWalk {
  TPawnHash tables{1}, twinTables{1};
  long nodes = 0, differing = 0;
  std::string firstDifference;

  static bool AreTwins(TMove a, TMove b) {
    return b.from == (a.from ^ 56) && b.ToNdx == (a.ToNdx ^ 56) && b.promote == a.promote;
  }
  void Compare(TSearchBoard& a, TSearchBoard& b) {
    for (const TPhase root : {middlegame, endgame}) {
      TEvalState x, y;
      x.PhaseDepart = y.PhaseDepart = root;
      ++nodes;
      if (Evaluate(a, x, tables) == Evaluate(b, y, twinTables)) continue;
      if (differing++ == 0) firstDifference = BoardToFen(a) + " root phase " + std::to_string(int(root));
    }
  }
  void Walk(TSearchBoard& a, TSearchBoard& b, int plies) {
    Compare(a, b);
    if (plies == 0) return;
    a.AnalyseChecks(a.Side, a.KingSquare(a.Side));
    a.GenerateMoves();
    b.AnalyseChecks(b.Side, b.KingSquare(b.Side));
    b.GenerateMoves();
    const int ply = int(a.Ply);
    for (int i = a.First_move[ply]; i < a.First_move[ply + 1]; ++i) {
      const TMove move = a.Gen_dat[i].m;
      int j = b.First_move[ply];
      while (j < b.First_move[ply + 1] && !AreTwins(move, b.Gen_dat[j].m)) ++j;
      ASSERT_LT(j, b.First_move[ply + 1]) << BoardToFen(a) << ": the twin lacks a move";
      const bool legal = a.MakeMove(move);
      ASSERT_EQ(b.MakeMove(b.Gen_dat[j].m), legal) << BoardToFen(a);
      if (!legal) continue;
      Walk(a, b, plies - 1);
      a.TakeBack();
      b.TakeBack();
      // The lines below changed the check state the next move is tried in.
      a.AnalyseChecks(a.Side, a.KingSquare(a.Side));
      b.AnalyseChecks(b.Side, b.KingSquare(b.Side));
    }
  }
};

}  // namespace

TEST(EvalSymmetry, TwinsStayEqualAlongEveryLineOfPlay) {
  // Positions met in play hold combinations of material and structure no
  // list of set positions covers, and they are reached by making moves.
  std::ifstream in(std::string(VOSTRAK_TEST_DATA) + "/bk.epd");
  TwinWalk walk;
  int positions = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    ++positions;
    const auto board = BoardFromFen(line.substr(0, line.find(" bm ")) + " 0 1");
    const auto twin = MirroredBoard(*board);
    walk.Walk(*board, *twin, CheckedBuild ? 2 : 3);
  }
  ASSERT_EQ(positions, 24) << "the positions' data file is missing or cut";
  EXPECT_GT(walk.nodes, CheckedBuild ? 50000 : 2000000);
  EXPECT_EQ(walk.differing, 0) << "first: " << walk.firstDifference;
}

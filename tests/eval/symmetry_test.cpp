// Over a few hundred varied positions and special endings, with the root in
// either phase: cache hits give what misses gave, and a position and its
// colour-mirrored twin evaluate equal along every line of play.
#include <gtest/gtest.h>

#include <fstream>

#include "eval/eval_cache.h"
#include "eval/eval_case.h"
#include "eval/pawn_hash.h"
#include "support/build_speed.h"

namespace {

// The varied positions and endings of the kinds the recogniser and the
// endgame rules single out.
std::vector<std::string> Sample() {
  std::vector<std::string> positions = VariedPositions();
  positions.insert(
      positions.end(),
      {"8/8/2K5/8/3k4/8/8/1N3B2 b - - 0 1", "8/8/4k3/8/4K3/4P3/8/8 w - - 0 1", "8/3K4/8/7k/3P4/8/8/8 b - - 0 1",
       "8/8/5k2/P7/2K5/8/8/8 w - - 0 1", "8/2K5/1P6/8/8/6k1/8/7r w - - 0 1", "r7/8/8/8/8/8/1PK5/7k b - - 0 1",
       "8/8/1b6/4k3/8/8/4PP2/4K3 w - - 0 1", "7r/6k1/8/8/8/3K4/4P3/2B5 w - - 0 1", "4k3/8/8/4P3/8/8/r7/4K2R b - - 0 1",
       "8/5ppp/1k6/8/6K1/8/5PPP/8 w - - 0 1", "8/pp3k2/2p5/8/3P1K2/8/PP6/8 b - - 0 1",
       "2b3k1/5ppp/8/3P4/8/8/5PPP/2B2BK1 b - - 0 1", "6k1/R4ppp/8/8/8/8/5PPP/6K1 w - - 0 1"});
  return positions;
}

// A hit gives exactly what a miss gave. The pawn hash's third round meets the
// entry the middlegame root left: an endgame must not take its pawn scores.
TEST(EvalCaches, HitsGiveExactlyTheMissScore) {
  TPawnHash tables(1);
  TEvalCache cache;
  for (const std::string& fen : Sample()) {
    SCOPED_TRACE(fen);
    const auto board = BoardFromFen(fen);
    TPawnHashEntry& entry = tables.Entry(board->hashP);
    const TPhase roots[] = {endgame, middlegame, endgame};
    int scores[3];
    for (int round = 0; round < 3; ++round) {
      if (round < 2) entry = TPawnHashEntry{};
      TEvalState miss, hit;
      miss.PhaseAtRoot = hit.PhaseAtRoot = roots[round];
      scores[round] = Evaluate(*board, miss, tables);
      ASSERT_NE(entry.ID, 0u) << "the miss stored nothing";
      const TSidePair stored = entry.TabScore;
      EXPECT_EQ(Evaluate(*board, hit, tables), scores[round]);
      EXPECT_TRUE(hit.Score == miss.Score && hit.KingWingPawns == miss.KingWingPawns &&
                  hit.QueenWingPawns == miss.QueenWingPawns && hit.PasserIndex[Light] == miss.PasserIndex[Light] &&
                  hit.PasserIndex[Dark] == miss.PasserIndex[Dark] && hit.PawnFlags == miss.PawnFlags &&
                  hit.PasserSet == miss.PasserSet);
      EXPECT_EQ(entry.TabScore, stored);  // a hit leaves the entry as it was
    }
    EXPECT_EQ(scores[2], scores[0]);
    // The evaluation cache never answers for this position with an earlier one's score.
    const TEvalState e;  // the middlegame root of scores[1]
    int cached = scores[1];
    EXPECT_TRUE(!cache.Find(*board, e, cached) || cached == scores[1]) << "another position's score";
    cache.Store(*board, e, scores[1]);
    EXPECT_TRUE(cache.Find(*board, e, cached) && cached == scores[1]);
  }
}

// Walks every line of `plies` moves from a position and its twin together,
// move for mirrored move, and counts the nodes whose evaluations differ.
struct TwinWalk {
  TPawnHash tables{1}, twinTables{1};
  long nodes = 0, differing = 0;
  std::string firstDifference;

  void Walk(TSearchBoard& a, TSearchBoard& b, int plies) {
    for (const TPhase root : {middlegame, endgame}) {
      TEvalState x, y;
      x.PhaseAtRoot = y.PhaseAtRoot = root;
      ++nodes;
      if (Evaluate(a, x, tables) != Evaluate(b, y, twinTables) && differing++ == 0)
        firstDifference = BoardToFen(a) + " root phase " + std::to_string(int(root));
    }
    if (plies == 0) return;
    for (TSearchBoard* board : {&a, &b}) {
      board->AnalyseChecks(board->Side, board->KingSquare(board->Side));
      board->GenerateMoves();
    }
    const int ply = int(a.Ply);
    for (int i = a.FirstMove[ply]; i < a.FirstMove[ply + 1]; ++i) {
      const TMove move = a.MoveStack[i].m;
      int j = b.FirstMove[ply];
      for (; j < b.FirstMove[ply + 1]; ++j) {
        const TMove twin = b.MoveStack[j].m;
        if (twin.from == (move.from ^ 56) && twin.to == (move.to ^ 56) && twin.promote == move.promote) break;
      }
      ASSERT_LT(j, b.FirstMove[ply + 1]) << BoardToFen(a) << ": the twin lacks a move";
      const bool legal = a.MakeMove(move);
      ASSERT_EQ(b.MakeMove(b.MoveStack[j].m), legal) << BoardToFen(a);
      if (!legal) continue;
      Walk(a, b, plies - 1);
      // The lines below changed the check state the next move is tried in.
      for (TSearchBoard* board : {&a, &b}) {
        board->TakeBack();
        board->AnalyseChecks(board->Side, board->KingSquare(board->Side));
      }
    }
  }
};

// Positions met in play hold combinations of material and structure no list
// of set positions covers, and they are reached by making moves: every line
// one ply deep from the sample, and a few plies deep from middlegames.
TEST(EvalSymmetry, TwinsStayEqualAlongEveryLineOfPlay) {
  TwinWalk walk;
  for (const std::string& fen : Sample()) {
    const auto board = BoardFromFen(fen);
    walk.Walk(*board, *MirroredBoard(*board), 1);
  }
  std::ifstream in(std::string(VOSTRAK_TEST_DATA) + "/bk.epd");
  int positions = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    ++positions;
    const auto board = BoardFromFen(line.substr(0, line.find(" bm ")) + " 0 1");
    walk.Walk(*board, *MirroredBoard(*board), CheckedBuild ? 2 : 3);
  }
  ASSERT_EQ(positions, 24) << "the positions' data file is missing or cut";
  EXPECT_GT(walk.nodes, CheckedBuild ? 50000 : 2000000);
  EXPECT_EQ(walk.differing, 0) << "first: " << walk.firstDifference;
}

}  // namespace

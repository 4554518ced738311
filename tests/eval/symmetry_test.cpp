// The evaluation's caches and its colour symmetry. Over every position of the
// test data files and special endings, with the root in either phase: cache
// hits give what misses gave, and a position and its colour-mirrored twin
// evaluate equal along every line of play.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "board/move_text.h"
#include "eval/eval_cache.h"
#include "eval/pawn_hash.h"
#include "eval/terms.h"
#include "support/build_speed.h"
#include "support/eval_positions.h"

namespace {

// Endings of the kinds the recogniser and the endgame rules single out.
const std::vector<std::string> Endings(
    {"8/8/2K5/8/3k4/8/8/1N3B2 b - -", "8/8/4k3/8/4K3/4P3/8/8 w - -", "8/3K4/8/7k/3P4/8/8/8 b - -",
     "8/8/5k2/P7/2K5/8/8/8 w - -", "8/2K5/1P6/8/8/6k1/8/7r w - -", "r7/8/8/8/8/8/1PK5/7k b - -",
     "8/8/1b6/4k3/8/8/4PP2/4K3 w - -", "7r/6k1/8/8/8/3K4/4P3/2B5 w - -", "4k3/8/8/4P3/8/8/r7/4K2R b - -",
     "8/5ppp/1k6/8/6K1/8/5PPP/8 w - -", "8/pp3k2/2p5/8/3P1K2/8/PP6/8 b - -", "2b3k1/5ppp/8/3P4/8/8/5PPP/2B2BK1 b - -",
     "6k1/R4ppp/8/8/8/8/5PPP/6K1 w - -", "8/5pk1/6p1/3R4/1r3P2/6P1/5K2/8 w - -", "6k1/5ppp/8/8/8/8/1q3PPP/3Q2K1 w - -",
     "4k3/2p5/8/1P1P4/8/8/6pp/4K3 b - -", "8/p4k2/1p2np2/2p5/2P1B3/1P3K2/P4P2/8 w - -",
     "3r2k1/p4pp1/1p5p/8/3n4/1P3N1P/P4PP1/2R3K1 w - -"});

// The positions of a data file: the perft suite's bare endings and special
// moves, the test positions' middlegames, the mates' openings.
std::vector<std::string> FilePositions(const char* file) {
  std::vector<std::string> positions;
  std::ifstream in(std::string(VOSTRAK_TEST_DATA) + file);
  for (std::string line, placement, side, rights, ep; std::getline(in, line);)
    if (std::istringstream(line) >> placement >> side >> rights >> ep && placement != "#")
      positions.push_back(placement + " " + side + " " + rights + " " + ep);
  return positions;
}

std::vector<std::string> Sample() {
  std::vector<std::string> positions = Endings;
  for (const char* file : {"/perftsuite.epd", "/bk.epd", "/mates.epd"})
    for (const std::string& fen : FilePositions(file)) positions.push_back(fen);
  EXPECT_EQ(positions.size(), Endings.size() + 127 + 24 + 24) << "a data file is missing or cut";
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

TEST(EvalCache, KeepsApartWhatTheKeyLeavesOut) {
  // White's king reached g1 without castling, or by castling: the same key,
  // scores ten points apart each way.
  auto board = BoardFromFen("r1bq1rk1/pppp1ppp/2n2n2/2b1p3/2B1P3/2N2N2/PPPP1PPP/R1BQ1RK1 w - - 0 1");
  board->KingEntry(Light).CouldCastle = true;
  TEvalState e;
  TEvalCache cache;
  const auto evaluated = [&] {
    TPawnHash tables(1);
    return Evaluate(*board, e, tables);
  };
  board->KingEntry(Light).CastledAs = NotCastled;
  const int walked = evaluated();
  cache.Store(*board, e, walked);
  board->KingEntry(Light).CastledAs = CastledShort;
  const int castled = evaluated();
  ASSERT_NE(walked, castled);
  int score = 0;
  EXPECT_FALSE(cache.Find(*board, e, score));
  cache.Store(*board, e, castled);
  ASSERT_TRUE(cache.Find(*board, e, score));
  EXPECT_EQ(score, castled);
  // The phase the search began in changes the evaluation too.
  e.PhaseAtRoot = endgame;
  EXPECT_FALSE(cache.Find(*board, e, score));
}

// A new table without a budget takes the default's size. A new shape or
// clearing empties the table; a budget out of range keeps it as it is.
TEST(PawnHash, FollowsTheBudgetAndComesBackEmptyWhenResizedOrCleared) {
  EXPECT_EQ(TPawnHash(0).Size(), TPawnHash(32).Size());
  EXPECT_LT(TPawnHash(8).Size(), TPawnHash(32).Size());
  TPawnHash table(1);
  const std::uint32_t pawnKey = 0xDEADBEEF;
  for (std::int32_t size : {2, 2, 0, 5000}) {  // a new shape, the same again, clearing, out of range
    table.Entry(pawnKey) = TPawnHashEntry{pawnKey ^ 5, {-15, 40}, SquareBit(12), 3, PackWingCounts(2, 3)};
    if (size == 0) table.Clear();
    else ASSERT_TRUE(table.Resize(size));
    const bool kept = size == 5000;
    EXPECT_EQ(table.Entry(pawnKey).ID, kept ? pawnKey ^ 5 : 0u) << size;
    EXPECT_EQ(table.Entry(pawnKey).StoredPassers, kept ? SquareBit(12) : 0u) << size;
  }
  EXPECT_EQ(table.Size(), TPawnHash(2).Size());
}

// Walks every line of `plies` moves from a position and its twin together,
// move for mirrored move, and counts the nodes whose evaluations differ.
struct TwinWalk {
  TPawnHash tables{1}, twinTables{1};
  long nodes = 0, differing = 0;
  std::string root, firstDifference;

  void From(const std::string& fen, int plies) {
    root = fen;
    Walk(*BoardFromFen(fen), *MirroredBoard(fen), plies);
  }
  std::string Line(const TSearchBoard& a) const {
    std::string text = root + " after";
    for (auto h = a.HistoryLength - a.Ply; h < a.HistoryLength; ++h)
      text.append(" ").append(MoveText(a.GameHistory[h].m));
    return text;
  }

  void Walk(TSearchBoard& a, TSearchBoard& b, int plies) {
    for (const TPhase phase : {middlegame, endgame}) {
      TEvalState x, y;
      x.PhaseAtRoot = y.PhaseAtRoot = phase;
      ++nodes;
      if (Evaluate(a, x, tables) != Evaluate(b, y, twinTables) && differing++ == 0)
        firstDifference = Line(a) + ", root phase " + std::to_string(int(phase));
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
      ASSERT_LT(j, b.FirstMove[ply + 1]) << Line(a) << ": the twin lacks " << MoveText(move);
      const bool legal = a.MakeMove(move);
      ASSERT_EQ(b.MakeMove(b.MoveStack[j].m), legal) << Line(a);
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
  for (const std::string& fen : Sample()) walk.From(fen, 1);
  for (const char* file : {"/bk.epd", "/mates.epd"})
    for (const std::string& fen : FilePositions(file)) walk.From(fen, CheckedBuild ? 2 : 3);
  EXPECT_GT(walk.nodes, CheckedBuild ? 50000 : 2000000);
  EXPECT_EQ(walk.differing, 0) << "first: " << walk.firstDifference;
}

}  // namespace

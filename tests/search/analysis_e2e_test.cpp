// Analysis through the real engine: results shown at once while the answer waits for "stop", and ranked MultiPV lines.
#include <gtest/gtest.h>

#include <set>

#include "support/engine_session.h"

namespace {

// Scores in one order: a mate sooner is better, being mated sooner worse.
long long Rank(const std::string& score) {
  const long long n = std::stoll(score.substr(score.find(' ') + 1));
  if (score.starts_with("cp")) return n;
  return n > 0 ? 1000000 - n : -1000000 - n;
}

const char* const MateInTwo = "fen 2r3k1/5ppp/8/8/8/8/3R1PPP/3Q2K1 w - - 0 1";

class Analysis : public EngineSession {};

}  // namespace

// The first depth shows at once, a mate or a tablebase result as soon as it is known; the answer waits for "stop".
TEST_F(Analysis, InfiniteSearchesShowResultsAtOnceAndAnswerOnlyAfterStop) {
  struct Case {
    const char* position;
    bool (*shown)(const TInfo&);
    int withinMs;
    const char* best;
  };
  const Case cases[] = {
      {"startpos", [](const TInfo& i) { return i.depth == 1; }, 300, nullptr},
      {MateInTwo, [](const TInfo& i) { return i.score == "mate 2"; }, 1000, "d2d8"},
      {"fen 8/8/8/4k3/8/8/8/4K2Q w - - 0 1",
       [](const TInfo& i) { return i.score.starts_with("mate ") && i.tbhits > 0; }, 1000, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    const int limit = c.withinMs * (CheckedBuild ? 10 : 1);
    engine.Send(std::string("position ") + c.position);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit);
    engine.Send("go infinite");
    bool shown = false;
    for (std::optional<std::string> line; !shown && std::chrono::steady_clock::now() < deadline;) {
      if (!(line = engine.ReadLine(limit))) break;
      EXPECT_FALSE(line->starts_with("bestmove")) << "answered before stop";
      for (const TInfo& info : DepthInfos({*line})) shown = shown || c.shown(info);
    }
    EXPECT_TRUE(shown) << "nothing shown within " << limit << " ms";
    EXPECT_FALSE(engine.ReadUntil("bestmove", 500)) << "answered before stop";
    engine.Send("stop");
    const auto answer = BestMove(5000);
    ASSERT_TRUE(answer);
    if (c.best) { EXPECT_EQ(MoveOf(*answer), c.best); }
  }
}

// Several lines: ranked, distinct, fewer when fewer moves may be played, led by the answer; on one thread or two, at a
// depth, a move time, with searchmoves and pondering. A mate in the first line does not cut the others short.
TEST_F(Analysis, MultiPvLinesAreRankedDistinctAndLedByTheAnswer) {
  Answer("setoption name MultiPV value 3");
  struct Case {
    const char *position, *go, *threads;
    int count;
    const char* then;
  };
  const Case cases[] = {
      {"startpos", "go depth 8", "1", 3, nullptr},
      {"startpos", "go movetime 2000", "2", 3, nullptr},
      {"startpos", "go depth 7 searchmoves e2e4 d2d4", "1", 2, nullptr},
      {"startpos moves e2e4", "go ponder wtime 3000 btime 3000", "1", 3, "ponderhit"},
      {MateInTwo, "go depth 6", "1", 3, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.position) + ", " + c.go + ", threads " + c.threads);
    Answer(std::string("setoption name Threads value ") + c.threads);
    engine.Send(std::string("position ") + c.position);
    engine.Send(c.go);
    if (c.then) engine.Send(c.then);
    Lines seen;
    const auto answer = BestMove(CheckedBuild ? 300000 : 30000, nullptr, &seen);
    ASSERT_TRUE(answer);
    // Each depth gives `count` lines in rank order at depths that never fall; the last line is the answer's own.
    const std::vector<TInfo> infos = DepthInfos(seen);
    ASSERT_GT(infos.size(), std::size_t(c.count));
    std::set<std::string> moves;
    std::string lastBest;
    for (std::size_t i = 0; i + 1 < infos.size(); ++i) {
      const TInfo& line = infos[i];
      if (line.multipv == 1) {
        moves.clear();
        lastBest = line.First();
      } else {
        EXPECT_GE(Rank(infos[i - 1].score), Rank(line.score)) << "line " << line.multipv;
      }
      EXPECT_EQ(line.multipv, int(moves.size()) + 1);
      EXPECT_TRUE(moves.insert(line.First()).second) << "repeated " << line.First();
      EXPECT_GE(line.depth, i ? infos[i - 1].depth : 0);
      if (infos[i + 1].multipv == 1) { EXPECT_EQ(line.multipv, c.count) << "depth " << line.depth; }
    }
    EXPECT_TRUE(infos.back().multipv == 1 && infos.back().depth >= infos[infos.size() - 2].depth);
    EXPECT_EQ(infos.back().First(), MoveOf(*answer));
    EXPECT_EQ(lastBest, MoveOf(*answer));
  }
}

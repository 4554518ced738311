// Analysis as an interface shows it, through the real engine: results that
// come at once while the answer waits for "stop", and several ranked lines
// when MultiPV asks for them. (The lines of a single one are InfoLines'.)
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

// Sanitized builds search many times slower.
constexpr int AnswerBoundMs = CheckedBuild ? 300000 : 30000;

const char* const MateInTwo = "fen 2r3k1/5ppp/8/8/8/8/3R1PPP/3Q2K1 w - - 0 1";

class Analysis : public EngineSession {
 protected:
  // Sends the position and "go infinite"; the time until the first line
  // that passes `wanted`, or -1 when none came within `limitMs` (reads stop there).
  template <class Wanted>
  long long FirstLineWithin(const std::string& position, int limitMs, Wanted wanted) {
    engine.Send("position " + position);
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
      return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    };
    engine.Send("go infinite");
    for (std::optional<std::string> line;
         elapsed() <= limitMs && (line = engine.ReadLine(int(limitMs - elapsed()) + 1));) {
      EXPECT_FALSE(line->starts_with("bestmove")) << position << ": answered before stop";
      for (const TInfo& info : DepthInfos({*line}))
        if (wanted(info)) return elapsed();
    }
    return -1;
  }
  // "stop" then the answer's move.
  std::string StopAndAnswer() {
    engine.Send("stop");
    const auto answer = BestMove(5000);
    EXPECT_TRUE(answer);
    return answer ? MoveOf(*answer) : "";
  }
  // MultiPV lines of a search: each completed depth gives `count` lines with
  // distinct first moves, best first, at depths that never fall; the last
  // line is the answer's own, led by its move.
  void ExpectRankedLines(const Lines& seen, const std::string& best, int count) {
    const std::vector<TInfo> infos = DepthInfos(seen);
    ASSERT_GT(infos.size(), std::size_t(count));
    std::vector<std::vector<TInfo>> depths;
    for (const TInfo& info : infos) {
      if (info.multipv == 1) depths.emplace_back();
      ASSERT_FALSE(depths.empty());
      depths.back().push_back(info);
    }
    const TInfo answer = infos.back();
    EXPECT_EQ(answer.multipv, 1);
    EXPECT_EQ(answer.First(), best);
    depths.pop_back();
    int depth = 0;
    for (const std::vector<TInfo>& lines : depths) {
      EXPECT_EQ(lines.size(), std::size_t(count)) << "depth " << lines[0].depth;
      std::set<std::string> moves;
      for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].multipv, int(i + 1));
        EXPECT_GE(lines[i].depth, depth);
        depth = lines[i].depth;
        EXPECT_TRUE(moves.insert(lines[i].First()).second) << "repeated " << lines[i].First();
        if (i > 0) { EXPECT_GE(Rank(lines[i - 1].score), Rank(lines[i].score)) << "line " << i + 1; }
      }
    }
    ASSERT_FALSE(depths.empty());
    EXPECT_EQ(depths.back()[0].First(), best);
    EXPECT_GE(answer.depth, depth);
  }
};

}  // namespace

// The first depth shows at once; a mate or a tablebase result is printed
// as soon as it is known, though the answer waits for "stop".
TEST_F(Analysis, InfiniteSearchesShowResultsAtOnceAndAnswerOnlyAfterStop) {
  const int quick = CheckedBuild ? 3000 : 300, mate = CheckedBuild ? 5000 : 1000;
  const long long first = FirstLineWithin("startpos", quick, [](const TInfo& i) { return i.depth == 1; });
  EXPECT_GE(first, 0) << "no depth-1 line within " << quick << " ms";
  StopAndAnswer();
  struct Case {
    const char *position, *best;
    bool tablebase;
  };
  for (const Case& c : {Case{MateInTwo, "d2d8", false}, Case{"fen 8/8/8/4k3/8/8/8/4K2Q w - - 0 1", nullptr, true}}) {
    long long tbhits = 0;
    const long long ms = FirstLineWithin(c.position, mate, [&](const TInfo& i) {
      tbhits = i.tbhits;
      return i.score.starts_with("mate ");
    });
    EXPECT_GE(ms, 0) << c.position << ": no mate line within " << mate << " ms";
    EXPECT_TRUE(!c.tablebase || tbhits >= 1) << c.position;
    EXPECT_FALSE(engine.ReadUntil("bestmove", 500)) << c.position << ": answered before stop";
    const std::string best = StopAndAnswer();
    EXPECT_EQ(best, c.best ? c.best : best);
  }
}

// Several lines: ranked, distinct, fewer when fewer moves may be played, the
// answer the first line's move; with one or two threads, on a fixed depth,
// a move time, "searchmoves" and pondering. A mate in the first line does
// not cut the others short.
TEST_F(Analysis, MultiPvLinesAreRankedDistinctAndLedByTheAnswer) {
  Answer("setoption name MultiPV value 3");
  struct Case {
    const char *position, *go, *threads;
    int lines;
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
    Answer(std::string("setoption name Threads value ") + c.threads);
    engine.Send(std::string("position ") + c.position);
    engine.Send(c.go);
    if (c.then) engine.Send(c.then);
    Lines seen;
    const auto answer = BestMove(AnswerBoundMs, nullptr, &seen);
    ASSERT_TRUE(answer) << c.go;
    SCOPED_TRACE(std::string(c.position) + ", " + c.go + ", threads " + c.threads);
    ExpectRankedLines(seen, MoveOf(*answer), c.lines);
  }
}

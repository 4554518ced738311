// What an interface reads of a search through UCI: every "go" ends with an
// "info depth" line for the answer, mates are given in moves, and every line
// carries its figures and a principal variation that can be played out.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <vector>

#include "protocol/protocol_board.h"
#include "support/engine_process.h"
#include "support/engine_tables.h"
#include "support/game_rules.h"

namespace {

// "info depth D score (cp S|mate N) time T nodes N nps X hashfull H pv m1 m2 ..."
const std::regex DepthLinePattern(
    "info depth (\\d+) score (cp -?\\d+|mate -?\\d+) time \\d+ nodes \\d+ nps \\d+ hashfull (\\d+) pv((?: \\S+)+)");

struct TDepthLine {
  int depth = 0;
  std::string score;
  int hashfull = 0;
  std::vector<std::string> pv;
};

bool ParseDepthLine(const std::string& text, TDepthLine& line) {
  std::smatch match;
  if (!std::regex_match(text, match, DepthLinePattern)) return false;
  line.depth = std::stoi(match[1]);
  line.score = match[2];
  line.hashfull = std::stoi(match[3]);
  std::istringstream moves(match[4]);
  line.pv.clear();
  for (std::string move; moves >> move;) line.pv.push_back(move);
  return true;
}

std::string BestMoveOf(const std::string& line) {
  const std::string rest = line.substr(9);
  return rest.substr(0, rest.find(' '));
}

class InfoLines : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureEngineTables();
    engine.Send("uci");
    ASSERT_TRUE(engine.ReadUntil("uciok"));
  }
  void TearDown() override {
    engine.Send("quit");
    EXPECT_EQ(engine.WaitExit(), 0);
  }
  // Runs the search; `lines` gets the "info depth" lines, the result is the
  // bestmove line (empty on a timeout). Anything else the search prints must
  // be an "info" line too, or an interface would stumble on it.
  std::string Search(const std::string& position, const std::string& go, std::vector<std::string>& lines) {
    engine.Send("position " + position);
    engine.Send(go);
    std::vector<std::string> seen;
    const auto answer = engine.ReadUntil("bestmove", 30000, &seen);
    lines.clear();
    for (const std::string& line : seen) {
      if (line.starts_with("info depth")) {
        lines.push_back(line);
      } else if (answer && &line != &seen.back()) {
        EXPECT_TRUE(line.starts_with("info ")) << go << ": " << line;
      }
    }
    return answer.value_or("");
  }
  // Every move of the line is legal in turn from the position.
  static void ExpectPlayable(const std::string& position, const std::vector<std::string>& pv, const std::string& text) {
    TProtocolBoard board;
    board.SetupPosition(position);
    for (const std::string& move : pv)
      if (!PlayMoveText(board, move)) {
        ADD_FAILURE() << "illegal " << move << " in " << text << " from " << position;
        return;
      }
  }

  EngineProcess engine;
};

}  // namespace

TEST_F(InfoLines, TheAnswerIsReportedWithAMateInMovesWhateverTheDepth) {
  struct Case {
    const char *position, *go, *score, *best;  // best: null when any move will do
    int maxDepth;  // the depth the answer's line may report at most
  };
  const Case cases[] = {
      {"fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", "go depth 9", "mate 1", "a1a8", 6},
      {"fen kbK5/pp6/1P6/8/8/8/8/R7 w - - 0 1", "go depth 9", "mate 2", "a1a6", 9},
      {"fen r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1", "go depth 9", "mate 3", "f8c5", 6},
      // The losing side of the last two.
      {"fen kbK5/pp6/1P6/8/8/8/8/R7 w - - 0 1 moves a1a6", "go depth 4", "mate -1", "b7a6", 4},
      {"fen r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1 moves f8c5", "go depth 4", "mate -2",
       "d4c5", 4},
      // A single legal reply is played without an iteration, yet reported.
      {"fen 7k/8/5K2/8/8/8/8/R7 w - - 0 1 moves a1a8", "go depth 9", "cp 0", "h8h7", 1},
      // No iteration at all: the move picked after the search is the one reported.
      {"startpos", "go depth 0", "cp 0", nullptr, 1},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines;
    const std::string answer = Search(c.position, c.go, lines);
    ASSERT_TRUE(answer.starts_with("bestmove ")) << c.position;
    if (c.best) {
      EXPECT_EQ(BestMoveOf(answer), c.best) << c.position;
    }
    ASSERT_FALSE(lines.empty()) << c.position;
    TDepthLine last;
    ASSERT_TRUE(ParseDepthLine(lines.back(), last)) << lines.back();
    EXPECT_EQ(last.score, c.score) << lines.back();
    EXPECT_GE(last.depth, 1) << lines.back();
    EXPECT_LE(last.depth, c.maxDepth) << lines.back();
    EXPECT_EQ(last.pv.front(), BestMoveOf(answer)) << lines.back();
    ExpectPlayable(c.position, last.pv, lines.back());
  }
}

TEST_F(InfoLines, ARootWithoutMovesSaysMateOrStalemateBeforeTheNullMove) {
  const std::pair<const char*, const char*> cases[] = {
      {"fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "info depth 0 score mate 0"},  // checkmated
      {"fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "info depth 0 score cp 0"},    // stalemated
  };
  for (const auto& [position, report] : cases) {
    std::vector<std::string> lines;
    EXPECT_EQ(Search(position, "go depth 5", lines), "bestmove 0000") << position;
    EXPECT_EQ(lines, std::vector<std::string>{report}) << position;
  }
}

TEST_F(InfoLines, EveryDepthLineOfAMiddlegameSearchIsCompleteAndPlayable) {
  const std::string position = "startpos moves e2e4 e7e5 g1f3 b8c6 f1b5 a7a6";
  for (const char* threads : {"1", "2"}) {
    engine.Send(std::string("setoption name Threads value ") + threads);
    engine.Send("isready");
    ASSERT_TRUE(engine.ReadUntil("readyok", 30000));  // new tables and helpers: slow under sanitizers
    std::vector<std::string> lines;
    const std::string answer = Search(position, "go movetime 1000", lines);
    ASSERT_FALSE(answer.empty()) << threads;
    ASSERT_FALSE(lines.empty()) << threads;
    for (const std::string& text : lines) {
      TDepthLine line;
      ASSERT_TRUE(ParseDepthLine(text, line)) << text;
      EXPECT_LE(line.hashfull, 1000) << text;
      ExpectPlayable(position, line.pv, text);
    }
    TDepthLine last;
    ParseDepthLine(lines.back(), last);
    EXPECT_EQ(last.pv.front(), BestMoveOf(answer)) << threads << ": " << lines.back();
    EXPECT_GT(last.hashfull, 0) << threads << ": " << lines.back();  // a second of search fills some
  }
}

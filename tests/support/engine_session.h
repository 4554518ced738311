// One engine process that has answered "uci" and "isready" and is quit at the end, and readers of its answers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/build_speed.h"
#include "support/engine_process.h"
#include "support/engine_tables.h"
#include "support/game_rules.h"

// An "info depth" line, read.
struct TInfo {
  int depth = 0, seldepth = 0, multipv = 0;
  std::string score;
  long long nodes = 0, hashfull = 0, tbhits = 0;
  std::string pv;
  std::string First() const { return pv.substr(0, pv.find(' ')); }
};

// The "info depth" lines among `lines`; one that lacks a field fails the test.
inline std::vector<TInfo> DepthInfos(const std::vector<std::string>& lines) {
  static const std::regex pattern(
      "info depth (\\d+) seldepth (\\d+)(?: multipv (\\d+))? score ((?:cp|mate) -?\\d+) time \\d+ nodes (\\d+) "
      "nps \\d+ hashfull (\\d+) tbhits (\\d+) pv (\\S.*)");
  std::vector<TInfo> infos;
  std::smatch m;
  for (const std::string& line : lines)
    if (!line.starts_with("info depth")) continue;
    else if (!std::regex_match(line, m, pattern)) ADD_FAILURE() << "incomplete: " << line;
    else
      infos.push_back({std::stoi(m[1]), std::stoi(m[2]), m[3].matched ? std::stoi(m[3]) : 0, m[4], std::stoll(m[5]),
                       std::stoll(m[6]), std::stoll(m[7]), m[8]});
  return infos;
}
// The last of them, the answer's own (an empty one, failing the test, when there is none).
inline TInfo LastInfo(const std::vector<std::string>& lines) {
  const std::vector<TInfo> infos = DepthInfos(lines);
  if (infos.empty()) ADD_FAILURE() << "no info depth line";
  return infos.empty() ? TInfo{} : infos.back();
}

// Every move of `moves` is legal in turn from the position; the words of a "bestmove" line are skipped.
inline void ExpectPlayable(const std::string& position, const std::string& moves, const std::string& what) {
  TProtocolBoard board;
  board.SetupPosition(position);
  std::istringstream words(moves);
  for (std::string move; words >> move;)
    if (move != "bestmove" && move != "ponder" && !PlayMoveText(board, move)) {
      ADD_FAILURE() << what << ": illegal " << move << " in " << moves << " from " << position;
      return;
    }
}

class EngineSession : public ::testing::Test {
 protected:
  using Lines = std::vector<std::string>;

  void SetUp() override {
    EnsureEngineTables();
    engine.Send("uci");
    ASSERT_TRUE(engine.ReadUntil("uciok"));
    firstReady = Answer("isready");
  }
  void TearDown() override {
    engine.Send("quit");
    EXPECT_EQ(engine.WaitExit(), 0);
  }
  // Sends the line, then "isready"; returns what came before "readyok".
  Lines Answer(const std::string& line) {
    engine.Send(line);
    if (line != "isready") engine.Send("isready");
    Lines seen;
    EXPECT_TRUE(engine.ReadUntil("readyok", 20000, &seen)) << line;
    seen.erase(std::remove(seen.begin(), seen.end(), "readyok"), seen.end());
    return seen;
  }
  // The bestmove line; `ms` gets how long it took, `seen` the lines before it.
  std::optional<std::string> BestMove(int timeoutMs, long long* ms = nullptr, Lines* seen = nullptr) {
    const auto start = std::chrono::steady_clock::now();
    auto line = engine.ReadUntil("bestmove", timeoutMs, seen);
    if (ms)
      *ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    return line;
  }
  std::optional<std::string> Go(const std::string& position, const std::string& go, int timeoutMs,
                                Lines* seen = nullptr, long long* ms = nullptr) {
    engine.Send("position " + position);
    engine.Send(go);
    return BestMove(timeoutMs, ms, seen);
  }
  // An order held `holdMs` with no answer, then the lines of `then` ("isready" answered at once); one legal answer
  // follows within `maxMs` and the pipe's latency (0: no limit of time), with the move `best` when one is named.
  struct TOrder {
    std::string position, go;
    Lines then;
    int holdMs;
    long long maxMs;
    const char* best = nullptr;
  };
  void ExpectOneAnswer(const TOrder& o) {
    const std::string what = o.position + ", " + o.go;
    engine.Send("position " + o.position);
    engine.Send(o.go);
    EXPECT_FALSE(o.holdMs && engine.ReadUntil("bestmove", o.holdMs)) << what << ": answered too early";
    for (const std::string& line : o.then) {
      engine.Send(line);
      EXPECT_TRUE(line != "isready" || engine.ReadUntil("readyok", 1000)) << what;
    }
    const long long bound = o.maxMs ? o.maxMs + AnswerLatencyMs : CheckedBuild ? 120000 : 20000;
    const auto answer = BestMove(int(bound));
    ASSERT_TRUE(answer && answer->starts_with("bestmove ")) << what << ": no answer within " << bound << " ms";
    ExpectPlayable(o.position, *answer, what);
    if (o.best) { EXPECT_EQ(MoveOf(*answer), o.best) << what; }
    for (const std::string& after : Answer("isready"))
      EXPECT_FALSE(after.starts_with("bestmove")) << what << ": " << after;
  }
  static std::string MoveOf(const std::string& bestmoveLine) {
    return bestmoveLine.substr(9, bestmoveLine.find(' ', 9) - 9);  // to the end when there is no ponder move
  }
  EngineProcess engine;
  Lines firstReady;  // what the first "isready" printed before "readyok"
};

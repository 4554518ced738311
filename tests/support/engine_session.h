// A test fixture holding one engine process that has answered "uci" and
// "isready", as an interface holds it, and quits it cleanly at the end.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "support/engine_process.h"

class EngineSession : public ::testing::Test {
 protected:
  using Lines = std::vector<std::string>;

  void SetUp() override {
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
  // Reads up to the bestmove line, returning it; `ms` is how long it took,
  // `seen` gets the lines before it.
  std::optional<std::string> BestMove(int timeoutMs, long long* ms = nullptr,
                                      std::vector<std::string>* seen = nullptr) {
    const auto start = std::chrono::steady_clock::now();
    auto line = engine.ReadUntil("bestmove", timeoutMs, seen);
    if (ms)
      *ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    return line;
  }
  // The move of a "bestmove" line.
  static std::string MoveOf(const std::string& bestmoveLine) {
    const std::string rest = bestmoveLine.substr(9);
    return rest.substr(0, rest.find(' '));
  }
  EngineProcess engine;
  Lines firstReady;  // what the first "isready" printed before "readyok"
};

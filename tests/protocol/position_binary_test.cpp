// The "position" command through the engine binary, as an interface sends it.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/engine_process.h"

namespace {

class PositionCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.Send("uci");
    ASSERT_TRUE(engine.ReadUntil("uciok"));
    engine.Send("isready");
    ASSERT_TRUE(engine.ReadUntil("readyok"));
  }
  void TearDown() override {
    engine.Send("quit");
    EXPECT_EQ(engine.WaitExit(), 0);
  }
  // Sends the line, then "isready"; returns what came before "readyok".
  std::vector<std::string> Answer(const std::string& line) {
    engine.Send(line);
    engine.Send("isready");
    std::vector<std::string> seen;
    EXPECT_TRUE(engine.ReadUntil("readyok", 20000, &seen)) << line;
    seen.erase(std::remove(seen.begin(), seen.end(), "readyok"), seen.end());
    return seen;
  }
  EngineProcess engine;
};

using Lines = std::vector<std::string>;

TEST_F(PositionCommand, IllegalMoveIsReportedOnce) {
  EXPECT_EQ(Answer("position startpos moves e2e4 e7e5 e1e2"), Lines{});
  EXPECT_EQ(Answer("position startpos moves e2e4 e7e5 e1e3"), Lines{"Illegal Move !!"});
  EXPECT_EQ(Answer("position startpos moves e2e4 e7e5 e1e3 g1f3 xx"), (Lines{"Illegal Move !!", "Illegal Move !!"}));
}

TEST_F(PositionCommand, MalformedFensAreRefusedWithOneLine) {
  const char* const refused[] = {
      "",
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w KQkq - 0 1",
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/8 w KQkq - 0 1",
      "rnbqkbnr/ppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
      "rnbqkbnr/pppppppp/8/8/4Z3/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR",
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR white KQkq - 0 1",
      "8/8/8/8/8/8/8/8 w - - 0 1",
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBKKBNR w - - 0 1",
      "rnbqkbnr/pppppppp/8/8/8/P7/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
      "4k2P/8/8/8/8/8/8/4K3 w - - 0 1",
      "4k3/8/8/8/8/8/8/4R1K1 w - - 0 1",
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e9 0 1",
  };
  for (const char* fen : refused) {
    const Lines lines = Answer(std::string("position fen ") + fen + " moves e2e4");
    ASSERT_EQ(lines.size(), 1u) << fen;
    EXPECT_EQ(lines[0].rfind("info string ", 0), 0u) << fen << ": " << lines[0];
  }
  EXPECT_EQ(Answer("position fen 4k3/8/8/8/8/8/4P3/4K3 w moves e2e4 e8d7"), Lines{});
}

TEST_F(PositionCommand, AThousandPlyGameInOneCommand) {
  std::string command = "position startpos moves";
  const char* const shuffle[] = {"b1c3", "b8c6", "c3b1", "c6b8"};
  for (int ply = 0; ply < 1000; ++ply) command += std::string(" ") + shuffle[ply % 4];
  EXPECT_EQ(Answer(command), Lines{});
  EXPECT_EQ(Answer(command + " e2e4 e7e5 e1e3"), Lines{"Illegal Move !!"});
}

}  // namespace

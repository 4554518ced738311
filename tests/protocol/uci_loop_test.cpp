// The command loop and the "position" command as an interface sees them: the
// real binary over pipes.
#include <gtest/gtest.h>

#include <algorithm>

#include "protocol/protocol_test_util.h"
#include "support/engine_process.h"

namespace {

using Lines = std::vector<std::string>;

const Lines kIdentity = {
    "id name Vostrak 2.9f",
    "id author the Vostrak developers",
    "option name Hash type spin min 1 max 1024 default 32",
    "option name NalimovCache type spin min 1 max 1024 default 8",
    "option name NalimovPath type string default C:\\Nalimov",
    "option name Threads type spin min 1 max 8 default 1",
    "option name Ponder type check default false",
    "option name Clear Hash type button",
    "uciok",
};

// "quit" or the end of input ends the engine, before "uci" or after it.
TEST(UciLoop, UciInAnyCaseGivesTheIdentityAndOptions) {
  for (const char* hello : {"uci", "UCI", "Uci"}) {
    EngineProcess engine;
    engine.Send(hello);
    Lines lines;
    engine.ReadUntil("uciok", 5000, &lines);
    EXPECT_EQ(lines, kIdentity) << hello;
    if (hello[1] == 'C') engine.Send("quit");
    else engine.CloseInput();
    EXPECT_EQ(engine.WaitExit(2000), 0) << hello;
  }
}

TEST(UciLoop, LinesBeforeUciGetNoReply) {
  for (bool quit : {true, false}) {
    EngineProcess engine;
    for (const char* line : {"isready", "hello", "position startpos"}) engine.Send(line);
    if (quit) engine.Send("QUIT");
    else engine.CloseInput();
    EXPECT_EQ(engine.WaitExit(2000), 0) << quit;
    EXPECT_FALSE(engine.ReadLine(100)) << quit;
  }
}

// An engine past "uci" and its first "isready".
class UciSession : public ::testing::Test {
 protected:
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
  EngineProcess engine;
  Lines firstReady;
};

TEST_F(UciSession, IsreadyIsAnsweredAndUnknownLinesIgnored) {
  // The first "isready" initialises the tablebases; later ones only answer.
  ASSERT_FALSE(firstReady.empty());
  EXPECT_EQ(firstReady.front(), "Init EGTB");
  for (const char* line : {"uci", "foo bar", "", "go", " isready", "stop"}) engine.Send(line);
  EXPECT_TRUE(engine.ReadFor(300).empty()) << "a leading blank is no exact match; stop when idle prints nothing";
  EXPECT_EQ(Answer("isready"), Lines{});
  // A bad number costs one error line, and the engine goes on.
  EXPECT_EQ(Answer("setoption name Hash value abc"), Lines{"EConvertError: 'abc' is not a valid integer value"});
}

TEST_F(UciSession, IllegalMoveIsReportedOnce) {
  EXPECT_EQ(Answer("position startpos moves e2e4 e7e5 e1e2"), Lines{});
  EXPECT_EQ(Answer("position startpos moves e2e4 e7e5 e1e3"), Lines{"Illegal Move !!"});
  // Still after 1. e4 e5: the king may go to e2, the bishop out.
  EXPECT_EQ(Answer("position startpos moves e2e4 e7e5 e1e3 e1e2 xx f8c5"), (Lines{"Illegal Move !!", "Illegal Move !!"}));
}

TEST_F(UciSession, MalformedFensAreRefusedWithOneLine) {
  for (const char* fen : protocol_test::RefusedFens) {
    const Lines lines = Answer(std::string("position fen ") + fen + " moves e2e4");
    ASSERT_EQ(lines.size(), 1u) << fen;
    EXPECT_EQ(lines[0].rfind("info string ", 0), 0u) << fen << ": " << lines[0];
  }
  EXPECT_EQ(Answer("position fen 4k3/8/8/8/8/8/4P3/4K3 w moves e2e4 e8d7"), Lines{});
}

TEST_F(UciSession, AThousandPlyGameInOneCommand) {
  std::string command = "position startpos moves";
  const char* const shuffle[] = {"b1c3", "b8c6", "c3b1", "c6b8"};
  for (int ply = 0; ply < 1000; ++ply) command += std::string(" ") + shuffle[ply % 4];
  EXPECT_EQ(Answer(command), Lines{});
  EXPECT_EQ(Answer(command + " e2e4 e7e5 e1e3"), Lines{"Illegal Move !!"});
}

}  // namespace

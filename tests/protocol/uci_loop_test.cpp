// The command loop as an interface sees it: the real binary over pipes.
#include <gtest/gtest.h>

#include "support/engine_process.h"

namespace {

const std::vector<std::string> kIdentity = {
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

std::vector<std::string> ReadIdentity(EngineProcess& engine) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < kIdentity.size(); ++i) {
    auto line = engine.ReadLine();
    if (!line) break;
    lines.push_back(*line);
  }
  return lines;
}

// Lines of diagnostics the tablebase set-up may print before "readyok".
std::optional<std::string> ReadReady(EngineProcess& engine) { return engine.ReadUntil("readyok"); }

}  // namespace

TEST(UciLoop, UciInAnyCaseGivesTheIdentityAndOptions) {
  for (const char* hello : {"uci", "UCI", "Uci"}) {
    EngineProcess engine;
    engine.Send(hello);
    EXPECT_EQ(ReadIdentity(engine), kIdentity) << hello;
    engine.Send("quit");
    EXPECT_EQ(engine.WaitExit(), 0);
  }
}

TEST(UciLoop, LinesBeforeUciGetNoReplyAndQuitEndsSilently) {
  EngineProcess engine;
  engine.Send("isready");
  engine.Send("hello");
  engine.Send("position startpos");
  EXPECT_TRUE(engine.ReadFor(300).empty());
  engine.Send("QUIT");
  EXPECT_EQ(engine.WaitExit(), 0);
  EXPECT_FALSE(engine.ReadLine(100));
}

TEST(UciLoop, IsreadyIsAnsweredAndUnknownLinesIgnored) {
  EngineProcess engine;
  engine.Send("uci");
  ReadIdentity(engine);
  engine.Send("isready");
  EXPECT_EQ(ReadReady(engine), "readyok");
  engine.Send("uci");
  engine.Send("foo bar");
  engine.Send("");
  engine.Send("go");
  engine.Send(" isready");  // leading blank: no exact match
  engine.Send("stop");      // idle: returns at once, prints nothing
  EXPECT_TRUE(engine.ReadFor(300).empty());
  engine.Send("isready");
  EXPECT_EQ(engine.ReadLine(), "readyok");
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
}

TEST(UciLoop, EndOfInputEndsTheEngine) {
  for (bool afterUci : {false, true}) {
    EngineProcess engine;
    if (afterUci) {
      engine.Send("uci");
      ReadIdentity(engine);
    }
    engine.CloseInput();
    EXPECT_EQ(engine.WaitExit(2000), 0) << "after uci: " << afterUci;
  }
}

TEST(UciLoop, BadNumberGivesOneErrorLineAndTheEngineGoesOn) {
  EngineProcess engine;
  engine.Send("uci");
  ReadIdentity(engine);
  engine.Send("isready");
  ReadReady(engine);
  engine.Send("setoption name Hash value abc");
  EXPECT_EQ(engine.ReadLine(), "EConvertError: 'abc' is not a valid integer value");
  engine.Send("isready");
  EXPECT_EQ(engine.ReadLine(), "readyok");
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
}

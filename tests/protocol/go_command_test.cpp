// The "go" command: how its words are read, what it sets, and "ponderhit".
#include <gtest/gtest.h>

#include <memory>

#include "platform/console.h"
#include "protocol/convert.h"
#include "protocol/go_command.h"
#include "protocol/uci.h"
#include "search/control.h"
#include "search/main_thread_search.h"
#include "search/time_control.h"
#include "support/engine_tables.h"

namespace {

TEST(GoOrder, PonderMayStandAnywhereAndKeywordsInAnyCase) {
  EXPECT_EQ(ReadGoOrder("ponder").kind, TGoOrder::Unlimited);
  const TGoOrder mixed = ReadGoOrder("WTIME 1000 ponder  BTIME 2000 MovesToGo 0 binc 5");
  EXPECT_EQ(mixed.kind, TGoOrder::Clock);
  EXPECT_TRUE(mixed.ponder);
  EXPECT_EQ(mixed.wtime, 1000);
  EXPECT_EQ(mixed.btime, 2000);
  EXPECT_EQ(mixed.movestogo, 0);
  EXPECT_FALSE(mixed.winc);
  EXPECT_EQ(mixed.binc, 5);
  for (const char* args : {"nodes 10000", "mate 3", "infinite searchmoves e2e4"})
    EXPECT_EQ(ReadGoOrder(args).kind, TGoOrder::None) << args;
}

TEST(GoOrder, ValuesThatAreNotNumbersAreRefused) {
  for (const char* args : {"btime 5000 wtime", "wtime abc btime 5", "wtime 1 btime 1 movestogo x", "wtime 1 winc",
                           "depth 6 7", "depth x", "movetime 1.5"})
    EXPECT_THROW(ReadGoOrder(args), ConvertError) << args;
}

// Through the command loop, in-process, so that the globals can be read.
// Each search started is stopped before anything is checked.
class GoCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureEngineTables();
    HashSizeMB = 4;
    Level = TLevel{};
    uci = std::make_unique<TUCI>();
    Serve("");
  }
  void TearDown() override {
    uci.reset();
    HashSizeMB = 32;
    Level = TLevel{};
    Pondering = false;
    TimeMode = tmFixedDepth;
  }
  // Serves the line; returns what was printed since the previous line.
  std::string Serve(const std::string& line) {
    uci->HandleLine(line);
    const std::string all = output.Text();
    const std::string fresh = all.substr(seen);
    seen = all.size();
    return fresh;
  }
  void GoAndStop(const std::string& go) {
    Serve(go);
    Serve("stop");
  }

  OutputCapture output;  // first, so that it outlives the engine's last lines
  std::size_t seen = 0;
  std::unique_ptr<TUCI> uci;
};

TEST_F(GoCommand, EachOrderSetsTheModeTimeAndDepth) {
  struct Case {
    const char *position, *go;
    std::uint8_t mode;
    std::int32_t goTime, maxDepth, increment, movesToGo;
  };
  const Case cases[] = {
      // The time and increment of the side to move, here Black.
      {"startpos moves e2e4", "go wtime 60000 btime 50000 winc 1000 binc 2000", tmSuddenDeath, 50000, 40, 2000, 0},
      {"startpos", "go wtime 60000 btime 50000 winc 1000 binc 2000 movestogo 20", tmMovesToGo, 60000, 40, 1000, 20},
      {"startpos", "go wtime 30000 btime 30000", tmSuddenDeath, 30000, 40, 1000, 20},  // figures not repeated stay
      {"startpos", "go depth 6", tmFixedDepth, NoTimeLimit, 6, 1000, 20},
      {"startpos", "go movetime 1500", tmFixedTime, 1500, 40, 1000, 20},
      {"startpos", "go infinite", tmUnlimited, NoTimeLimit, 40, 1000, 20},
  };
  for (const Case& c : cases) {
    Serve(std::string("position ") + c.position);
    GoAndStop(c.go);
    EXPECT_EQ(TimeMode, c.mode) << c.go;
    EXPECT_EQ(GoTime, c.goTime) << c.go;
    EXPECT_EQ(MaxDepth, c.maxDepth) << c.go;
    EXPECT_EQ(Level.increment, c.increment) << c.go;
    EXPECT_EQ(Level.moves_to_tc, c.movesToGo) << c.go;
  }
}

TEST_F(GoCommand, PonderParksTheClockUntilPonderhit) {
  Serve("position startpos moves e2e4");
  Serve("go ponder wtime 60000 btime 50000 winc 1000 binc 2000");
  EXPECT_TRUE(Pondering);
  EXPECT_EQ(GoTime, NoTimeLimit);
  EXPECT_EQ(PonderWTime, 60000);
  EXPECT_EQ(PonderBTime, 50000);
  EXPECT_EQ(uci->side_ponder, Dark);

  Serve("ponderhit");
  EXPECT_FALSE(Pondering);
  EXPECT_EQ(GoTime, 50000);
  EXPECT_LE(Deadline, StartTick + 50000);
  Serve("stop");

  // A stray ponderhit changes nothing.
  const std::int64_t deadline = Deadline;
  PonderBTime = 1;
  Serve("ponderhit");
  EXPECT_EQ(GoTime, 50000);
  EXPECT_EQ(Deadline, deadline);

  // A depth order stays unlimited after "ponderhit".
  Serve("go ponder depth 5");
  Serve("ponderhit");
  EXPECT_FALSE(Pondering);
  EXPECT_EQ(GoTime, NoTimeLimit);
  EXPECT_EQ(Deadline, NoDeadline);
  Serve("stop");
}

TEST_F(GoCommand, OrdersThatStartNothingChangeNothing) {
  GoAndStop("go depth 6");
  Level.moves_to_tc = 7;
  StartTick = -1;  // any search started would restart the clock
  EXPECT_NE(Serve("go wtime 1000 btime abc movestogo 5").find("EConvertError: 'abc' is not a valid integer value"),
            std::string::npos);
  Serve("go ponder depth x");
  Serve("go nodes 10000");
  Serve("go mate 3");
  EXPECT_EQ(StartTick, -1);
  EXPECT_EQ(TimeMode, tmFixedDepth);
  EXPECT_EQ(MaxDepth, 6);
  EXPECT_EQ(GoTime, NoTimeLimit);
  EXPECT_EQ(Level.moves_to_tc, 7);
  EXPECT_FALSE(Pondering);
}

}  // namespace

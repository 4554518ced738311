// The "go" command: how its words are read, what it sets, and "ponderhit".
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/console.h"
#include "protocol/convert.h"
#include "protocol/go_command.h"
#include "protocol/uci.h"
#include "search/control.h"
#include "search/main_thread_search.h"
#include "search/time_control.h"
#include "support/engine_tables.h"

namespace {

TEST(GoOrder, WordsComeInAnyOrderCaseAndCombination) {
  const TGoOrder mixed = ReadGoOrder("WTIME 1000 ponder  BTIME 2000 MovesToGo 0 binc 5 depth 12 nodes 300");
  EXPECT_TRUE(mixed.ponder);
  EXPECT_EQ(mixed.wtime, 1000);
  EXPECT_EQ(mixed.btime, 2000);
  EXPECT_EQ(mixed.movestogo, 0);
  EXPECT_FALSE(mixed.winc);
  EXPECT_EQ(mixed.binc, 5);
  EXPECT_EQ(mixed.depth, 12);
  EXPECT_EQ(mixed.nodes, 300u);
  EXPECT_TRUE(mixed.notes.empty());

  const TGoOrder restricted = ReadGoOrder("searchmoves e2e4 d2d4 movetime 500 infinite mate 3");
  EXPECT_EQ(restricted.searchmoves, (std::vector<std::string>{"e2e4", "d2d4"}));
  EXPECT_EQ(restricted.movetime, 500);
  EXPECT_TRUE(restricted.infinite);
  EXPECT_EQ(restricted.mate, 3);
  EXPECT_FALSE(restricted.HasClock());
}

TEST(GoOrder, FiguresBeyondTheirFieldAreClamped) {
  struct Case {
    const char* args;
    std::optional<std::int32_t> TGoOrder::*field;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"wtime 99999999999999999999999", &TGoOrder::wtime, NoTimeLimit - 1},
      {"winc 2147483647", &TGoOrder::winc, NoTimeLimit - 1},
      {"btime -20", &TGoOrder::btime, 0},
      {"depth 45", &TGoOrder::depth, DeepestIteration},
      {"depth -3", &TGoOrder::depth, 0},
      {"mate 0", &TGoOrder::mate, 1},
      {"mate 400", &TGoOrder::mate, (DeepestIteration + 1) / 2},
  };
  for (const Case& c : cases) {
    const TGoOrder order = ReadGoOrder(c.args);
    EXPECT_EQ(order.*c.field, c.expected) << c.args;
    EXPECT_TRUE(order.notes.empty()) << c.args;
  }
  EXPECT_EQ(ReadGoOrder("nodes 0").nodes, 1u);
  EXPECT_EQ(ReadGoOrder("nodes 123456789012").nodes, 4294967295u);
}

TEST(GoOrder, ValuesThatAreNotNumbersAndUnknownWordsAreNotedAndSkipped) {
  const TGoOrder order = ReadGoOrder("frobnicate wtime abc btime 5000 depth 1.5 movetime wibble nodes");
  EXPECT_FALSE(order.wtime);
  EXPECT_EQ(order.btime, 5000);
  EXPECT_FALSE(order.depth);
  EXPECT_FALSE(order.nodes);
  ASSERT_EQ(order.notes.size(), 5u);
  EXPECT_EQ(order.notes[0], "wtime: 'abc' is not a number, ignored");
  EXPECT_EQ(order.notes[2], "movetime: 'wibble' is not a number, ignored");
  EXPECT_EQ(order.notes[3], "nodes: no value, ignored");
  EXPECT_EQ(order.notes[4], "unknown words skipped: frobnicate");
  // A keyword is never taken for the value of the one before it.
  const TGoOrder missing = ReadGoOrder("wtime btime 700");
  EXPECT_FALSE(missing.wtime);
  EXPECT_EQ(missing.btime, 700);
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

TEST_F(GoCommand, CombinedOrdersTakeEveryLimit) {
  struct Case {
    const char* go;
    std::uint8_t mode;
    std::int32_t goTime, maxDepth;
    std::uint32_t nodes;
    bool depthGiven;
  };
  const Case cases[] = {
      {"go depth 30 movetime 500", tmFixedTime, 500, 30, 0, true},
      {"go nodes 20000", tmFixedDepth, NoTimeLimit, FullDepth, 20000, false},
      {"go mate 2", tmFixedDepth, NoTimeLimit, 5, 0, true},
      {"go mate 3 depth 4", tmFixedDepth, NoTimeLimit, 4, 0, true},
      {"go wtime 9000 btime 8000 depth 9 nodes 5000", tmSuddenDeath, 9000, 9, 5000, true},
      {"go infinite depth 12", tmUnlimited, NoTimeLimit, 12, 0, true},
      {"go searchmoves e2e4", tmUnlimited, NoTimeLimit, FullDepth, 0, false},
      {"go depth 45", tmFixedDepth, NoTimeLimit, DeepestIteration, 0, true},
  };
  Serve("position startpos");
  for (const Case& c : cases) {
    GoAndStop(c.go);
    EXPECT_EQ(TimeMode, c.mode) << c.go;
    EXPECT_EQ(GoTime, c.goTime) << c.go;
    EXPECT_EQ(MaxDepth, c.maxDepth) << c.go;
    EXPECT_EQ(NodeLimit, c.nodes) << c.go;
    EXPECT_EQ(DepthLimitGiven, c.depthGiven) << c.go;
  }
}

TEST_F(GoCommand, SearchmovesKeepsTheLegalMovesAndReportsTheOthers) {
  Serve("position startpos moves e2e4");
  std::string printed = Serve("go depth 1 searchmoves e7e5 e2e4 e7e5 g8f6 zz");
  Serve("stop");
  EXPECT_NE(printed.find("info string go searchmoves: not legal here, ignored: e2e4 zz"), std::string::npos);
  ASSERT_EQ(SearchMoves.count, 2);  // e7e5 once
  EXPECT_TRUE(SearchMoves.Allows(TMove{12, 28, 0, 0}));   // e7e5
  EXPECT_FALSE(SearchMoves.Allows(TMove{11, 27, 0, 0}));  // d7d5

  printed = Serve("go depth 1 searchmoves e2e4");
  Serve("stop");
  EXPECT_NE(printed.find("no legal move given, every move is searched"), std::string::npos);
  EXPECT_EQ(SearchMoves.count, 0);
  GoAndStop("go depth 1");
  EXPECT_EQ(SearchMoves.count, 0);
}

TEST_F(GoCommand, ANewGameOrPositionEmptiesTheTablesBeforeAnyClockRuns) {
  const auto empty = [&] {
    const THashClass& tables = *uci->MainSearch().HashClass;
    for (std::uint32_t i = 0; i < tables.HashSize; ++i)
      if (tables.HashTable[i].ID != 0) return false;
    return true;
  };
  const char* orders[] = {"position fen 4k3/8/8/8/8/8/3PP3/4K3 w - - 0 1", "ucinewgame"};
  for (const char* order : orders) {
    Serve("position startpos moves e2e4");
    Serve("go depth 6");
    uci->MainSearch().Thread().waitIdle();
    ASSERT_FALSE(empty());
    Serve(order);
    EXPECT_TRUE(empty()) << order;
  }
  // The same position again keeps what the tables know.
  Serve("position fen 4k3/8/8/8/8/8/3PP3/4K3 w - - 0 1");
  Serve("go depth 6");
  uci->MainSearch().Thread().waitIdle();
  Serve("position fen 4k3/8/8/8/8/8/3PP3/4K3 w - - 0 1 moves e2e4");
  EXPECT_FALSE(empty());
}

}  // namespace

// Reading the words of "go" and "setoption", and what the command loop sets
// from them, in-process so that the order and the settings can be read.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <utility>

#include "platform/console.h"
#include "protocol/convert.h"
#include "protocol/go_command.h"
#include "protocol/option_table.h"
#include "protocol/uci.h"
#include "search/main_thread_search.h"
#include "support/engine_tables.h"

namespace {

TEST(GoOrder, WordsComeInAnyOrderAndCase) {
  const TGoOrder mixed = ReadGoOrder("WTIME 1000 ponder  BTIME 2000 MovesToGo 0 binc 5 depth 12 nodes 300");
  EXPECT_TRUE(mixed.ponder && !mixed.winc && mixed.notes.empty() && mixed.wtime == 1000 && mixed.btime == 2000);
  EXPECT_TRUE(mixed.movestogo == 0 && mixed.binc == 5 && mixed.depth == 12 && mixed.nodes == 300u);
  const TGoOrder restricted = ReadGoOrder("searchmoves e2e4 d2d4 movetime 500 infinite mate 3");
  EXPECT_EQ(restricted.searchmoves, (std::vector<std::string>{"e2e4", "d2d4"}));
  EXPECT_TRUE(restricted.movetime == 500 && restricted.infinite && restricted.mate == 3 && !restricted.HasClock());
}

// Figures beyond their field are clamped; values that are not numbers and
// unknown words are noted and skipped; a keyword is never a value.
TEST(GoOrder, FiguresAreClampedAndBadWordsNoted) {
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
      {"wtime btime 700", &TGoOrder::btime, 700},
  };
  for (const Case& c : cases) EXPECT_TRUE(ReadGoOrder(c.args).*c.field == c.expected) << c.args;
  EXPECT_EQ(ReadGoOrder("nodes 0").nodes, 1u);
  EXPECT_EQ(ReadGoOrder("nodes 123456789012").nodes, 4294967295u);
  const TGoOrder order = ReadGoOrder("frobnicate wtime abc btime 5000 depth 1.5 movetime wibble nodes");
  EXPECT_TRUE(!order.wtime && order.btime == 5000 && !order.depth && !order.nodes);
  EXPECT_EQ(order.notes,
            (std::vector<std::string>{"wtime: 'abc' is not a number, ignored", "depth: '1.5' is not a number, ignored",
                                      "movetime: 'wibble' is not a number, ignored", "nodes: no value, ignored",
                                      "unknown words skipped: frobnicate"}));
}

// A "setoption" line is its name, found whatever its letter case, and its
// value, blanks inside kept. Plain integers refuse what is not one; clamped
// settings take any number of digits and refuse the rest.
TEST(Options, NamesValuesAndIntegers) {
  struct Case {
    const char *line, *name, *value;
  };
  for (const Case& c : {Case{"setoption name NalimovPath value /tb/a b ", "NalimovPath", "/tb/a b"},
                        Case{"SETOPTION NAME Move  Overhead VALUE -3", "Move Overhead", "-3"},
                        Case{"setoption name Clear Hash", "Clear Hash", ""}}) {
    const auto option = ReadSetOption(c.line);
    ASSERT_TRUE(option) << c.line;
    EXPECT_EQ(option->name, c.name);
    EXPECT_EQ(option->value, c.value);
  }
  EXPECT_FALSE(ReadSetOption("setoption hash 5"));
  EXPECT_EQ(FindOption("multipv"), FindOption("MultiPV"));
  EXPECT_EQ(FindOption("move overhead")->max, MaxMoveOverhead);
  EXPECT_EQ(FindOption("Hashes"), nullptr);
  EXPECT_EQ(StrToInt("+12"), 12);
  for (const char* bad : {"", "abc", "12x", "1.5", "-", "99999999999", " 3"})
    EXPECT_THROW(StrToInt(bad), ConvertError) << "'" << bad << "'";  // MoveOverhead reads the error's line
  for (const auto& [text, value] : {std::pair{"+7", 7},
                                    {"-20", 0},
                                    {"5001", 5000},
                                    {"99999999999999999999999", 5000},
                                    {"-99999999999999999999999", 0},
                                    {"0005", 5}})
    EXPECT_EQ(StrToIntClamped(text, 0, 5000), value) << text;
  for (const char* bad : {"", "fast", "12x", "1.5", "-", "+", "+-3", " 3"}) {
    EXPECT_FALSE(ParseClampedInt(bad, 0, 5000)) << "'" << bad << "'";
    EXPECT_THROW(StrToIntClamped(bad, 0, 5000), ConvertError) << "'" << bad << "'";
  }
}

// The command loop in-process. Each search started is stopped before
// anything is checked.
class GoCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureEngineTables();
    uci = std::make_unique<TUCI>();
    Serve("setoption name Hash value 4");
  }
  const TSearchOrder& Order() const { return uci->MainSearch().Order(); }
  const TTimeManager& Clock() const { return uci->MainSearch().Clock; }
  // Serves the line; returns what was printed since the previous line.
  std::string Serve(const std::string& line) {
    uci->HandleLine(line);
    const std::string all = output.Text();
    return all.substr(std::exchange(seen, all.size()));
  }
  OutputCapture output;  // first, so that it outlives the engine's last lines
  std::size_t seen = 0;
  std::unique_ptr<TUCI> uci;
};

// Orders run in turn on one engine, with Black to move: the clock and
// increment are Black's, and figures an order does not repeat stay.
TEST_F(GoCommand, EachOrderSetsItsModeAndLimits) {
  // The order, its mode, time, depth, increment, moves to go, node limit, whether a depth was given.
  using Case = std::tuple<const char*, std::uint8_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                          std::uint32_t, bool>;
  Serve("position startpos moves e2e4");
  for (const auto& [go, mode, goTime, maxDepth, increment, movesToGo, nodes, depthGiven] :
       {Case{"go wtime 60000 btime 50000 winc 1000 binc 2000", tmSuddenDeath, 50000, 40, 2000, 0, 0, false},
        {"go wtime 60000 btime 40000 winc 1000 binc 3000 movestogo 20", tmMovesToGo, 40000, 40, 3000, 20, 0, false},
        {"go wtime 30000 btime 30000", tmSuddenDeath, 30000, 40, 3000, 20, 0, false},
        {"go depth 6", tmFixedDepth, NoTimeLimit, 6, 3000, 20, 0, true},
        {"go depth 30 movetime 500", tmFixedTime, 500, 30, 3000, 20, 0, true},
        {"go nodes 20000", tmFixedDepth, NoTimeLimit, FullDepth, 3000, 20, 20000, false},
        {"go mate 2", tmFixedDepth, NoTimeLimit, 5, 3000, 20, 0, true},
        {"go mate 3 depth 4", tmFixedDepth, NoTimeLimit, 4, 3000, 20, 0, true},
        {"go wtime 9000 btime 8000 depth 9 nodes 5000", tmSuddenDeath, 8000, 9, 3000, 20, 5000, true},
        {"go infinite depth 12", tmUnlimited, NoTimeLimit, 12, 3000, 20, 0, true},
        {"go searchmoves e7e5", tmUnlimited, NoTimeLimit, FullDepth, 3000, 20, 0, false}}) {
    Serve(go);
    Serve("stop");
    const TSearchOrder& o = Order();
    EXPECT_TRUE(o.TimeMode == mode && o.GoTime == goTime && o.MaxDepth == maxDepth) << go;
    EXPECT_TRUE(o.Level.Increment == increment && o.Level.MovesToGo == movesToGo) << go;
    EXPECT_TRUE(o.NodeLimit == nodes && o.DepthLimitGiven == depthGiven) << go;
  }
}

TEST_F(GoCommand, PonderParksTheClockUntilPonderhit) {
  Serve("position startpos moves e2e4");
  Serve("go ponder wtime 60000 btime 50000 winc 1000 binc 2000");
  EXPECT_TRUE(Clock().Pondering() && Clock().TimeLeft() == NoTimeLimit);
  Serve("ponderhit");  // Black's clock, parked at "go"
  TClockFigures clock = Clock().Figures();
  EXPECT_TRUE(!Clock().Pondering() && Clock().TimeLeft() == 50000 && clock.deadline <= clock.startTick + 50000);
  Serve("stop");
  // A stray ponderhit changes nothing, nor does a FEN; a start position is a
  // new game and forgets the clock.
  Serve("ponderhit");
  Serve("position fen 4k3/8/8/8/8/8/4P3/4K3 b - -");
  EXPECT_TRUE(Clock().TimeLeft() == 50000 && Clock().Figures().deadline == clock.deadline);
  Serve("position startpos moves e2e4");
  EXPECT_TRUE(Clock().TimeLeft() == 0 && Clock().Figures().deadline == 0);
  // A depth order stays unlimited after "ponderhit".
  Serve("go ponder depth 5");
  Serve("ponderhit");
  EXPECT_TRUE(!Clock().Pondering() && Clock().TimeLeft() == NoTimeLimit && Clock().Figures().deadline == NoDeadline);
  Serve("stop");
}

TEST_F(GoCommand, SearchmovesKeepsTheLegalMovesAndReportsTheOthers) {
  Serve("position startpos moves e2e4");
  std::string printed = Serve("go depth 1 searchmoves e7e5 e2e4 e7e5 g8f6 zz");
  Serve("stop");
  EXPECT_NE(printed.find("info string go searchmoves: not legal here, ignored: e2e4 zz"), std::string::npos);
  const TRootMoveFilter& allowed = Order().SearchMoves;
  EXPECT_EQ(allowed.count, 2);                                                               // e7e5 once
  EXPECT_TRUE(allowed.Allows(TMove{12, 28, 0, 0}) && !allowed.Allows(TMove{11, 27, 0, 0}));  // e7e5, d7d5
  printed = Serve("go depth 1 searchmoves e2e4");
  Serve("stop");
  EXPECT_NE(printed.find("no legal move given, every move is searched"), std::string::npos);
  EXPECT_EQ(Order().SearchMoves.count, 0);
}

TEST_F(GoCommand, ANewGameOrPositionEmptiesTheTablesBeforeAnyClockRuns) {
  const auto empty = [&] {
    const TTranspositionTable& tables = *uci->MainSearch().TransTable;
    for (std::uint32_t i = 0; i < tables.HashSize; ++i)
      if (tables.Load(i).ID != 0) return false;
    return true;
  };
  const std::string fen = "position fen 4k3/8/8/8/8/8/3PP3/4K3 w - - 0 1";
  for (const std::string& order : {fen, std::string("ucinewgame")}) {
    Serve("position startpos moves e2e4");
    Serve("go depth 6");
    uci->MainSearch().Thread().WaitIdle();
    ASSERT_FALSE(empty());
    Serve(order);
    EXPECT_TRUE(empty()) << order;
  }
  // The same FEN again, moves aside, keeps what the tables know; so does a
  // start position.
  Serve(fen);
  Serve("go depth 6");
  uci->MainSearch().Thread().WaitIdle();
  for (const std::string& same : {fen + " moves e2e4", std::string("position startpos moves e2e4")}) {
    Serve(same);
    EXPECT_FALSE(empty()) << same;
  }
}

// The option's value is kept within its range; a bad one changes nothing.
TEST_F(GoCommand, MoveOverheadIsSetWithinItsRange) {
  for (const auto& [line, value] : {std::pair{"  setoption name move overhead value 100 \t", 100},
                                    {"setoption name Move Overhead value 999999999999", MaxMoveOverhead}}) {
    EXPECT_EQ(Serve(line), "") << line;
    EXPECT_EQ(uci->Settings().MoveOverhead, value) << line;
  }
  EXPECT_EQ(Serve("setoption name Move Overhead value fast"),
            "info string EConvertError: 'fast' is not a valid integer value\n");
  EXPECT_EQ(uci->Settings().MoveOverhead, MaxMoveOverhead);
}

}  // namespace

// Every "go" an interface sends ends with one legal "bestmove" within its limit, with one thread or two.
#include <gtest/gtest.h>

#include "support/engine_session.h"

namespace {

constexpr const char* Middlegame = "fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";
constexpr const char* MateInOne = "fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1";

class GoOrders : public EngineSession {
 protected:
  void EveryKindAnswersOnce(const char* threads) {
    Answer(std::string("setoption name Threads value ") + threads);
    const TOrder orders[] = {
        {"startpos", "go movetime 300", {}, 250, 300},
        {"startpos", "go depth -5", {}, 0, 500},  // below one: answers at once
        {"startpos", "go nodes 1000", {}, 0, 0},
        {MateInOne, "go mate 1", {}, 0, 0, "a1a8"},
        // Clocks: the slice must fit a nearly empty clock whatever the increment, and a zero movestogo.
        {"startpos moves e2e4", "go wtime 200 btime 200 winc 1000 binc 1000", {}, 0, 350},
        {"startpos moves e2e4 c7c5", "go wtime 6000 btime 6000 movestogo 20", {}, 0, 1350},
        {Middlegame, "go movestogo 0 wtime 2000 btime 2000", {}, 0, 2000},
        {Middlegame, "go wtime 3000 btime 3000 winc 2147483647 binc 2147483647", {}, 0, 3000},
        {Middlegame, "go wtime 1 btime 1", {}, 0, 1},
        {Middlegame, "go wtime -200 btime 5000", {}, 0, 1},
        {Middlegame, "go movetime 0", {}, 0, 1},
        // Whichever limit comes first ends the search.
        {Middlegame, "go depth 30 movetime 500", {}, 0, 500},
        {Middlegame, "go movetime 400 nodes 1000000000", {}, 0, 400},
        {Middlegame, "go nodes 3000 movetime 20000", {}, 0, 0},
        // Unlimited: answered only after "stop", which an "isready" or a new position does not stand for, a
        // new game does; a mate found at once is held too.
        {Middlegame, "go", {"stop"}, 400, 1000},
        {Middlegame, "go infinite depth 2", {"stop"}, 400, 1000},
        {Middlegame, "go searchmoves e1g1 a2a3", {"stop"}, 400, 1000},
        {"startpos", "go infinite", {"isready", "position fen 8/8/8/8/8/8/8/K6k w - - 0 1", "stop"}, 300, 1000},
        {"startpos", "go infinite", {"ucinewgame"}, 200, 1000},
        {MateInOne, "go infinite", {"stop"}, 500, 1000, "a1a8"},
        // After "ponderhit" the search plays on the clock, a held mate at once; "stop" is a ponder miss.
        {"startpos moves e2e4", "go ponder wtime 2000 btime 2000", {"ponderhit"}, 500, 2000},
        {MateInOne, "go ponder wtime 5000 btime 5000", {"ponderhit"}, 500, 850, "a1a8"},
        {"startpos moves e2e4", "go ponder wtime 5000 btime 5000", {"stop"}, 300, 1000},
        // The most men a side can have, 218 moves to choose from, a king in check among promoted pieces.
        {"fen rnbqkbnr/qqqqqqqq/8/8/8/8/QQQQQQQQ/RNBQKBNR w - - 0 1", "go movetime 500", {}, 0, 500},
        {"fen R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - - 0 1", "go depth 3", {}, 0, 0},
        {"fen rnb1kbnr/pppp1ppp/8/4Q3/8/8/QQQQ1QQQ/RNB1KBNR b - - 0 1", "go depth 3", {}, 0, 0},
    };
    for (const TOrder& order : orders) ExpectOneAnswer(order);
    engine.Send("go infinite");  // "quit" ends a search too
    engine.Send("quit");
    EXPECT_EQ(engine.WaitExit(3000), 0);
  }
};

TEST_F(GoOrders, EveryKindAnswersOnceLegallyAndInTimeWithOneThread) { EveryKindAnswersOnce("1"); }
TEST_F(GoOrders, EveryKindAnswersOnceLegallyAndInTimeWithTwoThreads) { EveryKindAnswersOnce("2"); }

TEST_F(GoOrders, NodeLimitStopsWithinOnePercentAndRepeatsWithFreshTables) {
  std::string answers[2];
  long long nodes[2];
  for (int run = 0; run < 2; ++run) {
    Answer("ucinewgame");
    Lines lines;
    answers[run] = Go(Middlegame, "go nodes 20000", 20000, &lines).value_or("none");
    nodes[run] = LastInfo(lines).nodes;
    EXPECT_TRUE(nodes[run] >= 20000 && nodes[run] <= 20200) << nodes[run];
  }
  EXPECT_EQ(answers[1], answers[0]);
  EXPECT_EQ(nodes[1], nodes[0]);
}

// Two threads race through the depths; whichever completes the depth asked
// for first ends the search, and the answer's line is of that depth.
TEST_F(GoOrders, WithTwoThreadsAGoDepthAnswersAtThatDepthAndNeverBeyond) {
  Answer("setoption name Threads value 2");
  const int deepest = CheckedBuild ? 6 : 9;  // a sanitised build searches ten times slower
  for (int depth = 1; depth <= deepest; ++depth) {
    Lines lines;
    ASSERT_TRUE(Go(Middlegame, "go depth " + std::to_string(depth), 60000, &lines)) << depth;
    int printed = 0;
    for (const TInfo& info : DepthInfos(lines)) {
      EXPECT_GE(info.depth, printed) << depth;
      printed = info.depth;
    }
    EXPECT_EQ(printed, depth);
  }
}

// The knight attacks the queen on d4; a move played without a search loses it.
TEST_F(GoOrders, ABulletClockStillSearchesAndKeepsTheQueen) {
  Lines lines;
  long long ms = 0;
  const auto answer =
      Go("fen 4k3/8/3p4/4p3/3Q4/1n6/P7/4K3 w - - 0 1", "go wtime 1000 btime 1000 winc 10 binc 10", 5000, &lines, &ms);
  ASSERT_TRUE(answer);
  EXPECT_LT(ms, 1000 + (CheckedBuild ? AnswerLatencyMs : 0));
  if (CheckedBuild) return;  // too slow to see four plies in 20 ms
  EXPECT_TRUE(MoveOf(*answer).starts_with("d4")) << *answer;
  EXPECT_GE(LastInfo(lines).depth, 4);
}

}  // namespace

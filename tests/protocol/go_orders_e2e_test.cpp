// Every "go" a client library or a tournament manager sends ends with one
// legal "bestmove" within its limit: each word alone and in combination,
// node limits, clocks at their extremes, and FEN set-ups at the limits of
// what a game can reach. Mate orders, searchmoves and the half-move clock
// are InfoLines' (play_e2e_test.cpp), which reads the scores.
#include <gtest/gtest.h>

#include "support/engine_session.h"

namespace {

class GoOrders : public EngineSession {};
class FenLimits : public EngineSession {};

constexpr const char* Middlegame = "fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

// maxMs 0: bounded by depth or nodes; -1: unlimited, answered only after a
// "stop" sent 400 ms later.
TEST_F(GoOrders, EveryFormAndCombinationAnswersOnceWithinItsLimit) {
  struct Case {
    const char* go;
    long long maxMs;
  };
  const Case cases[] = {
      {"go depth 4", 0},
      {"go movetime 300", 300},
      {"go nodes 20000", 0},
      {"go mate 2", 0},
      {"go depth 30 movetime 500", 500},
      {"go movetime 400 nodes 1000000000", 400},
      {"go nodes 3000 movetime 20000", 0},
      {"go wtime 5000 btime 5000 depth 3", 5000},
      {"go btime 3000 wtime 3000 nodes 5000 winc 0", 3000},
      {"go movestogo 0 wtime 2000 btime 2000", 2000},
      {"go wtime 3000 btime 3000 winc 2147483647 binc 2147483647", 3000},
      {"go wtime 1 btime 1", 1},
      {"go wtime -200 btime 5000", 1},
      {"go movetime 0", 1},
      {"go depth 0", 1},
      {"go searchmoves e1g1 a2a3 depth 4", 0},
      {"go depth 4 frobnicate 12", 0},
      {"go depth x movetime 300", 300},
      {"go", -1},
      {"go infinite depth 2", -1},
      {"go infinite nodes 1000", -1},
      {"go searchmoves e1g1 a2a3", -1},
  };
  for (const Case& c : cases)
    ExpectOneAnswer({Middlegame, c.go, c.maxMs < 0 ? Lines{"stop"} : Lines{}, c.maxMs < 0 ? 400 : 0,
                     c.maxMs > 0 ? c.maxMs + AnswerLatencyMs : 120000});
}

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

TEST_F(GoOrders, ABulletClockStillSearchesAndKeepsTheQueen) {
  // The knight attacks the queen on d4; a move played without a search loses it.
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

// The most material a side can have: sixteen men, nine queens among them;
// 218 moves to choose from; a king in check among promoted pieces; a clock
// at its limit. Each gets a legal move for a time order, and those the
// search can take in depth for depth orders too. A depth order among nine
// queens runs a million nodes, which a sanitized build takes far longer over.
TEST_F(FenLimits, EdgePositionsGetALegalMove) {
  struct Case {
    const char* fen;
    bool depthOrders;
  };
  const Case cases[] = {
      {"fen R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - - 0 1", true},
      {"fen rnb1kbnr/pppp1ppp/8/4Q3/8/8/QQQQ1QQQ/RNB1KBNR b - - 0 1", true},
      {"fen 4k3/8/8/8/8/8/8/4K3 w - - 1000 900", true},
      {"fen rnbqkbnr/qqqqqqqq/8/8/8/8/QQQQQQQQ/RNBQKBNR w - - 0 1", false},
      {"fen kqqqqqqq/qqrrbbnn/8/8/8/8/QQRRBBNN/KQQQQQQQ b - - 0 1", false},
  };
  for (const Case& c : cases)
    for (const char* go : {"go movetime 500", "go depth 1", "go depth 3"})
      if (c.depthOrders || go[3] != 'd') ExpectOneAnswer({c.fen, go, {}, 0, CheckedBuild ? 120000 : 10000});
}

}  // namespace

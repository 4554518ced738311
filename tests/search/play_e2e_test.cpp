// The engine plays: searches ordered over UCI answer with a legal move in
// the time they were given, and stop when told.
#include <gtest/gtest.h>

#include <chrono>

#include "support/engine_session.h"

namespace {

// A session in which the engine plays.
class Play : public EngineSession {};

}  // namespace

TEST_F(Play, FixedDepthAnswersWithAMoveAMateOrTheNullMove) {
  const std::pair<const char*, const char*> cases[] = {
      {"startpos moves e2e4 e7e5", nullptr},  // any move
      {"fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", "bestmove a1a8"},  // mate in one
      {"fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "bestmove 0000"},        // stalemate
  };
  for (const auto& [position, answer] : cases) {
    engine.Send(std::string("position ") + position);
    engine.Send("go depth 4");
    auto line = BestMove(20000);
    ASSERT_TRUE(line) << position;
    if (answer) {
      EXPECT_TRUE(line->starts_with(answer)) << position << ": " << *line;
    } else {
      EXPECT_FALSE(line->starts_with("bestmove 0000")) << position;
    }
  }
}

TEST_F(Play, ADepthBelowOneAnswersAtOnceWithALegalMove) {
  engine.Send("position startpos");
  engine.Send("go depth -5");
  auto line = BestMove(2000);
  ASSERT_TRUE(line);
  EXPECT_FALSE(line->starts_with("bestmove 0000"));
}

TEST_F(Play, TimedSearchesKeepToTheirTime) {
  struct Case {
    const char *position, *go;
    long long minMs, maxMs;
  };
  const Case cases[] = {
      {"startpos", "go movetime 300", 250, 2500},
      // 200 ms left with a 1 s increment: the slice formula alone would spend
      // far more than the clock holds. The bound allows for the pipe's latency.
      {"startpos moves e2e4", "go wtime 200 btime 200 winc 1000 binc 1000", 0, 500},
      {"startpos moves e2e4 c7c5", "go wtime 6000 btime 6000 movestogo 20", 0, 1500},  // a slice of 300 ms
  };
  for (const Case& c : cases) {
    engine.Send(std::string("position ") + c.position);
    engine.Send(c.go);
    long long ms = 0;
    ASSERT_TRUE(BestMove(5000, &ms)) << c.go;
    EXPECT_GE(ms, c.minMs) << c.go;
    EXPECT_LT(ms, c.maxMs) << c.go;
  }
}

TEST_F(Play, AnInfiniteSearchAnswersOnlyAtStop) {
  engine.Send("position startpos");
  engine.Send("go infinite");
  EXPECT_FALSE(engine.ReadUntil("bestmove", 300));  // no answer before it is asked for
  engine.Send("isready");
  EXPECT_TRUE(engine.ReadUntil("readyok", 1000));  // answered during the search
  engine.Send("position fen 8/8/8/8/8/8/8/K6k w - - 0 1");  // dropped while searching
  engine.Send("stop");
  auto line = BestMove(3000);
  ASSERT_TRUE(line);
  EXPECT_NE(*line, "bestmove 0000");

  // Even a mate found at once is held until asked for.
  engine.Send("position fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1");
  engine.Send("go infinite");
  EXPECT_FALSE(engine.ReadUntil("bestmove", 500));
  engine.Send("stop");
  line = BestMove(2000);
  ASSERT_TRUE(line);
  EXPECT_EQ(line->substr(0, 13), "bestmove a1a8");
}

TEST_F(Play, QuitDuringASearchEndsTheEngine) {
  engine.Send("position startpos");
  engine.Send("go infinite");
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(3000), 0);
}

TEST_F(Play, TwoThreadsShareTheRootAndAgreeOnALegalMove) {
  engine.Send("setoption name Threads value 2");  // ignored on a one-processor machine
  engine.Send("position startpos moves d2d4 d7d5 c2c4");
  engine.Send("go depth 7");
  auto line = BestMove(60000);
  ASSERT_TRUE(line);
  EXPECT_NE(*line, "bestmove 0000");
  engine.Send("go movetime 300");
  engine.Send("stop");
  EXPECT_TRUE(BestMove(5000));
  // A clock game and a ponder miss: the threads deal, report and stop together.
  engine.Send("position startpos moves e2e4 e7e5 g1f3");
  engine.Send("go wtime 4000 btime 4000 winc 100 binc 100");
  EXPECT_TRUE(BestMove(5000));
  engine.Send("position startpos moves e2e4 e7e5 g1f3 b8c6");
  engine.Send("go ponder wtime 4000 btime 4000");
  EXPECT_FALSE(engine.ReadUntil("bestmove", 300));
  engine.Send("stop");
  EXPECT_TRUE(BestMove(5000));
}

TEST_F(Play, APonderSearchHoldsItsAnswerUntilPonderhitOrStop) {
  // After "ponderhit" a running ponder search plays on the clock.
  engine.Send("position startpos moves e2e4");
  engine.Send("go ponder wtime 2000 btime 2000");
  EXPECT_FALSE(engine.ReadUntil("bestmove", 500));
  engine.Send("ponderhit");
  long long ms = 0;
  ASSERT_TRUE(BestMove(5000, &ms));
  EXPECT_LT(ms, 2000);

  // Pondering on a position with a mate in one: the search is over at once,
  // yet the answer waits for the interface.
  engine.Send("position fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1");
  engine.Send("go ponder wtime 5000 btime 5000");
  EXPECT_FALSE(engine.ReadUntil("bestmove", 500));
  engine.Send("ponderhit");
  auto line = BestMove(2000, &ms);
  ASSERT_TRUE(line);
  EXPECT_LT(ms, 1000);  // over already: answers at once
  EXPECT_EQ(line->substr(0, 13), "bestmove a1a8");

  engine.Send("position startpos moves e2e4");
  engine.Send("go ponder wtime 5000 btime 5000");
  EXPECT_FALSE(engine.ReadUntil("bestmove", 300));
  engine.Send("stop");  // a ponder miss
  EXPECT_TRUE(BestMove(2000));
}

TEST_F(Play, NewGameDuringASearchStopsItAndStillAnswers) {
  engine.Send("position startpos");
  engine.Send("go infinite");
  EXPECT_FALSE(engine.ReadUntil("bestmove", 200));
  engine.Send("ucinewgame");
  EXPECT_TRUE(BestMove(3000));
  engine.Send("isready");
  EXPECT_TRUE(engine.ReadUntil("readyok", 5000));
}

// A smoke test of whole games: the engine plays itself at a fast clock
// through UCI, as in a match. Every move must be legal and every answer must
// come within the time left on the mover's clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <string>

#include "protocol/protocol_board.h"
#include "support/build_speed.h"
#include "support/engine_process.h"
#include "support/engine_tables.h"
#include "support/game_rules.h"


namespace {

struct TClock {
  long long start, increment;  // milliseconds
};

// Plays the engine against itself from each opening on the clock, as a
// tournament manager does: the mover's clock runs from "go" to "bestmove",
// then gains the increment. Every move must be legal and come in time.
void PlaySelf(int threads, TClock clock, int maxPlies) {
  EnsureEngineTables();
  EngineProcess engine;
  engine.Send("uci");
  ASSERT_TRUE(engine.ReadUntil("uciok"));
  engine.Send("setoption name Threads value " + std::to_string(threads));  // ignored on one processor
  const char* openings[] = {"e2e4 e7e5", "d2d4 g8f6 c2c4"};
  int moves = 0;
  long long closest = clock.start;  // the least time any answer left on its clock
  for (const char* opening : openings) {
    engine.Send("ucinewgame");
    engine.Send("isready");
    ASSERT_TRUE(engine.ReadUntil("readyok", 20000));
    TProtocolBoard board;
    board.SetupPosition(std::string("startpos moves ") + opening);
    std::string game = opening;
    long long left[2] = {clock.start, clock.start};
    const std::string inc = std::to_string(clock.increment);
    for (int ply = 0; ply < maxPlies && HasLegalMove(board); ++ply, ++moves) {
      const int side = board.Side;
      engine.Send("position startpos moves " + game);
      engine.Send("go wtime " + std::to_string(left[0]) + " btime " + std::to_string(left[1]) + " winc " + inc +
                  " binc " + inc);
      const auto start = std::chrono::steady_clock::now();
      const auto line = engine.ReadUntil("bestmove", 10000);
      const long long spent =
          std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
      ASSERT_TRUE(line) << "no answer after " << game;
      // The pipe and a busy machine add a little latency the engine cannot
      // see; the move overhead it keeps covers that in an optimised build.
      ASSERT_LT(spent, left[side] + (CheckedBuild ? AnswerLatencyMs : 25)) << "lost on time after " << game;
      closest = std::min(closest, left[side] - spent);
      left[side] = std::max(left[side] - spent, 0LL) + clock.increment;
      const std::string move = line->substr(9, line->find(' ', 9) == std::string::npos ? std::string::npos
                                                                                       : line->find(' ', 9) - 9);
      ASSERT_TRUE(PlayMoveText(board, move)) << "illegal " << move << " after " << game;
      game += " " + move;
    }
  }
  EXPECT_GT(moves, 40);
  std::printf("self-play, Threads %d, %lld+%lld ms: %zu games, %d moves, all legal and in time; closest %lld ms left\n",
              threads, clock.start, clock.increment, std::size(openings), moves, closest);
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
}

}  // namespace

TEST(SelfPlay, GamesAtAFastClockStayLegalAndInTime) { PlaySelf(1, {3000, 50}, 120); }

// A bullet clock: the increment is too small for the usual slice, and
// the engine must still think and never overstep its clock.
TEST(SelfPlay, BulletGamesWithOneAndTwoThreadsStayLegalAndInTime) {
  PlaySelf(1, {1000, 10}, 100);
  PlaySelf(2, {1000, 10}, 100);
}

TEST(SelfPlay, BestAndPonderMovesAreLegalInVariedPositions) {
  EnsureEngineTables();
  EngineProcess engine;
  engine.Send("uci");
  ASSERT_TRUE(engine.ReadUntil("uciok"));
  const char* positions[] = {
      "startpos",
      "fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
      "fen 2q1rr1k/3bbnnp/p2p1pp1/2pPp3/PpP1P1P1/1P2BNNP/2BQ1PRK/7R b - - 0 1",
      "fen rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
      "fen 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
      "fen 4k3/1P6/8/8/8/8/6p1/4K3 w - - 0 1",
      "fen r3k2r/8/8/8/3pP3/8/8/R3K2R b KQkq e3 0 1",
  };
  for (const char* position : positions) {
    engine.Send(std::string("position ") + position);
    engine.Send("go movetime 250");  // a fixed time, so that a checked (slow) build answers too
    const auto line = engine.ReadUntil("bestmove", 30000);
    ASSERT_TRUE(line) << position;
    TProtocolBoard board;
    board.SetupPosition(position);
    const std::string rest = line->substr(9);
    const std::string best = rest.substr(0, rest.find(' '));
    ASSERT_TRUE(PlayMoveText(board, best)) << position << ": " << *line;
    const auto ponder = rest.find(" ponder ");
    if (ponder != std::string::npos) {
      EXPECT_TRUE(PlayMoveText(board, rest.substr(ponder + 8))) << position << ": " << *line;
    }
  }
  engine.Send("quit");
}

// A smoke test of whole games: the engine plays itself at a fast clock
// through UCI, as in a match. Every move must be legal and every answer must
// come within the time left on the mover's clock.
#include <gtest/gtest.h>

#include <chrono>

#include "protocol/protocol_board.h"
#include "support/engine_process.h"
#include "support/engine_tables.h"
#include "support/game_rules.h"


TEST(SelfPlay, GamesAtAFastClockStayLegalAndInTime) {
  EnsureEngineTables();
  EngineProcess engine;
  engine.Send("uci");
  ASSERT_TRUE(engine.ReadUntil("uciok"));
  const char* openings[] = {"e2e4 e7e5", "d2d4 g8f6 c2c4"};
  for (const char* opening : openings) {
    engine.Send("ucinewgame");
    engine.Send("isready");
    ASSERT_TRUE(engine.ReadUntil("readyok"));
    TProtocolBoard board;
    board.SetupPosition(std::string("startpos moves ") + opening);
    std::string moves = opening;
    long long clock[2] = {3000, 3000};  // milliseconds, plus 50 per move
    for (int ply = 0; ply < 120 && HasLegalMove(board); ++ply) {
      const int side = board.Side;
      engine.Send("position startpos moves " + moves);
      engine.Send("go wtime " + std::to_string(clock[0]) + " btime " + std::to_string(clock[1]) +
                  " winc 50 binc 50");
      const auto start = std::chrono::steady_clock::now();
      const auto line = engine.ReadUntil("bestmove", 10000);
      const long long spent =
          std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
      ASSERT_TRUE(line) << "no answer after " << moves;
      // The pipe and a busy machine add latency the engine cannot see.
      EXPECT_LT(spent, clock[side] + 150) << "time overrun after " << moves;
      clock[side] += 50 - spent;
      if (clock[side] < 50) clock[side] = 50;
      const std::string move = line->substr(9, line->find(' ', 9) == std::string::npos ? std::string::npos
                                                                                       : line->find(' ', 9) - 9);
      ASSERT_TRUE(PlayMoveText(board, move)) << "illegal " << move << " after " << moves;
      moves += " " + move;
    }
  }
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
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

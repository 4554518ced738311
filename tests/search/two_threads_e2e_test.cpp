// Two search threads through many short searches of every kind, as an
// interface analysing quickly would order them: each search answers once,
// soon, and with a legal move. A lost stop, a helper that never parks or a
// move taken from a stale share shows up here.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <iterator>
#include <string>

#include "protocol/protocol_board.h"
#include "support/build_speed.h"
#include "support/engine_session.h"
#include "support/engine_tables.h"
#include "support/game_rules.h"

namespace {

class TwoThreads : public EngineSession {
 protected:
  void SetUp() override {
    EngineSession::SetUp();
    EnsureEngineTables();
    Answer("setoption name Threads value 2");  // ignored on a one-processor machine
  }
};

// Middlegames, endgames, promotions, a mate in one, and roots with one to
// three moves (a single reply in a game is played without a search).
const char* const Positions[] = {
    "startpos moves e2e4 e7e5 g1f3 b8c6",
    "fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "fen 2q1rr1k/3bbnnp/p2p1pp1/2pPp3/PpP1P1P1/1P2BNNP/2BQ1PRK/7R b - - 0 1",
    "fen 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "fen 8/8/8/4k3/8/8/4PK2/8 b - - 0 1",
    "fen 4k3/1P6/8/8/8/8/6p1/4K3 w - - 0 1",
    "fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1",
    "fen 7k/8/8/8/8/8/r7/K7 w - - 0 1",
    "fen 7k/8/5K2/8/8/8/8/R7 w - - 0 1 moves a1a8",
    "fen 4k3/8/8/8/8/8/3q4/4K3 w - - 0 1",
};

struct Order {
  const char* go;
  bool stopAtOnce;  // "stop" follows the order at once
};

// Thirteen orders against ten positions: every pair comes up in 130 searches.
const Order Orders[] = {
    {"go depth 1", false},
    {"go depth 3", false},
    {"go depth 5", false},
    {"go movetime 1", false},
    {"go movetime 4", false},
    {"go movetime 10", false},
    {"go nodes 1", false},
    {"go nodes 800", false},
    {"go nodes 6000", false},
    // Clock games, where a stored root move is put first and may change hands.
    {"go wtime 1000 btime 1000 movestogo 30", false},
    {"go wtime 3000 btime 3000 winc 50 binc 50", false},
    {"go infinite", true},
    {"go movetime 100000", true},
};

}  // namespace

TEST_F(TwoThreads, HundredsOfShortSearchesEachAnswerOnceWithALegalMove) {
  // No hang: far beyond what any of these searches needs.
  const int answerBoundMs = CheckedBuild ? 60000 : 10000;
  // A checked build searches far slower: every pair of position and order once.
  const int searches = CheckedBuild ? 130 : 300;
  int stops = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < searches; ++i) {
    const std::string position = Positions[i % std::size(Positions)];
    const Order& order = Orders[i % std::size(Orders)];
    const std::string what = "search " + std::to_string(i) + ": " + position + ", " + order.go;
    engine.Send("position " + position);
    engine.Send(order.go);
    if (order.stopAtOnce) {
      engine.Send("stop");
      ++stops;
    }
    const auto line = BestMove(answerBoundMs);
    ASSERT_TRUE(line) << what;
    // Exactly one answer: nothing more comes before the engine is ready again.
    for (const std::string& after : Answer("isready")) {
      ASSERT_FALSE(after.starts_with("bestmove")) << what << ": a second answer " << after;
    }

    TProtocolBoard board;
    board.SetupPosition(position);
    ASSERT_TRUE(PlayMoveText(board, MoveOf(*line))) << what << ": " << *line;
    const auto ponder = line->find(" ponder ");
    if (ponder != std::string::npos) {
      EXPECT_TRUE(PlayMoveText(board, line->substr(ponder + 8))) << what << ": " << *line;
    }
  }
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  std::printf("two threads: %d searches (%d stopped at once), each answered once with a legal move, in %lld ms\n",
              searches, stops, static_cast<long long>(ms));
}

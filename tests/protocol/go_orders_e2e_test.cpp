// Every "go" a client library or a tournament manager sends ends with one
// legal "bestmove" within its limit: each word alone and in combination,
// node and mate limits, searchmoves, and clocks at their extremes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/protocol_board.h"
#include "support/build_speed.h"
#include "support/engine_tables.h"
#include "support/game_rules.h"
#include "support/engine_session.h"

namespace {

class GoOrders : public EngineSession {
 protected:
  // Sends the order in the position and returns its bestmove line, checked
  // legal; `lines` gets what came before it.
  std::string Answer(const std::string& position, const std::string& go, int timeoutMs, long long* ms = nullptr,
                     std::vector<std::string>* lines = nullptr) {
    engine.Send("position " + position);
    engine.Send(go);
    const auto line = BestMove(timeoutMs, ms, lines);
    EXPECT_TRUE(line) << go << " never answered";
    if (!line) return {};
    EnsureEngineTables();
    TProtocolBoard board;
    board.SetupPosition(position);
    EXPECT_TRUE(PlayMoveText(board, MoveOf(*line))) << go << ": " << *line;
    return *line;
  }
  // The last "info depth" line among `lines`.
  static std::string FinalInfo(const std::vector<std::string>& lines) {
    for (auto it = lines.rbegin(); it != lines.rend(); ++it)
      if (it->starts_with("info depth")) return *it;
    return {};
  }
  // The number after `word` in an info line, or -1.
  static long long Field(const std::string& line, const std::string& word) {
    const auto at = line.find(" " + word + " ");
    return at == std::string::npos ? -1 : std::stoll(line.substr(at + word.size() + 2));
  }
  // No second answer: the next thing the engine says is "readyok".
  void ExpectNoSecondAnswer(const std::string& go) {
    engine.Send("isready");
    std::vector<std::string> seen;
    ASSERT_TRUE(engine.ReadUntil("readyok", 5000, &seen)) << go;
    for (const std::string& line : seen) EXPECT_FALSE(line.starts_with("bestmove")) << go << ": " << line;
  }
};

constexpr const char* Middlegame = "fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

TEST_F(GoOrders, EveryFormAndCombinationAnswersOnceWithinItsLimit) {
  struct Case {
    const char* go;
    long long maxMs;  // the time the order allows; 0: bounded by depth or nodes
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
  };
  for (const Case& c : cases) {
    long long ms = 0;
    Answer(Middlegame, c.go, 120000, &ms);
    if (c.maxMs > 0) {
      EXPECT_LT(ms, c.maxMs + AnswerLatencyMs) << c.go;
    }
    ExpectNoSecondAnswer(c.go);
  }
}

TEST_F(GoOrders, UnlimitedOrdersWaitForStopAndLimitsOnlyEndTheThinking) {
  for (const char* go : {"go", "go infinite depth 2", "go infinite nodes 1000", "go searchmoves e2e4"}) {
    engine.Send("position startpos");
    engine.Send(go);
    EXPECT_FALSE(engine.ReadUntil("bestmove", 400)) << go;
    engine.Send("stop");
    const auto line = BestMove(3000);
    ASSERT_TRUE(line) << go;
    EXPECT_NE(*line, "bestmove 0000") << go;
    ExpectNoSecondAnswer(go);
  }
}

TEST_F(GoOrders, NodeLimitStopsWithinOnePercentAndRepeatsWithFreshTables) {
  std::string first;
  long long firstNodes = 0;
  for (int run = 0; run < 2; ++run) {
    engine.Send("ucinewgame");
    std::vector<std::string> lines;
    const std::string answer = Answer(Middlegame, "go nodes 20000", 20000, nullptr, &lines);
    const long long nodes = Field(FinalInfo(lines), "nodes");
    EXPECT_GE(nodes, 20000);
    EXPECT_LE(nodes, 20200);
    if (run == 0) {
      first = answer;
      firstNodes = nodes;
    } else {
      EXPECT_EQ(answer, first);
      EXPECT_EQ(nodes, firstNodes);
    }
  }
}

TEST_F(GoOrders, MateOrdersAnswerTheMatingMoveWithAMateScore) {
  struct Case {
    const char *position, *go, *move, *score;
  };
  const Case cases[] = {
      {"fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", "go mate 1", "d1d8", "score mate 1"},
      {"fen r2qkb1r/pp2nppp/3p4/2pNN1B1/2BnP3/3P4/PPP2PPP/R2bK2R w KQkq - 1 1", "go mate 2", "d5f6", "score mate 2"},
      {"fen r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1", "go mate 3", "f8c5", "score mate 3"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines;
    const std::string answer = Answer(c.position, c.go, 30000, nullptr, &lines);
    EXPECT_EQ(MoveOf(answer), c.move) << c.go;
    EXPECT_NE(FinalInfo(lines).find(c.score), std::string::npos) << c.go << ": " << FinalInfo(lines);
  }
  // Without a mate the order still ends, at its depth.
  std::vector<std::string> lines;
  Answer("startpos", "go mate 2", 30000, nullptr, &lines);
  EXPECT_LE(Field(FinalInfo(lines), "depth"), 5);
}

TEST_F(GoOrders, SearchmovesKeepsTheRootToTheLegalMovesGiven) {
  EXPECT_EQ(MoveOf(Answer("startpos moves e2e4", "go depth 6 searchmoves a7a6", 30000)), "a7a6");
  std::vector<std::string> lines;
  const std::string answer = Answer("startpos moves e2e4", "go depth 4 searchmoves h7h5 e2e4 g8h6", 30000, nullptr,
                                    &lines);
  EXPECT_TRUE(MoveOf(answer) == "h7h5" || MoveOf(answer) == "g8h6") << answer;
  int notes = 0;
  for (const std::string& line : lines) notes += line == "info string go searchmoves: not legal here, ignored: e2e4";
  EXPECT_EQ(notes, 1);
  // None legal: every move is searched.
  EXPECT_NE(Answer("startpos", "go depth 3 searchmoves e7e5", 30000), "");
}

TEST_F(GoOrders, ABulletClockStillSearchesAndKeepsTheQueen) {
  // The queen on d4 is attacked by the knight; a move played without a
  // search loses it.
  std::vector<std::string> lines;
  long long ms = 0;
  const std::string answer = Answer("fen 4k3/8/3p4/4p3/3Q4/1n6/P7/4K3 w - - 0 1",
                                    "go wtime 1000 btime 1000 winc 10 binc 10", 5000, &ms, &lines);
  EXPECT_LT(ms, 1000 + (CheckedBuild ? AnswerLatencyMs : 0));
  if (CheckedBuild) return;  // too slow to see four plies in 20 ms
  EXPECT_TRUE(MoveOf(answer).starts_with("d4")) << answer;
  EXPECT_GE(Field(FinalInfo(lines), "depth"), 4) << FinalInfo(lines);
}

}  // namespace

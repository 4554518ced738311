// Every "go" a client library or a tournament manager sends ends with one
// legal "bestmove" within its limit: each word alone and in combination,
// node and mate limits, searchmoves, clocks at their extremes, and FEN
// set-ups at the limits of what a game can reach.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/build_speed.h"
#include "support/engine_session.h"
#include "support/engine_tables.h"
#include "support/game_rules.h"

namespace {

using Lines = std::vector<std::string>;

class GoOrders : public EngineSession {
 protected:
  // Sends the order in the position and returns its bestmove line, checked
  // legal; `lines` gets what came before it. An unlimited order must not be
  // answered before "stop", sent after 400 ms.
  std::string Answer(const std::string& position, const std::string& go, int timeoutMs, long long* ms = nullptr,
                     Lines* lines = nullptr, bool unlimited = false) {
    engine.Send("position " + position);
    engine.Send(go);
    if (unlimited) {
      EXPECT_FALSE(engine.ReadUntil("bestmove", 400)) << go;
      engine.Send("stop");
    }
    const auto line = BestMove(timeoutMs, ms, lines);
    EXPECT_TRUE(line) << position << ", " << go << " never answered";
    if (!line) return {};
    EnsureEngineTables();
    TProtocolBoard board;
    board.SetupPosition(position);
    EXPECT_TRUE(PlayMoveText(board, MoveOf(*line))) << position << ", " << go << ": " << *line;
    return *line;
  }
  // The last "info depth" line among `lines`.
  static std::string FinalInfo(const Lines& lines) {
    for (auto it = lines.rbegin(); it != lines.rend(); ++it)
      if (it->starts_with("info depth")) return *it;
    return {};
  }
  // The number after `word` in an info line, or -1.
  static long long Field(const std::string& line, const std::string& word) {
    const auto at = line.find(" " + word + " ");
    return at == std::string::npos ? -1 : std::stoll(line.substr(at + word.size() + 2));
  }
  // "cp N" or "mate N" of an info line.
  static std::string Score(const std::string& line) {
    const std::size_t kind = line.find(" score ") + 7, value = line.find(' ', kind) + 1;
    return line.find(" score ") == std::string::npos ? "(no score)" : line.substr(kind, line.find(' ', value) - kind);
  }
  // No second answer: the next thing the engine says is "readyok".
  void ExpectNoSecondAnswer(const std::string& go) {
    engine.Send("isready");
    Lines seen;
    ASSERT_TRUE(engine.ReadUntil("readyok", 5000, &seen)) << go;
    for (const std::string& line : seen) EXPECT_FALSE(line.starts_with("bestmove")) << go << ": " << line;
  }
};

constexpr const char* Middlegame = "fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

// maxMs 0: bounded by depth or nodes; -1: unlimited, answered only after "stop".
TEST_F(GoOrders, EveryFormAndCombinationAnswersOnceWithinItsLimit) {
  struct Case { const char* go; long long maxMs; };
  const Case cases[] = {
      {"go depth 4", 0}, {"go movetime 300", 300}, {"go nodes 20000", 0}, {"go mate 2", 0},
      {"go depth 30 movetime 500", 500}, {"go movetime 400 nodes 1000000000", 400},
      {"go nodes 3000 movetime 20000", 0}, {"go wtime 5000 btime 5000 depth 3", 5000},
      {"go btime 3000 wtime 3000 nodes 5000 winc 0", 3000}, {"go movestogo 0 wtime 2000 btime 2000", 2000},
      {"go wtime 3000 btime 3000 winc 2147483647 binc 2147483647", 3000}, {"go wtime 1 btime 1", 1},
      {"go wtime -200 btime 5000", 1}, {"go movetime 0", 1}, {"go depth 0", 1},
      {"go searchmoves e1g1 a2a3 depth 4", 0}, {"go depth 4 frobnicate 12", 0}, {"go depth x movetime 300", 300},
      {"go", -1}, {"go infinite depth 2", -1}, {"go infinite nodes 1000", -1}, {"go searchmoves e1g1 a2a3", -1},
  };
  for (const Case& c : cases) {
    long long ms = 0;
    Answer(Middlegame, c.go, 120000, &ms, nullptr, c.maxMs < 0);
    if (c.maxMs > 0) { EXPECT_LT(ms, c.maxMs + AnswerLatencyMs) << c.go; }
    ExpectNoSecondAnswer(c.go);
  }
}

TEST_F(GoOrders, NodeLimitStopsWithinOnePercentAndRepeatsWithFreshTables) {
  std::string answers[2];
  long long nodes[2];
  for (int run = 0; run < 2; ++run) {
    engine.Send("ucinewgame");
    Lines lines;
    answers[run] = Answer(Middlegame, "go nodes 20000", 20000, nullptr, &lines);
    nodes[run] = Field(FinalInfo(lines), "nodes");
    EXPECT_TRUE(nodes[run] >= 20000 && nodes[run] <= 20200) << nodes[run];
  }
  EXPECT_EQ(answers[1], answers[0]);
  EXPECT_EQ(nodes[1], nodes[0]);
}

// Mate orders answer the mating move with its mate score; searchmoves keeps
// the root to the legal moves given (score null: any).
TEST_F(GoOrders, MateAndSearchmovesOrdersDecideTheMove) {
  struct Case { const char *position, *go, *move, *score; };
  const Case cases[] = {
      {"fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", "go mate 1", "d1d8", "mate 1"},
      {"fen r2qkb1r/pp2nppp/3p4/2pNN1B1/2BnP3/3P4/PPP2PPP/R2bK2R w KQkq - 1 1", "go mate 2", "d5f6", "mate 2"},
      {"fen r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1", "go mate 3", "f8c5", "mate 3"},
      {"startpos moves e2e4", "go depth 6 searchmoves a7a6", "a7a6", nullptr},
      {"startpos moves e2e4", "go depth 4 searchmoves g8h6 e2e4", "g8h6", nullptr},
  };
  for (const Case& c : cases) {
    Lines lines;
    EXPECT_EQ(MoveOf(Answer(c.position, c.go, 30000, nullptr, &lines)), c.move) << c.go;
    if (c.score) { EXPECT_EQ(Score(FinalInfo(lines)), c.score) << c.go << ": " << FinalInfo(lines); }
  }
  Lines lines;  // without a mate the order still ends, at its depth
  Answer("startpos", "go mate 2", 30000, nullptr, &lines);
  EXPECT_LE(Field(FinalInfo(lines), "depth"), 5);
}

TEST_F(GoOrders, ABulletClockStillSearchesAndKeepsTheQueen) {
  // The knight attacks the queen on d4; a move played without a search loses it.
  Lines lines;
  long long ms = 0;
  const std::string answer = Answer("fen 4k3/8/3p4/4p3/3Q4/1n6/P7/4K3 w - - 0 1",
                                    "go wtime 1000 btime 1000 winc 10 binc 10", 5000, &ms, &lines);
  EXPECT_LT(ms, 1000 + (CheckedBuild ? AnswerLatencyMs : 0));
  if (CheckedBuild) return;  // too slow to see four plies in 20 ms
  EXPECT_TRUE(MoveOf(answer).starts_with("d4")) << answer;
  EXPECT_GE(Field(FinalInfo(lines), "depth"), 4) << FinalInfo(lines);
}

// A depth order among nine queens runs a million nodes, which a sanitized
// build takes far longer over.
class FenLimits : public GoOrders {
 protected:
  const int timeoutMs = CheckedBuild ? 120000 : 10000;
};

// King and queen against king and pawn: mate with a fresh clock. With 99
// half-moves gone and no capture or pawn move to reset them, every move
// reaches the fiftieth move and the draw. A clock far beyond any game's
// leaves the repetition test nothing before the first move to look at.
TEST_F(FenLimits, HalfMoveClockDecidesTheScore) {
  for (const auto& [fen, score] : {std::pair{"7k/8/8/p7/8/8/8/3QK3 w - - 99 80", "cp 0"},
                                   std::pair{"7k/8/8/p7/8/8/8/3QK3 w - - 0 80", "mate 8"},
                                   std::pair{"7k/8/8/p7/8/8/8/3QK3 w - - 1000 600", "cp 0"}}) {
    Lines lines;
    Answer(std::string("fen ") + fen, "go depth 5", timeoutMs, nullptr, &lines);
    EXPECT_EQ(Score(FinalInfo(lines)), score) << fen;
  }
}

// The most material a side can have: sixteen men, nine queens among them;
// 218 moves to choose from; a king in check among promoted pieces; a clock
// at its limit. Each gets a legal move for a time order, and those the
// search can take in depth for depth orders too.
TEST_F(FenLimits, EdgePositionsGetALegalMove) {
  struct Case { const char* fen; bool depthOrders; };
  const Case cases[] = {
      {"R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - - 0 1", true},
      {"rnb1kbnr/pppp1ppp/8/4Q3/8/8/QQQQ1QQQ/RNB1KBNR b - - 0 1", true},
      {"4k3/8/8/8/8/8/8/4K3 w - - 1000 900", true},
      {"rnbqkbnr/qqqqqqqq/8/8/8/8/QQQQQQQQ/RNBQKBNR w - - 0 1", false},
      {"kqqqqqqq/qqrrbbnn/8/8/8/8/QQRRBBNN/KQQQQQQQ b - - 0 1", false},
  };
  for (const Case& c : cases)
    for (const char* go : {"go movetime 500", "go depth 1", "go depth 3"})
      if (c.depthOrders || go[3] != 'd') Answer(std::string("fen ") + c.fen, go, timeoutMs);
}

}  // namespace

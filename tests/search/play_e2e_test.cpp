// The real engine over UCI, as an interface drives it: every "go" answers
// once, with a legal move, in the time it was given, and reports the answer
// in an "info depth" line with mates in moves and a playable line.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <regex>
#include <sstream>

#include "protocol/protocol_board.h"
#include "support/build_speed.h"
#include "support/engine_session.h"
#include "support/engine_tables.h"
#include "support/game_rules.h"

namespace {

// Every move of the line is legal in turn from the position; a "bestmove"
// line is read as its move and its ponder move.
void ExpectPlayable(const std::string& position, const std::string& line, const std::string& what) {
  TProtocolBoard board;
  board.SetupPosition(position);
  std::istringstream words(line);
  for (std::string move; words >> move;)
    if (move != "bestmove" && move != "ponder" && !PlayMoveText(board, move)) {
      ADD_FAILURE() << what << ": illegal " << move << " in " << line << " from " << position;
      return;
    }
}

class Session : public EngineSession {
 protected:
  void SetUp() override {
    EngineSession::SetUp();
    EnsureEngineTables();
  }
};
class Play : public Session {};
class InfoLines : public Session {};
class TwoThreads : public Session {};
class SelfPlay : public Session {};

}  // namespace

// One order of each kind in one session. Each is held for `holdMs` with no
// answer, then `then` is sent (an "isready" must be answered at once), and
// the one answer must come within `maxMs`, legal in the position.
TEST_F(Play, EveryKindOfOrderAnswersOnceLegallyAndInTime) {
  const char* const Mate = "fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1";
  struct Step { const char *position, *go; std::vector<const char*> then; int holdMs; long long maxMs; const char* best; };
  const Step steps[] = {
      {"startpos", "go movetime 300", {}, 250, 2500, nullptr},
      // 200 ms left with a 1 s increment: the slice formula alone would spend
      // far more than the clock holds. The bound allows for the pipe's latency.
      {"startpos moves e2e4", "go wtime 200 btime 200 winc 1000 binc 1000", {}, 0, 500, nullptr},
      {"startpos moves e2e4 c7c5", "go wtime 6000 btime 6000 movestogo 20", {}, 0, 1500, nullptr},  // 300 ms slices
      {"startpos", "go depth -5", {}, 0, 2000, nullptr},  // below one: answers at once
      {"startpos", "go nodes 1000", {}, 0, 2000, nullptr},
      {Mate, "go mate 1", {}, 0, 2000, "a1a8"},
      // Infinite: answered only when stopped; the search still answers
      // "isready", and a new position waits for the next search.
      {"startpos", "go infinite", {"isready", "position fen 8/8/8/8/8/8/8/K6k w - - 0 1", "stop"}, 300, 3000, nullptr},
      {Mate, "go infinite", {"stop"}, 500, 2000, "a1a8"},  // a mate found at once is held too
      {"startpos", "go infinite", {"ucinewgame"}, 200, 3000, nullptr},  // a new game stops the search
      // After "ponderhit" the search plays on the clock; on a mate in one the
      // held answer comes at once. "stop" is a ponder miss.
      {"startpos moves e2e4", "go ponder wtime 2000 btime 2000", {"ponderhit"}, 500, 2000, nullptr},
      {Mate, "go ponder wtime 5000 btime 5000", {"ponderhit"}, 500, 1000, "a1a8"},
      {"startpos moves e2e4", "go ponder wtime 5000 btime 5000", {"stop"}, 300, 2000, nullptr},
  };
  for (const Step& s : steps) {
    engine.Send(std::string("position ") + s.position);
    engine.Send(s.go);
    EXPECT_FALSE(s.holdMs && engine.ReadUntil("bestmove", s.holdMs)) << s.go;
    for (const std::string line : s.then) {
      engine.Send(line);
      EXPECT_TRUE(line != "isready" || engine.ReadUntil("readyok", 1000)) << s.go;
    }
    long long ms = 0;
    const auto answer = BestMove(5000, &ms);
    ASSERT_TRUE(answer) << s.go;
    EXPECT_LT(ms, s.maxMs) << s.go;
    ASSERT_TRUE(answer->starts_with("bestmove ")) << *answer;
    ExpectPlayable(s.position, *answer, s.go);
    EXPECT_EQ(MoveOf(*answer), s.best ? s.best : MoveOf(*answer)) << s.go;
    for (const std::string& after : Answer("isready")) EXPECT_FALSE(after.starts_with("bestmove")) << s.go << after;
  }
  engine.Send("go infinite");
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(3000), 0);
}

// "info depth D seldepth S score (cp S|mate N) time T nodes N nps X hashfull H tbhits B pv m1 m2 ..."
const std::regex DepthLine(
    "info depth (\\d+) seldepth \\d+ score (cp -?\\d+|mate -?\\d+) time \\d+ nodes \\d+ nps \\d+ hashfull (\\d+) "
    "tbhits \\d+ pv ((\\S+).*)");

// Every "info depth" line is complete and playable, and the answer's own
// line, the last, comes whatever the depth, with mates counted in moves.
// Anything else printed is an "info" line too, or an interface would
// stumble on it.
TEST_F(InfoLines, EveryLineIsCompleteAndTheAnswersLineCountsMatesInMoves) {
  struct Case {
    const char *position, *go, *score, *best;  // null: any will do
    int maxDepth;  // the most the answer's line may report; 0: the root has no move
    const char* threads = nullptr;
  };
  const char* const Middlegame = "startpos moves e2e4 e7e5 g1f3 b8c6 f1b5 a7a6";
  const Case cases[] = {
      {"fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", "go depth 9", "mate 1", "a1a8", 6},
      {"fen kbK5/pp6/1P6/8/8/8/8/R7 w - - 0 1", "go depth 9", "mate 2", "a1a6", 9},
      {"fen r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1", "go depth 9", "mate 3", "f8c5", 6},
      // The losing side of the last two.
      {"fen kbK5/pp6/1P6/8/8/8/8/R7 w - - 0 1 moves a1a6", "go depth 4", "mate -1", "b7a6", 4},
      {"fen r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1 moves f8c5", "go depth 4", "mate -2",
       "d4c5", 4},
      // A single legal reply on a clock is played after a short search, and
      // reported with its score.
      {"fen 2r3k1/5ppp/8/8/8/8/3R1PPP/3Q2K1 w - - 0 1 moves d2d8", "go wtime 60000 btime 60000", "mate -1", "c8d8", 5},
      // No iteration at all: the move picked after the search is the one reported.
      {"startpos", "go depth 0", "cp 0", nullptr, 1},
      // Mated or stalemated: said before the null move.
      {"fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "go depth 5", "mate 0", "0000", 0},
      {"fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "go depth 5", "cp 0", "0000", 0},
      // A second of search fills some of the table; 3 threads are ignored
      // below three processors.
      {Middlegame, "go movetime 1000", nullptr, nullptr, 99, "1"},
      {Middlegame, "go movetime 1000", nullptr, nullptr, 99, "2"},
      {Middlegame, "go movetime 1000", nullptr, nullptr, 99, "3"},
  };
  for (const Case& c : cases) {
    const std::string what = std::string(c.position) + ", " + c.go;
    if (c.threads) Answer(std::string("setoption name Threads value ") + c.threads);
    engine.Send(std::string("position ") + c.position);
    engine.Send(c.go);
    std::vector<std::string> seen, lines;
    const auto answer = BestMove(30000, nullptr, &seen);
    ASSERT_TRUE(answer && answer->starts_with("bestmove ")) << what;
    for (const std::string& line : seen) {
      if (line.starts_with("info depth")) lines.push_back(line);
      EXPECT_TRUE(line.starts_with("info ") || &line == &seen.back()) << what << ": " << line;
    }
    EXPECT_EQ(MoveOf(*answer), c.best ? c.best : MoveOf(*answer)) << what;
    if (c.maxDepth == 0) {
      EXPECT_EQ(lines, std::vector<std::string>{std::string("info depth 0 score ") + c.score}) << what;
      continue;
    }
    ASSERT_FALSE(lines.empty()) << what;
    std::smatch last;
    for (const std::string& line : lines) {
      ASSERT_TRUE(std::regex_match(line, last, DepthLine)) << line;
      EXPECT_LE(std::stoi(last[3]), 1000) << line;
      ExpectPlayable(c.position, last[4], line);
    }
    EXPECT_EQ(last[2], c.score ? c.score : last.str(2)) << lines.back();
    EXPECT_GE(std::stoi(last[1]), 1) << lines.back();
    EXPECT_LE(std::stoi(last[1]), c.maxDepth) << lines.back();
    EXPECT_EQ(last[5], MoveOf(*answer)) << lines.back();
    EXPECT_TRUE(!c.threads || std::stoi(last[3]) > 0) << lines.back();
  }
}

namespace {

// Middlegames, endgames, promotions, castling and en passant, a mate in one,
// and roots with one to three moves (a single reply in a game is played
// without a search).
const char* const Positions[] = {
    "startpos moves e2e4 e7e5 g1f3 b8c6",
    "fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "fen 2q1rr1k/3bbnnp/p2p1pp1/2pPp3/PpP1P1P1/1P2BNNP/2BQ1PRK/7R b - - 0 1",
    "fen rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "fen r3k2r/8/8/8/3pP3/8/8/R3K2R b KQkq e3 0 1",
    "fen 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "fen 8/8/8/4k3/8/8/4PK2/8 b - - 0 1",
    "fen 4k3/1P6/8/8/8/8/6p1/4K3 w - - 0 1",
    "fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1",
    "fen 7k/8/8/8/8/8/r7/K7 w - - 0 1",
    "fen 7k/8/5K2/8/8/8/8/R7 w - - 0 1 moves a1a8",
    "fen 4k3/8/8/8/8/8/3q4/4K3 w - - 0 1",
};

// Thirteen orders against twelve positions: every pair comes up in 156
// searches. Clock games put a stored root move first, which may change hands.
const std::pair<const char*, bool> Orders[] = {  // the order, and whether "stop" follows it at once
    {"go depth 1", false}, {"go depth 3", false}, {"go depth 5", false}, {"go movetime 1", false},
    {"go movetime 10", false}, {"go nodes 1", false}, {"go nodes 800", false}, {"go nodes 6000", false},
    {"go wtime 1000 btime 1000 movestogo 30", false}, {"go wtime 3000 btime 3000 winc 50 binc 50", false},
    {"go infinite", true}, {"go movetime 100000", true}, {"go ponder wtime 4000 btime 4000", true},
};

}  // namespace

// A lost stop, a helper that never parks or a move taken from a stale share
// shows up here.
TEST_F(TwoThreads, HundredsOfShortSearchesEachAnswerOnceWithALegalMove) {
  const int answerBoundMs = CheckedBuild ? 60000 : 10000;  // no hang: far beyond what any search needs
  const int searches = CheckedBuild ? 156 : 300;  // a checked build searches far slower
  Answer("setoption name Threads value 2");  // ignored on a one-processor machine
  for (int i = 0; i < searches; ++i) {
    const std::string position = Positions[i % std::size(Positions)];
    const auto& [go, stopAtOnce] = Orders[i % std::size(Orders)];
    const std::string what = "search " + std::to_string(i) + ": " + position + ", " + go;
    engine.Send("position " + position);
    engine.Send(go);
    if (stopAtOnce) engine.Send("stop");
    const auto line = BestMove(answerBoundMs);
    ASSERT_TRUE(line) << what;
    // Exactly one answer: nothing more comes before the engine is ready again.
    for (const std::string& after : Answer("isready"))
      ASSERT_FALSE(after.starts_with("bestmove")) << what << ": a second answer " << after;
    ASSERT_TRUE(line->starts_with("bestmove ")) << *line;
    ExpectPlayable(position, *line, what);
  }
}

// The engine plays itself from each opening as a tournament manager runs a
// match: the mover's clock runs from "go" to "bestmove", then gains the
// increment. Every move must be legal and come in time; bullet clocks have
// an increment too small for the usual slice.
TEST_F(SelfPlay, GamesAtFastAndBulletClocksStayLegalAndInTime) {
  struct Case { int threads; long long start, increment; int maxPlies; };  // milliseconds
  for (const Case& c : {Case{1, 3000, 50, 120}, {1, 1000, 10, 100}, {2, 1000, 10, 100}}) {
    Answer("setoption name Threads value " + std::to_string(c.threads));
    int moves = 0;
    for (const char* opening : {"e2e4 e7e5", "d2d4 g8f6 c2c4"}) {
      Answer("ucinewgame");
      TProtocolBoard board;
      board.SetupPosition(std::string("startpos moves ") + opening);
      std::string game = opening;
      long long left[2] = {c.start, c.start};
      const std::string inc = std::to_string(c.increment);
      for (int ply = 0; ply < c.maxPlies && HasLegalMove(board); ++ply, ++moves) {
        const int side = board.Side;
        engine.Send("position startpos moves " + game);
        engine.Send("go wtime " + std::to_string(left[0]) + " btime " + std::to_string(left[1]) + " winc " + inc +
                    " binc " + inc);
        long long spent = 0;
        const auto line = BestMove(10000, &spent);
        ASSERT_TRUE(line) << "no answer after " << game;
        // The pipe and a busy machine add a little latency the engine cannot
        // see; the move overhead it keeps covers that in an optimised build.
        ASSERT_LT(spent, left[side] + (CheckedBuild ? AnswerLatencyMs : 25)) << "lost on time after " << game;
        left[side] = std::max(left[side] - spent, 0LL) + c.increment;
        const std::string move = MoveOf(*line);
        ASSERT_TRUE(PlayMoveText(board, move)) << "illegal " << move << " after " << game;
        game += " " + move;
      }
    }
    EXPECT_GT(moves, 40);
  }
}

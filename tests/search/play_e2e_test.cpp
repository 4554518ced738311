// The real engine over UCI, as an interface drives it: every "go" answers
// once, with a legal move, in the time it was given, and reports the answer
// in an "info depth" line with mates in moves and a playable line.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <regex>
#include <sstream>

#include "protocol/protocol_board.h"
#include "support/build_speed.h"
#include "support/engine_session.h"
#include "support/engine_tables.h"
#include "support/game_rules.h"

namespace {

// The best move of a bestmove line, and its ponder move if any, are legal in
// turn from the position.
void ExpectLegalAnswer(const std::string& position, const std::string& line, const std::string& what) {
  TProtocolBoard board;
  board.SetupPosition(position);
  ASSERT_TRUE(line.starts_with("bestmove ")) << what << ": " << line;
  const std::string rest = line.substr(9);
  ASSERT_TRUE(PlayMoveText(board, rest.substr(0, rest.find(' ')))) << what << ": " << line;
  const auto ponder = rest.find(" ponder ");
  if (ponder != std::string::npos) {
    EXPECT_TRUE(PlayMoveText(board, rest.substr(ponder + 8))) << what << ": " << line;
  }
}

class Play : public EngineSession {};

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
    ExpectLegalAnswer(s.position, *answer, s.go);
    EXPECT_EQ(MoveOf(*answer), s.best ? s.best : MoveOf(*answer)) << s.go;
    for (const std::string& after : Answer("isready")) EXPECT_FALSE(after.starts_with("bestmove")) << s.go << after;
  }
  engine.Send("go infinite");
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(3000), 0);
}

namespace {

// "info depth D score (cp S|mate N) time T nodes N nps X hashfull H pv m1 m2 ..."
const std::regex DepthLinePattern(
    "info depth (\\d+) score (cp -?\\d+|mate -?\\d+) time \\d+ nodes \\d+ nps \\d+ hashfull (\\d+) pv((?: \\S+)+)");

struct TDepthLine { int depth = 0; std::string score; int hashfull = 0; std::vector<std::string> pv; };

bool ParseDepthLine(const std::string& text, TDepthLine& line) {
  std::smatch match;
  if (!std::regex_match(text, match, DepthLinePattern)) return false;
  line = {std::stoi(match[1]), match[2], std::stoi(match[3]), {}};
  std::istringstream moves(match[4]);
  for (std::string move; moves >> move;) line.pv.push_back(move);
  return true;
}

class InfoLines : public EngineSession {
 protected:
  void SetUp() override {
    EngineSession::SetUp();
    EnsureEngineTables();
  }
  // Runs the search; `lines` gets the "info depth" lines, the result is the
  // bestmove line (empty on a timeout). Anything else the search prints must
  // be an "info" line too, or an interface would stumble on it.
  std::string Search(const std::string& position, const std::string& go, std::vector<std::string>& lines) {
    engine.Send("position " + position);
    engine.Send(go);
    std::vector<std::string> seen;
    const auto answer = BestMove(30000, nullptr, &seen);
    lines.clear();
    for (const std::string& line : seen) {
      if (line.starts_with("info depth")) {
        lines.push_back(line);
      } else if (answer && &line != &seen.back()) {
        EXPECT_TRUE(line.starts_with("info ")) << go << ": " << line;
      }
    }
    return answer.value_or("");
  }
  // Every move of the line is legal in turn from the position.
  static void ExpectPlayable(const std::string& position, const std::vector<std::string>& pv, const std::string& text) {
    TProtocolBoard board;
    board.SetupPosition(position);
    for (const std::string& move : pv)
      if (!PlayMoveText(board, move)) {
        ADD_FAILURE() << "illegal " << move << " in " << text << " from " << position;
        return;
      }
  }
};

}  // namespace

TEST_F(InfoLines, TheAnswerIsReportedWithAMateInMovesWhateverTheDepth) {
  struct Case {
    const char *position, *go, *score, *best;  // best: null when any move will do
    int maxDepth;  // the depth the answer's line may report at most
  };
  const Case cases[] = {
      {"fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", "go depth 9", "mate 1", "a1a8", 6},
      {"fen kbK5/pp6/1P6/8/8/8/8/R7 w - - 0 1", "go depth 9", "mate 2", "a1a6", 9},
      {"fen r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1", "go depth 9", "mate 3", "f8c5", 6},
      // The losing side of the last two.
      {"fen kbK5/pp6/1P6/8/8/8/8/R7 w - - 0 1 moves a1a6", "go depth 4", "mate -1", "b7a6", 4},
      {"fen r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1 moves f8c5", "go depth 4", "mate -2",
       "d4c5", 4},
      // A single legal reply is played without an iteration, yet reported.
      {"fen 7k/8/5K2/8/8/8/8/R7 w - - 0 1 moves a1a8", "go depth 9", "cp 0", "h8h7", 1},
      // No iteration at all: the move picked after the search is the one reported.
      {"startpos", "go depth 0", "cp 0", nullptr, 1},
      // No move at all: mated or stalemated, said before the null move.
      {"fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "go depth 5", "mate 0", "0000", 0},
      {"fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "go depth 5", "cp 0", "0000", 0},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines;
    const std::string answer = Search(c.position, c.go, lines);
    ASSERT_TRUE(answer.starts_with("bestmove ")) << c.position;
    EXPECT_EQ(MoveOf(answer), c.best ? c.best : MoveOf(answer)) << c.position;
    if (c.maxDepth == 0) {
      EXPECT_EQ(lines, std::vector<std::string>{std::string("info depth 0 score ") + c.score}) << c.position;
      continue;
    }
    ASSERT_FALSE(lines.empty()) << c.position;
    TDepthLine last;
    ASSERT_TRUE(ParseDepthLine(lines.back(), last)) << lines.back();
    EXPECT_EQ(last.score, c.score) << lines.back();
    EXPECT_GE(last.depth, 1) << lines.back();
    EXPECT_LE(last.depth, c.maxDepth) << lines.back();
    EXPECT_EQ(last.pv.front(), MoveOf(answer)) << lines.back();
    ExpectPlayable(c.position, last.pv, lines.back());
  }
}

TEST_F(InfoLines, EveryDepthLineOfAMiddlegameSearchIsCompleteAndPlayable) {
  const std::string position = "startpos moves e2e4 e7e5 g1f3 b8c6 f1b5 a7a6";
  for (const char* threads : {"1", "2", "3"}) {  // 3 is ignored below three processors
    engine.Send(std::string("setoption name Threads value ") + threads);
    engine.Send("isready");
    ASSERT_TRUE(engine.ReadUntil("readyok", 30000));  // new tables and helpers: slow under sanitizers
    std::vector<std::string> lines;
    const std::string answer = Search(position, "go movetime 1000", lines);
    ASSERT_FALSE(answer.empty()) << threads;
    ASSERT_FALSE(lines.empty()) << threads;
    for (const std::string& text : lines) {
      TDepthLine line;
      ASSERT_TRUE(ParseDepthLine(text, line)) << text;
      EXPECT_LE(line.hashfull, 1000) << text;
      ExpectPlayable(position, line.pv, text);
    }
    TDepthLine last;
    ParseDepthLine(lines.back(), last);
    EXPECT_EQ(last.pv.front(), MoveOf(answer)) << threads << ": " << lines.back();
    EXPECT_GT(last.hashfull, 0) << threads << ": " << lines.back();  // a second of search fills some
  }
}

namespace {

class TwoThreads : public EngineSession {
 protected:
  void SetUp() override {
    EngineSession::SetUp();
    EnsureEngineTables();
    Answer("setoption name Threads value 2");  // ignored on a one-processor machine
  }
};

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
  const auto start = std::chrono::steady_clock::now();
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
    ExpectLegalAnswer(position, *line, what);
  }
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  std::printf("two threads: %d searches, each answered once with a legal move, in %lld ms\n", searches,
              static_cast<long long>(ms));
}

namespace {

class SelfPlay : public EngineSession {};

}  // namespace

// The engine plays itself from each opening as a tournament manager runs a
// match: the mover's clock runs from "go" to "bestmove", then gains the
// increment. Every move must be legal and come in time; bullet clocks have
// an increment too small for the usual slice.
TEST_F(SelfPlay, GamesAtFastAndBulletClocksStayLegalAndInTime) {
  EnsureEngineTables();
  struct Case {
    int threads;  // more than one is ignored on one processor
    long long start, increment;  // milliseconds
    int maxPlies;
  };
  for (const Case& c : {Case{1, 3000, 50, 120}, {1, 1000, 10, 100}, {2, 1000, 10, 100}}) {
    Answer("setoption name Threads value " + std::to_string(c.threads));
    int moves = 0;
    long long closest = c.start;  // the least time any answer left on its clock
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
        closest = std::min(closest, left[side] - spent);
        left[side] = std::max(left[side] - spent, 0LL) + c.increment;
        const std::string move = MoveOf(*line);
        ASSERT_TRUE(PlayMoveText(board, move)) << "illegal " << move << " after " << game;
        game += " " + move;
      }
    }
    EXPECT_GT(moves, 40);
    std::printf("self-play, Threads %d, %lld+%lld ms: %d moves, all legal and in time; closest %lld ms left\n",
                c.threads, c.start, c.increment, moves, closest);
  }
}

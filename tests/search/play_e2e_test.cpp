// The real engine over UCI, as an interface drives it: every "go" answers
// once, with a legal move, in the time it was given, and reports the answer
// in an "info depth" line with mates in moves and a playable line.
#include <gtest/gtest.h>

#include "support/engine_session.h"

namespace {

class Play : public EngineSession {};
class InfoLines : public EngineSession {};
class TwoThreads : public EngineSession {};
class SelfPlay : public EngineSession {};

}  // namespace

// One order of each kind in one session.
TEST_F(Play, EveryKindOfOrderAnswersOnceLegallyAndInTime) {
  const char* const Mate = "fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1";
  const TOrder orders[] = {
      {"startpos", "go movetime 300", {}, 250, 2500},
      // 200 ms left with a 1 s increment: the slice formula alone would spend
      // far more than the clock holds. The bound allows for the pipe's latency.
      {"startpos moves e2e4", "go wtime 200 btime 200 winc 1000 binc 1000", {}, 0, 500},
      {"startpos moves e2e4 c7c5", "go wtime 6000 btime 6000 movestogo 20", {}, 0, 1500},  // 300 ms slices
      {"startpos", "go depth -5", {}, 0, 2000},                                            // below one: answers at once
      {"startpos", "go nodes 1000", {}, 0, 2000},
      {Mate, "go mate 1", {}, 0, 2000, "a1a8"},
      // Infinite: answered only when stopped; the search still answers
      // "isready", and a new position waits for the next search.
      {"startpos", "go infinite", {"isready", "position fen 8/8/8/8/8/8/8/K6k w - - 0 1", "stop"}, 300, 3000},
      {Mate, "go infinite", {"stop"}, 500, 2000, "a1a8"},      // a mate found at once is held too
      {"startpos", "go infinite", {"ucinewgame"}, 200, 3000},  // a new game stops the search
      // After "ponderhit" the search plays on the clock; on a mate in one the
      // held answer comes at once. "stop" is a ponder miss.
      {"startpos moves e2e4", "go ponder wtime 2000 btime 2000", {"ponderhit"}, 500, 2000},
      {Mate, "go ponder wtime 5000 btime 5000", {"ponderhit"}, 500, 1000, "a1a8"},
      {"startpos moves e2e4", "go ponder wtime 5000 btime 5000", {"stop"}, 300, 2000},
  };
  for (const TOrder& order : orders) ExpectOneAnswer(order);
  engine.Send("go infinite");
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(3000), 0);
}

// Anything printed before the answer is an "info" line, or an interface
// would stumble on it. The "info depth" lines are complete and playable,
// start at depth 1 and never fall, with a seldepth no less than the depth;
// the last, the answer's own, comes whatever the depth, with mates in moves.
TEST_F(InfoLines, EveryLineIsCompleteAndTheAnswersLineCountsMatesInMoves) {
  struct Case {
    const char *position, *go, *score, *best;  // null: any will do
    int minDepth, maxDepth;                    // of the answer's line; 0: the root has no move
    int minPv = 0;                             // moves of the answer's line
    const char* threads = nullptr;
  };
  const char* const Middlegame = "startpos moves e2e4 e7e5 g1f3 b8c6 f1b5 a7a6";
  const char* const Opening = "startpos moves e2e4 e7e5 g1f3 b8c6";
  const Case cases[] = {
      {"startpos", "go depth 9", nullptr, nullptr, 9, 9},  // the depth ordered is reached
      {"fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", "go depth 9", "mate 1", "a1a8", 1, 6},
      {"fen kbK5/pp6/1P6/8/8/8/8/R7 w - - 0 1", "go depth 9", "mate 2", "a1a6", 1, 9},
      {"fen r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1", "go mate 3", "mate 3", "f8c5", 1, 7},
      // The losing side of the last two.
      {"fen kbK5/pp6/1P6/8/8/8/8/R7 w - - 0 1 moves a1a6", "go depth 4", "mate -1", "b7a6", 1, 4},
      {"fen r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1 moves f8c5", "go depth 4", "mate -2", "d4c5",
       1, 4},
      // A mate order finds its mate; without one it still ends, at its depth.
      {"fen r2qkb1r/pp2nppp/3p4/2pNN1B1/2BnP3/3P4/PPP2PPP/R2bK2R w KQkq - 1 1", "go mate 2", "mate 2", "d5f6", 1, 5},
      {"startpos", "go mate 2", nullptr, nullptr, 1, 5},
      // No iteration at all: the move picked after the search is the one reported.
      {"startpos", "go depth 0", "cp 0", nullptr, 1, 1},
      // Mated or stalemated: said before the null move.
      {"fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "go depth 5", "mate 0", "0000", 0, 0},
      {"fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "go depth 5", "cp 0", "0000", 0, 0},
      // Searchmoves keeps the root to the legal moves given.
      {"startpos moves e2e4", "go depth 6 searchmoves a7a6", nullptr, "a7a6", 6, 6},
      {"startpos moves e2e4", "go depth 4 searchmoves g8h6 e2e4", nullptr, "g8h6", 4, 4},
      // King and queen against king and pawn: mate with a fresh clock. With
      // 99 half-moves gone and no capture or pawn move to reset them, every
      // move reaches the fiftieth and the draw. A clock far beyond any game's
      // leaves the repetition test nothing before the first move to look at.
      {"fen 7k/8/8/p7/8/8/8/3QK3 w - - 99 80", "go depth 5", "cp 0", nullptr, 1, 5},
      {"fen 7k/8/8/p7/8/8/8/3QK3 w - - 0 80", "go depth 5", "mate 8", nullptr, 1, 5},
      {"fen 7k/8/8/p7/8/8/8/3QK3 w - - 1000 600", "go depth 5", "cp 0", nullptr, 1, 5},
      // Searched again, the position is answered much from the table; the
      // line still goes on past where the table answered.
      {Opening, "go depth 8", nullptr, nullptr, 8, 8, 6},
      {Opening, "go depth 8", nullptr, nullptr, 8, 8, 6},
      // A second of search fills some of the table; 3 threads are ignored
      // below three processors.
      {Middlegame, "go movetime 1000", nullptr, nullptr, 1, 99, 0, "1"},
      {Middlegame, "go movetime 1000", nullptr, nullptr, 1, 99, 0, "2"},
      {Middlegame, "go movetime 1000", nullptr, nullptr, 1, 99, 0, "3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.position) + ", " + c.go);
    if (c.threads) Answer(std::string("setoption name Threads value ") + c.threads);
    Lines seen;
    const auto answer = Go(c.position, c.go, CheckedBuild ? 300000 : 30000, &seen);
    ASSERT_TRUE(answer && answer->starts_with("bestmove "));
    for (const std::string& line : seen) EXPECT_TRUE(line.starts_with("info ") || &line == &seen.back()) << line;
    if (c.best) { EXPECT_EQ(MoveOf(*answer), c.best); }
    if (c.maxDepth == 0) {
      EXPECT_EQ(seen, (Lines{std::string("info depth 0 score ") + c.score, *answer}));
      continue;
    }
    const std::vector<TInfo> infos = DepthInfos(seen);
    ASSERT_FALSE(infos.empty());
    EXPECT_EQ(infos[0].depth, 1);
    for (std::size_t i = 0; i < infos.size(); ++i) {
      EXPECT_GE(infos[i].seldepth, infos[i].depth);
      EXPECT_GE(infos[i].depth, infos[i ? i - 1 : 0].depth);
      EXPECT_LE(infos[i].hashfull, 1000);
      ExpectPlayable(c.position, infos[i].pv, "depth " + std::to_string(infos[i].depth));
    }
    const TInfo& last = infos.back();
    if (c.score) { EXPECT_EQ(last.score, c.score); }
    EXPECT_TRUE(last.depth >= c.minDepth && last.depth <= c.maxDepth) << last.depth;
    EXPECT_EQ(last.First(), MoveOf(*answer));
    EXPECT_GE(std::count(last.pv.begin(), last.pv.end(), ' ') + 1, c.minPv) << last.pv;
    EXPECT_TRUE(!c.threads || last.hashfull > 0);
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
const std::pair<const char*, bool> Orders[] = {
    // the order, and whether "stop" follows it at once
    {"go depth 1", false},
    {"go depth 3", false},
    {"go depth 5", false},
    {"go movetime 1", false},
    {"go movetime 10", false},
    {"go nodes 1", false},
    {"go nodes 800", false},
    {"go nodes 6000", false},
    {"go wtime 1000 btime 1000 movestogo 30", false},
    {"go wtime 3000 btime 3000 winc 50 binc 50", false},
    {"go infinite", true},
    {"go movetime 100000", true},
    {"go ponder wtime 4000 btime 4000", true},
};

}  // namespace

// A lost stop, a helper that never parks or a move taken from a stale share
// shows up here.
TEST_F(TwoThreads, HundredsOfShortSearchesEachAnswerOnceWithALegalMove) {
  const int answerBoundMs = CheckedBuild ? 60000 : 10000;  // no hang: far beyond what any search needs
  const int searches = CheckedBuild ? 156 : 300;           // a checked build searches far slower
  Answer("setoption name Threads value 2");                // ignored on a one-processor machine
  for (int i = 0; i < searches && !HasFailure(); ++i) {
    const auto& [go, stopAtOnce] = Orders[i % std::size(Orders)];
    ExpectOneAnswer({Positions[i % std::size(Positions)], go, stopAtOnce ? Lines{"stop"} : Lines{}, 0, answerBoundMs});
  }
}

// The engine plays itself from each opening as a tournament manager runs a
// match: the mover's clock runs from "go" to "bestmove", then gains the
// increment. Every move must be legal and come in time; bullet clocks have
// an increment too small for the usual slice.
TEST_F(SelfPlay, GamesAtFastAndBulletClocksStayLegalAndInTime) {
  struct Case {
    int threads;
    long long start, increment;
    int maxPlies;
  };  // milliseconds
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

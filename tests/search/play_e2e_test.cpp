// The real engine's searches: complete info lines with mates in moves, hundreds of short searches on two threads, and
// games against itself.
#include <gtest/gtest.h>

#include "support/engine_session.h"

namespace {

class InfoLines : public EngineSession {};
class TwoThreads : public EngineSession {};
class SelfPlay : public EngineSession {};

}  // namespace

// Only "info" lines come before the answer; the "info depth" ones are complete and playable, start at depth 1 and never
// fall, with a seldepth no less than the depth; the last, the answer's own, comes whatever the depth.
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
      // Mate with a fresh clock; a draw when every move reaches the fiftieth, or the clock is beyond any game's.
      {"fen 7k/8/8/p7/8/8/8/3QK3 w - - 99 80", "go depth 5", "cp 0", nullptr, 1, 5},
      {"fen 7k/8/8/p7/8/8/8/3QK3 w - - 0 80", "go depth 5", "mate 8", nullptr, 1, 5},
      {"fen 7k/8/8/p7/8/8/8/3QK3 w - - 1000 600", "go depth 5", "cp 0", nullptr, 1, 5},
      // Searched again, answered much from the table: the line still goes on past where the table answered.
      {Opening, "go depth 8", nullptr, nullptr, 8, 8, 6},
      {Opening, "go depth 8", nullptr, nullptr, 8, 8, 6},
      // A second of search on two threads fills some of the shared table.
      {Middlegame, "go movetime 1000", nullptr, nullptr, 1, 99, 0, "2"},
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

// Middlegames, endgames, promotions, castling, en passant, a mate in one, and roots of one to three moves.
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

// Every pair of order and position comes up in 132 searches; the last three orders are stopped at once.
const char* const Orders[] = {"go depth 1",
                              "go depth 5",
                              "go movetime 1",
                              "go movetime 10",
                              "go nodes 1",
                              "go nodes 6000",
                              "go wtime 1000 btime 1000 movestogo 30",
                              "go wtime 3000 btime 3000 winc 50 binc 50",
                              "go infinite",
                              "go movetime 100000",
                              "go ponder wtime 4000 btime 4000"};

}  // namespace

// A lost stop, a helper that never parks or a move taken from a stale share shows up here.
TEST_F(TwoThreads, HundredsOfShortSearchesEachAnswerOnceWithALegalMove) {
  Answer("setoption name Threads value 2");
  for (int i = 0; i < (CheckedBuild ? 132 : 300) && !HasFailure(); ++i) {
    const std::size_t order = i % std::size(Orders);
    ExpectOneAnswer({Positions[i % std::size(Positions)], Orders[order],
                     order + 3 >= std::size(Orders) ? Lines{"stop"} : Lines{}, 0, 0});
  }
}

// Games against itself, the mover's clock running from "go" to "bestmove": every move legal and in time, at bullet
// clocks too, whose increment is too small for the usual slice.
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
        // The move overhead covers the pipe's latency in an optimised build.
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

#include "tools/bench.h"

#include <charconv>
#include <cstdio>
#include <string_view>

#include "board/move_text.h"
#include "platform/system.h"
#include "protocol/protocol_board.h"
#include "search/engine_settings.h"
#include "search/main_thread_search.h"

namespace {

// Openings, middlegames (among them the Bratko-Kopec test positions, several
// of them tactical) and endgames of varied character.
constexpr std::string_view BenchPositions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "1k1r4/pp1b1R2/3q2pp/4p3/2B5/4Q3/PPP2B2/2K5 b - - 0 1",
    "3r1k2/4npp1/1ppr3p/p6P/P2PPPP1/1NR5/5K2/2R5 w - - 0 1",
    "2q1rr1k/3bbnnp/p2p1pp1/2pPp3/PpP1P1P1/1P2BNNP/2BQ1PRK/7R b - - 0 1",
    "rnbqkb1r/p3pppp/1p6/2ppP3/3N4/2P5/PPP1QPPP/R1B1KB1R w KQkq - 0 1",
    "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - - 0 1",
    "2r3k1/pppR1pp1/4p3/4P1P1/5P2/1P4K1/P1P5/8 w - - 0 1",
    "1nk1r1r1/pp2n1pp/4p3/q2pPp1N/b1pP1P2/B1P2R2/2P1B1PP/R2Q2K1 w - - 0 1",
    "4b3/p3kp2/6p1/3pP2p/2pP1P2/4K1P1/P3N2P/8 w - - 0 1",
    "2kr1bnr/pbpq4/2n1pp2/3p3p/3P1P1B/2N2N1Q/PPP3PP/2KR1B1R w - - 0 1",
    "3rr1k1/pp3pp1/1qn2np1/8/3p4/PP1R1P2/2P1NQPP/R1B3K1 b - - 0 1",
    "2r1nrk1/p2q1ppp/bp1p4/n1pPp3/P1P1P3/2PBB1N1/4QPPP/R4RK1 w - - 0 1",
    "r3r1k1/ppqb1ppp/8/4p1NQ/8/2P5/PP3PPP/R3R1K1 b - - 0 1",
    "r2q1rk1/4bppp/p2p4/2pP4/3pP3/3Q4/PP1B1PPP/R3R1K1 w - - 0 1",
    "rnb2r1k/pp2p2p/2pp2p1/q2P1p2/8/1Pb2NP1/PB2PPBP/R2Q1RK1 w - - 0 1",
    "2r3k1/1p2q1pp/2b1pr2/p1pp4/6Q1/1P1PP1R1/P1PN2PP/5RK1 w - - 0 1",
    "r1bqkb1r/4npp1/p1p4p/1p1pP1B1/8/1B6/PPPN1PPP/R2Q1RK1 w kq - 0 1",
    "r2q1rk1/1ppnbppp/p2p1nb1/3Pp3/2P1P1P1/2N2N1P/PPB1QP2/R1B2RK1 b - - 0 1",
    "r1bq1rk1/pp2ppbp/2np2p1/2n5/P3PP2/N1P2N2/1PB3PP/R1B1QRK1 b - - 0 1",
    "3rr3/2pq2pk/p2p1pnp/8/2QBPP2/1P6/P5PP/4RRK1 b - - 0 1",
    "r4k2/pb2bp1r/1p1qp2p/3pNp2/3P1P2/2N3P1/PPP1Q2P/2KRR3 w - - 0 1",
    "3rn2k/ppb2rpp/2ppqp2/5N2/2P1P3/1P5Q/PB3PPP/3RR1K1 w - - 0 1",
    "2r2rk1/1bqnbpp1/1p1ppn1p/pP6/N1P1P3/P2B1N1P/1B2QPP1/R2R2K1 b - - 0 1",
    "r1bqk2r/pp2bppp/2p5/3pP3/P2Q1P2/2N1B3/1PP3PP/R4RK1 b kq - 0 1",
    "r2qnrnk/p2b2b1/1p1p2pp/2pPpp2/1PP1P3/PRNBB3/3QNPPP/5RK1 w - - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "8/8/1p1k4/5ppp/PPK1p3/6P1/5PP1/8 b - - 0 1",
    "6k1/5p2/6p1/8/7p/8/6PP/6K1 b - - 0 1",
    "8/3k4/8/8/8/4B3/4KB2/2B5 w - - 0 1",
    "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1",
    "8/8/8/4k3/8/8/8/R3K3 w - - 0 1",
    "6k1/6p1/8/6KQ/1r6/q2b4/8/8 w - - 0 1",
    "8/5pk1/6p1/8/3R4/6P1/5PK1/1r6 w - - 0 1",
};

}  // namespace

TBenchResult RunBench(int depth, bool printPositions) {
  TProtocolBoard source;
  const TEngineSettings settings;
  TMainThreadSearch search(source, settings);
  search.Infos.SetQuiet(true);
  TBenchResult result;
  const std::int64_t start = Ticks();
  for (std::string_view fen : BenchPositions) {
    std::string error;
    if (!source.LoadFen(fen, error)) continue;
    search.ClearTablesBeforeNextSearch();
    TSearchOrder order;
    order.MaxDepth = depth;
    search.TakeOrder(order);
    search.CopyMain();
    search.Think();
    result.nodes += search.Nodes;
    if (printPositions)
      std::printf("%-75s %-6s %10llu\n", std::string(fen).c_str(), MoveText(search.Best.m).c_str(),
                  (unsigned long long)search.Nodes.load());
  }
  result.milliseconds = Ticks() - start;
  return result;
}

int BenchCommand(const std::vector<std::string>& args) {
  int depth = DefaultBenchDepth;
  if (!args.empty()) {
    const auto [end, error] = std::from_chars(args[0].data(), args[0].data() + args[0].size(), depth);
    if (error != std::errc() || end != args[0].data() + args[0].size() || depth < 1 || depth > MaxBenchDepth) {
      std::fprintf(stderr, "bench: DEPTH must be a number from 1 to %d\n", MaxBenchDepth);
      return 2;
    }
  }
  const TBenchResult result = RunBench(depth, true);
  const std::int64_t ms = result.milliseconds > 0 ? result.milliseconds : 1;
  const unsigned long long nps = result.nodes * 1000 / std::uint64_t(ms);
  std::printf("Time (ms): %lld\n%llu nodes %llu nps\n", (long long)result.milliseconds,
              (unsigned long long)result.nodes, nps);
  return 0;
}

#include "tools/bench.h"

#include <charconv>
#include <cstdio>
#include <string_view>

#include "platform/system.h"
#include "protocol/protocol_board.h"
#include "protocol/move_text.h"
#include "search/control.h"
#include "search/main_thread_search.h"

namespace {

constexpr int DefaultBenchDepth = 7;

// Openings, middlegames and endgames of varied character.
constexpr std::string_view BenchPositions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "1k1r4/pp1b1R2/3q2pp/4p3/2B5/4Q3/PPP2B2/2K5 b - - 0 1",
    "3r1k2/4npp1/1ppr3p/p6P/P2PPPP1/1NR5/5K2/2R5 w - - 0 1",
    "2q1rr1k/3bbnnp/p2p1pp1/2pPp3/PpP1P1P1/1P2BNNP/2BQ1PRK/7R b - - 0 1",
    "rnbqkb1r/p3pppp/1p6/2ppP3/3N4/2P5/PPP1QPPP/R1B1KB1R w KQkq - 0 1",
    "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - - 0 1",
    "2r3k1/pppR1pp1/4p3/4P1P1/5P2/1P4K1/P1P5/8 w - - 0 1",
    "r1bqk2r/pp2bppp/2p5/3pP3/P2Q1P2/2N1B3/1PP3PP/R4RK1 b kq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "8/8/1p1k4/5ppp/PPK1p3/6P1/5PP1/8 b - - 0 1",
    "6k1/5p2/6p1/8/7p/8/6PP/6K1 b - - 0 1",
    "8/3k4/8/8/8/4B3/4KB2/2B5 w - - 0 1",
    "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1",
};

}  // namespace

TBenchResult RunBench(int depth, bool printPositions) {
  TProtocolBoard source;
  TMainThreadSearch search(source);
  TBenchResult result;
  const bool quiet = NoInfoOutput;
  NoInfoOutput = true;
  const std::int64_t start = Ticks();
  for (std::string_view fen : BenchPositions) {
    std::string error;
    if (!source.LoadFen(fen, error)) continue;
    ClearHashPending = true;
    Pondering = false;
    TimeMode = tmFixedDepth;
    MaxDepth = depth;
    GoTime = NoTimeLimit;
    search.CopyMain();
    search.Think();
    result.nodes += search.Nodes;
    if (printPositions)
      std::printf("%-75s %-6s %10u\n", std::string(fen).c_str(), move_str(search.Best.m).c_str(), search.Nodes);
  }
  result.milliseconds = Ticks() - start;
  NoInfoOutput = quiet;
  return result;
}

int BenchCommand(const std::vector<std::string>& args) {
  int depth = DefaultBenchDepth;
  if (!args.empty()) {
    const auto [end, error] = std::from_chars(args[0].data(), args[0].data() + args[0].size(), depth);
    if (error != std::errc() || end != args[0].data() + args[0].size() || depth < 1 || depth > 30) {
      std::fprintf(stderr, "bench: DEPTH must be a number from 1 to 30\n");
      return 2;
    }
  }
  const TBenchResult result = RunBench(depth, true);
  const std::int64_t ms = result.milliseconds > 0 ? result.milliseconds : 1;
  std::printf("Nodes searched: %llu\nTime (ms): %lld\nNodes/second: %lld\n", (unsigned long long)result.nodes,
              (long long)result.milliseconds, (long long)(result.nodes * 1000 / std::uint64_t(ms)));
  return 0;
}

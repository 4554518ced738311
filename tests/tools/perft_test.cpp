// Perft counts against the published figures, and the perft command line.
#include <gtest/gtest.h>

#include <sstream>

#include "board/board_fixture.h"
#include "board/perft_suite.h"
#include "tools/perft.h"

namespace {

// The six reference positions, at a depth a Release build runs in about a
// second, and at depth 3 for checked builds; the board must come back whole.
TEST(PerftCounts, ReferencePositions) {
  struct TPublished { const char* fen; int depth; std::uint64_t leaves, leavesAt3; };
  constexpr TPublished Reference[] = {
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 5, 4865609, 8902},
      {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 4, 4085603, 97862},
      {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 5, 674624, 2812},
      {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 5, 15833292, 9467},
      {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 4, 2103487, 62379},
      {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 4, 3894594, 89890},
  };
  for (const TPublished& p : Reference) {
    auto board = BoardFromFen(p.fen);
    const int depth = OptimisedBuild ? p.depth : 3;
    EXPECT_EQ(Perft(*board, depth), OptimisedBuild ? p.leaves : p.leavesAt3) << p.fen;
    EXPECT_TRUE(board->board_is_ok()) << p.fen;
    EXPECT_EQ(board->Ply, 0u);
  }
}

TEST(PerftCounts, WholeSuite) {
  const int depth = OptimisedBuild ? 4 : 2;
  const auto suite = LoadPerftSuite();
  ASSERT_EQ(suite.size(), 127u) << "the suite's data file is missing or cut";
  for (const TPerftCase& c : suite) {
    auto board = BoardFromFen(c.fen);
    EXPECT_EQ(Perft(*board, depth), c.leaves.at(depth)) << c.fen;
  }
}

// Divide lines and the total; a FEN may come as separate words, castling
// and promotion texts included. Bad arguments print the usage and exit 2.
TEST(PerftCommand, PrintsDivideAndTotalOrRefuses) {
  std::string out;
  const auto run = [&](const std::vector<std::string>& args) {
    std::ostringstream captured;
    auto* old = std::cout.rdbuf(captured.rdbuf());
    const int code = PerftCommand(args);
    std::cout.rdbuf(old);
    out = captured.str();
    return code;
  };
  EXPECT_EQ(run({"2"}), 0);
  EXPECT_EQ(out.rfind("a2a3: 20\n", 0), 0u);
  for (const char* part : {"\ng1h3: 20\n", "Total: 400\n", " ms\n"}) EXPECT_NE(out.find(part), std::string::npos) << part;
  EXPECT_EQ(run({"1", "r3k3/1P6/8/8/8/8/8/4K2R", "w", "K", "-", "0", "1"}), 0);
  EXPECT_NE(out.find("e1g1: 1\n"), std::string::npos);
  EXPECT_NE(out.find("b7a8n: 1\n"), std::string::npos);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{{}, {"x"}, {"3x"}, {"0"}, {"99"}, {"2", "not", "a", "fen"}}) {
    EXPECT_EQ(run(args), 2) << args.size();
    EXPECT_NE(out.find("usage"), std::string::npos) << args.size();
  }
}

}  // namespace

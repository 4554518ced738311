// Perft counts against the published figures, and the perft command line.
#include <gtest/gtest.h>

#include <sstream>

#include "board/board_fixture.h"
#include "board/perft_suite.h"
#include "tools/perft.h"

namespace {

// The suite at depth 4 (2 in checked builds) and the reference positions it lacks: en passant exposing the king,
// promotions, castling through attacked squares. The board comes back whole.
TEST(PerftCounts, ReferencePositionsAndTheWholeSuite) {
  const int depth = OptimisedBuild ? 4 : 2;
  auto cases = LoadPerftSuite();
  ASSERT_EQ(cases.size(), 127u) << "the suite's data file is missing or cut";
  cases.insert(
      cases.end(),
      {{"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", {{2, 191}, {4, 43238}}},
       {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", {{2, 264}, {4, 422333}}},
       {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", {{2, 1486}, {4, 2103487}}},
       {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", {{2, 2079}, {4, 3894594}}}});
  for (const TPerftCase& c : cases) {
    auto board = BoardFromFen(c.fen);
    EXPECT_EQ(Perft(*board, depth), c.leaves.at(depth)) << c.fen;
    EXPECT_TRUE(board->board_is_ok() && board->Ply == 0u) << c.fen;
  }
}

// Every 19th published Chess960 position at depth 5 (2 in checked builds): 51 positions.
TEST(PerftCounts, Chess960PublishedPositions) {
  const int depth = OptimisedBuild ? 5 : 2;
  const auto cases = LoadPerftSuite("chess960-perft.epd");
  ASSERT_EQ(cases.size(), 960u) << "the Chess960 data file is missing or cut";
  for (std::size_t i = 0; i < cases.size(); i += 19) {
    auto board = BoardFromFen(cases[i].fen, true);
    EXPECT_EQ(Perft(*board, depth), cases[i].leaves.at(depth)) << cases[i].fen;
    EXPECT_TRUE(board->board_is_ok() && board->Ply == 0u) << cases[i].fen;
  }
}

// Two Chess960 positions alike but for which rook on the queen's side may
// castle are different positions: only the inner rook has a clear path.
TEST(PerftCounts, Chess960KeysTellTheCastlingRookApart) {
  const auto outer = BoardFromFen("1r1k2r1/8/8/8/8/8/8/RR1K4 w A - 0 1", true);
  const auto inner = BoardFromFen("1r1k2r1/8/8/8/8/8/8/RR1K4 w B - 0 1", true);
  EXPECT_EQ(outer->Castle, inner->Castle);
  EXPECT_NE(outer->hash, inner->hash);
  EXPECT_EQ(Perft(*inner, 1), Perft(*outer, 1) + 1);
}

// Divide lines and the total, from a FEN in separate words too; bad arguments print the usage and exit 2.
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
  for (const char* part : {"\ng1h3: 20\n", "Total: 400\n", " ms\n"})
    EXPECT_NE(out.find(part), std::string::npos) << part;
  EXPECT_EQ(run({"1", "r3k3/1P6/8/8/8/8/8/4K2R", "w", "K", "-", "0", "1"}), 0);
  EXPECT_NE(out.find("e1g1: 1\n"), std::string::npos);
  EXPECT_NE(out.find("b7a8n: 1\n"), std::string::npos);
  EXPECT_EQ(run({"--chess960", "1", "r3k3/1P6/8/8/8/8/8/4K2R", "w", "K", "-", "0", "1"}), 0);
  EXPECT_NE(out.find("e1h1: 1\n"), std::string::npos);
  EXPECT_EQ(out.find("e1g1"), std::string::npos);
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{}, {"x"}, {"3x"}, {"0"}, {"99"}, {"2", "not", "a", "fen"}}) {
    EXPECT_EQ(run(args), 2) << args.size();
    EXPECT_NE(out.find("usage"), std::string::npos) << args.size();
  }
}

}  // namespace

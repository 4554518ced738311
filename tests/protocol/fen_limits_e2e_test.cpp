// FEN set-ups at the limits, through the binary: the half-move clock starts
// the count of the fifty-move rule that the search applies, and positions
// with the most material a game can reach are searched to a legal answer.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/build_speed.h"
#include "support/engine_session.h"
#include "support/engine_tables.h"
#include "support/game_rules.h"

namespace {

class FenLimits : public EngineSession {
 protected:
  // Sets the position up and runs the order; the bestmove line, with the
  // lines before it in `seen`.
  std::string Search(const std::string& fen, const std::string& go, std::vector<std::string>* seen = nullptr) {
    engine.Send("position fen " + fen);
    engine.Send(go);
    // A depth order among nine queens runs a million nodes, which a
    // sanitized build takes far longer over.
    return BestMove(CheckedBuild ? 120000 : 10000, nullptr, seen).value_or("(no answer)");
  }
  // The score of the last "info depth" line: "cp N" or "mate N".
  static std::string LastScore(const std::vector<std::string>& lines) {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
      if (!line->starts_with("info depth")) continue;
      const std::size_t at = line->find(" score ");
      if (at == std::string::npos) continue;
      const std::size_t kind = at + 7, value = line->find(' ', kind) + 1;
      return line->substr(kind, line->find(' ', value) - kind);
    }
    return "(no score)";
  }
};

// King and queen against king and pawn: mate with a fresh clock. With 99
// half-moves gone and no capture or pawn move to reset them, every move
// reaches the fiftieth move and the draw. A clock far beyond any game's
// leaves the repetition test nothing before the first move to look at.
TEST_F(FenLimits, HalfMoveClockDecidesTheScore) {
  const std::pair<const char*, const char*> cases[] = {
      {"7k/8/8/p7/8/8/8/3QK3 w - - 99 80", "cp 0"},
      {"7k/8/8/p7/8/8/8/3QK3 w - - 0 80", "mate 8"},
      {"7k/8/8/p7/8/8/8/3QK3 w - - 1000 600", "cp 0"},
  };
  for (const auto& [fen, score] : cases) {
    std::vector<std::string> lines;
    const std::string answer = Search(fen, "go depth 5", &lines);
    EXPECT_TRUE(answer.starts_with("bestmove ")) << fen << ": " << answer;
    EXPECT_EQ(LastScore(lines), score) << fen;
  }
}

// The most material a side can have: sixteen men, nine queens among them;
// 218 moves to choose from; a king in check among promoted pieces; a clock
// at its limit. Each gets a legal move for a time order, and the ones the
// search can take in depth, for depth orders too.
TEST_F(FenLimits, EdgePositionsGetALegalMove) {
  struct Case { const char* fen; bool depthOrders; };
  const Case cases[] = {
      {"R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - - 0 1", true},
      {"rnb1kbnr/pppp1ppp/8/4Q3/8/8/QQQQ1QQQ/RNB1KBNR b - - 0 1", true},
      {"4k3/8/8/8/8/8/8/4K3 w - - 1000 900", true},
      {"rnbqkbnr/qqqqqqqq/8/8/8/8/QQQQQQQQ/RNBQKBNR w - - 0 1", false},
      {"kqqqqqqq/qqrrbbnn/8/8/8/8/QQRRBBNN/KQQQQQQQ b - - 0 1", false},
  };
  EnsureEngineTables();
  for (const Case& c : cases) {
    for (const char* go : {"go movetime 500", "go depth 1", "go depth 3"}) {
      if (!c.depthOrders && go[3] == 'd') continue;
      const std::string answer = Search(c.fen, go);
      TProtocolBoard board;
      std::string error;
      ASSERT_TRUE(board.LoadFen(c.fen, error)) << c.fen << ": " << error;
      EXPECT_TRUE(answer.starts_with("bestmove ") && PlayMoveText(board, MoveOf(answer)))
          << c.fen << ", " << go << ": " << answer;
    }
  }
}

}  // namespace

// The engine, playing both sides at a fixed depth with the tablebases off, mates a bare king with the basic material:
// the evaluation has to drive the king to the edge, or the right corner, for the search to see the mate.
#include <gtest/gtest.h>

#include "support/engine_session.h"

namespace {

// Each test takes minutes in a sanitized build.
class UciMating : public EngineSession {
 protected:
  // Plays the game out; fails unless White mates within `maxMoves`.
  void ExpectMate(const std::string& fen, int depth, int maxMoves) {
    SCOPED_TRACE(fen);
    TProtocolBoard board;
    board.SetupPosition("fen " + fen);
    std::string moves;
    for (int played = 0; played < 2 * maxMoves; ++played) {
      if (!HasLegalMove(board)) {
        EXPECT_TRUE(board.Side == Dark && board.ProtocolInCheck(Dark))
            << "the game ended without White's mate after" << moves;
        return;
      }
      const auto line = Go("fen " + fen + " moves" + moves, "go depth " + std::to_string(depth), 60000);
      ASSERT_TRUE(line && PlayMoveText(board, MoveOf(*line))) << (line ? *line : "no answer") << " after" << moves;
      moves.append(" ").append(MoveOf(*line));
    }
    ADD_FAILURE() << "no mate in " << maxMoves << " moves:" << moves;
  }
};

TEST_F(UciMating, KingAndQueenMateABareKing) {
  for (const char* fen :
       {"8/8/8/4k3/8/8/8/3QK3 w - - 0 1", "k7/8/8/8/8/8/8/6QK w - - 0 1", "8/8/2k5/8/8/5K2/8/7Q b - - 0 1"})
    ExpectMate(fen, 6, 25);
}

TEST_F(UciMating, KingAndRookMateABareKing) {
  for (const char* fen :
       {"8/8/8/4k3/8/8/8/R3K3 w - - 0 1", "7k/8/8/8/8/8/8/K5R1 w - - 0 1", "8/8/8/3k4/8/8/2K5/7R b - - 0 1"})
    ExpectMate(fen, 10, 40);
}

// The bare king starts in the corner the light-squared bishop cannot cover.
TEST_F(UciMating, KingBishopAndKnightDriveTheKingToTheRightCorner) {
  ExpectMate("7k/8/8/8/8/8/8/2B1KN2 w - - 0 1", 12, 60);
}

}  // namespace

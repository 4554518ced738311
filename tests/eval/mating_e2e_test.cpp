// The endgame knowledge at play: the engine, playing both sides at a fixed
// depth with the tablebases off, mates a bare king with the basic material
// within a bounded number of moves. The evaluation has to drive the
// defending king to the edge (or the right corner) for the search to see mate.
#include <gtest/gtest.h>

#include "support/engine_process.h"
#include "support/engine_tables.h"
#include "support/game_rules.h"

namespace {

// Plays the game out; fails the test unless the side with more than its king
// mates within `maxMoves`.
void ExpectMate(const std::string& fen, int depth, int maxMoves) {
  SCOPED_TRACE(fen);
  EnsureEngineTables();
  EngineProcess engine;
  engine.Send("uci");
  ASSERT_TRUE(engine.ReadUntil("uciok"));
  TProtocolBoard board;
  std::string error, moves;
  ASSERT_TRUE(board.LoadFen(fen, error)) << error;
  int men[2] = {0, 0};
  for (int square = 0; square < 64; ++square)
    if (board.Color[square] != bsEmpty) ++men[board.Color[square]];
  const TSide attacker = men[Light] > men[Dark] ? Light : Dark;
  for (int played = 0; played < 2 * maxMoves; ++played) {
    if (!HasLegalMove(board)) {
      const bool mated = board.ProtocolInCheck(board.Side);
      EXPECT_TRUE(mated && board.Side != attacker) << (mated ? "the attacker was mated" : "stalemate") << " after" << moves;
      engine.Send("quit");
      return;
    }
    engine.Send("position fen " + fen + (moves.empty() ? "" : " moves" + moves));
    engine.Send("go depth " + std::to_string(depth));
    const auto line = engine.ReadUntil("bestmove", 60000);
    ASSERT_TRUE(line && line->size() >= 13) << "no move after" << moves;
    const std::string move = line->substr(9, line->find(' ', 9) == std::string::npos ? std::string::npos : line->find(' ', 9) - 9);
    ASSERT_TRUE(PlayMoveText(board, move)) << "illegal " << *line << " after" << moves;
    moves += " " + move;
  }
  engine.Send("quit");
  ADD_FAILURE() << "no mate in " << maxMoves << " moves:" << moves;
}

// Games the engine plays against itself through the UCI loop; each test
// takes minutes in a sanitized build.
TEST(UciMating, KingAndQueenMateABareKing) {
  for (const char* fen : {"8/8/8/4k3/8/8/8/3QK3 w - - 0 1", "k7/8/8/8/8/8/8/6QK w - - 0 1", "8/8/2k5/8/8/5K2/8/7Q b - - 0 1"})
    ExpectMate(fen, 6, 25);
}

TEST(UciMating, KingAndRookMateABareKing) {
  for (const char* fen : {"8/8/8/4k3/8/8/8/R3K3 w - - 0 1", "7k/8/8/8/8/8/8/K5R1 w - - 0 1", "8/8/8/3k4/8/8/2K5/7R b - - 0 1"})
    ExpectMate(fen, 10, 40);
}

// The bare king starts in the corner the light-squared bishop cannot cover.
TEST(UciMating, KingBishopAndKnightDriveTheKingToTheRightCorner) { ExpectMate("7k/8/8/8/8/8/8/2B1KN2 w - - 0 1", 12, 60); }

}  // namespace

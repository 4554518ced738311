// Play-level checks of the endgame knowledge: the engine, playing both sides
// at a fixed depth with the tablebases off, mates a bare king with the basic
// material within a bounded number of moves. The evaluation has to drive the
// defending king to the edge (or the right corner) for the search to see mate.
#include <gtest/gtest.h>

#include "protocol/protocol_board.h"
#include "support/engine_process.h"
#include "support/engine_tables.h"
#include "support/game_rules.h"

namespace {

// Plays the game out and returns the number of moves the stronger side
// needed to mate, or -1 when it did not mate within `maxMoves`.
int MovesToMate(const std::string& fen, int depth, int maxMoves) {
  EnsureEngineTables();
  EngineProcess engine;
  engine.Send("uci");
  if (!engine.ReadUntil("uciok")) return -1;
  TProtocolBoard board;
  std::string error;
  if (!board.LoadFen(fen, error)) {
    ADD_FAILURE() << "refused: " << error;
    return -1;
  }
  // The attacker is the side with more than its king.
  int men[2] = {0, 0};
  for (int square = 0; square < 64; ++square)
    if (board.Color[square] != bsEmpty) ++men[board.Color[square]];
  const TSide attacker = men[Light] > men[Dark] ? Light : Dark;
  std::string moves;
  for (int played = 0; played < 2 * maxMoves; ++played) {
    if (!HasLegalMove(board)) {
      const bool mated = board.ProtocolInCheck(board.Side);
      if (mated && board.Side != attacker) return (played + 1) / 2;
      ADD_FAILURE() << (mated ? "the attacker was mated" : "stalemate") << " after" << moves;
      return -1;
    }
    engine.Send("position fen " + fen + (moves.empty() ? "" : " moves" + moves));
    engine.Send("go depth " + std::to_string(depth));
    const auto line = engine.ReadUntil("bestmove", 60000);
    if (!line || line->size() < 13) {
      ADD_FAILURE() << "no move after" << moves;
      return -1;
    }
    const std::size_t end = line->find(' ', 9);
    const std::string move = line->substr(9, end == std::string::npos ? end : end - 9);
    if (!PlayMoveText(board, move)) {
      ADD_FAILURE() << "illegal " << *line << " after" << moves;
      return -1;
    }
    moves += " " + move;
  }
  engine.Send("quit");
  ADD_FAILURE() << "no mate in " << maxMoves << " moves:" << moves;
  return -1;
}

}  // namespace

TEST(Mating, KingAndQueenMateABareKing) {
  for (const char* fen : {"8/8/8/4k3/8/8/8/3QK3 w - - 0 1", "k7/8/8/8/8/8/8/6QK w - - 0 1",
                          "8/8/2k5/8/8/5K2/8/7Q b - - 0 1"}) {
    EXPECT_GT(MovesToMate(fen, 6, 25), 0) << fen;
  }
}

TEST(Mating, KingAndRookMateABareKing) {
  for (const char* fen : {"8/8/8/4k3/8/8/8/R3K3 w - - 0 1", "7k/8/8/8/8/8/8/K5R1 w - - 0 1",
                          "8/8/8/3k4/8/8/2K5/7R b - - 0 1"}) {
    EXPECT_GT(MovesToMate(fen, 10, 40), 0) << fen;
  }
}

TEST(Mating, KingBishopAndKnightDriveTheKingToTheRightCorner) {
  // The bare king starts in the corner the light-squared bishop cannot cover.
  EXPECT_GT(MovesToMate("7k/8/8/8/8/8/8/2B1KN2 w - - 0 1", 12, 60), 0);
}

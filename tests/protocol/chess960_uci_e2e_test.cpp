// Chess960 through the real binary: the UCI_Chess960 option, castling fields
// read or refused, castling written as the king taking its rook, and the EPD
// test run on Chess960 positions.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "platform/files.h"
#include "support/engine_session.h"

namespace {

namespace fs = std::filesystem;

// White castles short (the king stays on g1, the rook goes to f1) and mates;
// nothing else does. The second is the same turned over, Black to move.
const char* const CastlingMate = "4rkr1/4p1p1/8/8/8/8/8/6KR w H - 0 1";
const char* const CastlingMateMirrored = "6kr/8/8/8/8/8/4P1P1/4RKR1 b h - 0 1";

// Every word of `moves` (bestmove and ponder lines too) is legal in turn
// under Chess960 rules from the position.
void ExpectPlayable960(const std::string& position, const std::string& moves) {
  EnsureEngineTables();
  TProtocolBoard board;
  board.SetChess960Rules(true);
  board.SetupPosition(position);
  std::istringstream words(moves);
  for (std::string move; words >> move;)
    if (move != "bestmove" && move != "ponder" && !PlayMoveText(board, move)) {
      ADD_FAILURE() << "illegal " << move << " in " << moves << " from " << position;
      return;
    }
}

class UciChess960 : public EngineSession {
 protected:
  void SetUp() override {
    EngineSession::SetUp();
    EXPECT_EQ(Answer("setoption name UCI_Chess960 value true"), Lines{});
  }
};

// FENs in every form, castling moves in the move list as the king taking its
// rook, and a refused right named in one line; off again, as before.
TEST_F(UciChess960, PositionsAndMovesUnderTheOption) {
  for (const char* position : {"fen bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w HFhf - 2 9",
                               "fen bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w KQkq - 2 9",
                               "startpos moves e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 e1h1",
                               "fen rk2r3/pppppppp/8/8/8/8/PPPPPPPP/RK2R3 w EAea - 0 1 moves b1a1 b8a8 e1h1"}) {
    const auto best = Go(position, "go depth 3", 20000);
    ASSERT_TRUE(best) << position;
    ExpectPlayable960(position, *best);
  }
  EXPECT_EQ(Go(std::string("fen ") + CastlingMate + " moves g1h1", "go depth 2", 20000), "bestmove 0000");
  EXPECT_EQ(Answer("position fen 4k3/8/8/8/8/8/8/R3K2R w G -"),
            Lines{"info string fen refused: castling right 'G': no white rook on g1"});
  Answer("setoption name UCI_Chess960 value false");
  EXPECT_EQ(Answer("position fen 4k3/8/8/8/8/8/8/R3K2R w G -"),
            Lines{"info string fen refused: unknown character 'G' in the castling field"});
  EXPECT_EQ(Answer("position startpos moves e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 e1g1").size(), 0u);
}

// The search's castling moves come out as the king taking its rook, in
// "bestmove" and in the principal variation.
TEST_F(UciChess960, CastlingIsWrittenAsTheKingTakingItsRook) {
  for (const auto& [fen, castling] : {std::pair{CastlingMate, "g1h1"}, std::pair{CastlingMateMirrored, "g8h8"}}) {
    Lines seen;
    const auto best = Go(std::string("fen ") + fen, "go depth 3", 20000, &seen);
    ASSERT_TRUE(best) << fen;
    EXPECT_EQ(MoveOf(*best), castling) << fen;
    EXPECT_EQ(LastInfo(seen).First(), castling) << fen;
  }
}

// A file letter in the castling field makes a Chess960 position of an EPD
// line, the option off; the mirror turns the letters' case.
TEST(UciChess960EpdRun, FileLettersReadAsChess960) {
  const fs::path dir = fs::temp_directory_path() / ("vostrak-epd960-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  WriteTextLines(dir / "c960.epd", {"4rkr1/4p1p1/8/8/8/8/8/6KR w H - bm O-O#; id \"c960.1\";",
                                    "bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w HFhf - bm Nf3;"});
  {
    EngineProcess engine{{}, dir.string()};
    engine.Send("uci");
    ASSERT_TRUE(engine.ReadUntil("uciok"));
    for (const char* answer : {"test", "y", "c960.epd", "2"}) engine.Send(answer);
    std::vector<std::string> seen;
    ASSERT_TRUE(engine.ReadUntil("...end", 120000, &seen));
    int searched = 0;
    for (const std::string& line : seen) {
      EXPECT_EQ(line.find("refused"), std::string::npos) << line;
      searched += line.find(": move ") != std::string::npos;
    }
    EXPECT_EQ(searched, 4) << "each position and its mirror";
    engine.Send("n");
    EXPECT_TRUE(engine.ReadUntil("\"not saved...quit\"", 10000));
    engine.Send("quit");
    EXPECT_EQ(engine.WaitExit(), 0);
  }
  fs::remove_all(dir);
}

}  // namespace

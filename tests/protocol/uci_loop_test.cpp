// The command loop as an interface sees it: the real binary over pipes.
#include <gtest/gtest.h>

#include "support/engine_session.h"

namespace {

using Lines = std::vector<std::string>;

const Lines kIdentity = {
    "id name Vostrak 2.9f",
    "id author the Vostrak developers",
    "option name Hash type spin default 32 min 1 max 1024",
    "option name NalimovCache type spin default 8 min 1 max 1024",
    "option name NalimovPath type string default C:\\Nalimov",
    "option name TablebaseLibrary type string default <empty>",
    "option name Threads type spin default 1 min 1 max 8",
    "option name Move Overhead type spin default 30 min 0 max 5000",
    "option name MultiPV type spin default 1 min 1 max 64",
    "option name UCI_Chess960 type check default false",
    "option name Ponder type check default false",
    "option name UCI_AnalyseMode type check default false",
    "option name Clear Hash type button",
    "uciok",
};

// Lines before the first "uci" (a leading blank makes none) get no reply; "quit" in any case or the end of input ends.
TEST(UciLoop, NothingIsAnsweredBeforeUciAndQuitOrTheEndOfInputEndsTheEngine) {
  for (const bool quit : {true, false}) {
    EngineProcess engine;
    for (const char* line : {"isready", "hello", "position startpos", " uci"}) engine.Send(line);
    quit ? engine.Send("QUIT\r") : engine.CloseInput();
    EXPECT_EQ(engine.WaitExit(2000), 0) << quit;
    EXPECT_FALSE(engine.ReadLine(100)) << quit;
  }
}

class UciSession : public EngineSession {};

// Orders that answer at once: everything printed is a UCI reply, remarks are "info string", bad input changes nothing.
TEST_F(UciSession, OrdersAnsweredInTurn) {
  // The first "isready" initialises the tablebases, which need no directory.
  EXPECT_EQ(firstReady, Lines{"info string Init EGTB"});
  for (const char* line : {"foo bar", "", " isready", " uci", " go", "stop"}) engine.Send(line);
  EXPECT_FALSE(engine.ReadLine(300)) << "a leading blank is no exact match; stop when idle prints nothing";
  for (const char* ready : {"isready ", "isready\t", "isready\r", "isready \t\r "}) {
    engine.Send(ready);
    EXPECT_EQ(engine.ReadLine(2000), "readyok") << "'" << ready << "'";
  }
  for (const char* line :
       {"setoption name Threads value many", "setoption name NalimovCache value 1.5",
        "setoption name Move Overhead value fast", "setoption name NalimovPath value /nonexistent/tb",
        "position startpos moves e2e4 e2e4 zz e7e5 e1e3", "position fen 4k3/8/8/8/8/8/8/4K2K w - -",
        "position fen 4k3/8/8/8/8/8/PPPPPPPP/QQ2K3 w - - 0 1",
        "position fen 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1 moves e2e5", "go depth 2"})
    engine.Send(line);
  Lines lines;
  ASSERT_TRUE(engine.ReadUntil("bestmove", 20000, &lines));
  for (const std::string& line : Answer("isready")) lines.push_back(line);
  int remarks = 0;
  for (const std::string& line : lines) {
    EXPECT_TRUE(line.starts_with("info ") || line.starts_with("bestmove ")) << "not a UCI reply: '" << line << "'";
    remarks += line.starts_with("info string ");
  }
  EXPECT_GE(remarks, 9);  // three bad numbers, two refused moves (two lines each), refused FENs
  // A game of a thousand plies fits in one input line.
  std::string command = "position startpos moves";
  const char* const shuffle[] = {"b1c3", "b8c6", "c3b1", "c6b8"};
  for (int ply = 0; ply < 1000; ++ply) command += std::string(" ") + shuffle[ply % 4];
  EXPECT_EQ(Answer(command + " e2e4 e7e5 e1e2"), Lines{});
  EXPECT_EQ(Answer(command + " e2e4 e7e5 e1e3"), (Lines{"info string Illegal Move !!",
                                                        "info string move 1003 of 1003, 'e1e3', is not legal here: the "
                                                        "position stops after move 1002, e7e5"}));
  // One move wins, and a one-ply search alone would play another, which draws: the tablebases need no NalimovPath.
  for (const auto& [fen, answer] : {std::pair{"3k4/5K2/8/8/8/8/1P6/8 w - - 0 1", "bestmove f7e6"},  // not b2b4
                                    std::pair{"8/8/8/3k4/8/8/2KP4/8 w - - 0 1", "bestmove c2d3"}})  // not c2b3
    EXPECT_EQ(Go(std::string("fen ") + fen, "go depth 1", 10000).value_or("").substr(0, 13), answer) << fen;
  engine.Send("quit \t");
  EXPECT_EQ(engine.WaitExit(2000), 0);
}

// A value outside an option's range, or no number, is refused with one line and the old value kept.
TEST_F(UciSession, OptionValuesOutOfRangeAreRefusedAndTheOldOnesKept) {
  const std::pair<const char*, const char*> cases[] = {
      // what follows "setoption name", the line's start
      {"Hash value 0", "info string Hash 0 refused: it takes 1 to 1024 MB; 32 kept"},
      {"Hash value abc", "info string EConvertError: 'abc' is not a valid integer value"},
      // The value is all that follows "value": a second "name" is no new option.
      {"Hash value junk name Threads value -3",
       "info string EConvertError: 'junk name Threads value -3' is not a valid integer value"},
      {"Threads value 9", "info string Threads 9 refused: it takes 1 to 8; "},  // beyond the limit of 8
      {"MultiPV value 3", nullptr},
      {"MultiPV value 65", "info string MultiPV 65 refused: it takes 1 to 64; 3 kept"},
      {"Hash value 2", nullptr},
      {"Hash value -1", "info string Hash -1 refused: it takes 1 to 1024 MB; 2 kept"},
  };
  for (const auto& [option, start] : cases) {
    const Lines answer = Answer(std::string("setoption name ") + option);
    ASSERT_EQ(answer.size(), start ? 1u : 0u) << option;
    EXPECT_TRUE(!start || answer[0].starts_with(start)) << option << ": " << answer[0];
  }
}

// "uci" again, in any case and with trailing blanks, repeats the identity and changes nothing, mid-search too.
TEST_F(UciSession, UciAgainInAnyCaseRepeatsTheIdentityAndChangesNothing) {
  Answer("position fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1");
  Lines lines;
  for (const char* hello : {"uci", "UCI", "Uci ", "uci\t\r"}) {
    engine.Send(hello);
    lines.clear();
    ASSERT_TRUE(engine.ReadUntil("uciok", 5000, &lines)) << hello;
    EXPECT_EQ(lines, kIdentity) << hello;
  }
  EXPECT_EQ(Answer("isready"), Lines{}) << "no new tablebase set-up";
  engine.Send("go depth 3");
  EXPECT_EQ(BestMove(20000).value_or("").substr(0, 13), "bestmove a1a8");
  Answer("position startpos");
  engine.Send("go infinite");
  engine.Send("uci");
  lines.clear();
  ASSERT_TRUE(engine.ReadUntil("uciok", 5000, &lines));
  std::erase_if(lines, [](const std::string& l) { return l.starts_with("info "); });
  EXPECT_EQ(lines, kIdentity);
  EXPECT_FALSE(engine.ReadUntil("bestmove", 200)) << "the search goes on";
  engine.Send("stop");
  EXPECT_TRUE(engine.ReadUntil("bestmove", 5000));
}

}  // namespace

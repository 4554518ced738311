// The command loop and the "position" command as an interface sees them: the
// real binary over pipes.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "protocol/protocol_test_util.h"
#include "support/engine_process.h"
#include "support/engine_session.h"

namespace {

using Lines = std::vector<std::string>;

const Lines kIdentity = {
    "id name Vostrak 2.9f",
    "id author the Vostrak developers",
    "option name Hash type spin default 32 min 1 max 1024",
    "option name NalimovCache type spin default 8 min 1 max 1024",
    "option name NalimovPath type string default C:\\Nalimov",
    "option name Threads type spin default 1 min 1 max 8",
    "option name Move Overhead type spin default 30 min 0 max 5000",
    "option name Ponder type check default false",
    "option name Clear Hash type button",
    "uciok",
};

// "quit" or the end of input ends the engine, before "uci" or after it.
// Trailing blanks, tabs and carriage returns are no part of either word.
TEST(UciLoop, UciInAnyCaseGivesTheIdentityAndOptions) {
  for (const char* hello : {"uci", "UCI", "Uci ", "uci\t\r"}) {
    EngineProcess engine;
    engine.Send(hello);
    Lines lines;
    engine.ReadUntil("uciok", 5000, &lines);
    EXPECT_EQ(lines, kIdentity) << hello;
    if (hello[1] == 'C') engine.Send("quit \t");
    else engine.CloseInput();
    EXPECT_EQ(engine.WaitExit(2000), 0) << hello;
  }
}

TEST(UciLoop, LinesBeforeUciGetNoReply) {
  for (bool quit : {true, false}) {
    EngineProcess engine;
    for (const char* line : {"isready", "hello", "position startpos", " uci"}) engine.Send(line);
    if (quit) engine.Send("QUIT\r");
    else engine.CloseInput();
    EXPECT_EQ(engine.WaitExit(2000), 0) << quit;
    EXPECT_FALSE(engine.ReadLine(100)) << quit;
  }
}

// A client library reads every spin option as "type spin default X min Y
// max Z", in that order, and needs the default within the range.
TEST(UciLoop, SpinOptionsParseInTheConventionalOrder) {
  Lines spins;
  for (const std::string& line : kIdentity) {
    std::istringstream words(line);
    std::string word;
    std::string name;
    words >> word;
    if (word != "option") continue;
    words >> word;  // "name"
    while (words >> word && word != "type") name += (name.empty() ? "" : " ") + word;
    words >> word;
    if (word != "spin") continue;
    spins.push_back(name);
    std::string defaultKey, minKey, maxKey;
    long defaultValue = -1, min = -1, max = -1;
    words >> defaultKey >> defaultValue >> minKey >> min >> maxKey >> max;
    ASSERT_FALSE(words.fail()) << line;
    EXPECT_EQ(defaultKey + minKey + maxKey, "defaultminmax") << line;
    EXPECT_TRUE(min <= defaultValue && defaultValue <= max) << line;
    EXPECT_FALSE(words >> word) << "nothing after max: " << line;
  }
  EXPECT_EQ(spins, (Lines{"Hash", "NalimovCache", "Threads", "Move Overhead"}));
}

// Everything the engine prints is a UCI reply; its own remarks travel as
// "info string" lines, which every client accepts. Bad input of every kind,
// including the first "isready" with its tablebase set-up.
TEST(UciLoop, EveryLineIsAProtocolReply) {
  EngineProcess engine;
  const char* const session[] = {
      "uci",
      "isready",
      "setoption name Hash value abc",
      "setoption name Threads value many",
      "setoption name NalimovCache value 1.5",
      "setoption name Move Overhead value fast",
      "setoption name NalimovPath value /nonexistent/tablebases",
      "isready",
      "position startpos moves e2e4 e2e4 zz e7e5 e1e3",
      "position fen 4k3/8/8/8/8/8/8/4K2K w - -",
      "position fen 4k3/8/8/8/8/8/PPPPPPPP/QQ2K3 w - - 0 1",
      "position fen 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1 moves e2e5",
      "go depth 2",
  };
  for (const char* line : session) engine.Send(line);
  Lines lines;
  ASSERT_TRUE(engine.ReadUntil("bestmove", 20000, &lines));
  engine.Send("uci");
  engine.Send("isready");
  ASSERT_TRUE(engine.ReadUntil("readyok", 20000, &lines));
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
  for (auto more = engine.ReadLine(100); more; more = engine.ReadLine(100)) lines.push_back(*more);
  const char* const replies[] = {"id ", "option ", "uciok", "readyok", "info ", "bestmove "};
  int remarks = 0;
  for (const std::string& line : lines) {
    EXPECT_TRUE(std::any_of(std::begin(replies), std::end(replies), [&](const char* reply) { return line.starts_with(reply); }))
        << "not a UCI reply: '" << line << "'";
    remarks += line.starts_with("info string ");
  }
  // Init EGTB twice, four bad numbers, three bad moves, three refused FENs.
  EXPECT_GE(remarks, 12);
}

// An engine past "uci" and its first "isready".
class UciSession : public EngineSession {};

TEST_F(UciSession, IsreadyIsAnsweredAndUnknownLinesIgnored) {
  // The first "isready" initialises the tablebases, and the library answers
  // without any directory set; later ones only answer.
  EXPECT_EQ(firstReady, Lines{"info string Init EGTB"});
  for (const char* line : {"foo bar", "", " isready", " uci", " go", "stop"}) engine.Send(line);
  EXPECT_TRUE(engine.ReadFor(300).empty()) << "a leading blank is no exact match; stop when idle prints nothing";
  EXPECT_EQ(Answer("isready"), Lines{});
  // A bad number costs one line, and the engine goes on.
  EXPECT_EQ(Answer("setoption name Hash value abc"), Lines{"info string EConvertError: 'abc' is not a valid integer value"});
}

TEST_F(UciSession, IsreadyWithTrailingBlanksIsAnswered) {
  for (const char* ready : {"isready ", "isready\t", "isready\r", "isready \t\r "}) {
    engine.Send(ready);
    EXPECT_EQ(engine.ReadLine(2000), "readyok") << "'" << ready << "'";
  }
}

// "uci" again repeats the whole answer and changes nothing: the position
// set up before it is still the one searched, also when it comes mid-search.
TEST_F(UciSession, SecondUciRepeatsTheIdentity) {
  Answer("position fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1");
  engine.Send("uci");
  Lines lines;
  ASSERT_TRUE(engine.ReadUntil("uciok", 5000, &lines));
  EXPECT_EQ(lines, kIdentity);
  EXPECT_EQ(Answer("isready"), Lines{}) << "no new tablebase set-up";
  engine.Send("go depth 3");
  EXPECT_EQ(engine.ReadUntil("bestmove", 20000).value_or("").substr(0, 13), "bestmove a1a8");

  // Mid-search the answer comes at once and the search goes on until "stop".
  Answer("position startpos");
  engine.Send("go infinite");
  engine.ReadFor(200);
  engine.Send("uci");
  lines.clear();
  ASSERT_TRUE(engine.ReadUntil("uciok", 5000, &lines));
  lines.erase(std::remove_if(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("info "); }),
              lines.end());
  EXPECT_EQ(lines, kIdentity);
  const Lines after = engine.ReadFor(200);
  EXPECT_TRUE(std::none_of(after.begin(), after.end(), [](const std::string& l) { return l.starts_with("bestmove"); }))
      << "the search goes on";
  engine.Send("stop");
  EXPECT_TRUE(engine.ReadUntil("bestmove", 5000));
}

// Our tablebase library needs no directory, so a new user's engine probes
// from the first "isready" on. In these king and pawn endings one move wins
// and a one-ply search alone prefers another, which draws.
TEST_F(UciSession, TablebaseDecidesWithoutNalimovPath) {
  const std::pair<const char*, const char*> cases[] = {
      {"3k4/5K2/8/8/8/8/1P6/8 w - - 0 1", "bestmove f7e6"},  // not b2b4
      {"8/8/8/3k4/8/8/2KP4/8 w - - 0 1", "bestmove c2d3"},   // not c2b3
  };
  for (const auto& [fen, answer] : cases) {
    Answer(std::string("position fen ") + fen);
    engine.Send("go depth 1");
    EXPECT_EQ(engine.ReadUntil("bestmove", 10000).value_or("").substr(0, 13), answer) << fen;
  }
}

TEST_F(UciSession, IllegalMoveIsReportedOnce) {
  const std::string illegal = "info string Illegal Move !!";
  EXPECT_EQ(Answer("position startpos moves e2e4 e7e5 e1e2"), Lines{});
  EXPECT_EQ(Answer("position startpos moves e2e4 e7e5 e1e3"), Lines{illegal});
  // Still after 1. e4 e5: the king may go to e2, the bishop out.
  EXPECT_EQ(Answer("position startpos moves e2e4 e7e5 e1e3 e1e2 xx f8c5"), (Lines{illegal, illegal}));
}

TEST_F(UciSession, MalformedFensAreRefusedWithOneLine) {
  for (const char* fen : protocol_test::RefusedFens) {
    const Lines lines = Answer(std::string("position fen ") + fen + " moves e2e4");
    ASSERT_EQ(lines.size(), 1u) << fen;
    EXPECT_EQ(lines[0].rfind("info string ", 0), 0u) << fen << ": " << lines[0];
  }
  EXPECT_EQ(Answer("position fen 4k3/8/8/8/8/8/4P3/4K3 w moves e2e4 e8d7"), Lines{});
}

TEST_F(UciSession, AThousandPlyGameInOneCommand) {
  std::string command = "position startpos moves";
  const char* const shuffle[] = {"b1c3", "b8c6", "c3b1", "c6b8"};
  for (int ply = 0; ply < 1000; ++ply) command += std::string(" ") + shuffle[ply % 4];
  EXPECT_EQ(Answer(command), Lines{});
  EXPECT_EQ(Answer(command + " e2e4 e7e5 e1e3"), Lines{"info string Illegal Move !!"});
}

}  // namespace

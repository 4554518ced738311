// The interactive "test" command through the real binary, with small EPD
// files in a directory of the test's own, where the run writes its results.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "platform/files.h"
#include "support/engine_process.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const char* const BK01 = "1k1r4/pp1b1R2/3q2pp/4p3/2B5/4Q3/PPP2B2/2K5 b - - bm Qd1+; id \"BK.01\";";
const char* const BK02 = "3r1k2/4npp1/1ppr3p/p6P/P2PPPP1/1NR5/5K2/2R5 w - - bm d5; id \"BK.02\";";
const char* const BK03 = "2q1rr1k/3bbnnp/p2p1pp1/2pPp3/PpP1P1P1/1P2BNNP/2BQ1PRK/7R b - - bm f5; id \"BK.03\";";
const char* const Short63 = "2q1rr1k/3bbnnp/p2p1pp1/2pPp3/PpP1P1P1/1P2BNNP/2BQ1PRK/6R b - - bm f5;";

class UciEpdTestRun : public ::testing::Test {
 protected:
  // A directory of the test's own, made before the engine starts in it.
  static fs::path FreshDir() {
    const fs::path dir = fs::temp_directory_path() / ("vostrak-epd-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
  }
  void SetUp() override {
    engine.Send("uci");
    ASSERT_TRUE(engine.ReadUntil("uciok"));
  }
  void TearDown() override {
    engine.Send("quit");
    EXPECT_EQ(engine.WaitExit(), 0);
    fs::remove_all(dir);
  }
  void WriteEpd(const std::string& name, const Lines& lines) { WriteTextLines(dir / name, lines); }
  Lines FileLines(const std::string& name) const {
    Lines lines;
    ReadTextLines(dir / name, lines);
    return lines;
  }
  // Starts "test" and answers the first three questions.
  void Start(const std::string& mirror, const std::string& path, const std::string& depth) {
    engine.Send("test");
    Reply({"miroir ? (y):"}, mirror);
    Reply({mirror == "y" || mirror == "Y" ? "Miroir on" : "Miroir off", "path of EPD file:"}, path);
    if (path.find(".epd") != std::string::npos && fs::exists(dir / path)) Reply({"depth:"}, depth);
  }
  void Expect(const Lines& expected) {
    for (const std::string& line : expected) EXPECT_EQ(engine.ReadLine(60000).value_or("<nothing>"), line);
  }
  void Reply(const Lines& questions, const std::string& answer) {
    Expect(questions);
    engine.Send(answer);
  }
  // Lines up to and including the one starting with `last`.
  Lines ReadThrough(const std::string& last) {
    Lines seen;
    EXPECT_TRUE(engine.ReadUntil(last, 120000, &seen)) << "no line " << last;
    return seen;
  }
  void SaveAs(const std::string& name) {
    Reply({"save the results ? (y):"}, "y");
    Reply({"file name:"}, name);
    Expect({"\"results saved...quit\""});
  }

  const fs::path dir = FreshDir();
  EngineProcess engine{{}, dir.string()};
};

TEST_F(UciEpdTestRun, RunsWriteOneResultPerPositionAndSaveThem) {
  WriteEpd("three.epd", {BK01, BK02, BK03});
  Start("n", "three.epd", "3");
  Expect({"Press \"Enter\" to abort the test", "Begining..."});
  const Lines results = ReadThrough("...end");
  ASSERT_EQ(results.size(), 4u);
  EXPECT_TRUE(results[0].starts_with("1.Qd1+: move d6d1 (")) << results[0];
  EXPECT_TRUE(results[1].starts_with("2.d5: move ") && results[2].starts_with("3.f5: move ")) << results[1];
  SaveAs("run1");
  EXPECT_FALSE(fs::exists(dir / "_temp"));
  Lines saved = FileLines("run1.txt");
  ASSERT_EQ(saved.size(), 6u);
  EXPECT_EQ(saved[0], "three.epd - Prof:3 - Hash:1mo");
  EXPECT_TRUE(saved[1].empty() && saved[5].empty());
  for (int i = 0; i < 3; ++i)  // "(score)" on the console is "[score]" in the file
    EXPECT_EQ(saved[2 + i], std::regex_replace(results[i], std::regex(" \\((.*)\\)$"), " [$1]"));
  // The mirror mode searches every position twice and counts differences.
  WriteEpd("two.epd", {BK01, BK02});
  Start("Y", "two.epd", "3");
  ReadThrough("...end");
  Expect({"Tests différents: 0"});
  SaveAs("");
  saved = FileLines("TestEPD.txt");
  ASSERT_EQ(saved.size(), 8u);
  EXPECT_EQ(saved[0], "two.epd - Prof:3 - Hash:1mo - Test Miroir");
  EXPECT_TRUE(saved[2].starts_with("1.Qd1+: move d6d1 [") && saved[3].starts_with("1.Qd1+: move d3d8 [")) << saved[3];
  EXPECT_TRUE(saved[4].starts_with("2.d5: ") && saved[5].starts_with("2.d5: "));
  EXPECT_EQ(saved[7], "Tests différents: 0");
}

// Each refusal costs one line and the engine goes on; not saving deletes the results.
TEST_F(UciEpdTestRun, BadAnswersShortPlacementsAndNotSaving) {
  WriteEpd("one.Epd", {BK01});
  WriteEpd("cut.epd", {BK01, BK02, Short63, BK03});
  for (const auto& [path, depth, answer] : {std::tuple{"one.Epd", "", "\"file not found...abort\""},
                                            std::tuple{"missing.epd", "", "\"file not found...abort\""},
                                            std::tuple{"cut.epd", "deep", "\"Invalid depth...abort\""}}) {
    Start("n", path, depth);
    Expect({answer});
  }
  Start("n", "cut.epd", "2");
  engine.Send("n");  // answers sent ahead wait for their questions
  EXPECT_EQ(ReadThrough("...end").size(), 5u) << "a short placement ends the list: two searches";
  Expect({"save the results ? (y):", "\"not saved...quit\""});
  EXPECT_FALSE(fs::exists(dir / "_temp"));
  engine.Send("isready");  // the engine serves again, its tables rebuilt
  EXPECT_TRUE(engine.ReadUntil("readyok", 60000));
}

// Enter ends a run after the search under way (perhaps one more on a busy
// machine); the end of input ends the run and then the program.
TEST_F(UciEpdTestRun, EnterOrTheEndOfInputEndsTheRun) {
  WriteEpd("long.epd", Lines(12, BK02));  // twelve searches that take a while
  Start("n", "long.epd", "9");
  ReadThrough("Begining...");
  EXPECT_TRUE(engine.ReadLine(60000).value_or("").starts_with("1.d5: move "));
  engine.Send("");
  EXPECT_LT(ReadThrough("...end").size(), 5u);
  SaveAs("part");
  EXPECT_LT(FileLines("part.txt").size(), 8u);
  Start("n", "long.epd", "9");
  ReadThrough("Begining...");
  engine.CloseInput();
  ReadThrough("...end");
  Expect({"save the results ? (y):", "\"not saved...quit\""});
  EXPECT_EQ(engine.WaitExit(20000), 0);
  EXPECT_FALSE(fs::exists(dir / "_temp"));
}

}  // namespace

// The interactive "test" command through the real binary, with small EPD
// files in a directory of the test's own, where the run writes its results.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "support/engine_process.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const char* const BK01 = "1k1r4/pp1b1R2/3q2pp/4p3/2B5/4Q3/PPP2B2/2K5 b - - bm Qd1+; id \"BK.01\";";
const char* const BK02 = "3r1k2/4npp1/1ppr3p/p6P/P2PPPP1/1NR5/5K2/2R5 w - - bm d5; id \"BK.02\";";
const char* const BK03 = "2q1rr1k/3bbnnp/p2p1pp1/2pPp3/PpP1P1P1/1P2BNNP/2BQ1PRK/7R b - - bm f5; id \"BK.03\";";
const char* const Short63 = "2q1rr1k/3bbnnp/p2p1pp1/2pPp3/PpP1P1P1/1P2BNNP/2BQ1PRK/6R b - - bm f5;";

// The command reads the console and writes files; it runs in the UCI loop.
class UciEpdTestRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("vostrak-epd-" + std::to_string(::getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    engine = std::make_unique<EngineProcess>(std::vector<std::string>{}, dir.string());
    engine->Send("uci");
    ASSERT_TRUE(engine->ReadUntil("uciok"));
  }
  void TearDown() override {
    engine->Send("quit");
    EXPECT_EQ(engine->WaitExit(), 0);
    fs::remove_all(dir);
  }
  void WriteEpd(const std::string& name, const Lines& lines) {
    std::ofstream out(dir / name);
    for (const std::string& line : lines) out << line << '\n';
  }
  Lines FileLines(const std::string& name) const {
    std::ifstream in(dir / name);
    Lines lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  bool Exists(const std::string& name) const { return fs::exists(dir / name); }
  // Starts "test" and answers the first three questions.
  void Start(const std::string& mirror, const std::string& path, const std::string& depth) {
    engine->Send("test");
    Reply({"miroir ? (y):"}, mirror);
    Reply({mirror == "y" || mirror == "Y" ? "Miroir on" : "Miroir off", "path of EPD file:"}, path);
    if (path.find(".epd") != std::string::npos && Exists(path)) Reply({"depth:"}, depth);
  }
  void Expect(const Lines& expected) {
    for (const std::string& line : expected) EXPECT_EQ(engine->ReadLine(60000).value_or("<nothing>"), line);
  }
  void Reply(const Lines& questions, const std::string& answer) {
    Expect(questions);
    engine->Send(answer);
  }
  // Lines up to and including the one starting with `last`.
  Lines ReadThrough(const std::string& last) {
    Lines seen;
    EXPECT_TRUE(engine->ReadUntil(last, 120000, &seen)) << "no line " << last;
    return seen;
  }
  void SaveAs(const std::string& name, bool saved = true) {
    Reply({"save the results ? (y):"}, "y");
    Reply({"file name:"}, name);
    if (saved) Expect({"\"results saved...quit\""});
  }
  // The first isready after a run builds the tablebase tables again, which
  // takes seconds in a sanitizer build on a loaded machine.
  void ExpectEngineServes() {
    engine->Send("isready");
    EXPECT_TRUE(engine->ReadUntil("readyok", 60000));
  }

  fs::path dir;
  std::unique_ptr<EngineProcess> engine;
};

TEST_F(UciEpdTestRun, RunsWriteOneResultPerPositionAndSaveThem) {
  WriteEpd("three.epd", {BK01, BK02, BK03});
  Start("n", "three.epd", "3");
  Expect({"Press \"Enter\" to abort the test", "Begining..."});
  const Lines results = ReadThrough("...end");
  ASSERT_EQ(results.size(), 4u);
  EXPECT_TRUE(results[0].starts_with("1.Qd1+: move d6d1 (")) << results[0];
  EXPECT_TRUE(results[1].starts_with("2.d5: move ")) << results[1];
  EXPECT_TRUE(results[2].starts_with("3.f5: move ")) << results[2];
  SaveAs("run1");
  EXPECT_FALSE(Exists("_temp"));
  Lines saved = FileLines("run1.txt");
  ASSERT_EQ(saved.size(), 6u);
  EXPECT_EQ(saved[0], "three.epd - Prof:3 - Hash:1mo");
  EXPECT_TRUE(saved[1].empty() && saved[5].empty());
  // "label: move m (score)" on the console is "label: move m [score]" in the file.
  for (int i = 0; i < 3; ++i) {
    std::string line = results[i];
    line.replace(line.rfind(" ("), 2, " [");
    line.back() = ']';
    EXPECT_EQ(saved[2 + i], line);
  }
  ExpectEngineServes();  // with one thread and one megabyte of tables left behind
  // The mirror mode searches every position twice and counts differences.
  WriteEpd("two.epd", {BK01, BK02});
  Start("Y", "two.epd", "3");
  ReadThrough("...end");
  Expect({"Tests différents: 0"});
  SaveAs("");
  saved = FileLines("TestEPD.txt");
  ASSERT_EQ(saved.size(), 8u);
  EXPECT_EQ(saved[0], "two.epd - Prof:3 - Hash:1mo - Test Miroir");
  EXPECT_TRUE(saved[2].starts_with("1.Qd1+: move d6d1 [")) << saved[2];
  EXPECT_TRUE(saved[3].starts_with("1.Qd1+: move d3d8 [")) << saved[3] << " (the mirrored mate)";
  EXPECT_TRUE(saved[4].starts_with("2.d5: ") && saved[5].starts_with("2.d5: "));
  for (int i = 2; i < 6; ++i) EXPECT_EQ(saved[i].find('?'), std::string::npos) << saved[i];
  EXPECT_EQ(saved[7], "Tests différents: 0");
  // A short placement ends the list.
  WriteEpd("cut.epd", {BK01, BK02, Short63, BK03});
  Start("n", "cut.epd", "2");
  engine->Send("y");  // answers sent ahead wait for their questions, the empty name included
  engine->Send("");
  EXPECT_EQ(ReadThrough("...end").size(), 5u) << "two searches, and the two opening lines";
  Expect({"save the results ? (y):", "file name:", "\"results saved...quit\""});
  EXPECT_EQ(FileLines("TestEPD.txt").size(), 5u);
}

// Each refusal and failure costs one line and the engine goes on.
TEST_F(UciEpdTestRun, BadAnswersAndUnwritableFilesEndTheRunWithOneLine) {
  WriteEpd("one.Epd", {BK01});
  WriteEpd("one.epd", {BK01});
  for (const auto& [path, depth, answer] : {std::tuple{"one.Epd", "", "\"file not found...abort\""},
                                            std::tuple{"missing.epd", "", "\"file not found...abort\""},
                                            std::tuple{"one.epd", "deep", "\"Invalid depth...abort\""}}) {
    Start("n", path, depth);
    Expect({answer});
  }
  Start("n", "one.epd", "2");  // not saving deletes the results
  ReadThrough("...end");
  Reply({"save the results ? (y):"}, "n");
  Expect({"\"not saved...quit\""});
  EXPECT_FALSE(Exists("_temp"));
  fs::create_directory(dir / "_temp");  // no results file: no search
  Start("n", "one.epd", "2");
  Expect({"Press \"Enter\" to abort the test", "Begining..."});
  std::string line = engine->ReadLine(60000).value_or("");
  EXPECT_TRUE(line.starts_with("info string cannot create _temp")) << line;
  ExpectEngineServes();
  fs::remove(dir / "_temp");
  fs::create_directory(dir / "run1.txt");  // a failed rename keeps the results
  Start("n", "one.epd", "2");
  ReadThrough("...end");
  SaveAs("run1", false);
  line = engine->ReadLine(60000).value_or("");
  EXPECT_TRUE(line.starts_with("info string could not rename _temp to run1.txt")) << line;
  EXPECT_EQ(FileLines("_temp").size(), 4u);
  ExpectEngineServes();
}

// Enter ends a run after the search under way (perhaps one more on a busy
// machine); the end of input ends the run and then the program.
TEST_F(UciEpdTestRun, EnterOrTheEndOfInputEndsTheRun) {
  WriteEpd("long.epd", Lines(12, BK02));  // twelve searches that take a while
  Start("n", "long.epd", "9");
  ReadThrough("Begining...");
  EXPECT_TRUE(engine->ReadLine(60000).value_or("").starts_with("1.d5: move "));
  engine->Send("");
  EXPECT_LT(ReadThrough("...end").size(), 5u);
  SaveAs("part");
  EXPECT_LT(FileLines("part.txt").size(), 8u);
  Start("n", "long.epd", "9");
  ReadThrough("Begining...");
  engine->CloseInput();
  ReadThrough("...end");
  Expect({"save the results ? (y):", "\"not saved...quit\""});
  EXPECT_EQ(engine->WaitExit(20000), 0);
  EXPECT_FALSE(Exists("_temp"));
}

}  // namespace

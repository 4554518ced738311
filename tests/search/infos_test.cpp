// The "info" lines of a search and which thread's lines reach the interface.
#include <gtest/gtest.h>

#include <regex>

#include "platform/console.h"
#include "platform/system.h"
#include "search/control.h"
#include "search/infos.h"
#include "search/time_control.h"

namespace {

constexpr TMove E2E4{52, 36, 0, 0};

class Infos : public ::testing::Test {
 protected:
  void SetUp() override {
    NoInfoOutput = false;
    StartTick = Ticks();
    TInfos::Init();
    best.m = E2E4;
  }
  void TearDown() override {
    NoInfoOutput = false;
    TInfos::Init();
  }
  std::string Total(std::int32_t depth, std::int32_t score, std::int32_t id, std::uint32_t nodes = 1000) {
    OutputCapture capture;
    TInfos::Total(best, depth, score, id, nodes);
    return capture.Text();
  }
  std::string EnCours(int i, std::int32_t id) {
    OutputCapture capture;
    TInfos::EnCours(E2E4, i, 9, id);
    return capture.Text();
  }

  TBest best;
};

TEST_F(Infos, IterationLinesStartAtDepthSevenWithScoresInCentipawns) {
  EXPECT_EQ(Total(6, 35, 1), "");
  EXPECT_EQ(InfoThread, 1);
  EXPECT_EQ(InfoScore, 35);

  StartTick = Ticks() - 1500;
  const std::string line = Total(7, 35, 1, 12345);
  std::smatch match;
  ASSERT_TRUE(std::regex_match(line, match, std::regex("info depth 7 score cp 35 time (\\d+) nodes 12345 pv e2e4\n")))
      << line;
  EXPECT_GE(std::stoi(match[1]), 1500);
  EXPECT_LT(std::stoi(match[1]), 60000);

  // A mate is printed as its raw score, never in the "mate" form.
  EXPECT_NE(Total(12, 9993, 1).find(" score cp 9993 "), std::string::npos);
  EXPECT_NE(Total(12, -9990, 1).find(" score cp -9990 "), std::string::npos);
}

TEST_F(Infos, AnotherThreadTakesTheVoiceOnlyWithABetterScore) {
  Total(8, 30, 1);
  EXPECT_EQ(Total(8, 30, 2), "");  // equal is not better
  EXPECT_EQ(InfoThread, 1);
  EXPECT_NE(Total(8, 31, 2), "");
  EXPECT_EQ(InfoThread, 2);
  EXPECT_EQ(InfoScore, 31);

  EXPECT_EQ(Total(8, 31, 1), "");
  EXPECT_NE(Total(9, 10, 2), "");  // the voice reports its own drops
  EXPECT_EQ(InfoScore, 10);
  EXPECT_NE(Total(9, 11, 1), "");
  EXPECT_EQ(InfoThread, 1);
}

TEST_F(Infos, CurrentMoveComesFromTheThreadWithTheVoiceOutsideTestMode) {
  EXPECT_EQ(EnCours(0, 1), "");  // nobody has the voice yet
  Total(1, 0, 1);
  EXPECT_EQ(EnCours(2, 1), "info currmove e2e4 currmovenumber 3\n");
  EXPECT_EQ(EnCours(2, 2), "");

  TInfos::Init();
  NoInfoOutput = true;  // test mode: silent, and nobody takes the voice
  EXPECT_EQ(Total(10, 50, 2), "");
  EXPECT_EQ(InfoThread, 0);
  EXPECT_EQ(InfoScore, NoScore);
  InfoThread = 2;
  EXPECT_EQ(EnCours(0, 2), "");
}

}  // namespace

// The "info" lines of a search and which thread's lines reach the interface.
// The end-to-end InfoLines tests see the answer's own line.
#include <gtest/gtest.h>

#include <memory>

#include "platform/console.h"
#include "platform/system.h"
#include "search/control.h"
#include "search/infos.h"
#include "search/search.h"
#include "search/time_control.h"

namespace {

constexpr TMove E2E4{52, 36, 0, 0}, E7E5{12, 28, 0, 0}, G1F3{62, 45, 0, 0};

// Either side of the mate bound, and an even distance as the table may give
// it; the usual mates are seen in the engine's own lines.
TEST(InfoScore, MateScoresAreCountedInMovesFromTheSideToMove) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {MateBound, "cp 9000"}, {-MateBound, "cp -9000"}, {MateBound + 1, "mate 500"},
      {-MateBound - 1, "mate -499"}, {MateScore - 6, "mate 3"}, {4 - MateScore, "mate -2"},
  };
  for (const auto& [score, text] : cases) EXPECT_EQ(TInfos::ScoreText(score), text) << score;
}

TEST(InfoLine, CarriesTheFiguresInOrderAndTheWholeLine) {
  TBest best;
  best.m = E2E4;
  const TMove line[] = {E7E5, G1F3};
  best.pv.SetMoveAndRest(E2E4, line, 2);
  EXPECT_EQ(TInfos::DepthLine({9, MateScore - 3, 1500, 3000, 17}, best),
            "info depth 9 score mate 2 time 1500 nodes 3000 nps 2000 hashfull 17 pv e2e4 e7e5 g1f3");
  // No time elapsed yet: the rate is taken over one millisecond.
  EXPECT_EQ(TInfos::DepthLine({7, -12, 0, 40, 0}, best),
            "info depth 7 score cp -12 time 0 nodes 40 nps 40000 hashfull 0 pv e2e4 e7e5 g1f3");
  // A line that does not start with the best move, or none, is not shown.
  best.m = G1F3;
  for (int length : {3, 0}) {
    best.pv.length = length;
    EXPECT_EQ(TInfos::DepthLine({8, 5, 10, 10, 1}, best),
              "info depth 8 score cp 5 time 10 nodes 10 nps 1000 hashfull 1 pv g1f3");
  }
}

class Infos : public ::testing::Test {
 protected:
  void SetUp() override {
    NoInfoOutput = false;
    StartTick = Ticks();
    TInfos::Init();
    best.m = E2E4;
    best.pv.SetMove(E2E4);
    thread->TransTable = std::make_unique<TTranspositionTable>(1);
  }
  void TearDown() override {
    NoInfoOutput = false;
    TInfos::Init();
  }
  std::string Total(std::int32_t depth, std::int32_t score, std::int32_t id) {
    OutputCapture capture;
    TInfos::Total(best, depth, score, id, 1000, *thread->TransTable);
    return capture.Text();
  }
  std::string EnCours(int i, std::int32_t id) {
    OutputCapture capture;
    TInfos::EnCours(E2E4, i, 9, id);
    return capture.Text();
  }
  TBest best;
  std::unique_ptr<TThreadSearch> thread = std::make_unique<TThreadSearch>(1);
};

// Iteration lines start at depth 7; another thread takes the voice only
// with a better score, and the voice reports its own drops.
TEST_F(Infos, IterationLinesFromDepthSevenAndTheVoicePassesOnlyForABetterScore) {
  EXPECT_EQ(Total(6, 35, 1), "");
  EXPECT_EQ(InfoThread, 1);
  EXPECT_EQ(Total(7, 35, 1).rfind("info depth 7 score cp 35 time ", 0), 0u);
  EXPECT_EQ(Total(8, 35, 2), "");
  EXPECT_EQ(InfoThread, 1);
  EXPECT_NE(Total(8, 36, 2), "");
  EXPECT_EQ(InfoThread, 2);
  EXPECT_EQ(InfoScore, 36);
  EXPECT_EQ(Total(8, 36, 1), "");
  EXPECT_NE(Total(9, 10, 2), "");
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
  OutputCapture capture;
  TInfos::Final(*thread);
  EXPECT_EQ(capture.Text(), "");
  EXPECT_EQ(InfoThread, 0);
  EXPECT_EQ(InfoScore, NoScore);
  InfoThread = 2;
  EXPECT_EQ(EnCours(0, 2), "");
}

}  // namespace

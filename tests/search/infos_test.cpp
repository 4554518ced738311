// The "info" lines of a search and which thread's lines reach the interface.
#include <gtest/gtest.h>

#include <memory>
#include <regex>

#include "platform/console.h"
#include "platform/system.h"
#include "search/control.h"
#include "search/infos.h"
#include "search/search.h"
#include "search/time_control.h"

namespace {

constexpr TMove E2E4{52, 36, 0, 0};
constexpr TMove E7E5{12, 28, 0, 0};
constexpr TMove G1F3{62, 45, 0, 0};

TEST(InfoScore, MateScoresAreCountedInMovesFromTheSideToMove) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {0, "cp 0"},
      {35, "cp 35"},
      {-120, "cp -120"},
      {MateBound, "cp 9000"},  // the bound itself is not a mate
      {-MateBound, "cp -9000"},
      {MateBound + 1, "mate 500"},
      {-MateBound - 1, "mate -499"},
      {MateScore - 1, "mate 1"},   // mates with its first move
      {MateScore - 3, "mate 2"},
      {MateScore - 5, "mate 3"},
      {MateScore - 6, "mate 3"},   // an even distance as the table may give it
      {2 - MateScore, "mate -1"},  // mated after its first move
      {4 - MateScore, "mate -2"},
      {-MateScore, "mate 0"},      // mated on the board
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
  // A line that does not start with the best move is not shown with it.
  best.m = G1F3;
  EXPECT_EQ(TInfos::DepthLine({8, 5, 10, 10, 1}, best),
            "info depth 8 score cp 5 time 10 nodes 10 nps 1000 hashfull 1 pv g1f3");
  best.pv.length = 0;
  EXPECT_EQ(TInfos::DepthLine({8, 5, 10, 10, 1}, best),
            "info depth 8 score cp 5 time 10 nodes 10 nps 1000 hashfull 1 pv g1f3");
}

class Infos : public ::testing::Test {
 protected:
  void SetUp() override {
    NoInfoOutput = false;
    StartTick = Ticks();
    TInfos::Init();
    best.m = E2E4;
    best.pv.SetMove(E2E4);
    thread->HashClass = std::make_unique<THashClass>(1);
  }
  void TearDown() override {
    NoInfoOutput = false;
    RootInCheck = false;
    TInfos::Init();
  }
  std::string Total(std::int32_t depth, std::int32_t score, std::int32_t id, std::uint32_t nodes = 1000) {
    OutputCapture capture;
    TInfos::Total(best, depth, score, id, nodes, *thread->HashClass);
    return capture.Text();
  }
  std::string Final() {
    OutputCapture capture;
    TInfos::Final(*thread);
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

TEST_F(Infos, IterationLinesStartAtDepthSeven) {
  EXPECT_EQ(Total(6, 35, 1), "");
  EXPECT_EQ(InfoThread, 1);
  EXPECT_EQ(InfoScore, 35);
  StartTick = Ticks() - 1500;
  const std::string line = Total(7, 35, 1, 12345);
  std::smatch match;
  ASSERT_TRUE(std::regex_match(
      line, match, std::regex("info depth 7 score cp 35 time (\\d+) nodes 12345 nps (\\d+) hashfull 0 pv e2e4\n")))
      << line;
  EXPECT_GE(std::stoi(match[1]), 1500);
  EXPECT_LT(std::stoi(match[1]), 60000);
  EXPECT_EQ(std::stoll(match[2]), 12345LL * 1000 / std::stoll(match[1]));
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

TEST_F(Infos, TheAnswersLineIsPrintedWhateverItsDepthAndTheVoice) {
  struct Case { std::uint32_t bestProf; std::int32_t score; const char* expected; };
  const Case cases[] = {
      {3, MateScore - 1, "info depth 3 score mate 1 time \\d+ nodes 500 nps \\d+ hashfull 0 pv e2e4\n"},
      {12, -40, "info depth 12 score cp -40 time \\d+ nodes 500 nps \\d+ hashfull 0 pv e2e4\n"},
      // A shortcut (a single reply, a tablebase move) had no iteration.
      {0, 0, "info depth 1 score cp 0 time \\d+ nodes 500 nps \\d+ hashfull 0 pv e2e4\n"},
  };
  Total(9, 300, 2);  // another thread has the voice with a better score
  thread->Nodes = 500;
  for (const Case& c : cases) {
    thread->Best = best;
    thread->Best.Depth = c.bestProf;
    thread->Best.score = c.score;
    const std::string line = Final();
    EXPECT_TRUE(std::regex_match(line, std::regex(c.expected))) << line;
  }
}

TEST_F(Infos, CurrentMoveComesFromTheThreadWithTheVoiceOutsideTestMode) {
  EXPECT_EQ(EnCours(0, 1), "");  // nobody has the voice yet
  Total(1, 0, 1);
  EXPECT_EQ(EnCours(2, 1), "info currmove e2e4 currmovenumber 3\n");
  EXPECT_EQ(EnCours(2, 2), "");
  TInfos::Init();
  NoInfoOutput = true;  // test mode: silent, and nobody takes the voice
  EXPECT_EQ(Total(10, 50, 2), "");
  EXPECT_EQ(Final(), "");
  EXPECT_EQ(InfoThread, 0);
  EXPECT_EQ(InfoScore, NoScore);
  InfoThread = 2;
  EXPECT_EQ(EnCours(0, 2), "");
}

}  // namespace

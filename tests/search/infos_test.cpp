// The "info" lines of a search and which thread's reach the interface; the
// lines kept for MultiPV. (InfoLines sees the answer's own line end to end.)
#include <gtest/gtest.h>

#include <memory>

#include "platform/console.h"
#include "platform/system.h"
#include "search/infos.h"
#include "search/root_lines.h"
#include "search/search.h"

namespace {

constexpr TMove E2E4{52, 36, 0, 0}, E7E5{12, 28, 0, 0}, G1F3{62, 45, 0, 0};

// Either side of the mate bound, and an even distance as the table may give it.
TEST(InfoScore, MateScoresAreCountedInMovesFromTheSideToMove) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {MateBound, "cp 9000"},        {-MateBound, "cp -9000"},  {MateBound + 1, "mate 500"},
      {-MateBound - 1, "mate -499"}, {MateScore - 6, "mate 3"}, {4 - MateScore, "mate -2"},
  };
  for (const auto& [score, text] : cases) EXPECT_EQ(TInfos::ScoreText(score), text) << score;
}

TEST(InfoLine, CarriesTheFiguresInOrderAndTheWholeLine) {
  TBest best;
  best.m = E2E4;
  const TMove line[] = {E7E5, G1F3};
  best.pv.SetMoveAndRest(E2E4, line, 2);
  // No time elapsed: the rate is over one millisecond. The rank shows with several lines.
  EXPECT_EQ(TInfos::DepthLine({9, 14, 3, MateScore - 3, 0, 40, 17, 2}, TInfos::ShownLine(best)),
            "info depth 9 seldepth 14 multipv 3 score mate 2 time 0 nodes 40 nps 40000 hashfull 17 tbhits 2 "
            "pv e2e4 e7e5 g1f3");
  // A line that does not start with the best move, or none, is not shown.
  best.m = G1F3;
  for (int length : {3, 0}) {
    best.pv.length = length;
    const TLine shown = TInfos::ShownLine(best);
    EXPECT_TRUE(shown.length == 1 && shown.moves[0] == G1F3) << length;
  }
}

class Infos : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto* t : {&main, &helper}) {
      t->TransTable = std::make_unique<TTranspositionTable>(1);
      t->ResetBest();
      t->Best.m = E2E4;
      t->Best.pv.SetMove(E2E4);
    }
  }
  // The line(s) thread `t` prints on completing `depth` with `score`.
  std::string Iteration(TThreadSearch& t, std::int32_t depth, std::int32_t score) {
    OutputCapture capture;
    t.Best.Depth = std::uint32_t(depth);
    infos.IterationDone(t, depth, score);
    return capture.Text();
  }
  std::string CurrentMove(int i, std::int32_t id) {
    OutputCapture capture;
    infos.CurrentMove(E2E4, i, id);
    return capture.Text();
  }
  TInfos infos;
  TThreadSearch main{1}, helper{2};
};

// Every iteration prints; another thread takes the voice only with a better
// score, and no line reports a depth below one already printed.
TEST_F(Infos, EveryIterationPrintsTheVoicePassesForABetterScoreAndDepthNeverFalls) {
  EXPECT_EQ(Iteration(main, 1, 35).rfind("info depth 1 seldepth 1 score cp 35 time ", 0), 0u);
  EXPECT_EQ(infos.VoiceThread(), 1);
  EXPECT_EQ(Iteration(helper, 2, 35), "");  // equal score: main keeps the voice
  EXPECT_EQ(infos.VoiceThread(), 1);
  EXPECT_NE(Iteration(main, 4, 20), "");    // the voice reports its own drops
  EXPECT_EQ(Iteration(helper, 3, 36), "");  // takes the voice, but depth 3 is behind
  EXPECT_EQ(infos.VoiceThread(), 2);
  EXPECT_EQ(Iteration(main, 5, 30), "");
  EXPECT_NE(Iteration(helper, 4, 36), "");
  // The answer's line never claims less than was printed.
  OutputCapture capture;
  main.Best.Depth = 2;
  infos.Final(main);
  EXPECT_EQ(capture.Text().rfind("info depth 4 seldepth 4 score cp 0 ", 0), 0u) << capture.Text();
}

// With several lines asked for, each comes with its rank and its own score.
TEST_F(Infos, SeveralLinesComeRankedWithTheirOwnScores) {
  main.ShownLines.Start(2);
  for (const auto& [move, score] : {std::pair{E2E4, 40}, {G1F3, 25}}) {
    TLine line;
    line.SetMove(move);
    main.ShownLines.Add(line, score, 6);
  }
  const std::string text = Iteration(main, 6, 40);
  EXPECT_EQ(text.rfind("info depth 6 seldepth 6 multipv 1 score cp 40 ", 0), 0u) << text;
  EXPECT_NE(text.find(" pv e2e4\ninfo depth 6 seldepth 6 multipv 2 score cp 25 "), std::string::npos) << text;
  EXPECT_TRUE(text.ends_with(" pv g1f3\n")) << text;
}

TEST_F(Infos, CurrentMoveComesFromTheThreadWithTheVoiceOutsideTestMode) {
  EXPECT_EQ(CurrentMove(0, 1), "");  // nobody has the voice yet
  infos.TakeVoice(1, 0);
  EXPECT_EQ(CurrentMove(2, 1), "info currmove e2e4 currmovenumber 3\n");
  EXPECT_EQ(CurrentMove(2, 2), "");
  infos.Init();
  infos.SetQuiet(true);  // test mode: silent, and nobody takes the voice
  EXPECT_EQ(Iteration(helper, 10, 50), "");
  OutputCapture capture;
  infos.Final(main);
  EXPECT_EQ(capture.Text(), "");
  EXPECT_EQ(infos.VoiceThread(), 0);
  infos.GiveVoice(2);
  EXPECT_EQ(CurrentMove(0, 2), "");
}

TLine LineOf(int from) {
  TLine line;
  line.SetMove(TMove{std::uint8_t(from), std::uint8_t(from + 8), 0, 0});
  return line;
}

int FirstFrom(const TRootLines& lines, int i) { return lines[i].line.moves[0].from; }

TEST(RootLines, KeepTheBestRankedAndRaiseTheBarOnceFull) {
  TRootLines lines;
  lines.Start(3);
  EXPECT_EQ(lines.Bar(-40000), -40000);
  lines.Add(LineOf(1), 10, 4);
  lines.Add(LineOf(2), 30, 4);
  EXPECT_EQ(lines.Bar(-40000), -40000);  // two of three: every move still enters
  lines.Add(LineOf(3), 10, 4);           // ties go behind the earlier line
  EXPECT_EQ(lines.Count(), 3);
  EXPECT_EQ(lines.Bar(-40000), 10);
  EXPECT_EQ(lines.Bar(20), 20);  // never below the window
  lines.Add(LineOf(4), 10, 4);   // no better than the worst: left out
  lines.Add(LineOf(5), 20, 4);
  EXPECT_EQ(lines.Count(), 3);
  EXPECT_TRUE(FirstFrom(lines, 0) == 2 && FirstFrom(lines, 1) == 5 && FirstFrom(lines, 2) == 1);
  EXPECT_TRUE(lines.root_lines_is_ok());
  // A new iteration starts empty; the count asked for is kept in range.
  lines.Start(1000);
  EXPECT_EQ(lines.Count(), 0);
  EXPECT_EQ(lines.Wanted(), MaxMultiPv);
}

}  // namespace

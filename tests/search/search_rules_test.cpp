// Rules of the search checked in-process on the main search thread: the
// shortcuts, the draws, mate scores and the aspiration window.
#include <gtest/gtest.h>

#include <cstdlib>

#include "eval/terms.h"
#include "search/search.h"
#include "support/game_rules.h"
#include "support/search_fixture.h"

namespace {

class SearchRules : public InProcessSearch {
 protected:
  // Plays `move` from the set-up position as the search would and returns
  // the alpha-beta score of the node it reaches (from its side to move's view).
  template <TSearchForm Form>
  std::int32_t NodeAfter(const std::string& position, const std::string& move, int depth, std::uint32_t fifty = 0) {
    source.SetupPosition(position);
    main.CopyMain();
    main.PrepareBoard();
    main.VideAllHash();  // a stored score knows nothing of the fifty-move count
    main.Eval.PhaseDepart = Form == TSearchForm::Normal ? middlegame : endgame;
    main.AnalyseChecks(main.Side, main.KingSquare(main.Side));
    main.GenerateMoves();
    for (int i = 0; i < main.First_move[1]; ++i)
      if (move_str(main.Gen_dat[i].m) == move) {
        EXPECT_TRUE(main.MakeMove(main.Gen_dat[i].m));
        main.Fifty = fifty;
        return AlphaBeta<Form>(main, -Infinity, Infinity, depth, {}, false, false, false);
      }
    ADD_FAILURE() << move << " not found";
    return 0;
  }
};

}  // namespace

TEST_F(SearchRules, MatesAreFoundAndEndTheSearch) {
  struct Case {
    const char *fen, *best;
    std::int32_t plies;
  };
  const Case cases[] = {
      {"6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", "a1a8", 1},
      {"kbK5/pp6/1P6/8/8/8/8/R7 w - - 0 1", "a1a6", 3},
      {"r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1", "f8c5", 5},
  };
  for (const Case& c : cases) {
    Search(std::string("fen ") + c.fen, 10);
    EXPECT_EQ(BestText(), c.best) << c.fen;
    EXPECT_EQ(main.Best.score, MateScore - c.plies) << c.fen;
    EXPECT_TRUE(MateFound) << c.fen;
    EXPECT_LT(main.PROF, 10u) << c.fen;  // stopped at once, not at the depth limit
    // The line is the whole mate: every move legal, the last one mating.
    TProtocolBoard replay;
    replay.SetupPosition(std::string("fen ") + c.fen);
    ASSERT_EQ(main.Best.pv.length, c.plies) << c.fen;
    for (int i = 0; i < main.Best.pv.length; ++i)
      ASSERT_TRUE(PlayMoveText(replay, move_str(main.Best.pv.moves[i]))) << c.fen << " ply " << i;
    EXPECT_FALSE(HasLegalMove(replay)) << c.fen;
    EXPECT_TRUE(replay.ProtocolInCheck(replay.Side)) << c.fen;
  }
}

TEST_F(SearchRules, ASingleLegalReplyIsPlayedWithoutSearching) {
  // After Ra8+ the black king has one move; with a game move played the
  // shortcut applies, on a freshly set-up position it does not.
  Search("fen 7k/8/5K2/8/8/8/8/R7 w - - 0 1 moves a1a8", 6);
  EXPECT_EQ(BestText(), "h8h7");
  EXPECT_EQ(main.Best.score, 0);
  EXPECT_EQ(main.Nodes, 0u);
  Search("fen R6k/8/5K2/8/8/8/8/8 b - - 0 1", 4);
  EXPECT_EQ(BestText(), "h8h7");
  EXPECT_GT(main.Nodes, 0u);
}

TEST_F(SearchRules, MateStalemateAndTheFiftyMoveRuleScoreTheNode) {
  EXPECT_EQ(NodeAfter<TSearchForm::Normal>("fen 7k/Q7/6K1/8/8/8/8/8 w - - 0 1", "a7g7", 2), 1 - MateScore);
  EXPECT_EQ(NodeAfter<TSearchForm::Normal>("fen 7k/8/6K1/8/8/8/8/5Q2 w - - 0 1", "f1f7", 2), 0);
  // Set-up positions start their count at 0, so the count is set by hand.
  const std::string position = "fen 8/8/3k4/8/8/8/8/R3K3 w - - 0 1";
  EXPECT_LT(NodeAfter<TSearchForm::Endgame>(position, "e1d2", 3, 0), -300);
  EXPECT_EQ(NodeAfter<TSearchForm::Endgame>(position, "e1d2", 3, 100), 0);
}

TEST_F(SearchRules, ARepeatedPositionScoresZeroBeforeAnythingElse) {
  // g1f3 again reaches the position after the game's first move.
  source.SetupPosition("startpos moves g1f3 g8f6 f3g1 f6g8 g1f3");
  main.CopyMain();
  main.PrepareBoard();
  EXPECT_TRUE(main.IsRepetition());
  EXPECT_EQ(AlphaBeta<TSearchForm::Normal>(main, -Infinity, Infinity, 3, {}, false, false, false), 0);
  EXPECT_EQ(Quiesce<false>(main, -Infinity, Infinity, 0, 0, false, false), 0);
}

TEST_F(SearchRules, AspirationWindowFollowsTheScoreOrReopens) {
  main.Best.m = TMove{52, 36, 0, 24};
  main.PROF = 5;
  main.ALPHA_ROOT = -43;
  main.BETA_ROOT = 117;
  main.ThreadScore = 37;
  EXPECT_TRUE(AdvanceIteration(main));
  EXPECT_EQ(main.PROF, 6u);
  EXPECT_EQ(main.ALPHA_ROOT, -43);
  EXPECT_EQ(main.BETA_ROOT, 117);

  main.ThreadScore = 117;  // failed high: the same depth again, fully open
  EXPECT_FALSE(AdvanceIteration(main));
  EXPECT_EQ(main.PROF, 6u);
  EXPECT_EQ(main.ALPHA_ROOT, -Infinity);
  EXPECT_EQ(main.BETA_ROOT, Infinity);
}

TEST_F(SearchRules, EasyStopsAfterThreeRisesOfTheSameMove) {
  TimeMode = tmSuddenDeath;
  Pondering = false;
  BonusGranted = false;
  SearchStopped = false;
  main.Nodes = 200000;
  main.PROF = 9;
  main.Hply = 1;
  main.Eval.PhaseDepart = middlegame;
  main.Best = TBest{};
  main.Best.m = TMove{52, 36, 0, 24};
  const auto checkAt = [&](std::int32_t score) {
    main.Best.score = score;
    return EasyStop(main);
  };
  EXPECT_FALSE(checkAt(10));  // first sight: only remembered
  EXPECT_FALSE(checkAt(12));
  EXPECT_FALSE(checkAt(5));   // a drop starts the count again
  EXPECT_FALSE(checkAt(6));
  EXPECT_FALSE(checkAt(7));
  EXPECT_TRUE(checkAt(8));
  EXPECT_TRUE(SearchStopped);
  EXPECT_NE(quiet.Text().find("info string EASY !!\n"), std::string::npos);

  SearchStopped = false;
  main.Best = TBest{};
  main.Best.m = TMove{52, 36, 0, 24};
  main.Nodes = 1000;  // too few nodes: the rule does not apply
  for (std::int32_t score : {1, 2, 3, 4, 5}) EXPECT_FALSE(checkAt(score));
  TimeMode = tmFixedDepth;
}

TEST_F(SearchRules, AStaticScoreIsNeverAMate) {
  // Nine queens and every other piece outweigh the mate bound; only a
  // search may claim a mate.
  for (const char* fen : {"7k/6pp/8/8/8/8/QQQQQQQN/QQRRBBNK w - - 0 1", "7k/6pp/8/8/8/8/QQQQQQQN/QQRRBBNK b - - 0 1"}) {
    source.SetupPosition(std::string("fen ") + fen);
    main.CopyMain();
    main.PrepareBoard();
    main.Eval.PhaseDepart = RootPhase(main, main.Eval);
    const std::int32_t score = EvaluateNode(main);
    EXPECT_LE(std::abs(score), MateBound) << fen;
    EXPECT_GE(std::abs(score), 5000) << fen;  // still a won or lost game
  }
}

// Rules of the search, in-process: mate distances, extensions, shortcuts, draws, the aspiration window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "eval/terms.h"
#include "platform/system.h"
#include "search/search.h"
#include "support/game_rules.h"
#include "support/search_fixture.h"

namespace {

class SearchRules : public InProcessSearch {
 protected:
  // The alpha-beta score (for the side then to move) of the node `move` reaches.
  std::int32_t NodeAfter(const std::string& position, const std::string& move, int depth) {
    source.SetupPosition(position);
    main.CopyMain();
    main.PrepareBoard();
    main.ClearAllTables();
    main.Eval.PhaseAtRoot = middlegame;
    main.AnalyseChecks(main.Side, main.KingSquare(main.Side));
    main.GenerateMoves();
    for (int i = 0; i < main.FirstMove[1]; ++i)
      if (MoveText(main.MoveStack[i].m) == move) {
        EXPECT_TRUE(main.MakeMove(main.MoveStack[i].m));
        return AlphaBeta<TSearchForm::Normal>(main, -Infinity, Infinity, depth, {}, false, false, false);
      }
    ADD_FAILURE() << move << " not found";
    return 0;
  }
};

// Mate in N moves: any other score beyond the bound is the wrong distance.
std::int32_t MateIn(int moves) { return MateScore - (2 * moves - 1); }

}  // namespace

// The true distance and the whole mating line at any depth that finds it, and
// whatever the tables hold from the position two plies down the line.
TEST_F(SearchRules, EveryMateOfTheListIsReportedAtItsTrueDistance) {
  std::vector<std::pair<std::string, int>> mates;
  std::ifstream in(std::string(VOSTRAK_TEST_DATA) + "/mates.epd");
  for (std::string line; std::getline(in, line);)
    if (const std::size_t mark = line.find(" ;dm "); mark != std::string::npos)
      mates.emplace_back(line.substr(0, mark), std::stoi(line.substr(mark + 5)));
  ASSERT_GE(mates.size(), 20u) << "the list is missing or cut";
  for (const auto& [fen, moves] : mates) {
    const int plies = 2 * moves - 1;
    for (int depth = 1; depth <= plies; ++depth) {
      Search("fen " + fen, depth);
      const bool found = main.Best.score > MateBound;
      EXPECT_TRUE(found || depth < plies) << fen;
      if (!found) continue;
      EXPECT_EQ(main.Best.score, MateIn(moves)) << fen << " depth " << depth;
      TProtocolBoard replay;
      replay.SetupPosition("fen " + fen);
      for (int i = 0; i < main.Best.pv.length; ++i)
        ASSERT_TRUE(PlayMoveText(replay, MoveText(main.Best.pv.moves[i]))) << fen << " ply " << i;
      EXPECT_EQ(main.Best.pv.length, plies) << fen;
      EXPECT_TRUE(!HasLegalMove(replay) && replay.ProtocolInCheck(replay.Side)) << fen << ": the line does not mate";
      break;  // a found mate ends the search: deeper limits change nothing
    }
    if (moves < 3) continue;
    Search("fen " + fen, plies);
    ASSERT_GE(main.Best.pv.length, 2) << fen;
    const std::string deeper =
        "fen " + fen + " moves " + MoveText(main.Best.pv.moves[0]) + " " + MoveText(main.Best.pv.moves[1]);
    Search(deeper, plies, false);
    EXPECT_EQ(main.Best.score, MateIn(moves - 1)) << deeper << " after the root";
    Search("fen " + fen, plies, false);
    EXPECT_EQ(main.Best.score, MateIn(moves)) << fen << " after the deeper position";
  }
}

// Each position is solved at its depth only through its rule.
TEST_F(SearchRules, EachExtensionSolvesItsPosition) {
  struct Case {
    const char *rule, *fen;
    int depth;
    const char* best;
    int mateIn;
  };  // mateIn 0: only the move counts
  const Case cases[] = {
      {"check", "1k1r4/pp1b1R2/3q2pp/4p3/2B5/4Q3/PPP2B2/2K5 b - - 0 1", 2, "d6d1", 3},
      {"check", "r1b2bnr/ppppk1p1/n2q4/4NP1B/3P4/2P5/PP3PPP/RNBQR1K1 w - - 3 11", 2, "c1g5", 2},
      // Nc6-e5 wins material after the exchanges on d3; unextended, depth 6 prefers Nd5.
      {"recapture", "3rr1k1/pp3pp1/1qn2np1/8/3p4/PP1R1P2/2P1NQPP/R1B3K1 b - - 0 1", 6, "c6e5", 0},
      {"null-move mate threat", "r2qkbnr/ppp2ppp/n7/3p1P2/P1P4P/3bP3/1P1P1P2/RNBQK3 b Qkq - 0 9", 5, "d8h4", 4},
      {"quiescence checks", "r1b1r1k1/pp3ppp/8/qP6/3p2Pb/P2n1P1P/8/R4KNR b - - 0 23", 1, "e8e1", 3},
      {"quiescence checks", "5rk1/pp3ppp/1P3n1b/5p2/2b4P/P2r1n1K/5R2/8 b - - 0 27", 1, "f3h4", 0},
  };
  for (const Case& c : cases) {
    Search(std::string("fen ") + c.fen, c.depth);
    EXPECT_EQ(BestText(), c.best) << c.rule << ": " << c.fen;
    EXPECT_TRUE(!c.mateIn || main.Best.score == MateIn(c.mateIn)) << c.rule << ": " << c.fen << " " << main.Best.score;
  }
}

// After Rxd8+ Black's one move loses: played at once with its true score in a
// timed game, searched as ordered otherwise.
TEST_F(SearchRules, AForcedReplyInATimedGameIsPlayedAtOnceWithItsScore) {
  const std::string position = "fen 2r3k1/5ppp/8/8/8/8/3R1PPP/3Q2K1 w - - 0 1 moves d2d8";
  source.SetupPosition(position);
  main.Infos.SetQuiet(true);
  main.ClearTablesBeforeNextSearch();
  TSearchOrder order;
  order.TimeMode = tmSuddenDeath;  // 100 s on the clock: a slice of 2.5 s
  order.GoTime = 100000;
  main.TakeOrder(order);
  const std::int64_t start = Ticks();
  main.CopyMain();
  main.Think();
  EXPECT_LT(Ticks() - start, 2000);
  EXPECT_TRUE(BestText() == "c8d8" && main.Best.score == 2 - MateScore && main.Best.Depth <= 5u)
      << BestText() << " " << main.Best.score << " depth " << main.Best.Depth;
  Search(position, 9);
  EXPECT_TRUE(BestText() == "c8d8" && main.Best.Depth == 9u) << BestText() << " depth " << main.Best.Depth;
}

// (InfoLines sees the fifty-move rule.)
TEST_F(SearchRules, MateStalemateAndRepetitionScoreTheNode) {
  EXPECT_EQ(NodeAfter("fen 7k/Q7/6K1/8/8/8/8/8 w - - 0 1", "a7g7", 2), 1 - MateScore);
  EXPECT_EQ(NodeAfter("fen 7k/8/6K1/8/8/8/8/5Q2 w - - 0 1", "f1f7", 2), 0);
  // Back to the position after the game's first move: zero before anything else.
  source.SetupPosition("startpos moves g1f3 g8f6 f3g1 f6g8 g1f3");
  main.CopyMain();
  main.PrepareBoard();
  EXPECT_TRUE(main.IsRepetition());
  EXPECT_EQ(AlphaBeta<TSearchForm::Normal>(main, -Infinity, Infinity, 3, {}, false, false, false), 0);
  EXPECT_EQ(Quiesce<false>(main, -Infinity, Infinity, 0, 0, false, false), 0);
}

TEST_F(SearchRules, AspirationWindowFollowsTheScoreOrReopens) {
  main.Best.m = TMove{52, 36, 0, 24};
  main.IterationDepth = 5;
  main.RootAlpha = -43;
  main.RootBeta = 117;
  main.ThreadScore = 37;
  EXPECT_TRUE(AdvanceIteration(main));
  EXPECT_TRUE(main.IterationDepth == 6u && main.RootAlpha == -43 && main.RootBeta == 117);
  main.ThreadScore = 117;  // failed high: the same depth again, fully open
  EXPECT_FALSE(AdvanceIteration(main));
  EXPECT_TRUE(main.IterationDepth == 6u && main.RootAlpha == -Infinity && main.RootBeta == Infinity);
}

TEST_F(SearchRules, EasyStopsAfterThreeRisesOfTheSameMove) {
  TSearchOrder order;
  order.TimeMode = tmSuddenDeath;
  main.TakeOrder(order);
  main.Clock.ForgetBonusGranted();
  main.SearchStopped = false;
  main.IterationDepth = 9;
  main.HistoryLength = 1;
  main.Eval.PhaseAtRoot = middlegame;
  const auto checkAt = [&](std::int32_t score) {
    main.Best.score = score;
    return EasyStop(main);
  };
  for (std::uint32_t nodes : {1000u, 200000u}) {  // too few nodes: the rule does not apply
    main.Nodes = nodes;
    main.Best = TBest{};
    main.Best.m = TMove{52, 36, 0, 24};
    // First sight is only remembered; a drop starts the count again.
    for (std::int32_t score : {10, 12, 5, 6, 7}) EXPECT_FALSE(checkAt(score)) << score;
    const bool stops = nodes > 1000;
    EXPECT_EQ(checkAt(8), stops) << nodes;
    EXPECT_TRUE(main.SearchStopped == stops &&
                (quiet.Text().find("info string EASY !!\n") != std::string::npos) == stops);
    main.SearchStopped = false;
  }
}

// Nine queens and every other piece still score below the mate bound.
TEST_F(SearchRules, AStaticScoreIsNeverAMate) {
  for (const char side : {'w', 'b'}) {
    source.SetupPosition(std::string("fen 7k/6pp/8/8/8/8/QQQQQQQN/QQRRBBNK ") + side + " - - 0 1");
    main.CopyMain();
    main.PrepareBoard();
    main.Eval.PhaseAtRoot = RootPhase(main, main.Eval);
    const std::int32_t score = EvaluateNode(main);
    EXPECT_LE(std::abs(score), MateBound) << side;
    EXPECT_GE(std::abs(score), 5000) << side;  // still a won or lost game
  }
}

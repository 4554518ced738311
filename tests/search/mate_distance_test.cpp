// Mate distances as the search reports them, on a list of mates in two to
// five moves taken from games: the distance must be the true one whatever
// depth finds the mate and whatever the tables hold from other positions.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "search/search.h"
#include "support/game_rules.h"
#include "support/search_fixture.h"

namespace {

struct ListedMate {
  std::string fen;
  int moves;  // the side to move mates in this many moves, not fewer
  int Plies() const { return 2 * moves - 1; }
};

// Lines of "FEN ;dm N".
std::vector<ListedMate> LoadMates() {
  std::vector<ListedMate> mates;
  std::ifstream in(std::string(VOSTRAK_TEST_DATA) + "/mates.epd");
  for (std::string line; std::getline(in, line);) {
    const std::size_t mark = line.find(" ;dm ");
    if (mark == std::string::npos) continue;
    mates.push_back({line.substr(0, mark), std::stoi(line.substr(mark + 5))});
  }
  return mates;
}

class MateDistances : public InProcessSearch {
 protected:
  // Mates in N report MateScore - (2N - 1); anything else beyond the bound
  // is a mate at another distance.
  void ExpectMateIn(int moves, const std::string& where) {
    EXPECT_EQ(main.Best.score, MateScore - (2 * moves - 1)) << where;
  }

  // The reported line plays legally from the position; when it is the whole
  // mate, its last move mates.
  void ExpectLinePlays(const std::string& fen, int plies) {
    TProtocolBoard replay;
    replay.SetupPosition("fen " + fen);
    for (int i = 0; i < main.Best.pv.length; ++i)
      ASSERT_TRUE(PlayMoveText(replay, move_str(main.Best.pv.moves[i]))) << fen << " ply " << i;
    if (main.Best.pv.length == plies) {
      EXPECT_FALSE(HasLegalMove(replay)) << fen;
    }
  }
};

}  // namespace

TEST_F(MateDistances, TheListIsThere) { ASSERT_GE(LoadMates().size(), 20u); }

TEST_F(MateDistances, EveryDepthThatFindsAMateReportsItsTrueDistance) {
  for (const ListedMate& mate : LoadMates()) {
    for (int depth = 1; depth <= mate.Plies(); ++depth) {
      Search("fen " + mate.fen, depth);
      const bool found = main.Best.score > MateBound;
      if (depth == mate.Plies()) {
        EXPECT_TRUE(found) << mate.fen;
      }
      if (!found) continue;
      ExpectMateIn(mate.moves, mate.fen + " depth " + std::to_string(depth));
      ExpectLinePlays(mate.fen, mate.Plies());
      break;  // a found mate ends the search: deeper limits change nothing
    }
  }
}

TEST_F(MateDistances, ScoresStoredAtOtherDistancesFromTheRootReadBackRightly) {
  // The position two plies down the mating line holds a mate one move
  // shorter; whichever of the two is searched first fills the table for the
  // other, at a distance from the root two plies off.
  for (const ListedMate& mate : LoadMates()) {
    if (mate.moves < 3) continue;
    Search("fen " + mate.fen, mate.Plies());
    ASSERT_GE(main.Best.pv.length, 2) << mate.fen;
    const std::string deeper =
        "fen " + mate.fen + " moves " + move_str(main.Best.pv.moves[0]) + " " + move_str(main.Best.pv.moves[1]);

    Search(deeper, mate.Plies(), false);
    ExpectMateIn(mate.moves - 1, deeper + " after the root");
    Search("fen " + mate.fen, mate.Plies(), false);
    ExpectMateIn(mate.moves, mate.fen + " after the deeper position");
  }
}

// Positions the search solves at a fixed depth only because of one of its
// rules: the extensions for checks, recaptures and mate threats, and the
// checks the quiescence search tries. Removing a rule makes its case fail.
#include <gtest/gtest.h>

#include <string>

#include "search/search.h"
#include "support/search_fixture.h"

namespace {

struct Solved {
  const char* fen;
  int depth;
  const char* best;
  int mateIn;  // 0: the move is what counts, not the score
};

class SearchExtensions : public InProcessSearch {
 protected:
  void ExpectSolved(const Solved& c) {
    Search(std::string("fen ") + c.fen, c.depth);
    EXPECT_EQ(BestText(), c.best) << c.fen;
    if (c.mateIn) {
      EXPECT_EQ(main.Best.score, MateScore - (2 * c.mateIn - 1)) << c.fen;
    }
  }
};

}  // namespace

TEST_F(SearchExtensions, ChecksAreFollowedPastTheNominalDepth) {
  // Qd1+ mates in three; two plies see it only when the checks extend.
  ExpectSolved({"1k1r4/pp1b1R2/3q2pp/4p3/2B5/4Q3/PPP2B2/2K5 b - - 0 1", 2, "d6d1", 3});
  ExpectSolved({"r1b2bnr/ppppk1p1/n2q4/4NP1B/3P4/2P5/PP3PPP/RNBQR1K1 w - - 3 11", 2, "c1g5", 2});
}

TEST_F(SearchExtensions, RecapturesAreFollowedPastTheNominalDepth) {
  // Nc6-e5 wins material after the exchanges on d3; without the recapture
  // extension the depth-6 search prefers Nd5.
  ExpectSolved({"3rr1k1/pp3pp1/1qn2np1/8/3p4/PP1R1P2/2P1NQPP/R1B3K1 b - - 0 1", 6, "c6e5", 0});
}

TEST_F(SearchExtensions, AMateThreatFoundByTheNullMoveIsLookedAtDeeper) {
  ExpectSolved({"r2qkbnr/ppp2ppp/n7/3p1P2/P1P4P/3bP3/1P1P1P2/RNBQK3 b Qkq - 0 9", 5, "d8h4", 4});
  ExpectSolved({"r1b1k1nr/pp3pp1/2n1p3/1q1p4/4P3/b5Pp/PPP2P1P/1RB1K2R b Kkq - 1 12", 4, "c6d4", 5});
}

TEST_F(SearchExtensions, TheQuiescenceSearchTriesChecks) {
  ExpectSolved({"r1b1r1k1/pp3ppp/8/qP6/3p2Pb/P2n1P1P/8/R4KNR b - - 0 23", 1, "e8e1", 3});
  ExpectSolved({"r1bn1knr/3p3p/p2NPp2/2B5/1p2P3/8/RPP2PPP/2NQKB1R w K - 1 16", 1, "d6f5", 4});
  ExpectSolved({"5rk1/pp3ppp/1P3n1b/5p2/2b4P/P2r1n1K/5R2/8 b - - 0 27", 1, "f3h4", 0});
}

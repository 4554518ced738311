// The library's entry points as the engine uses them: initialisation, hand-
// checked positions of every ending, and the positions it must refuse.
#include <cstdio>
#include <fstream>

#include "egtb/egtb_library.h"

namespace egtb_test {
namespace {

class EgtbPositions : public EgtbTest {
 protected:
  int32_t score(const char* text, int side) const { return tb.score(parse(text, side)); }
  const char* refusal(const char* text, int side) const { return tb.refusal(parse(text, side)); }
};

TEST_F(EgtbPositions, InitNeedsAnExistingDirectoryAndReportsThreeMen) {
  std::printf("EGTB initialisation took %.1f ms\n", tb.initMilliseconds);
  const char* error = nullptr;
  const std::string missing = ::testing::TempDir() + "/no-such-tablebase-dir";
  EXPECT_EQ(tb.init(missing.c_str(), 0, &error), 0);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(std::string(error), "tablebase directory not found: " + missing);

  const std::string file = ::testing::TempDir() + "/egtb-not-a-directory";
  std::ofstream(file) << "x";
  error = nullptr;
  EXPECT_EQ(tb.init(file.c_str(), 0, &error), 0);
  EXPECT_NE(error, nullptr);
  std::remove(file.c_str());

  // A second good init reuses the tables.
  error = "unset";
  EXPECT_EQ(tb.init(::testing::TempDir().c_str(), 0, &error), 3);
  EXPECT_EQ(error, nullptr);
  EXPECT_EQ(score("Kb6 Qh7 / Ka8", 0), 9999);
}

TEST_F(EgtbPositions, QueenAndRookMatesAndStalemates) {
  EXPECT_EQ(score("Kb6 Qh7 / Ka8", 0), 9999);    // Qh8# or Qb7#
  EXPECT_EQ(score("Kb6 Qh8 / Ka8", 1), -10000);  // checkmated
  EXPECT_EQ(score("Kb6 Qc7 / Ka8", 1), 0);       // stalemated
  EXPECT_EQ(score("Kb6 Rh1 / Ka8", 0), 9999);    // Rh8#
  EXPECT_EQ(score("Kb6 Rh8 / Ka8", 1), -10000);
  EXPECT_EQ(score("Kb6 Rb7 / Ka8", 1), 0);     // the rook is guarded: stalemate
  EXPECT_EQ(score("Kb6 Rb7 / Ka8", 0), 9997);  // Rh7 Kb8 Rh8#
  // Colours reversed.
  EXPECT_EQ(score("Ka1 / Kb3 Qh2", 1), 9999);
  EXPECT_EQ(score("Ka1 / Kb3 Qh1", 0), -10000);
}

TEST_F(EgtbPositions, PawnEndingsFollowTheOppositionAndPromoteToTheBestPiece) {
  // One rank between the kings, in front of the pawn: whoever moves gives up
  // the opposition.
  EXPECT_EQ(score("Ke5 Pe4 / Ke7", 0), 0);
  EXPECT_LT(score("Ke5 Pe4 / Ke7", 1), -9000);
  // King on the sixth in front of its pawn wins with either side to move.
  EXPECT_GT(score("Ke6 Pe5 / Ke8", 0), 9000);
  EXPECT_LT(score("Ke6 Pe5 / Ke8", 1), -9000);
  // The defending king in the corner ahead of a rook pawn holds.
  EXPECT_EQ(score("Kc5 Pa4 / Ka8", 0), 0);
  EXPECT_EQ(score("Kc5 Pa4 / Ka8", 1), 0);
  EXPECT_EQ(score("Ka8 Pa7 / Kc7", 0), 0);  // White stalemated by its own pawn
  // g8=Q stalemates; g8=R Ka2 Ra8# mates in three plies.
  EXPECT_EQ(score("Kc2 Qg8 / Ka1", 1), 0);
  EXPECT_EQ(score("Kc2 Rg8 / Ka1", 1), -9998);
  EXPECT_EQ(score("Kc2 Pg7 / Ka1", 0), 9997);
  EXPECT_EQ(score("Kh8 / Kf7 Pb2", 1), 9997);  // the same with Black's pawn
  EXPECT_EQ(score("Ke1 / Ke8", 0), 0);         // bare kings are answered
}

TEST_F(EgtbPositions, RefusesWhatItCannotAnswer) {
  EXPECT_STREQ(refusal("Ke1 Re8 / Ke8", 0), "two men on one square");
  EXPECT_STREQ(refusal("Ke1 / Ke2", 0), "kings on adjacent squares");
  EXPECT_STREQ(refusal("Ke1 Pe8 / Ka5", 1), "pawn on the first or last rank");
  EXPECT_STREQ(refusal("Ke1 / Ka5 Pd1", 0), "pawn on the first or last rank");
  EXPECT_STREQ(refusal("Kb6 Qh8 / Ka8", 0), "side not to move is in check");
  EXPECT_STREQ(refusal("Ka1 / Kb3 Qh1", 1), "side not to move is in check");

  // Malformed arrays, from a valid "Ke1 Rh1 / Ke8".
  auto refusalAfter = [&](auto spoil, int side = 0) {
    int32_t whites[16], blacks[16], pclist[10];
    encode(parse("Ke1 Rh1 / Ke8", side), whites, blacks, pclist);
    spoil(whites, blacks, pclist);
    const char* error = nullptr;
    EXPECT_EQ(tb.probe(whites, blacks, pclist, side, &error), 0);
    return std::string(error ? error : "(answered)");
  };
  using A = int32_t*;
  EXPECT_EQ(refusalAfter([](A w, A, A pc) { w[3] = square("c3"), pc[1] = 1; }), "position has more than 3 men");
  EXPECT_EQ(refusalAfter([](A w, A, A) { w[15] = -1; }), "white king missing or off the board");
  EXPECT_EQ(refusalAfter([](A, A b, A) { b[15] = 64; }), "black king missing or off the board");
  EXPECT_EQ(refusalAfter([](A, A, A pc) { pc[3] = -1; }), "piece count in pclist out of range 0..3");
  EXPECT_EQ(refusalAfter([](A w, A, A) { w[9] = 99; }), "pclist counts a piece whose square is off the board");
  EXPECT_EQ(refusalAfter([](A, A, A) {}, 2), "side to move must be 0 (White) or 1 (Black)");
}

}  // namespace
}  // namespace egtb_test

// The built tablebase library, loaded as the engine loads it: hand-checked
// positions and the probes it must refuse.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>
#include <utility>

#include "../../egtb/egtb_api.h"

namespace {

constexpr int32_t Refused = 12345;  // no score is that large

// The probe's arrays for "Kc2 Pg7 ka1": White's men in capitals, Black's in
// small letters, one man of each kind (a king's slot is 5 * 3 too).
struct Arguments {
  int32_t whites[16] = {}, blacks[16] = {}, pclist[10] = {};
  explicit Arguments(const std::string& men) {
    std::istringstream words(men);
    for (std::string w; words >> w;) {
      const bool black = std::islower(w[0]);
      const int kind = int(std::string("PNBRQK").find(char(std::toupper(w[0]))));
      (black ? blacks : whites)[kind * 3] = (w[2] - '1') * 8 + (w[1] - 'a');
      if (kind < 5) ++pclist[kind + 5 * black];
    }
  }
};

class EgtbLibrary : public ::testing::Test {
 protected:
  static inline ProbeTbPositionFn probe = nullptr;

  static void SetUpTestSuite() {
    void* handle = dlopen(VOSTRAK_BUILD_DIR "/EGTB.DLL", RTLD_NOW | RTLD_LOCAL);
    const auto init = handle ? reinterpret_cast<InitTbPathCacheFn>(dlsym(handle, "InitTbPathCache")) : nullptr;
    // The tables are computed, not read: any directory, or none, will do.
    bool ready = init != nullptr;
    for (const char* path : {"C:\\TBS", "/nonexistent/tablebases", "", (const char*)nullptr}) {
      const char* error = "unset";
      ready = ready && init(path, 8 << 20, &error) == 3 && error == nullptr;
    }
    if (ready) probe = reinterpret_cast<ProbeTbPositionFn>(dlsym(handle, "ProbeTbPosition"));
  }
  void SetUp() override { ASSERT_TRUE(probe) << "cannot load and initialise " VOSTRAK_BUILD_DIR "/EGTB.DLL"; }

  // The score, or Refused when the library answers 0 with an error text.
  static int32_t Answer(const Arguments& a, int side) {
    const char* error = "unset";
    const int32_t score = probe(a.whites, a.blacks, a.pclist, side, &error);
    EXPECT_TRUE(!error || score == 0) << error << " with " << score;
    return error ? Refused : score;
  }
};

// Scores for the side to move: 10000 - n when it mates in n plies, n - 10000
// when it is mated in n plies.
TEST_F(EgtbLibrary, HandCheckedPositions) {
  const struct {
    const char* men;
    int side;
    int32_t score;
  } cases[] = {
      {"Kb6 Qh7 ka8", 0, 9999},         // Qh8# or Qb7#
      {"Kb6 Qh8 ka8", 1, -10000},       // checkmated
      {"Kb6 Rb7 ka8", 1, 0},            // the rook is guarded: stalemate
      {"Kb6 Rb7 ka8", 0, 9997},         // Rh7 Kb8 Rh8#
      {"Ka1 kb3 qh2", 1, 9999},         // colours reversed
      {"Ke5 Pe4 ke7", 0, 0},            // the opposition in front of the pawn
      {"Kc2 Qg8 ka1", 1, 0},            // g8=Q stalemates ...
      {"Kc2 Pg7 ka1", 0, 9997},         // ... g8=R Ka2 Ra8# mates
      {"Ke1 Rh1 Nc3 ke8", 0, Refused},  // four men
      {"Kb6 Qh8 ka8", 0, Refused},      // the side not to move is in check
      {"Ke1 Ph8 ka1", 1, Refused},      // a pawn on the last rank
      {"Ke1 Rh1 ke8", 2, Refused},      // side 2 to move
  };
  for (const auto& c : cases) EXPECT_EQ(Answer(Arguments(c.men), c.side), c.score) << c.men << " side " << c.side;
}

// Each spoils one entry in the arrays of a valid "Ke1 Rh1 ke8".
TEST_F(EgtbLibrary, MalformedArraysAreRefused) {
  Arguments a("Ke1 Rh1 ke8");
  ASSERT_NE(Answer(a, 0), Refused);
  const std::pair<int32_t*, int32_t> spoils[] = {
      {&a.whites[15], -1},  // White's king off the board
      {&a.blacks[15], 64},  // Black's king off the board
      {&a.pclist[3], -1},   // a count below zero
      {&a.whites[9], 99},   // a counted rook off the board
  };
  for (const auto& [entry, value] : spoils) {
    const int32_t kept = std::exchange(*entry, value);
    EXPECT_EQ(Answer(a, 0), Refused) << value;
    *entry = kept;
  }
}

}  // namespace

// The built tablebase library, loaded as the engine loads it: hand-checked
// positions, malformed probes, and the whole tables against our own rules.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "../../egtb/egtb_api.h"

namespace {

enum Kind { Pawn, Knight, Bishop, Rook, Queen, King };

struct Man {
  int colour;  // 0 White, 1 Black
  Kind kind;
  int square;  // as the library numbers them: a1 = 0 ... h8 = 63
};

// White's king, Black's king, then the third man if there is one.
struct Position {
  Man men[3] = {{0, King, 0}, {1, King, 0}, {0, Pawn, 0}};
  int count = 2;
  int side = 0;  // 0 White to move, 1 Black
};

// "Kc2 Pg7 ka1": White's men in capitals, Black's in small letters.
Position Parse(const std::string& text, int side) {
  Position p;
  p.side = side;
  std::istringstream words(text);
  for (std::string w; words >> w;) {
    const int colour = std::islower(w[0]) ? 1 : 0;
    const Man man{colour, Kind(std::string("PNBRQK").find(char(std::toupper(w[0])))), (w[2] - '1') * 8 + (w[1] - 'a')};
    if (man.kind == King) p.men[colour] = man;
    else p.men[p.count++] = man;
  }
  return p;
}

// The probe's arrays: fixed slots per kind, and the counts.
struct Arguments {
  int32_t whites[16] = {}, blacks[16] = {}, pclist[10] = {};
  explicit Arguments(const Position& p) {
    for (int i = 0; i < p.count; ++i) {
      const Man& m = p.men[i];
      (m.colour == 0 ? whites : blacks)[m.kind == King ? EGTB_SLOT_KING : m.kind * 3] = m.square;
      if (m.kind != King) ++pclist[m.kind + 5 * m.colour];
    }
  }
};

// The library, loaded and initialised once for the whole test run.
class EgtbLibrary : public ::testing::Test {
 protected:
  static inline InitTbPathCacheFn init = nullptr;
  static inline ProbeTbPositionFn probe = nullptr;

  static void SetUpTestSuite() {
    void* handle = dlopen(VOSTRAK_BUILD_DIR "/EGTB.DLL", RTLD_NOW | RTLD_LOCAL);
    if (!handle || probe) return;
    init = reinterpret_cast<InitTbPathCacheFn>(dlsym(handle, "InitTbPathCache"));
    // The tables are computed, not read: any directory, or none, will do.
    bool ready = init != nullptr;
    for (const char* path : {"C:\\TBS", "/nonexistent/tablebases", "", "relative path", (const char*)nullptr}) {
      const char* error = "unset";
      ready = ready && init(path, 8 << 20, &error) == 3 && error == nullptr;
    }
    if (ready) probe = reinterpret_cast<ProbeTbPositionFn>(dlsym(handle, "ProbeTbPosition"));
  }
  void SetUp() override { ASSERT_TRUE(probe) << "cannot load and initialise " VOSTRAK_BUILD_DIR "/EGTB.DLL"; }

  // The score, and the error text (nullptr when answered).
  static int32_t Probe(const Position& p, const char*& error) {
    const Arguments a(p);
    error = "unset";
    return probe(a.whites, a.blacks, a.pclist, p.side, &error);
  }
  static int32_t Score(const Position& p) {
    const char* error;
    const int32_t score = Probe(p, error);
    EXPECT_EQ(error, nullptr) << error;
    return score;
  }
  static int ExpectedScore(const Position& p);
};

TEST_F(EgtbLibrary, HandCheckedPositions) {
  const struct {
    const char* men;
    int side;
    int32_t score;
  } cases[] = {
      {"Kb6 Qh7 ka8", 0, 9999},    // Qh8# or Qb7#
      {"Kb6 Qh8 ka8", 1, -10000},  // checkmated
      {"Kb6 Rb7 ka8", 1, 0},       // the rook is guarded: stalemate
      {"Kb6 Rb7 ka8", 0, 9997},    // Rh7 Kb8 Rh8#
      {"Ka1 kb3 qh2", 1, 9999},    // colours reversed
      {"Ke5 Pe4 ke7", 0, 0},       // the opposition in front of the pawn
      {"Kc2 Qg8 ka1", 1, 0},       // g8=Q stalemates ...
      {"Kc2 Pg7 ka1", 0, 9997},    // ... g8=R Ka2 Ra8# mates
  };
  for (const auto& c : cases) EXPECT_EQ(Score(Parse(c.men, c.side)), c.score) << c.men << " side " << c.side;
}

// Each spoils one thing in the arrays of a valid "Ke1 Rh1 ke8"; the engine
// only looks whether there is an error text.
TEST_F(EgtbLibrary, MalformedProbesAreRefused) {
  const auto refused = [](auto spoil, int side = 0) {
    Arguments a(Parse("Ke1 Rh1 ke8", 0));
    spoil(a);
    const char* error = nullptr;
    return probe(a.whites, a.blacks, a.pclist, side, &error) == 0 && error != nullptr;
  };
  using A = Arguments&;
  EXPECT_TRUE(refused([](A a) { a.whites[3] = 18, a.pclist[1] = 1; })) << "four men";
  EXPECT_TRUE(refused([](A a) { a.whites[15] = -1; })) << "White's king off the board";
  EXPECT_TRUE(refused([](A a) { a.blacks[15] = 64; })) << "Black's king off the board";
  EXPECT_TRUE(refused([](A a) { a.pclist[3] = -1; })) << "a count below zero";
  EXPECT_TRUE(refused([](A a) { a.whites[9] = 99; })) << "a counted rook off the board";
  EXPECT_TRUE(refused([](A) {}, 2)) << "side 2 to move";
}

// The test's own rules, for the whole-table check.
bool Occupied(const Position& p, int sq) {
  return std::any_of(p.men, p.men + p.count, [&](const Man& m) { return m.square == sq; });
}

// Does the man attack `target`, with the other men blocking its lines?
bool Attacks(const Position& p, const Man& m, int target) {
  const int df = target % 8 - m.square % 8, dr = target / 8 - m.square / 8;
  const int adf = std::abs(df), adr = std::abs(dr);
  if (m.kind == King) return std::max(adf, adr) == 1;
  if (m.kind == Knight) return adf * adr == 2;
  if (m.kind == Pawn) return adf == 1 && dr == (m.colour == 0 ? 1 : -1);
  const bool straight = (df == 0) != (dr == 0), diagonal = adf == adr && adf > 0;
  if (!(m.kind == Queen ? straight || diagonal : m.kind == Rook ? straight : diagonal)) return false;
  const int step = (df > 0) - (df < 0) + 8 * ((dr > 0) - (dr < 0));
  for (int sq = m.square + step; sq != target; sq += step)
    if (Occupied(p, sq)) return false;
  return true;
}

bool InCheck(const Position& p, int colour) {
  return std::any_of(p.men, p.men + p.count,
                     [&](const Man& m) { return m.colour != colour && Attacks(p, m, p.men[colour].square); });
}

// Kings side by side count as the side not to move being in check.
bool Legal(const Position& p) {
  for (int i = 0; i < p.count; ++i) {
    if (p.men[i].kind == Pawn && (p.men[i].square < 8 || p.men[i].square >= 56)) return false;
    for (int j = 0; j < i; ++j)
      if (p.men[i].square == p.men[j].square) return false;
  }
  return !InCheck(p, 1 - p.side);
}

// Can the man go to `to` (checks aside)? Only the third man can be taken.
bool CanGo(const Position& p, const Man& m, int to) {
  if (m.kind != Pawn) {
    const Man* other = std::find_if(p.men, p.men + p.count, [&](const Man& o) { return o.square == to; });
    return Attacks(p, m, to) && (other == p.men + p.count || (other->colour != m.colour && other->kind != King));
  }
  const int ahead = m.colour == 0 ? 8 : -8, startRank = m.colour == 0 ? 1 : 6;
  if (to == m.square + ahead) return !Occupied(p, to);
  return to == m.square + 2 * ahead && m.square / 8 == startRank && !Occupied(p, to) && !Occupied(p, to - ahead);
}

// A score one ply earlier, seen from the other side.
int ThroughMove(int after) { return after == 0 ? 0 : after < 0 ? -after - 1 : -after + 1; }

// The best the moves lead to, or mate, or stalemate.
int EgtbLibrary::ExpectedScore(const Position& p) {
  int best = -20000;
  for (int i = 0; i < p.count; ++i)
    for (int to = 0; to < 64; ++to) {
      if (p.men[i].colour != p.side || !CanGo(p, p.men[i], to)) continue;
      const bool promotes = p.men[i].kind == Pawn && (to < 8 || to >= 56);
      for (Kind becomes : {Queen, Rook, Bishop, Knight}) {
        Position next = p;
        if (next.count == 3 && next.men[2].square == to) next.count = 2;  // the piece is taken
        next.men[i].square = to;
        if (promotes) next.men[i].kind = becomes;
        next.side = 1 - p.side;
        if (!InCheck(next, p.side)) best = std::max(best, ThroughMove(Score(next)));
        if (!promotes) break;
      }
    }
  return best > -20000 ? best : InCheck(p, p.side) ? -10000 : 0;
}

// A placement is answered exactly when it is legal, and every answer is the
// best of its moves: those local rules fix every distance in the tables.
TEST_F(EgtbLibrary, WholeTablesAgreeWithTheirMoves) {
  int wrong = 0;
  for (Kind kind : {Pawn, Knight, Bishop, Rook, Queen})
    for (int owner : {0, 1})
      for (int side : {0, 1})
        for (int i = 0; i < 64 * 64 * 64; ++i) {
          const Position p{{{0, King, i >> 12}, {1, King, (i >> 6) & 63}, {owner, kind, i & 63}}, 3, side};
          const char* error;
          const int32_t score = Probe(p, error);
          const bool good = Legal(p) ? !error && score == ExpectedScore(p) : error != nullptr;
          if (!good && ++wrong <= 5)
            ADD_FAILURE() << "kind " << kind << " owner " << owner << " side " << side << " placement " << i;
        }
  EXPECT_EQ(wrong, 0);
}

}  // namespace

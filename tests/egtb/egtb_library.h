// Test access to the real EGTB.DLL, loaded the way the engine loads it, and a
// small position type for its three-man endings.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <sstream>
#include <string>

#include "../../egtb/egtb_api.h"

namespace egtb_test {

enum Kind { Pawn, Knight, Bishop, Rook, Queen, King, None };

// Squares as the library numbers them: a1 = 0 ... h8 = 63.
inline int square(const std::string& name) { return (name[1] - '1') * 8 + (name[0] - 'a'); }

struct TbPosition {
  int whiteKing = 0, blackKing = 0;
  Kind kind = None;  // the man besides the kings, if any
  bool whiteOwns = true;
  int pieceSquare = 0;
  int side = 0;  // 0 White to move, 1 Black
};

// "Kc2 Pg7 / Ka1": White's men before the slash.
inline TbPosition parse(const std::string& text, int side) {
  TbPosition p;
  p.side = side;
  bool white = true;
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    if (word == "/") {
      white = false;
      continue;
    }
    const int sq = square(word.substr(1));
    const Kind kind = Kind(std::string("PNBRQK").find(word[0]));
    if (kind != King) p = TbPosition{p.whiteKing, p.blackKing, kind, white, sq, side};
    else if (white) p.whiteKing = sq;
    else p.blackKing = sq;
  }
  return p;
}

inline void encode(const TbPosition& p, int32_t whites[16], int32_t blacks[16], int32_t pclist[10]) {
  for (int i = 0; i < 16; ++i) whites[i] = blacks[i] = 0;
  for (int i = 0; i < 10; ++i) pclist[i] = 0;
  whites[EGTB_SLOT_KING] = p.whiteKing;
  blacks[EGTB_SLOT_KING] = p.blackKing;
  if (p.kind == None) return;
  int32_t* owner = p.whiteOwns ? whites : blacks;
  owner[p.kind * 3] = p.pieceSquare;
  pclist[p.kind + (p.whiteOwns ? 0 : 5)] = 1;
}

// The library, loaded and initialised once for the whole test run.
struct EgtbLibrary {
  InitTbPathCacheFn init = nullptr;
  ProbeTbPositionFn probe = nullptr;
  double initMilliseconds = 0;

  static const EgtbLibrary& get() {
    static const EgtbLibrary library;
    return library;
  }
  // The score, and the error text (nullptr when answered).
  int32_t probeWithError(const TbPosition& p, const char*& error) const {
    int32_t whites[16], blacks[16], pclist[10];
    encode(p, whites, blacks, pclist);
    error = "unset";
    return probe(whites, blacks, pclist, p.side, &error);
  }
  const char* refusal(const TbPosition& p) const {
    const char* error;
    probeWithError(p, error);
    return error;
  }
  int32_t score(const TbPosition& p) const {
    const char* error;
    const int32_t result = probeWithError(p, error);
    EXPECT_EQ(error, nullptr) << error;
    return result;
  }

 private:
  EgtbLibrary() {
    void* handle = dlopen(VOSTRAK_BUILD_DIR "/EGTB.DLL", RTLD_NOW | RTLD_LOCAL);
    if (!handle) return;
    init = reinterpret_cast<InitTbPathCacheFn>(dlsym(handle, "InitTbPathCache"));
    probe = reinterpret_cast<ProbeTbPositionFn>(dlsym(handle, "ProbeTbPosition"));
    if (!init || !probe) return;
    const char* error = nullptr;
    const auto start = std::chrono::steady_clock::now();
    init(::testing::TempDir().c_str(), 1 << 20, &error);
    initMilliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
};

// Every placement of the kings and the man, legal or not.
template <class Visit>
void forEachPlacement(Kind kind, int side, Visit visit) {
  for (int wk = 0; wk < 64; ++wk)
    for (int bk = 0; bk < 64; ++bk)
      for (int sq = 0; sq < 64; ++sq) visit(TbPosition{wk, bk, kind, true, sq, side});
}

class EgtbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tb.init && tb.probe) << "cannot load " VOSTRAK_BUILD_DIR "/EGTB.DLL";
  }
  const EgtbLibrary& tb = EgtbLibrary::get();
};

}  // namespace egtb_test

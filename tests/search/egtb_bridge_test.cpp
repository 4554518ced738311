#include "search/egtb_bridge.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/console.h"
#include "platform/files.h"
#include "support/eval_positions.h"

namespace {

// White Kg6, Qa7, Black Kh8: Qg7 or Qa8 mates at once.
constexpr const char* MateInOne = "7k/Q7/6K1/8/8/8/8/8 w - -";

class EgtbBridge : public ::testing::Test {
 protected:
  // What Init prints, but for the "Init EGTB" of the first set-up.
  std::string InitOutput() {
    OutputCapture capture;
    bridge.Init(tablebasePath, 32);
    std::string text = capture.Text();
    if (text.starts_with(InitLine)) text.erase(0, InitLine.size());
    return text;
  }
  static inline const std::string InitLine = "info string Init EGTB\n";
  void UseBuiltLibrary() {
    bridge.ChooseLibrary(JoinPath(VOSTRAK_BUILD_DIR, EGTBLibraryName));
    if (!FileExists(bridge.LibraryPath())) GTEST_SKIP() << "EGTB.DLL not built in " << VOSTRAK_BUILD_DIR;
  }
  bool Probe(const char* fen) { return bridge.Probe(*BoardFromFen(fen), score); }
  TEGTB bridge;
  std::string tablebasePath = "C:\\TBS";
  std::int32_t score = 0;
};

// A library that is no shared object or lacks an entry point is reported in
// one line naming it and the reason, and never probed.
TEST_F(EgtbBridge, UnusableLibrariesAreReportedAndNeverProbed) {
  const std::string without = "; play goes on without tablebases\n";
  EXPECT_FALSE(Probe(MateInOne));  // nothing chosen or set up yet
  const std::string text = ::testing::TempDir() + "vostrak-not-a-library-" + std::to_string(::getpid());
  WriteTextLines(text, {"not a shared object"});
  bridge.ChooseLibrary(text);
  const std::string notLoaded = InitOutput();
  EXPECT_TRUE(notLoaded.starts_with("info string tablebase library " + text + " not loaded: ")) << notLoaded;
  EXPECT_TRUE(notLoaded.ends_with(without)) << notLoaded;
  std::filesystem::remove(text);
  Dl_info info{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&std::printf), &info), 0);
  bridge.ChooseLibrary(info.dli_fname);  // the C library: loads, but exports neither entry point
  EXPECT_EQ(InitOutput(),
            "info string tablebase library " + std::string(info.dli_fname) + " has no InitTbPathCache" + without);
  EXPECT_FALSE(bridge.Loaded());
  EXPECT_FALSE(Probe(MateInOne));
}

// Any tablebase path will do; every man reaches the library on its own
// square, and scores are for the side to move.
TEST_F(EgtbBridge, RealLibraryTakesAnyPathAndScoresForTheSideToMove) {
  UseBuiltLibrary();
  for (const std::string& path : {tablebasePath, std::string("/nonexistent/tablebases"), std::string()}) {
    tablebasePath = path;
    EXPECT_TRUE(InitOutput().empty() && bridge.Loaded() && bridge.Men() == 3) << "'" << path << "'";
  }
  const std::pair<const char*, std::int32_t> cases[] = {
      {MateInOne, 9999},
      {"7k/6Q1/6K1/8/8/8/8/8 b - -", -10000},  // checkmated
      {"8/8/8/8/8/1k6/7q/K7 b - -", 9999},     // Black's queen mates
      {"8/6P1/8/8/8/8/2K5/k7 w - -", 9997},    // g8=R Ka2 Ra8#, where g8=Q stalemates
      {"k7/1R6/1K6/8/8/8/8/8 w - -", 9997},    // Rh7 Kb8 Rh8#
  };
  for (const auto& [fen, expected] : cases) {
    ASSERT_TRUE(Probe(fen)) << fen;
    EXPECT_EQ(score, expected) << fen;
  }
  EXPECT_FALSE(Probe("7k/Q7/6K1/8/8/8/8/R7 w - -")) << "four men";
  TProbeArguments arguments;
  EXPECT_FALSE(MakeProbeArguments(*BoardFromFen("4k3/8/nnnn4/8/8/8/8/4K3 w - -"), arguments)) << "three per kind";
}

TEST_F(EgtbBridge, ReinitialisingWhileOtherThreadsProbe) {
  UseBuiltLibrary();
  InitOutput();
  ASSERT_TRUE(bridge.Loaded());
  std::atomic<bool> done{false};
  std::atomic<int> answers{0}, wrong{0};
  std::vector<std::thread> helpers;  // probing through the one bridge, as helper search threads do
  for (int i = 0; i < 2; ++i)
    helpers.emplace_back([&] {
      auto own = BoardFromFen(MateInOne);
      for (std::int32_t result = 0; !done; result = 0) {
        if (!bridge.Probe(*own, result)) continue;
        ++answers;
        if (result != 9999) ++wrong;
      }
    });
  // Keep re-initialising until the helpers have really probed in between.
  for (int i = 0; i < 20 || (answers < 200 && i < 100000); ++i) InitOutput();
  done = true;
  for (auto& helper : helpers) helper.join();
  EXPECT_GT(answers, 0);
  EXPECT_EQ(wrong, 0);
}

}  // namespace

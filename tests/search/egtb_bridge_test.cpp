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
#include "platform/start_dir.h"
#include "support/eval_positions.h"

namespace {

// White Kg6, Qa7, Black Kh8: Qg7 or Qa8 mates at once.
constexpr const char* MateInOne = "7k/Q7/6K1/8/8/8/8/8 w - -";

class EgtbBridge : public ::testing::Test {
 protected:
  void SetUp() override {
    bridge.FirstInit();
    EGTBDllPath = "/nonexistent/EGTB.DLL";
  }
  void TearDown() override {
    ReleaseEGTBLibrary();
    EGTBMen = 0;
  }
  std::string InitOutput() {
    OutputCapture capture;
    bridge.Init();
    return capture.Text();
  }
  void UseBuiltLibrary() {
    EGTBDllPath = JoinPath(VOSTRAK_BUILD_DIR, EGTBLibraryName);
    if (!FileExists(EGTBDllPath)) GTEST_SKIP() << "EGTB.DLL not built in " << VOSTRAK_BUILD_DIR;
  }
  bool Probe(const char* fen) { return bridge.Probe(*BoardFromFen(fen), score); }
  TEGTB bridge;
  std::int32_t score = 0;
};

// Another library in EGTB.DLL's place, or none, is reported in "info string"
// lines, and the search plays without tablebases.
TEST_F(EgtbBridge, UnusableLibrariesAreReportedAndNeverProbed) {
  EXPECT_EQ(InitOutput(), "info string Init EGTB\ninfo string EGTB.DLL missing, must be in the same directory as Vostrak.\n");
  EXPECT_EQ(EGTBLibrary, nullptr);
  EXPECT_FALSE(Probe(MateInOne));
  Dl_info info{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&std::printf), &info), 0);
  EGTBDllPath = info.dli_fname;  // the C library: loads, but exports neither entry point
  EXPECT_EQ(InitOutput(), "info string Init EGTB\ninfo string Error EGTB access\n");
  EXPECT_FALSE(EGTBLoaded);
  EXPECT_FALSE(Probe(MateInOne));
}

TEST_F(EgtbBridge, CacheSizeOutsideItsRangeBecomes8) {
  for (auto [given, used] : {std::pair{0, 8}, {1, 1}, {1024, 1024}, {1025, 8}}) {
    NalimovCache = given;
    InitOutput();
    EXPECT_EQ(NalimovCache, used) << given;
  }
}

TEST_F(EgtbBridge, FirstInitFindsTheLibraryInTheStartDirectoryFirst) {
  const std::string savedStartDir = StartDir;
  StartDir = ::testing::TempDir() + "vostrak-egtb-" + std::to_string(::getpid());
  std::filesystem::create_directories(StartDir);
  NalimovCache = 64;
  bridge.FirstInit();
  EXPECT_EQ(NalimovCache, 32);
  const std::string beside = JoinPath(ExecutableDirectory(), EGTBLibraryName);
  EXPECT_EQ(EGTBDllPath, FileExists(beside) ? beside : JoinPath(StartDir, EGTBLibraryName));
  WriteTextLines(JoinPath(StartDir, EGTBLibraryName), {});
  bridge.FirstInit();
  EXPECT_EQ(EGTBDllPath, JoinPath(StartDir, EGTBLibraryName));
  std::filesystem::remove_all(StartDir);
  StartDir = savedStartDir;
}

TEST(EgtbProbeArguments, SquaresFromA1AndThreeSlotsPerKind) {
  auto board = BoardFromFen("r2qk3/8/8/8/8/8/4P3/1N2K1N1 b - -");
  board->PieceLists[Dark].Men[board->ListIndex[0]].Active = false;  // the a8 rook was taken
  TProbeArguments arguments;
  ASSERT_TRUE(MakeProbeArguments(*board, arguments));
  using Slots = std::vector<std::int32_t>;
  //                                                P  .  .  N  N  .  B  .  .  R  .  .  Q  .  .  K
  EXPECT_EQ(Slots(arguments.whites, arguments.whites + 16), (Slots{12, 0, 0, 1, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4}));
  EXPECT_EQ(Slots(arguments.blacks, arguments.blacks + 16), (Slots{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 59, 0, 0, 60}));
  EXPECT_EQ(Slots(arguments.pclist, arguments.pclist + 16), (Slots{1, 2, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(MakeProbeArguments(*BoardFromFen("4k3/8/nnnn4/8/8/8/8/4K3 w - -"), arguments)) << "three per kind";
}

// Our library computes its tables: any path will do, the start value from
// another system, a file, nothing at all.
TEST_F(EgtbBridge, RealLibraryTakesAnyPathAndScoresForTheSideToMove) {
  UseBuiltLibrary();
  const std::string file = JoinPath(VOSTRAK_BUILD_DIR, EGTBLibraryName);
  for (const std::string& path : {NalimovPath, std::string("/nonexistent/tablebases"), file, std::string()}) {
    NalimovPath = path;
    EXPECT_EQ(InitOutput(), "info string Init EGTB\n") << "'" << path << "'";
    EXPECT_TRUE(EGTBLoaded) << "'" << path << "'";
    EXPECT_EQ(EGTBMen, 3) << "'" << path << "'";
  }
  ASSERT_TRUE(Probe(MateInOne));
  EXPECT_EQ(score, 9999);
  ASSERT_TRUE(Probe("7k/6Q1/6K1/8/8/8/8/8 b - -"));  // checkmated
  EXPECT_EQ(score, -10000);
  EXPECT_FALSE(Probe("7k/Q7/6K1/8/8/8/8/R7 w - -")) << "four men";
}

TEST_F(EgtbBridge, ReinitialisingWhileOtherThreadsProbe) {
  UseBuiltLibrary();
  InitOutput();
  ASSERT_TRUE(EGTBLoaded);
  auto board = BoardFromFen(MateInOne);
  std::atomic<bool> done{false};
  std::atomic<int> answers{0}, wrong{0};
  std::vector<std::thread> helpers;  // each as a helper thread's bridge: never initialised, shares the probe
  for (int i = 0; i < 2; ++i)
    helpers.emplace_back([&] {
      TEGTB helper;
      for (std::int32_t result = 0; !done; result = 0) {
        helper.ProbEGTB = bridge.ProbEGTB.load();
        if (!helper.Probe(*board, result)) continue;
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

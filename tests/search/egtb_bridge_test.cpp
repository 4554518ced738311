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
  // What Init prints, but for the "Init EGTB" that opens the bridge's
  // first set-up.
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

// A library that is missing, is no shared object, lacks an entry point or
// fails to set up is reported in "info string" lines naming it and the
// reason, and the search plays without tablebases.
TEST_F(EgtbBridge, UnusableLibrariesAreReportedAndNeverProbed) {
  const std::string without = "; play goes on without tablebases\n";
  // A new bridge has chosen no library yet: none found.
  EXPECT_EQ(InitOutput(), "info string EGTB.DLL missing, must be in the same directory as Vostrak.\n"
                          "info string EGTB.DLL looked for in " + ExecutableDirectory() + ", " +
                              JoinPath(ParentDirectory(ExecutableDirectory()), EGTBInstalledFolder) +
                              ": not found" + without);
  EXPECT_FALSE(Probe(MateInOne));
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
  EXPECT_EQ(InitOutput(), "info string tablebase library " + std::string(info.dli_fname) + " has no InitTbPathCache" + without);
  EXPECT_FALSE(bridge.Loaded());
  EXPECT_FALSE(Probe(MateInOne));
}

// Only the engine's own folders are searched, never the one it was started
// from; the option names any other library, and clearing it searches again.
TEST_F(EgtbBridge, TheLibraryComesFromTheEnginesFoldersOrTheOption) {
  const std::string exeDir = ExecutableDirectory();
  EXPECT_EQ(EGTBLibraryFolders(),
            (std::vector<std::string>{exeDir, JoinPath(ParentDirectory(exeDir), EGTBInstalledFolder)}));
  const std::string beside = JoinPath(exeDir, EGTBLibraryName);
  bridge.ChooseLibrary("");
  EXPECT_EQ(bridge.LibraryPath(), FileExists(beside) ? beside : "");
  bridge.ChooseLibrary("/opt/tablebases/EGTB.DLL");
  EXPECT_EQ(bridge.LibraryPath(), "/opt/tablebases/EGTB.DLL");
  bridge.ChooseLibrary("");
  EXPECT_EQ(bridge.LibraryPath(), FileExists(beside) ? beside : "");
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
  for (const std::string& path : {tablebasePath, std::string("/nonexistent/tablebases"), file, std::string()}) {
    tablebasePath = path;
    EXPECT_EQ(InitOutput(), "") << "'" << path << "'";
    EXPECT_TRUE(bridge.Loaded()) << "'" << path << "'";
    EXPECT_EQ(bridge.Men(), 3) << "'" << path << "'";
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
  ASSERT_TRUE(bridge.Loaded());
  std::atomic<bool> done{false};
  std::atomic<int> answers{0}, wrong{0};
  std::vector<std::thread> helpers;  // each as a helper search thread probes: through the one bridge
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

#include "protocol/egtb_bridge.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "platform/console.h"
#include "platform/files.h"
#include "protocol/start_dir.h"

namespace {

namespace fs = std::filesystem;

struct Man {
  TSide side;
  TBoardPiece kind;
  int square;  // a8 = 0 .. h1 = 63
};

// A search board holding these men, kings first, with its piece lists filled
// as board preparation would.
std::unique_ptr<TSearchBoard> BoardWith(std::initializer_list<Man> men, TSide toMove) {
  auto board = std::make_unique<TSearchBoard>();
  board->Color.fill(bsEmpty);
  board->Piece.fill(bpEmpty);
  board->Max_light = board->Max_dark = 1;
  for (const Man& man : men) {
    board->Color[man.square] = TBoardSide(man.side);
    board->Piece[man.square] = man.kind;
    std::uint32_t& last = man.side == Light ? board->Max_light : board->Max_dark;
    const std::uint32_t index = man.kind == King ? 1 : ++last;
    board->PIECES[man.side].TabPieces[index] = TEtatPieces{0, man.square, true, false, NonRoque};
    board->Tabindex[man.square] = index;
  }
  board->Side = toMove;
  board->XSide = Opponent(toMove);
  return board;
}

std::string BuiltLibrary() { return JoinPath(VOSTRAK_BUILD_DIR, EGTBLibraryName); }

class EgtbBridge : public ::testing::Test {
 protected:
  void SetUp() override {
    bridge.FirstInit();
    EGTBDllPath = "/nonexistent/EGTB.DLL";
  }
  void TearDown() override {
    ReleaseEGTBLibrary();
    EGTBMen = 0;
    for (const auto& dir : tempDirs) fs::remove_all(dir);
  }

  // Runs Init and returns what it printed.
  std::string InitOutput() {
    OutputCapture capture;
    bridge.Init();
    return capture.Text();
  }
  void UseBuiltLibrary() {
    if (!FileExists(BuiltLibrary())) GTEST_SKIP() << "EGTB.DLL not built in " << VOSTRAK_BUILD_DIR;
    EGTBDllPath = BuiltLibrary();
  }
  std::string TempDir() {
    std::string pattern = (fs::temp_directory_path() / "vostrak-egtb-XXXXXX").string();
    const char* dir = mkdtemp(pattern.data());
    EXPECT_NE(dir, nullptr);
    tempDirs.push_back(pattern);
    return pattern;
  }

  TEGTB bridge;
  std::vector<std::string> tempDirs;
};

TEST_F(EgtbBridge, MissingLibraryIsReportedAndNothingIsProbed) {
  EXPECT_EQ(InitOutput(), "Init EGTB\nEGTB.DLL missing, must be in the same directory as Vostrak.\n");
  EXPECT_FALSE(EGTBLoaded);
  EXPECT_EQ(EGTBLibrary, nullptr);
  auto board = BoardWith({{Light, King, 22}, {Light, Queen, 8}, {Dark, King, 7}}, Light);
  std::int32_t score = 0;
  EXPECT_FALSE(bridge.Probe(*board, score));
}

TEST_F(EgtbBridge, LibraryWithoutEntryPointsIsAnAccessError) {
  Dl_info info{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&std::printf), &info), 0);
  EGTBDllPath = info.dli_fname;  // the C library: loads, but exports neither entry point
  EXPECT_EQ(InitOutput(), "Init EGTB\nError EGTB access\n");
  EXPECT_FALSE(EGTBLoaded);
}

TEST_F(EgtbBridge, CacheSizeOutsideItsRangeBecomes8) {
  for (auto [given, used] : {std::pair{0, 8}, {2000, 8}, {-3, 8}, {1, 1}, {1024, 1024}}) {
    NalimovCache = given;
    InitOutput();
    EXPECT_EQ(NalimovCache, used) << given;
  }
}

TEST_F(EgtbBridge, FirstInitFindsTheLibraryInTheStartDirectoryFirst) {
  const std::string savedStartDir = StartDir;
  StartDir = TempDir();
  NalimovCache = 64;
  bridge.FirstInit();
  EXPECT_EQ(NalimovCache, 32);
  const std::string beside = JoinPath(ExecutableDirectory(), EGTBLibraryName);
  EXPECT_EQ(EGTBDllPath, FileExists(beside) ? beside : JoinPath(StartDir, EGTBLibraryName));
  WriteTextLines(JoinPath(StartDir, EGTBLibraryName), {});
  bridge.FirstInit();
  EXPECT_EQ(EGTBDllPath, JoinPath(StartDir, EGTBLibraryName));
  StartDir = savedStartDir;
}

TEST(EgtbProbeArguments, SquaresFromA1AndThreeSlotsPerKind) {
  auto board = BoardWith({{Light, King, 60},
                          {Light, Pawn, 52},
                          {Light, Knight, 57},
                          {Light, Knight, 62},
                          {Dark, King, 4},
                          {Dark, Queen, 3},
                          {Dark, Rook, 0}},
                         Dark);
  board->PIECES[Dark].TabPieces[3].Active = false;  // the rook was taken
  TProbeArguments arguments;
  ASSERT_TRUE(MakeProbeArguments(*board, arguments));
  using Slots = std::vector<std::int32_t>;
  //                                                P  .  .  N  N  .  B  .  .  R  .  .  Q  .  .  K
  EXPECT_EQ(Slots(arguments.whites, arguments.whites + 16), (Slots{12, 0, 0, 1, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4}));
  EXPECT_EQ(Slots(arguments.blacks, arguments.blacks + 16), (Slots{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 59, 0, 0, 60}));
  EXPECT_EQ(Slots(arguments.pclist, arguments.pclist + 16), (Slots{1, 2, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}));

  auto fourKnights = BoardWith({{Light, King, 60}, {Dark, King, 4}, {Dark, Knight, 16}, {Dark, Knight, 17},
                                {Dark, Knight, 18}, {Dark, Knight, 19}},
                               Light);
  EXPECT_FALSE(MakeProbeArguments(*fourKnights, arguments)) << "three slots per kind";
}

// Stands in for the library's probe and keeps what it was given.
struct FakeProbe {
  static inline std::int32_t side = -1;
  static inline const char* error = nullptr;
  static std::int32_t Probe(const std::int32_t*, const std::int32_t*, const std::int32_t*, std::int32_t s,
                            const char** errorText) {
    side = s;
    *errorText = error;
    return 123;
  }
};

TEST_F(EgtbBridge, ProbeHandsTheSideToMoveAndReadsTheErrorText) {
  bridge.ProbEGTB = &FakeProbe::Probe;
  EGTBLoaded = true;
  auto board = BoardWith({{Light, King, 63}, {Dark, King, 0}}, Dark);
  std::int32_t score = 0;
  FakeProbe::error = "";
  EXPECT_TRUE(bridge.Probe(*board, score));
  EXPECT_EQ(score, 123);
  EXPECT_EQ(FakeProbe::side, Dark);
  FakeProbe::error = "no such position";
  EXPECT_FALSE(bridge.Probe(*board, score));
  EGTBLoaded = false;
  FakeProbe::side = -1;
  EXPECT_FALSE(bridge.Probe(*board, score));
  EXPECT_EQ(FakeProbe::side, -1) << "nothing is asked of an unusable library";
}

TEST_F(EgtbBridge, RealLibraryInitialisesWithADirectory) {
  UseBuiltLibrary();
  NalimovPath = TempDir();
  EXPECT_EQ(InitOutput(), "Init EGTB\n");
  EXPECT_TRUE(EGTBLoaded);
  EXPECT_EQ(EGTBMen, 3);
  EXPECT_NE(bridge.ProbEGTB.load(), nullptr);
}

TEST_F(EgtbBridge, RealLibraryRejectsAMissingDirectory) {
  UseBuiltLibrary();
  NalimovPath = "/nonexistent/tablebases";
  const std::string output = InitOutput();
  EXPECT_FALSE(EGTBLoaded);
  EXPECT_FALSE(EGTBMessage.empty());
  EXPECT_EQ(output, "Init EGTB\n" + EGTBMessage + "\n");
}

TEST_F(EgtbBridge, RealLibraryScoresAQueenMate) {
  UseBuiltLibrary();
  NalimovPath = TempDir();
  InitOutput();
  ASSERT_TRUE(EGTBLoaded);
  // White Kg6, Qa7, Black Kh8: Qg7 or Qa8 mates at once.
  auto whiteToMove = BoardWith({{Light, King, 22}, {Light, Queen, 8}, {Dark, King, 7}}, Light);
  std::int32_t score = 0;
  ASSERT_TRUE(bridge.Probe(*whiteToMove, score));
  EXPECT_EQ(score, 9999);
  // White Kg6, Qg7, Black Kh8 to move: checkmated.
  auto mated = BoardWith({{Light, King, 22}, {Light, Queen, 14}, {Dark, King, 7}}, Dark);
  ASSERT_TRUE(bridge.Probe(*mated, score));
  EXPECT_EQ(score, -10000);
}

TEST_F(EgtbBridge, ReinitialisingWhileOtherThreadsProbe) {
  UseBuiltLibrary();
  NalimovPath = TempDir();
  InitOutput();
  ASSERT_TRUE(EGTBLoaded);
  auto board = BoardWith({{Light, King, 22}, {Light, Queen, 8}, {Dark, King, 7}}, Light);
  std::atomic<bool> done{false};
  std::atomic<int> answers{0}, wrong{0};
  std::vector<std::thread> helpers;
  for (int i = 0; i < 2; ++i) {
    helpers.emplace_back([&] {
      TEGTB helper;  // as a helper thread's: never initialised, shares the probe
      for (std::int32_t score = 0; !done; score = 0) {
        helper.ProbEGTB = bridge.ProbEGTB.load();
        if (!helper.Probe(*board, score)) continue;
        ++answers;
        if (score != 9999) ++wrong;
      }
    });
  }
  // Keep re-initialising until the helpers have really probed in between.
  for (int i = 0; i < 20 || (answers < 200 && i < 100000); ++i) InitOutput();
  done = true;
  for (auto& helper : helpers) helper.join();
  EXPECT_GT(answers, 0);
  EXPECT_EQ(wrong, 0);
}

}  // namespace

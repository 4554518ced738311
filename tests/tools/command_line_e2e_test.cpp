// The command line through the real binary: --help and --version answer and exit, an unknown argument is refused; and
// an installed copy finds its tablebase library from anywhere.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "platform/files.h"
#include "protocol/uci.h"
#include "search/egtb_bridge.h"
#include "support/engine_process.h"

namespace {

namespace fs = std::filesystem;

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// What the program run with `args` prints, and its exit code; its input is left open, so that only one that exits by
// itself has one.
struct TRun {
  std::string text;
  std::optional<int> exitCode;
};
TRun RunEngine(const std::vector<std::string>& args, const std::string& binary = "") {
  EngineProcess engine(args, "", binary);
  const std::string text = Joined(engine.ReadFor(5000));
  return {text, engine.WaitExit(1000)};
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A folder as the usage lists it, on a line of its own.
std::string ListedFolder(const std::string& folder) { return std::string("  ").append(folder).append("\n"); }

TEST(CommandLine, HelpAndVersionAnswerAndExitAndUnknownArgumentsAreRefused) {
  for (const char* help : {"--help", "-h"}) {
    const TRun run = RunEngine({help});
    ASSERT_EQ(run.exitCode, 0) << help;
    const std::string& text = run.text;
    for (const char* part : {"Usage: vostrak ", "UCI", "perft DEPTH [FEN]", "bench [DEPTH]", EGTBLibraryName})
      EXPECT_TRUE(Contains(text, part)) << help << " lacks " << part << ":\n" << text;
    // Where the build left the engine, and the installed folder beside it.
    const std::string buildDir = ParentDirectory(EngineBinary());
    EXPECT_TRUE(Contains(text, ListedFolder(buildDir))) << text;
    EXPECT_TRUE(Contains(text, ListedFolder(JoinPath(ParentDirectory(buildDir), EGTBInstalledFolder)))) << text;
    EXPECT_FALSE(Contains(text, "id name")) << text;
  }
  const TRun version = RunEngine({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.text, std::string(EngineName) + "\n");
  for (const char* argument : {"--bogus", "-v", "help", "uci", ""}) {
    const TRun run = RunEngine({argument});
    EXPECT_EQ(run.exitCode, 2) << "'" << argument << "'";
    EXPECT_EQ(run.text, "") << "'" << argument << "' wrote on standard output";
  }
  const TRun refusal = RunEngine({"-c", "exec \"$0\" --bogus 2>&1", EngineBinary()}, "/bin/sh");  // standard error
  EXPECT_TRUE(Contains(refusal.text, "unknown argument '--bogus'")) << refusal.text;
  EXPECT_TRUE(Contains(refusal.text, "vostrak --help")) << refusal.text;
}

// Copies (the engine resolves its own path) of the engine in PREFIX/games and of the library in PREFIX/lib/vostrak,
// started from a folder without the library, as a chess interface starts it.
class InstalledTree : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string library = JoinPath(VOSTRAK_BUILD_DIR, EGTBLibraryName);
    if (!FileExists(library)) GTEST_SKIP() << EGTBLibraryName << " not built in " << VOSTRAK_BUILD_DIR;
    fs::remove_all(prefix);
    fs::create_directories(prefix / "games");
    fs::create_directories(libraryFolder);
    fs::create_directories(startFolder);
    fs::copy_file(EngineBinary(), engine);
    fs::copy_file(library, libraryFolder / EGTBLibraryName);
  }
  void TearDown() override { fs::remove_all(prefix); }
  // What the engine started in the start folder prints up to the answer in a tablebase ending, the option naming
  // `library` when it is not empty.
  std::string Play(const std::string& library) const {
    EngineProcess process({}, startFolder.string(), engine.string());
    process.Send("uci");
    if (!library.empty()) process.Send("setoption name TablebaseLibrary value " + library);
    process.Send("isready");
    process.Send("position fen 8/8/8/4k3/8/8/8/4K2Q w - - 0 1");
    process.Send("go depth 3");
    std::vector<std::string> lines;
    process.ReadUntil("bestmove", 20000, &lines);
    process.Send("quit");
    return Joined(lines);
  }

  const fs::path prefix = fs::path(::testing::TempDir()) / ("vostrak-installed-" + std::to_string(::getpid()));
  const fs::path engine = prefix / "games" / "vostrak";
  const fs::path libraryFolder = prefix / EGTBInstalledFolder;
  const fs::path startFolder = prefix / "home";
};

// A library of the tablebase library's name in the start folder is never loaded: the engine uses its own, and says when
// it is gone; the option loads the one it names, or says why it cannot.
TEST_F(InstalledTree, FindsItsOwnLibraryNeverTheStartFoldersAndTheOptionNamesAny) {
  const fs::path stranger = startFolder / EGTBLibraryName, mark = startFolder / "planted-library-was-loaded";
  fs::copy_file(VOSTRAK_PLANTED_LIBRARY, stranger);
  const std::regex answered("tbhits [1-9]");
  std::string answer = Play("");
  EXPECT_TRUE(Contains(answer, "info string Init EGTB\nreadyok\n")) << answer;
  EXPECT_TRUE(std::regex_search(answer, answered)) << answer;  // its own library answered
  EXPECT_FALSE(fs::exists(mark)) << answer;
  EXPECT_TRUE(Contains(RunEngine({"--help"}, engine).text, ListedFolder(libraryFolder)));
  // Named by the option, the stranger is loaded, found wanting, and play goes on.
  answer = Play(stranger.string());
  EXPECT_TRUE(Contains(answer, "has no InitTbPathCache; play goes on without tablebases")) << answer;
  EXPECT_TRUE(Contains(answer, "tbhits 0 ")) << answer;
  EXPECT_TRUE(Contains(answer, "bestmove ")) << answer;
  // Moved to another name and folder, its own library is missed, and serves once the option names it.
  const fs::path elsewhere = prefix / "tables" / "three men.so";
  fs::create_directories(elsewhere.parent_path());
  fs::rename(libraryFolder / EGTBLibraryName, elsewhere);
  fs::remove(mark);
  answer = Play("");
  EXPECT_TRUE(Contains(answer, std::string(EGTBLibraryName).append(" missing"))) << answer;
  EXPECT_TRUE(Contains(answer, "looked for in " + (prefix / "games").string() + ", " + libraryFolder.string() +
                                   ": not found; play goes on without tablebases"))
      << answer;
  EXPECT_TRUE(Contains(answer, "bestmove ")) << answer;
  EXPECT_FALSE(fs::exists(mark)) << answer;
  answer = Play(elsewhere.string());
  EXPECT_FALSE(Contains(answer, "without tablebases")) << answer;
  EXPECT_TRUE(std::regex_search(answer, answered)) << answer;
}

}  // namespace

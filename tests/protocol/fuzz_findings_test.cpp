// The fuzz targets' seed corpora and the inputs a fuzz run found a fault
// with (fuzz/findings/<target>/), replayed through their checks (fuzz/harness).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz_checks.h"

namespace {

using TCheck = std::string (*)(std::string_view);

// Every input kept for the target; a target needs seeds at least.
void ReplayInputs(const std::string& target, TCheck check) {
  PrepareFuzzChecks();
  int replayed = 0;
  for (const char* folder : {"corpus", "findings"}) {
    const std::filesystem::path inputs = std::filesystem::path(VOSTRAK_FUZZ_DIR) / folder / target;
    if (!std::filesystem::is_directory(inputs)) continue;
    for (const auto& file : std::filesystem::directory_iterator(inputs)) {
      std::ifstream stream(file.path(), std::ios::binary);
      std::stringstream text;
      text << stream.rdbuf();
      EXPECT_EQ(check(text.str()), "") << file.path();
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0) << "no inputs for " << target;
}

TEST(FuzzFindings, FenReader) { ReplayInputs("fen_reader", CheckFenReader); }
TEST(FuzzFindings, MoveText) { ReplayInputs("move_text", CheckMoveText); }
TEST(FuzzFindings, GoCommand) { ReplayInputs("go_command", CheckGoCommand); }
TEST(FuzzFindings, SetOption) { ReplayInputs("setoption", CheckSetOption); }
TEST(FuzzFindings, CommandLoop) { ReplayInputs("command_loop", CheckCommandLoop); }

}  // namespace

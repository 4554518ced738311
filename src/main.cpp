// Vostrak: a UCI chess engine. Without arguments it speaks UCI on standard
// input and output; developer tools run as subcommands.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "board/geometry.h"
#include "board/keys.h"
#include "platform/console.h"
#include "protocol/convert.h"
#include "platform/start_dir.h"
#include "protocol/uci.h"
#include "tools/bench.h"
#include "tools/perft.h"

namespace {

int RunTool(const std::string& tool, const std::vector<std::string>& args) {
  if (tool == "perft") return PerftCommand(args);
  if (tool == "bench") return BenchCommand(args);
  std::fprintf(stderr, "unknown command '%s'; tools: perft DEPTH [FEN], bench [DEPTH]\n", tool.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  InitStartDir();
  InitGeometry();
  InitHashKeys();
  if (argc > 1) return RunTool(argv[1], std::vector<std::string>(argv + 2, argv + argc));
  try {
    WaitForUci();
  } catch (const std::exception& error) {
    WriteInfoString(ErrorLine(error));
  }
  return 0;
}

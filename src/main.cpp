// Vostrak: a UCI chess engine. Without arguments it speaks UCI on standard
// input and output; developer tools run as subcommands, and --help and
// --version answer without starting the engine.
#include <exception>
#include <string>
#include <vector>

#include "board/geometry.h"
#include "board/keys.h"
#include "platform/console.h"
#include "protocol/convert.h"
#include "protocol/uci.h"
#include "tools/bench.h"
#include "tools/perft.h"
#include "tools/usage.h"

namespace {

int RunTool(const std::string& tool, const std::vector<std::string>& args) {
  if (tool == "perft") return PerftCommand(args);
  if (tool == "bench") return BenchCommand(args);
  if (tool == "--help" || tool == "-h") return HelpCommand();
  if (tool == "--version") return VersionCommand();
  return RefuseArgument(tool);
}

}  // namespace

int main(int argc, char** argv) {
  InitGeometry();
  InitHashKeys();
  if (argc > 1) return RunTool(argv[1], std::vector<std::string>(argv + 2, argv + argc));
  try {
    WaitForUci();
  } catch (const std::exception& error) { WriteInfoString(ErrorLine(error)); }
  return 0;
}

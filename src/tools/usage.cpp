#include "tools/usage.h"

#include <cstdio>

#include "protocol/uci.h"
#include "search/egtb_bridge.h"
#include "tools/bench.h"

std::string UsageText() {
  std::string text =
      "Usage: vostrak                     play: speak UCI on standard input and output\n"
      "       vostrak perft [--chess960] DEPTH [FEN]\n"
      "                                  developer tool: count the move tree\n"
      "       vostrak bench [DEPTH]       developer tool: the search's signature\n"
      "       vostrak --help | --version\n"
      "\n"
      "Without arguments Vostrak is a UCI chess engine: a chess interface starts it\n"
      "(xboard through its UCI adapter, polyglot). It waits for \"uci\"; \"quit\" or the\n"
      "end of input ends it. After \"uci\", \"test\" runs an EPD file to a fixed depth.\n"
      "\n"
      "Developer tools:\n"
      "  perft DEPTH [FEN]  leaves DEPTH plies below FEN (the start position if none),\n"
      "                     per root move, then the total, the time and the speed;\n"
      "                     --chess960 reads Chess960 castling fields and writes\n"
      "                     castling as the king taking its own rook\n"
      "  bench [DEPTH]      fixed positions to DEPTH (1 to " +
      std::to_string(MaxBenchDepth) + ", default " + std::to_string(DefaultBenchDepth) +
      "): nodes, speed\n"
      "\n"
      "The tablebase library " +
      EGTBLibraryName +
      " is looked for in, first to last (never in the folder\n"
      "the engine is started from; the TablebaseLibrary option names any other):\n";
  for (const std::string& folder : EGTBLibraryFolders()) text += "  " + folder + "\n";
  return text + "\nThe manual: man 6 vostrak\n";
}

int HelpCommand() {
  std::fputs(UsageText().c_str(), stdout);
  return 0;
}

int VersionCommand() {
  std::printf("%s\n", EngineName.c_str());
  return 0;
}

int RefuseArgument(const std::string& argument) {
  std::fprintf(stderr, "vostrak: unknown argument '%s'\nTry 'vostrak --help' for the usage.\n", argument.c_str());
  return 2;
}

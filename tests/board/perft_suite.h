// The perft suite: positions with their published leaf counts by depth.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

struct TPerftCase {
  std::string fen;
  std::map<int, std::uint64_t> leaves;  // depth -> count
};

// Lines of the form "FEN ;D1 20 ;D2 400 ...".
// The standard suite, or another file of the same form in the test data.
inline std::vector<TPerftCase> LoadPerftSuite(const char* file = "perftsuite.epd") {
  std::vector<TPerftCase> cases;
  std::ifstream in(std::string(VOSTRAK_TEST_DATA) + "/" + file);
  for (std::string line; std::getline(in, line);) {
    const auto cut = line.find(';');
    if (cut == std::string::npos) continue;
    TPerftCase c;
    c.fen = line.substr(0, line.find_last_not_of(' ', cut - 1) + 1);
    for (auto pos = cut; pos != std::string::npos; pos = line.find(';', pos + 1)) {
      int depth = 0;
      unsigned long long count = 0;
      if (std::sscanf(line.c_str() + pos, ";D%d %llu", &depth, &count) == 2) c.leaves[depth] = count;
    }
    cases.push_back(c);
  }
  return cases;
}

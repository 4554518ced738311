// The bench developer tool: a fixed set of positions searched to a fixed
// depth with one thread and fresh tables. Its node count is the search's
// signature: a change meant to leave the search alone must leave it equal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int DefaultBenchDepth = 7;
inline constexpr int MaxBenchDepth = 30;

struct TBenchResult {
  std::uint64_t nodes = 0;
  std::int64_t milliseconds = 0;
};

// Searches every bench position to `depth` and sums the nodes.
TBenchResult RunBench(int depth, bool printPositions);

// `vostrak bench [DEPTH]`: args are the words after "bench".
int BenchCommand(const std::vector<std::string>& args);

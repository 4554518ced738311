#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/console.h"

// Several threads print at once into the real standard output (redirected to
// a file here): every line must arrive whole.
TEST(Console, WriteStringKeepsLinesWholeAcrossThreads) {
  char path[] = "/tmp/vostrak-console-XXXXXX";
  const int file = mkstemp(path);
  ASSERT_GE(file, 0);
  std::fflush(stdout);
  const int saved = dup(1);
  dup2(file, 1);
  const auto lineOf = [](int t) { return "info thread " + std::to_string(t) + " " + std::string(200, char('a' + t)); };
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t)
    writers.emplace_back([&, t] {
      for (int i = 0; i < 500; ++i) WriteString(lineOf(t));
    });
  for (auto& writer : writers) writer.join();
  WriteString("");  // writes nothing, not even a line end
  std::fflush(stdout);
  dup2(saved, 1);
  close(saved);
  close(file);
  std::map<std::string, int> count;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) ++count[line];
  for (int t = 0; t < 4; ++t) EXPECT_EQ(count[lineOf(t)], 500);
  EXPECT_EQ(count.size(), 4u) << "torn or extra lines";
  std::remove(path);
}

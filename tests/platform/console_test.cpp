#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
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

  constexpr int kThreads = 4, kLines = 500;
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t)
    writers.emplace_back([t] {
      const std::string line = "info thread " + std::to_string(t) + " " + std::string(200, char('a' + t));
      for (int i = 0; i < kLines; ++i) writeString(line);
    });
  for (auto& writer : writers) writer.join();
  writeString("");  // writes nothing, not even a line end

  std::fflush(stdout);
  dup2(saved, 1);
  close(saved);
  close(file);

  std::ifstream in(path);
  int count[kThreads] = {};
  for (std::string line; std::getline(in, line);) {
    ASSERT_GT(line.size(), 14u);
    const int t = line[12] - '0';
    ASSERT_TRUE(t >= 0 && t < kThreads) << line;
    EXPECT_EQ(line, "info thread " + std::to_string(t) + " " + std::string(200, char('a' + t)));
    ++count[t];
  }
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(count[t], kLines);
  std::remove(path);
}

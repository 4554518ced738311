// The real engine binary as a child process over pipes; every read has a timeout, so a hung engine fails the test.
#pragma once

#include <optional>
#include <string>
#include <vector>

class EngineProcess {
 public:
  // `binary` (this build's engine when empty) with `args`, run in `workingDir` (ours when empty).
  explicit EngineProcess(const std::vector<std::string>& args = {}, const std::string& workingDir = "",
                         const std::string& binary = "");
  ~EngineProcess();
  EngineProcess(const EngineProcess&) = delete;
  EngineProcess& operator=(const EngineProcess&) = delete;

  void Send(const std::string& line);
  void CloseInput();  // end of input
  // The next line, or nothing on timeout or end of output.
  std::optional<std::string> ReadLine(int timeoutMs = 5000);
  // Reads until a line starts with `prefix` (returned), keeping what it read in `seen`.
  std::optional<std::string> ReadUntil(const std::string& prefix, int timeoutMs = 10000,
                                       std::vector<std::string>* seen = nullptr);
  // Every line printed within `ms`, or before the output ends.
  std::vector<std::string> ReadFor(int ms) {
    std::vector<std::string> lines;
    ReadUntil("\n", ms, &lines);  // no line holds a newline
    return lines;
  }
  // The exit status, or nothing on timeout.
  std::optional<int> WaitExit(int timeoutMs = 5000);

 private:
  int pid_ = -1, in_ = -1, out_ = -1;
  std::string buffer_;
  std::optional<int> status_;
};

std::string EngineBinary();

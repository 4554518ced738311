// Runs the real engine binary as a child process and talks to it over pipes,
// as a chess interface does. Every read has a timeout, so a hung engine fails
// the test instead of hanging it.
#pragma once

#include <optional>
#include <string>
#include <vector>

class EngineProcess {
 public:
  // Starts `binary` (the engine of this build when empty) with `args`, in
  // `workingDir` (this process's own when empty).
  explicit EngineProcess(const std::vector<std::string>& args = {}, const std::string& workingDir = "",
                         const std::string& binary = "");
  ~EngineProcess();
  EngineProcess(const EngineProcess&) = delete;
  EngineProcess& operator=(const EngineProcess&) = delete;

  void Send(const std::string& line);
  // Closes the engine's standard input (end of input).
  void CloseInput();
  // The next output line, or nothing when none came within the timeout.
  std::optional<std::string> ReadLine(int timeoutMs = 5000);
  // Reads lines until one starts with `prefix` (returned) or the timeout ends.
  std::optional<std::string> ReadUntil(const std::string& prefix, int timeoutMs = 10000,
                                       std::vector<std::string>* seen = nullptr);
  // Every line printed within `ms` milliseconds.
  std::vector<std::string> ReadFor(int ms);
  // Waits for the process to end; its exit status, or nothing on timeout.
  std::optional<int> WaitExit(int timeoutMs = 5000);

 private:
  int pid_ = -1;
  int in_ = -1;   // engine's stdin
  int out_ = -1;  // engine's stdout
  std::string buffer_;
  bool exited_ = false;
  int status_ = 0;
};

// Path of the engine built alongside the tests.
std::string EngineBinary();

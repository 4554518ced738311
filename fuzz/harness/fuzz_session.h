// A whole engine driven line by line as an interface drives it, with its
// output captured and checked. Every search is bounded by a node count the
// session adds to each "go", so that a session ends in a fraction of a
// second: only "infinite" and "ponder" searches wait for the next line.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"
#include "protocol/uci.h"

// Nodes each search of a session may spend: a few iterations, and quick even
// under the sanitizers.
constexpr int SessionNodeLimit = 300;

class TFuzzSession {
 public:
  // A fresh engine with the default options, but 1 MB of tables.
  TFuzzSession();
  TFuzzSession(const TFuzzSession&) = delete;
  TFuzzSession& operator=(const TFuzzSession&) = delete;

  // Serves one line as the command loop does (the line end already cut off)
  // and waits until a search it started has ended or waits for an order.
  // False once the engine has quit.
  bool Send(std::string_view line);
  // Sends each line of `text` (the first hundred) until the engine quits.
  void SendLines(std::string_view text);
  // Ends the engine as an interface that goes away does, then checks what
  // it printed: UCI replies only, and one legal answer per search started.
  // Empty when every rule held.
  std::string Finish();
  // The engine's settings as the options left them.
  const TEngineSettings& Settings() const { return engine_->Settings(); }

 private:
  void WaitUntilSettled();

  std::unique_ptr<OutputCapture> capture_;
  std::unique_ptr<TUCI> engine_;  // after the capture: it ends, and prints its last lines, first
  // The position of each search started, in order.
  std::vector<TProtocolBoard> searched_;
  bool quit_ = false;
};

// The lines of `text`, cut at line ends as the engine's input reader does
// (a carriage return before the line end is dropped).
std::vector<std::string_view> InputLines(std::string_view text);

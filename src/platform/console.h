// Standard input and output as the protocol uses them: whole lines in,
// whole lines out, each output line flushed at once.
#pragma once

#include <string>
#include <string_view>

// Reads one line without its line end (a trailing '\r' is dropped too).
// Returns false at the end of input.
bool ReadLine(std::string& line);

// What standard input holds right now, without waiting for more.
enum class TPendingInput {
  Nothing,  // no whole line has arrived yet
  Line,     // a whole line is there; the next ReadLine returns it
  Ended,    // the input is over and nothing is left to read
};
// Looks at the next unread line without taking it and without blocking.
TPendingInput PeekInputLine(std::string& line);

// Writes the line and a line end, then flushes. Safe from any thread: lines
// from different threads never interleave. An empty text writes nothing.
void WriteString(std::string_view line);

// Writes a diagnostic that is not a protocol reply as "info string <text>",
// the one form every interface accepts and shows without complaint.
void WriteInfoString(std::string_view text);

// Writes several lines at once, under one flush, kept together.
void WriteLines(std::string_view text);

// Tests can capture what the engine would print instead of writing it.
// Captures nest: the innermost one gets the lines while it lives.
class OutputCapture {
 public:
  OutputCapture();
  ~OutputCapture();
  OutputCapture(const OutputCapture&) = delete;
  OutputCapture& operator=(const OutputCapture&) = delete;
  std::string Text() const;
  void Append(std::string_view text);  // called with the output lock held

 private:
  std::string text_;
  OutputCapture* outer_;
};

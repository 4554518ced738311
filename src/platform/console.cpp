#include "platform/console.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>

namespace {
std::mutex outputLock;
OutputCapture* capture = nullptr;  // innermost capture; guarded by outputLock

void Emit(std::string_view text) {
  std::lock_guard guard(outputLock);
  if (capture) {
    capture->Append(text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}
}  // namespace

// Standard input read straight from its descriptor, so that a caller can ask
// whether a line is waiting without blocking: a stream buffer would hide the
// bytes it has already taken. Only the protocol thread reads input.
namespace {
std::string inputBuffer;
bool inputEnded = false;

// Appends what one read returns; `wait` false returns at once when nothing
// is there.
void FillInput(bool wait) {
  if (inputEnded) return;
  if (!wait) {
    pollfd watched{STDIN_FILENO, POLLIN, 0};
    if (poll(&watched, 1, 0) <= 0) return;
  }
  char chunk[4096];
  ssize_t got;
  do got = read(STDIN_FILENO, chunk, sizeof chunk);
  while (got < 0 && errno == EINTR);
  if (got <= 0) inputEnded = true;
  else inputBuffer.append(chunk, std::size_t(got));
}

// The next line when a whole one is buffered (or the input ended after a
// last line without its line end).
bool BufferedLine(std::string& line, bool take) {
  std::size_t end = inputBuffer.find('\n');
  std::size_t next = end + 1;
  if (end == std::string::npos) {
    if (!inputEnded || inputBuffer.empty()) return false;
    end = next = inputBuffer.size();
  }
  line.assign(inputBuffer, 0, end);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (take) inputBuffer.erase(0, next);
  return true;
}
}  // namespace

bool ReadLine(std::string& line) {
  while (!BufferedLine(line, true)) {
    if (inputEnded) {
      line.clear();
      return false;
    }
    FillInput(true);
  }
  return true;
}

TPendingInput PeekInputLine(std::string& line) {
  // Take everything already waiting, so that a line split over reads is seen whole.
  for (std::size_t before = ~std::size_t{0}; before != inputBuffer.size() && !inputEnded;) {
    before = inputBuffer.size();
    FillInput(false);
  }
  if (BufferedLine(line, false)) return TPendingInput::Line;
  return inputEnded ? TPendingInput::Ended : TPendingInput::Nothing;
}

void WriteString(std::string_view line) {
  if (line.empty()) return;
  std::string text(line);
  text += '\n';
  Emit(text);
}

void WriteInfoString(std::string_view text) {
  std::string line = "info string ";
  line.append(text);
  WriteString(line);
}

void WriteLines(std::string_view text) { Emit(text); }

OutputCapture::OutputCapture() {
  std::lock_guard guard(outputLock);
  outer_ = capture;
  capture = this;
}

OutputCapture::~OutputCapture() {
  std::lock_guard guard(outputLock);
  capture = outer_;
}

std::string OutputCapture::Text() const {
  std::lock_guard guard(outputLock);
  return text_;
}

void OutputCapture::Append(std::string_view text) { text_.append(text); }

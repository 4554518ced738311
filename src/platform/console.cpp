#include "platform/console.h"

#include <cstdio>
#include <iostream>
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

bool ReadLine(std::string& line) {
  if (!std::getline(std::cin, line)) {
    line.clear();
    return false;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

void writeString(std::string_view line) {
  if (line.empty()) return;
  std::string text(line);
  text += '\n';
  Emit(text);
}

void writeInfoString(std::string_view text) {
  std::string line = "info string ";
  line.append(text);
  writeString(line);
}

void writeLines(std::string_view text) { Emit(text); }

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

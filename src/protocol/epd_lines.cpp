#include "protocol/epd_lines.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsPieceLetter(char ch) { return std::string_view("BKNPQRbknpqr").find(ch) != std::string_view::npos; }

char SwapCase(char ch) {
  const unsigned char c = static_cast<unsigned char>(ch);
  return char(std::isupper(c) ? std::tolower(c) : std::toupper(c));
}

// Position of the n-th blank (1-based count), or npos.
std::size_t NthBlank(std::string_view line, int n) {
  std::size_t at = std::string_view::npos;
  for (std::size_t i = 0; i < line.size() && n > 0; ++i)
    if (line[i] == ' ') {
      at = i;
      --n;
    }
  return n == 0 ? at : std::string_view::npos;
}

std::string MirrorPlacement(std::string_view placement) {
  std::vector<std::string> ranks(1);
  for (char ch : placement) {
    if (ch == '/') ranks.emplace_back();
    else ranks.back() += SwapCase(ch);
  }
  std::string mirrored;
  for (auto rank = ranks.rbegin(); rank != ranks.rend(); ++rank) {
    if (!mirrored.empty()) mirrored += '/';
    mirrored += *rank;
  }
  return mirrored;
}

// Swapped case, and the white rights (now upper case) ahead of the black ones;
// Chess960 file letters alike, since turning the board over keeps the files.
std::string MirrorCastling(std::string_view rights) {
  if (rights == "-") return "-";
  std::string upper, lower;
  for (char ch : rights) {
    const char swapped = SwapCase(ch);
    (std::isupper(static_cast<unsigned char>(swapped)) ? upper : lower) += swapped;
  }
  return upper + lower;
}

std::string MirrorEnPassant(std::string_view square) {
  if (square == "-" || square.size() < 2) return std::string(square);
  std::string mirrored(square);
  mirrored[1] = square[1] == '3' ? '6' : '3';
  return mirrored;
}

}  // namespace

bool IsFenLine(std::string_view line) {
  const std::size_t blank = line.find(' ');
  if (blank == std::string_view::npos || blank + 1 >= line.size()) return false;
  int squares = 0, separators = 0;
  for (char ch : line.substr(0, blank)) {
    if (IsPieceLetter(ch)) ++squares;
    else if (ch >= '1' && ch <= '8') squares += ch - '0';
    else if (ch == '/') ++separators;
  }
  const char side = line[blank + 1];
  return squares == 64 && separators == 7 && (side == 'w' || side == 'b');
}

bool NamesCastlingFiles(std::string_view line) {
  const std::size_t second = NthBlank(line, 2);
  if (second == std::string_view::npos) return false;
  const std::string_view field = line.substr(second + 1, line.find(' ', second + 1) - (second + 1));
  return std::any_of(field.begin(), field.end(), [](char ch) {
    const char lower = char(std::tolower(static_cast<unsigned char>(ch)));
    return lower >= 'a' && lower <= 'h';
  });
}

std::string MirrorEpd(std::string_view line) {
  // The four fields, then the rest of the line from the blank after them.
  std::string_view fields[4];
  std::size_t start = 0;
  int count = 0;
  while (count < 4 && start <= line.size()) {
    const std::size_t blank = std::min(line.find(' ', start), line.size());
    fields[count++] = line.substr(start, blank - start);
    start = blank + 1;
  }
  std::string mirrored = MirrorPlacement(fields[0]);
  const auto append = [&](const std::string& field) {
    mirrored += ' ';
    mirrored += field;
  };
  if (count > 1) append(fields[1] == "w" ? "b" : "w");
  if (count > 2) append(MirrorCastling(fields[2]));
  if (count > 3) append(MirrorEnPassant(fields[3]));
  if (count == 4 && start <= line.size()) mirrored += line.substr(start - 1);
  return mirrored;
}

std::vector<TEpdEntry> ReadEpdEntries(const std::vector<std::string>& lines) {
  std::vector<TEpdEntry> entries;
  for (const std::string& line : lines) {
    if (line.empty() || !IsFenLine(line)) break;
    const std::size_t fourthBlank = NthBlank(line, 4);
    const std::size_t end = fourthBlank == std::string::npos ? line.size() : fourthBlank + 1;
    TEpdEntry entry{line.substr(0, end), std::to_string(entries.size() + 1) + "."};
    // The operation code (two letters and a blank, "bm ") is skipped unread;
    // the first operand runs to the first ';'.
    const std::size_t operand = end + 3;
    const std::size_t semicolon = line.find(';', std::min(operand, line.size()));
    if (operand < line.size() && semicolon != std::string::npos)
      entry.label += line.substr(operand, semicolon - operand);
    entries.push_back(std::move(entry));
  }
  return entries;
}

// Reading positions out of EPD test files, and colour-mirroring them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The placement field before the first blank describes 64 squares in 8
// ranks, and the side field after it is "w" or "b".
bool IsFenLine(std::string_view line);

// The same position with the colours swapped and the board turned over:
// placement, side, castling and en-passant fields; the rest of the line as it was.
std::string MirrorEpd(std::string_view line);

// The castling field (the third) names rooks by their files, as Chess960
// positions do (HAha, or Kq with an inner rook's letter); standard chess has
// no such field.
bool NamesCastlingFiles(std::string_view line);

struct TEpdEntry {
  std::string position;  // the four fields and the blank after them
  std::string label;     // running number, ".", first operand (for example "1.Nf3")
};

// The file's positions up to its end or its first empty or non-position line.
std::vector<TEpdEntry> ReadEpdEntries(const std::vector<std::string>& lines);

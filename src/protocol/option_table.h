// The engine's options, in one table: what "uci" lists, and what a
// "setoption" line names. Applying a value is the protocol object's work
// (TUCI::ApplyOption), chosen by the option's id.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

enum class TOptionKind : std::uint8_t { Spin, Check, String, Button };

enum class TOptionId : std::uint8_t {
  Hash,
  NalimovCache,
  NalimovPath,
  TablebaseLibrary,
  Threads,
  MoveOverhead,
  MultiPv,
  Chess960,
  Ponder,
  AnalyseMode,
  ClearHash,
  OwnBook,
};

struct TOption {
  TOptionId id;
  std::string_view name;
  TOptionKind kind;
  std::string_view defaultValue;  // as "uci" lists it; empty for a button
  std::int32_t min = 0;           // spins only
  std::int32_t max = 0;
  bool listed = true;  // false: read, but not offered to interfaces
};

// Every option, in the order "uci" lists them.
std::span<const TOption> Options();
// The option of that name, whatever its letter case; null when none has it.
const TOption* FindOption(std::string_view name);
// The "option name ..." lines "uci" prints, each ending in a line break.
std::string OptionLines();

// A "setoption" line split into its tokens: the words between "name" and
// "value" (one blank between them), and everything after "value", trimmed.
struct TSetOption {
  std::string name;
  std::string value;
};
// Nothing when the line is no "setoption name ..." line.
std::optional<TSetOption> ReadSetOption(std::string_view line);

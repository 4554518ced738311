#include "protocol/option_table.h"

#include <array>
#include <cctype>

#include "protocol/text.h"
#include "protocol/uci.h"
#include "search/engine_settings.h"
#include "search/root_lines.h"

namespace {

constexpr std::array<TOption, 12> Table = {{
    {TOptionId::Hash, "Hash", TOptionKind::Spin, "32", MinTableMB, MaxTableMB},
    {TOptionId::NalimovCache, "NalimovCache", TOptionKind::Spin, "8", MinTableMB, MaxTableMB},
    {TOptionId::NalimovPath, "NalimovPath", TOptionKind::String, "C:\\Nalimov"},
    {TOptionId::TablebaseLibrary, "TablebaseLibrary", TOptionKind::String, "<empty>"},
    {TOptionId::Threads, "Threads", TOptionKind::Spin, "1", 1, MaxThreads},
    {TOptionId::MoveOverhead, "Move Overhead", TOptionKind::Spin, "30", 0, MaxMoveOverhead},
    {TOptionId::MultiPv, "MultiPV", TOptionKind::Spin, "1", 1, MaxMultiPv},
    {TOptionId::Chess960, "UCI_Chess960", TOptionKind::Check, "false"},
    {TOptionId::Ponder, "Ponder", TOptionKind::Check, "false"},
    {TOptionId::AnalyseMode, "UCI_AnalyseMode", TOptionKind::Check, "false"},
    {TOptionId::ClearHash, "Clear Hash", TOptionKind::Button, ""},
    {TOptionId::OwnBook, "OwnBook", TOptionKind::Check, "false", 0, 0, false},
}};

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower((unsigned char)a[i]) != std::tolower((unsigned char)b[i])) return false;
  return true;
}

const char* KindName(TOptionKind kind) {
  switch (kind) {
    case TOptionKind::Spin: return "spin";
    case TOptionKind::Check: return "check";
    case TOptionKind::String: return "string";
    case TOptionKind::Button: return "button";
  }
  return "";
}

}  // namespace

std::span<const TOption> Options() { return Table; }

const TOption* FindOption(std::string_view name) {
  for (const TOption& option : Table)
    if (SameText(option.name, name)) return &option;
  return nullptr;
}

std::string OptionLines() {
  std::string lines;
  for (const TOption& option : Table) {
    if (!option.listed) continue;
    lines += "option name " + std::string(option.name) + " type " + KindName(option.kind);
    // Spins in the order interfaces and client libraries parse: default,
    // then min, then max.
    if (option.kind != TOptionKind::Button) lines += " default " + std::string(option.defaultValue);
    if (option.kind == TOptionKind::Spin)
      lines += " min " + std::to_string(option.min) + " max " + std::to_string(option.max);
    lines += '\n';
  }
  return lines;
}

std::optional<TSetOption> ReadSetOption(std::string_view line) {
  std::vector<std::string_view> words;
  for (std::size_t start = line.find_first_not_of(" \t"); start != std::string_view::npos;
       start = line.find_first_not_of(" \t", start)) {
    const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
    words.push_back(line.substr(start, end - start));
    start = end;
  }
  if (words.size() < 3 || !SameText(words[0], "setoption") || !SameText(words[1], "name")) return std::nullopt;
  TSetOption option;
  std::size_t i = 2;
  for (; i < words.size() && !SameText(words[i], "value"); ++i)
    option.name += (option.name.empty() ? "" : " ") + std::string(words[i]);
  if (i < words.size()) {
    // The value keeps its inner blanks: a path may hold some.
    const std::size_t from = std::size_t(words[i].data() + words[i].size() - line.data());
    option.value = std::string(Trim(line.substr(from)));
  }
  return option;
}

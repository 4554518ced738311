#include "protocol/options.h"

#include <algorithm>
#include <cctype>

#include "protocol/convert.h"

std::string OptionValueString(std::string_view line) {
  const auto blank = line.rfind(' ');
  return std::string(blank == std::string_view::npos ? line : line.substr(blank + 1));
}

std::int32_t OptionValueInt(std::string_view line) { return StrToInt(OptionValueString(line)); }

std::int32_t OptionValueClamped(std::string_view line, std::int32_t min, std::int32_t max) {
  return StrToIntClamped(OptionValueString(line), min, max);
}

std::string OptionValueText(std::string_view line) {
  constexpr std::string_view Marker = " value ";
  const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
  const auto at = std::search(line.begin(), line.end(), Marker.begin(), Marker.end(),
                              [&](char a, char b) { return lower(a) == lower(b); });
  if (at == line.end()) return "";
  std::string_view value(at + Marker.size(), line.end());
  const auto first = value.find_first_not_of(" \t");
  if (first == std::string_view::npos) return "";
  value = value.substr(first, value.find_last_not_of(" \t") - first + 1);
  return value == "<empty>" ? "" : std::string(value);
}

bool OptionValueBool(std::string_view line) { return OptionValueString(line) == "true"; }

bool ContainsNoCase(std::string_view text, std::string_view word) {
  const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
  return std::search(text.begin(), text.end(), word.begin(), word.end(),
                     [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

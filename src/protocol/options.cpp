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

bool OptionValueBool(std::string_view line) { return OptionValueString(line) == "true"; }

bool ContainsNoCase(std::string_view text, std::string_view word) {
  const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
  return std::search(text.begin(), text.end(), word.begin(), word.end(),
                     [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

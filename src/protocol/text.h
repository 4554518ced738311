// Small text helpers of the command readers.
#pragma once

#include <string_view>

// Without the blanks at either end.
constexpr std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

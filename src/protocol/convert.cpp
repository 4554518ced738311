#include "protocol/convert.h"

#include <algorithm>
#include <charconv>

namespace {

ConvertError NotAnInteger(std::string_view text) {
  // Appended piece by piece: GCC 12 warns spuriously about "'" + std::string.
  std::string message = "'";
  message.append(text).append("' is not a valid integer value");
  return ConvertError(message);
}

}  // namespace

std::int32_t StrToInt(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
      (digits.size() > 1 && digits[0] == '-' && digits[1] == '+'))
    throw NotAnInteger(text);
  return value;
}

std::optional<std::int64_t> ParseClampedInt(std::string_view text, std::int64_t min, std::int64_t max) {
  std::string_view digits = text;
  const bool negative = !digits.empty() && digits.front() == '-';
  if (!digits.empty() && (digits.front() == '+' || negative)) digits.remove_prefix(1);
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  // Saturate while reading, so that no number of digits can overflow.
  constexpr std::int64_t Ceiling = std::int64_t(1) << 40;
  std::int64_t read = 0;
  for (char c : digits) read = std::min(Ceiling, read * 10 + (c - '0'));
  return std::clamp<std::int64_t>(negative ? -read : read, min, max);
}

std::int32_t StrToIntClamped(std::string_view text, std::int32_t min, std::int32_t max) {
  const auto value = ParseClampedInt(text, min, max);
  if (!value) throw NotAnInteger(text);
  return std::int32_t(*value);
}

std::string ErrorLine(const std::exception& error) {
  const char* kind = dynamic_cast<const ConvertError*>(&error) ? ConvertError::Kind : "Exception";
  return std::string(kind) + ": " + error.what();
}

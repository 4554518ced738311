#include "protocol/convert.h"

#include <charconv>

std::int32_t StrToInt(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
      (digits.size() > 1 && digits[0] == '-' && digits[1] == '+'))
    throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
  return value;
}

std::string ErrorLine(const std::exception& error) {
  const char* kind = dynamic_cast<const ConvertError*>(&error) ? ConvertError::Kind : "Exception";
  return std::string(kind) + ": " + error.what();
}

// Number conversion for command arguments. A text that is not a number is
// refused with an error in the form "<kind>: <message>", printed by the
// command loop, which then drops the command and goes on.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

class ConvertError : public std::runtime_error {
 public:
  explicit ConvertError(const std::string& message) : std::runtime_error(message) {}
  static constexpr const char* Kind = "EConvertError";
};

// Decimal integer with an optional sign and nothing else; throws ConvertError.
std::int32_t StrToInt(std::string_view text);
// A decimal integer with an optional sign and any number of digits, brought
// into min..max: a value far beyond its range is still a number and gets the
// nearest value allowed. Nothing when it is no number.
std::optional<std::int64_t> ParseClampedInt(std::string_view text, std::int64_t min, std::int64_t max);
// ParseClampedInt that throws ConvertError when the text is no number.
std::int32_t StrToIntClamped(std::string_view text, std::int32_t min, std::int32_t max);

// The text the command loop reports (as an "info string") for an error that
// ended a command.
std::string ErrorLine(const std::exception& error);

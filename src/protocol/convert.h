// Number conversion for command arguments. A text that is not a number is
// refused with an error in the form "<kind>: <message>", printed by the
// command loop, which then drops the command and goes on.
#pragma once

#include <cstdint>
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

// The line the command loop prints for an error that ended a command.
std::string ErrorLine(const std::exception& error);

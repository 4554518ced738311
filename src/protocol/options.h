// Values of "setoption" lines: the option's value is the last word of the line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The characters after the last blank (the whole line when it has none).
std::string OptionValueString(std::string_view line);
// The last word as an integer; throws ConvertError when it is not one.
std::int32_t OptionValueInt(std::string_view line);
// The last word as an integer brought into min..max; throws ConvertError
// when it is not a number at all.
std::int32_t OptionValueClamped(std::string_view line, std::int32_t min, std::int32_t max);
// Everything after " value " (in any letter case), trimmed: a value that
// may hold blanks, such as a path. Empty when there is none, or when it is
// "<empty>", as interfaces send an empty string.
std::string OptionValueText(std::string_view line);
// True exactly when the last word is "true" (letter case matters).
bool OptionValueBool(std::string_view line);

// Case-insensitive search, as the command loop recognises option lines.
bool ContainsNoCase(std::string_view text, std::string_view word);

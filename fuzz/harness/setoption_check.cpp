#include <climits>
#include <optional>

#include "fuzz_checks.h"
#include "fuzz_session.h"
#include "protocol/convert.h"
#include "protocol/option_table.h"
#include "search/engine_settings.h"

namespace {

// The two number readers agree on every text the strict one takes, and a
// clamped value lies in its range.
std::string CheckNumberReaders(std::string_view line) {
  const auto option = ReadSetOption(line);
  const std::string word = option ? option->value : std::string(line);
  std::optional<std::int32_t> strict;
  try {
    strict = StrToInt(word);
  } catch (const ConvertError&) {}
  const auto wide = ParseClampedInt(word, INT32_MIN, INT32_MAX);
  if (strict && wide != strict) return "'" + word + "' read differently by the two number readers";
  const auto clamped = ParseClampedInt(word, -5, 5000);
  if (clamped && (*clamped < -5 || *clamped > 5000)) return "'" + word + "' clamped out of range";
  return {};
}

// The options as the engine advertises them after "uci".
std::string CheckOptionRanges(const TEngineSettings& settings) {
  const auto outside = [](const char* name, std::int32_t value, std::int32_t min, std::int32_t max) {
    return value < min || value > max ? std::string(name) + " out of range: " + std::to_string(value) : std::string();
  };
  for (const std::string& fault : {outside("Hash", settings.HashMB, MinTableMB, MaxTableMB),
                                   outside("NalimovCache", settings.TablebaseCacheMB, MinTableMB, MaxTableMB),
                                   outside("Threads", settings.Threads, 1, MaxThreads),
                                   outside("Move Overhead", settings.MoveOverhead, 0, MaxMoveOverhead)})
    if (!fault.empty()) return fault;
  return {};
}

}  // namespace

std::string CheckSetOption(std::string_view input) {
  const std::vector<std::string_view> lines = InputLines(input);
  for (std::string_view line : lines) {
    const std::string fault = CheckNumberReaders(line);
    if (!fault.empty()) return fault;
  }
  TFuzzSession session;
  // Only option lines: the other commands have targets of their own.
  for (std::string_view line : lines)
    if (ReadSetOption(line)) session.Send(line);
  session.Send("isready");
  std::string fault = CheckOptionRanges(session.Settings());
  // Whatever the options now are, the engine still searches and answers.
  session.Send("position startpos moves d2d4");
  session.Send("go depth 2");
  const std::string finished = session.Finish();
  return fault.empty() ? finished : fault;
}

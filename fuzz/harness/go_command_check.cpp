#include <algorithm>

#include "fuzz_checks.h"
#include "fuzz_session.h"
#include "protocol/go_command.h"
#include "search/search_order.h"

namespace {

template <class T>
bool Within(const std::optional<T>& value, std::int64_t low, std::int64_t high) {
  return !value || (std::int64_t(*value) >= low && std::int64_t(*value) <= high);
}

// Every figure read lies in the range its field documents.
std::string CheckRanges(const TGoOrder& order) {
  for (const auto* clock : {&order.wtime, &order.btime, &order.winc, &order.binc, &order.movetime})
    if (!Within(*clock, 0, NoTimeLimit - 1)) return "a time out of range: " + std::to_string(**clock);
  if (!Within(order.movestogo, 0, 1000000)) return "movestogo out of range";
  if (!Within(order.depth, 0, DeepestIteration)) return "depth out of range";
  if (!Within(order.mate, 1, (DeepestIteration + 1) / 2)) return "mate out of range";
  if (order.nodes && *order.nodes == 0) return "a node limit of 0, which means none";
  return {};
}

}  // namespace

std::string CheckGoCommand(std::string_view input) {
  // The words of one command line.
  std::string words(input);
  std::replace(words.begin(), words.end(), '\n', ' ');
  const std::string fault = CheckRanges(ReadGoOrder(words));
  if (!fault.empty()) return fault;
  TFuzzSession session;
  session.Send("position startpos moves e2e4 e7e5 g1f3");
  session.Send("go " + words);
  session.Send("ponderhit");
  return session.Finish();
}

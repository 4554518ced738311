// "go" and "ponderhit": the interface's search orders become the globals the
// search and its time management read, then the main search thread wakes up.
#include "protocol/go_command.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/system.h"
#include "protocol/book.h"
#include "protocol/convert.h"
#include "protocol/thread_coup.h"
#include "protocol/uci.h"
#include "search/control.h"
#include "search/main_thread_search.h"
#include "search/time_control.h"
#include "search/time_manager.h"

namespace {

constexpr std::int32_t FullDepth = 40;

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t start = text.find_first_not_of(' ');
  while (start != std::string_view::npos) {
    const std::size_t end = std::min(text.find(' ', start), text.size());
    words.push_back(text.substr(start, end - start));
    start = text.find_first_not_of(' ', end);
  }
  return words;
}

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower((unsigned char)a[i]) != std::tolower((unsigned char)b[i])) return false;
  return true;
}

std::optional<std::size_t> Find(const std::vector<std::string_view>& words, std::string_view keyword) {
  for (std::size_t i = 0; i < words.size(); ++i)
    if (SameWord(words[i], keyword)) return i;
  return std::nullopt;
}

// The number after `keyword`, if the keyword is there. A keyword without a
// number after it is an error, not an absent value.
std::optional<std::int32_t> ValueOf(const std::vector<std::string_view>& words, std::string_view keyword) {
  const auto at = Find(words, keyword);
  if (!at) return std::nullopt;
  return StrToInt(*at + 1 < words.size() ? words[*at + 1] : std::string_view());
}

// Everything after the first word, as one number: "depth 6 7" is refused.
std::int32_t ValueOfRest(const std::vector<std::string_view>& words) {
  std::string rest;
  for (std::size_t i = 1; i < words.size(); ++i) {
    if (i > 1) rest += ' ';
    rest.append(words[i]);
  }
  return StrToInt(rest);
}

void ApplyClock(const TGoOrder& order, TSide side, TSide& side_ponder) {
  MaxDepth = FullDepth;
  TimeMode = order.movestogo ? tmMovesToGo : tmSuddenDeath;
  if (order.movestogo) Level.moves_to_tc = *order.movestogo;
  // The engine's own increment; an order without it keeps the last one.
  const std::optional<std::int32_t>& increment = side == Light ? order.winc : order.binc;
  if (increment) Level.increment = *increment;
  if (order.ponder) {
    // No clock runs while pondering: park both times until "ponderhit".
    PonderWTime = order.wtime;
    PonderBTime = order.btime;
    side_ponder = side;
    GoTime = NoTimeLimit;
  } else {
    GoTime = side == Light ? order.wtime : order.btime;
  }
}

}  // namespace

TGoOrder ReadGoOrder(std::string_view args) {
  TGoOrder order;
  std::vector<std::string_view> words;
  for (const std::string_view word : Words(args)) {
    if (SameWord(word, "ponder")) order.ponder = true;
    else words.push_back(word);
  }
  if (words.size() <= 1) {
    order.kind = TGoOrder::Unlimited;
  } else if (Find(words, "wtime") || Find(words, "btime")) {
    order.kind = TGoOrder::Clock;
    order.wtime = ValueOf(words, "wtime").value_or(0);
    order.btime = ValueOf(words, "btime").value_or(0);
    order.movestogo = ValueOf(words, "movestogo");
    order.winc = ValueOf(words, "winc");
    order.binc = ValueOf(words, "binc");
  } else if (SameWord(words[0], "depth")) {
    order.kind = TGoOrder::Depth;
    order.depth = ValueOfRest(words);
  } else if (SameWord(words[0], "movetime")) {
    order.kind = TGoOrder::MoveTime;
    order.movetime = ValueOfRest(words);
  }
  return order;
}

void TUCI::ParseGoCommand(std::string_view args) {
  const TGoOrder order = ReadGoOrder(args);  // may throw: nothing is changed yet
  if (order.kind == TGoOrder::None) {
    // Node and mate limits and move restrictions are not searched for.
    std::string line = "info string go ";
    line.append(args).append(": not supported, no search started");
    writeString(line);
    return;
  }
  Pondering = order.ponder;
  switch (order.kind) {
    case TGoOrder::Unlimited:
      TimeMode = tmUnlimited;
      GoTime = NoTimeLimit;
      MaxDepth = FullDepth;
      MainSearch().BOOK.close_book();
      break;
    case TGoOrder::Clock:
      ApplyClock(order, Side, side_ponder);
      break;
    case TGoOrder::Depth:
      TimeMode = tmFixedDepth;
      MaxDepth = order.depth;
      GoTime = NoTimeLimit;
      break;
    case TGoOrder::MoveTime:
      TimeMode = tmFixedTime;
      GoTime = order.movetime;
      MaxDepth = FullDepth;
      break;
    case TGoOrder::None:
      break;
  }
  // The clock runs from the order on: a "ponderhit" that arrives before the
  // search has started its own clock counts from here.
  StartTick = Ticks();
  // The previous search's answer goes out before this search starts.
  if (output_) output_->WaitPrinted();
  StopRequested = false;
  MainSearch().Resume();
}

void TUCI::PonderHit() {
  // A stray "ponderhit" with no ponder search running changes nothing.
  if (!Pondering) return;
  // On a clock the search now plays on the time parked at "go"; a move time
  // or a depth limit stays as the order gave it.
  if (TimeMode >= tmMovesToGo) GoTime = (side_ponder == Light ? PonderWTime : PonderBTime).load();
  PonderHitTime(MainSearch(), GoTime, Level);
}

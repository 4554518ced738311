// "go" and "ponderhit": the interface's order becomes a search order, handed
// to the main search thread with its start.
#include "protocol/go_command.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>

#include "platform/console.h"
#include "platform/system.h"
#include "protocol/convert.h"
#include "search/search_order.h"

namespace {

constexpr std::int64_t LongestTime = NoTimeLimit - 1;  // NoTimeLimit itself means "none"
constexpr std::int32_t LongestMate = (DeepestIteration + 1) / 2;

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t start = text.find_first_not_of(" \t");
  while (start != std::string_view::npos) {
    const std::size_t end = std::min(text.find_first_of(" \t", start), text.size());
    words.push_back(text.substr(start, end - start));
    start = text.find_first_not_of(" \t", end);
  }
  return words;
}

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower((unsigned char)x) == std::tolower((unsigned char)y);
         });
}

// A keyword followed by a number, the field it fills and the field's range.
struct TNumberWord {
  std::string_view word;
  std::optional<std::int32_t> TGoOrder::*field;
  std::int64_t low, high;
};

constexpr std::array<TNumberWord, 8> NumberWords = {{
    {"wtime", &TGoOrder::wtime, 0, LongestTime},
    {"btime", &TGoOrder::btime, 0, LongestTime},
    {"winc", &TGoOrder::winc, 0, LongestTime},
    {"binc", &TGoOrder::binc, 0, LongestTime},
    {"movestogo", &TGoOrder::movestogo, 0, 1000000},
    {"movetime", &TGoOrder::movetime, 0, LongestTime},
    // Depth 0 searches nothing: the answer is the best-ordered root move.
    {"depth", &TGoOrder::depth, 0, DeepestIteration},
    {"mate", &TGoOrder::mate, 1, LongestMate},
}};

bool IsKeyword(std::string_view word) {
  for (const TNumberWord& number : NumberWords)
    if (SameWord(word, number.word)) return true;
  for (std::string_view flag : {"nodes", "infinite", "ponder", "searchmoves"})
    if (SameWord(word, flag)) return true;
  return false;
}

// The value after words[i], read into `value`; a note when it is missing or
// not a number. Returns how many words it used (0 or 1).
template <class T>
std::size_t ReadValue(const std::vector<std::string_view>& words, std::size_t i, std::int64_t low, std::int64_t high,
                      std::optional<T>& value, std::vector<std::string>& notes) {
  const bool present = i + 1 < words.size() && !IsKeyword(words[i + 1]);
  const auto number = present ? ParseClampedInt(words[i + 1], low, high) : std::nullopt;
  if (number) {
    value = T(*number);
    return 1;
  }
  std::string note(words[i]);
  note += present ? ": '" + std::string(words[i + 1]) + "' is not a number, ignored" : ": no value, ignored";
  notes.push_back(note);
  return present ? 1 : 0;
}

void ApplyClock(const TGoOrder& go, TSide side, TLevel& level, TSearchOrder& order) {
  order.TimeMode = go.movestogo ? tmMovesToGo : tmSuddenDeath;
  if (go.movestogo) level.MovesToGo = *go.movestogo;
  // The engine's own increment; an order without it keeps the last one.
  const std::optional<std::int32_t>& increment = side == Light ? go.winc : go.binc;
  if (increment) level.Increment = *increment;
  order.Level = level;
  const std::int32_t clock = (side == Light ? go.wtime : go.btime).value_or(0);
  if (go.ponder) {
    // No clock runs while pondering: the engine's time waits for "ponderhit".
    order.ClockAtPonderHit = clock;
    order.GoTime = NoTimeLimit;
  } else {
    order.GoTime = clock;
  }
}

// Depth, mate distance and node count: whichever is reached first, or the
// clock, ends the search.
void ApplySearchLimits(const TGoOrder& go, TSearchOrder& order) {
  std::int32_t depth = go.depth.value_or(FullDepth);
  // A mate in n moves takes 2n - 1 plies; two more let a line the
  // reductions hid at that depth come through.
  if (go.mate) depth = std::min(depth, std::min(2 * *go.mate + 1, DeepestIteration));
  order.MaxDepth = depth;
  order.DepthLimitGiven = go.depth || go.mate;
  order.NodeLimit = go.nodes.value_or(0);
}

// The legal moves among `texts`, in the position on `board`, become the
// search's root moves; the others are reported and left out.
void RestrictRootMoves(TProtocolBoard& board, const std::vector<std::string>& texts, TRootMoveFilter& allowed) {
  allowed.count = 0;
  if (texts.empty()) return;
  std::string refused;
  board.Ply = 0;
  board.ProtocolGenerate();
  for (const std::string& text : texts) {
    TMove parsed;
    const int index = board.ParseCoordMove(text, parsed);
    const TMove m = index >= 0 ? board.MoveStack[index].m : TMove{};
    const bool legal = index >= 0 && board.ProtocolMakeMove(m);
    if (legal) board.ProtocolTakeBack();
    board.Ply = 0;
    if (!legal) refused += " " + text;
    else if (!allowed.Contains(m) && allowed.count < int(allowed.moves.size())) allowed.moves[allowed.count++] = m;
  }
  if (!refused.empty()) WriteInfoString("go searchmoves: not legal here, ignored:" + refused);
  if (allowed.count == 0) WriteInfoString("go searchmoves: no legal move given, every move is searched");
}

}  // namespace

TGoOrder ReadGoOrder(std::string_view args) {
  TGoOrder order;
  const std::vector<std::string_view> words = Words(args);
  std::vector<std::string_view> unknown;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string_view word = words[i];
    const auto number = std::find_if(NumberWords.begin(), NumberWords.end(),
                                     [&](const TNumberWord& n) { return SameWord(word, n.word); });
    if (number != NumberWords.end()) {
      i += ReadValue(words, i, number->low, number->high, order.*(number->field), order.notes);
    } else if (SameWord(word, "nodes")) {
      i += ReadValue(words, i, 1, std::numeric_limits<std::uint32_t>::max(), order.nodes, order.notes);
    } else if (SameWord(word, "ponder")) {
      order.ponder = true;
    } else if (SameWord(word, "infinite")) {
      order.infinite = true;
    } else if (SameWord(word, "searchmoves")) {
      while (i + 1 < words.size() && !IsKeyword(words[i + 1])) order.searchmoves.emplace_back(words[++i]);
    } else {
      unknown.push_back(word);
    }
  }
  if (!unknown.empty()) {
    std::string note = "unknown words skipped:";
    for (std::string_view word : unknown) note.append(" ").append(word);
    order.notes.push_back(note);
  }
  return order;
}

TSearchOrder SearchOrderOf(const TGoOrder& go, TProtocolBoard& board, TLevel& level, std::int32_t multiPv) {
  for (const std::string& note : go.notes) WriteInfoString("go " + note);
  TSearchOrder order;
  order.Ponder = go.ponder;
  order.MultiPv = multiPv;
  order.Level = level;
  ApplySearchLimits(go, order);
  RestrictRootMoves(board, go.searchmoves, order.SearchMoves);
  const bool limited = go.depth || go.mate || go.nodes;
  if (go.infinite || (!go.HasClock() && !go.movetime && !limited)) {
    // Searches until "stop" (or "ponderhit" when pondering): the limits
    // given with it only end the thinking, not the wait for the order.
    order.TimeMode = tmUnlimited;
  } else if (go.HasClock()) {
    ApplyClock(go, board.Side, level, order);
  } else if (go.movetime) {
    order.TimeMode = tmFixedTime;
    order.GoTime = *go.movetime;
  }
  return order;
}

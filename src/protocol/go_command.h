// The "go" command read into a record before anything is applied. Its words
// come in any order and any combination; a limit that cannot be read is
// left out with a note, so that every "go" still starts a search.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/protocol_board.h"
#include "search/search_order.h"

struct TGoOrder {
  bool ponder = false;
  bool infinite = false;
  // Each figure is clamped to what its field can hold; absent when not given.
  std::optional<std::int32_t> wtime, btime, winc, binc, movestogo, movetime;
  std::optional<std::int32_t> depth, mate;
  std::optional<std::uint32_t> nodes;
  std::vector<std::string> searchmoves;  // the move texts, as given
  // Words skipped and values that are not numbers, to be reported.
  std::vector<std::string> notes;

  bool HasClock() const { return wtime || btime; }
};

// Reads the text after "go". Keywords are recognised in any letter case.
TGoOrder ReadGoOrder(std::string_view args);

// The search order `go` gives in the position on `board`, whose root moves
// check "searchmoves"; the notes on the order are reported as it is read.
// `level` is the clock's shape, which an order without moves to go or an
// increment keeps from the last one.
TSearchOrder SearchOrderOf(const TGoOrder& go, TProtocolBoard& board, TLevel& level, std::int32_t multiPv);

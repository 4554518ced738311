// The "go" command read into a record before anything is applied, so that a
// number that does not convert leaves the engine exactly as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

struct TGoOrder {
  enum TKind : std::uint8_t {
    None,       // nothing to search ("nodes", "mate", unknown words)
    Unlimited,  // a single word such as "infinite", or "ponder" alone
    Clock,      // "wtime" / "btime"
    Depth,      // "depth N"
    MoveTime,   // "movetime N"
  };
  TKind kind = None;
  bool ponder = false;
  std::int32_t wtime = 0, btime = 0;  // 0 when not given
  std::optional<std::int32_t> movestogo, winc, binc;
  std::int32_t depth = 0;
  std::int32_t movetime = 0;
};

// Reads the text after "go ". Keywords are recognised in any letter case;
// "ponder" may stand anywhere. Throws ConvertError on a value that is not a
// number (missing, or followed by more text after "depth" or "movetime").
TGoOrder ReadGoOrder(std::string_view args);

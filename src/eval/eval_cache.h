// A small per-thread cache of static evaluations. The evaluation is a pure
// function of the position and of a few facts the position key leaves out
// (how each king castled, whether it could when the search began, the phase
// the search began in), so those facts are folded into the key and a hit
// returns exactly the score the evaluation would compute again.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <type_traits>

#include "board/search_board.h"
#include "eval/eval_state.h"

class TEvalCache {
 public:
  static constexpr int SizeLog2 = 16;

  // The score stored for this position, or false.
  bool Find(const TSearchBoard& board, const TEvalState& e, std::int32_t& score) const {
    const std::uint32_t key = KeyOf(board, e);
    const TEntry& entry = (*entries_)[key & Mask];
    if (entry.key != key || entry.pawnKey != board.hashP) return false;
    score = entry.score;
    return true;
  }
  // Starts fetching the entry of the position with key `key`, the castling
  // facts as they stand.
  void Prefetch(const TSearchBoard& board, const TEvalState& e, std::uint32_t key) const {
    __builtin_prefetch(&(*entries_)[Mix(key, board, e) & Mask]);
  }
  void Store(const TSearchBoard& board, const TEvalState& e, std::int32_t score) {
    const std::uint32_t key = KeyOf(board, e);
    (*entries_)[key & Mask] = {key, board.hashP, score};
  }

 private:
  static constexpr std::uint32_t Mask = (1u << SizeLog2) - 1;
  struct TEntry {
    std::uint32_t key;
    std::uint32_t pawnKey;  // a second, independent check against key collisions
    std::int32_t score;
  };
  static_assert(std::is_trivially_copyable_v<TEntry>);

  static std::uint32_t KeyOf(const TSearchBoard& board, const TEvalState& e) { return Mix(board.hash, board, e); }
  static std::uint32_t Mix(std::uint32_t key, const TSearchBoard& board, const TEvalState& e) {
    // Odd multipliers spread the small context into the high bits as well.
    const TPieceEntry& light = board.KingEntry(Light);
    const TPieceEntry& dark = board.KingEntry(Dark);
    const std::uint32_t context = light.CastledAs | dark.CastledAs << 2 | light.CouldCastle << 4 |
                                  dark.CouldCastle << 5 | std::uint32_t(e.PhaseAtRoot) << 6;
    return key ^ ((context + 1) * 0x9E3779B1u);
  }

  std::unique_ptr<std::array<TEntry, 1u << SizeLog2>> entries_ = std::make_unique<std::array<TEntry, 1u << SizeLog2>>();
};

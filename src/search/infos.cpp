#include "search/infos.h"

#include <mutex>
#include <string>

#include "platform/console.h"
#include "platform/system.h"
#include "protocol/move_text.h"
#include "search/control.h"
#include "search/time_control.h"

std::atomic<std::int32_t> InfoThread{0};
std::atomic<std::int32_t> InfoScore{NoScore};

namespace {
// Makes the voice test and its change one step when two threads report at once.
std::mutex VoiceLock;
constexpr std::int32_t FirstPrintedDepth = 7;
}  // namespace

void TInfos::Init() {
  std::lock_guard lock(VoiceLock);
  InfoThread = 0;
  InfoScore = NoScore;
}

void TInfos::Total(const TBest& best, std::int32_t depth, std::int32_t score, std::int32_t id, std::uint32_t nodes) {
  if (NoInfoOutput) return;
  std::lock_guard lock(VoiceLock);
  if (id != InfoThread && score <= InfoScore) return;
  InfoThread = id;
  InfoScore = score;
  if (depth < FirstPrintedDepth) return;
  // Mate scores go out as plain centipawns, and the line shows the best
  // move alone.
  writeString("info depth " + std::to_string(depth) + " score cp " + std::to_string(score) + " time " +
              std::to_string(Ticks() - StartTick) + " nodes " + std::to_string(nodes) + " pv " + move_str(best.m));
}

void TInfos::EnCours(TMove move, int i, std::int32_t /*prof*/, std::int32_t id) {
  if (NoInfoOutput || id != InfoThread) return;
  writeString("info currmove " + move_str(move) + " currmovenumber " + std::to_string(i + 1));
}

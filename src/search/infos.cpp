#include "search/infos.h"

#include <algorithm>
#include <mutex>
#include <string>

#include "platform/console.h"
#include "platform/system.h"
#include "board/move_text.h"
#include "search/control.h"
#include "search/search.h"
#include "search/time_control.h"

std::atomic<std::int32_t> InfoThread{0};
std::atomic<std::int32_t> InfoScore{NoScore};

namespace {
// Makes the voice test and its change one step when two threads report at once.
std::mutex VoiceLock;
constexpr std::int32_t FirstPrintedDepth = 7;

TDepthReport Report(std::int32_t depth, std::int32_t score, std::uint32_t nodes, const TTranspositionTable& tables) {
  return {depth, score, Ticks() - StartTick, nodes, tables.HashFull()};
}

}  // namespace

void TInfos::Init() {
  std::lock_guard lock(VoiceLock);
  InfoThread = 0;
  InfoScore = NoScore;
}

std::string TInfos::ScoreText(std::int32_t score) {
  // A side mated p plies from the root scores p - MateScore: the winner
  // mates in (p + 1) / 2 of its own moves, the loser is mated in p / 2.
  std::string text;
  if (score > MateBound) {
    text = "mate ";
    text += std::to_string((MateScore - score + 1) / 2);
  } else if (score < -MateBound) {
    text = "mate ";
    text += std::to_string(-((MateScore + score) / 2));
  } else {
    text = "cp ";
    text += std::to_string(score);
  }
  return text;
}

std::string TInfos::DepthLine(const TDepthReport& report, const TBest& best) {
  const std::int64_t nps = std::int64_t(report.nodes) * 1000 / std::max<std::int64_t>(1, report.elapsedMs);
  std::string line = "info depth ";
  line += std::to_string(report.depth);
  line += " score ";
  line += ScoreText(report.score);
  line += " time ";
  line += std::to_string(report.elapsedMs);
  line += " nodes ";
  line += std::to_string(report.nodes);
  line += " nps ";
  line += std::to_string(nps);
  line += " hashfull ";
  line += std::to_string(report.hashfull);
  line += " pv";
  // The line begins with the best move; should they ever disagree, the
  // move alone is the line.
  const bool lineFits = best.pv.length > 0 && best.pv.moves[0] == best.m;
  const int shown = lineFits ? best.pv.length : 1;
  for (int i = 0; i < shown; ++i) {
    line += ' ';
    line += MoveText(lineFits ? best.pv.moves[i] : best.m);
  }
  return line;
}

void TInfos::Total(const TBest& best, std::int32_t depth, std::int32_t score, std::int32_t id, std::uint32_t nodes,
                   const TTranspositionTable& tables) {
  if (NoInfoOutput) return;
  std::lock_guard lock(VoiceLock);
  if (id != InfoThread && score <= InfoScore) return;
  InfoThread = id;
  InfoScore = score;
  if (depth < FirstPrintedDepth) return;
  WriteString(DepthLine(Report(depth, score, nodes, tables), best));
}

void TInfos::Final(const TThreadSearch& main) {
  if (NoInfoOutput) return;
  const TBest& best = main.Best;
  if (best.m.IsNone()) {
    WriteString(RootInCheck ? "info depth 0 score mate 0" : "info depth 0 score cp 0");
    return;
  }
  // A shortcut answers without an iteration; it still reports depth 1.
  const std::int32_t depth = std::max<std::int32_t>(1, std::int32_t(best.Depth));
  WriteString(DepthLine(Report(depth, best.score, main.Nodes, *main.TransTable), best));
}

void TInfos::EnCours(TMove move, int i, std::int32_t /*prof*/, std::int32_t id) {
  if (NoInfoOutput || id != InfoThread) return;
  WriteString("info currmove " + MoveText(move) + " currmovenumber " + std::to_string(i + 1));
}

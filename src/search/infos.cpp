#include "search/infos.h"

#include <algorithm>
#include <mutex>
#include <string>

#include "board/move_text.h"
#include "platform/console.h"
#include "platform/system.h"
#include "search/main_thread_search.h"
#include "search/search.h"

namespace {

// A line the table cut short still stands on a search of at least its
// depth, so the selective depth shown is never below it.
TDepthReport Report(const TThreadSearch& t, std::int32_t depth, std::int32_t score) {
  const TSearchTotals totals = TInfos::Totals(t);
  return {depth,
          std::max(totals.seldepth, std::uint32_t(std::max(depth, 0))),
          t.ShownLines.Wanted() > 1 ? 1 : 0,
          score,
          t.Owner ? Ticks() - t.Owner->Clock.StartTick() : 0,
          totals.nodes,
          t.TransTable->HashFull(),
          totals.tbhits};
}

}  // namespace

bool TInfos::TakeVoiceLocked(std::int32_t id, std::int32_t score) {
  if (id != voiceThread_ && score <= voiceScore_) return false;
  voiceThread_ = id;
  voiceScore_ = score;
  return true;
}

void TInfos::Init() {
  std::lock_guard lock(lock_);
  voiceThread_ = 0;
  voiceScore_ = NoScore;
  printedDepth_ = 0;
}

void TInfos::GiveVoice(std::int32_t id) {
  std::lock_guard lock(lock_);
  voiceThread_ = id;
}

TSearchTotals TInfos::Totals(const TThreadSearch& t) {
  TSearchTotals totals;
  const auto add = [&totals](const TThreadSearch& s) {
    totals.nodes += s.Nodes.load(std::memory_order_relaxed);
    totals.tbhits += s.TablebaseHits.load(std::memory_order_relaxed);
    totals.seldepth = std::max(totals.seldepth, s.SelDepth.load(std::memory_order_relaxed));
  };
  const TMainThreadSearch* main = t.Owner;
  if (!main) {
    add(t);
    return totals;
  }
  add(*main);
  for (std::size_t i = 0; i < main->HelperCount(); ++i) add(main->Helper(i));
  return totals;
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

TLine TInfos::ShownLine(const TBest& best) {
  TLine shown;
  if (best.pv.length > 0 && best.pv.moves[0] == best.m) shown = best.pv;
  else if (!best.m.IsNone()) shown.SetMove(best.m);
  return shown;
}

std::string TInfos::DepthLine(const TDepthReport& report, const TLine& line) {
  const std::int64_t nps =
      std::int64_t(report.nodes * 1000 / std::uint64_t(std::max<std::int64_t>(1, report.elapsedMs)));
  std::string text = "info depth ";
  text += std::to_string(report.depth);
  text += " seldepth ";
  text += std::to_string(report.seldepth);
  if (report.multipv > 0) {
    text += " multipv ";
    text += std::to_string(report.multipv);
  }
  text += " score ";
  text += ScoreText(report.score);
  text += " time ";
  text += std::to_string(report.elapsedMs);
  text += " nodes ";
  text += std::to_string(report.nodes);
  text += " nps ";
  text += std::to_string(nps);
  text += " hashfull ";
  text += std::to_string(report.hashfull);
  text += " tbhits ";
  text += std::to_string(report.tbhits);
  text += " pv";
  for (int i = 0; i < line.length; ++i) {
    text += ' ';
    text += MoveText(line.moves[i]);
  }
  return text;
}

bool TInfos::TakeVoice(std::int32_t id, std::int32_t score) {
  if (Quiet()) return false;
  std::lock_guard lock(lock_);
  return TakeVoiceLocked(id, score);
}

void TInfos::IterationDone(const TThreadSearch& t, std::int32_t depth, std::int32_t score) {
  if (Quiet()) return;
  std::lock_guard lock(lock_);
  if (!TakeVoiceLocked(t.ThreadID, score) || depth < printedDepth_) return;
  printedDepth_ = depth;
  TDepthReport report = Report(t, depth, score);
  if (t.ShownLines.Wanted() == 1) {
    WriteString(DepthLine(report, ShownLine(t.BestSnapshot())));
    return;
  }
  std::string lines;
  for (int i = 0; i < t.ShownLines.Count(); ++i) {
    report.multipv = i + 1;
    report.score = t.ShownLines[i].score;
    lines += DepthLine(report, t.ShownLines[i].line);
    lines += '\n';
  }
  WriteLines(lines);
}

void TInfos::Final(const TThreadSearch& main) {
  if (Quiet()) return;
  const TBest best = main.BestSnapshot();
  if (best.m.IsNone()) {
    WriteString(main.RootInCheck ? "info depth 0 score mate 0" : "info depth 0 score cp 0");
    return;
  }
  std::lock_guard lock(lock_);
  // A shortcut answers without an iteration; it still reports depth 1.
  // With several threads each deepens its own share of the root, and the
  // answer may come from one that is not yet as deep as a line printed.
  const std::int32_t depth = std::max({1, std::int32_t(best.Depth), printedDepth_});
  printedDepth_ = depth;
  WriteString(DepthLine(Report(main, depth, best.score), ShownLine(best)));
}

void TInfos::CurrentMove(TMove move, int i, std::int32_t id) const {
  if (Quiet() || id != VoiceThread()) return;
  WriteString("info currmove " + MoveText(move) + " currmovenumber " + std::to_string(i + 1));
}

#include "protocol/epd_test_run.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "board/move_text.h"
#include "platform/console.h"
#include "platform/files.h"
#include "protocol/convert.h"
#include "protocol/epd_lines.h"
#include "protocol/protocol_board.h"
#include "protocol/text.h"
#include "search/engine_settings.h"
#include "search/main_thread_search.h"

namespace {

constexpr const char* TempName = "_temp";
constexpr const char* DifferencesText = "Tests différents: ";

std::string ReadAnswer() {
  std::string line;
  ReadLine(line);  // at the end of input the answer is empty
  return std::string(Trim(line));
}

bool IsYes(const std::string& answer) { return answer == "y" || answer == "Y"; }

bool HasEpdSuffix(const std::string& path) {
  const std::string suffix = path.size() >= 4 ? path.substr(path.size() - 4) : "";
  return suffix == ".epd" || suffix == ".EPD";
}

// Enter typed during the run, or the input gone. Only the next unread line
// counts: once an answer for a later question waits, later empty lines are
// answers too (an empty file name), not Enter.
bool AbortAsked() {
  std::string next;
  switch (PeekInputLine(next)) {
    case TPendingInput::Ended: return true;
    case TPendingInput::Line:
      if (!Trim(next).empty()) return false;
      ReadLine(next);
      return true;
    case TPendingInput::Nothing: break;
  }
  return false;
}

struct TRunSettings {
  bool mirror = false;
  std::string path;
  std::int32_t depth = 0;
};

struct TRunTally {
  int differences = 0;
  std::int32_t unmirroredScore = 0;
};

// One search of `text` and its result line; an empty line when the text is
// no legal position.
std::string SearchOne(TProtocolBoard& board, TMainThreadSearch& search, const std::string& text,
                      const std::string& label, const TRunSettings& settings, bool mirrored, TRunTally& tally) {
  search.ClearTablesBeforeNextSearch();
  // A file letter in the castling field makes it a Chess960 position;
  // other fields are read as the UCI_Chess960 setting says.
  if (!board.LoadEpd(text, board.Chess960Rules() || NamesCastlingFiles(text))) {
    WriteString(label + ": position refused, not searched");
    return label + ": position refused, not searched";
  }
  WriteLines(label + ": ");
  search.CopyMain();
  search.Think();
  const std::string move = MoveText(search.Best.m);
  const std::int32_t score = search.Best.score;
  WriteString("move " + move + " (" + std::to_string(score) + ")");
  std::string result = label + ": move " + move + " [" + std::to_string(score) + "]";
  if (settings.mirror) {
    if (!mirrored) {
      tally.unmirroredScore = score;
    } else if (score != tally.unmirroredScore) {
      result += " ?";
      ++tally.differences;
    }
  }
  return result;
}

// Every entry (and its mirror), until the list ends or Enter is pressed.
void SearchAll(TProtocolBoard& board, TMainThreadSearch& search, const std::vector<TEpdEntry>& entries,
               const TRunSettings& settings, std::ofstream& temp, TRunTally& tally) {
  // In mirror mode the turned-over position follows each position as read.
  bool mirrored = false;
  for (std::size_t i = 0; i < entries.size();) {
    const std::string text = mirrored ? MirrorEpd(entries[i].position) : entries[i].position;
    temp << SearchOne(board, search, text, entries[i].label, settings, mirrored, tally) << '\n';
    temp.flush();
    mirrored = settings.mirror && !mirrored;
    if (!mirrored) ++i;
    if (AbortAsked()) return;
  }
}

void SaveOrDiscard(std::ofstream& temp, const TRunSettings& settings, const TRunTally& tally) {
  WriteString("save the results ? (y):");
  if (!IsYes(ReadAnswer())) {
    temp.close();
    DeleteFile(TempName);
    WriteString("\"not saved...quit\"");
    return;
  }
  temp << '\n';
  if (settings.mirror) temp << DifferencesText << tally.differences << '\n';
  WriteString("file name:");
  const std::string answer = ReadAnswer();
  const std::string name = answer.empty() ? "TestEPD.txt" : answer + ".txt";
  temp.close();
  if (temp.fail()) {
    WriteInfoString(std::string("the results could not all be written to ") + TempName);
    return;
  }
  if (!RenameFile(TempName, name)) {
    WriteInfoString(std::string("could not rename ") + TempName + " to " + name + ": " + std::strerror(errno) +
                    "; the results stay in " + TempName);
    return;
  }
  WriteString("\"results saved...quit\"");
}

}  // namespace

void RunEpdTest(TProtocolBoard& board, TMainThreadSearch& search, TEngineSettings& engine) {
  search.DestroyHelpers();
  engine.Threads = 1;
  search.CreateThreads();

  TRunSettings settings;
  WriteString("miroir ? (y):");
  settings.mirror = IsYes(ReadAnswer());
  WriteString(settings.mirror ? "Miroir on" : "Miroir off");

  WriteString("path of EPD file:");
  settings.path = ReadAnswer();
  std::vector<std::string> lines;
  if (!HasEpdSuffix(settings.path) || !FileExists(settings.path) || !ReadTextLines(settings.path, lines)) {
    WriteString("\"file not found...abort\"");
    return;
  }
  engine.HashMB = 1;
  search.ResizeTables();
  const std::vector<TEpdEntry> entries = ReadEpdEntries(lines);

  WriteString("depth:");
  const std::optional<std::int64_t> depth = ParseClampedInt(ReadAnswer(), 1, DeepestIteration);
  if (!depth) {
    WriteString("\"Invalid depth...abort\"");
    return;
  }
  settings.depth = std::int32_t(*depth);
  TSearchOrder order;
  order.MaxDepth = settings.depth;
  order.DepthLimitGiven = true;
  search.TakeOrder(order);
  search.StopRequested = false;

  WriteString("Press \"Enter\" to abort the test");
  WriteString("Begining...");
  std::ofstream temp(TempName);
  if (!temp) {
    WriteInfoString(std::string("cannot create ") + TempName + " in " + CurrentDirectory() + ": " +
                    std::strerror(errno) + "; the test is not run");
    return;
  }
  temp << settings.path << " - Prof:" << settings.depth << " - Hash:" << 1 << "mo"
       << (settings.mirror ? " - Test Miroir" : "") << "\n\n";

  TRunTally tally;
  search.Infos.SetQuiet(true);
  SearchAll(board, search, entries, settings, temp, tally);
  search.Infos.SetQuiet(false);

  WriteString("...end");
  if (settings.mirror) WriteString(DifferencesText + std::to_string(tally.differences));
  SaveOrDiscard(temp, settings, tally);
}

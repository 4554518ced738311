// The protocol object: owns the protocol board, the main search thread and
// the output thread, and runs the command loop on the program's main thread.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/system.h"
#include "protocol/protocol_board.h"
#include "search/engine_settings.h"
#include "search/search_order.h"

class TMainThreadSearch;

constexpr std::int32_t MaxThreads = 8;
// The megabytes the hash tables and the tablebase cache may take.
constexpr std::int32_t MinTableMB = 1;
constexpr std::int32_t MaxTableMB = 1024;
class TBestMovePrinter;

extern const std::string AuthorName;
extern const std::string EngineName;

class TUCI : public TProtocolBoard {
 public:
  // `processors`: the processors the Threads option may use.
  explicit TUCI(unsigned processors = ProcessorCountOfMachine());
  ~TUCI() override;

  // The command loop: reads and serves lines until "quit" or end of input.
  void Execute();
  // Serves one line as the command loop does; false once the loop must end.
  bool HandleLine(const std::string& line);
  // Stops a running search and waits until the search thread has parked.
  void StopSearch();
  TMainThreadSearch& MainSearch() { return *mainSearch_; }
  const TEngineSettings& Settings() const { return settings_; }

  std::string command;

 private:
  // A new game from the start position forgets the previous game's clock.
  void ResetTimeControl() override;
  bool SearchRunning() const;
  // The line that answers a "go".
  std::string BestMoveLine(TMove best, TMove ponder) const;
  void Dispatch(const std::string& line);
  void NewGame();
  // True when the line is a "setoption" line (served, whichever option it names).
  bool SetOption(const std::string& line);
  void ApplyOption(const struct TOption& option, const std::string& value);
  void Position(const std::string& line);
  void Go(const std::string& line);
  void ReinitTablebases();
  // Sets the tablebases up again when an option changed them since (or
  // they were never set up).
  void SetUpChangedTablebases();
  void SetThreads(std::int32_t count);
  void SetHashSize(std::int32_t sizeMB);
  void SetTablebaseCache(std::int32_t sizeMB);

  bool terminated_ = false;
  unsigned processors_;
  // The clock's shape: a "go" without moves to go or an increment keeps the
  // last ones given, until a new game.
  TLevel level_;
  TEngineSettings settings_;
  bool tablebasesChanged_ = true;  // an option changed them since the last set-up
  std::unique_ptr<TMainThreadSearch> mainSearch_;
  std::unique_ptr<TBestMovePrinter> output_;
};

// Waits for "uci" (or "quit") on standard input, then serves the protocol.
void WaitForUci();

// The identity and option lines sent in answer to "uci".
std::string UciIdentity();

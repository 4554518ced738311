// A search run in-process on the main search thread, one thread, no output:
// the fixture of the tests that check what a search decides.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "board/move_text.h"
#include "platform/console.h"
#include "protocol/protocol_board.h"
#include "search/main_thread_search.h"
#include "support/engine_tables.h"

class InProcessSearch : public ::testing::Test {
 protected:
  void SetUp() override { EnsureEngineTables(); }

  // Sets up "position <args>" and searches it to `depth` on this thread.
  // With `freshTables` false the tables keep what earlier searches stored.
  void Search(const std::string& args, int depth, bool freshTables = true) {
    source.SetupPosition(args);
    main.Infos.SetQuiet(true);
    if (freshTables) main.ClearTablesBeforeNextSearch();
    TSearchOrder order;
    order.MaxDepth = depth;
    main.TakeOrder(order);
    main.CopyMain();
    main.Think();
  }
  std::string BestText() const { return MoveText(main.Best.m); }

  OutputCapture quiet;
  TProtocolBoard source;
  TEngineSettings settings;
  TMainThreadSearch main{source, settings};
};

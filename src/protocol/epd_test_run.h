// The "test" command: an interactive run over a file of EPD positions, each
// searched to a fixed depth on the protocol thread, with one result line per
// search written to a results file for a person to compare with the file's
// expected moves. In mirror mode every position is also searched with the
// colours swapped, and differing scores are counted.
//
// It reads its answers from standard input. A line left empty while the
// positions are searched (Enter) ends the run after the current search;
// answers sent ahead for the closing questions wait for them. When the input
// ends during the run, the run ends as Enter would.
#pragma once

class TProtocolBoard;
class TMainThreadSearch;
struct TEngineSettings;

// Leaves the engine with one search thread and one megabyte of tables.
void RunEpdTest(TProtocolBoard& board, TMainThreadSearch& search, TEngineSettings& engine);

// The fuzz targets' checks, one per input reader. Each runs one input and
// returns what went wrong, or an empty text when every rule held: the fuzz
// targets abort on a fault, the test suite replays kept inputs through the
// same checks (tests/protocol/fuzz_findings_test.cpp).
#pragma once

#include <string>
#include <string_view>

// The engine's tables and a quiet standard input; call once before any check.
void PrepareFuzzChecks();

// FEN text: a refused text leaves the board alone; an accepted one gives a
// board whose two move generators agree and whose moves unmake cleanly.
std::string CheckFenReader(std::string_view input);
// A FEN line, then move texts played one by one: the text of each generated
// move reads back as that move, and the board stays sound.
std::string CheckMoveText(std::string_view input);
// The words after "go": every limit read stays within its range, and the
// order played through the command loop gets exactly one legal answer.
std::string CheckGoCommand(std::string_view input);
// Option lines: numbers are read as numbers or refused, every option stays
// within its range, and the engine still answers a search afterwards.
std::string CheckSetOption(std::string_view input);
// Whole sessions of command lines: every output line is a UCI reply and
// every search started gets exactly one legal "bestmove".
std::string CheckCommandLoop(std::string_view input);

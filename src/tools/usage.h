// The engine's answers on its own command line, for a person at a terminal:
// the usage, the version, and the refusal of an unknown argument. None of
// them starts the engine.
#pragma once

#include <string>

// The usage: UCI by default, the developer tools, and the folders the
// tablebase library is looked for in, as this run of the program sees them.
std::string UsageText();

// `vostrak --help` and `vostrak --version`; each returns the exit code, 0.
int HelpCommand();
int VersionCommand();

// An argument the engine does not know: says so on standard error and
// returns the exit code, 2.
int RefuseArgument(const std::string& argument);

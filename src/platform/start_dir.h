// The directory the program was started in: the book file and the
// tablebase library are looked for there.
#pragma once

#include <string>

extern std::string StartDir;

// Records the current directory; called once at program start.
void InitStartDir();

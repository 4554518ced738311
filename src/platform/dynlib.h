// Shared libraries loaded at run time by full path.
#pragma once

#include <string>

using LibraryHandle = void*;

// Loads the library at `path`; nullptr when it cannot be loaded.
LibraryHandle LoadLibraryFile(const std::string& path);
// Address of an exported symbol, or nullptr.
void* LibrarySymbol(LibraryHandle library, const char* name);
void FreeLibraryFile(LibraryHandle library);
// Why the last load or symbol lookup failed, in the system's words; empty
// when it did not.
std::string LastLibraryError();

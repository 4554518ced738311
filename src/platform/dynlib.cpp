#include "platform/dynlib.h"

#include <dlfcn.h>

LibraryHandle LoadLibraryFile(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }

void* LibrarySymbol(LibraryHandle library, const char* name) { return library ? dlsym(library, name) : nullptr; }

void FreeLibraryFile(LibraryHandle library) {
  if (library) dlclose(library);
}

std::string LastLibraryError() {
  const char* text = dlerror();
  return text ? text : "";
}

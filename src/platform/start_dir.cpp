#include "platform/start_dir.h"

#include "platform/files.h"

std::string StartDir;

void InitStartDir() { StartDir = CurrentDirectory(); }

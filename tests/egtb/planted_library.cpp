// A stranger's library under the tablebase library's name, as a folder of
// downloaded files may hold one: loading it leaves a file in the current
// folder and a line on standard error. It exports neither of the entry
// points the engine looks for.
#include <cstdio>

__attribute__((constructor)) static void LeaveAMark() {
  std::fputs("planted library loaded\n", stderr);
  if (FILE* mark = std::fopen("planted-library-was-loaded", "w")) std::fclose(mark);
}

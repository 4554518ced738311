#include "fuzz_checks.h"
#include "fuzz_session.h"

std::string CheckCommandLoop(std::string_view input) {
  TFuzzSession session;
  session.SendLines(input);
  return session.Finish();
}

// Sanitized and debug builds search many times slower and take longer to
// answer a stop; the end-to-end tests' timing bounds allow for it there and
// stay tight in the optimised build.
#pragma once

#ifdef VOSTRAK_CHECKED_BUILD
constexpr bool CheckedBuild = true;
#else
constexpr bool CheckedBuild = false;
#endif

// Time the pipe and the process may add to a limit the engine keeps itself.
constexpr long long AnswerLatencyMs = CheckedBuild ? 2500 : 150;

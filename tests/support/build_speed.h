// Sanitized and debug builds search many times slower: timing bounds allow for it there.
#pragma once

#ifdef VOSTRAK_CHECKED_BUILD
constexpr bool CheckedBuild = true;
#else
constexpr bool CheckedBuild = false;
#endif

// Time the pipe and the process may add to a limit the engine keeps itself.
constexpr long long AnswerLatencyMs = CheckedBuild ? 2500 : 150;

// The engine's settings as the interface's options leave them. The protocol
// owns them and hands them to the main search thread, which reads them only
// while no search runs (options are not served during a search) and passes
// down what each part needs: the table sizes, the thread count, the move
// overhead to the clock, the tablebase set-up to the bridge.
#pragma once

#include <cstdint>
#include <string>

// Milliseconds kept off every clock deadline for the interface and the pipe.
constexpr std::int32_t DefaultMoveOverhead = 30;
constexpr std::int32_t MaxMoveOverhead = 5000;

struct TEngineSettings {
  std::int32_t HashMB = 32;  // all hash tables together
  std::int32_t Threads = 1;
  std::int32_t MoveOverhead = DefaultMoveOverhead;
  std::int32_t MultiPv = 1;
  // Where the tablebase files lie, and the cache the library may take.
  std::string TablebasePath = "C:\\TBS";
  std::int32_t TablebaseCacheMB = 32;
  // The tablebase library the option names (a full path), or empty: then it
  // is looked for beside the executable.
  std::string TablebaseLibrary;
  // The folder the opening book is read from: the one the engine started in.
  std::string BookFolder;
};

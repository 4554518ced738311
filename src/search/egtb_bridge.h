// Bridge to the endgame tablebase library EGTB.DLL, a shared library loaded
// at run time. The main search thread owns the bridge; its helpers probe
// through it.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "board/search_board.h"
#include "platform/dynlib.h"

// The library's two entry points. Both leave the error text pointer null (or
// pointing to an empty text) on success and point it to a message otherwise.
// Squares are numbered a1 = 0 .. h8 = 63 there.
using TInitTbPathCache = int (*)(const char* path, std::int32_t cacheBytes, const char** errorText);
using TProbEGTB = std::int32_t (*)(const std::int32_t* whites, const std::int32_t* blacks, const std::int32_t* pclist,
                                   std::int32_t side, const char** errorText);

inline constexpr const char* EGTBLibraryName = "EGTB.DLL";
inline constexpr const char* EGTBInitSymbol = "InitTbPathCache";
inline constexpr const char* EGTBProbeSymbol = "ProbeTbPosition";
// An installed engine lies in PREFIX/games (or PREFIX/bin) and its library in
// this folder of PREFIX, the parent of the executable's folder: the package
// then works under any prefix and unpacked anywhere.
inline constexpr const char* EGTBInstalledFolder = "lib/games/vostrak";

// The probe's arguments: 16 squares per side in fixed slots (three per kind
// from pawns to queens, the king last) and the counts of each kind.
struct TProbeArguments {
  std::int32_t whites[16];
  std::int32_t blacks[16];
  std::int32_t pclist[16];  // White pawns..queens in 0..4, Black's in 5..9
};

// Fills the probe's arguments from the board's piece lists; false when a side
// has more men of one kind than the slots can take.
bool MakeProbeArguments(const TSearchBoard& board, TProbeArguments& arguments);

// The folders the library is looked for in, first to last: the
// executable's and the installed folder beside it (none when the
// executable's folder is unknown). Never the folder the engine was started
// from: a library is code run with the user's rights, and that folder may
// hold anybody's files.
std::vector<std::string> EGTBLibraryFolders();

class TEGTB {
 public:
  TEGTB() = default;
  // Releases the library if it is loaded.
  ~TEGTB();
  TEGTB(const TEGTB&) = delete;
  TEGTB& operator=(const TEGTB&) = delete;

  // The library to load: the one `option` names (a full path), or when it
  // is empty the first one found in EGTBLibraryFolders. Loads nothing.
  void ChooseLibrary(const std::string& option);
  // The library Init loads; empty when none was found.
  const std::string& LibraryPath() const { return libraryPath_; }
  // Loads and initialises the library with the tablebase folder `path` and
  // a cache of `cacheMB` megabytes; prints "info string Init EGTB" at the
  // bridge's first set-up and, when tablebases are unusable, the reason in
  // "info string" lines.
  void Init(const std::string& path, std::int32_t cacheMB);
  // Unloads the library if it is loaded; tablebases are then unusable.
  void Release();
  // Value of the board's position for its side to move, from the library.
  // True when the library answered; `score` is then valid. Any search
  // thread may call it.
  bool Probe(const TSearchBoard& board, std::int32_t& score) const;
  // The tablebases answer probes, for positions of up to Men() men.
  bool Loaded() const { return loaded_.load(std::memory_order_relaxed); }
  std::int32_t Men() const { return men_.load(std::memory_order_relaxed); }

  // How many times Init set the tablebases up.
  int SetUps() const { return setUps_; }

 private:
  std::string SetUpLocked(const std::string& path, std::int32_t cacheBytes);
  void LoadLibraryLocked();

  std::string libraryPath_;
  int setUps_ = 0;
  bool announced_ = false;  // "Init EGTB" was printed
  // Serialises every call into the library: probes from all search
  // threads, and the set-up, which may come while a search runs.
  mutable std::mutex lock_;
  // Written under lock_.
  LibraryHandle library_ = nullptr;
  // The library may keep the path text it was given until it is
  // initialised again, so the text lives here rather than on Init's stack.
  std::string pathText_;
  std::atomic<TProbEGTB> probe_{nullptr};
  std::atomic<bool> loaded_{false};
  std::atomic<std::int32_t> men_{0};
};

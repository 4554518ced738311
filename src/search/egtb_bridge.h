// Bridge to the endgame tablebase library EGTB.DLL, a shared library loaded
// at run time. Every search thread owns a TEGTB; only the main search
// thread's object is initialised, the others receive its probe entry point.
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
using TProbEGTB = std::int32_t (*)(const std::int32_t* whites, const std::int32_t* blacks,
                                   const std::int32_t* pclist, std::int32_t side, const char** errorText);

inline constexpr const char* EGTBLibraryName = "EGTB.DLL";
inline constexpr const char* EGTBInitSymbol = "InitTbPathCache";
inline constexpr const char* EGTBProbeSymbol = "ProbeTbPosition";
// An installed engine lies in PREFIX/games (or PREFIX/bin) and its library in
// this folder of PREFIX, the parent of the executable's folder: the package
// then works under any prefix and unpacked anywhere.
inline constexpr const char* EGTBInstalledFolder = "lib/games/vostrak";

// Set by the options and read by Init, all on the protocol thread.
extern std::string NalimovPath;
// The library the "TablebaseLibrary" option names (a full path), or empty:
// then it is looked for in EGTBLibraryFolders.
extern std::string TablebaseLibrary;
extern std::int32_t NalimovCache;  // megabytes
extern bool EGTBCacheChanged;
extern bool EGTBPathChanged;
extern std::string EGTBDllPath;  // the library Init loads; empty when none was found
// Written under EGTBLock by Init and ReleaseEGTBLibrary.
extern LibraryHandle EGTBLibrary;
extern std::string EGTBMessage;  // failure text of the last Init
// Read by the search threads while they search, hence atomics.
extern std::atomic<bool> EGTBLoaded;
extern std::atomic<std::int32_t> EGTBMen;
// Serialises every call into the library: probes from all search threads,
// and the initialisation, which may come while a search runs.
extern std::mutex EGTBLock;

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

// The library to load: the one `option` names, or when it is empty the
// first one found in EGTBLibraryFolders. Marks the tablebases for a new set-up.
void ChooseTablebaseLibrary(const std::string& option);

// Unloads the library if it is loaded; tablebases are then unusable.
void ReleaseEGTBLibrary();

class TEGTB {
 public:
  TEGTB() = default;
  // Releases the library if this object loaded it.
  ~TEGTB();
  TEGTB(const TEGTB&) = delete;
  TEGTB& operator=(const TEGTB&) = delete;

  // Sets the tablebase settings to their start values and finds the library
  // in the first of EGTBLibraryFolders that holds it. Loads nothing.
  void FirstInit();
  // Loads and initialises the library with NalimovPath and NalimovCache;
  // prints "info string Init EGTB" at the first set-up of the process and,
  // when tablebases are unusable, the reason in "info string" lines.
  void Init();
  // Value of the board's position for its side to move, from the library.
  // True when the library answered; `score` is then valid.
  bool Probe(const TSearchBoard& board, std::int32_t& score) const;

  // How many times Init set the tablebases up.
  int SetUps() const { return setUps_; }

  // The library's probe entry point, or null. Helpers' copies are written by
  // the protocol thread while a search may read them, hence an atomic.
  std::atomic<TProbEGTB> ProbEGTB{nullptr};

 private:
  std::string SetUpLocked(std::int32_t cacheBytes);

  bool initialised_ = false;
  int setUps_ = 0;
};

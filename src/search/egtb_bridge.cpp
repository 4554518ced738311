#include "search/egtb_bridge.h"

#include <algorithm>

#include "platform/console.h"
#include "platform/files.h"
#include "platform/start_dir.h"

std::string NalimovPath = "C:\\TBS";
std::int32_t NalimovCache = 32;
bool EGTBCacheChanged = true;
bool EGTBPathChanged = true;
std::string EGTBDllPath;
LibraryHandle EGTBLibrary = nullptr;
std::string EGTBMessage;
std::atomic<bool> EGTBLoaded{false};
std::atomic<std::int32_t> EGTBMen{0};
std::mutex EGTBLock;

namespace {

constexpr const char* MissingLibraryText = "EGTB.DLL missing, must be in the same directory as Vostrak.";
constexpr const char* AccessErrorText = "Error EGTB access";

constexpr std::int32_t DefaultCacheMB = 8;
constexpr int SlotsPerKind = 3;
constexpr int KingSlot = 15;
constexpr int BlackCounts = 5;  // Black's counts follow White's five in pclist

// The library may keep the path text it was given until it is initialised
// again, so the text lives here rather than on Init's stack.
std::string LibraryPathText;

bool NoError(const char* errorText) { return errorText == nullptr || *errorText == '\0'; }

// Another library's text may run over several lines; each would reach the
// interface bare, so the breaks become blanks.
std::string OnOneLine(const char* text) {
  std::string line(text);
  std::replace_if(line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  return line;
}

// The first folder that holds the library; the start directory's path when
// none does, so that the missing-library message names a real place.
std::string FindLibrary() {
  for (const std::string& folder : EGTBLibraryFolders()) {
    const std::string path = JoinPath(folder, EGTBLibraryName);
    if (FileExists(path)) return path;
  }
  return JoinPath(StartDir, EGTBLibraryName);
}

// Loads the library at EGTBDllPath into EGTBLibrary (null when it cannot be
// loaded). A library loaded before is never unloaded here: search threads
// may still hold its probe entry point. Loading the same one again only
// drops the extra reference. Call with EGTBLock held.
void LoadLibraryLocked() {
  const LibraryHandle handle = LoadLibraryFile(EGTBDllPath);
  if (handle && handle == EGTBLibrary) FreeLibraryFile(handle);
  EGTBLibrary = handle;
}

void AddMan(std::int32_t* squares, std::int32_t* counts, TBoardPiece kind, std::int32_t square, bool& fits) {
  if (kind == King) {
    squares[KingSlot] = square;
  } else if (kind < King && counts[kind] < SlotsPerKind) {
    squares[SlotsPerKind * kind + counts[kind]++] = square;
  } else {
    fits = false;
  }
}

}  // namespace

std::vector<std::string> EGTBLibraryFolders() {
  // The start directory first: a library put there replaces the shipped one.
  std::vector<std::string> folders{StartDir};
  const std::string exeDir = ExecutableDirectory();
  if (exeDir.empty()) return folders;
  folders.push_back(exeDir);  // where the build puts the library
  folders.push_back(JoinPath(ParentDirectory(exeDir), EGTBInstalledFolder));
  return folders;
}

bool MakeProbeArguments(const TSearchBoard& board, TProbeArguments& arguments) {
  arguments = {};
  bool fits = true;
  for (TSide side : {TSide(Light), TSide(Dark)}) {
    std::int32_t* squares = side == Light ? arguments.whites : arguments.blacks;
    std::int32_t* counts = arguments.pclist + (side == Light ? 0 : BlackCounts);
    const std::uint32_t last = side == Light ? board.Max_light : board.Max_dark;
    for (std::uint32_t i = 1; i <= last && i <= PieceListSize; ++i) {
      const TPieceEntry& man = board.PieceLists[side].Men[i];
      if (!man.Active) continue;
      // The library numbers squares from a1 = 0 upwards.
      AddMan(squares, counts, board.Piece[man.Square], man.Square ^ 56, fits);
    }
  }
  return fits;
}

void ReleaseEGTBLibrary() {
  std::lock_guard guard(EGTBLock);
  EGTBLoaded = false;
  FreeLibraryFile(EGTBLibrary);
  EGTBLibrary = nullptr;
}

TEGTB::~TEGTB() {
  if (initialised_) ReleaseEGTBLibrary();
}

void TEGTB::FirstInit() {
  NalimovPath = "C:\\TBS";
  NalimovCache = 32;
  EGTBDllPath = FindLibrary();
  EGTBCacheChanged = true;
  EGTBPathChanged = true;
}

void TEGTB::Init() {
  initialised_ = true;
  // Neither line is a protocol reply, so both go out as "info string".
  WriteInfoString("Init EGTB");
  if (NalimovCache < 1 || NalimovCache > 1024) NalimovCache = DefaultCacheMB;
  const std::int32_t cacheBytes = NalimovCache * 1048576;

  bool usable = false;
  {
    // Probes of a running search wait until the library is ready again.
    std::lock_guard guard(EGTBLock);
    LibraryPathText = NalimovPath;
    LoadLibraryLocked();
    if (!EGTBLibrary) {
      ProbEGTB = nullptr;
      EGTBMessage = MissingLibraryText;
    } else {
      const auto initialise = reinterpret_cast<TInitTbPathCache>(LibrarySymbol(EGTBLibrary, EGTBInitSymbol));
      const auto probe = reinterpret_cast<TProbEGTB>(LibrarySymbol(EGTBLibrary, EGTBProbeSymbol));
      ProbEGTB = probe;
      const char* errorText = nullptr;
      const int men = initialise ? initialise(LibraryPathText.c_str(), cacheBytes, &errorText) : 0;
      usable = initialise && probe && NoError(errorText);
      if (usable) {
        EGTBMen = men;
        EGTBMessage.clear();
      } else {
        EGTBMessage = NoError(errorText) ? AccessErrorText : OnOneLine(errorText);
      }
    }
    EGTBLoaded = usable;
  }
  if (!usable) WriteInfoString(EGTBMessage);
}

bool TEGTB::Probe(const TSearchBoard& board, std::int32_t& score) const {
  TProbeArguments arguments;
  if (!MakeProbeArguments(board, arguments)) return false;
  const char* errorText = nullptr;
  std::lock_guard guard(EGTBLock);
  // Checked under the lock: the library may have been released meanwhile.
  const TProbEGTB probe = ProbEGTB.load(std::memory_order_relaxed);
  if (!probe || !EGTBLoaded.load(std::memory_order_relaxed)) return false;
  score = probe(arguments.whites, arguments.blacks, arguments.pclist, board.Side, &errorText);
  return NoError(errorText);
}

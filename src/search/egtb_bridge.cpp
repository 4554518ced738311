#include "search/egtb_bridge.h"

#include <algorithm>

#include "platform/console.h"
#include "platform/files.h"

std::string NalimovPath = "C:\\TBS";
std::string TablebaseLibrary;
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
constexpr const char* WithoutTablebases = "; play goes on without tablebases";

// "Init EGTB" opens the first set-up of the process only: the set-up comes
// again with every new game and thread count, and interfaces show each line.
bool InitAnnounced = false;

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

// The first folder that holds the library; empty when none does.
std::string FindLibrary() {
  for (const std::string& folder : EGTBLibraryFolders()) {
    const std::string path = JoinPath(folder, EGTBLibraryName);
    if (FileExists(path)) return path;
  }
  return "";
}

std::string FolderList() {
  std::string list;
  for (const std::string& folder : EGTBLibraryFolders()) list += (list.empty() ? "" : ", ") + folder;
  return list.empty() ? "no folder (the engine's own folder is unknown)" : list;
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
  const std::string exeDir = ExecutableDirectory();
  if (exeDir.empty()) return {};
  // Where the build puts the library, then the installed layout.
  return {exeDir, JoinPath(ParentDirectory(exeDir), EGTBInstalledFolder)};
}

void ChooseTablebaseLibrary(const std::string& option) {
  TablebaseLibrary = option;
  EGTBDllPath = option.empty() ? FindLibrary() : option;
  EGTBPathChanged = true;
}

bool MakeProbeArguments(const TSearchBoard& board, TProbeArguments& arguments) {
  arguments = {};
  bool fits = true;
  for (TSide side : {TSide(Light), TSide(Dark)}) {
    std::int32_t* squares = side == Light ? arguments.whites : arguments.blacks;
    std::int32_t* counts = arguments.pclist + (side == Light ? 0 : BlackCounts);
    const std::uint32_t last = board.MaxIndex(side);
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
  ChooseTablebaseLibrary("");
  EGTBCacheChanged = true;
}

// Loads the chosen library and sets it up; the reason when it is unusable.
// Call with EGTBLock held.
std::string TEGTB::SetUpLocked(std::int32_t cacheBytes) {
  ProbEGTB = nullptr;
  EGTBLoaded = false;
  if (EGTBDllPath.empty())
    return std::string(EGTBLibraryName) + " looked for in " + FolderList() + ": not found" + WithoutTablebases;
  LoadLibraryLocked();
  if (!EGTBLibrary)
    return "tablebase library " + EGTBDllPath + " not loaded: " + OnOneLine(LastLibraryError().c_str()) +
           WithoutTablebases;
  const auto initialise = reinterpret_cast<TInitTbPathCache>(LibrarySymbol(EGTBLibrary, EGTBInitSymbol));
  const auto probe = reinterpret_cast<TProbEGTB>(LibrarySymbol(EGTBLibrary, EGTBProbeSymbol));
  for (const auto& [found, name] : {std::pair{initialise != nullptr, EGTBInitSymbol}, {probe != nullptr, EGTBProbeSymbol}})
    if (!found) return "tablebase library " + EGTBDllPath + " has no " + name + WithoutTablebases;
  const char* errorText = nullptr;
  LibraryPathText = NalimovPath;
  const int men = initialise(LibraryPathText.c_str(), cacheBytes, &errorText);
  if (!NoError(errorText))
    return "tablebase library " + EGTBDllPath + " failed: " + OnOneLine(errorText) + WithoutTablebases;
  ProbEGTB = probe;
  EGTBMen = men;
  EGTBLoaded = true;
  return "";
}

void TEGTB::Init() {
  initialised_ = true;
  ++setUps_;
  // None of these lines is a protocol reply, so all go out as "info string".
  if (!InitAnnounced) WriteInfoString("Init EGTB");
  InitAnnounced = true;
  if (NalimovCache < 1 || NalimovCache > 1024) NalimovCache = DefaultCacheMB;
  {
    // Probes of a running search wait until the library is ready again.
    std::lock_guard guard(EGTBLock);
    EGTBMessage = SetUpLocked(NalimovCache * 1048576);
  }
  if (EGTBMessage.empty()) return;
  if (EGTBDllPath.empty()) WriteInfoString(MissingLibraryText);
  WriteInfoString(EGTBMessage);
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

#include "search/egtb_bridge.h"

#include <algorithm>

#include "platform/console.h"
#include "platform/files.h"

namespace {

constexpr const char* MissingLibraryText = "EGTB.DLL missing, must be in the same directory as Vostrak.";
constexpr const char* WithoutTablebases = "; play goes on without tablebases";

constexpr std::int32_t DefaultCacheMB = 8;
constexpr int SlotsPerKind = 3;
constexpr int KingSlot = 15;
constexpr int BlackCounts = 5;  // Black's counts follow White's five in pclist

bool NoError(const char* errorText) { return errorText == nullptr || *errorText == '\0'; }

// Another library's text may run over several lines; each would reach the
// interface bare, so the breaks become blanks.
std::string OnOneLine(const char* text) {
  std::string line(text);
  std::replace_if(
      line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
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

void TEGTB::ChooseLibrary(const std::string& option) { libraryPath_ = option.empty() ? FindLibrary() : option; }

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

void TEGTB::Release() {
  std::lock_guard guard(lock_);
  loaded_ = false;
  probe_ = nullptr;
  FreeLibraryFile(library_);
  library_ = nullptr;
}

TEGTB::~TEGTB() { Release(); }

// Loads the library at libraryPath_ into library_ (null when it cannot be
// loaded). A library loaded before is never unloaded here: a probe may
// still be on its way into it. Loading the same one again only drops the
// extra reference. Call with lock_ held.
void TEGTB::LoadLibraryLocked() {
  const LibraryHandle handle = LoadLibraryFile(libraryPath_);
  if (handle && handle == library_) FreeLibraryFile(handle);
  library_ = handle;
}

// Loads the chosen library and sets it up; the reason when it is unusable.
// Call with lock_ held.
std::string TEGTB::SetUpLocked(const std::string& path, std::int32_t cacheBytes) {
  probe_ = nullptr;
  loaded_ = false;
  if (libraryPath_.empty())
    return std::string(EGTBLibraryName) + " looked for in " + FolderList() + ": not found" + WithoutTablebases;
  LoadLibraryLocked();
  if (!library_)
    return "tablebase library " + libraryPath_ + " not loaded: " + OnOneLine(LastLibraryError().c_str()) +
           WithoutTablebases;
  const auto initialise = reinterpret_cast<TInitTbPathCache>(LibrarySymbol(library_, EGTBInitSymbol));
  const auto probe = reinterpret_cast<TProbEGTB>(LibrarySymbol(library_, EGTBProbeSymbol));
  for (const auto& [found, name] :
       {std::pair{initialise != nullptr, EGTBInitSymbol}, {probe != nullptr, EGTBProbeSymbol}})
    if (!found) return "tablebase library " + libraryPath_ + " has no " + name + WithoutTablebases;
  const char* errorText = nullptr;
  pathText_ = path;
  const int men = initialise(pathText_.c_str(), cacheBytes, &errorText);
  if (!NoError(errorText))
    return "tablebase library " + libraryPath_ + " failed: " + OnOneLine(errorText) + WithoutTablebases;
  probe_ = probe;
  men_ = men;
  loaded_ = true;
  return "";
}

void TEGTB::Init(const std::string& path, std::int32_t cacheMB) {
  ++setUps_;
  // None of these lines is a protocol reply, so all go out as "info string".
  // "Init EGTB" opens the first set-up only: the set-up comes again with
  // every new game and thread count, and interfaces show each line.
  if (!announced_) WriteInfoString("Init EGTB");
  announced_ = true;
  if (cacheMB < 1 || cacheMB > 1024) cacheMB = DefaultCacheMB;
  std::string message;
  {
    // Probes of a running search wait until the library is ready again.
    std::lock_guard guard(lock_);
    message = SetUpLocked(path, cacheMB * 1048576);
  }
  if (message.empty()) return;
  if (libraryPath_.empty()) WriteInfoString(MissingLibraryText);
  WriteInfoString(message);
}

bool TEGTB::Probe(const TSearchBoard& board, std::int32_t& score) const {
  TProbeArguments arguments;
  if (!MakeProbeArguments(board, arguments)) return false;
  const char* errorText = nullptr;
  std::lock_guard guard(lock_);
  // Checked under the lock: the library may have been released meanwhile.
  const TProbEGTB probe = probe_.load(std::memory_order_relaxed);
  if (!probe || !loaded_.load(std::memory_order_relaxed)) return false;
  score = probe(arguments.whites, arguments.blacks, arguments.pclist, board.Side, &errorText);
  return NoError(errorText);
}

// The two exported entry points: argument checks, the mapping of the probe's
// piece arrays onto a table position, and the one-time build of the tables.
#include "egtb_api.h"

#include <atomic>
#include <mutex>
#include <new>
#include <string>

#include "tb_solver.h"

namespace {

using namespace egtb;

std::mutex initMutex;
Tablebase tables;  // written once under initMutex, read-only afterwards
std::atomic<bool> tablesReady{false};
std::string initError;  // the text handed out by the last failed init

constexpr int PieceSlot[PieceKinds] = {EGTB_SLOT_PAWN, EGTB_SLOT_KNIGHT, EGTB_SLOT_BISHOP, EGTB_SLOT_ROOK,
                                       EGTB_SLOT_QUEEN};

bool onBoard(int32_t square) { return square >= 0 && square < 64; }

// The one man besides the kings, if any.
struct ExtraMan {
  bool present = false;
  Side owner = White;
  Piece kind = Piece::Pawn;
  Square square = 0;
};

const char* findExtraMan(const int32_t* whites, const int32_t* blacks, const int32_t* pclist, ExtraMan& man) {
  int men = 2;
  for (int i = 0; i < EGTB_PCLIST_SIZE; ++i) {
    if (pclist[i] < 0 || pclist[i] > 3) return "piece count in pclist out of range 0..3";
    men += pclist[i];
  }
  if (men > EGTB_MAX_MEN) return "position has more than 3 men";
  for (int i = 0; i < EGTB_PCLIST_SIZE; ++i) {
    if (pclist[i] == 0) continue;
    // Written without `(cond ? whites : blacks)[slot]`: GCC 12 miscompiles that
    // form under -fsanitize=shift, which the sanitizer build enables.
    const bool white = i < PieceKinds;
    const int32_t* squares = white ? whites : blacks;
    man.present = true;
    man.owner = white ? White : Black;
    man.kind = Piece(i % PieceKinds);
    man.square = squares[PieceSlot[i % PieceKinds]];
    if (!onBoard(man.square)) return "pclist counts a piece whose square is off the board";
  }
  return nullptr;
}

// A probe turned into a table lookup.
struct Query {
  bool bareKings = false;
  Piece kind = Piece::Pawn;
  Position position{};  // White owns the piece
};

const char* decodeProbe(const int32_t* whites, const int32_t* blacks, const int32_t* pclist, int32_t side,
                        Query& query) {
  if (!whites || !blacks || !pclist) return "null piece array";
  if (side != 0 && side != 1) return "side to move must be 0 (White) or 1 (Black)";
  ExtraMan man;
  if (const char* error = findExtraMan(whites, blacks, pclist, man)) return error;
  const Square whiteKing = whites[EGTB_SLOT_KING];
  const Square blackKing = blacks[EGTB_SLOT_KING];
  if (!onBoard(whiteKing)) return "white king missing or off the board";
  if (!onBoard(blackKing)) return "black king missing or off the board";
  if (whiteKing == blackKing || (man.present && (man.square == whiteKing || man.square == blackKing)))
    return "two men on one square";
  if (kingsTouch(whiteKing, blackKing)) return "kings on adjacent squares";
  query.bareKings = !man.present;
  if (query.bareKings) return nullptr;
  if (man.kind == Piece::Pawn && (rankOf(man.square) == 0 || rankOf(man.square) == 7))
    return "pawn on the first or last rank";
  // The tables hold White-owned pieces: a Black-owned one is looked at from
  // the other side of the board, with the colours and the side to move swapped.
  query.kind = man.kind;
  if (man.owner == White) query.position = Position{Side(side), whiteKing, blackKing, man.square};
  else
    query.position = Position{opponent(Side(side)), flipRanks(blackKing), flipRanks(whiteKing), flipRanks(man.square)};
  if (query.position.toMove == White && blackInCheck(query.kind, query.position)) return "side not to move is in check";
  return nullptr;
}

void setError(const char** errorText, const char* text) {
  if (errorText) *errorText = text;
}

}  // namespace

// The tables are computed here, not read from files: whatever directory the
// engine names (a path from another system, one that does not exist, none at
// all) the answer is the same.
extern "C" int InitTbPathCache(const char* /*path*/, int32_t /*cacheBytes*/, const char** errorText) {
  std::lock_guard<std::mutex> lock(initMutex);
  setError(errorText, nullptr);
  if (!tablesReady.load(std::memory_order_acquire)) {
    try {
      std::string reason;
      if (!tables.build(reason)) {
        initError = reason;
        setError(errorText, initError.c_str());
        return 0;
      }
    } catch (const std::bad_alloc&) {
      setError(errorText, "not enough memory for the tablebases");
      return 0;
    }
    tablesReady.store(true, std::memory_order_release);
  }
  return EGTB_MAX_MEN;
}

extern "C" int32_t ProbeTbPosition(const int32_t* whites, const int32_t* blacks, const int32_t* pclist, int32_t side,
                                   const char** errorText) {
  setError(errorText, nullptr);
  if (!tablesReady.load(std::memory_order_acquire)) {
    setError(errorText, "tablebases not initialised");
    return 0;
  }
  Query query;
  if (const char* error = decodeProbe(whites, blacks, pclist, side, query)) {
    setError(errorText, error);
    return 0;
  }
  if (query.bareKings) return 0;
  const int16_t score = tables.score(query.kind, query.position);
  if (score == IllegalScore) {  // the checks above should have caught it
    setError(errorText, "illegal position");
    return 0;
  }
  return score;
}

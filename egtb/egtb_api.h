/* Entry points of EGTB.DLL, the engine's own endgame tablebase library.
 *
 * The library answers every position with at most three men (the two kings
 * and one more piece): KQK, KRK, KBK, KNK and KPK, either colour strong,
 * either side to move. The engine loads it at run time (dlopen) and looks the
 * two functions up by these unmangled names.
 *
 * Squares are numbered a1 = 0, b1 = 1, ..., h8 = 63. `whites` and `blacks`
 * hold 16 squares each in fixed slots (see EgtbSlot); `pclist` holds the
 * counts of pawns, knights, bishops, rooks and queens, White's in [0..4] and
 * Black's in [5..9]. Slots beyond a count are ignored.
 *
 * Scores are for the side to move: 0 for a draw, 10000 - n when the side to
 * move mates in n plies, n - 10000 when it is mated in n plies (-10000: it is
 * checkmated now).
 *
 * Error reporting: both functions set *errorText to nullptr when they succeed
 * and to a NUL-terminated message owned by the library otherwise (valid until
 * the next InitTbPathCache call). The caller only needs `*errorText == nullptr`.
 */
#ifndef VOSTRAK_EGTB_API_H
#define VOSTRAK_EGTB_API_H

#include <stdint.h>

#if defined(__GNUC__)
#define EGTB_EXPORT __attribute__((visibility("default")))
#else
#define EGTB_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Slot of the first man of each kind in `whites` / `blacks`; each kind has
 * three consecutive slots, the king has one. */
enum EgtbSlot {
  EGTB_SLOT_PAWN = 0,
  EGTB_SLOT_KNIGHT = 3,
  EGTB_SLOT_BISHOP = 6,
  EGTB_SLOT_ROOK = 9,
  EGTB_SLOT_QUEEN = 12,
  EGTB_SLOT_KING = 15
};

enum { EGTB_SQUARE_SLOTS = 16, EGTB_PCLIST_SIZE = 10, EGTB_MAX_MEN = 3 };

/* Builds the tables (once per process; later calls reuse them). Returns the
 * number of men answered (3), or 0 with *errorText set when the tables cannot
 * be built. The library reads no files: `path` may be any text, a directory
 * that does not exist, or null, and is ignored; so is `cacheBytes`, since the
 * tables are small and always held in memory. */
EGTB_EXPORT int InitTbPathCache(const char* path, int32_t cacheBytes, const char** errorText);

/* Score of the position for `side` to move (0 White, 1 Black). Returns 0 with
 * *errorText set when the position cannot be answered (too many men, men on
 * one square, a king missing, the side not to move in check, a pawn on the
 * first or last rank, bad counts or side, tables not initialised). */
EGTB_EXPORT int32_t ProbeTbPosition(const int32_t* whites, const int32_t* blacks, const int32_t* pclist, int32_t side,
                                    const char** errorText);

typedef int (*InitTbPathCacheFn)(const char*, int32_t, const char**);
typedef int32_t (*ProbeTbPositionFn)(const int32_t*, const int32_t*, const int32_t*, int32_t, const char**);

#ifdef __cplusplus
}
#endif

#endif

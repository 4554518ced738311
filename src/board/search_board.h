// The search board: the board state of a search thread with the fields the
// board code keeps up to date (piece lists, counts, check state, killers and
// history), and the operations the search runs on it: attack and check
// analysis, move generation and ordering, making and unmaking moves, and the
// preparation of the board before a search. The search thread class derives
// from it; perft and the unit tests use it on its own.
//
// Everything here works on plain fields of this object: no allocation, no
// locks, so that several search threads run side by side on their own boards.
#pragma once

#include <array>
#include <bit>
#include <cassert>
#include <cstdint>
#include <utility>

#include "board/board_state.h"
#include "board/geometry.h"

// Per-ply tables are indexed by Ply, 0..MaxPly + 1.
constexpr int PlyTableSize = MaxPly + 2;

using TKiller = TMove[2][PlyTableSize];
using TKillerScore = std::int32_t[2][PlyTableSize];
using THistory = std::int32_t[2][64][64];

class TSearchBoard : public TBoardState {
 public:
  TPieceEntry& KingEntry(TSide side) { return PieceLists[side].Men[1]; }
  const TPieceEntry& KingEntry(TSide side) const { return PieceLists[side].Men[1]; }
  int KingSquare(TSide side) const { return PieceLists[side].Men[1].Square; }
  std::uint32_t MaxIndex(TSide side) const { return LastListIndex[side]; }

  // Calls visit(square) for each of the side's pawns on the board, in list
  // order.
  template <class Visit>
  void ForEachPawn(TSide side, Visit visit) const {
    const TPieceEntry* list = PieceLists[side].Men;
    for (std::uint32_t rest = PawnIndices(side); rest != 0; rest &= rest - 1)
      visit(list[std::countr_zero(rest)].Square);
  }

  // Calls visit(entry) for each of the side's other men on the board, king
  // first, in list order.
  template <class Visit>
  void ForEachPiece(TSide side, Visit visit) const {
    const TPieceEntry* list = PieceLists[side].Men;
    for (std::uint32_t rest = PieceIndices(side); rest != 0; rest &= rest - 1) visit(list[std::countr_zero(rest)]);
  }

  // Calls visit(square) for each of the side's men of one kind, in list order.
  template <class Visit>
  void ForEachOfKind(TSide side, TPiece kind, Visit visit) const {
    const TPieceEntry* list = PieceLists[side].Men;
    for (std::uint32_t rest = KindIndices[side][kind]; rest != 0; rest &= rest - 1)
      visit(list[std::countr_zero(rest)].Square);
  }

  // --- Attacks, checks and pins (attacks.cpp) -------------------------------
  bool SquareAttacked(int square, TSide attacker) const;
  // As SquareAttacked; `emptyCount` gets the number of empty squares walked
  // on the eight rays before the answer was found.
  // Along a ray (a queen mailbox step) from a square: the nearest man, or -1
  // at the edge; the empty squares short of it; those and the man.
  int NearestMan(int square, int step) const {
    const TSquareSet men = RaySet(square, step) & Occupied();
    return men != 0 ? NearestOnRay(men, step) : -1;
  }
  struct TRayView {
    TSquareSet open;
    int firstMan;
    TSquareSet Sight() const { return firstMan < 0 ? open : open | SquareBit(firstMan); }
  };
  TRayView Ray(int square, int step) const {
    const int t = NearestMan(square, step);
    return {t < 0 ? RaySet(square, step) : RayBefore(square, step, t), t};
  }
  bool SquareAttackedCount(int square, TSide attacker, int& emptyCount) const;
  // Is that side's king attacked by the other side?
  bool KingAttacked(TSide side) const;
  // Pawn attacks on a square; the evaluation asks them for most squares it looks at.
  bool AttackedByDarkPawn(int square) const {
    const int column = square & 7;
    return (column != 7 && square >= 7 && IsPawnOf(square - 7, Dark)) ||
           (column != 0 && square >= 9 && IsPawnOf(square - 9, Dark));
  }
  bool AttackedByLightPawn(int square) const {
    const int column = square & 7;
    return (column != 7 && square < 55 && IsPawnOf(square + 9, Light)) ||
           (column != 0 && square < 57 && IsPawnOf(square + 7, Light));
  }
  bool IsPawnOf(int square, TSide side) const { return Piece[square] == Pawn && Color[square] == side; }

  // Check analysis after the move at GameHistory[HistoryLength - 1], run at the start of
  // every node: keeps both kings' lines of sight exact and fills CheckCount,
  // CheckAnswerSquares, SquaresBehindKing, PinnedMen and InCheckAtPly[Ply]. A node
  // reached by a null move (`afterNull`) changes nothing. True when the side
  // to move is in check.
  bool UpdateChecks(bool afterNull);
  // Full check analysis from scratch, for the root.
  bool AnalyseChecks(TSide side, int kingSquare);
  void AddCheck(int kingSquare, int checkerSquare);
  void ComputePins(TSide side, int kingSquare);
  // Rebuilds an entry's lines of sight (empty unless a king stands on it).
  void BuildKingLines(TPieceEntry& entry) const;
  // Lines of sight of a king on `kingSquare`, from the board as it stands.
  TSquareSet KingLinesFrom(int kingSquare) const;
  // `square` was just vacated (or filled) on a line of that side's king.
  void OpenKingLine(TSide king, int square);
  void CloseKingLine(TSide king, int square);

  // Material queries of the evaluation, from MenCount.
  int PieceCount(TSide side) const {
    return MenCount[side][Knight] + MenCount[side][Bishop] + MenCount[side][Rook] + MenCount[side][Queen];
  }
  int MenCountWithoutKings() const {
    return PieceCount(Light) + PieceCount(Dark) + MenCount[Light][Pawn] + MenCount[Dark][Pawn];
  }
  int PieceCountBothSides() const { return PieceCount(Light) + PieceCount(Dark); }

  // --- Move generation (movegen.cpp, evasions.cpp) --------------------------
  // Each fills MoveStack from FirstMove[Ply] and sets FirstMove[Ply + 1].
  void GenerateMoves();
  // The same moves without ordering scores, for perft.
  void GenerateMovesUnscored();
  // Needs the check analysis of this position. The search promotes to a
  // queen only when it answers a check; perft asks for every promotion.
  void GenerateEvasions(bool underPromotions = false);
  void GenerateCaptures();
  void GenerateCapturesAndChecks();  // needs the enemy king's exact lines
  void GenerateRootMoves();
  void GenerateRootEvasions();

  // --- Ordering, killers and history (ordering.cpp) -------------------------
  std::int32_t KillerBonus(TMove m) const {
    const std::uint32_t move = m.AsInt();
    if (move == Killer1[Side][Ply].AsInt()) return 100000;
    if (move == Killer2[Side][Ply].AsInt()) return 50000;
    if (move == Killer3[Side][Ply].AsInt()) return 25000;
    return 0;
  }
  void RecordKiller(TMove m) { RecordKillerWeighted(m, 1); }
  // The root search weighs its killers by the iteration depth.
  void RecordRootKiller(TMove m, std::int32_t depth) { RecordKillerWeighted(m, depth); }
  // A move that raised alpha: its history grows by `amount`. Quiet moves'
  // scores stay in their band, below the captures and the stored move, however
  // long a search runs: past the ceiling every entry is halved.
  void AddHistory(TMove m, std::int32_t amount) {
    std::int32_t& score = History[Side][m.from][m.to];
    score += amount;
    if (score > HistoryCeiling) HalveHistory();
  }
  static constexpr std::int32_t HistoryCeiling = 500000;
  // Brings the best-scored move of entries i.. of this ply to entry i.
  void PickNextMove(int i);
  void ClearOrderingTables();
  void HalveHistory();

  // --- Making and unmaking moves (makemove.cpp) -----------------------------
  // Makes the move with the history entry at HistoryLength. False, with the board as
  // before, when the castling path is blocked or attacked or the mover's
  // king is left attacked.
  bool MakeMove(TMove m);
  // The same for a side not in check whose king's lines of sight are
  // exact (the search's nodes after their check analysis): most moves
  // then need no attack test.
  bool MakeMoveOutOfCheck(TMove m);
  // The position key after `m`, without making it: the search fetches the
  // table entry the move leads to while the move is being made.
  std::uint32_t KeyAfter(TMove m) const;
  // The pawn key after `m`, likewise.
  std::uint32_t PawnKeyAfter(TMove m) const;
  // The position key after passing the move.
  std::uint32_t KeyAfterNullMove() const;
  // For evasions, legal by construction: no test at all. Never castling.
  void MakeMoveUnchecked(TMove m);
  void TakeBack();
  // The caller keeps EP: after TakeBackNullMove it XORs its key back in and
  // restores it.
  void MakeNullMove();
  void TakeBackNullMove();
  bool IsRepetition() const;

  // --- Preparing the board before a search (prepare.cpp) --------------------
  // Builds piece lists, ListIndex, counts, king lines and both keys from the
  // placement, clears the search tables, makes room in the history.
  void PrepareBoard();
  void SortPieceLists();
  // Rebuilds PawnIndices, PieceIndices, PawnSquares and MenSquares from the lists.
  void IndexMenOnBoard();
  void CountPieces();
  void InitKingLines();
  // Keeps only the legal moves of the root list, compacted from index 0.
  void FilterLegalRootMoves();

  // --- Invariants (board_check.cpp) -----------------------------------------
  // Recomputes keys, piece lists, ListIndex and counts from the placement and
  // compares. The kings' lines of sight are exact only once UpdateChecks has
  // run after the last move, so `withKingLines` is false between a make and
  // the check analysis that follows it.
  bool board_is_ok(bool withKingLines = true) const;
  // `m` moves a man of the side to move from one square to another, and
  // takes no king (castling aside, whose path making it tests).
  bool move_is_ok(TMove m) const;

  // --- Fields -------------------------------------------------------------
  std::int32_t CheckCount = 0;                // pieces giving check to the side to move
  TSquareSet CheckAnswerSquares = 0;          // where a single check can be captured or blocked
  TSquareSet PinnedMen = 0;                   // side to move's pieces pinned to its king
  TSquareSet SquaresBehindKing = 0;           // squares behind the king on checking lines
  std::array<std::uint32_t, 64> ListIndex{};  // piece-list index of the piece on a square
  std::array<TPieceList, 2> PieceLists{};
  // Bit i of KindIndices[side][kind] is set when entry i of the side's list
  // is a man of that kind on the board (the king is entry 1). Make and unmake
  // keep them, so that the walks over a list visit its men in list order
  // without looking at the entries of captured ones, and the evaluation can
  // take the men one kind at a time instead of branching on each man's kind.
  std::uint32_t KindIndices[2][6]{};
  std::uint32_t PawnIndices(TSide side) const { return KindIndices[side][Pawn]; }
  std::uint32_t PieceIndices(TSide side) const {
    const std::uint32_t* kinds = KindIndices[side];
    return kinds[Knight] | kinds[Bishop] | kinds[Rook] | kinds[Queen] | kinds[King];
  }
  std::uint32_t MenIndices(TSide side) const { return PawnIndices(side) | PieceIndices(side); }
  TSquareSet PawnSquares[2]{};  // each side's pawns, kept by make and unmake
  TSquareSet MenSquares[2]{};   // each side's men, kept by make and unmake
  TSquareSet Occupied() const { return MenSquares[Light] | MenSquares[Dark]; }
  std::array<bool, PlyTableSize> InCheckAtPly{};
  std::int32_t MenCount[2][6]{};  // piece counts per side and kind

  TKiller Killer1{}, Killer2{}, Killer3{};
  TKillerScore KillerScore1{}, KillerScore2{}, KillerScore3{};
  THistory History{};

 private:
  // How an adder scores the moves of a generator.
  // EvasionAll scores as Evasion but adds the under-promotions too.
  enum class TScoring : std::uint8_t { Full, Root, Evasion, EvasionAll, Tactical, Unscored };

  // The attack test, optionally counting the empty squares its rays cross.
  template <bool CountEmpty>
  bool SquareAttackedT(int square, TSide attacker, int& emptyCount) const;
  void SaveKingLines(TSide king);
  // The last step of every make: the other side to move, one ply on, and
  // no king lines saved yet for the new history entry.
  void PassTheMove() {
    std::swap(Side, XSide);
    ++Ply;
    ++HistoryLength;
    assert(HistoryLength < GameHistory.size());
    THist& next = GameHistory[HistoryLength];
    next.SavedKingLines[Light].saved = false;
    next.SavedKingLines[Dark].saved = false;
  }
  // The kings' lines as they stood before the check analysis of the move
  // taken back, whose history entry follows `H`.
  void RestoreKingLines(const THist& next);
  // Chess960 castling (castling_moves.cpp): the move is the king taking its
  // own rook. Making it tests the path as MakeMove does.
  bool MakeCastling960(TMove m);
  bool Castling960GivesCheck(int right) const;
  bool ChecksAfterCastling960();
  void TakeBackCastling960(const THist& H);
  void PlaceCastlingPair(TSide us, int kingFrom, int rookFrom, int kingTo, int rookTo, std::uint32_t kingIndex,
                         std::uint32_t rookIndex);
  void RecordKillerWeighted(TMove m, std::int32_t weight);
  bool EnPassantExposesKing(int from, int to);

  // Move adders (move_adders.h): write a move and its score at `out`.
  template <TScoring Mode>
  void AddMove(TGen*& out, int from, int to, std::uint8_t bits, std::int32_t quietScore = 0) const;
  template <TScoring Mode>
  void AddPromotions(TGen*& out, int from, int to, std::uint8_t bits) const;

  template <TSide Us, TScoring Mode>
  TGen* GeneratePseudoLegal(TGen* out) const;
  template <TSide Us>
  TGen* GenerateEnPassant(TGen* out, bool rootScores) const;
  // A pawn's captures, with their promotions when it stands on its seventh rank.
  template <TSide Us, TScoring Mode>
  void AddPawnCaptures(TGen*& out, int s, bool promotes) const;
  template <TSide Us>
  TGen* GenerateCapturesT(TGen* out) const;
  template <TSide Us>
  TGen* GenerateCapturesAndChecksT(TGen* out) const;
  template <TSide Us, TScoring Mode>
  TGen* GenerateEvasionsT(TGen* out);

  TGen* BeginGeneration();
  void EndGeneration(TGen* end);

  void MakeCore(TMove m, THist& H);
  bool UncoversKing(int from, int to) const;
  void FinishKeys(const THist& H);
  bool MoveCastlingRook(TMove m, THist& H);
};

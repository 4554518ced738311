// Attacked squares, the check state of the side to move and pinned pieces.
// Each king carries its lines of sight (every square it sees along the eight
// queen rays, up to and including the first occupied one), so that after a
// move only the lines through the move's squares need looking at again.
#include <cassert>

#include "board/geometry.h"
#include "board/search_board.h"

namespace {

// Mailbox steps of the queen rays and knight jumps, in table order.
constexpr std::int32_t QueenSteps[8] = {-11, -10, -9, -1, 1, 9, 10, 11};
constexpr std::int32_t KnightSteps[8] = {-21, -19, -12, -8, 8, 12, 19, 21};

}  // namespace

// Each line from the square ends at its first man; only an attacker's man
// there can attack along it.
template <bool CountEmpty>
bool TSearchBoard::SquareAttackedT(int square, TSide attacker, int& emptyCount) const {
  const TSquareSet occupied = Occupied();
  if (CountEmpty || (EmptyBoardReach(Queen, square) & MenSquares[attacker]) != 0) {
    for (const std::int32_t step : QueenSteps) {
      const TSquareSet ray = RaySet(square, step);
      const TSquareSet men = ray & occupied;
      if (men == 0) {
        if constexpr (CountEmpty) emptyCount += RayFrom(square, step).length;
        continue;
      }
      const int t = NearestOnRay(men, step);
      if constexpr (CountEmpty) emptyCount += LineDistance(square, t) - 1;
      if (Color[t] == attacker && AttackTable(attacker, Piece[t], t, square)) return true;
    }
  }
  for (const std::int32_t step : KnightSteps) {
    const int t = Mailbox[Mailbox64[square] + step];
    if (t >= 0 && Piece[t] == Knight && Color[t] == attacker) return true;
  }
  return false;
}

bool TSearchBoard::SquareAttacked(int square, TSide attacker) const {
  int unused = 0;
  return SquareAttackedT<false>(square, attacker, unused);
}

bool TSearchBoard::SquareAttackedCount(int square, TSide attacker, int& emptyCount) const {
  emptyCount = 0;
  return SquareAttackedT<true>(square, attacker, emptyCount);
}

bool TSearchBoard::KingAttacked(TSide side) const { return SquareAttacked(KingSquare(side), Opponent(side)); }

void TSearchBoard::AddCheck(int kingSquare, int checkerSquare) {
  if (CheckCount == 0) {
    CheckAnswerSquares = 0;
    SquaresBehindKing = 0;
  }
  CheckAnswerSquares |= SquareBit(checkerSquare);
  ++CheckCount;
  if (!Slide[Piece[checkerSquare]]) return;
  const std::int32_t step = QueenSteps[DirIndex(checkerSquare, kingSquare)];
  const int behind = Mailbox[Mailbox64[kingSquare] + step];
  if (behind >= 0) SquaresBehindKing |= SquareBit(behind);
  if (CheckCount == 2) return;  // only king moves answer a double check
  for (int c = Mailbox64[checkerSquare] + step, t; (t = Mailbox[c]) != kingSquare; c += step)
    CheckAnswerSquares |= SquareBit(t);
}

void TSearchBoard::ComputePins(TSide side, int kingSquare) {
  PinnedMen = 0;
  const TSide enemy = Opponent(side);
  for (const std::int32_t step : QueenSteps) {
    if ((RaySet(kingSquare, step) & MenSquares[enemy]) == 0) continue;
    const int pinned = NearestMan(kingSquare, step);
    if (pinned < 0 || Color[pinned] != side) continue;
    const int t = NearestMan(pinned, step);
    if (t >= 0 && Color[t] == enemy && AttackTable(enemy, Piece[t], t, kingSquare)) PinnedMen |= SquareBit(pinned);
  }
}

TSquareSet TSearchBoard::KingLinesFrom(int kingSquare) const {
  TSquareSet lines = 0;
  for (const std::int32_t step : QueenSteps) lines |= Ray(kingSquare, step).Sight();
  return lines;
}

void TSearchBoard::BuildKingLines(TPieceEntry& entry) const {
  const int square = entry.Square;
  entry.LinesOfSight = Piece[square] == King ? KingLinesFrom(square) : 0;
}

// The first change of a king's lines after a move keeps the old set in the
// history entry the next move will use, where TakeBack finds it.
void TSearchBoard::SaveKingLines(TSide king) {
  TSavedKingLines& slot = GameHistory[HistoryLength].SavedKingLines[king];
  if (slot.saved) return;
  slot.set = KingEntry(king).LinesOfSight;
  slot.saved = true;
}

void TSearchBoard::OpenKingLine(TSide king, int square) {
  TPieceEntry& entry = KingEntry(king);
  const int kingSquare = entry.Square;
  const std::int32_t step = QueenSteps[DirIndex(kingSquare, square)];
  SaveKingLines(king);
  const TRayView line = Ray(square, step);
  entry.LinesOfSight |= line.Sight();
  const int t = line.firstMan;
  if (t >= 0 && Color[t] != king && AttackTable(Color[t], Piece[t], t, kingSquare)) AddCheck(kingSquare, t);
}

void TSearchBoard::CloseKingLine(TSide king, int square) {
  TPieceEntry& entry = KingEntry(king);
  const std::int32_t step = QueenSteps[DirIndex(entry.Square, square)];
  SaveKingLines(king);
  entry.LinesOfSight &= ~Ray(square, step).Sight();
}

bool TSearchBoard::UpdateChecks(bool afterNull) {
  if (afterNull) return InCheckAtPly[Ply];
  assert(HistoryLength >= 1);
  CheckCount = 0;
  const TSide mover = XSide;
  const TMove m = GameHistory[HistoryLength - 1].m;
  if ((m.bits & MoveCastle) && Castling.Chess960) return ChecksAfterCastling960();
  const int from = m.from, to = m.to;
  const int k = KingSquare(Side);
  const int moverKing = KingSquare(mover);
  // Membership before anything below extends a set: an en-passant capture
  // opens the line past the taken pawn, which may run through `from`.
  const bool fromSeenByK = InSet(KingEntry(Side).LinesOfSight, from);
  const bool fromSeenByM = InSet(KingEntry(mover).LinesOfSight, from);
  const bool ordinaryCapture = (m.bits & (MoveCapture | MoveEnPassant)) == MoveCapture;

  if (Piece[to] == King) {
    SaveKingLines(mover);
    BuildKingLines(KingEntry(mover));
    const TSquareSet lines = KingEntry(Side).LinesOfSight;
    if (m.bits & MoveCastle) {
      const int rook = RookCastleTo[to];
      if (fromSeenByK) OpenKingLine(Side, from);
      else if (InSet(lines, rook) && AttackTable(mover, Rook, rook, k)) AddCheck(k, rook);
    } else if (!InSet(lines, to)) {
      if (fromSeenByK) OpenKingLine(Side, from);
    } else if (!ordinaryCapture) {
      CloseKingLine(Side, to);
    }
  } else {
    if (Piece[to] == Knight && AttackTable(mover, Knight, to, k)) AddCheck(k, to);
    if (m.bits & MoveEnPassant) {
      const int taken = EPBehind(mover, to);
      const TSide kings[2] = {mover, Side};
      for (const TSide king : kings) {
        const TSquareSet lines = KingEntry(king).LinesOfSight;
        const int ks = KingSquare(king);
        if (!InSet(lines, taken)) continue;
        if (InSet(lines, to) && DirIndex(ks, taken) == DirIndex(ks, to)) continue;
        OpenKingLine(king, taken);
      }
    }
    // The side to move's king: direct and discovered checks.
    if (InSet(KingEntry(Side).LinesOfSight, to)) {
      if (!ordinaryCapture) CloseKingLine(Side, to);
      if (AttackTable(mover, Piece[to], to, k)) AddCheck(k, to);
      if (fromSeenByK && DirIndex(k, from) != DirIndex(k, to)) OpenKingLine(Side, from);
    } else if (fromSeenByK) {
      OpenKingLine(Side, from);
    }
    // The mover's king: a legal move opens no check, the lines just follow.
    if (InSet(KingEntry(mover).LinesOfSight, to)) {
      if (!ordinaryCapture) CloseKingLine(mover, to);
      if (fromSeenByM && DirIndex(moverKing, from) != DirIndex(moverKing, to)) OpenKingLine(mover, from);
    } else if (fromSeenByM) {
      OpenKingLine(mover, from);
    }
  }

  const bool inCheck = CheckCount > 0;
  if (CheckCount == 1) ComputePins(Side, k);
  InCheckAtPly[Ply] = inCheck;
  return inCheck;
}

bool TSearchBoard::AnalyseChecks(TSide side, int kingSquare) {
  SquaresBehindKing = 0;
  CheckCount = 0;
  PinnedMen = 0;
  const int cell = Mailbox64[kingSquare];
  for (const std::int32_t step : QueenSteps) {
    int c = cell + step, t;
    while ((t = Mailbox[c]) >= 0 && Color[t] == bsEmpty) c += step;
    if (t < 0 || Color[t] == side || !AttackTable(Color[t], Piece[t], t, kingSquare)) continue;
    ++CheckCount;
    CheckAnswerSquares = SquareBit(t);
    if (Piece[t] == Pawn) continue;
    for (int back = c - step; back != cell; back -= step) CheckAnswerSquares |= SquareBit(Mailbox[back]);
    const int behind = Mailbox[cell - step];
    if (behind >= 0) SquaresBehindKing |= SquareBit(behind);
  }
  for (const std::int32_t step : KnightSteps) {
    const int t = Mailbox[cell + step];
    if (t >= 0 && Piece[t] == Knight && Color[t] != side) {
      ++CheckCount;
      CheckAnswerSquares = SquareBit(t);
      break;
    }
  }
  if (CheckCount > 0 && CheckCount != 2) ComputePins(side, kingSquare);
  return CheckCount > 0;
}

// Making and unmaking moves. Making updates the board arrays, piece lists,
// ListIndex, counts, rights, en-passant square, fifty-move counter and both
// keys incrementally, and records in the history entry everything unmaking
// needs; unmaking restores from that entry instead of computing backwards.
#include <algorithm>
#include <cassert>
#include <utility>

#include "board/geometry.h"
#include "board/keys.h"
#include "board/search_board.h"

namespace {

// Castling by the king's destination: the squares that must be empty and
// unattacked, and the rook's journey.
struct TCastling {
  int kingTo;
  int empty[3];
  int emptyCount;
  int safe[2];
  int rookFrom, rookTo;
  TCastled castled;
};

constexpr TCastling CastlingRules[4] = {
    {2, {1, 2, 3}, 3, {2, 3}, 0, 3, CastledLong},
    {6, {5, 6, 0}, 2, {5, 6}, 7, 5, CastledShort},
    {58, {57, 58, 59}, 3, {58, 59}, 56, 59, CastledLong},
    {62, {61, 62, 0}, 2, {61, 62}, 63, 61, CastledShort},
};

const TCastling& CastlingFor(int kingTo) {
  switch (kingTo) {
    case 2: return CastlingRules[0];
    case 6: return CastlingRules[1];
    case 58: return CastlingRules[2];
    default: return CastlingRules[3];
  }
}

constexpr bool IsOrdinaryCapture(std::uint8_t bits) { return (bits & (MoveCapture | MoveEnPassant)) == MoveCapture; }

}  // namespace

// Tests the castling path and moves the rook; nothing changes on refusal.
// Whether the king stands in check is the generator's business: castling is
// only generated out of check.
bool TSearchBoard::MoveCastlingRook(TMove m, THist& H) {
  const TCastling& rule = CastlingFor(m.to);
  for (int i = 0; i < rule.emptyCount; ++i)
    if (Color[rule.empty[i]] != bsEmpty) return false;
  for (const int square : rule.safe)
    if (SquareAttacked(square, XSide)) return false;
  const std::uint32_t index = ListIndex[rule.rookFrom];
  H.Index.RookIndex = std::uint8_t(index);
  PieceLists[Side].Men[index].Square = rule.rookTo;
  ListIndex[rule.rookTo] = index;
  Color[rule.rookTo] = Color[rule.rookFrom];
  Piece[rule.rookTo] = Rook;
  Color[rule.rookFrom] = bsEmpty;
  Piece[rule.rookFrom] = bpEmpty;
  MenSquares[Side] ^= SquareBit(rule.rookFrom) | SquareBit(rule.rookTo);
  H.HistHash = hash;
  hash ^= Keys.PieceKeys[Side][Rook][rule.rookFrom] ^ Keys.PieceKeys[Side][Rook][rule.rookTo];
  KingEntry(Side).CastledAs = rule.castled;
  return true;
}

// Everything but the castling rook, the legality test and the keys of the
// piece's arrival, the side to move, the old en-passant square and the rights.
void TSearchBoard::MakeCore(TMove m, THist& H) {
  const int from = m.from, to = m.to;
  const TSide us = Side, them = XSide;
  const std::uint8_t bits = m.bits;
  H.m = m;
  H.Capture = Piece[to];
  H.CaptureSquare = to;
  H.castle = Castle;
  H.ep = EP;
  H.fifty = HalfmoveClock;
  H.HistHashP = hashP;
  const std::uint32_t moving = ListIndex[from];
  H.Index.MovedIndex = std::uint8_t(moving);
  PieceLists[us].Men[moving].Square = to;
  MenSquares[us] ^= SquareBit(from) | SquareBit(to);
  Castle &= Castling.Mask[from] & Castling.Mask[to];

  if (IsOrdinaryCapture(bits)) {
    const std::uint32_t taken = ListIndex[to];
    const TBoardPiece victim = Piece[to];
    H.Index.TakenIndex = std::uint8_t(taken);
    PieceLists[them].Men[taken].Active = false;
    KindIndices[them][victim] &= ~(1u << taken);
    MenSquares[them] &= ~SquareBit(to);
    --MenCount[them][victim];
    hash ^= Keys.PieceKeys[them][victim][to];
    if (victim == Pawn) {
      hashP ^= Keys.PieceKeys[them][Pawn][to];
      PawnSquares[them] &= ~SquareBit(to);
    }
  }
  if (bits & MovePawn2sq) {
    EP = EPBehind(us, to);
    hash ^= Keys.EPKeys[EP];
  } else {
    EP = NoSquare;
  }
  HalfmoveClock = (bits & (MoveCapture | MoveCastle | MovePawn)) ? 0 : HalfmoveClock + 1;

  Color[to] = TBoardSide(us);
  if (bits & MovePromote) {
    Piece[to] = TBoardPiece(m.promote);
    KindIndices[us][Pawn] &= ~(1u << moving);
    KindIndices[us][m.promote] |= 1u << moving;
    PawnSquares[us] &= ~SquareBit(from);
    ++MenCount[us][m.promote];
    --MenCount[us][Pawn];
    hash ^= Keys.PieceKeys[us][Pawn][from];
    hashP ^= Keys.PieceKeys[us][Pawn][from];
  } else {
    const TBoardPiece kind = Piece[from];
    Piece[to] = kind;
    hash ^= Keys.PieceKeys[us][kind][from];
    if (kind == Pawn) {
      hashP ^= Keys.PieceKeys[us][Pawn][from];
      PawnSquares[us] ^= SquareBit(from) | SquareBit(to);
    }
  }
  Color[from] = bsEmpty;
  Piece[from] = bpEmpty;

  if (bits & MoveEnPassant) {
    const int square = EPBehind(us, to);
    const std::uint32_t taken = ListIndex[square];
    H.Index.TakenIndex = std::uint8_t(taken);
    PieceLists[them].Men[taken].Active = false;
    KindIndices[them][Pawn] &= ~(1u << taken);
    PawnSquares[them] &= ~SquareBit(square);
    MenSquares[them] &= ~SquareBit(square);
    Color[square] = bsEmpty;
    Piece[square] = bpEmpty;
    --MenCount[them][Pawn];
    hash ^= Keys.PieceKeys[them][Pawn][square];
    hashP ^= Keys.PieceKeys[them][Pawn][square];
  }

  ListIndex[to] = moving;
  PassTheMove();
}

void TSearchBoard::FinishKeys(const THist& H) {
  const int to = H.m.to;
  const TBoardPiece arrived = Piece[to];
  if (H.ep != NoSquare) hash ^= Keys.EPKeys[H.ep];
  hash ^= Keys.PieceKeys[XSide][arrived][to];
  if (arrived == Pawn) hashP ^= Keys.PieceKeys[XSide][Pawn][to];
  hash ^= Keys.SideKey;
  if (Castle != H.castle) hash ^= CastlingKey(*this, H.castle) ^ CastlingKey(*this, Castle);
}

std::uint32_t TSearchBoard::KeyAfter(TMove m) const {
  const int from = m.from, to = m.to;
  const TSide us = Side, them = XSide;
  const TBoardPiece kind = Piece[from];
  const TBoardPiece arrived = m.Has(MovePromote) ? TBoardPiece(m.promote) : kind;
  std::uint32_t key = hash ^ Keys.SideKey ^ Keys.PieceKeys[us][kind][from] ^ Keys.PieceKeys[us][arrived][to];
  if (EP != NoSquare) key ^= Keys.EPKeys[EP];
  if (m.Has(MoveEnPassant)) {
    key ^= Keys.PieceKeys[them][Pawn][EPBehind(us, to)];
  } else if (m.Has(MoveCapture)) {
    key ^= Keys.PieceKeys[them][Piece[to]][to];
  }
  if (m.Has(MovePawn2sq)) key ^= Keys.EPKeys[EPBehind(us, to)];
  if (m.Has(MoveCastle) && Castling.Chess960) {
    // The king lands on its castled square, not on its rook's.
    const int right = TCastlingSetup::RightOf(m);
    key ^= Keys.PieceKeys[us][King][to] ^ Keys.PieceKeys[us][King][TCastlingSetup::KingTo(right)] ^
           Keys.PieceKeys[us][Rook][to] ^ Keys.PieceKeys[us][Rook][TCastlingSetup::RookTo(right)];
  } else if (m.Has(MoveCastle)) {
    const TCastling& rule = CastlingFor(to);
    key ^= Keys.PieceKeys[us][Rook][rule.rookFrom] ^ Keys.PieceKeys[us][Rook][rule.rookTo];
  }
  const std::uint32_t rights = Castle & Castling.Mask[from] & Castling.Mask[to];
  if (rights != Castle) key ^= CastlingKey(*this, Castle) ^ CastlingKey(*this, rights);
  return key;
}

bool TSearchBoard::MakeMove(TMove m) {
  assert(move_is_ok(m));
  assert(HistoryLength < GameHistory.size());
#ifndef NDEBUG
  const std::uint32_t expectedKey = KeyAfter(m), expectedPawnKey = PawnKeyAfter(m);
#endif
  THist& H = GameHistory[HistoryLength];
  if (m.bits & MoveCastle) {
    if (Castling.Chess960) {
      const bool made = MakeCastling960(m);
      assert(!made || (hash == expectedKey && hashP == expectedPawnKey));
      return made;
    }
    if (!MoveCastlingRook(m, H)) return false;
  } else {
    H.HistHash = hash;
  }
  MakeCore(m, H);
  if (KingAttacked(XSide)) {
    TakeBack();
    return false;
  }
  FinishKeys(H);
  assert(board_is_ok(false));
  assert(hash == expectedKey && hashP == expectedPawnKey);
  return true;
}

// The king is not in check, so a move of another piece can only expose it
// along the line the piece leaves, and only if it leaves that line.
bool TSearchBoard::UncoversKing(int from, int to) const {
  if (!InSet(KingEntry(Side).LinesOfSight, from)) return false;
  const int king = KingSquare(Side);
  const int direction = DirIndex(king, from);
  if (AttackTable(Light, Queen, king, to) && DirIndex(king, to) == direction) return false;
  const int t = NearestMan(from, Offset[Queen][direction]);
  return t >= 0 && Color[t] == XSide && AttackTable(XSide, Piece[t], t, king);
}

bool TSearchBoard::MakeMoveOutOfCheck(TMove m) {
  const int from = m.from;
  if (Piece[from] == King || m.Has(MoveEnPassant | MoveCastle)) return MakeMove(m);
  if (UncoversKing(from, m.to)) {
#ifndef NDEBUG
    // Debug builds confirm the refusal the long way; a wrong one aborts.
    [[maybe_unused]] const bool legal = MakeMove(m);
    assert(!legal);
#endif
    return false;
  }
  MakeMoveUnchecked(m);
  assert(!KingAttacked(XSide));
  return true;
}

void TSearchBoard::MakeMoveUnchecked(TMove m) {
  assert(move_is_ok(m));
  assert(!(m.bits & MoveCastle));
  assert(HistoryLength < GameHistory.size());
#ifndef NDEBUG
  const std::uint32_t expectedKey = KeyAfter(m), expectedPawnKey = PawnKeyAfter(m);
#endif
  THist& H = GameHistory[HistoryLength];
  H.HistHash = hash;
  MakeCore(m, H);
  FinishKeys(H);
  assert(board_is_ok(false));
  assert(hash == expectedKey && hashP == expectedPawnKey);
}

void TSearchBoard::RestoreKingLines(const THist& next) {
  if (next.SavedKingLines[Light].saved) KingEntry(Light).LinesOfSight = next.SavedKingLines[Light].set;
  if (next.SavedKingLines[Dark].saved) KingEntry(Dark).LinesOfSight = next.SavedKingLines[Dark].set;
}

void TSearchBoard::TakeBack() {
  std::swap(Side, XSide);
  --Ply;
  --HistoryLength;
  const THist& H = GameHistory[HistoryLength];
  const TMove m = H.m;
  const int from = m.from, to = m.to;
  const TSide us = Side, them = XSide;
  Castle = H.castle;
  EP = H.ep;
  HalfmoveClock = H.fifty;
  hash = H.HistHash;
  hashP = H.HistHashP;
  RestoreKingLines(GameHistory[HistoryLength + 1]);
  if ((m.bits & MoveCastle) && Castling.Chess960) return TakeBackCastling960(H);
  Color[from] = TBoardSide(us);
  ListIndex[from] = H.Index.MovedIndex;

  PieceLists[us].Men[H.Index.MovedIndex].Square = from;
  MenSquares[us] ^= SquareBit(from) | SquareBit(to);
  if (m.bits & MovePromote) {
    Piece[from] = Pawn;
    KindIndices[us][m.promote] &= ~(1u << H.Index.MovedIndex);
    KindIndices[us][Pawn] |= 1u << H.Index.MovedIndex;
    PawnSquares[us] |= SquareBit(from);
    --MenCount[us][m.promote];
    ++MenCount[us][Pawn];
  } else {
    Piece[from] = Piece[to];
    if (Piece[from] == Pawn) PawnSquares[us] ^= SquareBit(from) | SquareBit(to);
  }
  if (H.Capture != bpEmpty) {
    ListIndex[to] = H.Index.TakenIndex;
    PieceLists[them].Men[H.Index.TakenIndex].Active = true;
    KindIndices[them][H.Capture] |= 1u << H.Index.TakenIndex;
    if (H.Capture == Pawn) PawnSquares[them] |= SquareBit(to);
    MenSquares[them] |= SquareBit(to);
    ++MenCount[them][H.Capture];
    Color[to] = TBoardSide(them);
    Piece[to] = H.Capture;
  } else {
    Color[to] = bsEmpty;
    Piece[to] = bpEmpty;
  }
  if (m.bits & MoveCastle) {
    const TCastling& rule = CastlingFor(to);
    ListIndex[rule.rookFrom] = H.Index.RookIndex;
    PieceLists[us].Men[H.Index.RookIndex].Square = rule.rookFrom;
    Color[rule.rookFrom] = TBoardSide(us);
    Piece[rule.rookFrom] = Rook;
    Color[rule.rookTo] = bsEmpty;
    Piece[rule.rookTo] = bpEmpty;
    MenSquares[us] ^= SquareBit(rule.rookFrom) | SquareBit(rule.rookTo);
    KingEntry(us).CastledAs = NotCastled;
  }
  if (m.bits & MoveEnPassant) {
    const int square = EPBehind(us, to);
    ListIndex[square] = H.Index.TakenIndex;
    PieceLists[them].Men[H.Index.TakenIndex].Active = true;
    KindIndices[them][Pawn] |= 1u << H.Index.TakenIndex;
    PawnSquares[them] |= SquareBit(square);
    MenSquares[them] |= SquareBit(square);
    Color[square] = TBoardSide(them);
    Piece[square] = Pawn;
    ++MenCount[them][Pawn];
  }
  assert(board_is_ok(false));
}

std::uint32_t TSearchBoard::PawnKeyAfter(TMove m) const {
  const int from = m.from, to = m.to;
  const TSide us = Side, them = XSide;
  std::uint32_t key = hashP;
  if (Piece[from] == Pawn) {
    key ^= Keys.PieceKeys[us][Pawn][from];
    if (!m.Has(MovePromote)) key ^= Keys.PieceKeys[us][Pawn][to];
  }
  if (m.Has(MoveEnPassant)) key ^= Keys.PieceKeys[them][Pawn][EPBehind(us, to)];
  else if (m.Has(MoveCapture) && Piece[to] == Pawn) key ^= Keys.PieceKeys[them][Pawn][to];
  return key;
}

std::uint32_t TSearchBoard::KeyAfterNullMove() const {
  const std::uint32_t key = hash ^ Keys.SideKey;
  return EP != NoSquare ? key ^ Keys.EPKeys[EP] : key;
}

void TSearchBoard::MakeNullMove() {
  if (EP != NoSquare) {
    hash ^= Keys.EPKeys[EP];
    EP = NoSquare;
  }
  std::swap(Side, XSide);
  hash ^= Keys.SideKey;
}

void TSearchBoard::TakeBackNullMove() {
  std::swap(Side, XSide);
  hash ^= Keys.SideKey;
}

// One earlier occurrence since the last irreversible move is a repetition.
// The scan never reaches before the first entry, even when a position was
// set up with a fifty-move count of its own.
bool TSearchBoard::IsRepetition() const {
  if (HalfmoveClock <= 3) return false;
  const std::uint32_t first = HalfmoveClock < HistoryLength ? HistoryLength - HalfmoveClock : 0;
  for (std::uint32_t i = first; i < HistoryLength; ++i)
    if (GameHistory[i].HistHash == hash) return true;
  return false;
}

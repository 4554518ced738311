// The protocol board's rules: pseudo-legal generation on the 10 x 12
// mailbox, the attack test, and making and taking back moves. Speed does not
// matter here; the search has its own generator and make/unmake.
#include <algorithm>
#include <cstring>
#include <utility>

#include "board/geometry.h"
#include "board/keys.h"
#include "board/square_names.h"
#include "protocol/protocol_board.h"

namespace {

bool OnAFile(int square) { return square % 8 == 0; }
bool OnHFile(int square) { return square % 8 == 7; }

struct TCastling {
  int kingTo;
  int mustBeEmpty[3];
  int emptyCount;
  int mustBeSafe[2];
  int rookFrom, rookTo;
};

constexpr TCastling Castlings[4] = {
    {62, {61, 62, 0}, 2, {61, 62}, 63, 61},
    {58, {57, 58, 59}, 3, {58, 59}, 56, 59},
    {6, {5, 6, 0}, 2, {5, 6}, 7, 5},
    {2, {1, 2, 3}, 3, {2, 3}, 0, 3},
};

const TCastling* CastlingTo(int kingTo) {
  for (const auto& castling : Castlings)
    if (castling.kingTo == kingTo) return &castling;
  return nullptr;
}

}  // namespace

void TProtocolBoard::AddMove(int from, int to, std::uint8_t bits) {
  // A position holds a few hundred pseudo-legal moves at most, far below the
  // room the move stack has for plies 0 and 1, the only ones used here.
  std::int32_t& next = FirstMove[Ply + 1];
  const bool lastRank = Side == Light ? to < 8 : to >= 56;
  if ((bits & MovePawn) && lastRank) {
    for (TPiece promote : {TPiece(Queen), TPiece(Rook), TPiece(Bishop), TPiece(Knight)})
      MoveStack[next++] =
          TGen{TMove{std::uint8_t(from), std::uint8_t(to), promote, std::uint8_t(bits | MovePromote)}, 0};
    return;
  }
  MoveStack[next++] = TGen{TMove{std::uint8_t(from), std::uint8_t(to), 0, bits}, 0};
}

void TProtocolBoard::GeneratePawnMoves(int square) {
  const int forward = Side == Light ? -8 : 8;
  const int leftCapture = Side == Light ? -9 : 7;   // toward the a-file
  const int rightCapture = Side == Light ? -7 : 9;  // toward the h-file
  if (!OnAFile(square) && Color[square + leftCapture] == XSide)
    AddMove(square, square + leftCapture, MoveCapture | MovePawn);
  if (!OnHFile(square) && Color[square + rightCapture] == XSide)
    AddMove(square, square + rightCapture, MoveCapture | MovePawn);
  if (Color[square + forward] != bsEmpty) return;
  AddMove(square, square + forward, MovePawn);
  const bool onHomeRank = Side == Light ? square >= 48 : square <= 15;
  if (onHomeRank && Color[square + 2 * forward] == bsEmpty)
    AddMove(square, square + 2 * forward, MovePawn2sq | MovePawn);
}

void TProtocolBoard::GeneratePieceMoves(int square) {
  const int kind = Piece[square];
  for (int d = 0; d < OffsetCount[kind]; ++d)
    for (int to = Step(square, Offset[kind][d]); to != -1; to = Step(to, Offset[kind][d])) {
      if (Color[to] == bsEmpty) {
        AddMove(square, to, 0);
        if (!Slide[kind]) break;
        continue;
      }
      if (Color[to] == XSide) AddMove(square, to, MoveCapture);
      break;
    }
}

void TProtocolBoard::GenerateCastlingAndEnPassant() {
  if (Castling.Chess960) {
    // The king taking its own rook, short castling first.
    const int first = Side == Light ? WhiteShort : BlackShort;
    for (int right = first; right <= first + 1; ++right)
      if ((Castle & TCastlingSetup::Bit(right)) && Castling.RookFrom[right] != NoSquare)
        AddMove(Castling.KingFrom[Side], Castling.RookFrom[right], MoveCastle);
  } else if (Side == Dark) {
    if (Castle & BlackKingSide) AddMove(sq::e8, sq::g8, MoveCastle);
    if (Castle & BlackQueenSide) AddMove(sq::e8, sq::c8, MoveCastle);
  } else {
    if (Castle & WhiteKingSide) AddMove(sq::e1, sq::g1, MoveCastle);
    if (Castle & WhiteQueenSide) AddMove(sq::e1, sq::c1, MoveCastle);
  }
  if (EP == NoSquare) return;
  const std::uint8_t epBits = MoveCapture | MoveEnPassant | MovePawn;
  // The capturing pawn stands beside the pushed one, one rank nearer its own side.
  const int fromAFileSide = Side == Dark ? EP - 9 : EP + 7;
  const int fromHFileSide = Side == Dark ? EP - 7 : EP + 9;
  if (!OnAFile(EP) && Color[fromAFileSide] == Side && Piece[fromAFileSide] == Pawn) AddMove(fromAFileSide, EP, epBits);
  if (!OnHFile(EP) && Color[fromHFileSide] == Side && Piece[fromHFileSide] == Pawn) AddMove(fromHFileSide, EP, epBits);
}

void TProtocolBoard::ProtocolGenerate() {
  FirstMove[Ply + 1] = FirstMove[Ply];
  for (int square = 0; square < 64; ++square) {
    if (Color[square] != Side) continue;
    if (Piece[square] == Pawn) GeneratePawnMoves(square);
    else GeneratePieceMoves(square);
  }
  GenerateCastlingAndEnPassant();
}

bool TProtocolBoard::SquareAttacked(const TBoardColor& color, const TBoardNature& piece, int square, TSide attacker) {
  // The first piece on each line decides: the empty-board table says
  // whether a piece of that kind on that square reaches along the line.
  for (int d = 0; d < 8; ++d)
    for (int at = Step(square, Offset[Queen][d]); at != -1; at = Step(at, Offset[Queen][d])) {
      if (color[at] == bsEmpty) continue;
      if (color[at] == attacker && AttackTable(attacker, piece[at], at, square)) return true;
      break;
    }
  for (int d = 0; d < 8; ++d) {
    const int at = Step(square, Offset[Knight][d]);
    if (at != -1 && color[at] == attacker && piece[at] == Knight) return true;
  }
  return false;
}

bool TProtocolBoard::ProtocolAttacked(int square, TSide attacker) const {
  return SquareAttacked(Color, Piece, square, attacker);
}

bool TProtocolBoard::ProtocolInCheck(TSide side) const {
  // A side without a king cannot be in check; positions set up here always
  // have both kings.
  for (int square = 0; square < 64; ++square)
    if (Piece[square] == King && Color[square] == side) return ProtocolAttacked(square, Opponent(side));
  return false;
}

// The squares between the king and its destination and between the rook
// and its destination are empty but for those two men; the king's square,
// the squares it passes and its destination are not attacked. The rook may
// still shield one of those squares; where the king ends is tested once the
// move is made, with the rook moved.
bool TProtocolBoard::Chess960CastlingAllowed(TMove m) const {
  const int right = TCastlingSetup::RightOf(m);
  if (TCastlingSetup::SideOf(right) != Side || !(Castle & TCastlingSetup::Bit(right)) ||
      m.from != Castling.KingFrom[Side] || m.to != Castling.RookFrom[right])
    return false;
  if (Piece[m.from] != King || Piece[m.to] != Rook || Color[m.to] != Side) return false;
  bool allowed = true;
  ForEachSquare(Castling.MustBeEmpty[right], [&](int square) { allowed = allowed && Color[square] == bsEmpty; });
  ForEachSquare(Castling.MustBeSafe[right], [&](int square) { allowed = allowed && !ProtocolAttacked(square, XSide); });
  return allowed;
}

bool TProtocolBoard::CastlingAllowed(TMove m) const {
  if (Castling.Chess960) return Chess960CastlingAllowed(m);
  const TCastling* castling = CastlingTo(m.to);
  if (!castling || Piece[m.from] != King || Color[castling->rookFrom] != Side || Piece[castling->rookFrom] != Rook)
    return false;
  if (ProtocolInCheck(Side)) return false;
  for (int i = 0; i < castling->emptyCount; ++i)
    if (Color[castling->mustBeEmpty[i]] != bsEmpty) return false;
  for (int square : castling->mustBeSafe)
    if (ProtocolAttacked(square, XSide)) return false;
  return true;
}

void TProtocolBoard::MoveCastlingRook(int kingTo, bool undo) {
  const TCastling* castling = CastlingTo(kingTo);
  const int from = undo ? castling->rookTo : castling->rookFrom;
  const int to = undo ? castling->rookFrom : castling->rookTo;
  Color[to] = Color[from];
  Piece[to] = Rook;
  Color[from] = bsEmpty;
  Piece[from] = bpEmpty;
}

void TProtocolBoard::MoveChess960Castlers(TMove m, bool undo) {
  const int right = TCastlingSetup::RightOf(m);
  const int kingFrom = undo ? TCastlingSetup::KingTo(right) : m.from;
  const int rookFrom = undo ? TCastlingSetup::RookTo(right) : m.to;
  const int kingTo = undo ? m.from : TCastlingSetup::KingTo(right);
  const int rookTo = undo ? m.to : TCastlingSetup::RookTo(right);
  const TBoardSide side = Color[kingFrom];
  // Both leave before either lands: the king may land where the rook stood,
  // or the two may swap squares.
  for (int square : {kingFrom, rookFrom}) {
    Color[square] = bsEmpty;
    Piece[square] = bpEmpty;
  }
  Color[kingTo] = Color[rookTo] = side;
  Piece[kingTo] = King;
  Piece[rookTo] = Rook;
}

bool TProtocolBoard::ProtocolMakeMove(TMove m) {
  if (m.from > 63 || m.to > 63 || Color[m.from] != Side) return false;
  const bool castling = m.Has(MoveCastle);
  // A Chess960 castling move is the king taking its own rook.
  const bool kingTakesRook = castling && Castling.Chess960;
  if (Color[m.to] == Side && !kingTakesRook) return false;
  if (castling && !CastlingAllowed(m)) return false;

  // Game histories have no fixed length: make room before writing.
  ReserveHistory(std::size_t(HistoryLength) + 1);
  THist& entry = GameHistory[HistoryLength];
  entry = THist{};
  entry.m = m;
  entry.Capture = kingTakesRook ? bpEmpty : Piece[m.to];
  entry.castle = Castle;
  entry.ep = EP;
  entry.fifty = HalfmoveClock;
  entry.HistHash = hash;
  entry.CaptureSquare = m.to;
  entry.castleOK[Side] = castling;
  const std::string san = MoveToSan(m, Piece[m.from]);
  std::memcpy(entry.Notation, san.data(), std::min<std::size_t>(san.size(), MoveTextCapacity - 1));

  if (castling && !kingTakesRook) MoveCastlingRook(m.to, false);
  ++Ply;
  ++HistoryLength;
  Castle &= Castling.Mask[m.from] & Castling.Mask[m.to];
  EP = m.Has(MovePawn2sq) ? (Side == Light ? m.to + 8 : m.to - 8) : NoSquare;
  HalfmoveClock = m.Has(MoveCapture | MoveCastle | MovePawn) ? 0 : HalfmoveClock + 1;

  if (kingTakesRook) {
    MoveChess960Castlers(m, false);
  } else {
    Color[m.to] = TBoardSide(Side);
    Piece[m.to] = m.Has(MovePromote) ? TBoardPiece(m.promote) : Piece[m.from];
    Color[m.from] = bsEmpty;
    Piece[m.from] = bpEmpty;
  }
  if (m.Has(MoveEnPassant)) {
    const int captured = Side == Light ? m.to + 8 : m.to - 8;
    Color[captured] = bsEmpty;
    Piece[captured] = bpEmpty;
  }
  std::swap(Side, XSide);

  if (ProtocolInCheck(XSide)) {
    ProtocolTakeBack();
    --Ply;
    return false;
  }
  hash = ComputeKey(*this);
  return true;
}

void TProtocolBoard::ProtocolTakeBack() {
  if (HistoryLength == 0) return;
  std::swap(Side, XSide);
  --HistoryLength;
  const THist& entry = GameHistory[HistoryLength];
  const TMove m = entry.m;
  Castle = entry.castle;
  EP = entry.ep;
  HalfmoveClock = entry.fifty;
  hash = entry.HistHash;

  if (m.Has(MoveCastle) && Castling.Chess960) {
    MoveChess960Castlers(m, true);
    return;
  }
  Color[m.from] = TBoardSide(Side);
  Piece[m.from] = m.Has(MovePromote) ? Pawn : Piece[m.to];
  Color[m.to] = entry.Capture == bpEmpty ? bsEmpty : TBoardSide(XSide);
  Piece[m.to] = entry.Capture;
  if (m.Has(MoveCastle)) MoveCastlingRook(m.to, true);
  if (m.Has(MoveEnPassant)) {
    const int captured = Side == Light ? m.to + 8 : m.to - 8;
    Color[captured] = TBoardSide(XSide);
    Piece[captured] = Pawn;
  }
}

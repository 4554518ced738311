// Reading FEN text into a record, and refusing positions the engine cannot
// hold safely: everything is checked before the board is touched.
#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "board/geometry.h"
#include "protocol/convert.h"
#include "protocol/protocol_board.h"

namespace {

constexpr std::string_view PieceLetters = "pnbrqkPNBRQK";

std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    start = text.find_first_not_of(" \t", start);
    if (start == std::string_view::npos) break;
    std::size_t end = text.find_first_of(" \t", start);
    if (end == std::string_view::npos) end = text.size();
    fields.push_back(text.substr(start, end - start));
    start = end;
  }
  return fields;
}

bool Refuse(std::string& error, std::string why) {
  error = "fen refused: " + std::move(why);
  return false;
}

bool ReadPlacement(std::string_view field, TFenInfo& info, std::string& error) {
  info.Position.clear();
  int rank = 0, squaresInRank = 0;
  for (char ch : field) {
    if (ch == '/') {
      if (squaresInRank != 8) return Refuse(error, "a rank of the placement does not hold 8 squares");
      ++rank;
      squaresInRank = 0;
    } else if (ch >= '1' && ch <= '8') {
      info.Position.append(std::size_t(ch - '0'), ' ');
      squaresInRank += ch - '0';
    } else if (PieceLetters.find(ch) != std::string_view::npos) {
      info.Position += ch;
      ++squaresInRank;
    } else {
      return Refuse(error, std::string("unknown character '") + ch + "' in the placement");
    }
    if (squaresInRank > 8) return Refuse(error, "a rank of the placement holds more than 8 squares");
  }
  if (rank != 7) return Refuse(error, "the placement does not have 8 ranks");
  if (squaresInRank != 8) return Refuse(error, "a rank of the placement does not hold 8 squares");
  return true;
}

// Chess960 castling fields: KQkq (the outermost rook on that side of the
// king), file letters of the rooks (upper case White), or both (a letter
// where an inner rook is meant). Which right a letter names depends on the
// placement, so only the characters are checked here.
bool ReadChess960Castling(std::string_view field, TFenInfo& info, std::string& error) {
  info.castle = 0;
  info.CastlingText.clear();
  if (field == "-") return true;
  for (char ch : field) {
    if (std::string_view("KQkqABCDEFGHabcdefgh").find(ch) == std::string_view::npos)
      return Refuse(error, std::string("unknown character '") + ch + "' in the castling field");
  }
  info.CastlingText = std::string(field);
  return true;
}

bool ReadCastling(std::string_view field, TFenInfo& info, std::string& error) {
  if (info.Chess960) return ReadChess960Castling(field, info, error);
  info.castle = 0;
  if (field == "-") return true;
  for (char ch : field) {
    switch (ch) {
      case 'K': info.castle |= 1; break;
      case 'Q': info.castle |= 2; break;
      case 'k': info.castle |= 4; break;
      case 'q': info.castle |= 8; break;
      default: return Refuse(error, std::string("unknown character '") + ch + "' in the castling field");
    }
  }
  return true;
}

bool ReadEnPassant(std::string_view field, TFenInfo& info, std::string& error) {
  info.EP = NoSquare;
  if (field == "-") return true;
  const int square = field.size() == 2 ? ParseSquare(field) : -1;
  if (square < 0) return Refuse(error, "the en-passant field is not a square");
  info.EP = square;
  return true;
}

// Half-moves since the last capture or pawn move. A clock that is missing or
// no number (EPD operations stand there) reads as 0; a huge one is cut to a
// value that already draws by the fifty-move rule.
std::uint32_t ReadHalfMoveClock(std::string_view field) {
  return std::uint32_t(ParseClampedInt(field, 0, MaxFenHalfMoveClock).value_or(0));
}

// Placement, side, then optional castling, en-passant and half-move clock
// fields; the move number and anything after it are not used.
bool ReadFenText(std::string_view text, bool chess960, TFenInfo& info, std::string& error) {
  info.Chess960 = chess960;
  const auto fields = SplitFields(text);
  if (fields.empty()) return Refuse(error, "no placement");
  if (!ReadPlacement(fields[0], info, error)) return false;
  if (fields.size() < 2) return Refuse(error, "no side to move");
  if (fields[1] != "w" && fields[1] != "b") return Refuse(error, "the side to move is not w or b");
  info.side = fields[1] == "w" ? Light : Dark;
  if (fields.size() >= 3 && !ReadCastling(fields[2], info, error)) return false;
  if (fields.size() >= 4 && !ReadEnPassant(fields[3], info, error)) return false;
  info.fifty = fields.size() >= 5 ? ReadHalfMoveClock(fields[4]) : 0;
  return true;
}

struct TPlacedArrays {
  TBoardColor color;
  TBoardNature piece;
};

TPlacedArrays Place(const TFenInfo& info) {
  TPlacedArrays board;
  for (int square = 0; square < 64; ++square) {
    const char ch = info.Position[square];
    board.color[square] = TProtocolBoard::ColorOfPiece(ch);
    board.piece[square] = TProtocolBoard::NatureOfPiece(ch);
  }
  return board;
}

const char* SideName(TSide side) { return side == Light ? "white" : "black"; }

// Material no game can reach: more than eight pawns, or more pieces beyond
// the original set (one queen, two each of rooks, bishops and knights) than
// the side's missing pawns could have promoted to.
bool CheckPromotions(const int (&count)[6], TSide side, std::string& error) {
  if (count[Pawn] > 8) return Refuse(error, std::string(SideName(side)) + " has more than 8 pawns");
  const auto beyond = [&](TBoardPiece kind, int original) { return std::max(0, count[kind] - original); };
  const int promoted = beyond(Queen, 1) + beyond(Rook, 2) + beyond(Bishop, 2) + beyond(Knight, 2);
  const int missingPawns = 8 - count[Pawn];
  if (promoted > missingPawns)
    return Refuse(error, std::string(SideName(side)) + " has more pieces beyond the original set (" +
                             std::to_string(promoted) + ") than missing pawns (" + std::to_string(missingPawns) +
                             ") could have become");
  return true;
}

// Within these rules a side has at most sixteen men (the king, seven pieces,
// eight pawns or what they became), as many as its piece list holds.
static_assert(1 + 7 + 8 == PieceListSize);

bool CheckMaterial(const TPlacedArrays& board, std::string& error) {
  int count[2][6] = {};
  for (int square = 0; square < 64; ++square) {
    const TBoardSide side = board.color[square];
    if (side == bsEmpty) continue;
    ++count[side][board.piece[square]];
    if (board.piece[square] == Pawn && (square < 8 || square >= 56))
      return Refuse(error, "a pawn stands on the first or last rank");
  }
  if (count[Light][King] != 1 || count[Dark][King] != 1) return Refuse(error, "each side needs exactly one king");
  return CheckPromotions(count[Light], Light, error) && CheckPromotions(count[Dark], Dark, error);
}

int KingSquare(const TPlacedArrays& board, TSide side) {
  for (int square = 0; square < 64; ++square)
    if (board.piece[square] == King && board.color[square] == side) return square;
  return NoSquare;
}

bool InCheck(const TPlacedArrays& board, TSide side) {
  return TProtocolBoard::SquareAttacked(board.color, board.piece, KingSquare(board, side), Opponent(side));
}

// The men of the other side that give check to the side to move: each is
// tried alone, its fellows turned into blockers of the king's colour.
std::vector<TBoardPiece> Checkers(const TPlacedArrays& board, TSide side) {
  const int king = KingSquare(board, side);
  const TSide enemy = Opponent(side);
  std::vector<TBoardPiece> checkers;
  for (int square = 0; square < 64; ++square) {
    if (board.color[square] != enemy) continue;
    TBoardColor alone = board.color;
    for (TBoardSide& color : alone)
      if (color == enemy) color = TBoardSide(side);
    alone[square] = TBoardSide(enemy);
    if (TProtocolBoard::SquareAttacked(alone, board.piece, king, enemy)) checkers.push_back(board.piece[square]);
  }
  return checkers;
}

bool IsLinePiece(TBoardPiece kind) { return kind == Bishop || kind == Rook || kind == Queen; }

// No move gives check with more than two men, and a double check always
// uncovers a bishop, rook or queen. The search's check analysis relies on
// it (it looks for one checking knight only).
bool CheckPossibleChecks(const TPlacedArrays& board, TSide side, std::string& error) {
  const std::vector<TBoardPiece> checkers = Checkers(board, side);
  if (checkers.size() > 2)
    return Refuse(error, "the side to move is in check by " + std::to_string(checkers.size()) + " men");
  if (checkers.size() == 2 && std::none_of(checkers.begin(), checkers.end(), IsLinePiece))
    return Refuse(error, "the side to move is in a double check without a bishop, rook or queen");
  return true;
}

bool Holds(const TPlacedArrays& board, int square, TBoardSide side, TBoardPiece kind) {
  return board.color[square] == side && board.piece[square] == kind;
}

// A right needs its king and rook at home; without them castling would
// conjure a rook out of nothing.
std::int32_t PlausibleCastling(const TPlacedArrays& board, std::int32_t castle) {
  struct TRight {
    std::int32_t bit;
    TBoardSide side;
    int king, rook;
  };
  constexpr std::array<TRight, 4> rights = {{{1, Light, 60, 63}, {2, Light, 60, 56}, {4, Dark, 4, 7}, {8, Dark, 4, 0}}};
  std::int32_t kept = 0;
  for (const auto& right : rights)
    if ((castle & right.bit) && Holds(board, right.king, right.side, King) &&
        Holds(board, right.rook, right.side, Rook))
      kept |= right.bit;
  return kept;
}

// An en-passant square stands behind a pawn of the side that just moved, on
// the third rank (White pushed) or the sixth (Black pushed), with the square
// and the pawn's origin empty.
std::int32_t PlausibleEnPassant(const TPlacedArrays& board, std::int32_t ep, TSide side) {
  if (ep == NoSquare) return NoSquare;
  const int row = ep / 8;
  const bool whitePushed = row == 5 && side == Dark;
  const bool blackPushed = row == 2 && side == Light;
  if (!whitePushed && !blackPushed) return NoSquare;
  const int pawn = whitePushed ? ep - 8 : ep + 8;
  const int origin = whitePushed ? ep + 8 : ep - 8;
  const TBoardSide pusher = whitePushed ? Light : Dark;
  if (!Holds(board, pawn, pusher, Pawn) || board.color[ep] != bsEmpty || board.color[origin] != bsEmpty)
    return NoSquare;
  return ep;
}

// The rook a Chess960 castling letter names: K and Q (k and q) the
// outermost rook on that side of the king, a file letter the rook on that
// file. NoSquare when there is none.
int NamedRook(const TPlacedArrays& board, char letter, TSide side, int king) {
  const int backRank = side == Light ? 56 : 0;
  const char lower = char(std::tolower(static_cast<unsigned char>(letter)));
  if (lower != 'k' && lower != 'q') {
    const int rook = backRank + (lower - 'a');
    return Holds(board, rook, TBoardSide(side), Rook) ? rook : NoSquare;
  }
  const int step = lower == 'k' ? -1 : 1;  // from the outermost file in
  for (int rook = lower == 'k' ? backRank + 7 : backRank; rook != king; rook += step)
    if (Holds(board, rook, TBoardSide(side), Rook)) return rook;
  return NoSquare;
}

// Each right of a Chess960 castling field, with its rook. A right whose
// king is not on its back rank, or whose rook is not there, is refused, as
// are two rooks named for one right.
bool ResolveChess960Castling(const TPlacedArrays& board, TFenInfo& info, std::string& error) {
  info.castle = 0;
  info.RookFrom.fill(NoSquare);
  for (char letter : info.CastlingText) {
    const TSide side = std::isupper(static_cast<unsigned char>(letter)) ? Light : Dark;
    const int king = KingSquare(board, side);
    const char rank = side == Light ? '1' : '8';
    const std::string right = std::string("castling right '") + letter + "': ";
    if (king / 8 != (side == Light ? 7 : 0))
      return Refuse(error, right + "the " + SideName(side) + " king is not on rank " + rank);
    const int rook = NamedRook(board, letter, side, king);
    const char lower = char(std::tolower(static_cast<unsigned char>(letter)));
    if (rook == NoSquare && (lower == 'k' || lower == 'q'))
      return Refuse(error, right + "no " + SideName(side) + " rook on rank " + rank + " between the king and the " +
                               (lower == 'k' ? "h" : "a") + "-file");
    if (rook == NoSquare) return Refuse(error, right + "no " + SideName(side) + " rook on " + lower + rank);
    const int index = (side == Light ? WhiteShort : BlackShort) + (rook < king ? 1 : 0);
    if (info.RookFrom[index] != NoSquare && info.RookFrom[index] != rook)
      return Refuse(error, right + "a second " + SideName(side) + " rook for castling on the " +
                               (rook < king ? "a" : "h") + "-file side");
    info.RookFrom[index] = rook;
    info.castle |= std::int32_t(TCastlingSetup::Bit(index));
  }
  return true;
}

bool CheckPosition(TFenInfo& info, std::string& error) {
  const TPlacedArrays board = Place(info);
  if (!CheckMaterial(board, error)) return false;
  if (InCheck(board, Opponent(info.side))) return Refuse(error, "the side not to move is in check");
  if (!CheckPossibleChecks(board, info.side, error)) return false;
  // Chess960 refuses a misplaced right by name; standard chess keeps only
  // the rights whose men are at home, silently.
  if (info.Chess960) {
    if (!ResolveChess960Castling(board, info, error)) return false;
  } else {
    info.castle = PlausibleCastling(board, info.castle);
  }
  info.EP = PlausibleEnPassant(board, info.EP, info.side);
  return true;
}

}  // namespace

const std::string_view StartPlacement = "rnbqkbnrpppppppp                                PPPPPPPPRNBQKBNR";

TBoardPiece TProtocolBoard::NatureOfPiece(char ch) {
  if (ch >= 'A' && ch <= 'Z') ch = char(ch - 'A' + 'a');
  switch (ch) {
    case 'p': return Pawn;
    case 'n': return Knight;
    case 'b': return Bishop;
    case 'r': return Rook;
    case 'q': return Queen;
    case 'k': return King;
    default: return bpEmpty;
  }
}

TBoardSide TProtocolBoard::ColorOfPiece(char ch) {
  if (ch >= 'a' && ch <= 'z') return Dark;
  if (ch >= 'A' && ch <= 'Z') return Light;
  return bsEmpty;
}

bool TProtocolBoard::LoadFen(std::string_view fen, std::string& error, bool chess960) {
  TFenInfo info;
  if (!ReadFenText(fen, chess960, info, error) || !CheckPosition(info, error)) return false;
  PlaceFenRecord(info);
  return true;
}

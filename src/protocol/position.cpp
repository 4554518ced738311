// The "position" command: the board is rebuilt from the start position or a
// FEN, then the interface's moves are played one by one.
#include <algorithm>
#include <cctype>
#include <new>
#include <string>
#include <vector>

#include "board/geometry.h"
#include "board/keys.h"
#include "board/square_names.h"
#include "platform/console.h"
#include "protocol/protocol_board.h"
#include "protocol/text.h"
#include "search/book.h"

namespace {

// Position of the first occurrence of `word` ignoring letter case, or npos.
std::size_t FindNoCase(std::string_view text, std::string_view word) {
  const auto same = [](char a, char b) { return std::tolower((unsigned char)a) == std::tolower((unsigned char)b); };
  const auto found = std::search(text.begin(), text.end(), word.begin(), word.end(), same);
  return found == text.end() ? std::string_view::npos : std::size_t(found - text.begin());
}

// The characters from index `from` to before index `to`; empty when out of range.
std::string_view Slice(std::string_view text, std::size_t from, std::size_t to = std::string_view::npos) {
  to = std::min(to, text.size());
  return from < to ? text.substr(from, to - from) : std::string_view();
}

// "fen X moves ..." -> "X": the text after "fen " up to the blank before
// "moves"; without moves, the rest of the text.
std::string_view FenOfCommand(std::string_view args, std::size_t moves) {
  if (moves == std::string_view::npos) return Slice(args, 4);
  return moves >= 1 ? Slice(args, 4, moves - 1) : std::string_view();
}

// Which move of the list was refused and where the position stops.
std::string RefusedMoveText(const std::vector<std::string_view>& moves, std::size_t refused) {
  std::string text = "move " + std::to_string(refused + 1) + " of " + std::to_string(moves.size()) + ", '" +
                     std::string(moves[refused]) + "', is not legal here: the position stops ";
  if (refused == 0) return text + "before it, at the position given";
  return text + "after move " + std::to_string(refused) + ", " + std::string(moves[refused - 1]);
}

}  // namespace

bool TProtocolBoard::IsNewFen(std::string_view args) {
  if (args.substr(0, 3) != "fen") return false;
  const std::size_t moves = FindNoCase(args, "moves");
  std::string_view fen = FenOfCommand(args, moves);
  if (moves == std::string_view::npos) fen = Trim(fen);
  const bool isNew = fen != PreviousFen;
  PreviousFen = std::string(fen);
  return isNew;
}

void TProtocolBoard::SetupPosition(std::string_view args) {
  const std::size_t moves = FindNoCase(args, "moves");
  if (FindNoCase(args, "startpos") == std::string_view::npos) {
    // A refused FEN keeps the previous position; its moves belong to the
    // refused one and are not played.
    if (LoadEpd(FenOfCommand(args, moves)) && moves != std::string_view::npos) PlayMoves(Slice(args, moves + 6));
    return;
  }
  SetStartPosition();
  if (args != "startpos" && moves != std::string_view::npos) PlayMoves(Slice(args, moves + 6));
}

void TProtocolBoard::SetStartPosition() {
  std::copy(InitColor.begin(), InitColor.end(), Color.begin());
  std::copy(InitPiece.begin(), InitPiece.end(), Piece.begin());
  Side = Light;
  XSide = Dark;
  Castle = 15;
  EP = NoSquare;
  HalfmoveClock = 0;
  Ply = 0;
  HistoryLength = 0;
  SetCastlingSetup(chess960Rules_, {sq::h1, sq::a1, sq::h8, sq::a8});
  AfterSetUp();
  ResetTimeControl();
  // The book holds standard chess only: under Chess960 rules it stays closed,
  // even for the standard start position.
  if (Book && chess960Rules_) Book->CloseBook();
  else if (Book) Book->OpenBook();
}

bool TProtocolBoard::LoadEpd(std::string_view text, bool chess960) {
  std::string error;
  if (LoadFen(text, error, chess960)) return true;
  WriteInfoString(error);
  return false;
}

void TProtocolBoard::PlaceFenRecord(const TFenInfo& info) {
  for (int square = 0; square < 64; ++square) {
    const char ch = square < int(info.Position.size()) ? info.Position[square] : ' ';
    Color[square] = ColorOfPiece(ch);
    Piece[square] = NatureOfPiece(ch);
  }
  Side = info.side;
  XSide = Opponent(info.side);
  Castle = std::uint32_t(info.castle) & 15;
  EP = info.EP;
  HalfmoveClock = info.fifty;
  Ply = 0;
  HistoryLength = 0;
  SetCastlingSetup(info.Chess960, info.RookFrom);
  AfterSetUp();
  // Only the placement counts: the start placement with Black to move
  // keeps the book open. The book is standard chess only.
  if (Book && (info.Chess960 || info.Position != StartPlacement)) Book->CloseBook();
}

int TProtocolBoard::KingSquareOf(TSide side) const {
  for (int square = 0; square < 64; ++square)
    if (Piece[square] == King && Color[square] == side) return square;
  return NoSquare;
}

void TProtocolBoard::SetCastlingSetup(bool chess960, const std::array<int, 4>& rookFrom) {
  if (!chess960) {
    Castling.SetStandard();
    return;
  }
  std::array<int, 4> held = rookFrom;
  for (int right = WhiteShort; right <= BlackLong; ++right) {
    if (!(Castle & TCastlingSetup::Bit(right))) held[right] = NoSquare;
    if (held[right] == NoSquare) Castle &= ~TCastlingSetup::Bit(right);
  }
  // A board without kings (nothing set up yet) holds no rights.
  const int whiteKing = KingSquareOf(Light), blackKing = KingSquareOf(Dark);
  Castling.SetChess960(whiteKing == NoSquare ? sq::e1 : whiteKing, blackKing == NoSquare ? sq::e8 : blackKing, held);
}

void TProtocolBoard::SetChess960Rules(bool on) {
  if (on == chess960Rules_) return;
  chess960Rules_ = on;
  // The position on the board goes on under the new rules, with the rights
  // the new rules can hold: standard chess only castles from the corners
  // with the king on the e-file. The game's earlier positions are keyed
  // anew, so that repetitions of them are still found.
  const TCastlingSetup before = Castling;
  const std::array<int, 4> rookFrom{before.RookFrom[0], before.RookFrom[1], before.RookFrom[2], before.RookFrom[3]};
  if (!on) {
    const TCastlingSetup standard;
    for (int right = WhiteShort; right <= BlackLong; ++right)
      if (rookFrom[right] != standard.RookFrom[right] ||
          KingSquareOf(TCastlingSetup::SideOf(right)) != standard.KingFrom[TCastlingSetup::SideOf(right)])
        Castle &= ~TCastlingSetup::Bit(right);
  }
  SetCastlingSetup(on, rookFrom);
  for (std::uint32_t i = 0; i < HistoryLength; ++i) {
    const std::uint32_t rights = GameHistory[i].castle & AllCastling;
    GameHistory[i].HistHash ^= before.ExtraKeys[rights] ^ Castling.ExtraKeys[rights];
  }
  hash = ComputeKey(*this);
  if (Book && on) Book->CloseBook();
  Ply = 0;
  ProtocolGenerate();
}

void TProtocolBoard::AfterSetUp() {
  hash = ComputeKey(*this);
  ClearStacks();
  ProtocolGenerate();
}

void TProtocolBoard::PlayMoves(std::string_view list) {
  std::vector<std::string_view> moves;
  for (std::size_t start = 0; start < list.size();) {
    const std::size_t end = std::min(list.find(' ', start), list.size());
    moves.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  for (std::size_t i = 0; i < moves.size(); ++i) {
    TMove parsed;
    const int index = ParseCoordMove(moves[i], parsed);
    try {
      if (index < 0 || !ProtocolMakeMove(MoveStack[index].m)) {
        // The moves after a refused one belong to another position: playing
        // them would set up a game the interface never meant.
        WriteInfoString("Illegal Move !!");
        WriteInfoString(RefusedMoveText(moves, i));
        return;
      }
    } catch (const std::bad_alloc&) {
      WriteInfoString("not enough memory for the game's moves");
      return;
    }
    Ply = 0;
    ProtocolGenerate();
  }
}

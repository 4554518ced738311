// The "position" command: the board is rebuilt from the start position or a
// FEN, then the interface's moves are played one by one.
#include <algorithm>
#include <cctype>
#include <new>
#include <string>
#include <vector>

#include "board/geometry.h"
#include "board/keys.h"
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
  AfterSetUp();
  ResetTimeControl();
  if (Book) Book->OpenBook();
}

bool TProtocolBoard::LoadEpd(std::string_view text) {
  std::string error;
  if (LoadFen(text, error)) return true;
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
  AfterSetUp();
  // Only the placement counts: the start placement with Black to move
  // keeps the book open.
  if (Book && info.Position != StartPlacement) Book->CloseBook();
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

// The protocol board's move text: reading coordinate text against its
// moves, the ponder-move test and algebraic text of played moves.
#include "board/geometry.h"
#include "protocol/protocol_board.h"

namespace {

bool IsFileLetter(char ch) { return ch >= 'a' && ch <= 'h'; }
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Offset, from the Queen promotion, of the promotion a letter asks for. The
// generator lists a pawn's promotions together as Queen, Rook, Bishop, Knight.
int PromotionOffset(char letter) {
  switch (letter) {
    case 'r':
    case 'R': return 1;
    case 'b':
    case 'B': return 2;
    case 'n':
    case 'N': return 3;
    default: return 0;
  }
}

}  // namespace

int TProtocolBoard::ParseCoordMove(std::string_view text, TMove& m) const {
  if (text.size() < 4 || !IsFileLetter(text[0]) || !IsDigit(text[1]) || !IsFileLetter(text[2]) || !IsDigit(text[3]))
    return -1;
  // Digits 0 and 9 give squares off the board, which no move has.
  const int from = (text[0] - 'a') + 8 * (8 - (text[1] - '0'));
  const int to = (text[2] - 'a') + 8 * (8 - (text[3] - '0'));
  for (int i = 0; i < FirstMove[1]; ++i) {
    const TMove candidate = MoveStack[i].m;
    if (candidate.from != from || candidate.to != to) continue;
    m.from = std::uint8_t(from);
    m.to = std::uint8_t(to);
    if (!candidate.Has(MovePromote)) return i;
    return i + PromotionOffset(text.size() > 4 ? text[4] : ' ');
  }
  return -1;
}

bool TProtocolBoard::ExpectedReplyIsLegal(TMove best, TMove expected, TMove* reply) {
  // Play the generated move that matches the search's move, so that a move
  // from elsewhere can never damage the board.
  Ply = 0;
  ProtocolGenerate();
  int found = -1;
  for (int i = 0; i < FirstMove[1] && found < 0; ++i) {
    const TMove candidate = MoveStack[i].m;
    if (candidate.from == best.from && candidate.to == best.to && candidate.promote == best.promote) found = i;
  }
  if (found < 0 || !ProtocolMakeMove(MoveStack[found].m)) {
    Ply = 0;
    return false;
  }
  Ply = 0;
  ProtocolGenerate();
  TMove candidate{};
  bool matched = false;
  for (int i = 0; i < FirstMove[1] && !matched; ++i) {
    candidate = MoveStack[i].m;
    matched = candidate.from == expected.from && candidate.to == expected.to && candidate.promote == expected.promote;
  }
  // The list holds pseudo-legal moves: a reply that leaves its own king in
  // check would be an illegal ponder move, so it is played to be sure.
  const bool ok = matched && ProtocolMakeMove(candidate);
  if (ok) ProtocolTakeBack();
  if (ok && reply) *reply = candidate;
  Ply = 0;
  ProtocolTakeBack();
  // Leave the list of the position's own moves in place again.
  ProtocolGenerate();
  return ok;
}

std::string TProtocolBoard::MoveToSan(TMove m, TBoardPiece kind) const {
  if (m.from > 63 || m.to > 63 || kind > King) return {};
  const std::string to(SquareName[m.to]);
  const char originFile = SquareName[m.from][0];
  // By the right, not the destination: a Chess960 castling move goes to its rook.
  if (m.Has(MoveCastle)) return TCastlingSetup::RightOf(m) % 2 == 0 ? "O-O" : "O-O-O";
  if (m.Has(MovePromote)) {
    constexpr const char* suffix[] = {"", "=N", "=B", "=R", "=Q", ""};
    const std::string promotion = m.promote < 6 ? suffix[m.promote] : "";
    return (m.Has(MoveCapture) ? std::string(1, originFile) : std::string()) + to + promotion;
  }
  if (kind == Pawn) return m.Has(MoveCapture) ? originFile + to : to;

  // Another piece of the same kind that can reach the same square: name this
  // one's file, or its rank when both share the file.
  std::string disambiguation;
  for (int i = FirstMove[Ply]; i < FirstMove[Ply + 1]; ++i) {
    const TMove other = MoveStack[i].m;
    if (other.to != m.to || other.from == m.from || Piece[other.from] != kind) continue;
    disambiguation =
        FileOf[other.from] != FileOf[m.from] ? std::string(1, originFile) : std::string(1, SquareName[m.from][1]);
    break;
  }
  return PieceLetter[kind] + disambiguation + to;
}

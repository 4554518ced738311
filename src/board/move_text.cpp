#include "board/move_text.h"

namespace {

// Square text as file letter and rank number; any byte value is accepted,
// so that a damaged record still prints something.
std::string SquareText(int square) {
  std::string text = std::to_string(8 - square / 8);
  text.insert(text.begin(), char('a' + square % 8));
  return text;
}

char PromotionLetter(TPiece promote) {
  switch (promote) {
    case Knight: return 'n';
    case Bishop: return 'b';
    case Rook: return 'r';
    default: return 'q';
  }
}

}  // namespace

std::string MoveText(TMove m) {
  std::string text = SquareText(m.from) + SquareText(m.to);
  if (m.Has(MovePromote)) text += PromotionLetter(m.promote);
  return text;
}

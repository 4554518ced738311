#include "tb_moves.h"

namespace egtb {

namespace {

struct Step {
  int file;
  int rank;
};

constexpr Step KingSteps[8] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
constexpr Step KnightSteps[8] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
constexpr Step StraightSteps[4] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
constexpr Step DiagonalSteps[4] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};

constexpr Piece Promotions[4] = {Piece::Queen, Piece::Rook, Piece::Bishop, Piece::Knight};

// The square one step away, or -1 off the board.
Square shifted(Square s, Step step) {
  const int file = fileOf(s) + step.file;
  const int rank = rankOf(s) + step.rank;
  if (file < 0 || file > 7 || rank < 0 || rank > 7) return -1;
  return rank * 8 + file;
}

using SquareList = FixedList<Square>;

void addRays(Square from, const Step* steps, int stepCount, Square king1, Square king2, SquareList& out) {
  for (int i = 0; i < stepCount; ++i)
    for (Square s = shifted(from, steps[i]); s >= 0 && s != king1 && s != king2; s = shifted(s, steps[i])) out.add(s);
}

// Squares a knight, bishop, rook or queen can go to without capturing. White's
// piece never captures (Black has only its king), and the same squares serve
// for taking a move back, since these pieces move alike in both directions.
void pieceTargets(Piece kind, Square from, Square whiteKing, Square blackKing, SquareList& out) {
  switch (kind) {
    case Piece::Knight:
      for (Step step : KnightSteps) {
        const Square s = shifted(from, step);
        if (s >= 0 && s != whiteKing && s != blackKing) out.add(s);
      }
      break;
    case Piece::Bishop: addRays(from, DiagonalSteps, 4, whiteKing, blackKing, out); break;
    case Piece::Rook: addRays(from, StraightSteps, 4, whiteKing, blackKing, out); break;
    case Piece::Queen:
      addRays(from, StraightSteps, 4, whiteKing, blackKing, out);
      addRays(from, DiagonalSteps, 4, whiteKing, blackKing, out);
      break;
    case Piece::Pawn: break;  // pawns go one way only: handled by the callers
  }
}

bool isEmpty(const Position& p, Square s) { return s != p.whiteKing && s != p.blackKing && s != p.piece; }

void addQuiet(MoveList& list, const Position& after) { list.add(Move{MoveKind::Quiet, Piece::Pawn, after}); }

void whitePawnMoves(const Position& p, MoveList& list) {
  const Square push = p.piece + 8;
  if (!isEmpty(p, push)) return;
  if (rankOf(push) == 7) {
    for (Piece promotion : Promotions)
      list.add(Move{MoveKind::Promotion, promotion, Position{Black, p.whiteKing, p.blackKing, push}});
    return;
  }
  addQuiet(list, Position{Black, p.whiteKing, p.blackKing, push});
  const Square doublePush = push + 8;
  if (rankOf(p.piece) == 1 && isEmpty(p, doublePush))
    addQuiet(list, Position{Black, p.whiteKing, p.blackKing, doublePush});
}

void whiteMoves(Piece kind, const Position& p, MoveList& list) {
  for (Step step : KingSteps) {
    const Square to = shifted(p.whiteKing, step);
    if (to >= 0 && to != p.piece && !kingsTouch(to, p.blackKing))
      addQuiet(list, Position{Black, to, p.blackKing, p.piece});
  }
  if (kind == Piece::Pawn) {
    whitePawnMoves(p, list);
    return;
  }
  SquareList targets;
  pieceTargets(kind, p.piece, p.whiteKing, p.blackKing, targets);
  for (Square to : targets) addQuiet(list, Position{Black, p.whiteKing, p.blackKing, to});
}

void blackMoves(Piece kind, const Position& p, MoveList& list) {
  for (Step step : KingSteps) {
    const Square to = shifted(p.blackKing, step);
    if (to < 0 || kingsTouch(to, p.whiteKing)) continue;
    if (to == p.piece)  // the piece is unguarded: taking it leaves bare kings
      list.add(Move{MoveKind::TakesLastPiece, Piece::Pawn, Position{White, p.whiteKing, to, to}});
    else if (!attacks(kind, p.piece, to, p.whiteKing)) addQuiet(list, Position{White, p.whiteKing, to, p.piece});
  }
}

void addIfLegal(Piece kind, const Position& before, PositionList& list) {
  if (isLegal(kind, before)) list.add(before);
}

void whitePredecessors(Piece kind, const Position& p, PositionList& list) {
  for (Step step : KingSteps) {
    const Square from = shifted(p.whiteKing, step);
    if (from >= 0 && isEmpty(p, from)) addIfLegal(kind, Position{White, from, p.blackKing, p.piece}, list);
  }
  if (kind == Piece::Pawn) {
    const Square back = p.piece - 8;
    if (rankOf(back) < 1 || !isEmpty(p, back)) return;  // no pawn comes from the first rank
    addIfLegal(kind, Position{White, p.whiteKing, p.blackKing, back}, list);
    if (rankOf(p.piece) == 3 && isEmpty(p, back - 8))
      addIfLegal(kind, Position{White, p.whiteKing, p.blackKing, back - 8}, list);
    return;
  }
  SquareList origins;
  pieceTargets(kind, p.piece, p.whiteKing, p.blackKing, origins);
  for (Square from : origins) addIfLegal(kind, Position{White, p.whiteKing, p.blackKing, from}, list);
}

void blackPredecessors(Piece kind, const Position& p, PositionList& list) {
  for (Step step : KingSteps) {
    const Square from = shifted(p.blackKing, step);
    if (from >= 0 && isEmpty(p, from)) addIfLegal(kind, Position{Black, p.whiteKing, from, p.piece}, list);
  }
}

}  // namespace

void generateMoves(Piece kind, const Position& p, MoveList& list) {
  if (p.toMove == White) whiteMoves(kind, p, list);
  else blackMoves(kind, p, list);
}

void generatePredecessors(Piece kind, const Position& p, PositionList& list) {
  // The side that just moved is the one not to move now.
  if (p.toMove == Black) whitePredecessors(kind, p, list);
  else blackPredecessors(kind, p, list);
}

}  // namespace egtb

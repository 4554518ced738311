#include "tb_solver.h"

#include <utility>

#include "tb_moves.h"

namespace egtb {

namespace {

// Legal positions not decided yet. At the end they are the draws: neither side
// can force a mate, and no move leads to a decided result.
constexpr int16_t Unknown = INT16_MIN;

// Positions waiting to be decided, grouped by distance to mate in plies: an
// odd distance is a win for the side to move, an even one a loss. Working
// outward from the mates, the first time a position is reached is its
// shortest win, and the last of its moves to be refuted is its longest loss.
class Frontier {
 public:
  void add(uint32_t index, int plies) {
    if (size_t(plies) >= buckets_.size()) buckets_.resize(plies + 1);
    buckets_[plies].push_back(index);
  }
  size_t distances() const { return buckets_.size(); }
  // Empties the bucket at `plies` and returns its positions.
  std::vector<uint32_t> take(size_t plies) { return std::move(buckets_[plies]); }

 private:
  std::vector<std::vector<uint32_t>> buckets_;
};

// One ending being solved.
struct Solving {
  Solving(Piece kind, std::vector<int16_t>& scores) : kind(kind), scores(scores) {}

  Piece kind;
  std::vector<int16_t>& scores;
  // Moves of each position not yet known to lose; when none is left, every
  // move loses. Moves that leave the table (captures, promotions) are counted
  // too and never refuted: they draw or win.
  std::vector<uint8_t> movesLeft = std::vector<uint8_t>(PositionsPerTable, 0);
  Frontier frontier;
};

// Marks the legal positions, settles stalemates, and queues the checkmates
// and the wins by promotion (valued from the endings already solved).
bool seed(const Tablebase& solved, Solving& s, std::string& error) {
  MoveList moves;
  for (uint32_t i = 0; i < PositionsPerTable; ++i) {
    const Position p = positionAt(i);
    if (!isLegal(s.kind, p)) continue;
    s.scores[i] = Unknown;
    moves.count = 0;
    generateMoves(s.kind, p, moves);
    if (moves.count == 0) {
      if (p.toMove == Black && blackInCheck(s.kind, p)) s.frontier.add(i, 0);
      else s.scores[i] = 0;  // stalemate
      continue;
    }
    s.movesLeft[i] = uint8_t(moves.count);
    for (const Move& move : moves) {
      if (move.kind != MoveKind::Promotion) continue;
      const int16_t value = scoreThroughMove(solved.score(move.promotion, move.after));
      if (value > 0) s.frontier.add(i, MateScore - value);
      if (value < 0) {  // the promoting side owns the only piece: it cannot lose
        error = "tablebase solver: a promotion loses, which these endings do not allow";
        return false;
      }
    }
  }
  return true;
}

// Walks back from the decided positions, nearest mates first.
void walkBack(Solving& s) {
  PositionList earlier;
  for (size_t plies = 0; plies < s.frontier.distances(); ++plies) {
    const bool won = plies % 2 == 1;
    for (uint32_t i : s.frontier.take(plies)) {
      if (s.scores[i] != Unknown) continue;  // already decided at a shorter distance
      s.scores[i] = won ? winIn(int(plies)) : lossIn(int(plies));
      earlier.count = 0;
      generatePredecessors(s.kind, positionAt(i), earlier);
      for (const Position& before : earlier) {
        const uint32_t j = indexOf(before);
        if (s.scores[j] != Unknown) continue;
        // Moving into a lost position wins; a position whose every move leads
        // into a won one is lost.
        if (!won || --s.movesLeft[j] == 0) s.frontier.add(j, int(plies) + 1);
      }
    }
  }
}

}  // namespace

bool Tablebase::build(std::string& error) {
  // Promotions lead into the piece endings, so those come first.
  for (Piece kind : {Piece::Knight, Piece::Bishop, Piece::Rook, Piece::Queen, Piece::Pawn})
    if (!solve(kind, error)) return false;
  return true;
}

bool Tablebase::solve(Piece kind, std::string& error) {
  std::vector<int16_t>& scores = tables_[int(kind)];
  scores.assign(PositionsPerTable, IllegalScore);
  Solving solving(kind, scores);
  if (!seed(*this, solving, error)) return false;
  walkBack(solving);
  for (int16_t& s : scores)
    if (s == Unknown) s = 0;
  return true;
}

}  // namespace egtb

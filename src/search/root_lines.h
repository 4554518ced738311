// The best lines of one iteration when the interface asks for several
// (MultiPV): the root moves with exact scores, best first. A root move
// enters only by beating the worst line held once all are held, so the
// root searches every move against that score instead of the best one.
#pragma once

#include <array>
#include <cstdint>

#include "search/root_line.h"

constexpr int MaxMultiPv = 64;

class TRootLines {
 public:
  // A new iteration that wants `wanted` lines (1..MaxMultiPv).
  void Start(int wanted) {
    wanted_ = wanted < 1 ? 1 : (wanted > MaxMultiPv ? MaxMultiPv : wanted);
    count_ = 0;
  }
  int Wanted() const { return wanted_; }
  bool Full() const { return count_ == wanted_; }
  int Count() const { return count_; }
  const TRootLine& operator[](int i) const { return lines_[i]; }

  // The score a root move must beat to be worth an exact score: `alpha`
  // until every wanted line is held, then the worst line's score.
  std::int32_t Bar(std::int32_t alpha) const {
    return count_ < wanted_ || lines_[count_ - 1].score < alpha ? alpha : lines_[count_ - 1].score;
  }

  // `line` scored `score` exactly at iteration `depth`. It goes behind the
  // lines that score as much, and the worst line falls out when all are held.
  void Add(const TLine& line, std::int32_t score, std::uint32_t depth) {
    int at = count_ < wanted_ ? count_ : wanted_ - 1;
    if (count_ == wanted_ && score <= lines_[at].score) return;
    while (at > 0 && lines_[at - 1].score < score) {
      lines_[at] = lines_[at - 1];
      --at;
    }
    lines_[at] = TRootLine{line, score, depth};
    if (count_ < wanted_) ++count_;
  }

  // Holds its lines in order, best first, each beginning with a move.
  bool root_lines_is_ok() const {
    for (int i = 0; i < count_; ++i)
      if (lines_[i].line.length == 0 || (i > 0 && lines_[i - 1].score < lines_[i].score)) return false;
    return count_ <= wanted_;
  }

 private:
  std::array<TRootLine, MaxMultiPv> lines_{};
  int count_ = 0;
  int wanted_ = 1;
};

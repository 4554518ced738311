#include "board_agreement.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "board/keys.h"
#include "board/move_text.h"
#include "board/search_board.h"

namespace {

// Moves are compared by origin, destination and promotion: the two
// generators mark the rest of a move differently.
std::uint32_t Identity(TMove m) { return m.from | m.to << 8 | std::uint32_t(m.promote) << 16; }

std::string ListText(const std::vector<TMove>& moves) {
  std::string text;
  for (TMove m : moves) text.append(" ").append(MoveText(m));
  return text;
}

std::vector<TMove> Sorted(std::vector<TMove> moves) {
  std::sort(moves.begin(), moves.end(), [](TMove a, TMove b) { return Identity(a) < Identity(b); });
  return moves;
}

bool SameMoves(const std::vector<TMove>& a, const std::vector<TMove>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](TMove x, TMove y) { return Identity(x) == Identity(y); });
}

// The protocol board's legal moves at its current ply (it is left as it was).
std::vector<TMove> ProtocolLegalMoves(TProtocolBoard& board) {
  const std::uint32_t ply = board.Ply;
  board.ProtocolGenerate();
  const std::vector<TGen> pseudo(board.MoveStack.begin() + board.FirstMove[ply],
                                 board.MoveStack.begin() + board.FirstMove[ply + 1]);
  std::vector<TMove> legal;
  for (const TGen& candidate : pseudo) {
    if (!board.ProtocolMakeMove(candidate.m)) continue;
    legal.push_back(candidate.m);
    board.ProtocolTakeBack();
    board.Ply = ply;
  }
  return Sorted(legal);
}

// The search board's legal moves at its current ply, generated as the
// search does (evasions when in check).
std::vector<TMove> SearchLegalMoves(TSearchBoard& board, bool inCheck) {
  if (inCheck) board.GenerateEvasions(true);
  else board.GenerateMovesUnscored();
  const std::vector<TGen> generated(board.MoveStack.begin() + board.FirstMove[board.Ply],
                                    board.MoveStack.begin() + board.FirstMove[board.Ply + 1]);
  std::vector<TMove> legal;
  for (const TGen& candidate : generated) {
    if (inCheck) board.MakeMoveUnchecked(candidate.m);
    else if (!board.MakeMoveOutOfCheck(candidate.m)) continue;
    legal.push_back(candidate.m);
    board.TakeBack();
  }
  return Sorted(legal);
}

struct TBoardPair {
  TProtocolBoard& protocol;
  TSearchBoard& search;
};

std::string CompareAt(TBoardPair boards, bool inCheck, int depth, const std::string& line) {
  const std::vector<TMove> expected = ProtocolLegalMoves(boards.protocol);
  const std::vector<TMove> found = SearchLegalMoves(boards.search, inCheck);
  if (!SameMoves(expected, found))
    return "after" + line + ": the protocol board's moves" + ListText(expected) + " but the search board's" +
           ListText(found);
  if (depth <= 1) return {};
  const std::uint32_t protocolPly = boards.protocol.Ply;
  for (TMove m : found) {
    const std::string next = line + " " + MoveText(m);
    if (!boards.protocol.ProtocolMakeMove(m)) return "the protocol board refuses" + next;
    if (inCheck) boards.search.MakeMoveUnchecked(m);
    else boards.search.MakeMoveOutOfCheck(m);
    if (!boards.search.board_is_ok(false)) return "the search board is broken after" + next;
    std::string fault = CompareAt(boards, boards.search.UpdateChecks(false), depth - 1, next);
    boards.search.TakeBack();
    boards.protocol.ProtocolTakeBack();
    boards.protocol.Ply = protocolPly;
    if (!fault.empty()) return fault;
    if (!boards.search.board_is_ok(false)) return "the search board is broken after taking back" + next;
  }
  return {};
}

}  // namespace

std::string CompareMoveGenerators(const TProtocolBoard& board) {
  // Boards are large: one of each is kept and refilled.
  static const auto protocol = std::make_unique<TProtocolBoard>();
  static const auto search = std::make_unique<TSearchBoard>();
  *protocol = board;
  protocol->Ply = 0;
  static_cast<TBoardState&>(*search) = board;
  search->Ply = 0;
  search->PrepareBoard();
  if (!search->board_is_ok()) return "the search board is broken after its preparation";
  const bool inCheck = search->AnalyseChecks(search->Side, search->KingSquare(search->Side));
  return CompareAt({*protocol, *search}, inCheck, 2, "");
}

std::string CheckProtocolKey(const TProtocolBoard& board) {
  if (board.hash != ComputeKey(board)) return "the protocol board's key is not the key of its placement";
  return {};
}

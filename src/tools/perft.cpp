#include "tools/perft.h"

#include <charconv>
#include <chrono>
#include <iostream>
#include <memory>

#include "board/geometry.h"
#include "board/keys.h"
#include "board/move_text.h"
#include "board/search_board.h"
#include "protocol/protocol_board.h"

namespace {

// The deepest walk the move stack holds: ply p generates into slot p + 1.
constexpr int MaxPerftDepth = MaxPly;
constexpr std::string_view StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

std::uint64_t PerftNode(TSearchBoard& board, int depth, bool inCheck) {
  if (inCheck) board.GenerateEvasions(true);
  else board.GenerateMovesUnscored();
  std::uint64_t leaves = 0;
  const int end = board.FirstMove[board.Ply + 1];
  for (int i = board.FirstMove[board.Ply]; i < end; ++i) {
    const TMove m = board.MoveStack[i].m;
    if (inCheck) board.MakeMoveUnchecked(m);
    else if (!board.MakeMoveOutOfCheck(m)) continue;
    // A leaf is made and counted; its own check analysis is needed only
    // below it.
    if (depth == 1) ++leaves;
    else leaves += PerftNode(board, depth - 1, board.UpdateChecks(false));
    board.TakeBack();
  }
  return leaves;
}

bool RootInCheck(TSearchBoard& board) { return board.AnalyseChecks(board.Side, board.KingSquare(board.Side)); }

int Refuse(const std::string& why) {
  std::cout << "perft: " << why << "\nusage: vostrak perft [--chess960] DEPTH [FEN]  (DEPTH 1.." << MaxPerftDepth << ")"
            << std::endl;
  return 2;
}

}  // namespace

std::uint64_t Perft(TSearchBoard& board, int depth) {
  if (depth <= 0) return 1;
  return PerftNode(board, depth, RootInCheck(board));
}

int PerftCommand(const std::vector<std::string>& arguments) {
  // --chess960: the FEN's castling field may name rook files, and castling
  // is the king taking its own rook, in the tree and in the move list.
  const bool chess960 = !arguments.empty() && arguments[0] == "--chess960";
  const std::vector<std::string> args(arguments.begin() + (chess960 ? 1 : 0), arguments.end());
  if (args.empty()) return Refuse("missing depth");
  int depth = 0;
  const std::string& text = args[0];
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), depth);
  if (error != std::errc{} || end != text.data() + text.size() || depth < 1 || depth > MaxPerftDepth)
    return Refuse("bad depth \"" + text + "\"");

  std::string fen;
  for (std::size_t i = 1; i < args.size(); ++i) fen += (i > 1 ? " " : "") + args[i];
  if (fen.empty()) fen = StartFen;

  InitGeometry();
  InitHashKeys();
  auto protocol = std::make_unique<TProtocolBoard>();
  std::string why;
  if (!protocol->LoadFen(fen, why, chess960)) return Refuse(why);
  auto board = std::make_unique<TSearchBoard>();
  static_cast<TBoardState&>(*board) = *protocol;
  board->PrepareBoard();

  const auto start = std::chrono::steady_clock::now();
  const bool inCheck = RootInCheck(*board);
  if (inCheck) board->GenerateEvasions(true);
  else board->GenerateMovesUnscored();
  std::uint64_t total = 0;
  for (int i = board->FirstMove[0]; i < board->FirstMove[1]; ++i) {
    const TMove m = board->MoveStack[i].m;
    if (inCheck) board->MakeMoveUnchecked(m);
    else if (!board->MakeMoveOutOfCheck(m)) continue;
    const bool childInCheck = board->UpdateChecks(false);
    const std::uint64_t leaves = depth == 1 ? 1 : PerftNode(*board, depth - 1, childInCheck);
    board->TakeBack();
    total += leaves;
    std::cout << MoveText(m) << ": " << leaves << '\n';
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
  const double seconds = std::chrono::duration<double>(elapsed).count();
  const auto speed = seconds > 0 ? std::uint64_t(double(total) / seconds) : 0;
  std::cout << "\nTotal: " << total << "\nTime: " << ms << " ms\nNodes/s: " << speed << std::endl;
  return 0;
}

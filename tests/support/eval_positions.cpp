#include "support/eval_positions.h"

#include <cstdint>
#include <numeric>
#include <random>
#include <stdexcept>

#include "board/geometry.h"
#include "protocol/epd_lines.h"
#include "protocol/protocol_board.h"
#include "support/engine_tables.h"

namespace {

TProtocolBoard Loaded(std::string_view fen) {
  EnsureEngineTables();
  TProtocolBoard board;
  std::string error;
  if (!board.LoadFen(fen, error)) throw std::invalid_argument(std::string(fen) + ": " + error);
  return board;
}

// Starting points of the random games: the opening, typical middlegames and
// endings of several kinds, so that both evaluators see plenty of positions.
constexpr std::string_view StartFens[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r1bqk2r/pppp1ppp/2n2n2/2b1p3/2B1P3/3P1N2/PPP2PPP/RNBQK2R w KQkq - 0 5",
    "r2q1rk1/pp1nbppp/2p1pn2/3p4/2PP4/2NBPN2/PP3PPP/R2Q1RK1 w - - 0 9",
    "2kr3r/ppp2ppp/2n1bn2/4p3/4P1P1/2N1BP2/PPPQ3P/2KR3R b - - 0 12",
    "r3k2r/1bq1bppp/p2ppn2/1p6/3NPP2/2N1B3/PPPQB1PP/2KR3R w kq - 0 12",
    "8/5pk1/6p1/3R4/1r3P2/6P1/5K2/8 w - - 0 40",
    "8/p4k2/1p2np2/2p5/2P1B3/1P3K2/P4P2/8 w - - 0 35",
    "8/pp3k2/2p5/8/3P1K2/8/PP6/8 w - - 0 40",
    "6k1/5ppp/8/8/8/8/1q3PPP/3Q2K1 w - - 0 30",
    "4k3/2p5/8/1P1P4/8/8/6pp/4K3 b - - 0 50",
    "3r2k1/p4pp1/1p5p/8/3n4/1P3N1P/P4PP1/2R3K1 w - - 0 28",
};

// Plays up to 100 random legal plies on `game`, recording every fifth position.
void PlayRandomGame(TProtocolBoard& game, std::mt19937& random, std::vector<std::string>& out) {
  for (int ply = 0; ply < 100; ++ply) {
    game.Ply = 0;
    game.FirstMove[0] = 0;
    game.ProtocolGenerate();
    const int count = game.FirstMove[1];
    // Try the moves in a random order until one is legal.
    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    bool moved = false;
    for (int left = count; left > 0 && !moved; --left) {
      const int pick = int(random() % std::uint32_t(left));
      std::swap(order[pick], order[left - 1]);
      moved = game.ProtocolMakeMove(game.MoveStack[order[left - 1]].m);
    }
    if (!moved) return;  // mate or stalemate
    game.Ply = 0;
    if (ply >= 5 && ply % 5 == 0) out.push_back(BoardToFen(game));
  }
}

}  // namespace

std::unique_ptr<TSearchBoard> BoardFromFen(std::string_view fen) {
  auto board = std::make_unique<TSearchBoard>();
  static_cast<TBoardState&>(*board) = Loaded(fen);
  board->Ply = 0;
  board->PrepareBoard();
  return board;
}

std::unique_ptr<TSearchBoard> MirroredBoard(const TBoardState& from) {
  return BoardFromFen(MirrorEpd(BoardToFen(from)));
}

std::string BoardToFen(const TBoardState& board) {
  std::string fen;
  for (int rank = 0; rank < 8; ++rank) {
    int empty = 0;
    for (int square = rank * 8; square < rank * 8 + 8; ++square) {
      if (board.Color[square] == bsEmpty) {
        ++empty;
        continue;
      }
      if (empty) fen += char('0' + empty);
      empty = 0;
      const char letter = PieceLetter[board.Piece[square]];
      fen += board.Color[square] == Light ? letter : char(letter - 'A' + 'a');
    }
    if (empty) fen += char('0' + empty);
    if (rank < 7) fen += '/';
  }
  fen += board.Side == Light ? " w " : " b ";
  std::string rights;
  for (int bit = 0; bit < 4; ++bit)
    if (board.Castle & (1u << bit)) rights += "KQkq"[bit];
  fen += rights.empty() ? "-" : rights;
  fen += ' ';
  fen += board.EP == NoSquare ? std::string("-") : std::string(SquareName[board.EP]);
  fen.append(" ").append(std::to_string(board.HalfmoveClock)).append(" 1");
  return fen;
}

const std::vector<std::string>& VariedPositions() {
  static const std::vector<std::string> positions = [] {
    std::mt19937 random(20240611u);
    std::vector<std::string> list;
    for (std::string_view fen : StartFens) {
      list.emplace_back(fen);
      for (int game = 0; game < 2; ++game) {
        TProtocolBoard board = Loaded(fen);
        PlayRandomGame(board, random, list);
      }
    }
    return list;
  }();
  return positions;
}

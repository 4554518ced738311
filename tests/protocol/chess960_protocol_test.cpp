// Chess960 on the protocol board: castling fields in every form, refused
// rights, castling in all its shapes through "position ... moves", and move
// counts of the public Chess960 positions through its generator and maker.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "board/move_text.h"
#include "board/square_names.h"
#include "platform/files.h"
#include "protocol/epd_lines.h"
#include "protocol/protocol_test_util.h"
#include "search/book.h"

namespace {

using namespace protocol_test;

TProtocolBoard Board960(std::string_view fen) {
  EnsureEngineTables();
  TProtocolBoard board;
  board.SetChess960Rules(true);
  std::string error;
  EXPECT_TRUE(board.LoadFen(fen, error)) << fen << ": " << error;
  return board;
}

std::array<int, 4> RookFrom(const TProtocolBoard& board) {
  return {board.Castling.RookFrom[0], board.Castling.RookFrom[1], board.Castling.RookFrom[2],
          board.Castling.RookFrom[3]};
}

// KQkq means the outermost rook, a file letter names its rook, and X-FEN
// mixes both; the start position is the standard one.
TEST(Chess960Fen, EveryFormOfTheCastlingField) {
  const std::array<int, 4> corners{sq::h1, sq::a1, sq::h8, sq::a8};
  const std::array<int, 4> fhFiles{sq::h1, sq::f1, sq::h8, sq::f8};
  const std::array<int, 4> none{NoSquare, NoSquare, NoSquare, NoSquare};
  const struct {
    const char* fen;
    std::uint32_t castle;
    std::array<int, 4> rooks;
  } cases[] = {
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 15, corners},
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w HAha - 0 1", 15, corners},
      {"bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w HFhf - 2 9", 15, fhFiles},
      {"bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w KQkq - 2 9", 15, fhFiles},
      {"bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w Hq - 2 9", 1 | 8, {sq::h1, NoSquare, NoSquare, sq::f8}},
      // Three rooks: Q is the outer one, B the inner one; a letter may repeat K's rook.
      {"4k3/8/8/8/8/8/8/RR2K2R w KQ - 0 1", 3, {sq::h1, sq::a1, NoSquare, NoSquare}},
      {"4k3/8/8/8/8/8/8/RR2K2R w KB - 0 1", 3, {sq::h1, sq::b1, NoSquare, NoSquare}},
      {"4k3/8/8/8/8/8/8/RR2K2R w BKH - 0 1", 3, {sq::h1, sq::b1, NoSquare, NoSquare}},
      {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", 0, none},
  };
  for (const auto& c : cases) {
    const TProtocolBoard board = Board960(c.fen);
    EXPECT_TRUE(board.Castling.Chess960) << c.fen;
    EXPECT_EQ(board.Castle, c.castle) << c.fen;
    EXPECT_EQ(RookFrom(board), c.rooks) << c.fen;
    EXPECT_EQ(board.hash, ComputeKey(board)) << c.fen;
  }
  // Which rook may castle is part of the key.
  EXPECT_NE(Board960("4k3/8/8/8/8/8/8/RR2K2R w KQ - 0 1").hash, Board960("4k3/8/8/8/8/8/8/RR2K2R w KB - 0 1").hash);
  TProtocolBoard board = Board960("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
  EXPECT_EQ(Position(board, "startpos"), "");
  EXPECT_TRUE(board.Castling.Chess960 && board.Castle == 15u && RookFrom(board) == corners &&
              board.Castling.KingFrom == (std::array<std::int8_t, 2>{sq::e1, sq::e8}));
}

// A right whose king or rook is not where the field says is refused with one
// line naming it, and the position is kept. Standard rules read as before:
// file letters are unknown there, and misplaced rights are dropped silently.
TEST(Chess960Fen, MisplacedRightsAreRefusedByName) {
  const std::pair<const char*, const char*> refused[] = {
      {"4k3/8/8/8/8/8/4K3/R6R w K -", "castling right 'K': the white king is not on rank 1"},
      {"r6r/4k3/8/8/8/8/8/4K3 w a -", "castling right 'a': the black king is not on rank 8"},
      {"4k3/8/8/8/8/8/8/R3K3 w QK -", "castling right 'K': no white rook on rank 1 between the king and the h-file"},
      {"4k2r/8/8/8/8/8/8/4K3 w q -", "castling right 'q': no black rook on rank 8 between the king and the a-file"},
      {"4k3/8/8/8/8/8/8/R3K2R w G -", "castling right 'G': no white rook on g1"},
      {"4k3/8/8/8/8/8/8/rN2K2R w A -", "castling right 'A': no white rook on a1"},
      {"4k3/8/8/8/8/8/8/R3K2R w E -", "castling right 'E': no white rook on e1"},
      {"4k3/8/8/8/8/8/8/RR2K2R w AB -", "castling right 'B': a second white rook for castling on the a-file side"},
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQx -", "unknown character 'x' in the castling field"},
      {"r3k2r/8/8/8/8/8/8/R3K2R w K-", "unknown character '-' in the castling field"},
  };
  TProtocolBoard board = Board960("4k3/8/8/8/8/8/8/4K3 w - -");
  for (const auto& [fen, reason] : refused) {
    Position(board, "startpos moves e2e4");
    const auto before = Snapshot(board);
    EXPECT_EQ(Position(board, std::string("fen ") + fen + " moves e1d1"),
              std::string("info string fen refused: ") + reason + "\n");
    EXPECT_TRUE(Snapshot(board) == before) << fen;
  }
  board.SetChess960Rules(false);
  EXPECT_EQ(Position(board, "fen 4k3/8/8/8/8/8/8/R3K2R w HA -"),
            "info string fen refused: unknown character 'H' in the castling field\n");
  EXPECT_EQ(Position(board, "fen 4k3/8/8/8/8/8/4K3/R6R w KQ -"), "");
  EXPECT_TRUE(board.Castle == 0u && !board.Castling.Chess960);
}

// The EPD run reads a line with file letters as Chess960 whatever the
// option says; turning the board over turns the letters' case.
TEST(Chess960Fen, EpdLinesWithFileLetters) {
  EXPECT_TRUE(NamesCastlingFiles("1r4kr/8/8/8/8/8/8/RK5R w Ab - bm O-O-O;"));
  EXPECT_FALSE(NamesCastlingFiles("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - bm O-O; id \"a.b.c\";"));
  EXPECT_FALSE(NamesCastlingFiles("8/8/8/8/8/8/8/K6k w"));
  EXPECT_EQ(MirrorEpd("1r4kr/8/8/8/8/8/8/RK5R w Ab - bm O-O-O;"), "rk5r/8/8/8/8/8/8/1R4KR b Ba - bm O-O-O;");
}

// King to the g- or c-file, rook to the f- or d-file, whichever of them
// stands still or however they cross; written as the king taking its rook.
TEST(Chess960Rules, CastlingInEveryShape) {
  const struct {
    const char* fen;
    const char* castling;
    const char* san;
    int king, rook;
  } cases[] = {
      {"4k3/8/8/8/8/8/8/6KR w H - 0 1", "g1h1", "O-O", sq::g1, sq::f1},     // the king stays
      {"4k3/8/8/8/8/8/8/2K2R2 w F - 0 1", "c1f1", "O-O", sq::g1, sq::f1},   // the rook stays
      {"4k3/8/8/8/8/8/8/4KR2 w F - 0 1", "e1f1", "O-O", sq::g1, sq::f1},    // the king passes the rook
      {"4k3/8/8/8/8/8/8/5KR1 w G - 0 1", "f1g1", "O-O", sq::g1, sq::f1},    // they swap
      {"4k3/8/8/8/8/8/8/2RK4 w C - 0 1", "d1c1", "O-O-O", sq::c1, sq::d1},  // they swap
      {"4k3/8/8/8/8/8/8/RK6 w A - 0 1", "b1a1", "O-O-O", sq::c1, sq::d1},   // both move right
      {"4k3/8/8/8/8/8/8/3RK3 w D - 0 1", "e1d1", "O-O-O", sq::c1, sq::d1},  // the rook stays
      {"rk6/8/8/8/8/8/8/4K3 b a - 0 1", "b8a8", "O-O-O", sq::c8, sq::d8},
      {"1r4kr/8/8/8/8/8/8/4K3 b b - 0 1", "g8b8", "O-O-O", sq::c8, sq::d8},  // the king goes four files
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fen);
    TProtocolBoard board = Board960(c.fen);
    const auto before = Snapshot(board);
    EXPECT_EQ(Position(board, std::string("fen ") + c.fen + " moves " + c.castling), "");
    const TSide mover = board.XSide;
    EXPECT_TRUE(board.Piece[c.king] == King && board.Color[c.king] == mover && board.Piece[c.rook] == Rook &&
                board.Color[c.rook] == mover);
    EXPECT_EQ(board.Castle & CastlingOf(mover), 0u);
    EXPECT_EQ(board.hash, ComputeKey(board));
    EXPECT_STREQ(board.GameHistory[0].Notation, c.san);
    board.ProtocolTakeBack();
    EXPECT_TRUE(Snapshot(board) == before);
  }
  // In standard-looking positions too: the king's two-square step is no castling.
  TProtocolBoard board = Board960("4k3/8/8/8/8/8/8/4K2R w K - 0 1");
  EXPECT_EQ(Position(board, "startpos moves g1f3 g8f6 e2e3 e7e6 f1e2 f8e7 e1h1 e8h8"), "");
  EXPECT_TRUE(board.Piece[sq::g1] == King && board.Piece[sq::f1] == Rook && board.Piece[sq::g8] == King &&
              board.Piece[sq::f8] == Rook && board.Castle == 0u);
  EXPECT_NE(Position(board, "startpos moves g1f3 g8f6 e2e3 e7e6 f1e2 f8e7 e1g1"), "");
}

// Every square between the king or the rook and its destination empty but
// for the two; no square the king stands on, passes or reaches attacked (the
// rook may not shield its destination); rights go with their men.
TEST(Chess960Rules, WhenCastlingIsRefusedAndWhenRightsGo) {
  const std::pair<const char*, const char*> refused[] = {
      {"4k3/8/8/8/8/8/8/RB4K1 w A - 0 1", "g1a1"},   // a man on the rook's way
      {"4k3/8/8/8/8/8/8/1R3BK1 w B - 0 1", "g1b1"},  // a man on the king's way
      {"4k3/8/8/8/8/8/8/R2N2K1 w A - 0 1", "g1a1"},  // on both
      {"4k3/8/8/8/8/8/8/1RN1K3 w B - 0 1", "e1b1"},  // the king's destination taken
      {"4k3/8/8/8/8/8/8/rR4K1 w B - 0 1", "g1b1"},   // the rook shielded the king's destination
      {"4k3/8/8/8/8/8/8/r5KR w H - 0 1", "g1h1"},    // in check, though the king stays
      {"4k3/8/8/8/8/8/5b2/5KR1 w G - 0 1", "f1g1"},  // the destination attacked
      {"4k3/8/8/8/8/8/3n4/4K2R w H - 0 1", "e1h1"},  // a square passed attacked
      {"4k3/8/8/8/8/8/8/5K1R w - - 0 1", "f1h1"},    // no right
  };
  for (const auto& [fen, castling] : refused) {
    TProtocolBoard board = Board960(fen);
    EXPECT_NE(Position(board, std::string("fen ") + fen + " moves " + castling), "") << fen;
    EXPECT_EQ(board.HistoryLength, 0u) << fen;
  }
  // Squares only the rook crosses may be attacked; men beyond the two ways do not matter.
  for (const auto& [fen, castling] :
       {std::pair{"4k3/8/8/8/8/8/b7/R3K3 w A - 0 1", "e1a1"}, std::pair{"4k3/8/8/8/8/8/8/RNR1K3 w C - 0 1", "e1c1"}}) {
    TProtocolBoard board = Board960(fen);
    EXPECT_EQ(Position(board, std::string("fen ") + fen + " moves " + castling), "") << fen;
    EXPECT_TRUE(board.Piece[sq::c1] == King && board.Piece[sq::d1] == Rook) << fen;
  }
  const std::pair<const char*, std::uint32_t> kept[] = {
      {"a1a2", 15},                  // the outer rook is not the one that castles
      {"h1h2 h8h7", 15 & ~(1 | 4)},  // the rooks move
      {"h1h8", 15 & ~(1 | 4)},       // one takes the other
      {"g1f1", 15 & ~3},             // the king moves
      {"g1h1 a8a7", 15 & ~3},        // castling, the king staying
      {"g1b1", 15 & ~3},             // castling with the inner rook
  };
  TProtocolBoard board = Board960("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
  for (const auto& [moves, castle] : kept) {
    EXPECT_EQ(Position(board, std::string("fen rr4kr/8/8/8/8/8/8/RR4KR w HBhb - 0 1 moves ") + moves), "") << moves;
    EXPECT_EQ(board.Castle, castle) << moves;
    EXPECT_EQ(board.hash, ComputeKey(board)) << moves;
  }
}

// The option changes the position on the board too: its rights carry over
// where the new rules can hold them, with the keys of the game's positions.
TEST(Chess960Rules, SwitchingTheRulesCarriesThePositionOver) {
  EnsureEngineTables();
  TProtocolBoard board;
  Position(board, "startpos moves g1f3 g8f6 f3g1 f6g8 g1f3");
  const std::uint32_t standardKey = board.hash;
  ASSERT_EQ(board.GameHistory[1].HistHash, standardKey);
  board.SetChess960Rules(true);
  EXPECT_TRUE(board.Castling.Chess960 && board.Castle == 15u && board.hash == ComputeKey(board));
  EXPECT_NE(board.hash, standardKey);
  EXPECT_EQ(board.GameHistory[1].HistHash, board.hash) << "the repeated position is keyed as the current one";
  EXPECT_TRUE(GeneratedMove(board, "e8h8").Has(MoveCastle) && GeneratedMove(board, "e8g8") == TMove{});
  Position(board, "fen 4k3/8/8/8/8/8/8/RK5R w HA - 0 1");
  board.SetChess960Rules(false);
  EXPECT_TRUE(!board.Castling.Chess960 && board.Castle == 0u && board.hash == ComputeKey(board));
  Position(board, "fen r3k2r/8/8/8/8/8/8/R3K2R w KQq - 0 1");
  board.SetChess960Rules(true);
  EXPECT_EQ(RookFrom(board), (std::array<int, 4>{sq::h1, sq::a1, NoSquare, sq::a8}));
}

// The book is standard chess: under Chess960 rules even the start position
// leaves it closed, and switching the rules on closes it.
TEST(Chess960Rules, TheBookStaysClosed) {
  EnsureEngineTables();
  const auto dir = std::filesystem::temp_directory_path() / ("vostrak-book960-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  ASSERT_TRUE(WriteTextLines(JoinPath(dir.string(), "vostrak.OPN"), {"any content"}));
  TBook book(nullptr, dir.string());
  book.SetInUse(true);
  TProtocolBoard board;
  board.Book = &book;
  Position(board, "startpos");
  ASSERT_TRUE(book.IsOpen());
  board.SetChess960Rules(true);
  EXPECT_FALSE(book.IsOpen());
  Position(board, "startpos");
  EXPECT_FALSE(book.IsOpen());
  board.SetChess960Rules(false);
  Position(board, "startpos");
  EXPECT_TRUE(book.IsOpen());
  book.CloseBook();
  std::filesystem::remove_all(dir);
}

// The public Chess960 positions: move counts through the board's own
// generator and maker, the key rebuilt after every move, and the position
// whole again after the take-backs. The mirror reads the same counts.
TEST(Chess960Rules, MoveCountsOfThePublicPositions) {
  std::ifstream file(VOSTRAK_TEST_DATA "/chess960-perft.epd");
  ASSERT_TRUE(file) << "no " VOSTRAK_TEST_DATA "/chess960-perft.epd";
  static const std::regex counts(";D1 (\\d+) ;D2 (\\d+) ;D3 (\\d+)");
  int line = 0;
  for (std::string text; std::getline(file, text); ++line) {
    // Every 16th position to depth 2, every 80th to depth 3.
    if (line % 16 != 0) continue;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(text, m, counts)) << text;
    const int depth = line % 80 == 0 ? 3 : 2;
    const std::uint64_t expected = std::stoull(m[depth]);
    const std::string fen = text.substr(0, text.find(" ;"));
    TProtocolBoard board = Board960(fen);
    const auto before = Snapshot(board);
    EXPECT_EQ(Perft(board, depth), expected) << fen;
    EXPECT_TRUE(Snapshot(board) == before) << fen;
    TProtocolBoard mirror = Board960(MirrorEpd(fen));
    EXPECT_EQ(Perft(mirror, depth), expected) << MirrorEpd(fen);
  }
  EXPECT_EQ(line, 960);
}

}  // namespace

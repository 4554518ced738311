// The random generator and the position keys drawn from it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "board/console_board.h"
#include "board/geometry.h"
#include "hash/keys.h"
#include "hash/mersenne.h"
#include "support/engine_tables.h"

namespace {

TThreadConsole StartBoard() {
  TThreadConsole board;
  std::copy(InitColor.begin(), InitColor.end(), board.Color.begin());
  std::copy(InitPiece.begin(), InitPiece.end(), board.Piece.begin());
  board.Side = Light;
  board.XSide = Dark;
  board.Castle = 15;
  board.EP = NoSquare;
  return board;
}

class KeysTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureEngineTables(); }
};

TEST(KeysGenerator, StandardSeedGivesThePublishedOutputs) {
  Tmt19937 random(5489);
  EXPECT_EQ(random.val32(), 3499211612u);
  EXPECT_EQ(random.val32(), 581869302u);
  EXPECT_EQ(random.val32(), 3890346734u);
  // The 10000th output of the reference generator.
  Tmt19937 longRun(5489);
  std::uint32_t value = 0;
  for (int i = 0; i < 10000; ++i) value = longRun.val32();
  EXPECT_EQ(value, 4123659995u);
}

TEST_F(KeysTest, TablesAreDrawnInTheirFixedOrder) {
  Tmt19937 random(0xFFFFFFFFu);
  std::uint32_t draws[1428];
  for (auto& draw : draws) draw = random.val32();
  EXPECT_EQ(::Keys.PieceKeys[Light][Pawn][0], draws[0]);
  EXPECT_EQ(::Keys.PieceKeys[Light][Knight][0], draws[64]);
  EXPECT_EQ(::Keys.PieceKeys[Dark][Pawn][0], draws[7 * 64]);
  EXPECT_EQ(::Keys.PieceKeys[bsEmpty][bpEmpty][63], draws[1343]);
  EXPECT_EQ(::Keys.SideKey, draws[1344]);
  EXPECT_EQ(::Keys.EPKeys[0], draws[1345]);
  EXPECT_EQ(::Keys.CastleKeys[0], draws[1409]);
  EXPECT_EQ(::Keys.PhaseKeys[2], draws[1427]);
}

TEST_F(KeysTest, FullKeyOfTheStartPosition) {
  TThreadConsole board = StartBoard();
  std::uint32_t expected = ::Keys.CastleKeys[15];
  for (int square = 0; square < 64; ++square)
    if (InitColor[square] != bsEmpty) expected ^= ::Keys.PieceKeys[InitColor[square]][InitPiece[square]][square];
  EXPECT_EQ(set_hash(board), expected);

  board.Side = Dark;
  EXPECT_EQ(set_hash(board), expected ^ ::Keys.SideKey);
  board.Side = Light;
  board.EP = 44;
  EXPECT_EQ(set_hash(board), expected ^ ::Keys.EPKeys[44]);
  board.EP = NoSquare;
  // No rights still mixes in the key of mask 0.
  board.Castle = 0;
  EXPECT_EQ(set_hash(board), expected ^ ::Keys.CastleKeys[15] ^ ::Keys.CastleKeys[0]);
}

TEST_F(KeysTest, PawnKey) {
  TThreadConsole board = StartBoard();
  Set_Hash_Pawns(board);
  std::uint32_t expected = 0;
  for (int file = 0; file < 8; ++file)
    expected ^= ::Keys.PieceKeys[Dark][Pawn][8 + file] ^ ::Keys.PieceKeys[Light][Pawn][48 + file];
  EXPECT_EQ(board.hashP, expected);
  // Side, rights and en passant play no part.
  board.Side = Dark;
  board.Castle = 0;
  board.EP = 44;
  Set_Hash_Pawns(board);
  EXPECT_EQ(board.hashP, expected);

  for (int square = 0; square < 64; ++square)
    if (board.Piece[square] == Pawn) {
      board.Piece[square] = bpEmpty;
      board.Color[square] = bsEmpty;
    }
  Set_Hash_Pawns(board);
  EXPECT_EQ(board.hashP, 0u);
}

// Prints the start key, so that separate runs can be compared.
TEST_F(KeysTest, PrintStartKey) { std::printf("start key %u\n", set_hash(StartBoard())); }

std::string StartKeyOfAnotherRun() {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string command = "'" + self + "' --gtest_filter=KeysTest.PrintStartKey 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {};
  std::string found;
  char line[256];
  while (std::fgets(line, sizeof line, pipe))
    if (std::string(line).rfind("start key ", 0) == 0) found = line;
  pclose(pipe);
  return found;
}

TEST_F(KeysTest, SeparateRunsGiveTheSameKeys) {
  const std::string here = "start key " + std::to_string(set_hash(StartBoard())) + "\n";
  EXPECT_EQ(StartKeyOfAnotherRun(), here);
  EXPECT_EQ(StartKeyOfAnotherRun(), here);
}

}  // namespace

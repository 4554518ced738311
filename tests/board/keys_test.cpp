// The random generator and the position keys drawn from it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "board/keys.h"
#include "board/mersenne.h"
#include "protocol/protocol_test_util.h"

namespace {

constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

TEST(KeysGenerator, MatchesTheStandardGenerator) {
  Tmt19937 random(0xFFFFFFFFu);
  std::mt19937 reference(0xFFFFFFFFu);
  for (int i = 0; i < 10000; ++i) ASSERT_EQ(random.val32(), reference()) << i;
}

class KeysTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureEngineTables(); }
};

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

TEST_F(KeysTest, FullAndPawnKeys) {
  TThreadConsole board = protocol_test::BoardFromFen(StartFen);
  std::uint32_t full = ::Keys.CastleKeys[15], pawns = 0;
  for (int square = 0; square < 64; ++square) {
    if (board.Color[square] == bsEmpty) continue;
    const std::uint32_t key = ::Keys.PieceKeys[board.Color[square]][board.Piece[square]][square];
    full ^= key;
    if (board.Piece[square] == Pawn) pawns ^= key;
  }
  EXPECT_EQ(set_hash(board), full);
  Set_Hash_Pawns(board);
  EXPECT_EQ(board.hashP, pawns);
  // Side, en passant and rights change only the full key; no rights still
  // mix in the key of mask 0.
  board.Side = Dark;
  board.EP = 44;
  board.Castle = 0;
  EXPECT_EQ(set_hash(board), full ^ ::Keys.SideKey ^ ::Keys.EPKeys[44] ^ ::Keys.CastleKeys[15] ^ ::Keys.CastleKeys[0]);
  Set_Hash_Pawns(board);
  EXPECT_EQ(board.hashP, pawns);
}

// Prints the start key, so that separate runs can be compared.
TEST_F(KeysTest, PrintStartKey) { std::printf("start key %u\n", protocol_test::BoardFromFen(StartFen).hash); }

std::string StartKeyOfAnotherRun() {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  FILE* pipe = popen(("'" + self + "' --gtest_filter=KeysTest.PrintStartKey 2>/dev/null").c_str(), "r");
  if (!pipe) return {};
  std::string found;
  char line[256];
  while (std::fgets(line, sizeof line, pipe))
    if (std::string(line).rfind("start key ", 0) == 0) found = line;
  pclose(pipe);
  return found;
}

TEST_F(KeysTest, SeparateRunsGiveTheSameKeys) {
  const std::string here = "start key " + std::to_string(protocol_test::BoardFromFen(StartFen).hash) + "\n";
  EXPECT_EQ(StartKeyOfAnotherRun(), here);
  EXPECT_EQ(StartKeyOfAnotherRun(), here);
}

}  // namespace

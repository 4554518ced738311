// The book file is opened only with book use on and a start-position set-up,
// and closed by switching book use off or by another placement.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/files.h"
#include "protocol/protocol_test_util.h"
#include "search/book.h"

namespace {

using namespace protocol_test;

TEST(ProtocolBook, OpenedByAStartPositionClosedByAnotherPlacement) {
  EnsureEngineTables();
  const auto dir = std::filesystem::temp_directory_path() / ("vostrak-book-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  TBook book(nullptr, dir.string());
  TProtocolBoard board;
  board.Book = &book;
  EXPECT_FALSE(book.InUse());  // off at start
  book.SetInUse(true);
  EXPECT_EQ(Position(board, "startpos"), "");  // no file: silent
  EXPECT_FALSE(book.IsOpen());
  ASSERT_TRUE(WriteTextLines(JoinPath(dir.string(), "vostrak.OPN"), {"any content"}));
  book.SetInUse(false);
  Position(board, "startpos");
  EXPECT_FALSE(book.IsOpen());
  book.SetInUse(true);
  EXPECT_EQ(Position(board, "startpos moves e2e4 e7e5"), "");
  EXPECT_TRUE(book.IsOpen());
  // Another side to move is still the start placement; a refused FEN sets
  // nothing up; a real change of placement closes the book.
  Position(board, "fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b - - 0 1");
  Position(board, "fen 8/8/8/8/8/8/8/8 w - -");
  EXPECT_TRUE(book.IsOpen());
  Position(board, "fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN1 w Qkq - 0 1 moves e2e4");
  EXPECT_FALSE(book.IsOpen());
  Position(board, "startpos");
  book.SetInUse(false);
  book.CloseBook();  // closing twice is harmless
  EXPECT_FALSE(book.IsOpen());
  std::filesystem::remove_all(dir);
}

}  // namespace

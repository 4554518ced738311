// The book file is opened only with book use on and a start-position set-up,
// and closed by switching book use off or by another placement.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/files.h"
#include "protocol/book.h"
#include "protocol/protocol_test_util.h"
#include "protocol/start_dir.h"

namespace {

using namespace protocol_test;

class ProtocolBook : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureEngineTables();
    savedStartDir = StartDir;
    dir = std::filesystem::temp_directory_path() / ("vostrak-book-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    StartDir = dir.string();
    board.Book = &book;
  }
  void TearDown() override {
    book.close_book();
    OwnBook = false;
    StartDir = savedStartDir;
    std::filesystem::remove_all(dir);
  }
  void CreateBookFile() { ASSERT_TRUE(WriteTextLines(JoinPath(StartDir, BookName), {"any content"})); }

  std::string savedStartDir;
  std::filesystem::path dir;
  TBook book;
  TProtocolBoard board;
};

TEST_F(ProtocolBook, CreatedWithBookUseOff) {
  EXPECT_FALSE(OwnBook);
  EXPECT_EQ(BookName, "vostrak.OPN");
  EXPECT_EQ(book.source, nullptr);
  CreateBookFile();
  Position(board, "startpos");
  EXPECT_FALSE(BookOpen);
}

TEST_F(ProtocolBook, OpenedByTheNextStartPositionOnly) {
  CreateBookFile();
  OwnBook = true;
  EXPECT_FALSE(BookOpen);
  // The moves after the start position leave it open.
  EXPECT_EQ(Position(board, "startpos moves e2e4 e7e5"), "");
  EXPECT_TRUE(BookOpen);
  book.close_book();
  EXPECT_FALSE(BookOpen);
  book.close_book();
  EXPECT_FALSE(BookOpen);
}

TEST_F(ProtocolBook, MissingFileIsSilent) {
  OwnBook = true;
  EXPECT_EQ(Position(board, "startpos"), "");
  EXPECT_FALSE(BookOpen);
}

TEST_F(ProtocolBook, OnlyAnotherPlacementClosesIt) {
  CreateBookFile();
  OwnBook = true;
  Position(board, "startpos");
  ASSERT_TRUE(BookOpen);
  Position(board, "fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b - - 0 1");
  EXPECT_TRUE(BookOpen);
  Position(board, "fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN1 w Qkq - 0 1 moves e2e4");
  EXPECT_FALSE(BookOpen);
  // A refused FEN sets nothing up and so closes nothing.
  Position(board, "startpos");
  ASSERT_TRUE(BookOpen);
  Position(board, "fen 8/8/8/8/8/8/8/8 w - -");
  EXPECT_TRUE(BookOpen);
}

}  // namespace

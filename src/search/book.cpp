#include "search/book.h"

#include <fstream>

#include "platform/files.h"
#include "platform/start_dir.h"

bool OwnBook = false;
bool BookOpen = false;
std::string BookName;

namespace {
std::ifstream BookFile;
}

TBook::TBook(TBoardState* owner) : source(owner) {
  OwnBook = false;
  BookName = "vostrak.OPN";
  OpenBook(StartDir);
}

TBook::~TBook() { CloseBook(); }

void TBook::OpenBook(const std::string& repertoire) {
  if (BookOpen || !OwnBook) return;
  const std::string path = JoinPath(repertoire, BookName);
  if (!FileExists(path)) return;
  BookFile.open(path);
  BookOpen = BookFile.is_open();
}

void TBook::CloseBook() {
  if (!BookOpen) return;
  BookFile.close();
  BookOpen = false;
}

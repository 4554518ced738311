#include "search/book.h"

#include "platform/files.h"
#include "platform/start_dir.h"

TBook::TBook(TBoardState* owner) : source(owner) { OpenBook(StartDir); }

TBook::~TBook() { CloseBook(); }

void TBook::SetInUse(bool inUse) {
  inUse_ = inUse;
  if (!inUse_) CloseBook();
}

void TBook::OpenBook(const std::string& repertoire) {
  if (IsOpen() || !inUse_) return;
  const std::string path = JoinPath(repertoire, name_);
  if (FileExists(path)) file_.open(path);
}

void TBook::CloseBook() {
  if (IsOpen()) file_.close();
}

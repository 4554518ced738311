#include "search/book.h"

#include "platform/files.h"

TBook::TBook(TBoardState* owner, std::string folder) : source(owner), folder_(std::move(folder)) {}

TBook::~TBook() { CloseBook(); }

void TBook::SetInUse(bool inUse) {
  inUse_ = inUse;
  if (!inUse_) CloseBook();
}

void TBook::OpenBook() {
  if (IsOpen() || !inUse_) return;
  const std::string path = JoinPath(folder_, name_);
  if (FileExists(path)) file_.open(path);
}

void TBook::CloseBook() {
  if (IsOpen()) file_.close();
}

// The opening-book file. It is opened when book use is on and a game starts
// from the start position, and closed when book use is switched off, when a
// search without limit is ordered, or when another placement is set up. No
// move is taken from it: only its presence matters.
#pragma once

#include <string>

class TBoardState;

// Book state of the program; touched by the protocol thread only.
extern bool OwnBook;   // book use switched on
extern bool BookOpen;  // the file is open
extern std::string BookName;

class TBook {
 public:
  // `owner` is the search thread that owns the book; it may be null.
  explicit TBook(TBoardState* owner = nullptr);
  ~TBook();
  TBook(const TBook&) = delete;
  TBook& operator=(const TBook&) = delete;

  // Opens the book file of directory `repertoire` if book use is on, the
  // file exists and it is not open yet; otherwise does nothing, silently.
  void OpenBook(const std::string& repertoire);
  void CloseBook();

  TBoardState* source;
};

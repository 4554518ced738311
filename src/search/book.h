// The opening-book file. It is opened when book use is on and a game starts
// from the start position, and closed when book use is switched off, when a
// search without limit is ordered, or when another placement is set up. No
// move is taken from it: only its presence matters. It is a book of standard
// chess: under Chess960 rules (UCI_Chess960) the protocol board never opens
// it, even for the standard start position.
#pragma once

#include <fstream>
#include <string>

class TBoardState;

// Touched by the protocol thread only.
class TBook {
 public:
  // `owner` is the search thread that owns the book (it may be null);
  // `folder` the one the book file is read from.
  explicit TBook(TBoardState* owner = nullptr, std::string folder = "");
  ~TBook();
  TBook(const TBook&) = delete;
  TBook& operator=(const TBook&) = delete;

  // Book use on or off ("OwnBook"); off closes the file.
  void SetInUse(bool inUse);
  bool InUse() const { return inUse_; }
  bool IsOpen() const { return file_.is_open(); }

  // Opens the book file if book use is on, the file exists and it is not
  // open yet; otherwise does nothing, silently.
  void OpenBook();
  void CloseBook();

  TBoardState* source;

 private:
  bool inUse_ = false;
  std::string folder_;
  std::string name_ = "vostrak.OPN";
  std::ifstream file_;
};

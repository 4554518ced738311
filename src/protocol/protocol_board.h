// The protocol board: the board the "position" command sets up and the
// interface's moves are played on, with its own small rules engine (a
// mailbox generator of pseudo-legal moves, an attack test, a move maker that
// refuses moves leaving the king in check and checks castling conditions,
// and a take-back). Searches copy its TBoardState part.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "board/board_state.h"
#include "board/types.h"

class TBook;

// FEN text read into a record.
struct TFenInfo {
  // 64 characters, a8 .. h1: a piece letter (upper case White) or a blank.
  std::string Position;
  std::int32_t castle = 0;  // bits of Castle: K 1, Q 2, k 4, q 8
  std::int32_t EP = NoSquare;
  TSide side = Light;
  std::uint32_t fifty = 0;  // half-move clock
  // Chess960: the castling field is read against the placement, and each
  // right held names its rook (NoSquare for a right not held).
  bool Chess960 = false;
  std::string CastlingText;
  std::array<int, 4> RookFrom{NoSquare, NoSquare, NoSquare, NoSquare};
};

// The largest half-move clock a FEN sets: ten times the fifty-move limit,
// plenty for any game and small enough for every counter that adds to it.
constexpr std::int32_t MaxFenHalfMoveClock = 1000;

// The start placement as a TFenInfo::Position string.
extern const std::string_view StartPlacement;

class TProtocolBoard : public TBoardState {
 public:
  TProtocolBoard() = default;

  // --- Rules engine -------------------------------------------------------
  // Lists the pseudo-legal moves of the side to move at ply Ply (castling
  // candidates whenever the right is held, promotions as Q, R, B, N).
  void ProtocolGenerate();
  bool ProtocolInCheck(TSide side) const;
  // Is `square` attacked by a piece of `attacker`?
  bool ProtocolAttacked(int square, TSide attacker) const;
  // Makes the move; false, with the board unchanged, when it is illegal.
  bool ProtocolMakeMove(TMove m);
  // Undoes the last move made (nothing when no move was made).
  void ProtocolTakeBack();
  // The attack test on bare arrays, for positions not placed yet.
  static bool SquareAttacked(const TBoardColor& color, const TBoardNature& piece, int square, TSide attacker);

  // --- Move text (move_text.cpp) ------------------------------------------
  // Index in the ply-0 list of the move the coordinate text names, or -1.
  // `m` gets the origin and destination of the text.
  int ParseCoordMove(std::string_view text, TMove& m) const;
  // Is `expected` among the replies to `best` in the current position?
  // The board is left as it was. When it is, `reply` (if given) gets the
  // generated reply: its text carries a promotion's letter even where the
  // search's record of the move lacks the promotion flag.
  bool ExpectedReplyIsLegal(TMove best, TMove expected, TMove* reply = nullptr);
  // Algebraic text of a move about to be made by a piece of kind `kind`.
  std::string MoveToSan(TMove m, TBoardPiece kind) const;

  // --- Position set-up (position.cpp, fen.cpp) ----------------------------
  // Remembers the FEN of a "position fen ..." command; true when it differs
  // from the previous one (the tables are then to be cleared).
  bool IsNewFen(std::string_view args);
  // The body of the "position" command (its text after "position ").
  void SetupPosition(std::string_view args);
  void SetStartPosition();
  // Reads, checks and places a FEN position, under Chess960 rules when
  // `chess960` is true (castling fields in every form: KQkq, file letters,
  // or both), else the standard ones (the UCI_Chess960 setting when not
  // given). On refusal the board is left untouched and `error` says why;
  // nothing is printed.
  bool LoadFen(std::string_view fen, std::string& error) { return LoadFen(fen, error, chess960Rules_); }
  bool LoadFen(std::string_view fen, std::string& error, bool chess960);
  // LoadFen for the "position" command: a refusal prints one
  // "info string" line and keeps the previous position. True when placed.
  bool LoadEpd(std::string_view text) { return LoadEpd(text, chess960Rules_); }
  bool LoadEpd(std::string_view text, bool chess960);
  // Places a checked record on the board.
  void PlaceFenRecord(const TFenInfo& info);
  // Plays a blank-separated list of coordinate moves.
  void PlayMoves(std::string_view list);

  // The UCI_Chess960 setting: every position set up from now on (the start
  // position too) castles by Chess960 rules, its castling moves stored and
  // written as the king taking its own rook. A change carries the position
  // on the board over to the new rules.
  void SetChess960Rules(bool on);
  bool Chess960Rules() const { return chess960Rules_; }
  // The square of `side`'s king; NoSquare when it has none.
  int KingSquareOf(TSide side) const;

  static TBoardPiece NatureOfPiece(char ch);
  static TBoardSide ColorOfPiece(char ch);

  std::string PreviousFen;
  TBook* Book = nullptr;  // set by the owner; null means no book

 protected:
  // Resets the time-control state when a new game starts from the start
  // position; the owner of the time control overrides it.
  virtual void ResetTimeControl() {}

 private:
  void AddMove(int from, int to, std::uint8_t bits);
  void GeneratePawnMoves(int square);
  void GeneratePieceMoves(int square);
  void GenerateCastlingAndEnPassant();
  bool CastlingAllowed(TMove m) const;
  bool Chess960CastlingAllowed(TMove m) const;
  void MoveCastlingRook(int kingTo, bool undo);
  // Chess960 castling stored as the king taking its rook: both men go to
  // their castled squares, or back home when `undo`.
  void MoveChess960Castlers(TMove m, bool undo);
  // Fixes the castling set-up of a position just placed: under Chess960
  // rules its kings and the rooks `rookFrom` of the rights held (by right
  // index), a right without a rook dropped; else the standard set-up.
  void SetCastlingSetup(bool chess960, const std::array<int, 4>& rookFrom);
  void AfterSetUp();

  bool chess960Rules_ = false;
};

// Board vocabulary shared by every board owner: squares, colours, kinds,
// the move record and its flags, the history record and the piece lists.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

// Squares run from a8 = 0 to h1 = 63, rank by rank from Black's side.
// The file is square % 8 (0 = a), the row square / 8 (0 = rank 8).
using TSquareSet = std::uint64_t;

constexpr TSquareSet SquareBit(int square) { return TSquareSet{1} << square; }
constexpr bool InSet(TSquareSet set, int square) { return (set >> square) & 1; }

// The number of squares in a set. Without the processor's population count
// (the portable build) g++ calls a library routine for std::popcount; the
// folded sum below stays inline.
constexpr int CountSquares(TSquareSet set) {
#ifdef __POPCNT__
  return std::popcount(set);
#else
  set -= (set >> 1) & 0x5555555555555555;
  set = (set & 0x3333333333333333) + ((set >> 2) & 0x3333333333333333);
  set = (set + (set >> 4)) & 0x0f0f0f0f0f0f0f0f;
  return int((set * 0x0101010101010101) >> 56);
#endif
}

// Visits each square of a set, lowest first.
template <class Visit>
void ForEachSquare(TSquareSet set, Visit visit) {
  for (; set != 0; set &= set - 1) visit(std::countr_zero(set));
}

enum TBoardSide : std::uint8_t { Light = 0, Dark = 1, bsEmpty = 2 };
using TSide = std::uint8_t;  // Light or Dark only

enum TBoardPiece : std::uint8_t { Pawn = 0, Knight = 1, Bishop = 2, Rook = 3, Queen = 4, King = 5, bpEmpty = 6 };
using TPiece = std::uint8_t;  // Pawn..King

enum TCastled : std::uint8_t { NotCastled = 0, CastledShort = 1, CastledLong = 2 };

// Move flags, one bit each in TMove::bits.
constexpr std::uint8_t MoveCapture = 1;
constexpr std::uint8_t MoveCastle = 2;
constexpr std::uint8_t MoveEnPassant = 4;
constexpr std::uint8_t MovePawn2sq = 8;
constexpr std::uint8_t MovePawn = 16;
constexpr std::uint8_t MovePromote = 32;
constexpr std::uint8_t MovePawnPush = 64;
// Captures and advanced pawn pushes are the tactical moves of the search.
constexpr std::uint8_t MoveTactical = MoveCapture | MovePawnPush;

constexpr TSide Opponent(TSide side) { return TSide(side ^ 1); }

// A move fits in 32 bits and is compared and copied as one word: two moves
// between the same squares with different flags or promotions differ.
struct TMove {
  std::uint8_t from = 0;
  std::uint8_t to = 0;
  TPiece promote = 0;
  std::uint8_t bits = 0;

  constexpr std::uint32_t AsInt() const { return std::bit_cast<std::uint32_t>(*this); }
  static constexpr TMove FromInt(std::uint32_t value) { return std::bit_cast<TMove>(value); }
  constexpr bool IsNone() const { return AsInt() == 0; }
  constexpr bool Has(std::uint8_t mask) const { return (bits & mask) != 0; }
  friend constexpr bool operator==(TMove a, TMove b) { return a.AsInt() == b.AsInt(); }
};
static_assert(sizeof(TMove) == 4);

struct TGen {
  TMove m;
  std::int32_t score;
};

// Piece-list indices a move touched, so that unmaking finds them again.
struct TIndex {
  std::uint8_t MovedIndex;  // moving piece
  std::uint8_t TakenIndex;  // captured piece (en passant too)
  std::uint8_t RookIndex;   // castling rook
};

struct TSavedKingLines {
  TSquareSet set;
  bool saved;
};

// Long enough for any algebraic move text, such as "Qa1xb2+" or "exd8=Q+".
constexpr int MoveTextCapacity = 12;

// One entry per move made; everything the unmaking needs is here.
struct THist {
  TMove m;
  TBoardPiece Capture;  // kind on the destination before the move; bpEmpty for en passant
  std::uint32_t castle;
  bool castleOK[2];
  std::int32_t ep;
  std::uint32_t fifty;
  std::uint32_t HistHash;  // also the key the repetition test compares
  std::uint32_t HistHashP;
  TIndex Index;
  char Notation[MoveTextCapacity];
  TSavedKingLines SavedKingLines[2];
  std::int32_t CaptureSquare;
};

struct TPieceEntry {
  TSquareSet LinesOfSight;  // king entries only: the king's lines of sight
  std::int32_t Square;      // kept when the piece is captured
  bool Active;
  bool CouldCastle;    // king: the side held a castling right when the board was prepared
  TCastled CastledAs;  // king: castled in the current line of play
};

// Index 1 is the king; 0 is unused so that indices read as in the lists' rules.
constexpr int PieceListSize = 16;
struct TPieceList {
  TPieceEntry Men[PieceListSize + 1];
};

// Deepest ply that may generate moves; the search never goes deeper.
constexpr int MaxPly = 39;
// Room on the move stack for every ply generating at once. A chess position
// has at most 218 moves, so 40 plies of 256 cannot overflow.
constexpr int GenStackSize = (MaxPly + 1) * 256;

constexpr int NoSquare = -1;

// Scores are centipawns from the side to move's view; a side mated at ply p
// scores p - MateScore, and anything beyond MateBound is a mate.
constexpr std::int32_t MateScore = 10000;
constexpr std::int32_t MateBound = 9000;

// Castling rights, the bits of Castle.
enum TCastlingRight : std::uint32_t {
  WhiteKingSide = 1,
  WhiteQueenSide = 2,
  BlackKingSide = 4,
  BlackQueenSide = 8,
  WhiteCastling = WhiteKingSide | WhiteQueenSide,
  BlackCastling = BlackKingSide | BlackQueenSide,
  AllCastling = WhiteCastling | BlackCastling,
};
constexpr std::uint32_t CastlingOf(TSide side) { return side == Light ? WhiteCastling : BlackCastling; }

// Centipawns of each kind, the one table of piece values: capture ordering
// and the evaluation's material read it. Kings and empty squares count 0.
inline constexpr std::array<std::int32_t, 7> PieceValue = {100, 300, 310, 470, 900, 0, 0};

// The board state every board owner holds: the protocol object and each
// search thread. Plain fields, so that the hot paths work on them directly.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "board/castling.h"
#include "board/types.h"

using TBoardColor = std::array<TBoardSide, 64>;
using TBoardNature = std::array<TBoardPiece, 64>;

class TBoardState {
 public:
  TBoardState();
  virtual ~TBoardState() = default;
  TBoardState(const TBoardState&) = default;
  TBoardState& operator=(const TBoardState&) = default;

  // Empties the move stack and the history.
  virtual void ClearStacks();

  // Makes sure the history can take `entries` moves in all. Game histories
  // have no fixed length, so the history grows; the search asks for its
  // deepest line on top before it starts, so that it never grows mid-search.
  void ReserveHistory(std::size_t entries);

  std::uint32_t hash = 0;
  std::uint32_t hashP = 0;
  std::array<std::uint32_t, 2> LastListIndex{};  // each side's last piece-list index in use
  TBoardColor Color{};
  TBoardNature Piece{};
  std::array<TGen, GenStackSize> MoveStack{};
  std::array<std::int32_t, MaxPly + 1> FirstMove{};
  std::vector<THist> GameHistory;
  TSide Side = Light;
  TSide XSide = Dark;
  TSide Ordiside = Light;
  std::uint32_t Castle = 0;
  TCastlingSetup Castling;  // fixed for the game
  std::int32_t EP = NoSquare;
  std::uint32_t HalfmoveClock = 0;
  std::uint32_t Ply = 0;
  std::uint32_t HistoryLength = 0;
};

// History entries every board starts with; enough for a long game and a search.
constexpr std::size_t InitialHistoryCapacity = 1024;

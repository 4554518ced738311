#include "search/control.h"

std::atomic<std::uint8_t> TimeMode{tmFixedDepth};
std::atomic<std::int32_t> GoTime{0};
std::atomic<std::int32_t> MaxDepth{0};
std::atomic<bool> Pondering{false};
std::atomic<bool> SearchStopped{false};
std::atomic<bool> StopRequested{false};
std::atomic<bool> MateFound{false};
std::atomic<bool> NoInfoOutput{false};
std::atomic<bool> ClearHashPending{true};
std::atomic<std::int32_t> HashSizeMB{32};
std::atomic<std::int32_t> ThreadsCount{1};
std::atomic<std::int32_t> TBMenLimit{0};
std::atomic<std::uint32_t> ProcessorCount{1};
std::atomic<bool> RootInCheck{false};

TLevel Level;
TRootMoveFilter SearchMoves;
std::atomic<std::int32_t> MoveOverhead{DefaultMoveOverhead};
std::atomic<std::uint32_t> NodeLimit{0};
std::atomic<bool> DepthLimitGiven{false};

void ApplySearchOrder(const TSearchOrder& order) {
  TimeMode = order.TimeMode;
  GoTime = order.GoTime;
  MaxDepth = order.MaxDepth;
  DepthLimitGiven = order.DepthLimitGiven;
  NodeLimit = order.NodeLimit;
  Pondering = order.Ponder;
  Level = order.Level;
  SearchMoves = order.SearchMoves;
}

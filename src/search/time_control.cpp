#include "search/time_control.h"

#include "search/control.h"

std::atomic<std::int64_t> StartTick{0};
std::atomic<std::int64_t> Deadline{0};
std::atomic<std::int64_t> TimeSlice{0};
std::atomic<std::int64_t> TimeAllotted{0};
std::atomic<std::int64_t> SpareTime{0};
std::atomic<std::int32_t> BonusCount{0};
std::atomic<bool> BonusAllowed{false};
std::atomic<bool> BonusGranted{false};
std::atomic<bool> HelpActive{false};
std::atomic<std::int32_t> HelpDepth{0};
std::atomic<std::int32_t> HelpThread{0};
std::atomic<std::int64_t> SavedDeadline{0};
std::atomic<std::int64_t> ClockLimit{NoDeadline};

void TTime::InitAll() {
  StartTick = 0;
  Deadline = 0;
  TimeSlice = 0;
  TimeAllotted = 0;
  SpareTime = 0;
  SavedDeadline = 0;
  ClockLimit = NoDeadline;
  HelpActive = false;
  HelpDepth = 0;
  HelpThread = 0;
  GoTime = 0;
  MaxDepth = 0;
}

void TTime::Init() {
  HelpThread = 0;
  HelpDepth = 0;
  HelpActive = false;
}

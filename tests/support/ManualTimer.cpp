#include "support/ManualTimer.h"

#include <utility>

void TManualTimer::SetEnabled(bool Value) {
  if (Value == FEnabled)
    return;
  FEnabled = Value;
  if (Value) {
    ++FEnableCount;
    FEnableIntervals.push_back(FInterval);
    Log(TEventKind::On);
  } else {
    ++FDisableCount;
    Log(TEventKind::Off);
  }
}

void TManualTimer::SetInterval(uint16_t Value) {
  if (Value == FInterval)
    return;
  FInterval = Value;
  Log(TEventKind::Interval);
}

void TManualTimer::SetOnTimer(TNotifyEvent Value) {
  FOnTimer = std::move(Value);
  Log(TEventKind::Handler);
}

bool TManualTimer::Fire() {
  if (!FEnabled || FInterval == 0 || !FOnTimer)
    return false;
  ++FFireCount;
  Log(TEventKind::TickBegin);
  // A copy: handlers replace or remove themselves while they run.
  const TNotifyEvent Handler = FOnTimer;
  Handler();
  Log(TEventKind::TickEnd);
  return true;
}

bool TManualTimer::SwitchedOffFirstInEveryTick() const {
  for (size_t I = 0; I < FEvents.size(); ++I) {
    if (FEvents[I].Kind != TEventKind::TickBegin)
      continue;
    if (I + 1 >= FEvents.size() || FEvents[I + 1].Kind != TEventKind::Off)
      return false;
  }
  return true;
}

void TManualTimer::ClearLog() {
  FEnableCount = 0;
  FDisableCount = 0;
  FFireCount = 0;
  FEnableIntervals.clear();
  FEvents.clear();
}

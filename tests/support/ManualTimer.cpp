#include "support/ManualTimer.h"

#include <algorithm>
#include <utility>

void TManualTimer::SetEnabled(bool Value) {
  if (Value == FEnabled)
    return;
  FEnabled = Value;
  if (Value && FClock != nullptr)
    FStartUs = TEventTime::Current() >= 0 ? TEventTime::Current() : FClock->NowUs();
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
  if (FClock == nullptr) {
    Handler();
  } else {
    const int64_t Due = DueUs();
    FClock->SetNowUs(std::max(FClock->NowUs(), Due - FAheadUs));
    const TEventTime Scope(Due);
    // A timer left on ticks again one interval on.
    FStartUs = Due;
    Handler();
  }
  Log(TEventKind::TickEnd);
  return true;
}

void TManualTimer::RunAhead(TManualClock& Clock, int64_t AheadUs) {
  FClock = &Clock;
  FAheadUs = AheadUs;
  FStartUs = Clock.NowUs();
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

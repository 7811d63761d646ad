#pragma once

#include "sound/TickTimer.h"
#include "support/ManualClock.h"

#include <cstdint>
#include <vector>

// A timer that ticks only when the test calls Fire(). It keeps the rules of
// the real timers (a setter acts only on a changed value; no tick while off,
// at Interval 0 or without a handler) and writes down what was done to it, so
// a test can check how a handler drives its timer.
class TManualTimer final : public TTickTimer {
public:
  enum class TEventKind { On, Off, Interval, Handler, TickBegin, TickEnd };
  struct TEvent {
    TEventKind Kind;
    // Interval at the time of the event.
    uint16_t Interval;
  };

  explicit TManualTimer(bool Enabled = false, uint16_t Interval = 1000)
      : FEnabled(Enabled), FInterval(Interval) {}

  bool Enabled() const override { return FEnabled; }
  void SetEnabled(bool Value) override;
  uint16_t Interval() const override { return FInterval; }
  void SetInterval(uint16_t Value) override;
  bool HasOnTimer() const override { return static_cast<bool>(FOnTimer); }
  void SetOnTimer(TNotifyEvent Value) override;

  // One tick, if the timer may tick now; true if the handler ran.
  bool Fire();

  // Ticks as the program's sound timers do: each interval counts from the
  // clock's "now" at the switch-on (the event time inside a handler), a tick
  // moves the clock to AheadUs before its due time, unless it is later, and
  // its handler sees the due time as the event time.
  void RunAhead(TManualClock& Clock, int64_t AheadUs);
  // The due time of the next tick while the timer runs ahead.
  int64_t DueUs() const { return FStartUs + int64_t{FInterval} * 1000; }

  // Switches from off to on, and from on to off.
  int EnableCount() const { return FEnableCount; }
  int DisableCount() const { return FDisableCount; }
  // Ticks that ran the handler.
  int FireCount() const { return FFireCount; }
  // Interval at each switch from off to on, in order.
  const std::vector<uint16_t>& EnableIntervals() const { return FEnableIntervals; }
  const std::vector<TEvent>& Events() const { return FEvents; }
  // Whether every tick so far began by switching the timer off, before any
  // other change to it; true when there was no tick.
  bool SwitchedOffFirstInEveryTick() const;
  // Forgets the counts and events, not the state.
  void ClearLog();

private:
  void Log(TEventKind Kind) { FEvents.push_back({Kind, FInterval}); }

  bool FEnabled;
  uint16_t FInterval;
  TManualClock* FClock = nullptr;
  int64_t FAheadUs = 0;
  int64_t FStartUs = 0;
  TNotifyEvent FOnTimer;
  int FEnableCount = 0;
  int FDisableCount = 0;
  int FFireCount = 0;
  std::vector<uint16_t> FEnableIntervals;
  std::vector<TEvent> FEvents;
};

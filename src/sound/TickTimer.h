#pragma once

#include <cstdint>
#include <functional>

// What the session, the speed test and the replay window use of a timer: the
// properties of the design's timers. Realised by TThreadedTimer (ArbTimer,
// MemTimer), TWindowTimer (Timer1) and, in tests, a timer fired by hand.
using TNotifyEvent = std::function<void()>;

class TTickTimer {
public:
  virtual ~TTickTimer() = default;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool Value) = 0;
  // Milliseconds.
  virtual uint16_t Interval() const = 0;
  virtual void SetInterval(uint16_t Value) = 0;
  virtual bool HasOnTimer() const = 0;
  virtual void SetOnTimer(TNotifyEvent Value) = 0;
  // Stop: switched off, and a tick handed over ahead of its time or a sleep
  // that runs is dropped, so that nothing of the run stopped comes later and
  // the next switch-on counts afresh.
  virtual void Cancel() { SetEnabled(false); }
};

#pragma once

#include <cstdint>

// Milliseconds and microseconds of a monotonic clock, behind an interface so
// that the session, the speed test and the replay window can be driven by a
// clock the tests control.
//
// Event time: while the interface thread handles a timer tick or the end of a
// sound block, "now" is the moment that event was due, not the moment the
// thread got round to it. A pause started from a completion therefore counts
// from the real end of the sound, and a block started from a tick is placed on
// the audio stream where the tick was due, whatever the scheduling delay.
class TClock {
public:
  virtual ~TClock() = default;
  virtual int64_t NowUs() = 0;
  // The counterpart of GetTickCount: milliseconds, wrapping at 2^32.
  uint32_t GetTickCount() { return static_cast<uint32_t>(NowUs() / 1000); }
};

// The real clock: std::chrono::steady_clock, or the due time of the event
// being handled in this thread (see TEventTime).
class TSteadyClock final : public TClock {
public:
  int64_t NowUs() override;
  // Real time, never the event time.
  static int64_t RealNowUs();
  // The program's one clock.
  static TSteadyClock& Instance();
};

// Scope in which the current thread is handling an event that was due at
// DueUs (on the steady clock). Nested scopes restore the outer one. An event
// time that lies more than MaxLagUs behind real time is not used: after a
// modal loop or a long stall, "now" is real time again. An event may also be
// handled before it is due, by at most AheadUs: a tick of a timer that paces
// sounds, or the end of a block that only a pause follows, reaches the
// interface thread that much early, so that the sound it starts is on the
// stream in time even when that thread is held up.
class TEventTime {
public:
  explicit TEventTime(int64_t DueUs);
  ~TEventTime();
  TEventTime(const TEventTime&) = delete;
  TEventTime& operator=(const TEventTime&) = delete;

  // Below the Qt wave output's lead (TQtWaveDevice::TSettings::LeadMs), so
  // that a block started this late still lands where it was due.
  static constexpr int64_t MaxLagUs = 140000;
  // Longer than a stall of the interface thread (200 ms) plus the output's
  // buffer, so that what such an event starts still lands where it is due.
  static constexpr int64_t AheadUs = 300000;
  // The due time in force for this thread, or -1.
  static int64_t Current();

private:
  int64_t FPrevious;
};

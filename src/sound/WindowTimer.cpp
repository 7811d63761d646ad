#include "sound/WindowTimer.h"

#include "base/Clock.h"

#include <QTimer>
#include <algorithm>

TWindowTimer::TWindowTimer(QObject* AOwner) : QObject(AOwner), FTimer(new QTimer(this)) {
  // A count-down of whole seconds shown to the learner must not drift by
  // the few percent a coarse timer allows.
  FTimer->setTimerType(Qt::PreciseTimer);
  connect(FTimer, &QTimer::timeout, this, &TWindowTimer::Tick);
}

TWindowTimer::~TWindowTimer() = default;

void TWindowTimer::SetEnabled(bool Value) {
  if (Value == FEnabled)
    return;
  FEnabled = Value;
  UpdateTimer();
}

void TWindowTimer::SetInterval(uint16_t Value) {
  if (Value == FInterval)
    return;
  FInterval = Value;
  UpdateTimer();
}

void TWindowTimer::SetOnTimer(TNotifyEvent Value) {
  FOnTimer = std::move(Value);
  UpdateTimer();
}

void TWindowTimer::UpdateTimer() {
  FTimer->stop();
  if (FInterval != 0 && FEnabled && FOnTimer) {
    FStartUs = TSteadyClock::RealNowUs();
    FTimer->start(FInterval);
  }
}

void TWindowTimer::Tick() {
  // A timeout already on its way when the timer was stopped is no tick.
  if (!FTimer->isActive() || FInterval == 0)
    return;
  // The tick was due at the whole number of intervals nearest to now; one
  // that comes too late for that to matter falls back to real time in the
  // clock.
  const int64_t IntervalUs = static_cast<int64_t>(FInterval) * 1000;
  const int64_t ElapsedUs = TSteadyClock::RealNowUs() - FStartUs;
  const int64_t Periods = std::max<int64_t>(1, (ElapsedUs + IntervalUs / 2) / IntervalUs);
  const TEventTime Scope(FStartUs + Periods * IntervalUs);
  // A copy: handlers replace or remove themselves while they run.
  const TNotifyEvent Handler = FOnTimer;
  if (Handler)
    Handler();
}

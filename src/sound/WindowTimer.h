#pragma once

#include "sound/TickTimer.h"

#include <QObject>
#include <cstdint>

class QTimer;

// The plain interface-thread timer (Timer1: the count-down before exercise 4
// and the Repeat offer). It ticks every Interval while enabled; every change
// of a property starts the interval afresh. Interval 0 or no handler: no
// ticks. While the handler runs, "now" is the moment the tick was due.
class TWindowTimer : public QObject, public TTickTimer {
  Q_OBJECT

public:
  explicit TWindowTimer(QObject* AOwner);
  ~TWindowTimer() override;
  TWindowTimer(const TWindowTimer&) = delete;
  TWindowTimer& operator=(const TWindowTimer&) = delete;

  bool Enabled() const override { return FEnabled; }
  void SetEnabled(bool Value) override;
  uint16_t Interval() const override { return FInterval; }
  void SetInterval(uint16_t Value) override;
  bool HasOnTimer() const override { return static_cast<bool>(FOnTimer); }
  void SetOnTimer(TNotifyEvent Value) override;

private:
  void UpdateTimer();
  void Tick();

  bool FEnabled = false;
  uint16_t FInterval = 1000;
  TNotifyEvent FOnTimer;
  QTimer* FTimer;
  // Steady-clock microseconds at which the running interval began.
  int64_t FStartUs = 0;
};

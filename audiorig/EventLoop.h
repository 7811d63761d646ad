#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <functional>

// The test thread is the interface thread: waiting means running its event
// loop, so that queued completions and timer ticks arrive meanwhile.
inline void SpinFor(int Ms) {
  QDeadlineTimer Deadline(Ms);
  while (!Deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

inline void SpinUntil(const std::function<bool()>& Cond, int TimeoutMs) {
  QDeadlineTimer Deadline(TimeoutMs);
  while (!Cond() && !Deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

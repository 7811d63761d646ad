#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <functional>

// The test thread is the interface thread: waiting means running its event
// loop, so that queued completions and timer ticks arrive meanwhile. The
// loop sleeps until an event comes; a 5 ms timer wakes it to look at the
// condition, so that a wait of minutes does not keep a core busy beside
// the sound it measures.
inline void SpinUntil(const std::function<bool()>& Cond, int TimeoutMs) {
  QDeadlineTimer Deadline(TimeoutMs);
  QTimer Wake;
  Wake.start(5);
  while (!Cond() && !Deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

inline void SpinFor(int Ms) {
  SpinUntil([] { return false; }, Ms);
}

#pragma once

#include "base/Clock.h"
#include "sound/TickTimer.h"

#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

// Priority of a timer's worker, from least to most CPU. Where the system
// refuses a priority (raising it needs rights the program may not have), the
// worker keeps the one it has and the timer works as before.
enum class TThreadPriority { Idle, Lowest, Lower, Normal, Higher, Highest, TimeCritical };

class TThreadedTimer;

// The worker of a TThreadedTimer. It sleeps its interval, then has the tick
// run in the interface thread and waits until it has returned, so ticks never
// overlap and never pile up. The interface thread suspends and resumes it;
// a suspended worker stops wherever it is, but a sleep it was in keeps
// running out in real time.
class TTimerThread {
public:
  // Starts suspended.
  TTimerThread(TThreadedTimer& Owner, uint32_t IntervalMs, TThreadPriority Priority);
  // Ends the worker from whatever it is waiting for, and waits for it: it
  // never waits for the interface thread while it is being ended.
  ~TTimerThread();
  TTimerThread(const TTimerThread&) = delete;
  TTimerThread& operator=(const TTimerThread&) = delete;

  // The rest is called in the interface thread only.
  bool Suspended() const;
  void Suspend();
  // Suspends and drops the running sleep or the tick not yet handed over.
  void Cancel();
  // StartUs (steady clock): where a sleep that begins after this resume
  // counts from; a sleep already running goes on as it is.
  void Resume(int64_t StartUs);
  // Read at the start of the next sleep.
  void SetIntervalMs(uint32_t IntervalMs);
  // How long before its due time the tick is handed over.
  void SetAheadUs(int64_t AheadUs);
  void SetPriority(TThreadPriority Priority);
  // The tick: the owner's Timer.
  void DoTimer();
  // The queued tick has reached the interface thread.
  void HandOver();

private:
  // Waiting: no sleep runs (just created, or the last tick switched the timer
  // off). Sleeping: a sleep runs until FDueUs, or has run out and the tick
  // is due. HandingOver: the tick has been sent to the interface thread.
  enum class TPhase { Waiting, Sleeping, HandingOver };

  void Execute();
  void StartSleep(int64_t StartUs);
  template <class TPredicate> void WaitWhile(std::unique_lock<std::mutex>& Lock, TPredicate Busy);
  void WaitUntilDue(std::unique_lock<std::mutex>& Lock);
  void ApplyPriority();

  TThreadedTimer& FOwner;
  mutable std::mutex FMutex;
  std::condition_variable FWake;
  bool FSuspended = true;
  bool FTerminated = false;
  uint32_t FIntervalMs;
  int64_t FAheadUs = 0;
  TThreadPriority FPriority;
  // Worker only: the priority the system last accepted or refused.
  TThreadPriority FAppliedPriority = TThreadPriority::Normal;
  bool FPriorityTried = false;
  int FStartNice = 0;
  TPhase FPhase = TPhase::Waiting;
  // The timer was switched on while its tick ran: the next sleep counts from
  // FResumeUs, not from the end of the tick.
  bool FStartFromResume = false;
  int64_t FResumeUs = 0;
  // Steady-clock microseconds at which the current sleep ends.
  int64_t FDueUs = 0;
  bool FTickRunning = false;
  // The handler threw: the worker has ended.
  bool FFailed = false;
  std::thread FThread;
};

// A timer whose ticks are paced by a worker thread and whose handler always
// runs in the interface thread. Used for ArbTimer and MemTimer; destroyed with
// its owner.
//
// Every change of a property first stops the worker wherever it is and lets
// it go on only if the timer may tick (Interval not 0, Enabled, a handler).
// The first tick comes one Interval after the timer is switched on; a handler
// that switches its timer off and a later switch-on give one tick one
// Interval after the switch-on. That interval counts from "now" of the clock
// at the switch-on, so an enable from the completion of a sound counts from
// the end of the sound; the handler sees the tick's due time as "now".
class TThreadedTimer : public QObject, public TTickTimer {
  Q_OBJECT

public:
  explicit TThreadedTimer(QObject* AOwner, TClock& Clock = TSteadyClock::Instance());
  ~TThreadedTimer() override;
  TThreadedTimer(const TThreadedTimer&) = delete;
  TThreadedTimer& operator=(const TThreadedTimer&) = delete;

  bool Enabled() const override { return FEnabled; }
  void SetEnabled(bool Value) override;
  uint16_t Interval() const override { return FInterval; }
  void SetInterval(uint16_t Value) override;
  bool HasOnTimer() const override { return static_cast<bool>(FOnTimer); }
  void SetOnTimer(TNotifyEvent Value) override;
  void Cancel() override;
  TThreadPriority ThreadPriority() const { return FThreadPriority; }
  void SetThreadPriority(TThreadPriority Value);
  // A timer that paces sounds hands its tick to the interface thread this
  // long (at most TEventTime::AheadUs) before it is due; the handler still
  // sees the due time as "now", so the sound it starts is placed on the
  // stream where it is due, however late the interface thread gets to it.
  // 0 (the default): the tick comes when it is due.
  void SetAheadUs(int64_t Value);

protected:
  // One tick: OnTimer, if a handler is assigned.
  virtual void Timer();

private Q_SLOTS:
  void TickDue();

private:
  friend class TTimerThread;

  void UpdateTimer();

  bool FEnabled = true;
  uint16_t FInterval = 1000;
  TThreadPriority FThreadPriority = TThreadPriority::Normal;
  TNotifyEvent FOnTimer;
  TClock& FClock;
  std::unique_ptr<TTimerThread> FThread;
};

// A threaded timer whose ticks start sounds (the session's and speed test's
// ArbTimer, the replay window's timer), set up as the program uses it:
// disabled, at the given priority, its ticks handed over TEventTime::AheadUs
// early. Without the early tick a block it starts misses its due position on
// the stream and is placed at the first free one, a few milliseconds late
// every time; a test or benchmark that stands for the program uses this too.
class TSoundTimer final : public TThreadedTimer {
public:
  explicit TSoundTimer(TThreadPriority Priority, TClock& Clock = TSteadyClock::Instance());
};

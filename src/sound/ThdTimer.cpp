#include "sound/ThdTimer.h"

#include <QMetaObject>
#include <QPointer>
#include <algorithm>
#include <chrono>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#elif defined(__linux__)
#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

std::chrono::steady_clock::time_point SteadyTimePoint(int64_t Us) {
  return std::chrono::steady_clock::time_point(std::chrono::microseconds(Us));
}

// Where a sleep that begins after a switch-on counts from: the clock's "now",
// which inside the handling of an event is the moment the event was due. It
// is put on the steady clock the worker sleeps on, and a clock that runs
// ahead of real time or too far behind it can neither lengthen the sleep nor
// shorten it by more than an event time may.
//
// An event handled before it was due (see TEventTime::AheadUs) counts from
// its due time, so that a pause after the early end of a block still counts
// from the moment the block is heard to end.
int64_t ResumeStartUs(TClock& Clock) {
  const int64_t RealUs = TSteadyClock::RealNowUs();
  const int64_t NowUs = Clock.NowUs();
  if (NowUs > RealUs && NowUs == TEventTime::Current() && NowUs - RealUs <= TEventTime::AheadUs)
    return NowUs;
  const int64_t LagUs = std::clamp<int64_t>(RealUs - NowUs, 0, TEventTime::MaxLagUs);
  return RealUs - LagUs;
}

#if defined(_WIN32)
int SystemPriority(TThreadPriority Priority) {
  switch (Priority) {
  case TThreadPriority::Idle:
    return THREAD_PRIORITY_IDLE;
  case TThreadPriority::Lowest:
    return THREAD_PRIORITY_LOWEST;
  case TThreadPriority::Lower:
    return THREAD_PRIORITY_BELOW_NORMAL;
  case TThreadPriority::Normal:
    return THREAD_PRIORITY_NORMAL;
  case TThreadPriority::Higher:
    return THREAD_PRIORITY_ABOVE_NORMAL;
  case TThreadPriority::Highest:
    return THREAD_PRIORITY_HIGHEST;
  case TThreadPriority::TimeCritical:
    return THREAD_PRIORITY_TIME_CRITICAL;
  }
  return THREAD_PRIORITY_NORMAL;
}
#else
// Steps of the nice value away from the one the worker started with; nice
// counts the other way round (higher means less CPU).
int NiceOffset(TThreadPriority Priority) {
  switch (Priority) {
  case TThreadPriority::Idle:
    return 15;
  case TThreadPriority::Lowest:
    return 2;
  case TThreadPriority::Lower:
    return 1;
  case TThreadPriority::Normal:
    return 0;
  case TThreadPriority::Higher:
    return -1;
  case TThreadPriority::Highest:
    return -2;
  case TThreadPriority::TimeCritical:
    return -15;
  }
  return 0;
}
#endif

} // namespace

// --- TTimerThread ---------------------------------------------------------

TTimerThread::TTimerThread(TThreadedTimer& Owner, uint32_t IntervalMs, TThreadPriority Priority)
    : FOwner(Owner), FIntervalMs(IntervalMs), FPriority(Priority) {
  FThread = std::thread([this] { Execute(); });
}

TTimerThread::~TTimerThread() {
  {
    std::lock_guard Lock(FMutex);
    FTerminated = true;
  }
  FWake.notify_all();
  if (FThread.joinable())
    FThread.join();
}

bool TTimerThread::Suspended() const {
  std::lock_guard Lock(FMutex);
  return FSuspended;
}

void TTimerThread::Suspend() {
  std::lock_guard Lock(FMutex);
  FSuspended = true;
}

void TTimerThread::Cancel() {
  {
    std::lock_guard Lock(FMutex);
    FSuspended = true;
    // A tick queued for the interface thread finds nothing to hand over;
    // one that runs ends as a switched-off one.
    if (FPhase == TPhase::Sleeping || (FPhase == TPhase::HandingOver && !FTickRunning))
      FPhase = TPhase::Waiting;
  }
  FWake.notify_all();
}

void TTimerThread::Resume(int64_t StartUs) {
  {
    std::lock_guard Lock(FMutex);
    FSuspended = false;
    switch (FPhase) {
    case TPhase::Waiting:
      // The sleep starts here, whenever the worker gets the processor.
      StartSleep(StartUs);
      break;
    case TPhase::HandingOver:
      FResumeUs = StartUs;
      FStartFromResume = true;
      break;
    case TPhase::Sleeping:
      // The running sleep goes on.
      break;
    }
  }
  FWake.notify_all();
}

// Mutex held. The interval is the one current at this moment.
void TTimerThread::StartSleep(int64_t StartUs) {
  FDueUs = StartUs + static_cast<int64_t>(FIntervalMs) * 1000;
  FPhase = TPhase::Sleeping;
}

void TTimerThread::SetIntervalMs(uint32_t IntervalMs) {
  std::lock_guard Lock(FMutex);
  FIntervalMs = IntervalMs;
}

void TTimerThread::SetAheadUs(int64_t AheadUs) {
  {
    std::lock_guard Lock(FMutex);
    FAheadUs = std::clamp<int64_t>(AheadUs, 0, TEventTime::AheadUs);
  }
  FWake.notify_all();
}

void TTimerThread::SetPriority(TThreadPriority Priority) {
  {
    std::lock_guard Lock(FMutex);
    FPriority = Priority;
  }
  // A suspended worker takes it on at once, not only when it next runs.
  FWake.notify_all();
}

void TTimerThread::DoTimer() {
  FOwner.Timer();
}

void TTimerThread::Execute() {
  std::unique_lock Lock(FMutex);
  ApplyPriority();
  for (;;) {
    WaitUntilDue(Lock);
    if (FTerminated)
      return;
    FPhase = TPhase::HandingOver;
    // A queued call rather than a blocking one: the worker waits on its own
    // condition, which the destruction of the timer also ends, so destroying
    // the timer while a tick waits for the interface thread cannot deadlock,
    // and Qt drops the call if the timer is gone before it runs. The call
    // goes by name and carries nothing: what the tick needs is read under
    // the worker's lock once it runs.
    if (!QMetaObject::invokeMethod(&FOwner, "TickDue", Qt::QueuedConnection))
      return;
    // The interface thread starts the next sleep, or leaves the worker
    // waiting, when the tick has returned.
    WaitWhile(Lock, [this] { return FPhase == TPhase::HandingOver && !FFailed; });
    if (FTerminated || FFailed)
      return;
  }
}

template <class TPredicate>
void TTimerThread::WaitWhile(std::unique_lock<std::mutex>& Lock, TPredicate Busy) {
  while (!FTerminated && Busy()) {
    FWake.wait(Lock);
    ApplyPriority();
  }
}

// Until a sleep has run out and the worker may go on. The deadline is
// absolute, so waking early (a property change) or late costs no exactness,
// and the sleep runs out in real time while the worker is suspended.
void TTimerThread::WaitUntilDue(std::unique_lock<std::mutex>& Lock) {
  while (!FTerminated) {
    if (FSuspended || FPhase != TPhase::Sleeping)
      FWake.wait(Lock);
    else if (TSteadyClock::RealNowUs() < FDueUs - FAheadUs)
      FWake.wait_until(Lock, SteadyTimePoint(FDueUs - FAheadUs));
    else
      return;
    ApplyPriority();
  }
}

// Worker thread, mutex held. Failure is ignored: the priority is a wish.
void TTimerThread::ApplyPriority() {
  if (FPriorityTried && FPriority == FAppliedPriority)
    return;
#if defined(_WIN32)
  SetThreadPriority(GetCurrentThread(), SystemPriority(FPriority));
#elif defined(__linux__)
  // On Linux the nice value of a thread id is that thread's own. It is taken
  // relative to the value the worker started with, so that Normal is the
  // program's own.
  const auto Tid = static_cast<id_t>(gettid());
  if (!FPriorityTried) {
    errno = 0;
    const int Nice = getpriority(PRIO_PROCESS, Tid);
    FStartNice = errno == 0 ? Nice : 0;
  }
  const int Wanted = std::clamp(FStartNice + NiceOffset(FPriority), -20, 19);
  setpriority(PRIO_PROCESS, Tid, Wanted);
#endif
  FPriorityTried = true;
  FAppliedPriority = FPriority;
}

// Interface thread: run the tick the worker is waiting for and let it go on.
void TTimerThread::HandOver() {
  int64_t DueUs = 0;
  {
    std::lock_guard Lock(FMutex);
    if (FPhase != TPhase::HandingOver || FTickRunning)
      return;
    if (FSuspended) {
      // Switched off before the interface thread got to the tick: no handler
      // runs while the timer is off. Like a sleep that ran out while switched
      // off, the tick stays due and comes as soon as the timer is on again.
      FPhase = TPhase::Sleeping;
      FWake.notify_all();
      return;
    }
    DueUs = FDueUs;
    // Only a switch-on during the tick itself sets where the next sleep
    // counts from.
    FStartFromResume = false;
    FTickRunning = true;
  }
  const QPointer<TThreadedTimer> Alive(&FOwner);
  bool Failed = false;
  {
    const TEventTime Scope(DueUs);
    try {
      DoTimer();
    } catch (...) {
      // Ends the worker: the timer does not tick again.
      Failed = true;
    }
  }
  // The handler may have destroyed the timer, and the worker with it.
  if (!Alive)
    return;
  {
    std::lock_guard Lock(FMutex);
    FTickRunning = false;
    if (Failed)
      FFailed = true;
    else if (FSuspended)
      FPhase = TPhase::Waiting;
    else
      // A tick handled before its due time counts on from that time.
      StartSleep(FStartFromResume ? FResumeUs : std::max(TSteadyClock::RealNowUs(), DueUs));
    FStartFromResume = false;
  }
  FWake.notify_all();
}

// --- TThreadedTimer -------------------------------------------------------

TThreadedTimer::TThreadedTimer(QObject* AOwner, TClock& Clock)
    : QObject(AOwner), FClock(Clock),
      FThread(std::make_unique<TTimerThread>(*this, FInterval, FThreadPriority)) {}

TThreadedTimer::~TThreadedTimer() {
  FEnabled = false;
  UpdateTimer();
  FThread.reset();
}

void TThreadedTimer::SetEnabled(bool Value) {
  if (Value == FEnabled)
    return;
  FEnabled = Value;
  UpdateTimer();
}

void TThreadedTimer::SetInterval(uint16_t Value) {
  if (Value == FInterval)
    return;
  FInterval = Value;
  FThread->SetIntervalMs(Value);
  UpdateTimer();
}

void TThreadedTimer::SetOnTimer(TNotifyEvent Value) {
  FOnTimer = std::move(Value);
  UpdateTimer();
}

void TThreadedTimer::Cancel() {
  FEnabled = false;
  FThread->Cancel();
}

void TThreadedTimer::SetAheadUs(int64_t Value) {
  FThread->SetAheadUs(Value);
}

void TThreadedTimer::SetThreadPriority(TThreadPriority Value) {
  if (Value == FThreadPriority)
    return;
  FThreadPriority = Value;
  FThread->SetPriority(Value);
  UpdateTimer();
}

void TThreadedTimer::Timer() {
  // A copy: handlers replace or remove themselves while they run.
  const TNotifyEvent Handler = FOnTimer;
  if (Handler)
    Handler();
}

void TThreadedTimer::TickDue() {
  FThread->HandOver();
}

void TThreadedTimer::UpdateTimer() {
  if (!FThread->Suspended())
    FThread->Suspend();
  if (FInterval != 0 && FEnabled && FOnTimer)
    FThread->Resume(ResumeStartUs(FClock));
}

TSoundTimer::TSoundTimer(TThreadPriority Priority, TClock& Clock) : TThreadedTimer(nullptr, Clock) {
  SetEnabled(false);
  SetThreadPriority(Priority);
  SetAheadUs(TEventTime::AheadUs);
}

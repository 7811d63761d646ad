#include "sound/ThdTimer.h"
#include "sound/WindowTimer.h"
#include "support/ManualClock.h"
#include "support/ManualTimer.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#if defined(__linux__)
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#endif

namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;

int64_t RealUs() {
  return TSteadyClock::RealNowUs();
}
int64_t Ms(int64_t Us) {
  return Us / 1000;
}

// The test thread is the interface thread: waiting means running its event
// loop. A short poll timer wakes the loop so the condition is looked at.
bool SpinUntil(const std::function<bool()>& Done, milliseconds Timeout) {
  QTimer Poll;
  Poll.setTimerType(Qt::PreciseTimer);
  Poll.start(1);
  const auto Deadline = std::chrono::steady_clock::now() + Timeout;
  while (!Done()) {
    if (std::chrono::steady_clock::now() >= Deadline)
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return true;
}

void SpinFor(milliseconds Time) {
  SpinUntil([] { return false; }, Time);
}

// Until the real clock reaches AtUs.
void SpinUntilUs(int64_t AtUs) {
  SpinUntil([AtUs] { return RealUs() >= AtUs; }, milliseconds(Ms(AtUs - RealUs()) + 1));
}

// Keeps the interface thread from its events, as a long handler elsewhere
// would; it does not sleep.
void KeepBusy(milliseconds Time) {
  const auto End = std::chrono::steady_clock::now() + Time;
  while (std::chrono::steady_clock::now() < End)
    std::this_thread::yield();
}

// Real times of the ticks of one timer.
struct TTicks {
  std::vector<int64_t> AtUs;
  void Record() { AtUs.push_back(RealUs()); }
  size_t Count() const { return AtUs.size(); }
  bool Reached(size_t N, milliseconds Timeout) {
    return SpinUntil([this, N] { return AtUs.size() >= N; }, Timeout);
  }
};

// A timer set up the way its users set it up: designed disabled.
void Prepare(TThreadedTimer& Timer, uint16_t IntervalMs, TNotifyEvent Handler) {
  Timer.SetEnabled(false);
  Timer.SetInterval(IntervalMs);
  Timer.SetOnTimer(std::move(Handler));
}

// --- TThreadedTimer: pacing ------------------------------------------------

TEST(ThreadedTimer, HasDesignDefaultsAndDiesWithItsOwner) {
  auto* Owner = new QObject;
  // Read through the plain pointer: GCC 12 at -O2 does not see that the
  // QPointer is set (-Wnull-dereference).
  auto* Made = new TThreadedTimer(Owner);
  QPointer<TThreadedTimer> Timer = Made;
  EXPECT_TRUE(Made->Enabled());
  EXPECT_EQ(Made->Interval(), 1000);
  EXPECT_EQ(Made->ThreadPriority(), TThreadPriority::Normal);
  EXPECT_FALSE(Made->HasOnTimer());
  delete Owner;
  EXPECT_TRUE(Timer.isNull());
}

TEST(ThreadedTimer, HandlerRunsInInterfaceThreadAndTicksNeverOverlap) {
  const std::thread::id InterfaceThread = std::this_thread::get_id();
  TThreadedTimer Timer(nullptr);
  int Ticks = 0;
  bool InHandler = false;
  bool Overlapped = false;
  bool ForeignThread = false;
  Prepare(Timer, 20, [&] {
    ForeignThread |= std::this_thread::get_id() != InterfaceThread ||
                     QThread::currentThread() != QCoreApplication::instance()->thread();
    Overlapped |= InHandler;
    InHandler = true;
    ++Ticks;
    // A handler that runs the event loop for longer than the interval (a
    // modal box would) must not see the next tick inside it.
    SpinFor(80ms);
    InHandler = false;
  });
  Timer.SetEnabled(true);
  ASSERT_TRUE(SpinUntil([&] { return Ticks >= 3; }, 3s));
  EXPECT_FALSE(ForeignThread);
  EXPECT_FALSE(Overlapped);
}

TEST(ThreadedTimer, SleepRunsOutWhileSwitchedOffFromOutside) {
  {
    // Off for longer than the rest of the sleep: the tick comes at once.
    TThreadedTimer Timer(nullptr);
    TTicks Ticks;
    Prepare(Timer, 400, [&] { Ticks.Record(); });
    const int64_t StartUs = RealUs();
    Timer.SetEnabled(true);
    SpinUntilUs(StartUs + 100000);
    Timer.SetEnabled(false);
    SpinUntilUs(StartUs + 600000);
    EXPECT_EQ(Ticks.Count(), 0u);
    const int64_t EnabledUs = RealUs();
    Timer.SetEnabled(true);
    ASSERT_TRUE(Ticks.Reached(1, 2s));
    EXPECT_LE(Ms(Ticks.AtUs[0] - EnabledUs), 200);
  }
  {
    // Off for a moment: the tick comes when the first sleep ends, not a
    // full interval after the switch-on.
    TThreadedTimer Timer(nullptr);
    TTicks Ticks;
    Prepare(Timer, 600, [&] { Ticks.Record(); });
    const int64_t StartUs = RealUs();
    Timer.SetEnabled(true);
    SpinUntilUs(StartUs + 100000);
    Timer.SetEnabled(false);
    SpinUntilUs(StartUs + 200000);
    const int64_t EnabledUs = RealUs();
    Timer.SetEnabled(true);
    ASSERT_TRUE(Ticks.Reached(1, 3s));
    EXPECT_GE(Ms(Ticks.AtUs[0] - StartUs), 595);
    EXPECT_LT(Ms(Ticks.AtUs[0] - EnabledUs), 550);
  }
  {
    // Switched off while its tick waits for the busy interface thread: the
    // handler does not run while the timer is off, and the tick, being due,
    // comes as soon as it is on again.
    TThreadedTimer Timer(nullptr);
    TTicks Ticks;
    Prepare(Timer, 10, [&] { Ticks.Record(); });
    Timer.SetEnabled(true);
    KeepBusy(100ms);
    Timer.SetEnabled(false);
    SpinFor(200ms);
    EXPECT_EQ(Ticks.Count(), 0u);
    const int64_t EnabledUs = RealUs();
    Timer.SetEnabled(true);
    ASSERT_TRUE(Ticks.Reached(1, 2s));
    EXPECT_LE(Ms(Ticks.AtUs[0] - EnabledUs), 100);
  }
}

// Stop cancels: neither the sleep that runs nor a tick waiting for the busy
// interface thread comes after it, and the next switch-on counts a full
// interval from itself.
TEST(ThreadedTimer, CancelDropsTheSleepAndTheTickWaiting) {
  for (const bool Waiting : {false, true}) {
    TThreadedTimer Timer(nullptr);
    TTicks Ticks;
    Prepare(Timer, Waiting ? 10 : 300, [&] { Ticks.Record(); });
    Timer.SetEnabled(true);
    if (Waiting)
      KeepBusy(100ms);
    else
      SpinFor(100ms);
    Timer.Cancel();
    EXPECT_FALSE(Timer.Enabled());
    SpinFor(Waiting ? 100ms : 300ms);
    EXPECT_EQ(Ticks.Count(), 0u) << Waiting;
    Timer.SetInterval(250);
    const int64_t EnabledUs = RealUs();
    Timer.SetEnabled(true);
    ASSERT_TRUE(Ticks.Reached(1, 2s)) << Waiting;
    EXPECT_GE(Ms(Ticks.AtUs[0] - EnabledUs), 245) << Waiting;
  }
}

TEST(ThreadedTimer, IntervalChangeLetsTheRunningSleepRunOn) {
  {
    // The same value is no change at all.
    TThreadedTimer Timer(nullptr);
    TTicks Ticks;
    Prepare(Timer, 300, [&] { Ticks.Record(); });
    const int64_t StartUs = RealUs();
    Timer.SetEnabled(true);
    SpinUntilUs(StartUs + 150000);
    Timer.SetInterval(300);
    ASSERT_TRUE(Ticks.Reached(1, 2s));
    EXPECT_GE(Ms(Ticks.AtUs[0] - StartUs), 295);
    EXPECT_LT(Ms(Ticks.AtUs[0] - StartUs), 420);
  }
  {
    // Another value counts from the next sleep.
    TThreadedTimer Timer(nullptr);
    TTicks Ticks;
    Prepare(Timer, 300, [&] { Ticks.Record(); });
    const int64_t StartUs = RealUs();
    Timer.SetEnabled(true);
    SpinUntilUs(StartUs + 100000);
    Timer.SetInterval(50);
    ASSERT_TRUE(Ticks.Reached(2, 2s));
    EXPECT_GE(Ms(Ticks.AtUs[0] - StartUs), 295);
    EXPECT_LT(Ms(Ticks.AtUs[0] - StartUs), 600);
    EXPECT_GE(Ms(Ticks.AtUs[1] - Ticks.AtUs[0]), 45);
    EXPECT_LE(Ms(Ticks.AtUs[1] - Ticks.AtUs[0]), 250);
  }
}

TEST(ThreadedTimer, HandlerSetWhileOffLeavesTheWorkerSuspended) {
  TThreadedTimer Timer(nullptr);
  Timer.SetEnabled(false);
  Timer.SetInterval(100);
  TTicks Ticks;
  Timer.SetOnTimer([&] { Ticks.Record(); });
  // Had the worker been let run, its sleep would be over and the enable
  // below would tick at once.
  SpinFor(300ms);
  EXPECT_EQ(Ticks.Count(), 0u);
  const int64_t EnabledUs = RealUs();
  Timer.SetEnabled(true);
  ASSERT_TRUE(Ticks.Reached(1, 2s));
  EXPECT_GE(Ms(Ticks.AtUs[0] - EnabledUs), 95);
}

// --- TThreadedTimer: lifetime and failure ---------------------------------

TEST(ThreadedTimer, DestructionNeverHangsAndNoHandlerRunsAfterIt) {
  int Ticks = 0;
  {
    // The worker's tick waits for the busy interface thread when the timer
    // goes.
    auto* Timer = new TThreadedTimer(nullptr);
    Prepare(*Timer, 10, [&] { ++Ticks; });
    Timer->SetEnabled(true);
    KeepBusy(150ms);
    const int64_t BeforeUs = RealUs();
    delete Timer;
    EXPECT_LT(Ms(RealUs() - BeforeUs), 500);
    SpinFor(200ms);
    EXPECT_EQ(Ticks, 0);
  }
  {
    // The handler destroys its own timer (its window closes).
    auto* Timer = new TThreadedTimer(nullptr);
    Prepare(*Timer, 10, [&] {
      ++Ticks;
      delete Timer;
    });
    Timer->SetEnabled(true);
    ASSERT_TRUE(SpinUntil([&] { return Ticks == 1; }, 2s));
    SpinFor(100ms);
    EXPECT_EQ(Ticks, 1);
  }
  {
    // In the middle of a long sleep, and switched off.
    auto* Sleeping = new TThreadedTimer(nullptr);
    Prepare(*Sleeping, 60000, [&] { ++Ticks; });
    Sleeping->SetEnabled(true);
    auto* Suspended = new TThreadedTimer(nullptr);
    Prepare(*Suspended, 10, [&] { ++Ticks; });
    SpinFor(20ms);
    const int64_t BeforeUs = RealUs();
    delete Sleeping;
    delete Suspended;
    EXPECT_LT(Ms(RealUs() - BeforeUs), 500);
    EXPECT_EQ(Ticks, 1);
  }
}

TEST(ThreadedTimer, HandlerExceptionEndsTheTicking) {
  TThreadedTimer Failing(nullptr);
  int Failures = 0;
  Prepare(Failing, 30, [&] {
    ++Failures;
    throw std::runtime_error("tick failed");
  });
  TThreadedTimer Healthy(nullptr);
  int HealthyTicks = 0;
  Prepare(Healthy, 30, [&] { ++HealthyTicks; });
  Failing.SetEnabled(true);
  Healthy.SetEnabled(true);
  ASSERT_TRUE(SpinUntil([&] { return Failures == 1; }, 2s));
  SpinFor(200ms);
  Failing.SetEnabled(false);
  Failing.SetEnabled(true);
  SpinFor(200ms);
  EXPECT_EQ(Failures, 1);
  EXPECT_GE(HealthyTicks, 3);
}

// --- TThreadedTimer: event time --------------------------------------------

TEST(ThreadedTimer, TickSeesItsDueTimeCountedFromTheClocksNow) {
  TThreadedTimer Timer(nullptr);
  int64_t SeenUs = -1;
  int64_t RanUs = -1;
  Prepare(Timer, 100, [&] {
    Timer.SetEnabled(false);
    SeenUs = TSteadyClock::Instance().NowUs();
    RanUs = RealUs();
  });
  auto ExpectTickDueAt = [&](int64_t DueUs) {
    ASSERT_TRUE(SpinUntil([&] { return RanUs >= 0; }, 2s));
    EXPECT_GE(RanUs, DueUs);
    if (RanUs - DueUs <= TEventTime::MaxLagUs) {
      EXPECT_EQ(SeenUs, DueUs);
    }
  };
  {
    // Switched on outside any event: the due time is one interval after
    // the real moment of the switch-on.
    const int64_t BeforeUs = RealUs();
    Timer.SetEnabled(true);
    const int64_t AfterUs = RealUs();
    ASSERT_TRUE(SpinUntil([&] { return RanUs >= 0; }, 2s));
    EXPECT_GE(RanUs, BeforeUs + 100000);
    if (RanUs - (AfterUs + 100000) <= TEventTime::MaxLagUs) {
      EXPECT_GE(SeenUs, BeforeUs + 100000);
      EXPECT_LE(SeenUs, AfterUs + 100000);
    }
    RanUs = -1;
  }
  {
    // Switched on from the completion of a block that ended 20 ms ago.
    const int64_t BlockEndUs = RealUs() - 20000;
    {
      const TEventTime Completion(BlockEndUs);
      Timer.SetEnabled(true);
    }
    ExpectTickDueAt(BlockEndUs + 100000);
  }
  {
    // A clock of the test's, 30 ms behind.
    TManualClock Clock;
    TThreadedTimer Driven(nullptr, Clock);
    RanUs = -1;
    Prepare(Driven, 100, [&] {
      Driven.SetEnabled(false);
      SeenUs = TSteadyClock::Instance().NowUs();
      RanUs = RealUs();
    });
    Clock.SetNowUs(RealUs() - 30000);
    const int64_t ClockUs = Clock.NowUs();
    Driven.SetEnabled(true);
    ExpectTickDueAt(ClockUs + 100000);
  }
  {
    // A clock far ahead of real time does not lengthen the pause.
    TManualClock Clock(RealUs() + 5000000);
    TThreadedTimer Driven(nullptr, Clock);
    RanUs = -1;
    Prepare(Driven, 100, [&] {
      Driven.SetEnabled(false);
      RanUs = RealUs();
    });
    const int64_t EnabledUs = RealUs();
    Driven.SetEnabled(true);
    ASSERT_TRUE(SpinUntil([&] { return RanUs >= 0; }, 2s));
    EXPECT_LE(Ms(RanUs - EnabledUs), 400);
  }
}

// A timer that paces sounds hands its tick over ahead of its due time; the
// handler sees the due time as "now", a switch-on from it counts from there,
// so the beat is that of the due times, and a tick left running counts on
// from its due time too.
TEST(ThreadedTimer, TicksHandedOverAheadKeepTheirDueTimes) {
  TThreadedTimer Timer(nullptr);
  Timer.SetAheadUs(150000);
  std::vector<int64_t> SeenUs;
  std::vector<int64_t> RanUs;
  Prepare(Timer, 200, [&] {
    Timer.SetEnabled(false);
    SeenUs.push_back(TSteadyClock::Instance().NowUs());
    RanUs.push_back(RealUs());
    if (SeenUs.size() < 4)
      Timer.SetEnabled(true);
  });
  const int64_t StartUs = RealUs();
  Timer.SetEnabled(true);
  ASSERT_TRUE(SpinUntil([&] { return SeenUs.size() >= 4; }, 5s));
  int Early = 0;
  for (size_t I = 0; I < SeenUs.size(); ++I) {
    EXPECT_NEAR(static_cast<double>(SeenUs[I] - StartUs), 200000.0 * static_cast<double>(I + 1), 2000.0) << I;
    EXPECT_LE(RanUs[I], SeenUs[I]) << "handed over before it was due " << I;
    if (SeenUs[I] - RanUs[I] >= 100000)
      ++Early;
  }
  EXPECT_GE(Early, 2) << "the interface thread was never that busy";

  // Left running by its handler, the next tick is due one interval after
  // this one's due time, not after the early moment it ran.
  std::vector<int64_t> Running;
  TThreadedTimer Steady(nullptr);
  Steady.SetAheadUs(100000);
  Prepare(Steady, 150, [&] {
    Running.push_back(TSteadyClock::Instance().NowUs());
    if (Running.size() == 3)
      Steady.SetEnabled(false);
  });
  Steady.SetEnabled(true);
  ASSERT_TRUE(SpinUntil([&] { return Running.size() >= 3; }, 5s));
  for (size_t I = 1; I < Running.size(); ++I)
    EXPECT_GE(Running[I] - Running[I - 1], 150000) << I;
}

// The due time of an event counts as "now" up to AheadUs before it and
// MaxLagUs after it; beyond, real time does.
TEST(EventTime, IsNowWithinItsWindowOnly) {
  const int64_t Real = RealUs();
  {
    const TEventTime Ahead(Real + 200000);
    EXPECT_EQ(TSteadyClock::Instance().NowUs(), Real + 200000);
  }
  {
    const TEventTime TooFar(Real + TEventTime::AheadUs + 100000);
    EXPECT_LT(TSteadyClock::Instance().NowUs(), Real + 100000);
  }
  {
    const TEventTime Late(Real - 100000);
    EXPECT_EQ(TSteadyClock::Instance().NowUs(), Real - 100000);
  }
  {
    const TEventTime TooLate(Real - TEventTime::MaxLagUs - 100000);
    EXPECT_GE(TSteadyClock::Instance().NowUs(), Real);
  }
  EXPECT_EQ(TEventTime::Current(), -1);
}

TEST(ThreadedTimer, SwitchingOffAndOnInTheHandlerKeepsTheBeat) {
  // The next pause counts from the due time of the tick that switched the
  // timer on again, not from when the interface thread got to it: the due
  // times keep to the beat of the first enable.
  TThreadedTimer Timer(nullptr);
  std::vector<int64_t> SeenUs;
  std::vector<int64_t> RanUs;
  Prepare(Timer, 50, [&] {
    Timer.SetEnabled(false);
    SeenUs.push_back(TSteadyClock::Instance().NowUs());
    RanUs.push_back(RealUs());
    Timer.SetEnabled(true);
  });
  const int64_t BeforeUs = RealUs();
  Timer.SetEnabled(true);
  const int64_t AfterUs = RealUs();
  ASSERT_TRUE(SpinUntil([&] { return SeenUs.size() >= 5; }, 3s));
  for (size_t I = 0; I < SeenUs.size(); ++I) {
    const int64_t Beats = static_cast<int64_t>(I) + 1;
    const int64_t DueLatestUs = AfterUs + Beats * 50000;
    // A tick too late for its event time to count starts a new beat from
    // real time; from there on nothing is known. The margin covers the
    // moment between the handler's readings and its switch-on.
    if (RanUs[I] - DueLatestUs > TEventTime::MaxLagUs - 5000)
      break;
    EXPECT_GE(SeenUs[I], BeforeUs + Beats * 50000) << "tick " << I;
    EXPECT_LE(SeenUs[I], DueLatestUs) << "tick " << I;
  }
}

// --- TThreadedTimer: priority ----------------------------------------------

#if defined(__linux__)
// Nice values of this process's threads, from /proc.
std::vector<int> ThreadNiceValues() {
  std::vector<int> Values;
  for (const auto& Task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream Stat(Task.path() / "stat");
    std::string Line;
    std::getline(Stat, Line);
    const size_t NameEnd = Line.rfind(')');
    if (NameEnd == std::string::npos)
      continue;
    // After the name: state is field 3, nice field 19.
    std::istringstream Fields(Line.substr(NameEnd + 2));
    std::string Field;
    for (int I = 3; I <= 19 && Fields >> Field; ++I)
      if (I == 19)
        Values.push_back(std::stoi(Field));
  }
  return Values;
}
#endif

TEST(ThreadedTimer, EveryPriorityTicksAndAChangeKeepsTheSleep) {
  for (const TThreadPriority Priority :
       {TThreadPriority::Idle, TThreadPriority::Lowest, TThreadPriority::Lower,
        TThreadPriority::Normal, TThreadPriority::Higher, TThreadPriority::Highest,
        TThreadPriority::TimeCritical}) {
    TThreadedTimer Timer(nullptr);
    Timer.SetThreadPriority(Priority);
    int Ticks = 0;
    Prepare(Timer, 20, [&] {
      Timer.SetEnabled(false);
      ++Ticks;
    });
    Timer.SetEnabled(true);
    EXPECT_TRUE(SpinUntil([&] { return Ticks == 1; }, 2s))
        << "priority " << static_cast<int>(Priority);
  }

  TThreadedTimer Timer(nullptr);
  TTicks Ticks;
  Prepare(Timer, 400, [&] { Ticks.Record(); });
  const int64_t StartUs = RealUs();
  Timer.SetEnabled(true);
  SpinUntilUs(StartUs + 150000);
  Timer.SetThreadPriority(TThreadPriority::Lowest);
  EXPECT_EQ(Timer.ThreadPriority(), TThreadPriority::Lowest);
  ASSERT_TRUE(Ticks.Reached(1, 2s));
  EXPECT_GE(Ms(Ticks.AtUs[0] - StartUs), 395);
  EXPECT_LT(Ms(Ticks.AtUs[0] - StartUs), 520);
#if defined(__linux__)
  // The worker, alone among the threads, now runs at a lower priority.
  errno = 0;
  const int ProcessNice = getpriority(PRIO_PROCESS, 0);
  ASSERT_EQ(errno, 0);
  EXPECT_TRUE(SpinUntil(
      [&] {
        int Lowered = 0;
        for (const int Nice : ThreadNiceValues())
          Lowered += Nice == std::min(ProcessNice + 2, 19) ? 1 : 0;
        return Lowered == 1;
      },
      1s));
#endif
}

// --- TWindowTimer -------------------------------------------------------------

TEST(WindowTimer, IsDesignedOff) {
  TWindowTimer Timer(nullptr);
  EXPECT_FALSE(Timer.Enabled());
  EXPECT_EQ(Timer.Interval(), 1000);
  EXPECT_FALSE(Timer.HasOnTimer());
}

TEST(WindowTimer, SwitchingOnAgainStartsAFullInterval) {
  TWindowTimer Timer(nullptr);
  TTicks Ticks;
  Timer.SetInterval(300);
  Timer.SetOnTimer([&] { Ticks.Record(); });
  const int64_t StartUs = RealUs();
  Timer.SetEnabled(true);
  SpinUntilUs(StartUs + 150000);
  Timer.SetEnabled(false);
  const int64_t EnabledUs = RealUs();
  Timer.SetEnabled(true);
  ASSERT_TRUE(Ticks.Reached(1, 2s));
  EXPECT_GE(Ms(Ticks.AtUs[0] - EnabledUs), 295);
}

TEST(WindowTimer, TickSeesItsDueTimeAsNow) {
  TWindowTimer Timer(nullptr);
  std::vector<int64_t> SeenUs;
  std::vector<int64_t> RanUs;
  Timer.SetInterval(100);
  Timer.SetOnTimer([&] {
    SeenUs.push_back(TSteadyClock::Instance().NowUs());
    RanUs.push_back(RealUs());
  });
  const int64_t BeforeUs = RealUs();
  Timer.SetEnabled(true);
  const int64_t AfterUs = RealUs();
  ASSERT_TRUE(SpinUntil([&] { return SeenUs.size() >= 2; }, 2s));
  for (size_t I = 0; I < 2; ++I) {
    // Checked when the tick came neither before its time nor too late for
    // the event time to count.
    const int64_t DueLatestUs = AfterUs + (static_cast<int64_t>(I) + 1) * 100000;
    const int64_t DueEarliestUs = BeforeUs + (static_cast<int64_t>(I) + 1) * 100000;
    if (RanUs[I] >= DueLatestUs && RanUs[I] - DueLatestUs <= TEventTime::MaxLagUs - 5000) {
      EXPECT_GE(SeenUs[I], DueEarliestUs) << "tick " << I;
      EXPECT_LE(SeenUs[I], DueLatestUs) << "tick " << I;
    }
  }
}

// --- TManualTimer -------------------------------------------------------------

TEST(ManualTimer, RecordsHowItWasDriven) {
  TManualTimer Timer;
  Timer.SetOnTimer([&] { Timer.SetEnabled(false); });
  Timer.SetInterval(0);
  Timer.SetEnabled(true);
  Timer.SetInterval(500);
  Timer.SetEnabled(true); // already on: no second enable
  EXPECT_TRUE(Timer.Fire());
  Timer.SetEnabled(true);
  EXPECT_TRUE(Timer.Fire());
  EXPECT_EQ(Timer.FireCount(), 2);
  EXPECT_EQ(Timer.EnableCount(), 2);
  EXPECT_EQ(Timer.DisableCount(), 2);
  EXPECT_EQ(Timer.EnableIntervals(), (std::vector<uint16_t>{0, 500}));
  EXPECT_TRUE(Timer.SwitchedOffFirstInEveryTick());

  // A handler that changes the interval before switching off breaks the rule.
  Timer.SetOnTimer([&] {
    Timer.SetInterval(1500);
    Timer.SetEnabled(false);
  });
  Timer.SetEnabled(true);
  EXPECT_TRUE(Timer.Fire());
  EXPECT_FALSE(Timer.SwitchedOffFirstInEveryTick());
  Timer.ClearLog();
  EXPECT_TRUE(Timer.SwitchedOffFirstInEveryTick());
  EXPECT_EQ(Timer.FireCount(), 0);
  EXPECT_EQ(Timer.Interval(), 1500);
}

// --- The contract of every TTickTimer ---------------------------------------

// How a test lets time pass for each kind of timer: the real ones run the
// interface thread's event loop, the test double is fired by hand.
template <class TTimer> struct TRig {
  static constexpr bool RealTime = true;
  static std::unique_ptr<TTimer> Make() {
    auto Timer = std::make_unique<TTimer>(nullptr);
    Timer->SetEnabled(false);
    return Timer;
  }
  static bool Await(TTimer& /*Timer*/, const std::function<bool()>& Done) {
    return SpinUntil(Done, 3s);
  }
  // Long enough for Intervals ticks of every one of Timers.
  static void Idle(std::initializer_list<TTimer*> Timers, int Intervals) {
    uint16_t LongestMs = 0;
    for (TTimer* Timer : Timers)
      LongestMs = std::max(LongestMs, Timer->Interval());
    SpinFor(milliseconds(LongestMs * Intervals));
  }
};

template <> struct TRig<TManualTimer> {
  static constexpr bool RealTime = false;
  static std::unique_ptr<TManualTimer> Make() { return std::make_unique<TManualTimer>(); }
  static bool Await(TManualTimer& Timer, const std::function<bool()>& Done) {
    for (int I = 0; I < 100 && !Done(); ++I)
      if (!Timer.Fire())
        break;
    return Done();
  }
  static void Idle(std::initializer_list<TManualTimer*> Timers, int Intervals) {
    for (TManualTimer* Timer : Timers)
      for (int I = 0; I < Intervals; ++I)
        Timer->Fire();
  }
};

template <class TTimer> class TickTimerContract : public ::testing::Test {
protected:
  static constexpr uint16_t IntervalMs = 60;
};

using TTimers = ::testing::Types<TThreadedTimer, TWindowTimer, TManualTimer>;
TYPED_TEST_SUITE(TickTimerContract, TTimers);

TYPED_TEST(TickTimerContract, TicksEveryIntervalWhileOnAndNoneWhileOff) {
  using Rig = TRig<TypeParam>;
  const auto Timer = Rig::Make();
  TTicks Ticks;
  Timer->SetInterval(TestFixture::IntervalMs);
  Timer->SetOnTimer([&] { Ticks.Record(); });
  Rig::Idle({Timer.get()}, 3);
  EXPECT_EQ(Ticks.Count(), 0u) << "off";
  const int64_t EnabledUs = RealUs();
  Timer->SetEnabled(true);
  ASSERT_TRUE(Rig::Await(*Timer, [&] { return Ticks.Count() >= 3; }));
  if (Rig::RealTime) {
    EXPECT_GE(Ms(Ticks.AtUs[0] - EnabledUs), TestFixture::IntervalMs - 5);
    EXPECT_LE(Ms(Ticks.AtUs[0] - EnabledUs), TestFixture::IntervalMs + 300);
    for (size_t I = 1; I < 3; ++I)
      EXPECT_GE(Ms(Ticks.AtUs[I] - Ticks.AtUs[I - 1]), TestFixture::IntervalMs - 5) << I;
  }
  Timer->SetEnabled(false);
  const size_t Count = Ticks.Count();
  Rig::Idle({Timer.get()}, 3);
  EXPECT_EQ(Ticks.Count(), Count);
}

TYPED_TEST(TickTimerContract, NeverTicksAtIntervalZeroOrWithoutHandler) {
  using Rig = TRig<TypeParam>;
  int Ticks = 0;
  const auto ZeroInterval = Rig::Make();
  ZeroInterval->SetInterval(0);
  ZeroInterval->SetOnTimer([&] { ++Ticks; });
  const auto NoHandler = Rig::Make();
  NoHandler->SetInterval(TestFixture::IntervalMs);
  const auto HandlerRemoved = Rig::Make();
  HandlerRemoved->SetInterval(TestFixture::IntervalMs);
  HandlerRemoved->SetOnTimer([&] { ++Ticks; });
  HandlerRemoved->SetOnTimer({});
  // A handler that clears the interval gets its one tick only.
  const auto IntervalCleared = Rig::Make();
  IntervalCleared->SetInterval(TestFixture::IntervalMs);
  int TicksBeforeClear = 0;
  IntervalCleared->SetOnTimer([&, Timer = IntervalCleared.get()] {
    ++TicksBeforeClear;
    Timer->SetInterval(0);
  });
  for (const auto* Timer : {&ZeroInterval, &NoHandler, &HandlerRemoved, &IntervalCleared})
    (*Timer)->SetEnabled(true);

  ASSERT_TRUE(Rig::Await(*IntervalCleared, [&] { return TicksBeforeClear >= 1; }));
  Rig::Idle({ZeroInterval.get(), NoHandler.get(), HandlerRemoved.get(), IntervalCleared.get()}, 4);
  EXPECT_EQ(Ticks, 0);
  EXPECT_EQ(TicksBeforeClear, 1);
  // It was only the interval that held it back.
  ZeroInterval->SetInterval(TestFixture::IntervalMs);
  EXPECT_TRUE(Rig::Await(*ZeroInterval, [&] { return Ticks >= 1; }));
}

// The session's pattern: every tick switches its timer off, and whatever
// follows (the end of a sound) sets the next pause and switches it on.
TYPED_TEST(TickTimerContract, HandlerThatSwitchesOffGivesOneTickPerEnable) {
  using Rig = TRig<TypeParam>;
  const auto Timer = Rig::Make();
  TTicks Ticks;
  Timer->SetInterval(TestFixture::IntervalMs);
  Timer->SetOnTimer([&, T = Timer.get()] {
    T->SetEnabled(false);
    Ticks.Record();
  });
  Timer->SetEnabled(true);
  ASSERT_TRUE(Rig::Await(*Timer, [&] { return Ticks.Count() >= 1; }));
  Rig::Idle({Timer.get()}, 4);
  EXPECT_EQ(Ticks.Count(), 1u);

  Timer->SetInterval(TestFixture::IntervalMs * 2);
  const int64_t EnabledUs = RealUs();
  Timer->SetEnabled(true);
  ASSERT_TRUE(Rig::Await(*Timer, [&] { return Ticks.Count() >= 2; }));
  if (Rig::RealTime) {
    EXPECT_GE(Ms(Ticks.AtUs[1] - EnabledUs), TestFixture::IntervalMs * 2 - 5);
  }
  Rig::Idle({Timer.get()}, 3);
  EXPECT_EQ(Ticks.Count(), 2u);
}

TYPED_TEST(TickTimerContract, HandlerMayReplaceItself) {
  using Rig = TRig<TypeParam>;
  const auto Timer = Rig::Make();
  std::vector<std::string> Calls;
  // Captures big enough to live on the heap of the std::function, and used
  // after the replacement.
  const std::string First = "correction tick, long enough not to fit in place";
  const std::string Second = "exercise tick, long enough not to fit in place";
  Timer->SetInterval(20);
  Timer->SetOnTimer([&Calls, T = Timer.get(), First, Second] {
    T->SetEnabled(false);
    T->SetOnTimer([&Calls, T, Second] {
      T->SetEnabled(false);
      Calls.push_back(Second);
    });
    Calls.push_back(First);
    T->SetEnabled(true);
  });
  Timer->SetEnabled(true);
  ASSERT_TRUE(Rig::Await(*Timer, [&] { return Calls.size() >= 2; }));
  EXPECT_EQ(Calls[0], First);
  EXPECT_EQ(Calls[1], Second);
}

} // namespace

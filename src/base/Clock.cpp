#include "base/Clock.h"

#include <chrono>

namespace {
thread_local int64_t EventDueUs = -1;
}

int64_t TSteadyClock::RealNowUs() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t TSteadyClock::NowUs() {
  const int64_t Real = RealNowUs();
  const int64_t Due = EventDueUs;
  if (Due >= 0 && Due - Real <= TEventTime::AheadUs && Real - Due <= TEventTime::MaxLagUs)
    return Due;
  return Real;
}

TSteadyClock& TSteadyClock::Instance() {
  static TSteadyClock Clock;
  return Clock;
}

TEventTime::TEventTime(int64_t DueUs) : FPrevious(EventDueUs) { EventDueUs = DueUs; }

TEventTime::~TEventTime() { EventDueUs = FPrevious; }

int64_t TEventTime::Current() { return EventDueUs; }

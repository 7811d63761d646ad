#pragma once

#include "sound/HeardCalls.h"
#include "support/ManualClock.h"

#include <cstdint>
#include <functional>
#include <vector>

// Heard calls on a clock the test moves: they run only when the test says.
class TManualHeardCalls final : public THeardCalls {
public:
  explicit TManualHeardCalls(TManualClock& Clock) : FClock(Clock) {}

  void At(int64_t AtUs, std::function<void()> Fn) override;
  void Cancel() override { FCalls.clear(); }
  bool Pending() const override { return !FCalls.empty(); }
  int64_t NowUs() const override { return FClock.NowUs(); }

  // Runs the calls due by the clock's now, soonest first; how many ran.
  int RunDue();
  // Moves the clock to the soonest call, unless it is past it, and runs the
  // calls due then; false when none waits.
  bool RunNext();
  // The moment of the soonest call; -1 when none waits.
  int64_t NextUs() const;

private:
  struct TCall {
    int64_t AtUs;
    std::function<void()> Fn;
  };
  TManualClock& FClock;
  std::vector<TCall> FCalls;
};

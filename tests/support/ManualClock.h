#pragma once

#include "base/Clock.h"

#include <cstdint>

// A clock that stands still until the test moves it.
class TManualClock final : public TClock {
public:
  explicit TManualClock(int64_t StartUs = 0) : FNowUs(StartUs) {}

  int64_t NowUs() override { return FNowUs; }
  void SetNowUs(int64_t Us) { FNowUs = Us; }
  void AdvanceUs(int64_t Us) { FNowUs += Us; }
  void AdvanceMs(int64_t Ms) { FNowUs += Ms * 1000; }

private:
  int64_t FNowUs;
};

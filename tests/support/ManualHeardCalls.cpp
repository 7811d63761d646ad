#include "support/ManualHeardCalls.h"

#include <algorithm>

void TManualHeardCalls::At(int64_t AtUs, std::function<void()> Fn) {
  // After those of the same moment: calls due together run in order given.
  const auto It = std::upper_bound(FCalls.begin(), FCalls.end(), AtUs,
                                   [](int64_t Us, const TCall& C) { return Us < C.AtUs; });
  FCalls.insert(It, {AtUs, std::move(Fn)});
}

int TManualHeardCalls::RunDue() {
  int Ran = 0;
  while (!FCalls.empty() && FCalls.front().AtUs <= FClock.NowUs()) {
    const std::function<void()> Fn = std::move(FCalls.front().Fn);
    FCalls.erase(FCalls.begin());
    Fn();
    ++Ran;
  }
  return Ran;
}

bool TManualHeardCalls::RunNext() {
  if (FCalls.empty())
    return false;
  FClock.SetNowUs(std::max(FClock.NowUs(), FCalls.front().AtUs));
  return RunDue() > 0;
}

int64_t TManualHeardCalls::NextUs() const {
  return FCalls.empty() ? -1 : FCalls.front().AtUs;
}

#include "sound/HeardCalls.h"

#include "base/Clock.h"

#include <QTimer>

#include <algorithm>

TTimerHeardCalls::TTimerHeardCalls() : FTimer(new QTimer(this)) {
  FTimer->setSingleShot(true);
  FTimer->setTimerType(Qt::PreciseTimer);
  QObject::connect(FTimer, &QTimer::timeout, this, [this] { RunDue(); });
}

TTimerHeardCalls::~TTimerHeardCalls() = default;

void TTimerHeardCalls::At(int64_t AtUs, std::function<void()> Fn) {
  FCalls.push_back({AtUs, ++FOrder, std::move(Fn)});
  Arm();
}

int64_t TTimerHeardCalls::NowUs() const {
  return TSteadyClock::RealNowUs();
}

void TTimerHeardCalls::Cancel() {
  FCalls.clear();
  ++FGeneration;
  FTimer->stop();
}

void TTimerHeardCalls::Arm() {
  if (FCalls.empty()) {
    FTimer->stop();
    return;
  }
  const auto Soonest = std::min_element(FCalls.begin(), FCalls.end(), [](const TCall& A, const TCall& B) {
    return A.AtUs < B.AtUs;
  });
  // Rounded up: a call never runs before its moment.
  const int64_t WaitUs = Soonest->AtUs - TSteadyClock::RealNowUs();
  FTimer->start(static_cast<int>(std::clamp<int64_t>((WaitUs + 999) / 1000, 0, 60000)));
}

void TTimerHeardCalls::RunDue() {
  const int64_t NowUs = TSteadyClock::RealNowUs();
  std::vector<TCall> Due;
  for (auto It = FCalls.begin(); It != FCalls.end();) {
    if (It->AtUs <= NowUs) {
      Due.push_back(std::move(*It));
      It = FCalls.erase(It);
    } else {
      ++It;
    }
  }
  std::sort(Due.begin(), Due.end(), [](const TCall& A, const TCall& B) {
    return A.AtUs != B.AtUs ? A.AtUs < B.AtUs : A.Order < B.Order;
  });
  Arm();
  const uint64_t Generation = FGeneration;
  for (auto& Call : Due) {
    // A call may cancel the ones after it (a Stop the display change runs).
    if (Generation != FGeneration)
      return;
    Call.Fn();
  }
}

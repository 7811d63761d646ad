#include "training/Reaction.h"

#include "storage/Texts.h"

#include <QApplication>
#include <QEvent>
#include <QInputEvent>

#include <algorithm>
#include <map>

int64_t TInputClock::PressUs(uint64_t TimestampMs, int64_t ArrivalUs) {
  if (TimestampMs == 0)
    return ArrivalUs;
  const int64_t ArrivalMs = ArrivalUs / 1000;
  // Both in ms modulo 2^32, as the X server's time wraps.
  const uint32_t Behind = static_cast<uint32_t>(ArrivalMs) - static_cast<uint32_t>(TimestampMs);
  if (Behind <= SameClockMs)
    return std::min(ArrivalUs, (ArrivalMs - Behind) * 1000 + 500);
  const int64_t EventUs = static_cast<int64_t>(TimestampMs) * 1000;
  const int64_t Epoch = ArrivalUs - EventUs;
  if (!FEpochKnown || Epoch < FEpochUs) {
    FEpochKnown = true;
    FEpochUs = Epoch;
  }
  return std::min(ArrivalUs, EventUs + FEpochUs);
}

namespace {

class TInputFilter final : public QObject {
public:
  explicit TInputFilter(TReaction& Reaction) : FReaction(Reaction) {}

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    switch (Event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
      // One event reaches the filter once per widget it passes through;
      // only the window's own (the first) is its arrival.
      if (Watched->isWindowType())
        FReaction.Input(*static_cast<QInputEvent*>(Event));
      break;
    default:
      break;
    }
    return false;
  }

private:
  TReaction& FReaction;
};

std::string Replace1(std::string Text, const std::string& By) {
  const size_t P = Text.find("%1");
  if (P != std::string::npos)
    Text.replace(P, 2, By);
  return Text;
}

} // namespace

TReaction::TReaction(TClock& Clock) : FClock(Clock) {}

TReaction::~TReaction() = default;

void TReaction::Watch() {
  FFilter = std::make_unique<TInputFilter>(*this);
  qApp->installEventFilter(FFilter.get());
}

void TReaction::RunStarted() {
  FAnswers.clear();
  FHeardUs = -1;
  FPressUs = -1;
}

void TReaction::Heard() {
  const int64_t Due = TEventTime::Current();
  HeardAt(Due >= 0 ? Due : FClock.NowUs());
}

void TReaction::HeardAt(int64_t HeardUs) {
  FHeardUs = HeardUs;
}

void TReaction::Pressed(int64_t PressUs) {
  FPressUs = PressUs;
}

void TReaction::Input(const QInputEvent& Event) {
  const int64_t PressUs = FInputClock.PressUs(Event.timestamp(), FClock.NowUs());
  const QEvent::Type T = Event.type();
  if ((T == QEvent::KeyPress && !static_cast<const QKeyEvent&>(Event).isAutoRepeat()) ||
      T == QEvent::MouseButtonPress)
    Pressed(PressUs);
}

void TReaction::ReactionOf(int32_t UebPos, char Zeichen, char Als) {
  if (FHeardUs < 0)
    return; // nothing heard yet: no reaction to time
  const int64_t PressUs = FPressUs >= 0 ? FPressUs : FClock.NowUs();
  FPressUs = -1;
  TReaktion R;
  R.UebPos = UebPos;
  R.Zeichen = Zeichen;
  R.Als = Als;
  R.Early = PressUs < FHeardUs;
  R.Ms = R.Early ? 0 : static_cast<int32_t>(std::min<int64_t>((PressUs - FHeardUs + 500) / 1000, INT32_MAX));
  FAnswers.push_back(R);
}

int32_t MedianOf(std::vector<int32_t> Ms) {
  if (Ms.empty())
    return -1;
  std::sort(Ms.begin(), Ms.end());
  const size_t N = Ms.size();
  return N % 2 == 1 ? Ms[N / 2] : (Ms[N / 2 - 1] + Ms[N / 2]) / 2;
}

int32_t SpreadOf(std::vector<int32_t> Ms) {
  if (Ms.empty())
    return -1;
  std::sort(Ms.begin(), Ms.end());
  // Quartiles as the medians of the lower and upper halves.
  const size_t H = Ms.size() / 2;
  const std::vector<int32_t> Low(Ms.begin(), Ms.begin() + static_cast<std::ptrdiff_t>(H));
  const std::vector<int32_t> High(Ms.end() - static_cast<std::ptrdiff_t>(H), Ms.end());
  return Low.empty() ? 0 : MedianOf(High) - MedianOf(Low);
}

int32_t TReaction::MedianMs() const {
  std::vector<int32_t> Ms;
  for (const TReaktion& R : FAnswers)
    Ms.push_back(R.Ms);
  return MedianOf(Ms);
}

int32_t TReaction::Early() const {
  return static_cast<int32_t>(
      std::count_if(FAnswers.begin(), FAnswers.end(), [](const TReaktion& R) { return R.Early; }));
}

std::vector<TStatRun> TReaction::PerZeichen() const {
  std::map<char, std::vector<int32_t>> Per;
  for (const TReaktion& R : FAnswers)
    Per[R.Zeichen].push_back(R.Ms);
  std::vector<TStatRun> Runs;
  for (const auto& [C, Ms] : Per) {
    TStatRun S;
    S.Zeichen = C;
    S.ReactionMs = MedianOf(Ms);
    S.SpreadMs = SpreadOf(Ms);
    Runs.push_back(S);
  }
  return Runs;
}

std::string TReaction::ResultText() const {
  if (FAnswers.empty())
    return {};
  std::string T = Replace1(StatistikLineText(StatReactionMedian), std::to_string(MedianMs()));
  if (const int32_t E = Early(); E > 0) {
    T += ' ';
    T += Replace1(StatistikLineText(StatReactionEarly), std::to_string(E));
  }
  return T;
}

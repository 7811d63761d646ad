#include "sound/PracticeTiming.h"

#include "sound/BandRandom.h"
#include "sound/Morse.h"
#include "sound/SoundState.h"

#include <algorithm>
#include <cmath>

namespace practice {

bool TTiming::Valid() const {
  return CharWpm >= MinCharWpm && CharWpm <= MaxCharWpm && EffectiveWpm >= MinEffectiveWpm &&
         EffectiveWpm <= CharWpm;
}

TTiming TTiming::Clamped() const {
  TTiming T;
  T.CharWpm = std::clamp(CharWpm, MinCharWpm, MaxCharWpm);
  T.EffectiveWpm = std::clamp(EffectiveWpm, MinEffectiveWpm, T.CharWpm);
  return T;
}

// With c the character and s the effective speed, seconds are counted in
// units of 1 / (95·s·c): a dot, 1.2 / c s, is 114·s units; a character
// space, 3·ta / 19 = (180·c − 111.6·s) / (19·s·c) s, is 900·c − 558·s; a
// word space, 7·ta / 19, is 2100·c − 1302·s.
int64_t TTiming::Denominator() const {
  return 95LL * EffectiveWpm * CharWpm;
}
int64_t TTiming::DotUnits() const {
  return 114LL * EffectiveWpm;
}
int64_t TTiming::CharSpaceUnits() const {
  return 900LL * CharWpm - 558LL * EffectiveWpm;
}
int64_t TTiming::WordSpaceUnits() const {
  return 2100LL * CharWpm - 1302LL * EffectiveWpm;
}

double TTiming::DotSec() const {
  return static_cast<double>(DotUnits()) / static_cast<double>(Denominator());
}
double TTiming::CharSpaceSec() const {
  return static_cast<double>(CharSpaceUnits()) / static_cast<double>(Denominator());
}
double TTiming::WordSpaceSec() const {
  return static_cast<double>(WordSpaceUnits()) / static_cast<double>(Denominator());
}

namespace {

// The sample nearest Units / Denominator seconds, halves up.
int64_t SampleAt(int64_t Units, int64_t Denominator) {
  return (2 * Units * SamplesPerSec + Denominator) / (2 * Denominator);
}

} // namespace

TRender::TRender(const TCodeSequence& Codes, const TTiming& Timing, const TTone& Tone, const TFist& Fist)
    : FTone(Tone) {
  const TTiming T = Timing.Clamped();
  const int64_t D = T.Denominator();
  const int64_t Dot = T.DotUnits();
  // The text as alternating lengths in units: element, space, element, ...,
  // ending with the space of a word after the last element.
  std::vector<int64_t> Lengths;
  std::vector<bool> CharEndsAfter; // per element: the last of its character
  bool WordBreak = false;          // the space that follows is a word's
  for (const std::string& Code : Codes) {
    if (Code.empty()) {
      WordBreak = true;
      continue;
    }
    bool First = true;
    for (const char C : Code) {
      if (C != '.' && C != '-')
        continue;
      if (!Lengths.empty())
        Lengths.push_back(First ? (WordBreak ? T.WordSpaceUnits() : T.CharSpaceUnits()) : Dot);
      First = false;
      WordBreak = false;
      Lengths.push_back(C == '-' ? 3 * Dot : Dot);
      CharEndsAfter.push_back(false);
    }
    if (!First)
      CharEndsAfter.back() = true;
  }
  if (Lengths.empty())
    return;
  Lengths.push_back(T.WordSpaceUnits());
  int64_t Total = 0;
  for (const int64_t L : Lengths)
    Total += L;
  FTotal = SampleAt(Total, D);

  // Where each length starts, in samples. Unvaried, from exact units; a
  // hand key's lengths each stray by up to Pct percent and are then scaled
  // together so that the text ends where the unvaried one does.
  std::vector<int64_t> Starts(Lengths.size() + 1);
  // Beyond half its length an element could round away to nothing.
  const int32_t Pct = std::clamp(Fist.Pct, 0, 50);
  if (Pct == 0) {
    int64_t At = 0;
    for (size_t K = 0; K < Lengths.size(); ++K) {
      Starts[K] = SampleAt(At, D);
      At += Lengths[K];
    }
  } else {
    TBandRandom Random(Fist.Seed ^ 0xF157F157ULL);
    std::vector<double> Varied(Lengths.size());
    double VariedTotal = 0;
    for (size_t K = 0; K < Lengths.size(); ++K) {
      Varied[K] = static_cast<double>(Lengths[K]) * (1.0 + Pct / 100.0 * Random.Uniform(-1.0, 1.0));
      VariedTotal += Varied[K];
    }
    const double SamplesPerUnit =
        static_cast<double>(Total) / VariedTotal * SamplesPerSec / static_cast<double>(D);
    double At = 0;
    for (size_t K = 0; K < Lengths.size(); ++K) {
      Starts[K] = std::llround(At * SamplesPerUnit);
      At += Varied[K];
    }
  }
  Starts.back() = FTotal;
  for (size_t K = 0, E = 0; K < Lengths.size(); K += 2, ++E) {
    FElements.push_back({Starts[K], Starts[K + 1]});
    if (CharEndsAfter[E])
      FCharEnds.push_back(Starts[K + 1]);
  }
}

void TRender::Rewind() {
  FPos = 0;
  FNext = 0;
}

size_t TRender::Next(std::span<uint8_t> Out) {
  const int64_t Count = std::min<int64_t>(static_cast<int64_t>(Out.size()), FTotal - FPos);
  if (Count <= 0)
    return 0;
  std::fill_n(Out.begin(), Count, Silence);
  const int64_t From = FPos;
  const int64_t To = FPos + Count;
  const long double Period = static_cast<long double>(SamplesPerSec) / std::max(FTone.ToneHz, 1);
  const int32_t Ramp = std::max(FTone.RampSamples, 1);
  while (FNext < FElements.size() && FElements[FNext].End <= From)
    ++FNext;
  for (size_t K = FNext; K < FElements.size() && FElements[K].Start < To; ++K) {
    const TElement& E = FElements[K];
    // Each element is the engine's own: phase 0 at its first sample, rising
    // and falling over the ramp, silent at its end.
    const int64_t First = std::max(E.Start, From);
    const int64_t Last = std::min(E.End, To);
    for (int64_t S = First; S < Last; ++S)
      Out[static_cast<size_t>(S - From)] = TMorse::ToneSample(static_cast<int32_t>(S - E.Start),
                                                               static_cast<int32_t>(E.End - E.Start),
                                                               Ramp, Period, FTone.Square);
  }
  FPos = To;
  return static_cast<size_t>(Count);
}

} // namespace practice

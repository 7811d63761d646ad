#include "sound/Band.h"
#include "sound/BandMeasure.h"

#include "sound/SoundState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using practice::TBand;
using practice::TBandMix;
using practice::TRender;

// PARIS and CQ, Words times: 25 wpm makes about 2.4 s a pair.
practice::TCodeSequence Text(int Words) {
  practice::TCodeSequence Codes;
  for (int W = 0; W < Words; ++W) {
    if (W > 0)
      Codes.emplace_back();
    for (const char* Code : {".--.", ".-", ".-.", "..", "...", "", "-.-.", "--.-"})
      Codes.emplace_back(Code);
  }
  return Codes;
}

std::vector<uint8_t> All(practice::TSampleSource& Source, size_t Block) {
  std::vector<uint8_t> Samples;
  std::vector<uint8_t> Buffer(Block);
  while (const size_t Got = Source.Next(Buffer))
    Samples.insert(Samples.end(), Buffer.begin(), Buffer.begin() + static_cast<std::ptrdiff_t>(Got));
  return Samples;
}

TBand Hardest() {
  TBand Band;
  Band.Noise = true;
  Band.SnrDb = practice::MinSnrDb;
  Band.QsbDepthDb = practice::MaxQsbDepthDb;
  Band.QsbPeriodSec = practice::MinQsbPeriodSec;
  Band.Qrm = practice::MaxQrm;
  Band.QrnPerMin = practice::MaxQrnPerMin;
  Band.FistPct = practice::MaxFistPct;
  return Band;
}

TEST(Band, WithNoConditionTheSignalIsTheCleanPracticeByteForByte) {
  const practice::TTiming Timing;
  const practice::TTone Tone;
  TRender Clean(Text(3), Timing, Tone);
  TBandMix Mix(Text(3), Timing, Tone, TBand{});
  ASSERT_FALSE(TBand{}.Any());
  EXPECT_EQ(All(Mix, 1000), All(Clean, 1000));
  // A fist of 0 % is no fist: the element times stay the standard's.
  const TRender NoFist(Text(3), Timing, Tone, practice::TFist{0, 9});
  const auto& A = NoFist.Elements();
  ASSERT_EQ(A.size(), Clean.Elements().size());
  for (size_t K = 0; K < A.size(); ++K)
    EXPECT_TRUE(A[K].Start == Clean.Elements()[K].Start && A[K].End == Clean.Elements()[K].End) << K;
}

TEST(Band, TheSameSeedGivesTheSameBytesWhateverTheBlocksAndAfterRewind) {
  TBand Band = Hardest();
  Band.SnrDb = 5;
  Band.Seed = 42;
  const practice::TTiming Timing;
  const practice::TTone Tone;
  TBandMix Mix(Text(6), Timing, Tone, Band);
  const std::vector<uint8_t> Seconds = All(Mix, SamplesPerSec);
  ASSERT_EQ(static_cast<int64_t>(Seconds.size()), Mix.TotalSamples());
  EXPECT_EQ(Mix.Position(), Mix.TotalSamples());
  Mix.Rewind();
  EXPECT_EQ(All(Mix, 1000), Seconds);
  TBandMix Again(Text(6), Timing, Tone, Band);
  EXPECT_EQ(All(Again, 777), Seconds);
  Band.Seed = 43;
  TBandMix Other(Text(6), Timing, Tone, Band);
  EXPECT_NE(All(Other, SamplesPerSec), Seconds);
}

// The energy above 4.2 kHz of each 64-sample frame (squared 8-bit steps):
// neither the tones (at most 2 kHz, ramped) nor the fading reach there, so
// only the 8-bit rounding (about 1 a frame) does, unless a level steps.
std::vector<double> HighFrames(const std::vector<uint8_t>& Samples) {
  constexpr int32_t Half = 50;
  constexpr double Pi = 3.141592653589793;
  const double Cut = 4200.0 / SamplesPerSec;
  std::vector<double> H(2 * Half + 1);
  for (int32_t K = -Half; K <= Half; ++K) {
    const double Sinc = K == 0 ? 1 - 2 * Cut : -std::sin(2 * Pi * Cut * K) / (Pi * K);
    H[static_cast<size_t>(K + Half)] =
        Sinc * (0.42 + 0.5 * std::cos(Pi * K / Half) + 0.08 * std::cos(2 * Pi * K / Half));
  }
  std::vector<double> Frames;
  double Sum = 0;
  for (size_t N = Half; N + Half < Samples.size(); ++N) {
    double Y = 0;
    for (size_t K = 0; K < H.size(); ++K)
      Y += H[K] * (Samples[N - Half + K] - 128.0);
    Sum += Y * Y;
    if ((N - Half) % 64 == 63) {
      Frames.push_back(Sum);
      Sum = 0;
    }
  }
  return Frames;
}

TEST(Band, TheHardestConditionsNeverClipAndNoLevelEverSteps) {
  const practice::TTiming Timing;
  const practice::TTone Tone;
  // At -10 dB the noise sets the gain; at +30 dB the crashes stand far
  // above everything else and the limiter has to catch them.
  for (const int32_t Snr : {practice::MinSnrDb, practice::MaxSnrDb}) {
    TBand Band = Hardest();
    Band.SnrDb = Snr;
    TBandMix Mix(Text(12), Timing, Tone, Band);
    const std::vector<uint8_t> Samples = All(Mix, SamplesPerSec);
    EXPECT_EQ(Mix.Clipped(), 0) << Snr;
    EXPECT_EQ(std::count_if(Samples.begin(), Samples.end(), [](uint8_t S) { return S == 0 || S == 255; }), 0)
        << Snr;
    // Everything else falls back to silence at the end, where the signal is
    // silent, and the noise, which at -10 dB outweighs the signal's first
    // rising samples, rises from silence at the start.
    for (size_t K = 0; K < 8; ++K) {
      EXPECT_NEAR(Samples[Samples.size() - 1 - K], Silence, 3) << Snr << " " << K;
      if (Snr == practice::MinSnrDb) {
        EXPECT_NEAR(Samples[K], Silence, 3) << K;
      }
    }
  }

  // Without the noise and the crashes the mix is tones only: the fading,
  // the other stations starting and stopping, the limiter and the ends must
  // leave nothing above the tones' band.
  TBand Tones = Hardest();
  Tones.Noise = false;
  Tones.QrnPerMin = 0;
  TBandMix Clean(Text(12), Timing, Tone, Tones);
  std::vector<uint8_t> Quiet = All(Clean, SamplesPerSec);
  const std::vector<double> Frames = HighFrames(Quiet);
  EXPECT_LT(*std::max_element(Frames.begin(), Frames.end()), 8.0);
  // A step of 12 steps in the middle shows.
  for (size_t N = Quiet.size() / 2; N < Quiet.size(); ++N)
    Quiet[N] = static_cast<uint8_t>(std::min(Quiet[N] + 12, 254));
  const std::vector<double> Stepped = HighFrames(Quiet);
  EXPECT_GT(*std::max_element(Stepped.begin(), Stepped.end()), 8.0);
}

TEST(Band, OtherStationsGivenNoTextsSendMadeUpCalls) {
  TBand Band;
  Band.Qrm = 2;
  TBandMix Mix(Text(12), practice::TTiming{}, practice::TTone{}, Band);
  const std::vector<uint8_t> Samples = All(Mix, SamplesPerSec);
  // Sound where the signal is silent.
  int64_t Spaces = 0, Sounding = 0;
  const auto& E = Mix.Signal().Elements();
  for (size_t K = 0; K + 1 < E.size(); ++K)
    for (int64_t N = E[K].End; N < E[K + 1].Start; ++N) {
      ++Spaces;
      Sounding += Samples[static_cast<size_t>(N)] != Silence;
    }
  EXPECT_GT(Sounding, Spaces / 5);
}

TEST(Band, AHandKeysFistKeepsTheRunningTimeAndTheOrderOfEverything) {
  const practice::TTiming Timing;
  const practice::TTone Tone;
  const TRender Even(Text(20), Timing, Tone);
  for (const int32_t Pct : {5, 20})
    for (const uint32_t Seed : {1u, 2u}) {
      const TRender Fist(Text(20), Timing, Tone, practice::TFist{Pct, Seed});
      EXPECT_EQ(Fist.TotalSamples(), Even.TotalSamples());
      const auto& E = Fist.Elements();
      ASSERT_EQ(E.size(), Even.Elements().size());
      ASSERT_EQ(Fist.CharEnds().size(), Even.CharEnds().size());
      const double Stray = Pct / 100.0;
      const double Widest = (1 + Stray) / (1 - Stray);
      int32_t Moved = 0;
      for (size_t K = 0; K < E.size(); ++K) {
        const auto Length = static_cast<double>(E[K].End - E[K].Start);
        const auto Wanted = static_cast<double>(Even.Elements()[K].End - Even.Elements()[K].Start);
        EXPECT_GE(Length, Wanted / Widest - 1) << Pct << " " << K;
        EXPECT_LE(Length, Wanted * Widest + 1) << Pct << " " << K;
        if (K > 0) {
          EXPECT_GT(E[K].Start, E[K - 1].End) << Pct << " " << K;
        }
        Moved += Length != Wanted;
      }
      EXPECT_GT(Moved, static_cast<int32_t>(E.size()) / 2);
      EXPECT_LT(E.back().End, Fist.TotalSamples());
      // Each character ends where its last element does, after the one before.
      EXPECT_EQ(std::adjacent_find(Fist.CharEnds().begin(), Fist.CharEnds().end(), std::greater_equal<>{}),
                Fist.CharEnds().end());
      for (const int64_t End : Fist.CharEnds())
        EXPECT_TRUE(std::any_of(E.begin(), E.end(), [&](const TRender::TElement& X) { return X.End == End; }));
    }
}

TEST(Band, TheAnalysisFindsTheSetRatioAndDepthInTheWrittenSamples) {
  TBand Band;
  Band.Noise = true;
  Band.SnrDb = 3;
  Band.QsbDepthDb = 20;
  Band.QsbPeriodSec = 3;
  const practice::TTiming Timing;
  const practice::TTone Tone;
  TBandMix Mix(Text(20), Timing, Tone, Band);
  const std::vector<uint8_t> Samples = All(Mix, SamplesPerSec);
  const practice::TBandFigures F = practice::MeasureBand(Samples, Mix.Signal(), Band.QsbPeriodSec);
  EXPECT_NEAR(F.SnrDb, 3, 1.5);
  EXPECT_NEAR(F.QsbDepthDb, 20, 3);
  EXPECT_EQ(F.ClippedSamples, 0);
}

} // namespace

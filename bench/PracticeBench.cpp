// The practice's timing as written: renders a text at four speed pairs,
// decodes the samples back into tone and silence runs, classifies them as
// dots, dashes and the three spaces, and sets their mean durations against
// the standard's. Prints one line per pair; exits 1 when an error passes
// 0.5 %.
#include "course/LessonData.h"
#include "sound/PracticeTiming.h"
#include "base/CodePage.h"
#include "training/Practice.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

struct TRun {
  int64_t Start = 0; // the silent sample before the tone's first
  int64_t End = 0;   // the first silent sample after its last
};

// Tone runs: stretches between runs of at least MinSilence samples of
// silence. A tone starts from silence at phase 0 and ends in silence, so
// its edges are the last silent sample before it and the first after it.
std::vector<TRun> ToneRuns(const std::vector<uint8_t>& Samples, int64_t MinSilence) {
  std::vector<TRun> Runs;
  const auto N = static_cast<int64_t>(Samples.size());
  int64_t I = 0;
  while (I < N) {
    while (I < N && Samples[static_cast<size_t>(I)] == 128)
      ++I;
    if (I >= N)
      break;
    TRun Run;
    Run.Start = I - 1;
    int64_t LastSound = I;
    while (I < N) {
      if (Samples[static_cast<size_t>(I)] != 128) {
        LastSound = I;
        ++I;
        continue;
      }
      int64_t J = I;
      while (J < N && Samples[static_cast<size_t>(J)] == 128)
        ++J;
      if (J - I >= MinSilence || J >= N)
        break;
      I = J;
    }
    Run.End = LastSound + 1;
    Runs.push_back(Run);
    I = Run.End;
  }
  return Runs;
}

double Mean(const std::vector<double>& V) {
  double Sum = 0;
  for (const double X : V)
    Sum += X;
  return V.empty() ? 0.0 : Sum / static_cast<double>(V.size());
}

double ErrPct(double Measured, double Wanted) {
  return std::fabs(Measured - Wanted) / Wanted * 100.0;
}

} // namespace

int main() {
  std::ifstream In(VELM_SOURCE_DATA_DIR "/Eng.txt", std::ios::binary);
  const std::vector<uint8_t> Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  const sound::TCodetafel Table = ParseCodeTable(Bytes);
  std::string Text;
  for (int I = 0; I < 8; ++I)
    Text += "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 1234567890 PARIS CQ DE 73 ";
  const practice::TCodeSequence Codes = practice::CodesOf(Text, Table, ANSI_CHARSET);

  bool AllWithin = true;
  const std::pair<int, int> Pairs[] = {{25, 25}, {25, 4}, {40, 15}, {100, 100}};
  for (const auto& [C, S] : Pairs) {
    practice::TTiming Timing;
    Timing.CharWpm = C;
    Timing.EffectiveWpm = S;
    practice::TTone Tone;
    Tone.ToneHz = 600;
    practice::TRender Render(Codes, Timing, Tone);
    std::vector<uint8_t> Samples(static_cast<size_t>(Render.TotalSamples()));
    Render.Next(Samples);

    const std::vector<TRun> Runs = ToneRuns(Samples, 8);
    const double Rate = SamplesPerSec;
    const double Dot = Timing.DotSec();
    const double CharSpace = Timing.CharSpaceSec();
    const double WordSpace = Timing.WordSpaceSec();
    std::vector<double> Dots, Dashes, Gaps, CharSpaces, WordSpaces;
    for (size_t K = 0; K < Runs.size(); ++K) {
      const double Length = static_cast<double>(Runs[K].End - Runs[K].Start) / Rate;
      (Length < 2 * Dot ? Dots : Dashes).push_back(Length);
      if (K + 1 == Runs.size())
        break;
      const double Space = static_cast<double>(Runs[K + 1].Start - Runs[K].End) / Rate;
      if (Space < (Dot + CharSpace) / 2)
        Gaps.push_back(Space);
      else if (Space < (CharSpace + WordSpace) / 2)
        CharSpaces.push_back(Space);
      else
        WordSpaces.push_back(Space);
    }
    const double CharErr =
        std::max({ErrPct(Mean(Dots), Dot), ErrPct(Mean(Dashes), 3 * Dot), ErrPct(Mean(Gaps), Dot)});
    const double CharSpaceErr = ErrPct(Mean(CharSpaces), CharSpace);
    const double WordSpaceErr = ErrPct(Mean(WordSpaces), WordSpace);
    std::printf("practice: wpm=%d effective=%d char_err_pct=%.3f char_space_err_pct=%.3f word_space_err_pct=%.3f"
                " (dots=%zu dashes=%zu char_spaces=%zu word_spaces=%zu)\n",
                C, S, CharErr, CharSpaceErr, WordSpaceErr, Dots.size(), Dashes.size(), CharSpaces.size(),
                WordSpaces.size());
    AllWithin = AllWithin && CharErr <= 0.5 && CharSpaceErr <= 0.5 && WordSpaceErr <= 0.5;
  }
  return AllWithin ? 0 : 1;
}

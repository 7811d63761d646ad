#include "sound/BandMeasure.h"

#include "sound/Band.h"
#include "sound/SoundState.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace practice {

namespace {

constexpr double Rate = SamplesPerSec;
constexpr double Pi = 3.141592653589793238463;
// The low-pass after the mix down to the tone: a Blackman-windowed sinc of
// half the band, 2·Half + 1 taps; its output is needed only every Decimate-th
// sample.
constexpr int32_t Half = 127;
constexpr int32_t Decimate = 8;

std::vector<double> LowPass() {
  std::vector<double> H(2 * Half + 1);
  const double Cut = SnrBandHz / 2.0 / Rate;
  double Sum = 0;
  for (int32_t K = -Half; K <= Half; ++K) {
    const double Sinc = K == 0 ? 2 * Cut : std::sin(2 * Pi * Cut * K) / (Pi * K);
    const double W = 0.42 + 0.5 * std::cos(Pi * K / Half) + 0.08 * std::cos(2 * Pi * K / Half);
    H[static_cast<size_t>(K + Half)] = Sinc * W;
    Sum += Sinc * W;
  }
  for (double& V : H)
    V /= Sum;
  return H;
}

// The samples mixed down to the tone and low-passed: the squared magnitude
// at chosen centres. For a tone of amplitude A it is A²/4; for noise of
// one-sided density S around the tone it is S/2 times the filter's
// equivalent noise bandwidth Σh²·rate.
class TBaseband {
public:
  TBaseband(std::span<const double> X, double CentreHz) : FX(X), FH(LowPass()) {
    FCos.resize(X.size());
    FSin.resize(X.size());
    const double W = 2 * Pi * CentreHz / Rate;
    for (size_t N = 0; N < X.size(); ++N) {
      FCos[N] = X[N] * std::cos(W * static_cast<double>(N));
      FSin[N] = X[N] * std::sin(W * static_cast<double>(N));
    }
    double Sq = 0;
    for (const double V : FH)
      Sq += V * V;
    FBandwidthHz = Sq * Rate;
  }
  // Centre must be at least Half from either end.
  double Power(int64_t Centre) const {
    double I = 0;
    double Q = 0;
    const auto From = static_cast<size_t>(Centre - Half);
    for (size_t K = 0; K < FH.size(); ++K) {
      I += FH[K] * FCos[From + K];
      Q += FH[K] * FSin[From + K];
    }
    return I * I + Q * Q;
  }
  // A mean Power of noise as its power within SnrBandHz.
  double NoiseInBand(double MeanPower) const { return 2 * MeanPower * SnrBandHz / FBandwidthHz; }
  size_t Size() const { return FX.size(); }

private:
  std::span<const double> FX;
  std::vector<double> FH;
  std::vector<double> FCos;
  std::vector<double> FSin;
  double FBandwidthHz = 0;
};

struct TElementLevel {
  double Sec = 0;       // the element's middle
  double Amplitude = 0; // of the tone, coherent
  double Weight = 0;    // samples it was measured over
};

// The raised cosine in dB of the fading: the amplitude at Phase (0 a peak)
// for a depth of DepthDb.
double FadeShape(double Phase, double DepthDb) {
  return std::pow(10.0, -DepthDb * (1 - std::cos(2 * Pi * Phase)) / 40);
}

// The depth whose raised cosine, scaled by the best amplitude, fits the
// elements' amplitudes at their phases in the least squares.
double FitDepth(const std::vector<std::pair<double, TElementLevel>>& Phased) {
  const auto Residual = [&](double Depth) {
    double AA = 0, AM = 0, MM = 0;
    for (const auto& [Phase, L] : Phased) {
      const double M = FadeShape(Phase, Depth);
      AA += L.Weight * L.Amplitude * L.Amplitude;
      AM += L.Weight * L.Amplitude * M;
      MM += L.Weight * M * M;
    }
    return AA - AM * AM / MM;
  };
  double Best = 0;
  double BestResidual = Residual(0);
  for (double D = 0.25; D <= 50; D += 0.25)
    if (const double R = Residual(D); R < BestResidual) {
      Best = D;
      BestResidual = R;
    }
  const double From = std::max(0.0, Best - 0.25);
  const double To = Best + 0.25;
  for (double D = From; D <= To; D += 0.005)
    if (const double R = Residual(D); R < BestResidual) {
      Best = D;
      BestResidual = R;
    }
  return Best;
}

// The fading's peaks, where the signal is strongest and best measured: the
// local maxima of the levels smoothed over a tenth of the period, each
// placed at the vertex of the parabola through it and its neighbours.
std::vector<double> FadingPeaks(const std::vector<TElementLevel>& Levels, double PeriodSec) {
  const double Sigma = PeriodSec / 10;
  const double Step = PeriodSec / 40;
  const double Last = Levels.empty() ? 0.0 : Levels.back().Sec;
  std::vector<double> Envelope;
  size_t First = 0;
  for (double T = 0; T <= Last; T += Step) {
    while (First < Levels.size() && Levels[First].Sec < T - 4 * Sigma)
      ++First;
    double Sum = 0, Weights = 0;
    for (size_t K = First; K < Levels.size() && Levels[K].Sec <= T + 4 * Sigma; ++K) {
      const double D = (Levels[K].Sec - T) / Sigma;
      const double W = Levels[K].Weight * std::exp(-D * D / 2);
      Sum += W * Levels[K].Amplitude;
      Weights += W;
    }
    Envelope.push_back(Weights > 0 ? Sum / Weights : 0.0);
  }
  std::vector<double> Peaks;
  const auto Reach = static_cast<int64_t>(0.4 * PeriodSec / Step);
  const auto Count = static_cast<int64_t>(Envelope.size());
  const auto At = [&](int64_t K) { return Envelope[static_cast<size_t>(K)]; };
  for (int64_t K = std::max<int64_t>(1, Reach / 2); K + std::max<int64_t>(1, Reach / 2) < Count; ++K) {
    bool Highest = true;
    for (int64_t J = std::max<int64_t>(0, K - Reach); J <= std::min(Count - 1, K + Reach) && Highest; ++J)
      Highest = J == K || At(J) < At(K) || (At(J) == At(K) && J > K);
    if (!Highest)
      continue;
    const double Curve = At(K - 1) - 2 * At(K) + At(K + 1);
    const double Offset = Curve < 0 ? 0.5 * (At(K - 1) - At(K + 1)) / Curve : 0.0;
    Peaks.push_back((static_cast<double>(K) + Offset) * Step);
  }
  return Peaks;
}

// Each element's phase between the peaks around it (0 at a peak), where
// they are about a period apart.
std::vector<std::pair<double, TElementLevel>> PhasesBetween(const std::vector<TElementLevel>& Levels,
                                                            const std::vector<double>& Peaks, double PeriodSec) {
  std::vector<std::pair<double, TElementLevel>> Phased;
  size_t P = 0;
  for (const TElementLevel& L : Levels) {
    while (P + 1 < Peaks.size() && Peaks[P + 1] <= L.Sec)
      ++P;
    if (P + 1 >= Peaks.size() || L.Sec < Peaks[P])
      continue;
    const double Span = Peaks[P + 1] - Peaks[P];
    if (Span < 0.5 * PeriodSec || Span > 1.6 * PeriodSec)
      continue;
    Phased.emplace_back((L.Sec - Peaks[P]) / Span, L);
  }
  return Phased;
}

} // namespace

double BandPower(std::span<const double> Samples, double CentreHz) {
  const TBaseband Base(Samples, CentreHz);
  double Sum = 0;
  int64_t Count = 0;
  for (auto N = static_cast<int64_t>(Half); N + Half < static_cast<int64_t>(Samples.size()); N += Decimate) {
    Sum += Base.Power(N);
    ++Count;
  }
  return Count > 0 ? Base.NoiseInBand(Sum / static_cast<double>(Count)) : 0.0;
}

TBandFigures MeasureBand(std::span<const uint8_t> Samples, const TRender& Signal, double QsbPeriodSec) {
  TBandFigures Figures;
  const auto Size = static_cast<int64_t>(Samples.size());
  std::vector<double> X(Samples.size());
  double Mean = 0;
  for (size_t N = 0; N < Samples.size(); ++N) {
    if (Samples[N] == 0 || Samples[N] == 255)
      ++Figures.ClippedSamples;
    Mean += Samples[N];
  }
  Mean /= std::max<double>(1, static_cast<double>(Samples.size()));
  for (size_t N = 0; N < Samples.size(); ++N)
    X[N] = Samples[N] - Mean;

  const TTone& Tone = Signal.Tone();
  const TBaseband Base(X, Tone.ToneHz);
  const int64_t Ramp = std::max(Tone.RampSamples, 1);
  const auto& Elements = Signal.Elements();
  // Tone and noise from well inside the elements, noise alone from well
  // inside the spaces: clear of the ramps and the filter's reach.
  double Keyed = 0, Gaps = 0;
  int64_t KeyedCount = 0, GapCount = 0;
  for (size_t E = 0; E < Elements.size(); ++E) {
    const int64_t Start = Elements[E].Start;
    const int64_t End = std::min(Elements[E].End, Size);
    for (int64_t N = Start + Ramp + Half; N < End - Ramp - Half; N += Decimate) {
      Keyed += Base.Power(N);
      ++KeyedCount;
    }
    const int64_t Next = std::min(E + 1 < Elements.size() ? Elements[E + 1].Start : Size, Size);
    for (int64_t N = End + Half + Decimate; N < Next - Half - Decimate; N += Decimate) {
      Gaps += Base.Power(N);
      ++GapCount;
    }
  }
  if (KeyedCount > 0 && GapCount > 0) {
    const double Noise = Gaps / static_cast<double>(GapCount);
    Figures.NoisePower = Base.NoiseInBand(Noise);
    Figures.TonePower = 2 * (Keyed / static_cast<double>(KeyedCount) - Noise);
    Figures.SnrDb = 10 * std::log10(std::max(Figures.TonePower, 1e-12) / std::max(Figures.NoisePower, 1e-12));
  }

  // Each element's amplitude, projected onto the tone's sine (its phase is
  // 0 at the element's first sample): the noise averages out of it.
  std::vector<TElementLevel> Levels;
  const double W = 2 * Pi * Tone.ToneHz / Rate;
  for (const TRender::TElement& E : Elements) {
    const int64_t From = E.Start + Ramp;
    const int64_t To = std::min(E.End, Size) - Ramp;
    if (To - From < 8)
      continue;
    double Dot = 0, Norm = 0;
    for (int64_t N = From; N < To; ++N) {
      const double S = std::sin(W * static_cast<double>(N - E.Start));
      Dot += X[static_cast<size_t>(N)] * S;
      Norm += S * S;
    }
    Levels.push_back({static_cast<double>(E.Start + E.End) / 2 / Rate, Dot / Norm, static_cast<double>(To - From)});
  }
  if (Levels.size() < 16 || QsbPeriodSec <= 0)
    return Figures;

  // The peaks are found from every other element and the depth fitted to
  // the rest, and the other way round: peaks found from the same elements
  // would sit where the noise happened to raise them and show fading where
  // there is none.
  std::vector<TElementLevel> Halves[2];
  for (size_t K = 0; K < Levels.size(); ++K)
    Halves[K % 2].push_back(Levels[K]);
  double Depth = 0;
  int32_t Fits = 0;
  for (int32_t H = 0; H < 2; ++H) {
    const std::vector<double> Peaks = FadingPeaks(Halves[H], QsbPeriodSec);
    Figures.QsbPeaks = std::max(Figures.QsbPeaks, static_cast<int32_t>(Peaks.size()));
    const auto Phased = PhasesBetween(Halves[1 - H], Peaks, QsbPeriodSec);
    if (Phased.size() >= 8) {
      Depth += FitDepth(Phased);
      ++Fits;
    }
  }
  if (Fits > 0)
    Figures.QsbDepthDb = Depth / Fits;
  return Figures;
}

} // namespace practice

#include "sound/Band.h"

#include "sound/BandRandom.h"
#include "sound/SoundState.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <string>

namespace practice {

bool TBand::Any() const {
  return Noise || QsbDepthDb > 0 || Qrm > 0 || QrnPerMin > 0 || FistPct > 0;
}

bool TBand::Valid() const {
  return SnrDb >= MinSnrDb && SnrDb <= MaxSnrDb && QsbDepthDb >= 0 && QsbDepthDb <= MaxQsbDepthDb &&
         QsbPeriodSec >= MinQsbPeriodSec && QsbPeriodSec <= MaxQsbPeriodSec && Qrm >= 0 && Qrm <= MaxQrm &&
         QrnPerMin >= 0 && QrnPerMin <= MaxQrnPerMin && FistPct >= 0 && FistPct <= MaxFistPct;
}

TBand TBand::Clamped() const {
  TBand B = *this;
  B.SnrDb = std::clamp(SnrDb, MinSnrDb, MaxSnrDb);
  B.QsbDepthDb = std::clamp(QsbDepthDb, 0, MaxQsbDepthDb);
  B.QsbPeriodSec = std::clamp(QsbPeriodSec, MinQsbPeriodSec, MaxQsbPeriodSec);
  B.Qrm = std::clamp(Qrm, 0, MaxQrm);
  B.QrnPerMin = std::clamp(QrnPerMin, 0, MaxQrnPerMin);
  B.FistPct = std::clamp(FistPct, 0, MaxFistPct);
  return B;
}

namespace {

constexpr double Rate = SamplesPerSec;
constexpr double Pi = 3.141592653589793238463;
// The limiter looks this many samples ahead (about 6 ms) and ramps its gain
// over as many; the mix's output lags its input by one less.
constexpr int32_t LookAhead = 64;
// The loudest sample the mix makes, leaving the 8-bit range's ends unused.
constexpr double Limit = 126.0;
// The limiter's gain comes back from 0 to 1 in no less than 50 ms.
constexpr double ReleasePerSample = 1.0 / (0.05 * Rate);
// Noise, other stations and crashes rise and fall over 20 ms at the
// practice's start and end.
constexpr int64_t EdgeSamples = 220;
// The signal and the other stations are rendered this many samples at a
// time.
constexpr int64_t ChunkSamples = 1024;

// A second-order section (the usual audio cookbook's), transposed direct
// form II.
struct TBiquad {
  double B0 = 1, B1 = 0, B2 = 0, A1 = 0, A2 = 0;
  double Z1 = 0, Z2 = 0;

  static TBiquad Pass(double Hz, double Q, bool High) {
    const double W = 2 * Pi * Hz / Rate;
    const double Alpha = std::sin(W) / (2 * Q);
    const double C = std::cos(W);
    const double A0 = 1 + Alpha;
    TBiquad F;
    const double Side = High ? (1 + C) / 2 : (1 - C) / 2;
    F.B0 = Side / A0;
    F.B1 = (High ? -(1 + C) : 1 - C) / A0;
    F.B2 = Side / A0;
    F.A1 = -2 * C / A0;
    F.A2 = (1 - Alpha) / A0;
    return F;
  }
  double Step(double X) {
    const double Y = B0 * X + Z1;
    Z1 = B1 * X - A1 * Y + Z2;
    Z2 = B2 * X - A2 * Y;
    return Y;
  }
  std::complex<double> Response(double Hz) const {
    const std::complex<double> Z1Inv = std::polar(1.0, -2 * Pi * Hz / Rate);
    return (B0 + B1 * Z1Inv + B2 * Z1Inv * Z1Inv) / (1.0 + A1 * Z1Inv + A2 * Z1Inv * Z1Inv);
  }
};

// A receiver's pass band: a second-order high-pass at 100 Hz and a
// fourth-order Butterworth low-pass at 2.7 kHz, flat (within 0.1 dB) over
// every pitch the tone and the other stations take.
struct TReceiverFilter {
  std::array<TBiquad, 3> Sections{TBiquad::Pass(100, 0.70710678, true), TBiquad::Pass(2700, 0.54119610, false),
                                  TBiquad::Pass(2700, 1.30656296, false)};

  double Step(double X) {
    for (TBiquad& S : Sections)
      X = S.Step(X);
    return X;
  }
  double PowerGain(double Hz) const {
    double G = 1;
    for (const TBiquad& S : Sections)
      G *= std::norm(S.Response(Hz));
    return G;
  }
  // The variance of its output for white noise of variance 1: the sum of
  // its impulse response's squares.
  double WhiteNoisePower() const {
    TReceiverFilter F;
    double Sum = 0;
    for (int32_t N = 0; N < 16384; ++N) {
      const double Y = F.Step(N == 0 ? 1.0 : 0.0);
      Sum += Y * Y;
    }
    return Sum;
  }
  // The power its output has within SnrBandHz centred on CentreHz for white
  // noise of variance 1 (one-sided density 2 / rate), integrated by
  // Simpson's rule.
  double BandPower(double CentreHz) const {
    constexpr int32_t Steps = 500;
    const double Step = static_cast<double>(SnrBandHz) / Steps;
    const double From = CentreHz - SnrBandHz / 2.0;
    double Sum = 0;
    for (int32_t K = 0; K <= Steps; ++K) {
      const double Weight = (K == 0 || K == Steps) ? 1 : (K % 2 ? 4 : 2);
      Sum += Weight * PowerGain(From + K * Step);
    }
    return Sum * Step / 3 * 2 / Rate;
  }
};

const char* CodeOfChar(char C) {
  static const char* const Letters[26] = {".-",   "-...", "-.-.", "-..",  ".",    "..-.", "--.",  "....", "..",
                                          ".---", "-.-",  ".-..", "--",   "-.",   "---",  ".--.", "--.-", ".-.",
                                          "...",  "-",    "..-",  "...-", ".--",  "-..-", "-.--", "--.."};
  static const char* const Digits[10] = {"-----", ".----", "..---", "...--", "....-",
                                         ".....", "-....", "--...", "---..", "----."};
  if (C >= 'A' && C <= 'Z')
    return Letters[C - 'A'];
  if (C >= '0' && C <= '9')
    return Digits[C - '0'];
  return nullptr;
}

TCodeSequence CodesOfText(const std::string& Text) {
  TCodeSequence Codes;
  for (const char C : Text) {
    if (C == ' ') {
      Codes.emplace_back();
      continue;
    }
    if (const char* Code = CodeOfChar(C))
      Codes.emplace_back(Code);
  }
  return Codes;
}

// Calls of made-up stations, for other stations given no texts.
std::vector<TCodeSequence> FallbackTexts(TBandRandom& Random) {
  std::vector<TCodeSequence> Texts;
  for (int32_t K = 0; K < 6; ++K) {
    std::string Call;
    for (int32_t L = Random.Between(1, 2); L > 0; --L)
      Call += static_cast<char>('A' + Random.Between(0, 25));
    Call += static_cast<char>('0' + Random.Between(0, 9));
    for (int32_t L = Random.Between(2, 3); L > 0; --L)
      Call += static_cast<char>('A' + Random.Between(0, 25));
    Texts.push_back(CodesOfText(K % 2 ? "CQ CQ DE " + Call + " " + Call + " K" : "DE " + Call + " 599 TU"));
  }
  return Texts;
}

struct TQsbCycle {
  int64_t Start = 0;
  int64_t Length = 1;
};

struct TTransmission {
  int64_t Start = 0;
  TRender Render;
};

struct TStation {
  double Level = 1; // its peak against the signal's
  std::vector<TTransmission> Sends;
  size_t Cur = 0;
};

struct TCrash {
  int64_t Start = 0;
  int64_t End = 0;
  int32_t AttackSamples = 11;
  double DecaySamples = 220;
  double Sigma = 1; // the burst noise's deviation against the signal's peak
};

} // namespace

struct TBandMix::TImpl {
  TImpl(const TCodeSequence& Codes, const TTiming& Timing, const TTone& Tone, const TBand& Given,
        std::vector<TCodeSequence> Others);

  TRender Signal;
  TBand Band;
  bool Mixing = false;
  double Gain = 1;       // master: from the signal's peak as 1 to 8-bit steps
  double NoiseScale = 0; // of the unit white noise before the filter
  double CrashNorm = 1;  // makes the filtered unit noise's deviation 1
  std::vector<TQsbCycle> Cycles;
  std::vector<TStation> Stations;
  std::vector<TCrash> Crashes;

  // The running state, back to its start by Reset.
  TBandRandom NoiseRandom{0};
  TBandRandom CrashRandom{0};
  TReceiverFilter NoiseFilter;
  TReceiverFilter CrashFilter;
  size_t CycleCur = 0;
  size_t CrashFirst = 0;
  int64_t InPos = 0;  // next input sample to mix
  int64_t OutPos = 0; // next sample to give out
  int64_t Clipped = 0;
  std::array<double, LookAhead> Held{};     // the limiter's held gains
  std::array<double, LookAhead> Input{};    // mixed samples waiting for their gain
  std::array<double, LookAhead> Required{}; // the gain each needs to stay within Limit
  double HeldSum = LookAhead;
  double LastHeld = 1;
  int64_t ChunkStart = 0;
  std::vector<double> Chunk;         // the signal, faded
  std::vector<double> StationChunk;  // the other stations
  std::vector<uint8_t> Bytes;

  double FadeGain(int64_t N, size_t& Cur) const;
  void Reset();
  void MixChunk(int64_t From);
  double Mixed(int64_t N);
  double Step();
};

TBandMix::TImpl::TImpl(const TCodeSequence& Codes, const TTiming& Timing, const TTone& Tone, const TBand& Given,
                       std::vector<TCodeSequence> Others)
    : Signal(Codes, Timing, Tone, TFist{Given.Clamped().FistPct, Given.Seed}), Band(Given.Clamped()) {
  Mixing = Band.Noise || Band.QsbDepthDb > 0 || Band.Qrm > 0 || Band.QrnPerMin > 0;
  if (!Mixing)
    return;
  const int64_t Total = Signal.TotalSamples();
  TBandRandom Plan(static_cast<uint64_t>(Band.Seed) * 0x2545F4914F6CDD1DULL + 0x5A17);

  // Fading: cycle after cycle from the peak down and back, each within a
  // quarter of the set period.
  if (Band.QsbDepthDb > 0)
    for (int64_t At = 0; At < Total;) {
      const auto Length = static_cast<int64_t>(Band.QsbPeriodSec * Rate * Plan.Uniform(0.75, 1.25));
      Cycles.push_back({At, std::max<int64_t>(Length, 1)});
      At += Cycles.back().Length;
    }

  // The tone's power while it sounds, fading included: its fundamental's
  // mean square at full level over each element (Simpson's rule over the
  // element, which is short against a fading cycle).
  const double Fundamental = Tone.Square ? 4 / Pi * 120.0 / 127.0 : 1.0;
  double Keyed = 0;
  double Weighted = 0;
  size_t Cur = 0;
  for (const TRender::TElement& E : Signal.Elements()) {
    const auto Length = static_cast<double>(E.End - E.Start);
    const double A = FadeGain(E.Start, Cur);
    const double M = FadeGain((E.Start + E.End) / 2, Cur);
    const double B = FadeGain(E.End, Cur);
    Weighted += Length * (A * A + 4 * M * M + B * B) / 6;
    Keyed += Length;
  }
  const double TonePower = Fundamental * Fundamental / 2 * (Keyed > 0 ? Weighted / Keyed : 1.0);

  TReceiverFilter Filter;
  const double FilteredPower = Filter.WhiteNoisePower();
  CrashNorm = 1 / std::sqrt(FilteredPower);
  double NoiseSigma = 0;
  if (Band.Noise) {
    const double NoisePower = TonePower / std::pow(10.0, Band.SnrDb / 10.0);
    NoiseScale = std::sqrt(NoisePower / Filter.BandPower(Tone.ToneHz));
    NoiseSigma = NoiseScale * std::sqrt(FilteredPower);
  }

  // Other stations: each at its own pitch, speed and level, sending a few
  // of the texts, then silent for a while.
  if (Band.Qrm > 0 && Others.empty())
    Others = FallbackTexts(Plan);
  double StationPeaks = 0;
  for (int32_t S = 0; S < Band.Qrm; ++S) {
    TStation Station;
    const double Offset = (Plan.Uniform() < 0.5 ? -1 : 1) * Plan.Uniform(50, 400);
    TTone StationTone;
    StationTone.ToneHz = static_cast<int32_t>(std::clamp(Tone.ToneHz + Offset, 250.0, 2000.0));
    StationTone.RampSamples = Tone.RampSamples;
    TTiming Speed;
    Speed.CharWpm = Speed.EffectiveWpm = Plan.Between(12, 35);
    Station.Level = std::pow(10.0, Plan.Uniform(-12, 6) / 20);
    StationPeaks += Station.Level;
    for (auto At = static_cast<int64_t>(Plan.Uniform(0, 6) * Rate); At < Total;) {
      TCodeSequence Text;
      const int32_t Picks = Plan.Between(1, 3);
      for (int32_t P = 0; P < Picks; ++P) {
        if (P > 0)
          Text.emplace_back();
        const TCodeSequence& Piece = Others[static_cast<size_t>(Plan.Between(0, static_cast<int32_t>(Others.size()) - 1))];
        Text.insert(Text.end(), Piece.begin(), Piece.end());
      }
      TRender Render(Text, Speed, StationTone);
      const int64_t Length = Render.TotalSamples();
      Station.Sends.push_back({At, std::move(Render)});
      At += Length + static_cast<int64_t>(Plan.Uniform(2, 12) * Rate);
    }
    Stations.push_back(std::move(Station));
  }

  // Static crashes: a Poisson process at the set rate, a third of them
  // followed closely by one to three more.
  if (Band.QrnPerMin > 0) {
    const double PerSample = Band.QrnPerMin / (60.0 * Rate);
    for (double At = 0;;) {
      At += -std::log(1.0 - Plan.Uniform()) / PerSample;
      if (At >= static_cast<double>(Total))
        break;
      const int32_t Burst = Plan.Uniform() < 1.0 / 3 ? Plan.Between(2, 4) : 1;
      auto Start = static_cast<int64_t>(At);
      for (int32_t K = 0; K < Burst && Start < Total; ++K) {
        TCrash Crash;
        Crash.Start = Start;
        Crash.AttackSamples = static_cast<int32_t>(Plan.Uniform(0.001, 0.003) * Rate);
        Crash.DecaySamples = Plan.Uniform(0.010, 0.060) * Rate;
        // Peaks, about three deviations, from 6 dB under to 10 dB over the
        // signal's peak.
        Crash.Sigma = std::pow(10.0, Plan.Uniform(-6, 10) / 20) / 3;
        Crash.End = Start + Crash.AttackSamples + static_cast<int64_t>(std::ceil(9.3 * Crash.DecaySamples));
        Crashes.push_back(Crash);
        Start += static_cast<int64_t>(Plan.Uniform(0.020, 0.150) * Rate);
      }
    }
    std::sort(Crashes.begin(), Crashes.end(), [](const TCrash& A, const TCrash& B) { return A.Start < B.Start; });
  }

  // The signal's peak, four deviations of the noise and the stations' peaks
  // fit; the limiter catches the rest.
  const double Peak = (Tone.Square ? 120.0 / 127.0 : 1.0) + 4 * NoiseSigma + StationPeaks;
  Gain = Limit / Peak;
  Reset();
}

// The signal's fading gain at sample N: its level in dB a raised cosine
// from 0 down to the depth and back over each cycle. Cur is a cycle at or
// before N's, moved on to N's.
double TBandMix::TImpl::FadeGain(int64_t N, size_t& Cur) const {
  if (Cycles.empty())
    return 1;
  while (Cur + 1 < Cycles.size() && Cycles[Cur + 1].Start <= N)
    ++Cur;
  const TQsbCycle& C = Cycles[Cur];
  const double Phase = static_cast<double>(N - C.Start) / static_cast<double>(C.Length);
  const double Db = -Band.QsbDepthDb * (1 - std::cos(2 * Pi * Phase)) / 2;
  return std::pow(10.0, Db / 20);
}

void TBandMix::TImpl::Reset() {
  Signal.Rewind();
  for (TStation& S : Stations) {
    S.Cur = 0;
    for (TTransmission& T : S.Sends)
      T.Render.Rewind();
  }
  NoiseRandom = TBandRandom(static_cast<uint64_t>(Band.Seed) * 0x9E3779B97F4A7C15ULL + 0x401E);
  CrashRandom = TBandRandom(static_cast<uint64_t>(Band.Seed) * 0xD1B54A32D192ED03ULL + 0xC4A5);
  NoiseFilter = TReceiverFilter();
  CrashFilter = TReceiverFilter();
  CycleCur = 0;
  CrashFirst = 0;
  InPos = 0;
  OutPos = 0;
  Clipped = 0;
  Held.fill(1);
  Input.fill(0);
  Required.fill(1);
  HeldSum = LookAhead;
  LastHeld = 1;
  ChunkStart = 0;
  Chunk.clear();
  StationChunk.clear();
}

// The signal, faded, and the other stations from From on.
void TBandMix::TImpl::MixChunk(int64_t From) {
  ChunkStart = From;
  Chunk.assign(ChunkSamples, 0.0);
  StationChunk.assign(ChunkSamples, 0.0);
  Bytes.assign(ChunkSamples, Silence);
  const size_t Got = Signal.Next(Bytes);
  for (size_t K = 0; K < Got; ++K)
    if (Bytes[K] != Silence)
      Chunk[K] = (Bytes[K] - 128) / 127.0 * FadeGain(From + static_cast<int64_t>(K), CycleCur);
  const int64_t To = From + ChunkSamples;
  for (TStation& S : Stations) {
    while (S.Cur < S.Sends.size() && S.Sends[S.Cur].Start + S.Sends[S.Cur].Render.TotalSamples() <= From)
      ++S.Cur;
    for (size_t T = S.Cur; T < S.Sends.size() && S.Sends[T].Start < To; ++T) {
      TTransmission& Send = S.Sends[T];
      const int64_t First = std::max(From, Send.Start);
      const int64_t Last = std::min(To, Send.Start + Send.Render.TotalSamples());
      if (Last <= First)
        continue;
      std::span<uint8_t> Part(Bytes.data(), static_cast<size_t>(Last - First));
      const size_t Made = Send.Render.Next(Part);
      for (size_t K = 0; K < Made; ++K)
        StationChunk[static_cast<size_t>(First - From) + K] += (Part[K] - 128) / 127.0 * S.Level;
    }
  }
}

// Input sample N (in order, one after the other) in 8-bit steps, before
// the limiter.
double TBandMix::TImpl::Mixed(int64_t N) {
  const int64_t Total = Signal.TotalSamples();
  if (N >= Total)
    return 0;
  if (Chunk.empty() || N >= ChunkStart + ChunkSamples)
    MixChunk(N);
  const double Sample = Chunk[static_cast<size_t>(N - ChunkStart)];
  double Background = StationChunk[static_cast<size_t>(N - ChunkStart)];
  if (Band.Noise)
    Background += NoiseScale * NoiseFilter.Step(NoiseRandom.Gauss());
  if (!Crashes.empty()) {
    double Envelope = 0;
    while (CrashFirst < Crashes.size() && Crashes[CrashFirst].End <= N)
      ++CrashFirst;
    for (size_t K = CrashFirst; K < Crashes.size() && Crashes[K].Start <= N; ++K) {
      const TCrash& C = Crashes[K];
      if (N >= C.End)
        continue;
      const auto T = static_cast<double>(N - C.Start);
      Envelope += C.Sigma * (T < C.AttackSamples ? (1 - std::cos(Pi * T / C.AttackSamples)) / 2
                                                 : std::exp(-(T - C.AttackSamples) / C.DecaySamples));
    }
    Background += Envelope * CrashNorm * CrashFilter.Step(CrashRandom.Gauss());
  }
  const int64_t FromEdge = std::min(N, Total - 1 - N);
  if (FromEdge < EdgeSamples)
    Background *= (1 - std::cos(Pi * static_cast<double>(FromEdge) / EdgeSamples)) / 2;
  return Gain * (Sample + Background);
}

// Mixes input sample InPos and gives the limited sample LookAhead - 1
// before it. Each sample's gain is the mean of the held gains of the
// LookAhead samples up to it, each of which is at most the least gain the
// LookAhead samples from it need: so no sample exceeds Limit, and the gain
// never steps.
double TBandMix::TImpl::Step() {
  const int64_t M = InPos++;
  const double X = Mixed(M);
  const auto Slot = static_cast<size_t>(M % LookAhead);
  Input[Slot] = X;
  Required[Slot] = std::fabs(X) > Limit ? Limit / std::fabs(X) : 1.0;
  const double Least = *std::min_element(Required.begin(), Required.end());
  const double Hold = std::min(Least, LastHeld + ReleasePerSample);
  LastHeld = Hold;
  const auto Out = static_cast<size_t>((M + 1) % LookAhead); // the sample LookAhead - 1 before
  HeldSum += Hold - Held[Out];
  Held[Out] = Hold;
  return Input[Out] * std::min(1.0, HeldSum / LookAhead);
}

TBandMix::TBandMix(const TCodeSequence& Codes, const TTiming& Timing, const TTone& Tone, const TBand& Band,
                   std::vector<TCodeSequence> Others)
    : F(std::make_unique<TImpl>(Codes, Timing, Tone, Band, std::move(Others))) {}

TBandMix::~TBandMix() = default;

int64_t TBandMix::TotalSamples() const { return F->Signal.TotalSamples(); }
int64_t TBandMix::Position() const { return F->Mixing ? F->OutPos : F->Signal.Position(); }

size_t TBandMix::Next(std::span<uint8_t> Out) {
  if (!F->Mixing)
    return F->Signal.Next(Out);
  const int64_t Count = std::min<int64_t>(static_cast<int64_t>(Out.size()), TotalSamples() - F->OutPos);
  if (Count <= 0)
    return 0;
  while (F->InPos < LookAhead - 1)
    F->Step();
  for (int64_t K = 0; K < Count; ++K) {
    const double Y = std::round(F->Step());
    if (std::fabs(Y) > 127)
      ++F->Clipped;
    Out[static_cast<size_t>(K)] = static_cast<uint8_t>(128 + std::clamp(Y, -127.0, 127.0));
  }
  F->OutPos += Count;
  return static_cast<size_t>(Count);
}

void TBandMix::Rewind() {
  if (F->Mixing)
    F->Reset();
  else
    F->Signal.Rewind();
}

const TRender& TBandMix::Signal() const { return F->Signal; }
int64_t TBandMix::Clipped() const { return F->Clipped; }

} // namespace practice

// Keying benchmark: plays 60 characters of "paris" (twelve groups of five)
// through the real wave output, paced by a real threaded timer with the gap
// rule between characters and after each group, records the null sink's
// monitor of a private PulseAudio daemon and measures every tone and gap.
//
// One line per speed:
//   keying: speed=S gap_err_ms_mean=… gap_err_ms_max=… mark_spread_ms_max=… underruns=… missing=…
// gap error: measured gap minus what the rendered blocks and the gap rule ask
// for (max: largest absolute error); mark spread: largest difference between
// two measured tones of the same element; underrun: a silence inside a tone;
// missing: tones of the text that are not in the recording, also those of
// characters that could not be sent. When the recording does not hold as
// many tones as the text, they cannot be paired with the sent ones: the gap
// and mark figures read nan, and the program exits with 1.
//
// Options: --no-load (by default a second process keeps both cores busy),
// --speeds 30,60,150.
#include "audiorig/EventLoop.h"
#include "audiorig/Load.h"
#include "audiorig/PulseServer.h"
#include "sound/Morse.h"
#include "sound/QtWaveDevice.h"
#include "sound/SoundState.h"
#include "sound/ThdTimer.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct TStderrReporter final : TMessageReporter {
  void ShowMessage(const std::string& Text) override {
    std::fprintf(stderr, "message: %s\n", Text.c_str());
  }
  bool AskYesNo(const std::string& Text) override {
    std::fprintf(stderr, "question: %s\n", Text.c_str());
    return false;
  }
  void Beep() override {}
};

// What one character asked of the stream.
struct TSent {
  int64_t BlockLen = 0;        // SoundLen, samples
  int64_t GapAfterMs = 0;      // the timer interval after it
  std::vector<TTone> Elements; // tones inside the rendered block
  std::string Code;
};

class TKeyer final : public TWaveWindow {
public:
  TKeyer(TMorse& Morse, TThreadedTimer& Timer) : FMorse(Morse), FTimer(Timer) {
    FTimer.SetOnTimer([this] { Tick(); });
  }

  void Run(const std::string& Text) {
    FText = Text;
    FPos = 0;
    FSent.clear();
    FDone = false;
    FTimer.SetInterval(1);
    FTimer.SetEnabled(true);
    SpinUntil([this] { return FDone; }, 600000);
  }

  const std::vector<TSent>& Sent() const { return FSent; }
  // Largest delay seen between the due time of a tick or completion and the
  // moment the interface thread handled it.
  int64_t FTickLagUs = 0;
  int64_t FDoneLagUs = 0;

  static void NoteLag(int64_t& Max) {
    const int64_t Due = TEventTime::Current();
    if (Due > 0)
      Max = std::max(Max, TSteadyClock::RealNowUs() - Due);
  }

  // The completion: close the device, then the pause before the next
  // character counts from here.
  void WaveDone() override {
    NoteLag(FDoneLagUs);
    sound::Ausgabe.Playing = false;
    sound::Ausgabe.DeviceOpen = FMorse.CloseOut();
    if (FPos < FText.size())
      FTimer.SetEnabled(true);
    else
      FDone = true;
  }

private:
  void Tick() {
    NoteLag(FTickLagUs);
    FTimer.SetEnabled(false);
    const char C = FText[FPos];
    TSent Sent;
    Sent.Code = CodeOf(C);
    sound::Ausgabe.DeviceOpen = FMorse.OpenOut(*this);
    if (!sound::Ausgabe.DeviceOpen) {
      FDone = true;
      return;
    }
    TMorse::RenderCode(Sent.Code);
    Sent.BlockLen = sound::Puffer.SoundLen;
    Sent.Elements = FindTones(
        std::vector<uint8_t>(sound::Puffer.SoundBuf.begin(), sound::Puffer.SoundBuf.begin() + sound::Puffer.SoundLen));
    ++FPos;
    const bool GroupEnd = FPos % 5 == 0;
    Sent.GapAfterMs = GroupEnd ? GroupGapMs() : CharGapMs();
    FTimer.SetInterval(static_cast<uint16_t>(Sent.GapAfterMs));
    FSent.push_back(Sent);
    if (FMorse.PrepareOut())
      sound::Ausgabe.Playing = FMorse.WriteOut();
  }

  TMorse& FMorse;
  TThreadedTimer& FTimer;
  std::string FText;
  size_t FPos = 0;
  bool FDone = false;
  std::vector<TSent> FSent;
};

struct TFigures {
  double GapErrMean = std::nan("");
  double GapErrMax = std::nan("");
  double MarkSpreadMax = std::nan("");
  int64_t Underruns = 0;
  int64_t Missing = 0;
  size_t Tones = 0;
  size_t ExpectedTones = 0;
};

// Text is what was to be sent: a character that could not be sent counts
// with the tones of its code as missing.
TFigures Measure(const std::string& Text, const std::vector<TSent>& Sent,
                 const std::vector<TTone>& Tones) {
  TFigures F;
  size_t SentTones = 0;
  for (const auto& S : Sent)
    SentTones += S.Elements.size();
  for (size_t K = Sent.size(); K < Text.size(); ++K)
    F.ExpectedTones += CodeOf(Text[K]).size();
  F.ExpectedTones += SentTones;
  F.Tones = Tones.size();
  // A silence inside a tone splits it in two: every tone beyond the rendered
  // ones is an underrun; so is a stretched or shortened one.
  const int64_t Surplus =
      static_cast<int64_t>(Tones.size()) - static_cast<int64_t>(F.ExpectedTones);
  F.Underruns = std::max<int64_t>(0, Surplus);
  F.Missing = std::max<int64_t>(0, -Surplus);
  if (Surplus != 0 || Sent.size() != Text.size())
    return F;

  std::vector<double> DotMs, DashMs;
  std::vector<double> GapErr;
  size_t T = 0;
  for (size_t K = 0; K < Sent.size(); ++K) {
    const auto& S = Sent[K];
    for (size_t E = 0; E < S.Elements.size(); ++E) {
      const TTone& Heard = Tones[T + E];
      const TTone& Rendered = S.Elements[E];
      const double Ms = static_cast<double>(Heard.End - Heard.Start) * 1000.0 / SamplesPerSec;
      (S.Code[E] == '.' ? DotMs : DashMs).push_back(Ms);
      if (Heard.End - Heard.Start != Rendered.End - Rendered.Start)
        ++F.Underruns;
    }
    if (K + 1 < Sent.size()) {
      const auto& Next = Sent[K + 1];
      const TTone& LastHeard = Tones[T + S.Elements.size() - 1];
      const TTone& FirstNextHeard = Tones[T + S.Elements.size()];
      const double Measured = static_cast<double>(FirstNextHeard.Start - LastHeard.End);
      const double Expected = static_cast<double>(S.BlockLen - S.Elements.back().End) +
                              static_cast<double>(S.GapAfterMs) * SamplesPerSec / 1000.0 +
                              static_cast<double>(Next.Elements.front().Start);
      GapErr.push_back((Measured - Expected) * 1000.0 / SamplesPerSec);
      if (std::getenv("KEYING_VERBOSE") != nullptr && std::fabs(GapErr.back()) > 0.2)
        std::fprintf(stderr, "gap %zu: measured %.0f expected %.1f at sample %lld\n", K, Measured,
                     Expected, static_cast<long long>(LastHeard.End));
    }
    T += S.Elements.size();
  }
  F.GapErrMax = 0;
  F.MarkSpreadMax = 0;
  double Sum = 0;
  for (double E : GapErr) {
    Sum += E;
    F.GapErrMax = std::max(F.GapErrMax, std::fabs(E));
  }
  F.GapErrMean = GapErr.empty() ? 0 : Sum / static_cast<double>(GapErr.size());
  for (const auto* Marks : {&DotMs, &DashMs})
    if (!Marks->empty())
      F.MarkSpreadMax =
          std::max(F.MarkSpreadMax, *std::max_element(Marks->begin(), Marks->end()) -
                                        *std::min_element(Marks->begin(), Marks->end()));
  return F;
}

} // namespace

int main(int argc, char** argv) {
  std::vector<int> Speeds = {30, 60, 150};
  bool Load = true;
  for (int I = 1; I < argc; ++I) {
    const std::string Arg = argv[I];
    if (Arg == LoadChildArg)
      return RunLoad();
    if (Arg == "--no-load")
      Load = false;
    if (Arg == "--speeds" && I + 1 < argc) {
      Speeds.clear();
      for (const QString& S : QString(argv[++I]).split(','))
        Speeds.push_back(S.toInt());
    }
  }
  setvbuf(stdout, nullptr, _IONBF, 0);

  TPulseServer& Pulse = SharedPulseServer();
  if (!Pulse.Error().empty()) {
    std::fprintf(stderr, "keying: no audio server: %s\n", Pulse.Error().c_str());
    return 1;
  }
  QCoreApplication App(argc, argv);
  QProcess LoadProcess;
  if (Load) {
    StartLoad(LoadProcess);
  }

  TQtWaveDevice Device;
  TStderrReporter Reporter;
  TMorse Morse(Device, Reporter);
  TThreadedTimer ArbTimer(nullptr);
  ArbTimer.SetEnabled(false);
  ArbTimer.SetThreadPriority(TThreadPriority::Lowest);
  TKeyer Keyer(Morse, ArbTimer);

  int Failures = 0;
  for (const int S : Speeds) {
    ResetSoundState();
    sound::Codetafel.Letters = "pari"
                        "s";
    sound::Codetafel.Codes[1] = ".--.";
    sound::Codetafel.Codes[2] = ".-";
    sound::Codetafel.Codes[3] = ".-.";
    sound::Codetafel.Codes[4] = "..";
    sound::Codetafel.Codes[5] = "...";
    sound::Klang.Speed = S;
    sound::Klang.Verhalt = 30;
    sound::Klang.Abstand = 10;
    sound::Klang.Intervall = 0;
    TMorse::BuildElements();

    if (!Pulse.StartRecording()) {
      std::fprintf(stderr, "keying: cannot record the monitor\n");
      return 1;
    }
    std::string Text;
    for (int W = 0; W < 12; ++W)
      Text += "paris";
    Keyer.Run(Text);
    SpinFor(2500);
    const std::vector<TTone> Tones = FindTones(Pulse.StopRecording());
    const TFigures F = Measure(Text, Keyer.Sent(), Tones);
    std::printf("keying: speed=%d gap_err_ms_mean=%.3f gap_err_ms_max=%.3f mark_spread_ms_max=%.3f "
                "underruns=%lld "
                "missing=%lld\n",
                S, F.GapErrMean, F.GapErrMax, F.MarkSpreadMax, static_cast<long long>(F.Underruns),
                static_cast<long long>(F.Missing));
    std::fprintf(stderr,
                 "keying: speed=%d largest lag of a tick %.1f ms, of a completion %.1f ms\n", S,
                 static_cast<double>(Keyer.FTickLagUs) / 1000.0,
                 static_cast<double>(Keyer.FDoneLagUs) / 1000.0);
    Keyer.FTickLagUs = Keyer.FDoneLagUs = 0;
    if (Keyer.Sent().size() != Text.size())
      std::fprintf(stderr, "keying: %zu of %zu characters sent\n", Keyer.Sent().size(),
                   Text.size());
    if (F.Tones != F.ExpectedTones || Keyer.Sent().size() != Text.size()) {
      std::fprintf(stderr, "keying: %zu tones recorded, %zu to send\n", F.Tones, F.ExpectedTones);
      ++Failures;
    }
  }
  const auto St = Device.Stats();
  std::fprintf(stderr,
               "keying: device blocks=%lld late=%lld underflows=%lld clock_adjustments=%lld\n",
               static_cast<long long>(St.Blocks), static_cast<long long>(St.LateBlocks),
               static_cast<long long>(St.Underflows), static_cast<long long>(St.ClockAdjustments));
  if (Load) {
    LoadProcess.kill();
    LoadProcess.waitForFinished();
  }
  return Failures == 0 ? 0 : 1;
}

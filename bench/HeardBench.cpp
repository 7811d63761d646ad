// What the learner hears, through the program's own path: the windows of the
// program with the program's wave output on a private PulseAudio null sink,
// its threaded timers and its window timer. Exercise 2 of the first lesson
// is answered as a learner answers (each character a moment after it has been
// heard), then exercise 4 runs at each speed; between them keys are clicked
// with no exercise running. The null sink's monitor is recorded and measured;
// latencies are taken against the server's reported timing.
//
// One line per case:
//   heard: exercise=2 speed=S answer_to_sound_ms_mean=… answer_to_sound_ms_max=…
//          click_to_sound_ms_mean=… click_to_sound_ms_max=… first_sound_ms=…
//          completion_err_ms_max=… missing=… stall_ms=…
//   heard: exercise=4 speed=S gap_err_ms_mean=… gap_err_ms_max=… mark_spread_ms_max=…
//          underruns=… missing=… completion_err_ms_max=… stall_ms=…
//   idle: wakeups_per_s=… output_wakeups_per_s=… cpu_percent=…
// gap error: measured gap minus the gap rule's (the interval the session set
// for the pause after the character); completion error: the spacing of the
// reported ends against the recording's; answer to sound: from the click of
// the right key to the first heard sample of the next character (the
// session's pause: 500 ms); click to sound: from a free key's click to its first heard sample;
// first sound: from Start, the first sound of the program, to the first
// heard sample (the first pause: 1000 ms). The interface thread is held up for
// stall_ms once a second throughout.
//
//   heard: speed_test speed=S (as exercise 4, for the first run of the test word)
// Options: --no-load (by default a second process keeps both cores busy),
// --speeds 60,150, --stall-ms 200, --groups 6.
#include "app/MainUnit.h"
#include "app/Velm2.h"
#include "audiorig/EventLoop.h"
#include "audiorig/Load.h"
#include "audiorig/PulseServer.h"
#include "course/CourseState.h"
#include "sound/PulseWaveDevice.h"
#include "sound/SoundState.h"
#include "sound/ThdTimer.h"
#include "sound/WaveOut.h"
#include "sound/WindowTimer.h"
#include "storage/StorageState.h"
#include "training/SessionState.h"
#include "windows/MButUnit.h"
#include "windows/Shell.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include <sys/resource.h>

namespace {

struct TStderrReporter final : TMessageReporter {
  void ShowMessage(const std::string& Text) override { std::fprintf(stderr, "message: %s\n", Text.c_str()); }
  bool AskYesNo(const std::string&) override { return false; }
  void Beep() override {}
};

// Modal windows return at once.
struct TBenchShell final : TShell {
  void ShowModal(QDialog&) override {}
  void PlaySoundAsync(const std::string&) override {}
  void Open(const std::string&) override {}
};

// One block as the program wrote it.
struct TSent {
  std::vector<TTone> Elements; // tones inside the block
  int64_t BlockLen = 0;
  int64_t TargetUs = -1; // its event time, -1 for a learner's block
  int64_t DoneUs = -1;   // the event time of its completion
  int64_t GapAfterMs = -1;
  int64_t WrittenUs = 0;
};

// The program's wave output, with every block and completion noted.
class TBenchDevice final : public TWaveDevice, public TWaveWindow {
public:
  explicit TBenchDevice(TTickTimer& Arb) : FArb(Arb) {}
  TMMResult Open(const TWaveFormat& Format, TWaveWindow& Window) override {
    FWindow = &Window;
    FFormat = Format;
    return Out.Open(Format, *this);
  }
  TMMResult Prepare(TWaveHdr& Hdr) override { return Out.Prepare(Hdr); }
  TMMResult Unprepare(TWaveHdr& Hdr) override { return Out.Unprepare(Hdr); }
  TMMResult Write(TWaveHdr& Hdr) override {
    const TMMResult R = Out.Write(Hdr);
    if (R == MMSYSERR_NOERROR && Hdr.Data != nullptr && FFormat.BitsPerSample == 8 &&
        FFormat.Channels == 1) {
      TSent S;
      const std::vector<uint8_t> Samples(Hdr.Data, Hdr.Data + Hdr.BufferLength);
      S.Elements = FindTones(Samples);
      S.BlockLen = static_cast<int64_t>(Samples.size());
      S.TargetUs = TEventTime::Current() >= 0 ? TSteadyClock::Instance().NowUs() : -1;
      S.WrittenUs = TSteadyClock::RealNowUs();
      Sent.push_back(S);
    }
    return R;
  }
  TMMResult Reset() override { return Out.Reset(); }
  TMMResult Close() override { return Out.Close(); }
  std::string ErrorText(TMMResult Result) override { return Out.ErrorText(Result); }

  void WaveDone() override {
    if (!Sent.empty()) {
      Sent.back().DoneUs = TEventTime::Current();
    }
    if (FWindow != nullptr)
      FWindow->WaveDone();
    // The pause the session set after this character.
    if (!Sent.empty())
      Sent.back().GapAfterMs = FArb.Enabled() ? FArb.Interval() : -1;
    if (OnDone)
      OnDone();
  }
  bool DoneAhead() const override { return FWindow != nullptr && FWindow->DoneAhead(); }

  TWaveOut Out;
  std::vector<TSent> Sent;
  std::function<void()> OnDone;

private:
  TTickTimer& FArb;
  TWaveWindow* FWindow = nullptr;
  TWaveFormat FFormat;
};

struct TFigures {
  double GapErrMean = std::nan("");
  double GapErrMax = std::nan("");
  double MarkSpreadMax = std::nan("");
  double CompletionErrMax = std::nan("");
  double SinkClockPpm = std::nan("");
  int64_t Underruns = 0;
  int64_t Missing = 0;
};

// Pairs the recorded tones with the sent blocks' elements.
TFigures Measure(const std::vector<TSent>& Sent, const std::vector<TTone>& Tones) {
  TFigures F;
  size_t Expected = 0;
  for (const auto& S : Sent)
    Expected += S.Elements.size();
  const auto Surplus = static_cast<int64_t>(Tones.size()) - static_cast<int64_t>(Expected);
  F.Underruns = std::max<int64_t>(0, Surplus);
  F.Missing = std::max<int64_t>(0, -Surplus);
  if (Surplus != 0 || Sent.empty())
    return F;
  std::map<int64_t, std::vector<double>> MarksOf; // by rendered length
  std::vector<double> GapErr;
  std::vector<double> BlockEndUs; // recorded, from the first block's end
  std::vector<double> DoneUs;
  size_t T = 0;
  for (size_t K = 0; K < Sent.size(); ++K) {
    const auto& S = Sent[K];
    if (S.Elements.empty())
      continue;
    for (size_t E = 0; E < S.Elements.size(); ++E) {
      const TTone& Heard = Tones[T + E];
      const int64_t Len = S.Elements[E].End - S.Elements[E].Start;
      if (Heard.End - Heard.Start != Len)
        ++F.Underruns;
      MarksOf[Len].push_back(static_cast<double>(Heard.End - Heard.Start) * 1000.0 / SamplesPerSec);
      if (Heard.End - Heard.Start != Len && std::getenv("HEARD_VERBOSE") != nullptr)
        std::fprintf(stderr, "block %zu element %zu: heard %lld rendered %lld at %lld\n", K, E,
                     static_cast<long long>(Heard.End - Heard.Start), static_cast<long long>(Len),
                     static_cast<long long>(Heard.Start));
    }
    const TTone& Last = Tones[T + S.Elements.size() - 1];
    const int64_t End = Last.End + (S.BlockLen - S.Elements.back().End);
    if (S.DoneUs >= 0) {
      BlockEndUs.push_back(static_cast<double>(End) * 1e6 / SamplesPerSec);
      DoneUs.push_back(static_cast<double>(S.DoneUs));
    }
    if (K + 1 < Sent.size() && S.GapAfterMs > 1 && Sent[K + 1].TargetUs >= 0 &&
        !Sent[K + 1].Elements.empty()) {
      const TTone& NextFirst = Tones[T + S.Elements.size()];
      const double Measured = static_cast<double>(NextFirst.Start - End - Sent[K + 1].Elements.front().Start);
      GapErr.push_back((Measured - static_cast<double>(S.GapAfterMs) * SamplesPerSec / 1000.0) *
                       1000.0 / SamplesPerSec);
      if (std::getenv("HEARD_VERBOSE") != nullptr && std::fabs(GapErr.back()) > 0.5)
        std::fprintf(stderr, "gap after block %zu: %.3f ms off, written %.1f ms before it was due\n",
                     K, GapErr.back(), static_cast<double>(Sent[K + 1].TargetUs - Sent[K + 1].WrittenUs) / 1000.0);
    }
    T += S.Elements.size();
  }
  F.MarkSpreadMax = 0;
  for (const auto& [Len, M] : MarksOf)
    if (!M.empty())
      F.MarkSpreadMax = std::max(F.MarkSpreadMax, *std::max_element(M.begin(), M.end()) -
                                                      *std::min_element(M.begin(), M.end()));
  if (!GapErr.empty()) {
    double Sum = 0;
    F.GapErrMax = 0;
    for (double E : GapErr) {
      Sum += E;
      F.GapErrMax = std::max(F.GapErrMax, std::fabs(E));
    }
    F.GapErrMean = Sum / static_cast<double>(GapErr.size());
  }
  // The sink's clock runs at its own rate (the null sink's some hundred
  // parts in a million fast): the recording's sample count is put on this
  // machine's clock by the rate fitted over the run, which is reported too.
  F.CompletionErrMax = 0;
  double Sxy = 0;
  double Sxx = 0;
  for (size_t I = 1; I < DoneUs.size(); ++I) {
    const double X = BlockEndUs[I] - BlockEndUs[0];
    Sxy += X * (DoneUs[I] - DoneUs[0]);
    Sxx += X * X;
  }
  const double Scale = Sxx > 0 ? Sxy / Sxx : 1.0;
  F.SinkClockPpm = (1.0 / Scale - 1.0) * 1e6;
  for (size_t I = 1; I < DoneUs.size(); ++I) {
    const double Recorded = (BlockEndUs[I] - BlockEndUs[0]) * Scale;
    if (std::getenv("HEARD_VERBOSE") != nullptr)
      std::fprintf(stderr, "done %zu: reported %.3f ms recorded %.3f ms\n", I,
                   (DoneUs[I] - DoneUs[0]) / 1000.0, Recorded / 1000.0);
    F.CompletionErrMax = std::max(F.CompletionErrMax, std::fabs((DoneUs[I] - DoneUs[0]) - Recorded) / 1000.0);
  }
  return F;
}

void KeepBusy(int Ms) {
  const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
  while (std::chrono::steady_clock::now() < End) {
  }
}

// The program-wide state at program start, and a learner record that puts
// the program at lesson 1, exercise Ueb, at Speed, Russian layout.
void Begin(const QString& Dir, int Ueb, int Speed) {
  ResetSoundState();
  ResetCourseState();
  ResetStorageState();
  ResetSessionState();
  QFile F(QDir(Dir).filePath("CWK.dat"));
  if (F.open(QIODevice::WriteOnly)) {
    const char Record[7] = {1, static_cast<char>(Ueb), static_cast<char>(Speed), 0x17, 0x1E, 0x08, 0x03};
    F.write(Record, 7);
  }
}

int64_t HeardUsOf(TWaveOut& Out, size_t Index) {
  TPulseWaveDevice* P = Out.Pulse();
  if (P == nullptr)
    return -1;
  const auto Placed = P->Placed();
  return Index < Placed.size() ? Placed[Index].HeardUs : -1;
}

double Mean(const std::vector<double>& V) {
  double S = 0;
  for (double X : V)
    S += X;
  return V.empty() ? std::nan("") : S / static_cast<double>(V.size());
}
double Max(const std::vector<double>& V) {
  return V.empty() ? std::nan("") : *std::max_element(V.begin(), V.end());
}

} // namespace

int main(int argc, char** argv) {
  std::vector<int> Speeds = {60, 150};
  bool Load = true;
  int StallMs = 200;
  int Groups = 6;
  for (int I = 1; I < argc; ++I) {
    const std::string Arg = argv[I];
    if (Arg == LoadChildArg)
      return RunLoad();
    if (Arg == "--no-load")
      Load = false;
    if (Arg == "--stall-ms" && I + 1 < argc)
      StallMs = std::atoi(argv[++I]);
    if (Arg == "--groups" && I + 1 < argc)
      Groups = std::atoi(argv[++I]);
    if (Arg == "--speeds" && I + 1 < argc) {
      Speeds.clear();
      for (const QString& S : QString(argv[++I]).split(','))
        Speeds.push_back(S.toInt());
    }
  }
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  TPulseServer& Pulse = SharedPulseServer();
  if (!Pulse.Error().empty()) {
    std::fprintf(stderr, "heard: no audio server: %s\n", Pulse.Error().c_str());
    return 1;
  }
  QApplication App(argc, argv);
  QProcess LoadProcess;
  if (Load) {
    StartLoad(LoadProcess);
  }
  QTemporaryDir Dir;
  const QDir Data(QStringLiteral(VELM_SOURCE_DATA_DIR));
  for (const QString& Name : Data.entryList(QDir::Files))
    QFile::copy(Data.filePath(Name), QDir(Dir.path()).filePath(Name));
  QDir::setCurrent(Dir.path());

  // The interface thread held up once a second.
  QTimer Staller;
  Staller.setInterval(1000);
  QObject::connect(&Staller, &QTimer::timeout, [StallMs] { KeepBusy(StallMs); });
  if (StallMs > 0)
    Staller.start();

  TSoundTimer Arb(TThreadPriority::Lowest);
  TWindowTimer Timer1(nullptr);
  Timer1.SetEnabled(false);
  TSoundTimer MemTimer(TThreadPriority::Normal);
  TStderrReporter Reporter;
  TBenchShell Shell;
  TBenchDevice Device(Arb);
  int Failures = 0;

  // --- exercise 2, answered; then free keys clicked ------------------------
  {
    Begin(Dir.path(), 2, 60);
    TVelm2 Program(Device, Reporter, Arb, Timer1, MemTimer, Shell);
    TAForm& F = *Program.AForm;
    F.show();
    SpinUntil([&] { return F.StartedUp(); }, 20000);
    if (!F.StartedUp()) {
      std::fprintf(stderr, "heard: the program did not start up\n");
      return 1;
    }
    Pulse.StartRecording();
    std::vector<double> AnswerToSound;
    std::vector<int64_t> AnswerUs;
    std::vector<size_t> AnswerBlock;
    Device.OnDone = [&] {
      if (training::Sitzung.Idle || course::Kurs.UebNr != 2)
        return;
      // The learner answers 300 ms after the character has been heard.
      QTimer::singleShot(300, [&] {
        if (training::Sitzung.Idle || training::Sitzung.UebPos < 0 ||
            training::Sitzung.UebPos >= static_cast<int32_t>(course::Folge.UebFolge.size()))
          return;
        const int32_t K = course::Folge.UebFolge[static_cast<size_t>(training::Sitzung.UebPos)];
        if (K < 1 || K > static_cast<int32_t>(F.View.NeuTasten.size()))
          return;
        AnswerUs.push_back(TSteadyClock::RealNowUs());
        AnswerBlock.push_back(Device.Sent.size());
        F.View.NeuTasten[static_cast<size_t>(K) - 1]->Click();
      });
    };
    const int64_t StartUs = TSteadyClock::RealNowUs();
    F.View.StartBtn->click();
    SpinUntil([&] { return training::Sitzung.Idle; }, 120000);
    Device.OnDone = nullptr;
    SpinFor(1000);
    const double FirstSoundMs =
        Device.Out.Pulse() != nullptr ? static_cast<double>(HeardUsOf(Device.Out, 0) - StartUs) / 1000.0
                                      : std::nan("");
    for (size_t I = 0; I < AnswerUs.size(); ++I) {
      const int64_t Heard = HeardUsOf(Device.Out, AnswerBlock[I]);
      if (Heard >= 0 && AnswerBlock[I] < Device.Sent.size())
        AnswerToSound.push_back(static_cast<double>(Heard - AnswerUs[I]) / 1000.0);
    }
    const size_t ExerciseBlocks = Device.Sent.size();
    // Free keys, a second and a half apart.
    std::vector<double> ClickToSound;
    for (int Click = 0; Click < 8; ++Click) {
      TMButton* Key = F.View.NeuTasten[static_cast<size_t>(Click) % 2];
      const size_t Before = Device.Sent.size();
      const int64_t ClickUs = TSteadyClock::RealNowUs();
      Key->Click();
      SpinFor(1500);
      if (Device.Sent.size() > Before) {
        const int64_t Heard = HeardUsOf(Device.Out, Before);
        if (Heard >= 0)
          ClickToSound.push_back(static_cast<double>(Heard - ClickUs) / 1000.0);
      }
    }
    SpinFor(500);
    const std::vector<TTone> Tones = FindTones(Pulse.StopRecording());
    // Only the exercise's blocks carry completions measured here; the free
    // keys' mnemonic sound files are in the recording too.
    std::vector<TSent> Exercise(Device.Sent.begin(), Device.Sent.begin() + static_cast<long>(ExerciseBlocks));
    size_t ExerciseTones = 0;
    for (const auto& S : Exercise)
      ExerciseTones += S.Elements.size();
    const std::vector<TTone> Head(Tones.begin(), Tones.begin() + static_cast<long>(std::min(ExerciseTones, Tones.size())));
    const TFigures Fig = Measure(Exercise, Head);
    std::printf("heard: exercise=2 speed=60 answer_to_sound_ms_mean=%.1f answer_to_sound_ms_max=%.1f "
                "click_to_sound_ms_mean=%.1f click_to_sound_ms_max=%.1f first_sound_ms=%.1f "
                "completion_err_ms_max=%.3f sink_clock_ppm=%.0f missing=%lld answers=%zu stall_ms=%d\n",
                Mean(AnswerToSound), Max(AnswerToSound), Mean(ClickToSound), Max(ClickToSound),
                FirstSoundMs, Fig.CompletionErrMax, Fig.SinkClockPpm, static_cast<long long>(Fig.Missing),
                AnswerToSound.size(), StallMs);
    if (AnswerToSound.empty() || Fig.Missing > 0)
      ++Failures;
    F.close();
  }

  // --- exercise 4 at each speed ---------------------------------------------
  for (const int Speed : Speeds) {
    Begin(Dir.path(), 4, Speed);
    Device.Sent.clear();
    TVelm2 Program(Device, Reporter, Arb, Timer1, MemTimer, Shell);
    TAForm& F = *Program.AForm;
    F.show();
    SpinUntil([&] { return F.StartedUp(); }, 20000);
    course::Kurs.GruppenZahl = Groups;
    Pulse.StartRecording();
    F.View.StartBtn->click();
    SpinUntil([&] { return training::Sitzung.Idle; }, 600000);
    SpinFor(1000);
    const std::vector<TTone> Tones = FindTones(Pulse.StopRecording());
    const TFigures Fig = Measure(Device.Sent, Tones);
    std::printf("heard: exercise=4 speed=%d gap_err_ms_mean=%.3f gap_err_ms_max=%.3f "
                "mark_spread_ms_max=%.3f underruns=%lld missing=%lld completion_err_ms_max=%.3f "
                "sink_clock_ppm=%.0f stall_ms=%d\n",
                sound::Klang.Speed, Fig.GapErrMean, Fig.GapErrMax, Fig.MarkSpreadMax,
                static_cast<long long>(Fig.Underruns), static_cast<long long>(Fig.Missing),
                Fig.CompletionErrMax, Fig.SinkClockPpm, StallMs);
    if (Fig.Missing > 0 || std::isnan(Fig.GapErrMean))
      ++Failures;
    if (TPulseWaveDevice* P = Device.Out.Pulse()) {
      const auto St = P->Stats();
      std::fprintf(stderr, "heard: device blocks=%lld late=%lld underflows=%lld connects=%lld corks=%lld\n",
                   static_cast<long long>(St.Blocks), static_cast<long long>(St.LateBlocks),
                   static_cast<long long>(St.Underflows), static_cast<long long>(St.Connects),
                   static_cast<long long>(St.Corks));
    }
    F.close();
  }

  // --- the speed test at the last speed, right after the windows are made ---
  {
    const int Speed = Speeds.empty() ? 60 : Speeds.back();
    Begin(Dir.path(), 4, Speed);
    Device.Sent.clear();
    TVelm2 Program(Device, Reporter, Arb, Timer1, MemTimer, Shell);
    TAForm& F = *Program.AForm;
    F.show();
    SpinUntil([&] { return F.StartedUp(); }, 20000);
    Pulse.StartRecording();
    F.View.TestBtn->click();
    // One run of the test word, twelve times; later runs of a calibration
    // are not measured.
    SpinUntil([&] { return !training::Sitzung.TestLaeuft || Device.Sent.size() > 60; }, 300000);
    // Stopped once the sixtieth character has surely been heard.
    SpinFor(600);
    if (training::Sitzung.TestLaeuft)
      F.View.TestBtn->click();
    SpinFor(1000);
    std::vector<TSent> Run(Device.Sent.begin(),
                           Device.Sent.begin() + static_cast<long>(std::min<size_t>(Device.Sent.size(), 60)));
    if (!Run.empty())
      Run.back().GapAfterMs = -1;
    size_t RunTones = 0;
    for (const auto& S : Run)
      RunTones += S.Elements.size();
    const std::vector<TTone> Tones = FindTones(Pulse.StopRecording());
    const std::vector<TTone> Head(Tones.begin(), Tones.begin() + static_cast<long>(std::min(RunTones, Tones.size())));
    const TFigures Fig = Measure(Run, Head);
    std::printf("heard: speed_test speed=%d gap_err_ms_mean=%.3f gap_err_ms_max=%.3f "
                "mark_spread_ms_max=%.3f underruns=%lld missing=%lld completion_err_ms_max=%.3f "
                "sink_clock_ppm=%.0f stall_ms=%d\n",
                Speed, Fig.GapErrMean, Fig.GapErrMax, Fig.MarkSpreadMax,
                static_cast<long long>(Fig.Underruns), static_cast<long long>(Fig.Missing),
                Fig.CompletionErrMax, Fig.SinkClockPpm, StallMs);
    if (Fig.Missing > 0 || std::isnan(Fig.GapErrMean))
      ++Failures;
    F.close();
  }

  // --- idle ---------------------------------------------------------------
  {
    Staller.stop();
    SpinFor(2500);
    rusage Before{};
    getrusage(RUSAGE_SELF, &Before);
    const auto OutBefore = Device.Out.Pulse() != nullptr ? Device.Out.Pulse()->Stats().Wakeups : 0;
    const int64_t T0 = TSteadyClock::RealNowUs();
    // The interface thread waits for events as the program's does.
    QEventLoop Loop;
    QTimer::singleShot(10000, &Loop, &QEventLoop::quit);
    Loop.exec();
    const int64_t T1 = TSteadyClock::RealNowUs();
    rusage After{};
    getrusage(RUSAGE_SELF, &After);
    const auto OutAfter = Device.Out.Pulse() != nullptr ? Device.Out.Pulse()->Stats().Wakeups : 0;
    auto Us = [](const timeval& T) { return static_cast<double>(T.tv_sec) * 1e6 + static_cast<double>(T.tv_usec); };
    const double Cpu = (Us(After.ru_utime) + Us(After.ru_stime) - Us(Before.ru_utime) - Us(Before.ru_stime));
    const double Seconds = static_cast<double>(T1 - T0) / 1e6;
    const double Switches = static_cast<double>((After.ru_nvcsw + After.ru_nivcsw) - (Before.ru_nvcsw + Before.ru_nivcsw));
    std::printf("idle: wakeups_per_s=%.1f output_wakeups_per_s=%.1f cpu_percent=%.3f\n",
                Switches / Seconds, static_cast<double>(OutAfter - OutBefore) / Seconds,
                Cpu / (Seconds * 1e6) * 100.0);
  }
  if (Load) {
    LoadProcess.kill();
    LoadProcess.waitForFinished();
  }
  return Failures == 0 ? 0 : 1;
}

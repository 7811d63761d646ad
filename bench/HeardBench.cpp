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
//   shown: what=<ex1_key|correction|text_window|results|replay_line>
//          shown_minus_heard_ms_mean=… max=…
// shown: the moment a change of the display that follows a sound is painted
// (the correction panel hidden, the text window opened) against the moment
// the output says that sound starts (or ends, where a pause counts from its
// end) to be heard; measured with the interface thread free.
//   stop: after_ms_max=… (the latest sound onset in the recording after a
//          Stop click, over Stops runs of exercise 4 stopped at random)
//   first: starts=N cut=… (the first character of each run recorded whole,
//          each start from a quiet stream)
//   reaction: answers=N err_ms_mean=… err_ms_max=… press_uncertainty_ms_max=…
// reaction: exercise 2 answered through the window system as a learner
// answers: on a private X server (Xvfb) with the program on its xcb
// platform, a key is pressed (XTest) at a known delay after the heard end of
// each character (as the output reports it); the program's stored reaction
// against that delay. The press is the server's: its moment lies between
// the request and its answer, whose half is the uncertainty.
// Options: --no-load (by default a second process keeps both cores busy),
// --speeds 60,150, --stall-ms 200, --groups 6, --stops 50, --starts 200,
// --no-heard (only the shown, stop and first lines), --answers 40,
// --reaction-only (only the reaction line), --no-reaction.
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
#include "training/Reaction.h"
#include "training/TypedCopy.h"
#include "windows/MButUnit.h"
#include "windows/Shell.h"

#include "windows/MemUnit.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
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
#include <random>
#include <vector>

#include <atomic>
#include <thread>

#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

extern char** environ;

namespace {

struct TStderrReporter final : TMessageReporter {
  void ShowMessage(const std::string& Text) override { std::fprintf(stderr, "message: %s\n", Text.c_str()); }
  bool AskYesNo(const std::string&) override { return false; }
  void Beep() override {}
};

// Modal windows return at once; the moment each would open is noted.
struct TBenchShell final : TShell {
  std::vector<int64_t> ShownUs;
  std::function<void(QDialog&)> OnModal;
  void ShowModal(QDialog& Dialog) override {
    ShownUs.push_back(TSteadyClock::RealNowUs());
    if (OnModal)
      OnModal(Dialog);
  }
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
  int64_t HeardUs = -1; // when the output says its first sample is heard
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
      S.HeardUs = Out.HeardStartUs();
      Sent.push_back(S);
    }
    return R;
  }
  TMMResult Reset() override { return Out.Reset(); }
  TMMResult Close() override { return Out.Close(); }
  void Hush() override { Out.Hush(); }
  std::string ErrorText(TMMResult Result) override { return Out.ErrorText(Result); }
  int64_t HeardStartUs() const override { return Out.HeardStartUs(); }
  void WaveFailed() override {
    if (FWindow != nullptr)
      FWindow->WaveFailed();
  }

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
void Begin(const QString& Dir, int Ueb, int Speed, char Layout = 0x03) {
  ResetSoundState();
  ResetCourseState();
  ResetStorageState();
  ResetSessionState();
  QFile F(QDir(Dir).filePath("CWK.dat"));
  if (F.open(QIODevice::WriteOnly)) {
    const char Record[7] = {1, static_cast<char>(Ueb), static_cast<char>(Speed), 0x17, 0x1E, 0x08, Layout};
    F.write(Record, 7);
  }
}

// A private X server for the reaction section; stopped by its process id.
struct TXvfb {
  pid_t Pid = -1;
  std::string Display;
  bool Start() {
    for (int N = 90 + getpid() % 50; N < 200; ++N) {
      const std::string Lock = "/tmp/.X" + std::to_string(N) + "-lock";
      struct stat St {};
      if (stat(Lock.c_str(), &St) == 0)
        continue;
      Display = ":" + std::to_string(N);
      std::vector<std::string> Args = {"Xvfb", Display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"};
      std::vector<char*> Argv;
      for (std::string& A : Args)
        Argv.push_back(A.data());
      Argv.push_back(nullptr);
      if (posix_spawnp(&Pid, "Xvfb", nullptr, nullptr, Argv.data(), environ) != 0)
        return false;
      const std::string Socket = "/tmp/.X11-unix/X" + std::to_string(N);
      for (int Wait = 0; Wait < 100; ++Wait) {
        if (stat(Socket.c_str(), &St) == 0)
          return true;
        usleep(50000);
      }
      Stop();
    }
    return false;
  }
  void Stop() {
    if (Pid > 0) {
      kill(Pid, SIGTERM);
      waitpid(Pid, nullptr, 0);
      Pid = -1;
    }
  }
};

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

// The moments a widget shows a change: a paint after its text changed, or
// its hiding.
class TShownWatch final : public QObject {
public:
  TShownWatch(QWidget* Widget, std::function<QString()> Text) : FText(std::move(Text)) {
    FLast = FText ? FText() : QString();
    Widget->installEventFilter(this);
  }
  std::vector<int64_t> PaintedUs;
  std::vector<int64_t> HiddenUs;

protected:
  bool eventFilter(QObject*, QEvent* E) override {
    if (E->type() == QEvent::Paint && FText) {
      const QString Now = FText();
      if (Now != FLast) {
        FLast = Now;
        PaintedUs.push_back(TSteadyClock::RealNowUs());
      }
    } else if (E->type() == QEvent::Hide) {
      HiddenUs.push_back(TSteadyClock::RealNowUs());
    }
    return false;
  }

private:
  std::function<QString()> FText;
  QString FLast;
};

// Each moment shown against the heard start of the block nearest to it.
std::vector<double> AgainstNearest(const std::vector<int64_t>& ShownUs, const std::vector<TSent>& Sent) {
  std::vector<double> D;
  for (const int64_t At : ShownUs) {
    int64_t Best = -1;
    for (const auto& S : Sent)
      if (S.HeardUs >= 0 && (Best < 0 || std::llabs(S.HeardUs - At) < std::llabs(Best - At)))
        Best = S.HeardUs;
    if (Best >= 0)
      D.push_back(static_cast<double>(At - Best) / 1000.0);
  }
  return D;
}

void PrintShown(const char* What, const std::vector<double>& D) {
  double MaxAbs = 0;
  for (double X : D)
    MaxAbs = std::max(MaxAbs, std::fabs(X));
  std::printf("shown: what=%s shown_minus_heard_ms_mean=%.1f max=%.1f count=%zu stall_ms=0\n", What,
              Mean(D), D.empty() ? std::nan("") : MaxAbs, D.size());
}

} // namespace

int main(int argc, char** argv) {
  std::vector<int> Speeds = {60, 150};
  bool Load = true;
  int StallMs = 200;
  int Groups = 6;
  int Stops = 50;
  int Starts = 200;
  bool RunHeard = true;
  bool ReactionOnly = false;
  bool RunReaction = true;
  int Answers = 40;
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
    if (Arg == "--stops" && I + 1 < argc)
      Stops = std::atoi(argv[++I]);
    if (Arg == "--starts" && I + 1 < argc)
      Starts = std::atoi(argv[++I]);
    if (Arg == "--no-heard")
      RunHeard = false;
    if (Arg == "--reaction-only")
      ReactionOnly = true;
    if (Arg == "--no-reaction")
      RunReaction = false;
    if (Arg == "--answers" && I + 1 < argc)
      Answers = std::atoi(argv[++I]);
    if (Arg == "--speeds" && I + 1 < argc) {
      Speeds.clear();
      for (const QString& S : QString(argv[++I]).split(','))
        Speeds.push_back(S.toInt());
    }
  }
  setvbuf(stdout, nullptr, _IONBF, 0);
  TXvfb Xvfb;
  if (ReactionOnly) {
    // Keys come as a learner's do: from the X server, through Qt's xcb.
    if (!Xvfb.Start()) {
      std::fprintf(stderr, "reaction: no X server (Xvfb)\n");
      return 1;
    }
    qputenv("DISPLAY", QByteArray::fromStdString(Xvfb.Display));
    qputenv("QT_QPA_PLATFORM", "xcb");
  }
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

  // --- reaction: keys pressed at known delays after the heard end ------------
  if (ReactionOnly) {
    Begin(Dir.path(), 2, 60, 0x01);
    Display* Dpy = XOpenDisplay(Xvfb.Display.c_str());
    if (Dpy == nullptr) {
      std::fprintf(stderr, "reaction: cannot open %s\n", Xvfb.Display.c_str());
      return 1;
    }
    int Failed = 0;
    {
      TVelm2 Program(Device, Reporter, Arb, Timer1, MemTimer, Shell);
      TAForm& F = *Program.AForm;
      F.show();
      F.raise();
      F.activateWindow();
      SpinUntil([&] { return F.StartedUp() && F.isActiveWindow(); }, 20000);
      if (!F.StartedUp()) {
        std::fprintf(stderr, "reaction: the program did not start up\n");
        return 1;
      }
      struct TPress {
        int32_t UebPos = -1;
        int64_t HeardEndUs = -1;
        std::atomic<int64_t> PressUs{-1};
        std::atomic<int64_t> HalfRoundTripUs{-1};
      };
      std::vector<std::unique_ptr<TPress>> Presses; // of the run going on
      std::thread Presser;
      const std::vector<int64_t> DelaysMs = {180, 420, 260, 750, 330, 1100, 520, 240, 900, 610};
      size_t Next = 0;
      std::vector<double> Err;
      double Uncertainty = 0.0;
      int Uncertain = 0;
      Device.OnDone = [&] {
        if (training::Sitzung.Idle || course::Kurs.UebNr != 2 || training::Sitzung.KorrZaehler != 0 ||
            training::Sitzung.UebPos < 0 ||
            training::Sitzung.UebPos >= static_cast<int32_t>(course::Folge.UebFolge.size()) ||
            Device.Sent.empty())
          return;
        const int32_t K = course::Folge.UebFolge[static_cast<size_t>(training::Sitzung.UebPos)];
        if (K < 1 || K > static_cast<int32_t>(course::Kurs.NeueZeichen.size()))
          return;
        const char C = course::Kurs.NeueZeichen[static_cast<size_t>(K) - 1];
        const KeyCode Code = XKeysymToKeycode(Dpy, XStringToKeysym(std::string(1, C).c_str()));
        if (Code == 0)
          return;
        auto P = std::make_unique<TPress>();
        P->UebPos = training::Sitzung.UebPos;
        P->HeardEndUs = Device.Sent.back().DoneUs;
        const int64_t AtUs = P->HeardEndUs + DelaysMs[Next++ % DelaysMs.size()] * 1000;
        TPress* Raw = P.get();
        Presses.push_back(std::move(P));
        if (Presser.joinable())
          Presser.join();
        // The learner's hand: its own thread, free of the interface thread.
        Presser = std::thread([Dpy, Code, AtUs, Raw] {
          while (TSteadyClock::RealNowUs() < AtUs - 2000)
            usleep(500);
          while (TSteadyClock::RealNowUs() < AtUs) {
          }
          const int64_t T0 = TSteadyClock::RealNowUs();
          XTestFakeKeyEvent(Dpy, Code, True, 0);
          XSync(Dpy, False); // the server has taken the press when this returns
          const int64_t T1 = TSteadyClock::RealNowUs();
          Raw->PressUs = (T0 + T1) / 2;
          Raw->HalfRoundTripUs = (T1 - T0) / 2;
          usleep(60000);
          XTestFakeKeyEvent(Dpy, Code, False, 0);
          XSync(Dpy, False);
        });
      };
      int Runs = 0;
      while (Err.size() < static_cast<size_t>(Answers) && Runs < 30) {
        ++Runs;
        Presses.clear();
        F.View.StartBtn->click();
        SpinUntil([&] { return training::Sitzung.Idle; }, 120000);
        if (Presser.joinable())
          Presser.join();
        SpinFor(300);
        for (const TReaktion& A : F.TypedCopy().Reaction().Answers())
          for (const auto& P : Presses)
            if (P->UebPos == A.UebPos && P->PressUs >= 0 && P->HeardEndUs >= 0) {
              // A press whose moment the server's answer does not pin
              // within a millisecond (the server was held up) is no known
              // delay: counted, not measured.
              if (P->HalfRoundTripUs > 1000) {
                ++Uncertain;
                continue;
              }
              const double Known = static_cast<double>(P->PressUs - P->HeardEndUs) / 1000.0;
              Err.push_back(static_cast<double>(A.Ms) - Known);
              Uncertainty = std::max(Uncertainty, static_cast<double>(P->HalfRoundTripUs) / 1000.0);
            }
        if (F.TypedCopy().Reaction().Answers().size() != Presses.size())
          ++Failed;
      }
      Device.OnDone = nullptr;
      double MaxAbs = 0.0;
      for (const double E : Err)
        MaxAbs = std::max(MaxAbs, std::fabs(E));
      std::printf("reaction: answers=%zu err_ms_mean=%.2f err_ms_max=%.2f press_uncertainty_ms_max=%.2f "
                  "uncertain=%d runs=%d unmatched_runs=%d stall_ms=%d load=%s\n",
                  Err.size(), Mean(Err), Err.empty() ? std::nan("") : MaxAbs, Uncertainty, Uncertain, Runs,
                  Failed, StallMs, Load ? "yes" : "no");
      if (Err.empty() || MaxAbs > 5.0)
        ++Failures;
      F.close();
    }
    XCloseDisplay(Dpy);
    Staller.stop();
    if (Load) {
      LoadProcess.kill();
      LoadProcess.waitForFinished();
    }
    Xvfb.Stop();
    return Failures == 0 ? 0 : 1;
  }

  // --- exercise 2, answered; then free keys clicked ------------------------
  if (RunHeard) {
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
  for (const int Speed : RunHeard ? Speeds : std::vector<int>{}) {
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
  if (RunHeard) {
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

  // What is shown is measured with the interface thread free: a change
  // cannot be painted while it is held up.
  Staller.stop();

  // --- shown: exercise 1's key and mnemonic, the correction -----------------
  {
    Begin(Dir.path(), 1, 60);
    Device.Sent.clear();
    TVelm2 Program(Device, Reporter, Arb, Timer1, MemTimer, Shell);
    TAForm& F = *Program.AForm;
    F.show();
    SpinUntil([&] { return F.StartedUp(); }, 20000);
    TShownWatch Label(F.View.MerkWLabel, [&] { return F.View.MerkWLabel->text(); });
    F.View.StartBtn->click();
    SpinFor(100);
    Label.PaintedUs.clear(); // the first character is shown at Start
    SpinUntil([&] { return training::Sitzung.Idle || Label.PaintedUs.size() >= 3; }, 60000);
    SpinFor(300);
    if (!training::Sitzung.Idle)
      F.View.StartBtn->click();
    PrintShown("ex1_key", AgainstNearest(Label.PaintedUs, Device.Sent));
    F.close();
  }
  {
    Begin(Dir.path(), 2, 60);
    TVelm2 Program(Device, Reporter, Arb, Timer1, MemTimer, Shell);
    TAForm& F = *Program.AForm;
    F.show();
    SpinUntil([&] { return F.StartedUp(); }, 20000);
    TShownWatch Panel(F.View.TimePanel, nullptr);
    std::vector<double> D;
    for (int Run = 0; Run < 3; ++Run) {
      Device.Sent.clear();
      Panel.HiddenUs.clear();
      F.View.StartBtn->click();
      SpinUntil([&] { return !Device.Sent.empty() && Device.Sent.back().DoneUs >= 0; }, 10000);
      SpinFor(300);
      // A wrong answer: any other large key.
      const int32_t K = course::Folge.UebFolge.empty() ? 1 : course::Folge.UebFolge[0];
      TMButton* Wrong = F.View.NeuTasten[K == 1 ? 1 : 0];
      Wrong->Click();
      SpinUntil([&] { return !Panel.HiddenUs.empty(); }, 20000);
      // The panel goes a second after the correction's last sound is heard to end.
      for (auto It = Device.Sent.rbegin(); It != Device.Sent.rend(); ++It)
        if (It->DoneUs >= 0 && It->DoneUs < Panel.HiddenUs.front()) {
          if (!Panel.HiddenUs.empty())
            D.push_back(static_cast<double>(Panel.HiddenUs.front() - (It->DoneUs + 1000000)) / 1000.0);
          break;
        }
      SpinFor(200);
      if (!training::Sitzung.Idle)
        F.View.StartBtn->click();
      SpinFor(500);
    }
    PrintShown("correction", D);
    F.close();
  }

  // --- shown: the text window after the end signal, the results after the
  // last pause, the replay window's line -------------------------------------
  for (const bool Signal : {true, false}) {
    Begin(Dir.path(), 4, 60);
    Device.Sent.clear();
    TVelm2 Program(Device, Reporter, Arb, Timer1, MemTimer, Shell);
    TAForm& F = *Program.AForm;
    F.show();
    SpinUntil([&] { return F.StartedUp(); }, 20000);
    course::Kurs.GruppenZahl = 2;
    course::Kurs.MaxLektNr = static_cast<uint8_t>(course::Kurs.LektZeichEnde + (Signal ? 1 : 0));
    Shell.ShownUs.clear();
    // The replay window, played while it is open after the run without the
    // end signal.
    std::vector<double> Replay;
    bool Replayed = false;
    std::vector<double> D;
    Shell.OnModal = [&](QDialog& Dialog) {
      // The last block is the end signal, or the last character, whose
      // pause the session set when its end came.
      for (auto It = Device.Sent.rbegin(); It != Device.Sent.rend() && D.empty(); ++It)
        if (It->DoneUs >= 0) {
          const int64_t Due = It->DoneUs + (Signal ? 0 : It->GapAfterMs * 1000);
          D.push_back(static_cast<double>(Shell.ShownUs.back() - Due) / 1000.0);
        }
      auto* M = dynamic_cast<TMemForm*>(&Dialog);
      if (Signal || M == nullptr || Replayed)
        return;
      Replayed = true;
      M->FormActivate();
      M->show();
      TShownWatch Line(M->GebEdit, [M] { return M->GebEdit->text(); });
      const size_t From = Device.Sent.size();
      M->MemPlayBtn->click();
      SpinUntil([&] { return Line.PaintedUs.size() >= 10; }, 30000);
      SpinFor(300);
      M->MemClBtnClick();
      M->hide();
      Replay = AgainstNearest(Line.PaintedUs,
                              std::vector<TSent>(Device.Sent.begin() + static_cast<long>(From), Device.Sent.end()));
    };
    F.View.StartBtn->click();
    SpinUntil([&] { return training::Sitzung.Idle && !Shell.ShownUs.empty(); }, 120000);
    SpinFor(200);
    Shell.OnModal = nullptr;
    PrintShown(Signal ? "text_window" : "results", D);
    if (!Signal)
      PrintShown("replay_line", Replay);
    F.close();
  }

  // --- stop: the latest sound onset after a Stop click ------------------------
  {
    Begin(Dir.path(), 4, 60);
    Device.Sent.clear();
    TVelm2 Program(Device, Reporter, Arb, Timer1, MemTimer, Shell);
    TAForm& F = *Program.AForm;
    F.show();
    SpinUntil([&] { return F.StartedUp(); }, 20000);
    F.View.TimeCB->setChecked(false);
    std::mt19937 Random(20);
    std::uniform_int_distribution<int> Moment(200, 3000);
    double AfterMax = 0;
    int Measured = 0;
    for (int Stop = 0; Stop < Stops; ++Stop) {
      Pulse.StartRecording();
      const size_t First = Device.Sent.size();
      F.View.StartBtn->click();
      SpinFor(Moment(Random));
      F.View.StartBtn->click();
      const int64_t StopUs = TSteadyClock::RealNowUs();
      SpinFor(1200);
      const std::vector<TTone> Tones = FindTones(Pulse.StopRecording());
      // The recording put on the clock by the first block of the run.
      if (Tones.empty() || Device.Sent.size() <= First || Device.Sent[First].Elements.empty() ||
          Device.Sent[First].HeardUs < 0) {
        if (std::getenv("HEARD_VERBOSE") != nullptr)
          std::fprintf(stderr, "stop %d: tones=%zu blocks=%zu\n", Stop, Tones.size(), Device.Sent.size() - First);
        continue;
      }
      ++Measured;
      const int64_t S0 = Tones.front().Start - Device.Sent[First].Elements.front().Start;
      const int64_t H0 = Device.Sent[First].HeardUs;
      // A tone belongs to the block heard at its onset; a block that started
      // before the click goes on (its later elements are no new sound).
      for (const TTone& T : Tones) {
        const double OnsetUs = static_cast<double>(H0) + static_cast<double>(T.Start - S0) * 1e6 / SamplesPerSec;
        double StartUs = OnsetUs;
        for (size_t K = First; K < Device.Sent.size(); ++K) {
          const auto& B = Device.Sent[K];
          const double From = static_cast<double>(B.HeardUs);
          if (B.HeardUs >= 0 && OnsetUs >= From - 2000 &&
              OnsetUs <= From + static_cast<double>(B.BlockLen) * 1e6 / SamplesPerSec)
            StartUs = From;
        }
        AfterMax = std::max(AfterMax, (StartUs - static_cast<double>(StopUs)) / 1000.0);
      }
    }
    std::printf("stop: after_ms_max=%.1f stops=%d measured=%d\n", AfterMax, Stops, Measured);
    if (AfterMax > 30)
      ++Failures;
    F.close();
  }

  // --- first: the first character of a run whole ------------------------------
  if (Starts > 0) {
    Begin(Dir.path(), 4, 60);
    Device.Sent.clear();
    TVelm2 Program(Device, Reporter, Arb, Timer1, MemTimer, Shell);
    TAForm& F = *Program.AForm;
    F.show();
    SpinUntil([&] { return F.StartedUp(); }, 20000);
    F.View.TimeCB->setChecked(false);
    Pulse.StartRecording();
    std::vector<std::vector<TTone>> Expected;
    for (int Start = 0; Start < Starts; ++Start) {
      const size_t First = Device.Sent.size();
      F.View.StartBtn->click();
      SpinUntil([&] { return Device.Sent.size() > First && Device.Sent[First].DoneUs >= 0; }, 10000);
      // Stopped once the first block has been heard to its end (its end is
      // reported ahead of that, and Stop silences what is still to be
      // heard): what follows is taken back.
      if (Device.Sent.size() > First)
        SpinUntil([&] { return TSteadyClock::RealNowUs() >= Device.Sent[First].DoneUs + 5000; }, 2000);
      F.View.StartBtn->click();
      if (Device.Sent.size() > First)
        Expected.push_back(Device.Sent[First].Elements);
      // Until the stream has gone quiet, so that each start starts it.
      SpinFor(2600);
    }
    const std::vector<TTone> Tones = FindTones(Pulse.StopRecording());
    // One burst of tones per start.
    std::vector<std::vector<TTone>> Bursts;
    for (size_t I = 0; I < Tones.size(); ++I) {
      if (I == 0 || Tones[I].Start - Tones[I - 1].End > SamplesPerSec)
        Bursts.emplace_back();
      Bursts.back().push_back(Tones[I]);
    }
    int Cut = 0;
    for (size_t K = 0; K < Expected.size(); ++K) {
      // The first block's tones, whole; a second block that a late Stop
      // let start may follow them.
      const bool Whole = K < Bursts.size() && Bursts[K].size() >= Expected[K].size() &&
                         std::equal(Expected[K].begin(), Expected[K].end(), Bursts[K].begin(),
                                    [](const TTone& A, const TTone& B) {
                                      return std::llabs((A.End - A.Start) - (B.End - B.Start)) <= 1;
                                    });
      Cut += Whole ? 0 : 1;
      if (!Whole && K < Bursts.size())
        for (size_t I = 0; I < std::max(Bursts[K].size(), Expected[K].size()); ++I)
          std::fprintf(stderr, "first %zu tone %zu: heard %lld rendered %lld\n", K, I,
                       I < Bursts[K].size() ? static_cast<long long>(Bursts[K][I].End - Bursts[K][I].Start) : -1LL,
                       I < Expected[K].size() ? static_cast<long long>(Expected[K][I].End - Expected[K][I].Start) : -1LL);
    }
    std::printf("first: starts=%zu cut=%d bursts=%zu load=%s\n", Expected.size(), Cut, Bursts.size(),
                Load ? "yes" : "no");
    if (Cut > 0 || Bursts.size() != Expected.size())
      ++Failures;
    F.close();
  }

  // --- reaction, in a process of its own on its own X server --------------
  if (RunReaction) {
    QProcess Child;
    Child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    Child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--reaction-only"), QStringLiteral("--no-load"), QStringLiteral("--stall-ms"),
                 QString::number(StallMs), QStringLiteral("--answers"), QString::number(Answers)});
    Child.waitForFinished(600000);
    std::printf("%s", Child.readAllStandardOutput().constData());
    if (Child.exitCode() != 0)
      ++Failures;
  }

  // --- idle ---------------------------------------------------------------
  {
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

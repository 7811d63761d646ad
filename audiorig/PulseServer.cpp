#include "audiorig/PulseServer.h"

#include "audiorig/EventLoop.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <csignal>
#include <sys/types.h>
#include <sched.h>
#include <unistd.h>

namespace {
const char* const SinkName = "velm_null";

// The server and its recorders measure to the sample: where the system
// allows it (run as root, as CI does), they run in a real-time slot below
// the server's own sink thread, so that a busy processor (the other tests
// beside them) cannot hold back the server's handling of a client's writes
// or the recording. Elsewhere they run as they are.
constexpr int RigPriority = 4;

void RaiseToRealTime(qint64 Pid) {
  if (geteuid() != 0 || Pid <= 0)
    return;
  sched_param Param{};
  Param.sched_priority = RigPriority;
  sched_setscheduler(static_cast<pid_t>(Pid), SCHED_RR, &Param);
}

// Started as they are, then raised: a system that refuses the slot still
// runs them.
void StartScheduled(QProcess& Process, const QString& Program, const QStringList& Args) {
  Process.start(Program, Args);
  if (Process.waitForStarted(5000))
    RaiseToRealTime(Process.processId());
}

} // namespace

TPulseServer::TPulseServer() = default;

TPulseServer::~TPulseServer() { Stop(); }

QString TPulseServer::Socket() const { return FDir ? FDir->filePath("native") : QString(); }

QString TPulseServer::Run(const QStringList& Args, int TimeoutMs) {
  QProcess P;
  P.setProcessChannelMode(QProcess::MergedChannels);
  P.start(Args.front(), Args.mid(1));
  if (!P.waitForFinished(TimeoutMs)) {
    P.kill();
    P.waitForFinished(1000);
    return QString();
  }
  return QString::fromLocal8Bit(P.readAll());
}

bool TPulseServer::Start() {
  FDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/velm-pulse-XXXXXX");
  if (!FDir->isValid()) {
    FError = "cannot create a runtime folder";
    return false;
  }
  const QString Runtime = FDir->filePath("runtime");
  QDir().mkpath(Runtime);
  QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
  Env.insert("PULSE_RUNTIME_PATH", Runtime);
  Env.insert("XDG_RUNTIME_DIR", Runtime);
  Env.insert("HOME", FDir->path());
  Env.remove("PULSE_SERVER");
  Env.remove("DISPLAY");
  FDaemon.setProcessEnvironment(Env);
  FDaemon.setProcessChannelMode(QProcess::MergedChannels);
  FDaemon.setStandardOutputFile(FDir->filePath("daemon.log"));
  FDaemon.start("pulseaudio",
                {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                 "--disable-shm=yes", "--log-target=stderr",
                 "-L", QString("module-native-protocol-unix socket=%1 auth-anonymous=1").arg(Socket()),
                 "-L", QString("module-null-sink sink_name=%1 format=u8 rate=11025 channels=1").arg(SinkName),
                 "-L", "module-default-device-restore"});
  if (!FDaemon.waitForStarted(5000)) {
    FError = "pulseaudio does not start: " + FDaemon.errorString().toStdString();
    return false;
  }
  qputenv("PULSE_SERVER", ("unix:" + Socket()).toLocal8Bit());
  qputenv("PULSE_RUNTIME_PATH", Runtime.toLocal8Bit());
  // Wait until the server answers and has its sink.
  QDeadlineTimer Deadline(10000);
  while (!Deadline.hasExpired()) {
    if (FDaemon.state() != QProcess::Running)
      break;
    const QString Info = Run({"pactl", "--server", "unix:" + Socket(), "list", "short", "sinks"}, 2000);
    if (Info.contains(SinkName)) {
      // The server sets its own priorities as it starts; its main thread,
      // which takes the clients' writes, is raised once it has.
      RaiseToRealTime(FDaemon.processId());
      Run({"pactl", "--server", "unix:" + Socket(), "set-default-sink", SinkName});
      if (StartKeeper())
        return true;
      Stop();
      return false;
    }
    QThread::msleep(50);
  }
  QFile Log(FDir->filePath("daemon.log"));
  Log.open(QIODevice::ReadOnly);
  FError = "pulseaudio did not come up: " + Log.readAll().toStdString();
  Stop();
  return false;
}

// A null sink left to itself renders two seconds of silence at a time and,
// unlike a sound card's sink, cannot take them back when a stream with a
// short latency starts: that stream would be heard only when the block runs
// out. A reader of its monitor that asks for a short latency keeps its
// blocks short, as a sound card's sink keeps to its streams' latency. The
// reader connects while the sink is suspended, so that the sink resumes
// with short blocks at once instead of first rendering out a long one.
namespace {
// A process that has ended has no id, and kill(0) would signal the whole
// process group, the test command with it.
void KillProcess(const QProcess& Process, int Signal) {
  if (Process.processId() > 0)
    ::kill(static_cast<pid_t>(Process.processId()), Signal);
}

// The sink's latency in "Latency: 9122 usec, configured 9977 usec" of
// pactl's listing; -1 when it is not there.
int64_t LatencyUs(const QString& Listing) {
  const qsizetype At = Listing.indexOf("Latency: ");
  if (At < 0)
    return -1;
  const qsizetype From = At + 9;
  const qsizetype To = Listing.indexOf(' ', From);
  bool Ok = false;
  const int64_t Us = Listing.mid(From, To - From).toLongLong(&Ok);
  return Ok ? Us : -1;
}
} // namespace

bool TPulseServer::StartKeeper() {
  const QString Server = "unix:" + Socket();
  Run({"pactl", "--server", Server, "suspend-sink", SinkName, "1"});
  FKeeper.setStandardOutputFile(QProcess::nullDevice());
  FKeeper.setStandardErrorFile(QProcess::nullDevice());
  StartScheduled(FKeeper, "parec", {"--server", Server, "--device", QString(SinkName) + ".monitor",
                          "--format=u8", "--rate=11025", "--channels=1", "--raw",
                          "--latency-msec=10"});
  FKeeper.waitForStarted(5000);
  QDeadlineTimer Connected(5000);
  while (!Connected.hasExpired() && FKeeper.state() == QProcess::Running &&
         Run({"pactl", "--server", Server, "list", "short", "source-outputs"}, 2000).trimmed().isEmpty())
    QThread::msleep(10);
  Run({"pactl", "--server", Server, "suspend-sink", SinkName, "0"});
  // Until the sink renders in short blocks; a reader that connected too
  // late shortens them once the long block has run out, within 2 s.
  QDeadlineTimer Short(5000);
  while (!Short.hasExpired()) {
    const int64_t Us = LatencyUs(Run({"pactl", "--server", Server, "list", "sinks"}, 2000));
    if (Us >= 0 && Us < 50000)
      return true;
    QThread::msleep(20);
  }
  FError = "the null sink keeps rendering long blocks";
  return false;
}

void TPulseServer::Stop() {
  Thaw();
  if (FKeeper.state() != QProcess::NotRunning) {
    KillProcess(FKeeper, SIGTERM);
    FKeeper.waitForFinished(3000);
  }
  if (FRecorder.state() != QProcess::NotRunning) {
    KillProcess(FRecorder, SIGTERM);
    FRecorder.waitForFinished(3000);
  }
  if (FDaemon.state() != QProcess::NotRunning) {
    KillProcess(FDaemon, SIGTERM);
    if (!FDaemon.waitForFinished(5000)) {
      KillProcess(FDaemon, SIGKILL);
      FDaemon.waitForFinished(2000);
    }
  }
}

void TPulseServer::Freeze() {
  if (FDaemon.state() != QProcess::NotRunning)
    KillProcess(FDaemon, SIGSTOP);
}

void TPulseServer::Thaw() {
  if (FDaemon.state() != QProcess::NotRunning)
    KillProcess(FDaemon, SIGCONT);
}

bool TPulseServer::StartRecording() {
  FRecording = FDir->filePath("monitor.raw");
  QFile::remove(FRecording);
  FRecorder.setStandardOutputFile(FRecording);
  FRecorder.setStandardErrorFile(FDir->filePath("parec.log"));
  StartScheduled(FRecorder, "parec", {"--server", "unix:" + Socket(), "--device", QString(SinkName) + ".monitor",
                            "--format=u8", "--rate=11025", "--channels=1", "--raw",
                            "--latency-msec=20"});
  if (!FRecorder.waitForStarted(5000))
    return false;
  // The recorder is ready once data flows.
  QDeadlineTimer Deadline(5000);
  while (!Deadline.hasExpired() && QFileInfo(FRecording).size() == 0)
    QThread::msleep(10);
  return QFileInfo(FRecording).size() > 0;
}

std::vector<uint8_t> TPulseServer::Recorded() const {
  QFile F(FRecording);
  std::vector<uint8_t> Samples;
  if (F.open(QIODevice::ReadOnly)) {
    const QByteArray Bytes = F.readAll();
    Samples.assign(Bytes.begin(), Bytes.end());
  }
  return Samples;
}

std::vector<uint8_t> TPulseServer::StopRecording() {
  if (FRecorder.state() != QProcess::NotRunning) {
    KillProcess(FRecorder, SIGTERM);
    FRecorder.waitForFinished(3000);
  }
  return Recorded();
}

TPulseServer& SharedPulseServer() {
  static TPulseServer Server;
  static const bool Started = Server.Start();
  (void)Started;
  return Server;
}

std::vector<TTone> FindTones(const std::vector<uint8_t>& Samples, int64_t MinGap) {
  std::vector<TTone> Tones;
  const auto N = static_cast<int64_t>(Samples.size());
  int64_t I = 0;
  while (I < N) {
    while (I < N && Samples[static_cast<size_t>(I)] == 128)
      ++I;
    if (I >= N)
      break;
    TTone T;
    T.Start = I;
    int64_t LastSound = I;
    while (I < N) {
      if (Samples[static_cast<size_t>(I)] != 128) {
        LastSound = I;
      } else if (I - LastSound >= MinGap) {
        break;
      }
      ++I;
    }
    T.End = LastSound + 1;
    Tones.push_back(T);
  }
  return Tones;
}

bool SpinUntilTones(const TPulseServer& Server,
                    const std::function<bool(const std::vector<TTone>&, int64_t)>& Done, int TimeoutMs,
                    int64_t MinGap) {
  bool Seen = false;
  QDeadlineTimer NextLook(0);
  SpinUntil(
      [&] {
        // The recording grows by a few hundred samples between looks: every
        // 20 ms is often enough, and keeps the scan off the core the sound
        // needs.
        if (!NextLook.hasExpired())
          return false;
        NextLook.setRemainingTime(20);
        const std::vector<uint8_t> Samples = Server.Recorded();
        Seen = Done(FindTones(Samples, MinGap), static_cast<int64_t>(Samples.size()));
        return Seen;
      },
      TimeoutMs);
  return Seen;
}

bool SpinUntilHeard(const TPulseServer& Server, size_t Count, int QuietMs, int TimeoutMs, int64_t MinGap) {
  const int64_t QuietSamples = static_cast<int64_t>(QuietMs) * 11025 / 1000;
  return SpinUntilTones(
      Server,
      [&](const std::vector<TTone>& Tones, int64_t Length) {
        return Tones.size() >= Count && Length - (Tones.empty() ? 0 : Tones.back().End) >= QuietSamples;
      },
      TimeoutMs, MinGap);
}

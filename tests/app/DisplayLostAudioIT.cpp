// The program on an X server of its own, with its sound stream connected to
// the private PulseAudio daemon: the X server is killed under it. The
// program must save the learner's record, stop its sound output and end on
// its own, without a crash or a hang.
#include "audiorig/PulseServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

QByteArray ReadAll(const QString& Path) {
  QFile F(Path);
  return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
}

// Until the X server's socket is there and a client sees a window of the
// program on it.
bool WaitForWindow(const QString& Screen, int TimeoutMs) {
  for (int Waited = 0; Waited < TimeoutMs; Waited += 200) {
    QProcess Info;
    Info.start("xwininfo", {"-display", Screen, "-root", "-tree"});
    if (Info.waitForFinished(5000) && Info.readAllStandardOutput().contains("VELM-MTR"))
      return true;
    QTest::qWait(200);
  }
  return false;
}

} // namespace

TEST(DisplayLost, TheProgramSavesAndEndsWhenItsXServerDies) {
  const QString Built = QStringLiteral(VELM_PROGRAM);
  if (!QFileInfo::exists(Built))
    GTEST_SKIP() << "no program built beside the tests";
  TPulseServer& Pulse = SharedPulseServer();
  ASSERT_TRUE(Pulse.Error().empty()) << Pulse.Error();

  QTemporaryDir Dir;
  const QString Screen = QString(":%1").arg(100 + getpid() % 800);
  QProcess X;
  X.setStandardOutputFile(QProcess::nullDevice());
  X.setStandardErrorFile(QProcess::nullDevice());
  X.start("Xvfb", {Screen, "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
  ASSERT_TRUE(X.waitForStarted(10000));

  const QDir Learner(Dir.filePath("home/velm-mtr"));
  ASSERT_TRUE(QDir().mkpath(Learner.path()));
  {
    QFile F(Learner.filePath("CWK.dat"));
    ASSERT_TRUE(F.open(QIODevice::WriteOnly));
    F.write(QByteArray("\x01\x01\x3C\x55\x1E\x08\x03", 7));
  }
  QProcess P;
  QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
  Env.insert("QT_QPA_PLATFORM", "xcb");
  Env.insert("DISPLAY", Screen);
  Env.insert("ASAN_OPTIONS", "detect_leaks=0");
  Env.insert("XDG_DATA_HOME", Dir.filePath("home"));
  P.setProcessEnvironment(Env);
  P.start(Built, {});
  ASSERT_TRUE(P.waitForStarted(10000));
  const bool Shown = WaitForWindow(Screen, 60000);
  // The start-up runs once the window is shown.
  QTest::qWait(1500);

  // A process that has ended has no id: kill(0) would end the test's whole
  // process group, the test command with it.
  const auto KillHard = [](const QProcess& Process) {
    if (Process.processId() > 0)
      ::kill(static_cast<pid_t>(Process.processId()), SIGKILL);
  };
  ASSERT_EQ(X.state(), QProcess::Running) << "the X server " << Screen.toStdString() << " did not stay up";
  KillHard(X);
  X.waitForFinished(5000);
  const bool Ended = P.waitForFinished(30000);
  if (!Ended) {
    KillHard(P);
    P.waitForFinished(5000);
  }
  ASSERT_TRUE(Shown) << P.readAllStandardError().toStdString();
  ASSERT_TRUE(Ended) << "the program hangs without its display";
  EXPECT_EQ(P.exitStatus(), QProcess::NormalExit) << P.readAllStandardError().toStdString();
  EXPECT_EQ(P.exitCode(), 1);
  // The record as the close sequence stores it: the tone held to its
  // control's range.
  EXPECT_EQ(ReadAll(Learner.filePath("CWK.dat")), QByteArray("\x01\x01\x3C\x26\x1E\x08\x03", 7));
}

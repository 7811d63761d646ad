// The interface sound of the about box through the real desktop layer, on a
// private PulseAudio daemon with a null sink: "Reload.wav" is found whatever
// its case, plays, and the call returns at once.
#include "windows/Shell.h"

#include "audiorig/EventLoop.h"
#include "audiorig/PulseServer.h"
#include "support/WorkDir.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {


TEST(InterfaceSound, TheShippedChimePlaysAndTheCallReturnsAtOnce) {
  TPulseServer& Pulse = SharedPulseServer();
  ASSERT_TRUE(Pulse.Error().empty()) << Pulse.Error();
  TWorkDir Dir;
  const QString Shipped = QStringLiteral(VELM_SOURCE_DIR "/data/Reload.wav");
  ASSERT_TRUE(QFile::copy(Shipped, Dir.Path() + "/reload.WAV"));

  TQtShell Shell;
  ASSERT_TRUE(Pulse.StartRecording());
  SpinFor(300);
  QElapsedTimer Call;
  Call.start();
  Shell.PlaySoundAsync("Reload.wav");
  EXPECT_LT(Call.elapsed(), 150) << "asynchronous";
  // A stream of its own starts slowly on a loaded machine: the time bound
  // allows for it.
  EXPECT_TRUE(SpinUntilHeard(Pulse, 1, 400, 5000));
  const std::vector<uint8_t> Recorded = Pulse.StopRecording();
  const std::vector<TTone> Tones = FindTones(Recorded);
  ASSERT_FALSE(Tones.empty()) << Recorded.size() << " samples recorded, all silent";
  int64_t Sounding = 0;
  for (const TTone& T : Tones)
    Sounding += T.End - T.Start;
  // The chime lasts about 0.2 s (2200 samples); the server may lose the
  // first few milliseconds of a new stream.
  EXPECT_GT(Sounding, 500);
  EXPECT_LT(Sounding, 4000);
}

TEST(InterfaceSound, AMissingFilePlaysNothing) {
  TPulseServer& Pulse = SharedPulseServer();
  ASSERT_TRUE(Pulse.Error().empty()) << Pulse.Error();
  TWorkDir Dir;
  TQtShell Shell;
  ASSERT_TRUE(Pulse.StartRecording());
  SpinFor(200);
  Shell.PlaySoundAsync("Reload.wav");
  SpinFor(800);
  EXPECT_TRUE(FindTones(Pulse.StopRecording()).empty());
}

} // namespace

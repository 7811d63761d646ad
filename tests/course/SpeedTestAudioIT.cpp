// One speed test at 150 characters per minute through the real wave output
// and the real threaded timer, on a private null sink: the test must settle
// near the pause that makes the run last exactly the nominal 24 s.
#include "course/CourseState.h"
#include "course/SpeedTest.h"
#include "sound/Clock.h"
#include "sound/Morse.h"
#include "sound/QtWaveDevice.h"
#include "sound/SoundState.h"
#include "sound/ThdTimer.h"
#include "audiorig/PulseServer.h"
#include "support/RecordingReporter.h"
#include "windows/MainView.h"
#include "windows/Texts.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMainWindow>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// The main window's part: the completion closes the device and hands the
// test its share.
struct THarnessWindow : TWaveWindow {
  TMorse* Morse = nullptr;
  TSpeedTest* Test = nullptr;
  void WaveDone() override {
    Playing = false;
    DeviceOpen = Morse->CloseOut();
    if (Test != nullptr)
      Test->Completion();
  }
};

} // namespace

TEST(SpeedTestAudio, CalibratesSpeed150OnTheRealOutput) {
  TPulseServer& Pulse = SharedPulseServer();
  ASSERT_TRUE(Pulse.Error().empty()) << Pulse.Error();

  ResetSoundState();
  ResetCourseState();
  ClearTexts();
  MessagesText[5] = "aborted";
  Letters = "paris";
  const char* Table[] = {"", ".--.", ".-", ".-.", "..", "..."};
  for (size_t P = 1; P <= 5; ++P)
    Codes[P] = Table[P];
  Speed = 150;
  TMorse::BuildElements();

  // The pause that makes twelve words last exactly 24 000 ms: 48 gaps of two
  // pauses inside the words and 11 of six between them, and 1 ms at the end.
  int64_t SoundMs = 0;
  for (size_t P = 1; P <= 5; ++P) {
    TMorse::RenderCode(Codes[P]);
    SoundMs += static_cast<int64_t>(SoundLen) * 1000 / SamplesPerSec;
  }
  const double Ideal = static_cast<double>(24000 - 12 * SoundMs - 1) / (48 * 2 + 11 * 6);
  const int32_t Start = static_cast<int32_t>(Ideal) + 30;
  SetIntervallAt(IntervallSlot(150), static_cast<uint8_t>(Start));
  Intervall = Start;

  QMainWindow Form;
  TMainView View;
  BuildMainView(View, Form);
  View.SpeedUD->SetPosition(150);
  TQtWaveDevice Device;
  TRecordingReporter Reporter;
  TMorse Morse(Device, Reporter);
  TThreadedTimer ArbTimer(nullptr);
  ArbTimer.SetEnabled(false);
  ArbTimer.SetThreadPriority(TThreadPriority::Lowest);
  THarnessWindow Window;
  TSpeedTest SpeedTest(View, Morse, Window, ArbTimer, TSteadyClock::Instance(), Reporter);
  Window.Morse = &Morse;
  Window.Test = &SpeedTest;

  SpeedTest.TestBtnClick();
  QDeadlineTimer Deadline(5 * 30000);
  while (TestLaeuft && !Deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  ASSERT_FALSE(TestLaeuft) << "the test did not finish";
  ArbTimer.SetEnabled(false);

  std::printf("speed test at 150: ideal Intervall %.1f ms, started at %d ms, calibrated to %d ms "
              "in %d run(s), "
              "last run %d ms of %d\n",
              Ideal, Start, Intervall, SpeedTest.Runs, SpeedTest.TestDauer, SpeedTest.SollDauer);
  EXPECT_TRUE(Reporter.Messages.empty()) << "aborted: " << Reporter.Messages.front();
  EXPECT_TRUE(IntChanged);
  EXPECT_EQ(IntervallAt(IntervallSlot(150)), Intervall);
  EXPECT_LE(std::abs(Intervall - Ideal), 40.0);
  EXPECT_LE(std::abs(SpeedTest.TestDauer - SpeedTest.SollDauer), SpeedTest.Toleranz);
}

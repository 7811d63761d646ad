// The speed test through the real wave output and threaded timer on a private
// null sink, as the first sound of a new output: the stream's start-up must
// not be counted, so with the shipped interval table the first run lasts the
// nominal time and the table value is stored unchanged. Both outputs are run:
// the program's own (the PulseAudio stream) and the Qt Multimedia fallback.
//
// VELM_SPEEDTEST_SPEEDS (e.g. "30,60,150") chooses the speeds; 150 by default,
// since one run at 30 lasts two minutes.
#include "audiorig/EventLoop.h"
#include "audiorig/PulseServer.h"
#include "course/CourseState.h"
#include "base/Clock.h"
#include "sound/Morse.h"
#include "sound/Player.h"
#include "sound/QtWaveDevice.h"
#include "sound/SoundState.h"
#include "sound/ThdTimer.h"
#include "sound/WaveOut.h"
#include "storage/Texts.h"
#include "support/RecordingReporter.h"
#include "training/SessionState.h"
#include "training/SpeedTest.h"
#include "windows/MainView.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TTestHost : TPlayerHost {
  void SetKeyboardEnabled(bool) override {}
  bool MnemonicsOn() const override { return false; }
};

std::vector<int32_t> Speeds() {
  const char* Env = std::getenv("VELM_SPEEDTEST_SPEEDS");
  std::vector<int32_t> Out;
  std::stringstream In(Env != nullptr && *Env != '\0' ? Env : "150");
  std::string Item;
  while (std::getline(In, Item, ','))
    Out.push_back(std::atoi(Item.c_str()));
  return Out;
}

} // namespace

// One case per output (false: PulseAudio, true: the Qt Multimedia fallback),
// so that the test command runs them side by side.
class SpeedTestAudio : public ::testing::TestWithParam<bool> {};

TEST_P(SpeedTestAudio, TheFirstSoundOfTheOutputIsMeasuredAsHeard) {
  TPulseServer& Pulse = SharedPulseServer();
  ASSERT_TRUE(Pulse.Error().empty()) << Pulse.Error();

  std::array<char, 60> Shipped{};
  std::ifstream File(VELM_SOURCE_DIR "/data/Int.mtr", std::ios::binary);
  ASSERT_TRUE(File.read(Shipped.data(), Shipped.size())) << "the shipped Int.mtr";

  const bool Fallback = GetParam();
  for (const int32_t Cpm : Speeds()) {
    const char* Output = Fallback ? "Qt Multimedia" : "PulseAudio";
    ResetSoundState();
    ResetCourseState();
    ResetSessionState();
    ClearTexts();
    storage::Texte.MessagesText[5] = "aborted";
    sound::Codetafel.Letters = "paris";
    const char* Table[] = {"", ".--.", ".-", ".-.", "..", "..."};
    for (size_t P = 1; P <= 5; ++P)
      sound::Codetafel.Codes[P] = Table[P];
    for (size_t I = 0; I < Shipped.size(); ++I)
      sound::Klang.IntervallTab[I] = static_cast<uint8_t>(Shipped[I]);
    const int32_t TableMs = IntervallAt(IntervallSlot(Cpm));
    sound::Klang.Speed = Cpm;
    sound::Klang.Intervall = TableMs;
    TMorse::BuildElements();

    QMainWindow Form;
    TMainView View;
    BuildMainView(View, Form);
    View.SpeedUD->SetPosition(Cpm);
    // A new output for every speed: its first block waits for the stream.
    std::unique_ptr<TWaveDevice> Device;
    if (Fallback)
      Device = std::make_unique<TQtWaveDevice>();
    else
      Device = std::make_unique<TWaveOut>();
    TRecordingReporter Reporter;
    TMorse Morse(*Device, Reporter);
    TTestHost Host;
    TPlayer Player(Morse, Host);
    // The session's timer as the program makes it: without its early ticks
    // every character would be placed late on the PulseAudio stream.
    TSoundTimer ArbTimer(TThreadPriority::Lowest);
    struct : TSessionControls {
      void SessionEnd() override {}
      void ArrangeIcons() override {}
    } Session;
    TSpeedTest SpeedTest(View, Player, ArbTimer, TSteadyClock::Instance(), Reporter, Session);
    // The session's timer handler, in the phase SpeedTest.
    ArbTimer.SetOnTimer([&SpeedTest] { SpeedTest.SpeedTestTick(); });

    SpeedTest.TestBtnClick();
    SpinUntil([] { return !training::Sitzung.TestLaeuft; }, 2 * 3600000 / Cpm + 30000);
    ASSERT_FALSE(training::Sitzung.TestLaeuft)
        << "the test did not finish at " << Cpm << " on " << Output;
    ArbTimer.SetEnabled(false);

    std::printf("speed test at %d as the first sound of the %s output: table Intervall %d ms, stored %d ms "
                "after %d run(s), last run %d ms of %d (tolerance %d)\n",
                Cpm, Output, TableMs, IntervallAt(IntervallSlot(Cpm)), SpeedTest.Runs, SpeedTest.TestDauer,
                SpeedTest.SollDauer, SpeedTest.Toleranz);
    // Only the end of the test, with what it stored.
    ASSERT_EQ(Reporter.Messages.size(), 1u) << Cpm << " on " << Output;
    EXPECT_NE(Reporter.Messages[0].find(std::to_string(Cpm) + " characters per minute: " +
                                        std::to_string(TableMs) + " ms"),
              std::string::npos)
        << Reporter.Messages[0];
    EXPECT_EQ(SpeedTest.Runs, 1) << Cpm << " on " << Output;
    EXPECT_EQ(IntervallAt(IntervallSlot(Cpm)), TableMs) << Cpm << " on " << Output;
    EXPECT_TRUE(sound::Klang.IntChanged) << Cpm << " on " << Output;
    EXPECT_LE(std::abs(SpeedTest.TestDauer - SpeedTest.SollDauer), SpeedTest.Toleranz) << Cpm << " on " << Output;
  }
}

INSTANTIATE_TEST_SUITE_P(Outputs, SpeedTestAudio, ::testing::Bool());

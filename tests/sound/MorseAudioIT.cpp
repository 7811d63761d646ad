// The engine's play sequence through the real wave output: a rendered code
// is opened, prepared, written, played and reported back, and the recording
// of the null sink holds exactly the rendered elements.
#include "audiorig/EventLoop.h"
#include "audiorig/PulseServer.h"
#include "sound/Morse.h"
#include "sound/QtWaveDevice.h"
#include "support/RecordingReporter.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

struct THarnessWindow : TWaveWindow {
  TMorse* Morse = nullptr;
  int Done = 0;
  // The main window's completion in short: close the device again.
  void WaveDone() override {
    ++Done;
    sound::Ausgabe.Playing = false;
    sound::Ausgabe.DeviceOpen = Morse->CloseOut();
  }
};

} // namespace

TEST(MorseAudio, PlaysARenderedCodeAndReportsItsEnd) {
  ResetSoundState();
  TQtWaveDevice Device;
  TRecordingReporter Reporter;
  TMorse Morse(Device, Reporter);
  THarnessWindow Window;
  Window.Morse = &Morse;
  sound::Klang.Speed = 150;
  TMorse::BuildElements();

  TPulseServer& Pulse = SharedPulseServer();
  ASSERT_TRUE(Pulse.Error().empty()) << Pulse.Error();
  ASSERT_TRUE(Pulse.StartRecording());

  sound::Ausgabe.DeviceOpen = Morse.OpenOut(Window);
  ASSERT_TRUE(sound::Ausgabe.DeviceOpen);
  TMorse::RenderCode("-...-");
  ASSERT_TRUE(Morse.PrepareOut());
  sound::Ausgabe.Playing = Morse.WriteOut();
  ASSERT_TRUE(sound::Ausgabe.Playing);
  SpinUntil([&] { return Window.Done != 0; }, 10000);
  ASSERT_EQ(Window.Done, 1);
  EXPECT_FALSE(sound::Ausgabe.Playing);
  EXPECT_FALSE(sound::Ausgabe.DeviceOpen);
  EXPECT_FALSE(TMorse::HeaderHas(WHDR_PREPARED));
  EXPECT_TRUE(Reporter.Messages.empty());

  // The server plays a little behind the reported end.
  EXPECT_TRUE(SpinUntilHeard(Pulse, 5, 300, 5000));
  const std::vector<TTone> Tones = FindTones(Pulse.StopRecording());
  ASSERT_EQ(Tones.size(), 5u);
  // Dash, three dots, dash, one dot of silence between them.
  const std::vector<TTone> Rendered = FindTones(
      std::vector<uint8_t>(sound::Puffer.SoundBuf.begin(), sound::Puffer.SoundBuf.begin() + sound::Puffer.SoundLen));
  ASSERT_EQ(Rendered.size(), 5u);
  for (size_t I = 0; I < 5; ++I) {
    EXPECT_EQ(Tones[I].End - Tones[I].Start, Rendered[I].End - Rendered[I].Start) << I;
    EXPECT_EQ(Tones[I].Start - Tones[0].Start, Rendered[I].Start - Rendered[0].Start) << I;
  }
}

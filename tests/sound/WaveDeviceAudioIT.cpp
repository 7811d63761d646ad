// The real wave output on a private PulseAudio daemon with a null sink: what
// the device plays is recorded from the sink's monitor and measured.
#include "base/Clock.h"
#include "sound/QtWaveDevice.h"
#include "audiorig/EventLoop.h"
#include "audiorig/PulseServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

TPulseServer* Pulse = nullptr;

class TPulseEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    Pulse = &SharedPulseServer();
    ASSERT_TRUE(Pulse->Error().empty()) << Pulse->Error();
  }
};

const auto* const Registered = ::testing::AddGlobalTestEnvironment(new TPulseEnvironment);

struct TWindow : TWaveWindow {
  std::function<void()> OnDone;
  int Done = 0;
  void WaveDone() override {
    ++Done;
    if (OnDone)
      OnDone();
  }
};



// A tone of Length samples at the trainer's middle pitch.
std::vector<uint8_t> Tone(int Length, int Trailing) {
  std::vector<uint8_t> Block(static_cast<size_t>(Length + Trailing), 128);
  for (int I = 1; I < Length; ++I)
    Block[static_cast<size_t>(I)] =
        static_cast<uint8_t>(128 + std::lround(100 * std::sin(2 * M_PI * I / 23.0)));
  return Block;
}

} // namespace

// Blocks started a fixed time after each completion land on the stream with
// that gap to the sample, and every completion comes with the done bit set.
TEST(WaveDeviceAudio, GapsCountedFromCompletionAreExact) {
  TQtWaveDevice Device;
  TWindow Window;
  ASSERT_EQ(Device.Open(TWaveFormat{}, Window), MMSYSERR_NOERROR);
  ASSERT_TRUE(Pulse->StartRecording());

  const int GapMs = 120;
  const int Blocks = 12;
  std::vector<uint8_t> Block = Tone(1102, 1102);
  TWaveHdr Hdr;
  Hdr.Data = Block.data();
  Hdr.BufferLength = static_cast<uint32_t>(Block.size());
  QTimer Pacer;
  Pacer.setSingleShot(true);
  Pacer.setTimerType(Qt::PreciseTimer);
  int64_t DueUs = 0;
  auto Play = [&] {
    TEventTime Due(DueUs + GapMs * 1000);
    Hdr.Flags = WHDR_DONE;
    ASSERT_EQ(Device.Prepare(Hdr), MMSYSERR_NOERROR);
    ASSERT_EQ(Device.Write(Hdr), MMSYSERR_NOERROR);
    EXPECT_EQ(Hdr.Flags & WHDR_DONE, 0u);
  };
  QObject::connect(&Pacer, &QTimer::timeout, Play);
  Window.OnDone = [&] {
    EXPECT_NE(Hdr.Flags & WHDR_DONE, 0u);
    DueUs = TEventTime::Current();
    EXPECT_GT(DueUs, 0);
    EXPECT_EQ(Device.Unprepare(Hdr), MMSYSERR_NOERROR);
    if (Window.Done < Blocks)
      Pacer.start(GapMs);
  };
  DueUs = TSteadyClock::RealNowUs() - GapMs * 1000; // the first block is due now
  Play();
  SpinUntil([&] { return Window.Done >= Blocks; }, 30000);
  ASSERT_EQ(Window.Done, Blocks);
  EXPECT_EQ(Device.Close(), MMSYSERR_NOERROR);
  // The server plays a little behind the stream clock: let it finish.
  EXPECT_TRUE(SpinUntilHeard(*Pulse, Blocks, 200, 5000));
  const std::vector<TTone> Tones = FindTones(Pulse->StopRecording());
  ASSERT_EQ(Tones.size(), static_cast<size_t>(Blocks));
  // From the start of one tone to the next: the block, then the gap.
  const double Expected = static_cast<double>(Block.size()) + GapMs * 11.025;
  for (size_t I = 1; I < Tones.size(); ++I) {
    EXPECT_NEAR(static_cast<double>(Tones[I].Start - Tones[I - 1].Start), Expected, 1.0) << I;
    EXPECT_EQ(Tones[I].End - Tones[I].Start, 1101) << "a tone was cut or stretched";
  }
  EXPECT_EQ(Device.Stats().Underflows, 0);
  EXPECT_EQ(Device.Stats().LateBlocks, 0);
}

// A sound file in another format is converted to the stream's and keeps its
// length; Reset stops a block at once and reports nothing.
TEST(WaveDeviceAudio, ConvertsFileFormatsAndResets) {
  TQtWaveDevice Device;
  TWindow Window;
  TWaveFormat Stereo16;
  Stereo16.Channels = 2;
  Stereo16.SamplesPerSec = 22050;
  Stereo16.BitsPerSample = 16;
  Stereo16.BlockAlign = 4;
  Stereo16.AvgBytesPerSec = 88200;
  ASSERT_EQ(Device.Open(Stereo16, Window), MMSYSERR_NOERROR);
  ASSERT_TRUE(Pulse->StartRecording());
  // 0.5 s of a 441 Hz tone in both channels.
  std::vector<uint8_t> Data(22050 / 2 * 4);
  for (size_t F = 0; F < Data.size() / 4; ++F) {
    const auto V = static_cast<int16_t>(std::lround(20000 * std::sin(2 * M_PI * 441.0 * double(F) / 22050.0)));
    for (size_t C = 0; C < 2; ++C) {
      Data[F * 4 + C * 2] = static_cast<uint8_t>(static_cast<uint16_t>(V) & 0xFF);
      Data[F * 4 + C * 2 + 1] = static_cast<uint8_t>(static_cast<uint16_t>(V) >> 8);
    }
  }
  TWaveHdr Hdr;
  Hdr.Data = Data.data();
  Hdr.BufferLength = static_cast<uint32_t>(Data.size());
  Hdr.Flags = WHDR_DONE;
  ASSERT_EQ(Device.Prepare(Hdr), MMSYSERR_NOERROR);
  ASSERT_EQ(Device.Write(Hdr), MMSYSERR_NOERROR);
  SpinUntil([&] { return Window.Done == 1; }, 10000);
  ASSERT_EQ(Window.Done, 1);
  ASSERT_EQ(Device.Unprepare(Hdr), MMSYSERR_NOERROR);

  // A second block, reset while it plays: done at once, never reported.
  SpinFor(300);
  Hdr.Flags = WHDR_DONE;
  ASSERT_EQ(Device.Prepare(Hdr), MMSYSERR_NOERROR);
  ASSERT_EQ(Device.Write(Hdr), MMSYSERR_NOERROR);
  EXPECT_EQ(Device.Close(), WAVERR_STILLPLAYING);
  SpinFor(150);
  ASSERT_EQ(Device.Reset(), MMSYSERR_NOERROR);
  EXPECT_NE(Hdr.Flags & WHDR_DONE, 0u);
  EXPECT_EQ(Device.Unprepare(Hdr), MMSYSERR_NOERROR);
  EXPECT_EQ(Device.Close(), MMSYSERR_NOERROR);
  // Until the reset block has ended, however late the server plays it: a
  // block that played on would end with its whole length.
  EXPECT_TRUE(SpinUntilHeard(*Pulse, 2, 600, 5000));
  EXPECT_EQ(Window.Done, 1);

  const std::vector<TTone> Tones = FindTones(Pulse->StopRecording());
  ASSERT_EQ(Tones.size(), 2u);
  EXPECT_NEAR(static_cast<double>(Tones[0].End - Tones[0].Start), 11025 / 2.0, 30.0);
  EXPECT_LT(Tones[1].End - Tones[1].Start, 11025 / 2 - 500) << "the reset block played on";
}

TEST(WaveDeviceAudio, RefusesFormatsItCannotPlay) {
  TQtWaveDevice Device;
  TWindow Window;
  TWaveFormat Bad;
  Bad.FormatTag = 2;
  EXPECT_EQ(Device.Open(Bad, Window), WAVERR_BADFORMAT);
  Bad = TWaveFormat{};
  Bad.BitsPerSample = 24;
  Bad.BlockAlign = 3;
  EXPECT_EQ(Device.Open(Bad, Window), WAVERR_BADFORMAT);
  Bad = TWaveFormat{};
  Bad.BlockAlign = 0;
  EXPECT_EQ(Device.Open(Bad, Window), WAVERR_BADFORMAT);
  EXPECT_FALSE(Device.ErrorText(WAVERR_BADFORMAT).empty());
  TWaveHdr Hdr;
  EXPECT_EQ(Device.Write(Hdr), MMSYSERR_INVALHANDLE) << "nothing is queued on a device that is not open";
}

// Without an audio server the open fails with a text to show.
TEST(WaveDeviceAudio, OpenFailsWithoutAServer) {
  QProcess Probe;
  QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
  Env.insert("PULSE_SERVER", "unix:/nonexistent/velm-no-server");
  Env.insert("PULSE_RUNTIME_PATH", "/nonexistent/velm-no-runtime");
  Env.insert("ASAN_OPTIONS", "detect_leaks=0");
  Probe.setProcessEnvironment(Env);
  Probe.start(VELM_WAVE_PROBE, {});
  ASSERT_TRUE(Probe.waitForFinished(30000));
  EXPECT_EQ(Probe.exitCode(), 0);
  const QString Out = QString::fromLocal8Bit(Probe.readAllStandardOutput());
  EXPECT_TRUE(Out.startsWith(QString::number(MMSYSERR_NODRIVER) + " ")) << Out.toStdString();
  EXPECT_GT(Out.size(), 10);
}

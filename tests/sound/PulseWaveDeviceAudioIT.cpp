// The PulseAudio wave output on a private daemon with a null sink: where the
// blocks are heard, when their ends are reported, how fast a learner's block
// sounds, that the stream goes quiet when idle and plays again after the
// server came back.
#include "base/Clock.h"
#if VELM_HAVE_PULSE
#include "sound/PulseWaveDevice.h"
#include "audiorig/EventLoop.h"
#include "audiorig/PulseServer.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

namespace {

struct TWindow : TWaveWindow {
  std::function<void()> OnDone;
  bool Ahead = false;
  int Done = 0;
  int Failed = 0;
  std::vector<int64_t> DoneUs;     // event time of each completion
  std::vector<int64_t> HandledUs;  // real time it was handled
  std::vector<int64_t> SeenUs;     // "now" as the handler sees it
  void WaveDone() override {
    ++Done;
    DoneUs.push_back(TEventTime::Current());
    SeenUs.push_back(TSteadyClock::Instance().NowUs());
    HandledUs.push_back(TSteadyClock::RealNowUs());
    if (OnDone)
      OnDone();
  }
  bool DoneAhead() const override { return Ahead; }
  void WaveFailed() override { ++Failed; }
};

// A tone of Length samples at the trainer's middle pitch, then Trailing
// samples of silence; the first sample is silence too.
std::vector<uint8_t> Tone(int Length, int Trailing) {
  std::vector<uint8_t> Block(static_cast<size_t>(Length + Trailing), 128);
  for (int I = 1; I < Length; ++I)
    Block[static_cast<size_t>(I)] =
        static_cast<uint8_t>(128 + std::lround(100 * std::sin(2 * M_PI * I / 23.0)));
  return Block;
}

void KeepBusy(int Ms) {
  const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
  while (std::chrono::steady_clock::now() < End)
    std::this_thread::yield();
}

class PulseWaveDeviceAudio : public ::testing::Test {
protected:
  void SetUp() override {
    Pulse = &SharedPulseServer();
    ASSERT_TRUE(Pulse->Error().empty()) << Pulse->Error();
  }
  // Plays Count blocks, each written GapMs after the end of the one before
  // as its completion reports it; Stall keeps the interface thread busy that
  // long before each write.
  void PlayChain(TPulseWaveDevice& Device, TWindow& Window, int Count, int GapMs, int StallMs) {
    ASSERT_EQ(Device.Open(TWaveFormat{}, Window), MMSYSERR_NOERROR);
    Hdr.Data = Block.data();
    Hdr.BufferLength = static_cast<uint32_t>(Block.size());
    auto Play = [&](int64_t AtUs) {
      const TEventTime Due(AtUs);
      Hdr.Flags = WHDR_DONE;
      ASSERT_EQ(Device.Prepare(Hdr), MMSYSERR_NOERROR);
      ASSERT_EQ(Device.Write(Hdr), MMSYSERR_NOERROR);
    };
    Window.OnDone = [&, Count, GapMs, StallMs] {
      EXPECT_EQ(Device.Unprepare(Hdr), MMSYSERR_NOERROR);
      if (Window.Done >= Count)
        return;
      if (StallMs > 0)
        KeepBusy(StallMs);
      Play(Window.DoneUs.back() + GapMs * 1000);
    };
    Play(TSteadyClock::RealNowUs() + 100000);
    SpinUntil([&] { return Window.Done >= Count; }, 30000);
    ASSERT_EQ(Window.Done, Count);
    EXPECT_EQ(Device.Close(), MMSYSERR_NOERROR);
  }
  // From the start of one tone to the next: the block, then the gap, within
  // half a millisecond: the device's line of the server's clock follows its
  // timing by parts of a sample, most while the stream has just started.
  void ExpectGaps(const std::vector<TTone>& Tones, size_t Count, int GapMs) {
    ASSERT_EQ(Tones.size(), Count);
    EXPECT_EQ(Tones[0].End - Tones[0].Start, 1101) << "the first tone was cut";
    const double Expected = static_cast<double>(Block.size()) + GapMs * 11.025;
    for (size_t I = 1; I < Tones.size(); ++I) {
      EXPECT_NEAR(static_cast<double>(Tones[I].Start - Tones[I - 1].Start), Expected, 5.5) << I;
      EXPECT_EQ(Tones[I].End - Tones[I].Start, 1101) << "a tone was cut or stretched";
    }
  }

  TPulseServer* Pulse = nullptr;
  std::vector<uint8_t> Block = Tone(1102, 1102);
  TWaveHdr Hdr;
};

} // namespace

// Blocks are heard where their events were due, to the sample; each end is
// reported when it is heard (by the server's timing, checked against the
// recording's spacing), not before, and a block's due time written ahead is
// kept.
TEST_F(PulseWaveDeviceAudio, BlocksAreHeardWhenDueAndEndsReportedWhenHeard) {
  TPulseWaveDevice Device;
  TWindow Window;
  ASSERT_TRUE(Pulse->StartRecording());
  const int Count = 8;
  const int GapMs = 120;
  PlayChain(Device, Window, Count, GapMs, 0);
  EXPECT_TRUE(SpinUntilHeard(*Pulse, Count, 200, 3000));
  const std::vector<TTone> Tones = FindTones(Pulse->StopRecording());
  ExpectGaps(Tones, Count, GapMs);
  const auto Placed = Device.Placed();
  ASSERT_GE(Placed.size(), static_cast<size_t>(Count));
  const auto First = Placed.end() - Count;
  const double BlockUs = static_cast<double>(Block.size()) * 1e6 / 11025;
  for (int I = 0; I < Count; ++I) {
    const auto& P = First[I];
    // Reported at the moment the last sample is heard, and handled then;
    // the device's line of the server's clock may have moved by a part of a
    // millisecond meanwhile.
    EXPECT_NEAR(static_cast<double>(P.DoneUs - P.HeardUs), BlockUs, 1000.0) << I;
    EXPECT_EQ(Window.DoneUs[static_cast<size_t>(I)], P.DoneUs) << I;
    EXPECT_GE(Window.HandledUs[static_cast<size_t>(I)], P.DoneUs - 1000) << "reported early " << I;
    // The spacing of the reported ends is the recording's, within 2 ms.
    const double Recorded = static_cast<double>(Tones[static_cast<size_t>(I)].Start - Tones[0].Start) * 1e6 / 11025;
    EXPECT_NEAR(static_cast<double>(P.DoneUs - First[0].DoneUs), Recorded, 2000.0) << I;
    if (I > 0) { // heard where its event (the previous end plus the gap) was due
      EXPECT_NEAR(static_cast<double>(P.HeardUs - (First[I - 1].DoneUs + GapMs * 1000)), 0.0, 200.0) << I;
    }
  }
  EXPECT_EQ(Device.Stats().LateBlocks, 0);
}

// With only a pause after each block its end comes ahead of being heard, so
// an interface thread held up for 200 ms before every write moves nothing.
TEST_F(PulseWaveDeviceAudio, EndsComeAheadSoThatAStalledWindowMovesNothing) {
  TPulseWaveDevice Device;
  TWindow Window;
  Window.Ahead = true;
  ASSERT_TRUE(Pulse->StartRecording());
  const int Count = 6;
  const int GapMs = 60;
  PlayChain(Device, Window, Count, GapMs, 200);
  EXPECT_TRUE(SpinUntilHeard(*Pulse, Count, 200, 3000));
  ExpectGaps(FindTones(Pulse->StopRecording()), Count, GapMs);
  for (size_t I = 0; I < Window.DoneUs.size(); ++I) {
    EXPECT_LT(Window.HandledUs[I], Window.DoneUs[I] - 50000) << "came ahead " << I;
    EXPECT_EQ(Window.SeenUs[I], Window.DoneUs[I]) << "the handler sees the moment it is heard " << I;
  }
  // A shortage of the server on a loaded machine loses silence only: every
  // block is handed over whole once placed, and the tones above are whole.
  EXPECT_EQ(Device.Stats().LateBlocks, 0);
}

// A block the learner starts is heard within 30 ms, also after the stream
// went quiet; an idle stream does no work.
TEST_F(PulseWaveDeviceAudio, ALearnersBlockSoundsAtOnceAndAnIdleStreamSleeps) {
  TPulseWaveDevice::TSettings Settings;
  Settings.IdleMs = 500;
  TPulseWaveDevice Device(TSteadyClock::Instance(), Settings);
  TWindow Window;
  ASSERT_EQ(Device.Open(TWaveFormat{}, Window), MMSYSERR_NOERROR);
  Hdr.Data = Block.data();
  Hdr.BufferLength = static_cast<uint32_t>(Block.size());
  for (int Round = 0; Round < 3; ++Round) {
    Hdr.Flags = WHDR_DONE;
    ASSERT_EQ(Device.Prepare(Hdr), MMSYSERR_NOERROR);
    ASSERT_EQ(Device.Write(Hdr), MMSYSERR_NOERROR);
    SpinUntil([&] { return Window.Done > Round; }, 5000);
    ASSERT_EQ(Window.Done, Round + 1);
    ASSERT_EQ(Device.Unprepare(Hdr), MMSYSERR_NOERROR);
    const auto P = Device.Placed().back();
    EXPECT_LE(P.HeardUs - P.WrittenUs, 30000) << Round;
    // Quiet: corked after IdleMs, and then, once the cork has been
    // answered, no wake-ups at all, where a running stream wakes for every
    // request and each timing refresh (100 ms).
    SpinFor(800);
    const auto Before = Device.Stats();
    SpinFor(600);
    const auto After = Device.Stats();
    EXPECT_EQ(After.Wakeups, Before.Wakeups) << Round;
    EXPECT_EQ(After.Corks, Round + 1);
  }
  EXPECT_EQ(Device.Close(), MMSYSERR_NOERROR);
}

// Reset stops a block at once, also what the server already holds of it,
// and no end is reported for it; a sound file of another format keeps its
// length.
TEST_F(PulseWaveDeviceAudio, ResetStopsABlockAtOnceAndFilesAreConverted) {
  TPulseWaveDevice Device;
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
  Hdr.Data = Data.data();
  Hdr.BufferLength = static_cast<uint32_t>(Data.size());
  Hdr.Flags = WHDR_DONE;
  ASSERT_EQ(Device.Prepare(Hdr), MMSYSERR_NOERROR);
  ASSERT_EQ(Device.Write(Hdr), MMSYSERR_NOERROR);
  SpinUntil([&] { return Window.Done == 1; }, 5000);
  ASSERT_EQ(Window.Done, 1);
  ASSERT_EQ(Device.Unprepare(Hdr), MMSYSERR_NOERROR);

  // Written whole to the server at once, reset 150 ms into it.
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
  // Longer than the reset block's rest (350 ms) would sound.
  SpinFor(500);
  EXPECT_EQ(Window.Done, 1);
  const std::vector<TTone> Tones = FindTones(Pulse->StopRecording());
  ASSERT_EQ(Tones.size(), 2u);
  EXPECT_NEAR(static_cast<double>(Tones[0].End - Tones[0].Start), 11025 / 2.0, 30.0);
  EXPECT_LT(Tones[1].End - Tones[1].Start, 11025 / 4) << "the reset block played on";
}

// The server goes away while a block plays, or hangs: the window is told
// that the output failed, and no end comes; an open while it is away or
// hangs fails without holding up the interface thread; once the server is
// back the next block plays whole without a new device.
TEST_F(PulseWaveDeviceAudio, PlaysAgainOnceTheServerIsBack) {
  const QByteArray SharedServer = qgetenv("PULSE_SERVER");
  const QByteArray SharedRuntime = qgetenv("PULSE_RUNTIME_PATH");
  {
    TPulseServer Own;
    ASSERT_TRUE(Own.Start()) << Own.Error();
    TPulseWaveDevice::TSettings Settings;
    Settings.ConnectTimeoutMs = 500;
    TPulseWaveDevice Device(TSteadyClock::Instance(), Settings);
    TWindow Window;
    ASSERT_EQ(Device.Open(TWaveFormat{}, Window), MMSYSERR_NOERROR);
    std::vector<uint8_t> Long = Tone(11025, 0);
    Hdr.Data = Long.data();
    Hdr.BufferLength = static_cast<uint32_t>(Long.size());
    Hdr.Flags = WHDR_DONE;
    ASSERT_EQ(Device.Prepare(Hdr), MMSYSERR_NOERROR);
    ASSERT_EQ(Device.Write(Hdr), MMSYSERR_NOERROR);
    SpinFor(200);
    Own.Stop();
    SpinUntil([&] { return Window.Failed == 1; }, 3000);
    EXPECT_EQ(Window.Failed, 1);
    EXPECT_EQ(Window.Done, 0);
    EXPECT_EQ(Device.Unprepare(Hdr), MMSYSERR_NOERROR);
    EXPECT_EQ(Device.Close(), MMSYSERR_NOERROR);
    int64_t OpenUs = TSteadyClock::RealNowUs();
    EXPECT_EQ(Device.Open(TWaveFormat{}, Window), MMSYSERR_NODRIVER);
    EXPECT_LT(TSteadyClock::RealNowUs() - OpenUs, 400000);
    EXPECT_FALSE(Device.ErrorText(MMSYSERR_NODRIVER).empty());

    // Hung, the stream running: a block waits with no sign of the server
    // playing for two seconds.
    ASSERT_TRUE(Own.Start()) << Own.Error();
    ASSERT_EQ(Device.Open(TWaveFormat{}, Window), MMSYSERR_NOERROR);
    Hdr.Data = Block.data();
    Hdr.BufferLength = static_cast<uint32_t>(Block.size());
    Hdr.Flags = WHDR_DONE;
    ASSERT_EQ(Device.Prepare(Hdr), MMSYSERR_NOERROR);
    ASSERT_EQ(Device.Write(Hdr), MMSYSERR_NOERROR);
    SpinUntil([&] { return Window.Done == 1; }, 3000);
    ASSERT_EQ(Window.Done, 1);
    EXPECT_EQ(Device.Unprepare(Hdr), MMSYSERR_NOERROR);
    Own.Freeze();
    const int64_t FrozenUs = TSteadyClock::RealNowUs();
    ASSERT_EQ(Device.Write(Hdr), WAVERR_UNPREPARED);
    ASSERT_EQ(Device.Prepare(Hdr), MMSYSERR_NOERROR);
    ASSERT_EQ(Device.Write(Hdr), MMSYSERR_NOERROR);
    SpinUntil([&] { return Device.Stats().Hangs == 1; }, 4000);
    EXPECT_EQ(Device.Stats().Hangs, 1);
    EXPECT_LT(TSteadyClock::RealNowUs() - FrozenUs, 2600000);
    SpinUntil([&] { return Window.Done + Window.Failed == 3; }, 1000);
    EXPECT_EQ(Window.Done + Window.Failed, 3) << "the block ends, or fails";
    EXPECT_EQ(Device.Unprepare(Hdr), MMSYSERR_NOERROR);
    EXPECT_EQ(Device.Close(), MMSYSERR_NOERROR);
    OpenUs = TSteadyClock::RealNowUs();
    EXPECT_EQ(Device.Open(TWaveFormat{}, Window), MMSYSERR_NODRIVER);
    EXPECT_LT(TSteadyClock::RealNowUs() - OpenUs, 400000) << "a hung server holds nothing up";
    Own.Thaw();
    Own.Stop();

    ASSERT_TRUE(Own.Start()) << Own.Error();
    ASSERT_TRUE(Own.StartRecording());
    // The hung server, thawed for a moment before it was stopped, may or may
    // not have answered a connection left waiting: counted from here.
    const int64_t ConnectsBefore = Device.Stats().Connects;
    ASSERT_EQ(Device.Open(TWaveFormat{}, Window), MMSYSERR_NOERROR);
    Hdr.Data = Block.data();
    Hdr.BufferLength = static_cast<uint32_t>(Block.size());
    Hdr.Flags = WHDR_DONE;
    ASSERT_EQ(Device.Prepare(Hdr), MMSYSERR_NOERROR);
    ASSERT_EQ(Device.Write(Hdr), MMSYSERR_NOERROR);
    const int Ended = Window.Done;
    SpinUntil([&] { return Window.Done == Ended + 1; }, 3000);
    EXPECT_EQ(Window.Done, Ended + 1);
    EXPECT_EQ(Device.Unprepare(Hdr), MMSYSERR_NOERROR);
    EXPECT_TRUE(SpinUntilHeard(Own, 1, 200, 3000));
    const std::vector<TTone> Tones = FindTones(Own.StopRecording());
    ASSERT_EQ(Tones.size(), 1u);
    EXPECT_EQ(Tones[0].End - Tones[0].Start, 1101);
    EXPECT_EQ(Device.Stats().Connects, ConnectsBefore + 1) << "one new connection to the server that is back";
  }
  qputenv("PULSE_SERVER", SharedServer);
  qputenv("PULSE_RUNTIME_PATH", SharedRuntime);
}

#endif // VELM_HAVE_PULSE

// The player over the engine and the device double: a code, a code with its
// sound file, a file alone, the keyboard off while the window's code plays,
// and the failures of the device.
#include "sound/Player.h"

#include "support/ManualClock.h"
#include "support/ManualHeardCalls.h"
#include "support/RecordingReporter.h"
#include "support/TestWaveDevice.h"
#include "support/WorkDir.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// A canonical 8-bit mono sound file of N samples.
std::string WaveFile(uint32_t N) {
  std::string H = "RIFF____WAVEfmt ";
  auto Put32 = [&H](uint32_t X) {
    for (int I = 0; I < 4; ++I)
      H += static_cast<char>((X >> (8 * I)) & 0xFF);
  };
  auto Put16 = [&H](uint16_t X) {
    H += static_cast<char>(X & 0xFF);
    H += static_cast<char>(X >> 8);
  };
  Put32(16);
  Put16(1);
  Put16(1);
  Put32(11025);
  Put32(11025);
  Put16(1);
  Put16(8);
  H += "data";
  Put32(N);
  const uint32_t Riff = 36 + N;
  for (int I = 0; I < 4; ++I)
    H[static_cast<size_t>(4 + I)] = static_cast<char>((Riff >> (8 * I)) & 0xFF);
  return H + std::string(N, '\x90');
}

struct THost final : TPlayerHost {
  bool Keyboard = true;
  bool Mnemonics = true;
  int Done = 0; // completions run
  int Failed = 0;
  void OutputFailed() override { ++Failed; }
  void SetKeyboardEnabled(bool On) override { Keyboard = On; }
  bool MnemonicsOn() const override { return Mnemonics; }
  // A block's completion that counts its runs.
  TBlockEnd Counted(bool PauseOnly = false) {
    return {[this] { ++Done; }, PauseOnly};
  }
};

class PlayerTest : public ::testing::Test {
protected:
  PlayerTest() {
    ResetSoundState();
    TMorse::BuildElements();
  }
  ~PlayerTest() override { ResetSoundState(); }
  TTestWaveDevice Device;
  TRecordingReporter Reporter;
  TMorse Morse{Device, Reporter};
  THost Host;
  TPlayer Player{Morse, Host};
  TWorkDir Dir;
};

TEST_F(PlayerTest, ACodeDisablesTheKeyboardUntilItHasBeenPlayed) {
  Player.PlayCode(".-", Host.Counted());
  EXPECT_TRUE(sound::Ausgabe.Playing);
  EXPECT_FALSE(Host.Keyboard);
  EXPECT_EQ(Device.Written.size(), static_cast<size_t>(sound::Puffer.SoundLen));
  ASSERT_TRUE(Device.Complete());
  EXPECT_FALSE(sound::Ausgabe.Playing);
  EXPECT_FALSE(sound::Ausgabe.DeviceOpen);
  EXPECT_FALSE(TMorse::HeaderHas(WHDR_PREPARED));
  EXPECT_TRUE(Host.Keyboard);
  EXPECT_EQ(Host.Done, 1);
  EXPECT_TRUE(Reporter.Messages.empty());
}

TEST_F(PlayerTest, ASecondCodeWhilePlayingIsDroppedAndGivesNoCompletion) {
  Player.PlayCode(".-", Host.Counted());
  const std::vector<uint8_t> First = Device.Written;
  const size_t Calls = Device.Calls.size();
  Player.PlayCode("----", Host.Counted());
  EXPECT_EQ(Device.Calls.size(), Calls) << "the device is not touched";
  EXPECT_EQ(Device.Written, First);
  EXPECT_FALSE(Host.Keyboard) << "the block playing enables it when it ends";
  EXPECT_TRUE(Device.Complete());
  EXPECT_FALSE(Device.Complete());
  EXPECT_EQ(Device.WaveDoneCount, 1);
  EXPECT_EQ(Host.Done, 1);
}

TEST_F(PlayerTest, APendingSoundFileFollowsTheCodeWhenMnemonicsAreOn) {
  Dir.Write("A.WAV", WaveFile(500));
  Player.PlayCodeThenWave(".-", "a.wav", Host.Counted());
  ASSERT_TRUE(Device.Complete());
  EXPECT_TRUE(sound::Ausgabe.Playing) << "the file plays now";
  EXPECT_FALSE(sound::Ausgabe.WavePending);
  EXPECT_EQ(Device.Written.size(), 500u);
  EXPECT_EQ(Host.Done, 0);
  EXPECT_FALSE(Host.Keyboard);
  ASSERT_TRUE(Device.Complete());
  EXPECT_EQ(Host.Done, 1);
  EXPECT_TRUE(Host.Keyboard);
  EXPECT_FALSE(sound::Ausgabe.DeviceOpen);
}

TEST_F(PlayerTest, AMissingSoundFileLeavesItPendingAndTheCompletionGoesOn) {
  Player.PlayCodeThenWave(".", "missing.wav", Host.Counted());
  ASSERT_TRUE(Device.Complete());
  EXPECT_TRUE(sound::Ausgabe.WavePending);
  EXPECT_FALSE(sound::Ausgabe.Playing);
  EXPECT_TRUE(Host.Keyboard);
  EXPECT_EQ(Host.Done, 1);
  EXPECT_TRUE(Reporter.Messages.empty());
}

TEST_F(PlayerTest, NoSoundFileWithMnemonicsOff) {
  Dir.Write("a.wav", WaveFile(500));
  Host.Mnemonics = false;
  Player.PlayCodeThenWave(".-", "a.wav", Host.Counted());
  ASSERT_TRUE(Device.Complete());
  EXPECT_TRUE(sound::Ausgabe.WavePending);
  EXPECT_FALSE(sound::Ausgabe.Playing);
  EXPECT_EQ(Host.Done, 1);
}

TEST_F(PlayerTest, ADeviceThatDoesNotOpenShowsItsTextAndLeavesTheKeyboardUsable) {
  Device.Fail(TWaveOp::Open, MMSYSERR_ALLOCATED);
  Device.SetErrorText(MMSYSERR_ALLOCATED, "The device is in use.");
  Player.PlayCode(".-", Host.Counted());
  EXPECT_EQ(Reporter.Messages, (std::vector<std::string>{"The device is in use."}));
  EXPECT_FALSE(sound::Ausgabe.Playing);
  EXPECT_TRUE(Host.Keyboard);
  EXPECT_FALSE(Device.Complete());
  EXPECT_EQ(Host.Done, 0) << "no completion: the pacing stops here";
}

TEST_F(PlayerTest, ASoundFileTheDeviceCannotPlayCompletesAtOnce) {
  Dir.Write("a.wav", WaveFile(300));
  Device.Fail(TWaveOp::Open, MMSYSERR_BADDEVICEID);
  Player.PlayWave("a.wav", Host.Counted());
  EXPECT_EQ(Reporter.Messages.size(), 1u);
  EXPECT_FALSE(sound::Ausgabe.Playing);
  EXPECT_EQ(Host.Done, 1);
  EXPECT_TRUE(Host.Keyboard);
}

// No audio server, or one that went away with a block queued: the host ends
// what runs and tells the learner, once, after the event that found it.
TEST_F(PlayerTest, AnOutputWithoutServerIsToldToTheHostOnce) {
  Device.Fail(TWaveOp::Open, MMSYSERR_NODRIVER);
  Player.PlayCode(".-", Host.Counted());
  Player.PlayCode("-.", Host.Counted());
  EXPECT_TRUE(Reporter.Messages.empty()) << "not the output's own text";
  EXPECT_EQ(Host.Failed, 0) << "not from inside the play";
  EXPECT_TRUE(Host.Keyboard);
  QCoreApplication::processEvents();
  EXPECT_EQ(Host.Failed, 1);

  Device.Fail(TWaveOp::Open, MMSYSERR_NOERROR);
  Player.PlayCodeThenWave(".-", "a.wav", Host.Counted());
  ASSERT_NE(Device.Queued, nullptr);
  Device.Window->WaveFailed();
  EXPECT_FALSE(sound::Ausgabe.Playing);
  EXPECT_FALSE(sound::Ausgabe.WavePending);
  EXPECT_FALSE(sound::Ausgabe.DeviceOpen);
  EXPECT_TRUE(Host.Keyboard);
  EXPECT_EQ(Host.Done, 0) << "no end of the block";
  QCoreApplication::processEvents();
  EXPECT_EQ(Host.Failed, 2);
}

TEST_F(PlayerTest, PlayWaveDoesNothingWithoutItsFileOrWhilePlaying) {
  Player.PlayWave("nothing.wav", Host.Counted());
  EXPECT_TRUE(Device.Calls.empty());
  EXPECT_EQ(Host.Done, 0);

  Dir.Write("a.wav", WaveFile(300));
  Player.PlayCode(".", Host.Counted());
  const size_t Calls = Device.Calls.size();
  Player.PlayWave("a.wav", Host.Counted());
  EXPECT_EQ(Device.Calls.size(), Calls);
}

// Only a pause follows the speed test's and the replay window's characters,
// and the window's when its starter says so: only then may a block's end be
// reported before it is heard. Asked afresh for every block.
TEST_F(PlayerTest, AnEndComesAheadOnlyWhenNoAnswerFollows) {
  Player.PlayCode(".-", Host.Counted());
  EXPECT_FALSE(Device.DoneAhead) << "the learner answers after it";
  ASSERT_TRUE(Device.Complete());

  Dir.Write("a.wav", WaveFile(300));
  Player.PlayCodeThenWave(".-", "a.wav", Host.Counted(true));
  EXPECT_TRUE(Device.DoneAhead);
  ASSERT_TRUE(Device.Complete());
  ASSERT_TRUE(sound::Ausgabe.Playing) << "the sound file follows";
  EXPECT_TRUE(Device.DoneAhead) << "and so may its end";
  ASSERT_TRUE(Device.Complete());

  ASSERT_TRUE(Player.PlayOwnCode("...", [this] { ++Host.Done; }));
  EXPECT_TRUE(Device.DoneAhead) << "the speed test's character";
  ASSERT_TRUE(Device.Complete());
  Player.PlayReplayCode("-", sound::Klang, [this] { ++Host.Done; });
  EXPECT_TRUE(Device.DoneAhead) << "the replay window's character";
  ASSERT_TRUE(Device.Complete());
  EXPECT_FALSE(sound::Ausgabe.MemPlaying);
  EXPECT_EQ(Host.Done, 4);
  Player.CloseDevice();

  Player.PlayCode(".", Host.Counted());
  EXPECT_FALSE(Device.DoneAhead);
}

// A block taken back by Stop, cut off by CloseDevice, or lost with the
// output never runs its completion, not even when an end comes after all;
// the next block runs only its own.
TEST_F(PlayerTest, AStoppedBlocksCompletionNeverRuns) {
  TManualClock Clock{1'000'000};
  TManualHeardCalls Calls{Clock};
  Device.Clock = &Clock;
  Player.SetHeardCalls(&Calls);
  {
    const TEventTime Due(Clock.NowUs() + 300'000); // placed ahead of being heard
    Player.PlayCode(".-", Host.Counted());
  }
  ASSERT_TRUE(Player.TakeBack());
  Player.WaveDone(); // an end that comes all the same
  EXPECT_EQ(Host.Done, 0);

  ASSERT_TRUE(Player.PlayOwnCode("...", [this] { ++Host.Done; }));
  Player.CloseDevice();
  Player.WaveDone();
  EXPECT_EQ(Host.Done, 0);

  Player.PlayReplayCode("-", sound::Klang, [this] { ++Host.Done; });
  ASSERT_NE(Device.Queued, nullptr);
  Device.Window->WaveFailed();
  Player.WaveDone();
  EXPECT_EQ(Host.Done, 0);

  int Own = 0;
  Player.PlayCode(".", {[&Own] { ++Own; }, false});
  ASSERT_TRUE(Device.Complete());
  EXPECT_EQ(Own, 1);
  EXPECT_EQ(Host.Done, 0);
  Player.SetHeardCalls(nullptr);
  QCoreApplication::processEvents(); // the lost output's report
}

} // namespace

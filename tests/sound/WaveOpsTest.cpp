#include "base/BareFile.h"
#include "sound/Morse.h"
#include "sound/SoundState.h"
#include "support/RecordingReporter.h"
#include "support/TestWaveDevice.h"
#include "support/WorkDir.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using TCalls = std::vector<std::string>;

// The engine's half of the main window: the play sequence and the
// completion handler as the window runs them.
class TPlayer final : public TWaveWindow {
public:
  explicit TPlayer(TMorse& Engine) : FMorse(Engine) {}

  void PlayCode(const std::string& Code) {
    if (sound::Ausgabe.Playing)
      return;
    sound::Ausgabe.DeviceOpen = FMorse.OpenOut(*this);
    if (!sound::Ausgabe.DeviceOpen)
      return;
    TMorse::RenderCode(Code);
    if (FMorse.PrepareOut())
      sound::Ausgabe.Playing = FMorse.WriteOut();
  }

  void WaveDone() override {
    ++Completions;
    sound::Ausgabe.Playing = false;
    sound::Ausgabe.DeviceOpen = FMorse.CloseOut();
  }

  int Completions = 0;

private:
  TMorse& FMorse;
};

class WaveOpsTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetSoundState();
    TMorse::BuildElements();
  }
  void TearDown() override { ResetSoundState(); }

  TTestWaveDevice Device;
  TRecordingReporter Reporter;
  TMorse Morse{Device, Reporter};
  TPlayer Player{Morse};
};

TEST_F(WaveOpsTest, PlayedCodeGoesThroughOpenPrepareWriteDoneClose) {
  Player.PlayCode(".-");
  EXPECT_EQ(Device.Calls, (TCalls{"Open", "Prepare", "Write"}));
  EXPECT_TRUE(sound::Ausgabe.Playing);
  EXPECT_TRUE(sound::Ausgabe.DeviceOpen);
  EXPECT_EQ(Device.LastFormat.FormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(Device.LastFormat.Channels, 1);
  EXPECT_EQ(Device.LastFormat.SamplesPerSec, 11025u);
  EXPECT_EQ(Device.LastFormat.AvgBytesPerSec, 11025u);
  EXPECT_EQ(Device.LastFormat.BlockAlign, 1);
  EXPECT_EQ(Device.LastFormat.BitsPerSample, 8);
  EXPECT_EQ(Device.LastFormat.ExtraSize, 0);
  EXPECT_EQ(sound::Ausgabe.WaveHdr.Data, sound::Puffer.SoundBuf.data());
  EXPECT_EQ(sound::Ausgabe.WaveHdr.BufferLength, 6612u);
  ASSERT_EQ(Device.Written.size(), 6612u);
  EXPECT_TRUE(std::equal(Device.Written.begin(), Device.Written.end(), sound::Puffer.SoundBuf.begin()));
  EXPECT_FALSE(TMorse::HeaderHas(WHDR_DONE));

  ASSERT_TRUE(Device.Complete());
  // The block was done, so the close only unprepares and closes.
  EXPECT_EQ(Device.Calls, (TCalls{"Open", "Prepare", "Write", "WaveDone", "Unprepare", "Close"}));
  EXPECT_FALSE(sound::Ausgabe.Playing);
  EXPECT_FALSE(sound::Ausgabe.DeviceOpen);
  EXPECT_FALSE(TMorse::HeaderHas(WHDR_PREPARED));
  EXPECT_EQ(Device.OpenCount, 0);
  EXPECT_TRUE(Reporter.Messages.empty());

  // The next block opens without closing first.
  Device.Calls.clear();
  Player.PlayCode(".");
  EXPECT_EQ(Device.Calls, (TCalls{"Open", "Prepare", "Write"}));
  EXPECT_EQ(Device.OpenCount, 1);
}

TEST_F(WaveOpsTest, CodeWhilePlayingIsDropped) {
  Player.PlayCode(".");
  Device.Calls.clear();
  Player.PlayCode("-");
  EXPECT_TRUE(Device.Calls.empty());
  EXPECT_EQ(Device.Written.size(), 2204u);
  ASSERT_TRUE(Device.Complete());
  EXPECT_EQ(Player.Completions, 1);
  EXPECT_FALSE(Device.Complete()); // no completion for the dropped code
}

TEST_F(WaveOpsTest, CloseWhilePlayingResetsUnpreparesAndCloses) {
  Player.PlayCode("-...-");
  Device.Calls.clear();
  sound::Ausgabe.DeviceOpen = Morse.CloseOut();
  EXPECT_EQ(Device.Calls, (TCalls{"Reset", "Unprepare", "Close"}));
  EXPECT_FALSE(sound::Ausgabe.DeviceOpen);
  EXPECT_FALSE(TMorse::HeaderHas(WHDR_PREPARED));
  EXPECT_EQ(Device.OpenCount, 0);
  EXPECT_FALSE(Device.Complete()); // a reset block reports no completion
  EXPECT_EQ(Player.Completions, 0);
}

TEST_F(WaveOpsTest, OpenWhileOpenClosesFirst) {
  Player.PlayCode(".");
  sound::Ausgabe.Playing = false; // as if the caller lost track of the block
  Device.Calls.clear();
  sound::Ausgabe.DeviceOpen = Morse.OpenOut(Player);
  EXPECT_EQ(Device.Calls, (TCalls{"Reset", "Unprepare", "Close", "Open"}));
  EXPECT_EQ(Device.OpenCount, 1);
}

TEST_F(WaveOpsTest, PreparedButUnwrittenHeaderCountsAsDone) {
  sound::Ausgabe.DeviceOpen = Morse.OpenOut(Player);
  TMorse::RenderCode(".");
  ASSERT_TRUE(Morse.PrepareOut());
  EXPECT_TRUE(TMorse::HeaderHas(WHDR_DONE | WHDR_PREPARED));
  EXPECT_TRUE(TMorse::HeaderHas(0));
  EXPECT_FALSE(TMorse::HeaderHas(WHDR_DONE | WHDR_INQUEUE));
  Device.Calls.clear();
  EXPECT_TRUE(Morse.ResetOut()); // nothing to stop
  EXPECT_TRUE(Device.Calls.empty());

  // Preparing again unprepares the old header first.
  ASSERT_TRUE(Morse.PrepareOut());
  EXPECT_EQ(Device.Calls, (TCalls{"Unprepare", "Prepare"}));
  EXPECT_EQ(sound::Ausgabe.WaveHdr.Flags, WHDR_DONE | WHDR_PREPARED);
  EXPECT_EQ(sound::Ausgabe.WaveHdr.Loops, 0u);
}

TEST_F(WaveOpsTest, UnprepareOfAnUnpreparedHeaderIsFalseWithoutACall) {
  EXPECT_FALSE(Morse.UnprepareOut());
  EXPECT_TRUE(Device.Calls.empty());
  EXPECT_TRUE(Reporter.Messages.empty());
  // Nothing prepared and the device closed: closing does nothing.
  EXPECT_FALSE(Morse.CloseOut());
  EXPECT_TRUE(Device.Calls.empty());
}

TEST_F(WaveOpsTest, FailingCallShowsTheDeviceTextOnceAndStops) {
  Device.Fail(TWaveOp::Write, MMSYSERR_NOMEM);
  Device.SetErrorText(MMSYSERR_NOMEM, "Not enough memory.");
  Player.PlayCode(".");
  EXPECT_EQ(Device.Calls, (TCalls{"Open", "Prepare", "Write", "ErrorText"}));
  EXPECT_EQ(sound::Ausgabe.WaveResult, MMSYSERR_NOMEM);
  EXPECT_EQ(Reporter.Messages, (TCalls{"Not enough memory."}));
  EXPECT_STREQ(sound::Ausgabe.ErrText.data(), "Not enough memory.");
  EXPECT_FALSE(sound::Ausgabe.Playing);
  EXPECT_FALSE(Device.Complete());
}

// A failed open: the device's text (at most 128 characters) is shown once
// and the device stays closed.
TEST_F(WaveOpsTest, FailedOpenShowsItsTextAndLeavesTheDeviceClosed) {
  Device.Fail(TWaveOp::Open, MMSYSERR_ALLOCATED);
  Player.PlayCode(".");
  EXPECT_EQ(Device.Calls, (TCalls{"Open", "ErrorText"}));
  EXPECT_FALSE(sound::Ausgabe.DeviceOpen);
  EXPECT_EQ(Reporter.Messages, (TCalls{"Wave error 4"}));

  Reporter.Messages.clear();
  const std::string Long(200, 'e');
  Device.SetErrorText(MMSYSERR_ERROR, Long);
  Device.Fail(TWaveOp::Open, MMSYSERR_ERROR);
  EXPECT_FALSE(Morse.OpenOut(Player));
  ASSERT_EQ(Reporter.Messages.size(), 1u);
  EXPECT_EQ(Reporter.Messages[0], Long.substr(0, 128));
}

TEST_F(WaveOpsTest, FailedCloseKeepsTheDeviceOpen) {
  Player.PlayCode(".");
  Device.Fail(TWaveOp::Close, MMSYSERR_ERROR);
  ASSERT_TRUE(Device.Complete());
  EXPECT_TRUE(sound::Ausgabe.DeviceOpen);
  EXPECT_FALSE(TMorse::HeaderHas(WHDR_PREPARED));
  EXPECT_EQ(Reporter.Messages.size(), 1u);
  // Once the device closes again, the next open does not open it twice.
  Device.Fail(TWaveOp::Close, MMSYSERR_NOERROR);
  Device.Calls.clear();
  Player.PlayCode(".");
  EXPECT_EQ(Device.Calls, (TCalls{"Close", "Open", "Prepare", "Write"}));
  EXPECT_EQ(Device.OpenCount, 1);
}

TEST_F(WaveOpsTest, DeviceLeftOpenByAFailedPrepareIsClosedBeforeTheNextOpen) {
  Device.Fail(TWaveOp::Prepare, MMSYSERR_NOMEM);
  Player.PlayCode(".");
  EXPECT_TRUE(sound::Ausgabe.DeviceOpen);
  EXPECT_FALSE(sound::Ausgabe.Playing);
  Device.Fail(TWaveOp::Prepare, MMSYSERR_NOERROR);
  Device.Calls.clear();
  Player.PlayCode(".");
  EXPECT_EQ(Device.Calls, (TCalls{"Close", "Open", "Prepare", "Write"}));
  EXPECT_EQ(Device.OpenCount, 1);
  EXPECT_TRUE(sound::Ausgabe.Playing);
}

TEST_F(WaveOpsTest, QueuedHeaderIsNotPreparedOver) {
  Player.PlayCode(".");
  TWaveHdr* const Queued = Device.Queued;
  Device.Calls.clear();
  EXPECT_FALSE(Morse.PrepareOut());
  EXPECT_EQ(Device.Calls, (TCalls{"Unprepare", "ErrorText"}));
  EXPECT_EQ(Device.Queued, Queued);
  EXPECT_TRUE(TMorse::HeaderHas(WHDR_PREPARED | WHDR_INQUEUE));
}

// ---------------------------------------------------------------------------
// Sound files

std::vector<uint8_t> WaveFile(uint32_t ClaimedSize, size_t ActualSize, uint32_t Rate = 11025) {
  std::vector<uint8_t> File;
  // Byte by byte: a range insert here makes GCC 12 at -O2 warn falsely
  // (-Wstringop-overflow).
  auto Tag = [&](const char* T) {
    for (int I = 0; I < 4; ++I)
      File.push_back(static_cast<uint8_t>(T[I]));
  };
  auto U16 = [&](uint32_t V) {
    File.push_back(static_cast<uint8_t>(V));
    File.push_back(static_cast<uint8_t>(V >> 8));
  };
  auto U32 = [&](uint32_t V) {
    U16(V & 0xFFFF);
    U16(V >> 16);
  };
  Tag("RIFF");
  U32(36 + ClaimedSize);
  Tag("WAVE");
  Tag("fmt ");
  U32(16);
  U16(1);
  U16(1);
  U32(Rate);
  U32(Rate);
  U16(1);
  U16(8);
  Tag("data");
  U32(ClaimedSize);
  for (size_t I = 0; I < ActualSize; ++I)
    File.push_back(static_cast<uint8_t>(I * 7 + 3));
  return File;
}

class LoadWaveTest : public WaveOpsTest {
protected:
  void SetUp() override {
    WaveOpsTest::SetUp();
    ASSERT_TRUE(Dir.isValid());
    FPrevious = std::filesystem::current_path();
    std::filesystem::current_path(Dir.path().toStdString());
  }
  void TearDown() override {
    std::filesystem::current_path(FPrevious);
    TWorkDir::RemoveAll(Dir.path().toStdString());
    WaveOpsTest::TearDown();
  }

  static void Put(const std::string& Name, const std::vector<uint8_t>& Bytes) {
    std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(Bytes.data()),
              static_cast<std::streamsize>(Bytes.size()));
  }

  // LoadWave refused the file and kept the last one it loaded.
  void ExpectRefusedKeepingGoodFile(const std::string& Name, const std::vector<uint8_t>& Bytes) {
    Put("good.wav", WaveFile(300, 300));
    ASSERT_TRUE(Morse.LoadWave("good.wav"));
    const auto Header = sound::Ausgabe.FileHeader;
    const auto Data = sound::Ausgabe.FileBuf;
    Put(Name, Bytes);
    EXPECT_FALSE(Morse.LoadWave(Name)) << Name;
    EXPECT_TRUE(sound::Ausgabe.FileHeader == Header) << Name;
    EXPECT_TRUE(sound::Ausgabe.FileBuf == Data) << Name;
    EXPECT_TRUE(Reporter.Messages.empty());
  }

  QTemporaryDir Dir;

private:
  std::filesystem::path FPrevious;
};

TEST_F(LoadWaveTest, GoodFileIsLoadedAndPlayedWithItsOwnFormat) {
  const std::vector<uint8_t> File = WaveFile(1000, 1000, 8000);
  Put("A.wav", File);
  ASSERT_TRUE(Morse.LoadWave("A.wav"));
  EXPECT_TRUE(std::equal(sound::Ausgabe.FileHeader.begin(), sound::Ausgabe.FileHeader.end(), File.begin()));
  EXPECT_TRUE(std::equal(File.begin() + 44, File.end(), sound::Ausgabe.FileBuf.begin()));
  EXPECT_EQ(TMorse::FileDataSize(), 1000u);

  sound::Ausgabe.DeviceOpen = Morse.OpenFileOut(Player);
  ASSERT_TRUE(sound::Ausgabe.DeviceOpen);
  EXPECT_EQ(Device.LastFormat.SamplesPerSec, 8000u);
  EXPECT_EQ(Device.LastFormat.AvgBytesPerSec, 8000u);
  EXPECT_EQ(Device.LastFormat.BitsPerSample, 8);
  ASSERT_TRUE(Morse.PrepareFileOut());
  EXPECT_EQ(sound::Ausgabe.WaveHdr.Data, sound::Ausgabe.FileBuf.data());
  EXPECT_EQ(sound::Ausgabe.WaveHdr.BufferLength, 1000u);
  sound::Ausgabe.Playing = Morse.WriteOut();
  ASSERT_TRUE(sound::Ausgabe.Playing);
  EXPECT_TRUE(std::equal(Device.Written.begin(), Device.Written.end(), File.begin() + 44));
  ASSERT_TRUE(Device.Complete());
  EXPECT_FALSE(sound::Ausgabe.DeviceOpen);
}

TEST_F(LoadWaveTest, DataChunkFillingTheBufferExactlyLoads) {
  Put("full.wav", WaveFile(100001, 100001));
  ASSERT_TRUE(Morse.LoadWave("full.wav"));
  EXPECT_EQ(TMorse::FileDataSize(), 100001u);
  EXPECT_EQ(sound::Ausgabe.FileBuf[100000], static_cast<uint8_t>(100000 * 7 + 3));
}

TEST_F(LoadWaveTest, TrailingChunksAfterTheDataAreIgnored) {
  std::vector<uint8_t> File = WaveFile(10, 10);
  const char Extra[] = "LIST\x04\0\0\0abcd";
  File.insert(File.end(), Extra, Extra + sizeof Extra - 1);
  Put("x.wav", File);
  ASSERT_TRUE(Morse.LoadWave("x.wav"));
  EXPECT_EQ(TMorse::FileDataSize(), 10u);
  EXPECT_EQ(sound::Ausgabe.FileBuf[10], 0);

  // The file is read only as far as the largest data chunk reaches; a full
  // chunk with a megabyte behind it still loads whole.
  File = WaveFile(100001, 100001);
  File.resize(File.size() + 1024 * 1024, 'L');
  Put("long.wav", File);
  ASSERT_TRUE(Morse.LoadWave("long.wav"));
  EXPECT_EQ(TMorse::FileDataSize(), 100001u);
  EXPECT_TRUE(std::equal(sound::Ausgabe.FileBuf.begin(), sound::Ausgabe.FileBuf.end(), File.begin() + 44));
}

TEST_F(LoadWaveTest, ABareFileIsReadUpToItsCap) {
  std::vector<uint8_t> Bytes(200000);
  for (size_t I = 0; I < Bytes.size(); ++I)
    Bytes[I] = static_cast<uint8_t>(I * 13 + I / 251);
  Put("Data.bin", Bytes);
  // Across several reads of the file, the cap inside one of them.
  for (const size_t Cap : {size_t{0}, size_t{10}, size_t{150001}, Bytes.size()}) {
    const std::optional<std::vector<uint8_t>> Head = ReadBareFile("DATA.BIN", Cap);
    ASSERT_TRUE(Head) << Cap;
    EXPECT_TRUE(*Head == std::vector<uint8_t>(Bytes.begin(), Bytes.begin() + static_cast<std::ptrdiff_t>(Cap)))
        << Cap;
  }
  EXPECT_TRUE(ReadBareFile("data.bin", 1 << 30) == Bytes);
  EXPECT_FALSE(ReadBareFile("nothere.bin", 10));
  std::filesystem::create_directory("dir.bin");
  EXPECT_FALSE(ReadBareFile("dir.bin", 10));
}

TEST_F(LoadWaveTest, MissingFileIsFalseWithoutMessage) {
  EXPECT_FALSE(Morse.LoadWave("nothere.wav"));
  EXPECT_FALSE(Morse.LoadWave(""));
  EXPECT_TRUE(Reporter.Messages.empty());
  EXPECT_TRUE(Device.Calls.empty());
}

TEST_F(LoadWaveTest, MalformedFilesAreRefused) {
  ExpectRefusedKeepingGoodFile("empty.wav", {});
  ExpectRefusedKeepingGoodFile("ten.wav", std::vector<uint8_t>(10, 'R'));
  std::vector<uint8_t> HeaderOnly = WaveFile(0, 0);
  HeaderOnly.pop_back();
  ExpectRefusedKeepingGoodFile("43.wav", HeaderOnly);
  ExpectRefusedKeepingGoodFile("short.wav", WaveFile(5000, 4999));
  ExpectRefusedKeepingGoodFile("huge.wav", WaveFile(100002, 100002));
  ExpectRefusedKeepingGoodFile("neg.wav", WaveFile(0xFFFFFFF0u, 10));

  const std::vector<uint8_t> Good = WaveFile(100, 100);
  for (const size_t TagAt : {0u, 8u, 12u, 36u}) {
    std::vector<uint8_t> Bad = Good;
    Bad[TagAt] = 'X';
    ExpectRefusedKeepingGoodFile("tag" + std::to_string(TagAt) + ".wav", Bad);
  }

  std::mt19937 Random(20240611);
  std::vector<uint8_t> Noise(5000);
  for (uint8_t& Byte : Noise)
    Byte = static_cast<uint8_t>(Random());
  ExpectRefusedKeepingGoodFile("noise.wav", Noise);
}

TEST_F(LoadWaveTest, NameMatchesIgnoringCaseAndPrefersTheExactName) {
  Put("ka.wav", WaveFile(3, 3));
  EXPECT_TRUE(Morse.LoadWave("KA.Wav"));
  EXPECT_EQ(FindBareFile("KA.Wav"), std::optional<std::string>("ka.wav"));

  Put("Ka.wav", WaveFile(4, 4));
  EXPECT_EQ(FindBareFile("ka.wav"), std::optional<std::string>("ka.wav"));
  EXPECT_EQ(FindBareFile("Ka.wav"), std::optional<std::string>("Ka.wav"));
  EXPECT_EQ(FindBareFile("KA.WAV"), std::optional<std::string>("Ka.wav")); // byte order
  ASSERT_TRUE(Morse.LoadWave("ka.wav"));
  EXPECT_EQ(TMorse::FileDataSize(), 3u);

  // Bytes above 127 are not folded; a path is not a bare name; a folder is
  // not a file.
  Put("\xC4.wav", WaveFile(1, 1));
  EXPECT_TRUE(FindBareFile("\xC4.wav"));
  EXPECT_FALSE(FindBareFile("\xE4.wav"));
  EXPECT_FALSE(FindBareFile("./ka.wav"));
  std::filesystem::create_directory("sub.wav");
  EXPECT_FALSE(FindBareFile("SUB.wav"));
}

TEST_F(LoadWaveTest, WriteProtectedFileInReadOnlyFolderStillLoads) {
  Put("ro.wav", WaveFile(50, 50));
  ASSERT_EQ(::chmod("ro.wav", 0444), 0);
  ASSERT_EQ(::chmod(".", 0555), 0);
  EXPECT_TRUE(Morse.LoadWave("RO.wav"));
  EXPECT_EQ(TMorse::FileDataSize(), 50u);
}

} // namespace

#include "storage/IntFile.h"
#include "sound/Morse.h"
#include "base/Reporter.h"
#include "sound/SoundState.h"
#include "storage/Texts.h"
#include "support/RecordingReporter.h"

#include "StorageTestDir.h"

#include <cmath>

namespace {

const char* const NotFound = "Int.mtr ist nicht gefunden!";
const char* const SaveQuestion = "Int.dat ist gewekselt. Speichern?";

TBytes Table() {
  return TBytes(sound::Klang.IntervallTab.begin(), sound::Klang.IntervallTab.end());
}

TBytes Counting(size_t Count) {
  TBytes Out(Count);
  for (size_t I = 0; I < Count; ++I)
    Out[I] = static_cast<uint8_t>(I + 1);
  return Out;
}

class IntFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetSoundState();
    ClearTexts();
  }
  void TearDown() override {
    ResetSoundState();
    ClearTexts();
  }

  TWorkDir Dir;
  TRecordingReporter Reporter;
};

TEST_F(IntFileTest, AMissingFileIsReportedOnceAndNothingIsCreated) {
  EXPECT_FALSE(ReadIntFile(Reporter));
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{NotFound});
  EXPECT_EQ(Table(), TBytes(60, 0));
  // A close without a calibration asks nothing and creates nothing.
  EXPECT_TRUE(SaveIntAtClose(Reporter));
  EXPECT_TRUE(Reporter.Questions.empty());
  EXPECT_FALSE(std::filesystem::exists("Int.mtr"));
}

TEST_F(IntFileTest, TheTableIsReadFromRecordZero) {
  WriteFile("int.MTR", Counting(60));
  EXPECT_TRUE(ReadIntFile(Reporter));
  EXPECT_TRUE(Reporter.Messages.empty());
  EXPECT_EQ(Table(), Counting(60));
}

TEST_F(IntFileTest, ShortEmptyAndUnreadableFilesLeaveTheTableAsItIs) {
  std::fill(sound::Klang.IntervallTab.begin(), sound::Klang.IntervallTab.end(), 9);
  for (const TBytes& Short : {TBytes{}, Counting(1), Counting(59)}) {
    Reporter.Messages.clear();
    WriteFile("Int.mtr", Short);
    EXPECT_FALSE(ReadIntFile(Reporter));
    EXPECT_EQ(Reporter.Messages, std::vector<std::string>{NotFound});
    EXPECT_EQ(Table(), TBytes(60, 9));
    EXPECT_EQ(ReadFile("Int.mtr"), Short);
  }
  std::filesystem::remove("Int.mtr");
  std::filesystem::create_directory("Int.mtr");
  Reporter.Messages.clear();
  EXPECT_FALSE(ReadIntFile(Reporter));
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{NotFound});
  EXPECT_EQ(Table(), TBytes(60, 9));
}

TEST_F(IntFileTest, OversizedAndRandomFilesGiveTheirFirstSixtyBytesAndKeepTheRest) {
  const TBytes Long = RandomBytes(70, 3);
  WriteFile("Int.mtr", Long);
  ASSERT_TRUE(ReadIntFile(Reporter));
  EXPECT_EQ(Table(), TBytes(Long.begin(), Long.begin() + 60));
  std::fill(sound::Klang.IntervallTab.begin(), sound::Klang.IntervallTab.end(), 0x55);
  ASSERT_TRUE(WriteIntFile());
  // The bytes after the table stay; built without a range insert, on which
  // GCC 12 at -O3 warns falsely (-Warray-bounds).
  TBytes Expected = Long;
  std::fill(Expected.begin(), Expected.begin() + 60, 0x55);
  EXPECT_EQ(ReadFile("Int.mtr"), Expected);

  const TBytes Big = RandomBytes(1 << 20, 4);
  WriteFile("Int.mtr", Big);
  ASSERT_TRUE(ReadIntFile(Reporter));
  EXPECT_EQ(Table(), TBytes(Big.begin(), Big.begin() + 60));
}

TEST_F(IntFileTest, WritingCreatesAMissingFileAndFillsAShortOne) {
  sound::Klang.IntervallTab = {};
  sound::Klang.IntervallTab[0] = 200;
  ASSERT_TRUE(WriteIntFile());
  TBytes Expected(60, 0);
  Expected[0] = 200;
  EXPECT_EQ(ReadFile("Int.mtr"), Expected);

  WriteFile("Int.mtr", Counting(10));
  ASSERT_TRUE(WriteIntFile());
  EXPECT_EQ(ReadFile("Int.mtr"), Expected);
}

TEST_F(IntFileTest, ADirectoryInTheFilesPlaceIsNotReplacedAndTheFailedSaveIsTold) {
  std::filesystem::create_directory("Int.mtr");
  EXPECT_FALSE(WriteIntFile());
  EXPECT_TRUE(Reporter.Messages.empty());
  sound::Klang.IntChanged = true;
  Reporter.Answers = {true};
  EXPECT_FALSE(SaveIntAtClose(Reporter));
  EXPECT_EQ(Reporter.Questions, std::vector<std::string>{SaveQuestion});
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{IntNotSavedText});
  EXPECT_TRUE(std::filesystem::is_directory("Int.mtr"));
}

TEST_F(IntFileTest, EachSpeedSelectsItsOwnEntry) {
  sound::Klang.IntervallTab = {};
  for (size_t I = 0; I < 25; ++I)
    sound::Klang.IntervallTab[I] = static_cast<uint8_t>(100 + I);
  LoadIntervall(30);
  EXPECT_EQ(sound::Klang.Intervall, 100); // offset 0
  LoadIntervall(60);
  EXPECT_EQ(sound::Klang.Intervall, 106);
  LoadIntervall(150);
  EXPECT_EQ(sound::Klang.Intervall, 124); // offset 24
}

TEST_F(IntFileTest, AChangedEntryIsWrittenAtCloseOnlyOnYes) {
  WriteFile("Int.mtr", Counting(60));
  ASSERT_TRUE(ReadIntFile(Reporter));
  SetIntervallAt(IntervallSlot(60), 0xF7); // as a calibration at 60 leaves it
  sound::Klang.IntChanged = true;
  TBytes Expected = Counting(60);
  Expected[6] = 0xF7;

  Reporter.Answers = {false};
  EXPECT_TRUE(SaveIntAtClose(Reporter));
  EXPECT_EQ(Reporter.Questions, std::vector<std::string>{SaveQuestion});
  EXPECT_EQ(ReadFile("Int.mtr"), Counting(60));

  Reporter.Answers = {true};
  EXPECT_TRUE(SaveIntAtClose(Reporter));
  EXPECT_EQ(ReadFile("Int.mtr"), Expected);
}

// A test that stored what the file already holds changed nothing: the
// close does not ask. The question and the message are the interface
// file's where it has them.
TEST_F(IntFileTest, TheCloseAsksOnlyWhenTheTableDiffersFromTheFileInTheInterfaceLanguage) {
  WriteFile("Int.mtr", Counting(60));
  ASSERT_TRUE(ReadIntFile(Reporter));
  // What a speed test stores at 60 cpm: entry 7 holds 7 already.
  SetIntervallAt(IntervallSlot(60), 7);
  sound::Klang.IntChanged = true;
  EXPECT_TRUE(SaveIntAtClose(Reporter));
  EXPECT_TRUE(Reporter.Questions.empty());

  storage::Texte.IntervallText[3] = "Save the pauses?";
  storage::Texte.IntervallText[4] = "No Int.mtr";
  SetIntervallAt(IntervallSlot(60), 8);
  sound::Klang.IntChanged = true;
  Reporter.Answers = {false};
  EXPECT_TRUE(SaveIntAtClose(Reporter));
  EXPECT_EQ(Reporter.Questions, std::vector<std::string>{"Save the pauses?"});
  std::filesystem::remove("Int.mtr");
  EXPECT_FALSE(ReadIntFile(Reporter));
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{"No Int.mtr"});
  EXPECT_EQ(WithNumbers("%1 cpm, %2 ms, %1", 60, 100), "60 cpm, 100 ms, 60");
}

// The shipped table holds one dot length per speed, so that with spacing 1.0
// the pause after a character, with the dot of silence that ends every
// rendered code, is three dots.
TEST_F(IntFileTest, TheShippedTableMakesTheGapBetweenCharactersThreeDots) {
  const TBytes Shipped = ReadFile((DataDir() / "Int.mtr").string());
  ASSERT_EQ(Shipped.size(), 60u);
  EXPECT_EQ(TBytes(Shipped.begin() + 25, Shipped.end()), TBytes(35, 0));
  std::copy(Shipped.begin(), Shipped.end(), sound::Klang.IntervallTab.begin());
  sound::Klang.Abstand = 10;
  for (int32_t S = 30; S <= 150; S += 5) {
    sound::Klang.Speed = S;
    TMorse::BuildElements();
    SelectIntervall();
    EXPECT_EQ(sound::Klang.Intervall, std::lround(6000.0 / S)) << S;
    const double DotMs = sound::Klang.DotLen * 1000.0 / SamplesPerSec;
    const double GapMs = DotMs + CharGapMs();
    EXPECT_NEAR(GapMs, 3 * DotMs, 1.5) << S;
  }
}

} // namespace

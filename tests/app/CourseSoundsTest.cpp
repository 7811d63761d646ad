// The spoken characters shipped in data/: every character of every course
// has its file, named as the course asks for it, in the format the player
// loads.

#include "course/CourseState.h"
#include "course/LessonData.h"
#include "base/BareFile.h"
#include "sound/SoundState.h"
#include "storage/Layouts.h"
#include "windows/SoundFile.h"

#include "support/RecordingReporter.h"
#include "support/WorkDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>

namespace {

uint32_t Le32(const std::string& B, size_t At) {
  uint32_t V = 0;
  for (size_t I = 0; I < 4; ++I)
    V |= static_cast<uint32_t>(static_cast<uint8_t>(B[At + I])) << (8 * I);
  return V;
}

uint16_t Le16(const std::string& B, size_t At) {
  return static_cast<uint16_t>(static_cast<uint8_t>(B[At]) | static_cast<uint8_t>(B[At + 1]) << 8);
}

class CourseSounds : public ::testing::Test {
protected:
  CourseSounds() {
    ResetSoundState();
    ResetCourseState();
    SetShippedDataDir(std::filesystem::path(VELM_SOURCE_DIR) / "data");
  }
  ~CourseSounds() override {
    SetShippedDataDir({});
    course::Tastatur.InputLayoutNr = 0;
    ResetSoundState();
    ResetCourseState();
  }
  TWorkDir Dir; // empty: every file comes from the shipped data
  TRecordingReporter Reporter;
};

TEST_F(CourseSounds, EveryCharacterOfEveryCourseHasItsOwnCanonicalSoundFile) {
  std::set<std::string> Used;
  for (const TLayout& L : LayoutTable()) {
    SCOPED_TRACE(L.AlphabetFile);
    course::Tastatur.InputLayoutNr = L.SprachNr;
    course::Kurs.AlphabetFile = L.AlphabetFile;
    ASSERT_TRUE(LoadCodeTable(Reporter));
    for (const char C : sound::Codetafel.Letters) {
      // The captions of the large keys and of the correction: KA and SK
      // read "ka" and "sk".
      const std::string Caption = C == '@' ? "ka" : C == '\xA7' ? "sk" : std::string(1, C);
      const std::string Name = CourseSoundFile(SoundFileName(Caption + ".wav", L.Charset));
      const std::optional<std::string> Found = FindBareFile(Name);
      ASSERT_TRUE(Found.has_value()) << Name;
      EXPECT_TRUE(Used.insert(*Found).second) << "shared by two courses: " << Name;
      const std::optional<std::string> Bytes = ReadFileBytes(*Found);
      ASSERT_TRUE(Bytes && Bytes->size() > 44) << Name;
      const std::string& B = *Bytes;
      EXPECT_EQ(B.substr(0, 4), "RIFF") << Name;
      EXPECT_EQ(Le32(B, 4), B.size() - 8) << Name;
      EXPECT_EQ(B.substr(8, 8), "WAVEfmt ") << Name;
      EXPECT_EQ(Le32(B, 16), 16u) << Name; // a plain PCM format chunk
      EXPECT_EQ(Le16(B, 20), 1u) << Name;  // PCM
      EXPECT_EQ(Le16(B, 22), 1u) << Name;  // mono
      EXPECT_EQ(Le32(B, 24), 11025u) << Name;
      EXPECT_EQ(Le16(B, 34), 8u) << Name; // bits
      EXPECT_EQ(B.substr(36, 4), "data") << Name;
      // The data, and the pad byte that keeps an odd-sized chunk even.
      const uint32_t Data = Le32(B, 40);
      EXPECT_EQ(Data + (Data & 1u), B.size() - 44) << Name;
      EXPECT_LE(B.size() - 44, 100001u) << Name; // what the player takes
    }
  }
}

} // namespace

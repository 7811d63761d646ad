// The spoken character sounds shipped in data/: one for every caption of
// every layout's taught keys, each loadable by the engine under the name the
// session asks for in that course.
#include "windows/SoundFile.h"
#include "course/CourseState.h"
#include "sound/Morse.h"
#include "storage/Layouts.h"
#include "support/RecordingReporter.h"
#include "support/TestWaveDevice.h"
#include "windows/Caption.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

TEST(SoundFileName, ConvertsTheCodePageAndEscapesSlashAndPercent) {
  EXPECT_EQ(SoundFileName("KA.Wav", ANSI_CHARSET), "KA.Wav");
  EXPECT_EQ(SoundFileName("/.wav", ANSI_CHARSET), "%2F.wav");
  EXPECT_EQ(SoundFileName("%.wav", ANSI_CHARSET), "%25.wav");
  EXPECT_EQ(SoundFileName("\xFC.wav", ANSI_CHARSET), "\xC3\xBC.wav");    // ü
  EXPECT_EQ(SoundFileName("\xE0.wav", RUSSIAN_CHARSET), "\xD0\xB0.wav"); // а
  EXPECT_EQ(SoundFileName("\xFD.wav", TURKISH_CHARSET), "\xC4\xB1.wav"); // ı
  EXPECT_EQ(SoundFileName("", ANSI_CHARSET), "");
}

class ShippedSounds : public ::testing::Test {
protected:
  void SetUp() override {
    FOld = std::filesystem::current_path();
    // From the build, not from __FILE__, which packaging flags
    // (-ffile-prefix-map) make relative.
    std::filesystem::current_path(std::filesystem::path(VELM_SOURCE_DIR) / "data");
  }
  void TearDown() override {
    course::Tastatur.InputLayoutNr = 0;
    std::filesystem::current_path(FOld);
  }

private:
  std::filesystem::path FOld;
};

TEST_F(ShippedSounds, EveryCaptionOfEveryLayoutHasALoadableFile) {
  TTestWaveDevice Device;
  TRecordingReporter Reporter;
  TMorse Morse(Device, Reporter);
  int Checked = 0;
  for (const TLayout& L : LayoutTable()) {
    // The letters the alphabet file teaches; the other keys (q, w and x of
    // the Turkish keyboard) are never sounded.
    std::string Letters;
    std::ifstream Alphabet(L.AlphabetFile, std::ios::binary);
    for (std::string Line; std::getline(Alphabet, Line);)
      if (!Line.empty())
        Letters += Line[0];
    std::vector<std::string> Captions;
    for (const char* Row : L.Rows)
      for (const char* C = Row; *C != '\0'; ++C)
        if (Letters.find(*C) != std::string::npos || (*C >= '0' && *C <= '9'))
          Captions.emplace_back(1, *C);
    for (const char C : std::string(".,?/+="))
      Captions.emplace_back(1, C);
    for (const char* S : {"KA", "SK", "ka", "sk"})
      Captions.emplace_back(S);
    for (const std::string& Caption : Captions)
      for (const char* Ext : {".wav", ".Wav"}) {
        course::Tastatur.InputLayoutNr = L.SprachNr;
        const std::string Name = CourseSoundFile(SoundFileName(Caption + Ext, L.Charset));
        EXPECT_TRUE(Morse.LoadWave(Name)) << L.SprachNr << " " << Name;
        EXPECT_EQ(sound::Ausgabe.FileHeader[22], 1) << Name; // mono
        EXPECT_EQ(sound::Ausgabe.FileHeader[34], 8) << Name; // 8 bits
        EXPECT_EQ(sound::Ausgabe.FileHeader[24] | sound::Ausgabe.FileHeader[25] << 8, 11025) << Name;
        ++Checked;
      }
  }
  EXPECT_GT(Checked, 300);
  EXPECT_TRUE(Reporter.Messages.empty());
}

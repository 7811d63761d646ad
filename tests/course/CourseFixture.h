#pragma once

#include "course/Course.h"
#include "course/CourseState.h"
#include "base/BareFile.h"
#include "sound/SoundState.h"
#include "support/RecordingReporter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The International codes of the Latin letters, written down here once more
// so that the tests do not take them from the program.
inline const std::map<char, std::string>& LatinCodes() {
  static const std::map<char, std::string> Table = {
      {'a', ".-"},   {'b', "-..."}, {'c', "-.-."}, {'d', "-.."},  {'e', "."},    {'f', "..-."},
      {'g', "--."},  {'h', "...."}, {'i', ".."},   {'j', ".---"}, {'k', "-.-"},  {'l', ".-.."},
      {'m', "--"},   {'n', "-."},   {'o', "---"},  {'p', ".--."}, {'q', "--.-"}, {'r', ".-."},
      {'s', "..."},  {'t', "-"},    {'u', "..-"},  {'v', "...-"}, {'w', ".--"},  {'x', "-..-"},
      {'y', "-.--"}, {'z', "--.."}};
  return Table;
}

// The start-up sequence's share of the course: the stored position, then
// the lesson and the sets the progress opens.
inline void StartCourseAt(TCourse& Course, uint8_t Lekt, uint8_t Ueb, uint8_t MaxLekt,
                          uint8_t MaxUeb) {
  course::Kurs.LektNr = Lekt;
  course::Kurs.UebNr = Ueb;
  course::Kurs.MaxLektNr = MaxLekt;
  course::Kurs.MaxUebNr = MaxUeb;
  Course.LektADDownClick(nullptr);
  Course.EnableSetButtons();
}

inline constexpr char DefaultOrder[] = "tmoeishagfpdlwbzqjyunxkrvc";
inline const std::string DigitsAndSigns = std::string("1234567890") + ".,?/+=@\xA7";

inline void WriteFile(const std::string& Name, const std::string& Bytes) {
  std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
  Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

inline std::string ReadFile(const std::string& Name) {
  return ReadFileBytes(Name).value_or(std::string());
}

// An alphabet file of the Latin letters of Order, in order, CR LF lines.
inline std::string LatinAlphabet(const std::string& Order = "abcdefghijklmnopqrstuvwxyz") {
  std::string File;
  for (const char C : Order)
    File += std::string(1, C) + LatinCodes().at(C) + "\r\n";
  return File;
}

// Each test runs in a fresh, empty working directory with the program's
// state as at start.
class TTempDirTest : public ::testing::Test {
protected:
  void SetUp() override {
    FOld = std::filesystem::current_path();
    char Template[] = "/tmp/velm-course-XXXXXX";
    const char* Made = mkdtemp(Template);
    ASSERT_NE(Made, nullptr);
    FDir = Made;
    std::filesystem::current_path(FDir);
    ResetSoundState();
    ResetCourseState();
  }
  void TearDown() override {
    std::filesystem::current_path(FOld);
    std::error_code Ignored;
    std::filesystem::remove_all(FDir, Ignored);
  }

private:
  std::filesystem::path FOld;
  std::filesystem::path FDir;
};

// A course without a window: its display records what it was told to show.
class TCourseTest : public TTempDirTest {
protected:
  class TShown final : public TCourseDisplay {
  public:
    void ShowLektNr() override { Log.push_back("LektNr " + std::to_string(course::Kurs.LektNr)); }
    void ShowUebNr() override { Log.push_back("UebNr " + std::to_string(course::Kurs.UebNr)); }
    void ShowGruppenZahl() override { Log.push_back("Gruppen"); }
    void EnableSatz(int32_t Satz) override { Log.push_back("enable " + std::to_string(Satz)); }
    void CheckSatz(int32_t Satz) override { Log.push_back("check " + std::to_string(Satz)); }
    void EnableLessonKeys() override { Log.push_back("keys"); }
    void BindKeys() override { Log.push_back("bind"); }
    void ShowNewChars() override { Log.push_back("new"); }
    void ShowNormal() override { Log.push_back("normal"); }
    void DisableWeiter() override { Log.push_back("weiter off"); }
    void ShowCongratulation() override { Log.push_back("congratulation"); }
    std::vector<std::string> Log;
  };

  void SetUp() override {
    TTempDirTest::SetUp();
    Course = std::make_unique<TCourse>(Shown, Reporter);
  }

  TShown Shown;
  TRecordingReporter Reporter;
  std::unique_ptr<TCourse> Course;
};

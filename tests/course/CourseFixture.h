#pragma once

#include "sound/BareFile.h"

#include "course/Course.h"
#include "course/CourseState.h"
#include "sound/SoundState.h"
#include "support/RecordingReporter.h"
#include "windows/Caption.h"
#include "windows/MainView.h"
#include "windows/Texts.h"

#include <QMainWindow>
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
    ClearTexts();
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

// The main window offscreen, with its keys and a wired course.
class TCourseTest : public TTempDirTest {
protected:
  void SetUp() override {
    TTempDirTest::SetUp();
    BuildMainView(View, Form);
    CreateKeys(View);
    TCourseHooks Hooks;
    Hooks.ShowCongratulation = [this] { ++Congratulations; };
    Hooks.SoundKey = [this](TMButton& Key) { Sounded.push_back(Key.MChar()); };
    Course = std::make_unique<TCourse>(View, Reporter, Hooks);
    WireCourse(*Course);
  }
  void TearDown() override {
    Course.reset();
    TTempDirTest::TearDown();
  }

  // What the layout switch does for the English layout, with the letters of
  // Order taught in that order from a 26-letter alphabet.
  void LoadEnglish(const std::string& Order = DefaultOrder) {
    WriteFile("LD.dat", Order + "\r\n");
    WriteFile("Eng.txt", LatinAlphabet());
    Tastatur.TastReihen = {"", "1234567890", "qwertyuiop", "asdfghjkl", "zxcvbnm"};
    Tastatur.TastLinks = 24;
    Kurs.AlphabetFile = "Eng.txt";
    SetCharset(View.KeyPanel, ANSI_CHARSET);
    Course->LoadLessonData(1);
    Course->BuildKeyboard();
    Course->BindKeys();
  }

  // The start-up sequence's share: the stored position, then the lesson.
  void StartAt(uint8_t Lekt, uint8_t Ueb, uint8_t MaxLekt, uint8_t MaxUeb) {
    Kurs.LektNr = Lekt;
    Kurs.UebNr = Ueb;
    Kurs.MaxLektNr = MaxLekt;
    Kurs.MaxUebNr = MaxUeb;
    Course->LektADDownClick(nullptr);
    Course->EnableSetButtons();
  }

  // A key of the keyboard by its character.
  TMButton* KeyOf(char C) {
    for (TMButton* Key : View.Tasten)
      if (Key->MChar() == std::string(1, C))
        return Key;
    return nullptr;
  }

  QMainWindow Form;
  TMainView View;
  TRecordingReporter Reporter;
  std::unique_ptr<TCourse> Course;
  int Congratulations = 0;
  std::vector<std::string> Sounded;
};

#pragma once

#include "course/CourseFixture.h"

#include "course/Course.h"
#include "windows/CourseView.h"
#include "course/CourseState.h"
#include "sound/SoundState.h"
#include "support/RecordingReporter.h"
#include "windows/Caption.h"
#include "windows/MainView.h"
#include "storage/Texts.h"

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

// The main window offscreen, with its keys and a wired course.
class TCourseViewTest : public TTempDirTest {
protected:
  class TSounded final : public TKeySound {
  public:
    explicit TSounded(std::vector<std::string>& Log) : FLog(Log) {}
    void SoundKey(TMButton& Key) override { FLog.push_back(Key.MChar()); }

  private:
    std::vector<std::string>& FLog;
  };

  void SetUp() override {
    TTempDirTest::SetUp();
    ClearTexts();
    BuildMainView(View, Form);
    CreateKeys(View);
    CourseView = std::make_unique<TCourseView>(View);
    CourseView->SetCongratulation([this] { ++Congratulations; });
    CourseView->SetKeySound(&KeySound);
    Course = std::make_unique<TCourse>(*CourseView, Reporter);
    CourseView->Connect(*Course);
  }
  void TearDown() override {
    CourseView.reset();
    Course.reset();
    TTempDirTest::TearDown();
  }

  // What the layout switch does for the English layout, with the letters of
  // Order taught in that order from a 26-letter alphabet.
  void LoadEnglish(const std::string& Order = DefaultOrder) {
    WriteFile("LD.dat", Order + "\r\n");
    WriteFile("Eng.txt", LatinAlphabet());
    course::Tastatur.TastReihen = {"", "1234567890", "qwertyuiop", "asdfghjkl", "zxcvbnm"};
    course::Tastatur.TastLinks = 24;
    course::Kurs.AlphabetFile = "Eng.txt";
    SetCharset(View.KeyPanel, ANSI_CHARSET);
    Course->LoadLessonData(1);
    CourseView->BuildKeyboard();
    Course->BindKeys();
  }

  // The start-up sequence's share: the stored position, then the lesson.
  void StartAt(uint8_t Lekt, uint8_t Ueb, uint8_t MaxLekt, uint8_t MaxUeb) {
    StartCourseAt(*Course, Lekt, Ueb, MaxLekt, MaxUeb);
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
  int Congratulations = 0;
  std::vector<std::string> Sounded;
  TSounded KeySound{Sounded};
  std::unique_ptr<TCourseView> CourseView;
  std::unique_ptr<TCourse> Course;
};

#include "app/StorageView.h"
#include "course/CourseState.h"
#include "sound/SoundState.h"
#include "storage/Kund.h"
#include "app/LayoutSwitch.h"
#include "storage/Layouts.h"
#include "storage/SomeLayouts.h"
#include "storage/StorageState.h"
#include "support/RecordingReporter.h"
#include "windows/Caption.h"
#include "windows/MainView.h"
#include "storage/Texts.h"
#include "windows/TextsView.h"

#include "support/WorkDir.h"

#include <QAction>
#include <QMainWindow>
#include <QSlider>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

namespace {

void WriteFile(const std::string& Name, const std::string& Bytes) {
  std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
  Out << Bytes;
}

class LayoutSwitchTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetStorageState();
    ResetCourseState();
    ClearTexts();
    BuildMainView(View, Form);
    // As the main window wires them.
    Links.Texts.ShowTexts = [this] { ApplyTexts(View, {}); };
    Links.ShowCharset = [this](uint8_t Set) { SetCharset(View.KeyPanel, Set); };
    Links.Texts.Reporter = &Reporter;
    Links.Texts.CloseMainWindow = [this] { Effects.push_back("close"); };
    Links.Layouts = &Layouts;
    Links.Course.TakeLayout = [this](const TLayout& L) {
      Effects.push_back("layout " + std::to_string(L.SprachNr) + " " + L.AlphabetFile + " " +
                        std::to_string(L.TastLinks));
    };
    Links.Course.LoadLessonData = [this](int32_t Nr) {
      // The texts are in place before the lesson data is loaded.
      Effects.push_back("lesson data " + std::to_string(Nr) + " after texts " +
                        storage::Texte.ButtonsText[1]);
    };
    Links.Course.RebuildCourse = [this] { Effects.push_back("course"); };
    Links.Course.BuildKeyboard = [this] { Effects.push_back("keyboard"); };
    Links.Course.BindKeys = [this] { Effects.push_back("keys"); };
    WriteFile("Leng.dat", Lines({"e.lng", "g.lng", "r.lng", "t.lng"}));
    for (const char* Name : {"e", "g", "r", "t"})
      WriteFile(std::string(Name) + ".lng",
                Lines({"<Buttons>", std::string("Start-") + Name, "Stop", "Next"}));
  }
  void TearDown() override {
    ResetStorageState();
    ResetCourseState();
    ClearTexts();
  }

  QAction* ItemInForce() const {
    for (QAction* A : {View.English, View.German, View.Russish, View.Turkish})
      if (A->isChecked())
        return A;
    return nullptr;
  }

  TWorkDir Dir;
  QMainWindow Form;
  TMainView View;
  TRecordingReporter Reporter;
  TSomeLayouts Layouts;
  TLayoutLinks Links;
  std::vector<std::string> Effects;
};

TEST_F(LayoutSwitchTest, ASwitchLoadsTextsThenLessonDataThenKeyboardThenKeys) {
  storage::Kund.SprachNr = 1;
  EXPECT_EQ(LayoutItemClick(Links, View, View.Russish), TLayoutSwitch::Switched);
  EXPECT_EQ(Layouts.Loaded, std::vector<std::string>{"00000419"});
  EXPECT_EQ(Effects,
            (std::vector<std::string>{"layout 3 Rus.txt 9", "lesson data 3 after texts Start-r",
                                      "course", "keyboard", "keys"}));
  EXPECT_EQ(storage::Kund.SprachNr, 3);
  EXPECT_EQ(course::Tastatur.InputLayoutNr, 3);
  EXPECT_EQ(CharsetOf(View.KeyPanel), RUSSIAN_CHARSET);
  EXPECT_EQ(CharsetOf(View.StartBtn), RUSSIAN_CHARSET);
  EXPECT_EQ(ItemInForce(), View.Russish);
  EXPECT_TRUE(Reporter.Messages.empty());

  Effects.clear();
  EXPECT_EQ(LayoutItemClick(Links, View, View.English), TLayoutSwitch::Switched);
  EXPECT_EQ(Effects.front(), "layout 1 Eng.txt 24");
  EXPECT_EQ(CharsetOf(View.KeyPanel), ANSI_CHARSET);
  EXPECT_EQ(CaptionOf(View.StartBtn), "Start-e");
  EXPECT_EQ(ItemInForce(), View.English);
}

TEST_F(LayoutSwitchTest, TheOwnCaptionsComeFromTheFileAndAreEnglishWhereItHasNone) {
  ASSERT_EQ(LayoutItemClick(Links, View, View.English), TLayoutSwitch::Switched);
  auto Captions = [this] {
    return std::vector<std::string>{CaptionOf(View.Label2),  CaptionOf(View.NormalRB),
                                    CaptionOf(View.OnlyRB),  CaptionOf(View.TimeCB),
                                    CaptionOf(View.TestBtn), CaptionOf(View.RepBtn)};
  };
  EXPECT_EQ(Captions(),
            (std::vector<std::string>{"Text", "Normal", "Only", "Timer", "Test", "Repeat"}));
  EXPECT_EQ(CaptionText(CaptionTestStop), "Stop");
  EXPECT_EQ(StatusLineText(StatusIntroNo).substr(0, 9), "This run ");
  // "Только" in code page 1251, shown in Cyrillic.
  WriteFile("r.lng",
            Lines({"<Buttons>", "Start-r", "Stop", "Next", "<Captions>", "T", "N",
                   "\xD2\xEE\xEB\xFC\xEA\xEE", "Ti", "Te", "S", "R", "W", "<Status>", "P"}));
  ASSERT_EQ(LayoutItemClick(Links, View, View.Russish), TLayoutSwitch::Switched);
  EXPECT_EQ(Captions(),
            (std::vector<std::string>{"T", "N", "\xD2\xEE\xEB\xFC\xEA\xEE", "Ti", "Te", "R"}));
  EXPECT_EQ(View.OnlyRB->text(), QString::fromUtf16(u"\u0422\u043E\u043B\u044C\u043A\u043E"));
  EXPECT_EQ(CaptionOf(View.TestBtn), CaptionText(CaptionTestBtn));
  EXPECT_EQ(CaptionText(CaptionTestStop), "S");
  EXPECT_EQ(StatusLineText(StatusPassed), "P");
  // A line the section lacks keeps the built-in text.
  EXPECT_EQ(StatusLineText(StatusPassedBelow).substr(0, 7), "Passed ");
}

TEST_F(LayoutSwitchTest, SwitchingToTheLayoutInForceReloadsEverything) {
  ASSERT_EQ(LayoutItemClick(Links, View, View.Turkish), TLayoutSwitch::Switched);
  Effects.clear();
  WriteFile("t.lng", Lines({"<Buttons>", "Yeni", "Dur", "Ileri"}));
  ASSERT_EQ(LayoutItemClick(Links, View, View.Turkish), TLayoutSwitch::Switched);
  EXPECT_EQ(Layouts.Loaded.size(), 2u);
  EXPECT_EQ(Effects.size(), 5u);
  EXPECT_EQ(CaptionOf(View.StartBtn), "Yeni");
}

TEST_F(LayoutSwitchTest, AMissingLayoutKeepsThePreviousOneAndIsDisabled) {
  ASSERT_EQ(LayoutItemClick(Links, View, View.Russish), TLayoutSwitch::Switched);
  Effects.clear();
  Layouts.Missing = {"0000041F"};
  EXPECT_EQ(LayoutItemClick(Links, View, View.Turkish), TLayoutSwitch::NotInstalled);
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{"This layout is not installed."});
  EXPECT_FALSE(View.Turkish->isEnabled());
  EXPECT_EQ(ItemInForce(), View.Russish);
  EXPECT_TRUE(Effects.empty());
  EXPECT_EQ(storage::Kund.SprachNr, 3);
  EXPECT_EQ(course::Tastatur.InputLayoutNr, 3);
  EXPECT_EQ(CharsetOf(View.KeyPanel), RUSSIAN_CHARSET);
  EXPECT_EQ(CaptionOf(View.StartBtn), "Start-r");
}

TEST_F(LayoutSwitchTest, AStoredLayoutThatIsMissingLeavesNoLayoutInForce) {
  storage::Kund.SprachNr = 4; // read from the learner record
  Layouts.Missing = {"0000041F"};
  EXPECT_EQ(LayoutItemClick(Links, View, View.Turkish), TLayoutSwitch::NotInstalled);
  EXPECT_EQ(ItemInForce(), View.Turkish); // the layout in force is still 4 by the record
  storage::Kund.SprachNr = 0;
  Layouts.Missing = {"00000409"};
  EXPECT_EQ(LayoutItemClick(Links, View, View.English), TLayoutSwitch::NotInstalled);
  EXPECT_EQ(ItemInForce(), nullptr);
  EXPECT_EQ(course::Tastatur.InputLayoutNr, 0);
  EXPECT_EQ(CaptionOf(View.StartBtn), "Start"); // the built-in captions stay
  EXPECT_TRUE(Effects.empty());
}

TEST_F(LayoutSwitchTest, AMissingLengDatEndsTheSwitchAfterClosingTheWindow) {
  std::filesystem::remove("Leng.dat");
  EXPECT_EQ(LayoutItemClick(Links, View, View.German), TLayoutSwitch::Closing);
  EXPECT_EQ(Effects, (std::vector<std::string>{"layout 2 Deu.txt 9", "close"}));
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{"\"Leng.dat\" is not found!"});
  EXPECT_EQ(storage::Kund.SprachNr, 2);
}

TEST_F(LayoutSwitchTest, AMissingTextFileStillSwitchesTheCourse) {
  std::filesystem::remove("g.lng");
  EXPECT_EQ(LayoutItemClick(Links, View, View.German), TLayoutSwitch::Switched);
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{"File is not found!"});
  EXPECT_EQ(Effects.size(), 5u);
  EXPECT_EQ(CaptionOf(View.StartBtn), "Start");
}

TEST_F(LayoutSwitchTest, OnlyTheFourLayoutItemsSwitch) {
  EXPECT_EQ(LayoutItemClick(Links, View, nullptr), TLayoutSwitch::Ignored);
  EXPECT_EQ(LayoutItemClick(Links, View, View.MExit), TLayoutSwitch::Ignored);
  EXPECT_TRUE(Layouts.Loaded.empty());
}

// ---------------------------------------------------------------------------
// The learner record on the sound controls

std::vector<uint8_t> ReadBytes(const std::string& Name) {
  std::ifstream In(Name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

class KundControlsTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetStorageState();
    ResetSoundState();
    BuildMainView(View, Form);
    // As the main window wires it.
    QObject::connect(View.FrontBar, &QSlider::valueChanged, &Form,
                     [this] { sound::Klang.Atacke = AtackeOfFront(View.FrontBar->value()); });
  }
  void TearDown() override {
    ResetStorageState();
    ResetSoundState();
  }

  TWorkDir Dir;
  QMainWindow Form;
  TMainView View;
  TRecordingReporter Reporter;
  bool Told = false;
};

TEST_F(KundControlsTest, ValuesOutsideTheControlsAreClampedAtStartAndStoredClamped) {
  WriteFile("CWK.dat", std::string("\x01\x01\xC8\x55\x05\x28\x03", 7));
  LoadKund();
  EXPECT_EQ(storage::Kund.Ton, 85); // read as stored
  RestoreKundControls(View);
  EXPECT_EQ(View.TnBar->value(), 38);
  EXPECT_EQ(View.SpeedUD->Position(), 150);
  EXPECT_EQ(View.AbstandUD->Position(), 10);
  EXPECT_EQ(View.FrontBar->value(), 12);
  // The engine takes the controls' positions, as the start-up does next.
  sound::Klang.Speed = View.SpeedUD->Position();
  sound::Klang.Ton = View.TnBar->value();
  sound::Klang.Abstand = View.AbstandUD->Position();
  ASSERT_TRUE(KundSpeichern(KundValuesOf(1, 1), Reporter, Told));
  const std::vector<uint8_t> Saved = ReadBytes("CWK.dat");
  ASSERT_EQ(Saved.size(), 7u);
  EXPECT_EQ(Saved[2], 0x96);
  EXPECT_EQ(Saved[3], 0x26);
  EXPECT_EQ(Saved[4], 10);
  EXPECT_EQ(Saved[5], 12);
}

TEST_F(KundControlsTest, WhateverTheRecordTheControlsTakeValuesWithinTheirRanges) {
  std::mt19937 Gen(7);
  std::uniform_int_distribution<int> Byte(0, 255);
  for (int Run = 0; Run < 50; ++Run) {
    std::string Record(7, '\0');
    for (char& B : Record)
      B = static_cast<char>(Byte(Gen));
    WriteFile("CWK.dat", Record);
    LoadKund();
    RestoreKundControls(View);
    EXPECT_GE(View.SpeedUD->Position(), 30);
    EXPECT_LE(View.SpeedUD->Position(), 150);
    EXPECT_GE(View.TnBar->value(), 8);
    EXPECT_LE(View.TnBar->value(), 38);
    EXPECT_GE(View.FrontBar->value(), 0);
    EXPECT_LE(View.FrontBar->value(), 12);
  }
}

} // namespace

#include "app/LayoutSwitch.h"
#include "course/CourseState.h"
#include "storage/SomeLayouts.h"
#include "storage/StorageState.h"
#include "storage/StorageTestDir.h"
#include "storage/Texts.h"
#include "support/RecordingReporter.h"

namespace {

// The switch on the state alone: what it tells the view, and in which order.
TEST(SwitchLayoutTest, TheViewHearsOfTheCharsetBeforeTheTextsAndTheCourseAfterThem) {
  TWorkDir Dir;
  ResetStorageState();
  ClearTexts();
  WriteFile("Leng.dat", Lines({"e.lng", "g.lng", "r.lng", "t.lng"}));
  WriteFile("r.lng", Lines({"<Buttons>", "Start-r", "Stop", "Next"}));
  TRecordingReporter Reporter;
  TSomeLayouts Layouts;
  std::vector<std::string> Effects;
  TLayoutLinks Links;
  Links.Texts.Reporter = &Reporter;
  Links.Texts.ShowTexts = [&] { Effects.push_back("texts " + storage::Texte.ButtonsText[1]); };
  Links.ShowCharset = [&](uint8_t Set) { Effects.push_back("charset " + std::to_string(Set)); };
  Links.Layouts = &Layouts;
  Links.Course.TakeLayout = [&](const TLayout& L) {
    Effects.push_back("layout " + std::to_string(L.SprachNr));
  };
  Links.Course.BindKeys = [&] { Effects.push_back("keys"); };

  EXPECT_EQ(SwitchLayout(Links, 603), TLayoutSwitch::Switched);
  EXPECT_EQ(Effects,
            (std::vector<std::string>{"layout 3", "charset 204", "texts Start-r", "keys"}));
  EXPECT_EQ(storage::Kund.SprachNr, 3);
  EXPECT_EQ(course::Tastatur.InputLayoutNr, 3);

  Effects.clear();
  Layouts.Missing = {"00000409"};
  EXPECT_EQ(SwitchLayout(Links, 601), TLayoutSwitch::NotInstalled);
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{"This layout is not installed."});
  EXPECT_TRUE(Effects.empty());
  EXPECT_EQ(storage::Kund.SprachNr, 3);
  EXPECT_EQ(SwitchLayout(Links, 600), TLayoutSwitch::Ignored);
  EXPECT_EQ(SwitchLayout(Links, 605), TLayoutSwitch::Ignored);
  ResetStorageState();
  ClearTexts();
}

} // namespace

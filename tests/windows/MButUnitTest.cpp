#include "windows/Caption.h"
#include "windows/Fonts.h"
#include "windows/MButUnit.h"

#include <QApplication>
#include <QEnterEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace {

const std::string Ti = "\xF2\xE8";  // ти in code page 1251
const std::string Ta = "\xF2\xE0";  // та

// What the keys read of the program, set by each test.
class TKeyState final : public TMButtonContext {
public:
  int UebNr() const override { return Ueb; }
  bool Idle() const override { return IsIdle; }
  bool Playing() const override { return IsPlaying; }
  QLabel* MerkWLabel() const override { return Label; }

  int Ueb = 1;
  bool IsIdle = true;
  bool IsPlaying = false;
  QLabel* Label = nullptr;
};

class HoverKey : public ::testing::Test {
protected:
  void SetUp() override {
    Panel = std::make_unique<QWidget>();
    Label = new QLabel(Panel.get());
    Label->setFont(PixelFont("Times New Roman", 23, true));
    State.Label = Label;
    Key = new TMButton(Panel.get(), &State);
    QFont F = Key->font();
    SetFontSize(F, 32);
    Key->setFont(F);
    SetCaption(Key, "a");
    Key->SetMChar("a");
    Key->SetMCode(".-");
    Key->setEnabled(true);
  }

  // The pointer enters and leaves through Qt's own events.
  void Enter() {
    QEnterEvent E(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(Key, &E);
  }
  void Leave() {
    QEvent E(QEvent::Leave);
    QApplication::sendEvent(Key, &E);
  }

  TKeyState State;
  std::unique_ptr<QWidget> Panel;
  QLabel* Label = nullptr;
  TMButton* Key = nullptr;
};

TEST_F(HoverKey, IdleKeyWithoutWordShowsItsSungCodeAtSizeSixteenAndLeavingClearsIt) {
  SetCharset(Panel.get(), RUSSIAN_CHARSET);
  Enter();
  EXPECT_EQ(CaptionOf(Label), "a\n\r" + Ti + " - " + Ta);
  EXPECT_EQ(FontSize(Label->font()), 16);
  EXPECT_EQ(Label->font().pixelSize(), 21);
  // The line feed and carriage return show as one line break.
  EXPECT_EQ(Label->text(), QString::fromUtf8("a\nти - та"));
  Leave();
  EXPECT_EQ(CaptionOf(Label), "");
}

TEST_F(HoverKey, SyllablesStayCyrillicUnderAWesternLayout) {
  Enter();
  EXPECT_EQ(CaptionOf(Label), "a\n\r" + Ti + " - " + Ta);
  EXPECT_EQ(Label->text(), QString::fromUtf8("a\nти - та"));
}

TEST_F(HoverKey, IdleKeyWithWordShowsTheWord) {
  Key->SetMWort("ai-DA");
  State.Ueb = 2;
  Enter();
  EXPECT_EQ(CaptionOf(Label), "a\n\rai-DA");
  EXPECT_EQ(Label->text(), QString("a\nai-DA"));
}

// A word read from a damaged file may hold bytes its code page has no
// character for: it is shown as it is, in the layout's character set.
TEST_F(HoverKey, AWordWithBytesOutsideTheCodePageIsShownAsItIs) {
  for (const uint8_t Set : {ANSI_CHARSET, TURKISH_CHARSET, RUSSIAN_CHARSET}) {
    SetCharset(Panel.get(), Set);
    Key->SetMWort("\x81\x8D\x98\x9D-\xFC");
    Enter();
    EXPECT_EQ(CaptionOf(Label), "a\n\r\x81\x8D\x98\x9D-\xFC") << int(Set);
    EXPECT_TRUE(Label->text().startsWith("a\n")) << int(Set);
    EXPECT_TRUE(Label->text().endsWith(ToUnicode("\xFC", Set))) << int(Set);
    Leave();
  }
}

TEST_F(HoverKey, ExercisesThreeAndFourShowNothing) {
  SetCaption(Label, "kept");
  for (int Ueb : {3, 4}) {
    State.Ueb = Ueb;
    Enter();
    EXPECT_EQ(CaptionOf(Label), "kept") << Ueb;
  }
  State.Ueb = 3;
  Leave();
  EXPECT_EQ(CaptionOf(Label), "") << "leaving an enabled, idle key clears in any exercise";
}

TEST_F(HoverKey, DuringASessionAKeyThatIsUpShowsItsCharacterFourSizesSmallerAndStays) {
  State.IsIdle = false;
  Enter();
  EXPECT_EQ(CaptionOf(Label), "a");
  EXPECT_EQ(FontSize(Label->font()), 28);
  Leave();
  EXPECT_EQ(CaptionOf(Label), "a");
}

TEST_F(HoverKey, DuringASessionAKeyThatIsDownChangesNothing) {
  Key->SetGroupIndex(77);
  Key->SetAllowAllUp(true);
  Key->SetDown(true);
  State.IsIdle = false;
  SetCaption(Label, "x");
  Enter();
  EXPECT_EQ(CaptionOf(Label), "x");
}

TEST_F(HoverKey, ADisabledKeyShowsNothingAndLeavesTheLabel) {
  Key->setEnabled(false);
  SetCaption(Label, "x");
  Enter();
  EXPECT_EQ(CaptionOf(Label), "x");
  Leave();
  EXPECT_EQ(CaptionOf(Label), "x");
}

TEST_F(HoverKey, AKeyOnADisabledPanelKeepsItsHoverAid) {
  // The keyboard panel is off while a code plays; the keys themselves stay
  // enabled.
  Panel->setEnabled(false);
  EXPECT_TRUE(Key->Enabled());
  Enter();
  EXPECT_EQ(CaptionOf(Label), "a\n\r" + Ti + " - " + Ta);
}

TEST_F(HoverKey, LeavingWhilePlayingOrWhileDownKeepsTheAid) {
  Enter();
  State.IsPlaying = true;
  Leave();
  EXPECT_NE(CaptionOf(Label), "");
  State.IsPlaying = false;
  Key->SetGroupIndex(77);
  Key->SetDown(true);
  Leave();
  EXPECT_NE(CaptionOf(Label), "");
}

TEST(SungForm, SyllablesAndSeparators) {
  EXPECT_EQ(TMButton::SungForm("."), Ti);
  EXPECT_EQ(TMButton::SungForm("-"), Ta);
  EXPECT_EQ(TMButton::SungForm(".-"), Ti + " - " + Ta);
  EXPECT_EQ(TMButton::SungForm(""), "");
  // Other characters give nothing but still count for the separators.
  EXPECT_EQ(TMButton::SungForm(".x"), Ti + " - ");
  // Six elements fit in 30 bytes exactly (5 + 5 + 5 + 5 + 5 + 2).
  EXPECT_EQ(TMButton::SungForm("......").size(), 27u);
}

TEST(SungForm, MoreThanSixElementsAreCutAtThirtyBytes) {
  const std::string Sung = TMButton::SungForm("-------");
  EXPECT_EQ(Sung.size(), 30u);
  std::string Six;
  for (int I = 0; I < 6; ++I)
    Six += Ta + " - ";
  EXPECT_EQ(Sung, Six);
  EXPECT_EQ(TMButton::SungForm("..........").size(), 30u);
}

TEST(KeyFields, AreCutToTheirMaximumLengths) {
  TMButton Key(nullptr);
  Key.SetMCode("-.-.-.-.-.-.");
  Key.SetMChar("abc");
  Key.SetMWort(std::string(40, 'w'));
  EXPECT_EQ(Key.MCode(), "-.-.-.-.-.");
  EXPECT_EQ(Key.MChar(), "ab");
  EXPECT_EQ(Key.MWort(), std::string(30, 'w'));
}

TEST(KeyGroups, AtMostOneKeyOfAGroupIsDownAndAllMayBeUp) {
  QWidget Parent;
  TMButton A(&Parent), B(&Parent), Other(&Parent);
  int Clicks = 0;
  for (TMButton* K : {&A, &B}) {
    K->SetGroupIndex(77);
    K->SetAllowAllUp(true);
    K->OnClick = [&Clicks](TMButton*) { ++Clicks; };
  }
  A.Click();
  EXPECT_TRUE(A.Down());
  B.Click();
  EXPECT_TRUE(B.Down());
  EXPECT_FALSE(A.Down());
  B.Click();
  EXPECT_FALSE(B.Down()) << "all keys may be up";
  EXPECT_EQ(Clicks, 3);
  // A key without a group never stays down.
  Other.Click();
  EXPECT_FALSE(Other.Down());
}

TEST(KeyGroups, WithoutAllUpTheLastKeyStaysDown) {
  QWidget Parent;
  TMButton A(&Parent);
  A.SetGroupIndex(5);
  A.Click();
  A.Click();
  EXPECT_TRUE(A.Down());
}

TEST(KeyLooks, FontColourSurvivesDisablingAndDisabledKeysAreGrey) {
  TMButton Key(nullptr);
  Key.SetFontColor(QColor(0, 255, 0));
  Key.setEnabled(false);
  EXPECT_EQ(Key.FontColor(), QColor(0, 255, 0));
  EXPECT_EQ(Key.palette().color(QPalette::Disabled, QPalette::ButtonText), QColor(128, 128, 128));
  Key.SetFlat(true);
  EXPECT_TRUE(Key.Flat());
  EXPECT_FALSE(Key.Down()) << "the flat look does not put the key down";
}

TEST(LinkLabel, TurnsNavyWithTheSoundOnEnterAndYellowOnLeave) {
  int Sounds = 0;
  TMLabel Link(nullptr);
  Link.OnHoverSound = [&Sounds] { ++Sounds; };
  Link.CMMouseEnter();
  EXPECT_EQ(Sounds, 1);
  EXPECT_EQ(Link.palette().color(QPalette::WindowText), QColor(0, 0, 128));
  Link.CMMouseLeave();
  EXPECT_EQ(Sounds, 1);
  EXPECT_EQ(Link.palette().color(QPalette::WindowText), QColor(255, 255, 0));
  Link.OnHoverSound = nullptr;
  Link.CMMouseEnter();  // no sound to play: still turns navy
  EXPECT_EQ(Link.palette().color(QPalette::WindowText), QColor(0, 0, 128));
}

TEST(LabelText, LineFeedAndCarriageReturnInEitherOrderAreOneBreak) {
  QLabel Label;
  SetCaption(&Label, "x\n\ry\r\nz\rw");
  EXPECT_EQ(Label.text(), QString("x\ny\nz\nw"));
  EXPECT_EQ(CaptionOf(&Label), "x\n\ry\r\nz\rw") << "the bytes stay as they were set";
  SetCaption(&Label, "<b>1</b>");
  EXPECT_EQ(Label.textFormat(), Qt::PlainText) << "captions are never markup";
}

TEST(Fonts, PointSizesAndPixelHeightsAtNinetySixPixelsPerInch) {
  QFont F;
  SetFontSize(F, 16);
  EXPECT_EQ(F.pixelSize(), 21);
  SetFontSize(F, 32);
  EXPECT_EQ(F.pixelSize(), 43);
  SetFontSize(F, 12);
  EXPECT_EQ(F.pixelSize(), 16);
  // The keyboard panel's font, 23 pixels high, is size 17.
  EXPECT_EQ(FontSize(PixelFont("Times New Roman", 23)), 17);
}

TEST(Fonts, WindowFamiliesResolveToMetricCompatibleFonts) {
  InstallFontSubstitutes();
  for (const char* Family : {"Times New Roman", "Arial", "MS Sans Serif", "Courier"}) {
    const QString Got = QFontInfo(PixelFont(Family, 12)).family();
    EXPECT_TRUE(Got.contains("Liberation") || Got == Family || Got.contains("Nimbus"))
        << Family << " -> " << Got.toStdString();
  }
}

} // namespace

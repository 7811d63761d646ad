// The replay window on a timer fired by hand and a device that completes when
// told: the text and its groups, the highlight and the line above it, pause
// and resume, and the window's own speed.
#include "windows/MemUnit.h"

#include "sound/Morse.h"
#include "sound/Player.h"
#include "sound/SoundState.h"
#include "support/ManualHeardCalls.h"
#include "support/ManualTimer.h"
#include "support/RecordingReporter.h"
#include "support/TestWaveDevice.h"
#include "windows/Caption.h"
#include "storage/Texts.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class MemFormTest : public ::testing::Test, public TPlayerHost {
protected:
  void SetUp() override {
    ResetSoundState();
    ClearTexts();
    storage::Texte.TextFormText = {"", "Schliessen", "Geben", "Halt", "Pause", "Tempo"};
    sound::Codetafel.Letters = Alphabet;
    for (size_t P = 1; P <= Alphabet.size(); ++P)
      sound::Codetafel.Codes[P] = std::string(P % 4 + 1, '.');
    for (int32_t S = 1; S <= 25; ++S)
      SetIntervallAt(S, static_cast<uint8_t>(S * 2));
    Form = std::make_unique<TMemForm>(nullptr, &Timer);
    SetCharset(&KeyPanel, 204);
  }

  void Open(int32_t Characters) {
    Folge.resize(static_cast<size_t>(Characters));
    for (size_t I = 0; I < Folge.size(); ++I)
      Folge[I] = static_cast<int32_t>(I % Alphabet.size()) + 1;
    Laenge = Characters;
    TMemContext C;
    C.Player = &Player;
    C.KeyPanel = &KeyPanel;
    C.Text = &Text;
    Form->SetContext(C);
    Form->FormActivate();
  }

  // What the player leaves to the main window.
  void SetKeyboardEnabled(bool) override {}
  bool MnemonicsOn() const override { return false; }

  // One tick and the end of the sound it started.
  void Step() {
    ASSERT_TRUE(Timer.Fire());
    if (Device.Queued != nullptr) {
      ASSERT_TRUE(Device.Complete());
    }
  }

  std::string Edit() const { return FromUnicode(Form->GebEdit->text(), 204); }
  std::string Play() const { return CaptionOf(Form->MemPlayBtn); }

  std::string Alphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::vector<int32_t> Folge;
  int32_t Laenge = 0;
  std::string Soll;
  // The sequence above, positions into Alphabet, as the program hands it in.
  struct TText final : TMemText {
    MemFormTest& T;
    explicit TText(MemFormTest& Test) : T(Test) {}
    int32_t Length() const override {
      return std::min<int32_t>(T.Laenge, static_cast<int32_t>(T.Folge.size()));
    }
    char Character(int32_t I) const override {
      const int32_t E = T.Folge[static_cast<size_t>(I)];
      return E >= 1 && E <= static_cast<int32_t>(T.Alphabet.size())
                 ? T.Alphabet[static_cast<size_t>(E) - 1]
                 : '\0';
    }
    std::string Code(int32_t I) const override {
      const char C = Character(I);
      return C != '\0' ? CodeOf(C) : std::string();
    }
    void Sounded(const std::string& Code) override { T.Soll = Code; }
  } Text{*this};
  QWidget KeyPanel;
  TManualTimer Timer;
  TTestWaveDevice Device;
  TRecordingReporter Reporter;
  TMorse Morse{Device, Reporter};
  TPlayer Player{Morse, *this};
  std::unique_ptr<TMemForm> Form;
};

TEST_F(MemFormTest, ShowsTheTextInGroupsOfFive) {
  Open(12);
  EXPECT_EQ(Form->MemText, " abcde  fghij  kl");
  EXPECT_EQ(Form->MemText.find('k'), 15u) << "the third group";
  EXPECT_EQ(FromUnicode(Form->GebText->toPlainText(), 204), Form->MemText);
  EXPECT_EQ(Form->SelStart(), 1);
  EXPECT_EQ(Form->SelLength(), 0);
  EXPECT_TRUE(Form->GebText->isReadOnly());
  EXPECT_EQ(CharsetOf(Form->GebText), 204);
  EXPECT_EQ(Form->GebText->font().family(), "Courier");
  EXPECT_FALSE(Form->MemPausBtn->isEnabled());
  EXPECT_EQ(CaptionOf(Form->MemClBtn), "Schliessen");
  EXPECT_EQ(Play(), "Geben");
  EXPECT_EQ(CaptionOf(Form->MemPausBtn), "Pause");
  EXPECT_EQ(CaptionOf(Form->Label1), "Tempo");
}

TEST_F(MemFormTest, PlaysCharacterByCharacterWithTheGroupHighlighted) {
  Open(12);
  Form->MemPlayBtn->click();
  EXPECT_EQ(Play(), "Halt");
  EXPECT_TRUE(Timer.Enabled());
  EXPECT_TRUE(Form->MemPausBtn->isEnabled());
  ASSERT_TRUE(Timer.Fire());
  EXPECT_TRUE(sound::Ausgabe.MemPlaying);
  EXPECT_FALSE(Timer.Enabled()) << "waits for the sound";
  EXPECT_EQ(Soll, sound::Codetafel.Codes[1]);
  EXPECT_EQ(Edit(), " a");
  EXPECT_EQ(Form->SelStart(), 1);
  EXPECT_EQ(Form->SelLength(), 5);
  EXPECT_EQ(Timer.Interval(), CharGapMs(Form->MemKlang));
  ASSERT_TRUE(Device.Complete());
  EXPECT_TRUE(Timer.Enabled());
  for (int I = 0; I < 4; ++I)
    Step();
  EXPECT_EQ(Edit(), " abcde");
  EXPECT_EQ(Timer.Interval(), GroupGapMs(Form->MemKlang));
  Step();
  EXPECT_EQ(Form->SelStart(), 8) << "the second group";
  EXPECT_EQ(Edit(), " abcde  f");
  for (int I = 0; I < 6; ++I)
    Step();
  EXPECT_EQ(Edit(), " abcde  fghij  kl");
  Step(); // the end
  EXPECT_EQ(Play(), "Geben");
  EXPECT_FALSE(Form->MemPausBtn->isEnabled());
  EXPECT_EQ(Form->SelLength(), 0);
  EXPECT_EQ(Form->SelStart(), 0);
  EXPECT_FALSE(Timer.Enabled());
}

TEST_F(MemFormTest, TheSixthGroupStartsANewLineAndIsHighlightedAt36) {
  Open(30);
  Form->MemPlayBtn->click();
  for (int I = 0; I < 25; ++I)
    Step();
  EXPECT_EQ(Form->MemZeilen, 1);
  EXPECT_EQ(Form->GebZeile, " ");
  EXPECT_EQ(Edit(), " abcde  fghij  klmno  pqrst  uvwxy");
  Step();
  EXPECT_EQ(Edit(), " z");
  EXPECT_EQ(Form->SelStart(), 36);
  EXPECT_EQ(Form->SelLength(), 5);
  EXPECT_EQ(Form->MemText.substr(36, 5), "z0123");
}

TEST_F(MemFormTest, LaterLinesMoveOn35) {
  Open(55);
  Form->MemPlayBtn->click();
  for (int I = 0; I < 51; ++I)
    Step();
  EXPECT_EQ(Form->MemZeilen, 2);
  EXPECT_EQ(Form->SelStart(), 71);
}

TEST_F(MemFormTest, PausingBeforeTheFirstCharacterEndsTheRunLikeAStop) {
  Open(12);
  Form->MemPlayBtn->click();
  Form->MemPausBtn->click();
  EXPECT_EQ(Form->PauseMark, 0);
  EXPECT_EQ(Play(), "Geben");
  ASSERT_TRUE(Timer.Fire());
  EXPECT_EQ(Device.Queued, nullptr) << "nothing sounded";
  EXPECT_FALSE(Form->MemPausBtn->isEnabled());
  EXPECT_FALSE(Form->MemPausBtn->isChecked());
  Form->MemPlayBtn->click();
  EXPECT_EQ(Form->MemPos, 0);
  Step();
  EXPECT_EQ(Edit(), " a");
}

TEST_F(MemFormTest, PausingAfterTheSeventhCharacterResumesAtTheEighth) {
  Open(12);
  Form->MemPlayBtn->click();
  for (int I = 0; I < 7; ++I)
    Step();
  Form->MemPausBtn->click();
  EXPECT_TRUE(Form->MemPausBtn->isChecked());
  EXPECT_EQ(Form->PauseMark, 7);
  ASSERT_TRUE(Timer.Fire()); // ends the run
  EXPECT_EQ(Play(), "Geben");
  EXPECT_TRUE(Form->MemPausBtn->isEnabled());
  EXPECT_EQ(Form->SelLength(), 0);

  Form->MemPausBtn->click(); // resumes
  EXPECT_FALSE(Form->MemPausBtn->isChecked());
  EXPECT_EQ(Form->PauseMark, 0);
  EXPECT_EQ(Play(), "Halt");
  EXPECT_EQ(Form->SelStart(), 8);
  EXPECT_EQ(Form->SelLength(), 5);
  Step();
  EXPECT_EQ(Edit(), " abcde  fgh");
  EXPECT_EQ(Soll, sound::Codetafel.Codes[8]);
}

TEST_F(MemFormTest, StopEndsTheRunAtOnce) {
  Open(12);
  Form->MemPlayBtn->click();
  Step();
  Form->MemPlayBtn->click();
  EXPECT_EQ(Play(), "Geben");
  EXPECT_FALSE(Timer.Fire()) << "no tick of the run stopped";
  EXPECT_EQ(Device.Queued, nullptr);
  EXPECT_FALSE(Form->MemPausBtn->isEnabled());
  EXPECT_EQ(Form->SelLength(), 0);
}

TEST_F(MemFormTest, AFailingDeviceStopsTheReplayAtThatCharacter) {
  Open(12);
  Device.Fail(TWaveOp::Open, MMSYSERR_ALLOCATED);
  Form->MemPlayBtn->click();
  ASSERT_TRUE(Timer.Fire());
  EXPECT_FALSE(sound::Ausgabe.MemPlaying);
  EXPECT_EQ(Reporter.Messages.size(), 1u);
  EXPECT_FALSE(Timer.Enabled());
  Device.Fail(TWaveOp::Open, 0);
  Form->MemPlayBtn->click(); // stop
  Form->MemPlayBtn->click(); // a new start recovers
  Step();
  EXPECT_EQ(Edit(), " a");
}

// The window sounds at a timing of its own and never touches the learner's:
// the record saves whatever the engine holds, whichever window is open.
TEST_F(MemFormTest, TheWindowsSpeedIsItsOwnAndNeverStartsBelowTheMainSpeed) {
  Form->MemSpeed = 60;
  sound::SetSpeed(80);
  Open(12);
  EXPECT_EQ(Form->MemSpeed, 80);
  EXPECT_EQ(Form->MemKlang.Speed, 80);
  EXPECT_EQ(Form->SPLabel->text(), "80");
  Form->MemClBtnClick();

  Form->MemSpeed = 60;
  sound::SetSpeed(40);
  const sound::TKlang Learner = sound::Klang;
  Open(12);
  EXPECT_EQ(Form->MemSpeed, 60);
  const sound::TKlang& Own = Form->MemKlang;
  EXPECT_EQ(Own.Speed, 60);
  EXPECT_EQ(Own.Intervall, IntervallAt(IntervallSlot(60)));
  EXPECT_LT(Own.DotLen, Learner.DotLen);
  // A character sounds at the window's timing, its pause follows it.
  Form->MemPlayBtn->click();
  ASSERT_TRUE(Timer.Fire());
  const std::string Code = CodeOf('a');
  EXPECT_EQ(Device.Written.size(), static_cast<size_t>(2 * Own.DotLen * static_cast<int32_t>(Code.size())));
  EXPECT_EQ(Timer.Interval(), CharGapMs(Own));
  ASSERT_TRUE(Device.Complete());
  Form->SPSpeedUpClick();
  EXPECT_EQ(Form->MemKlang.Speed, 65);
  Form->MemClBtnClick();
  EXPECT_EQ(sound::Klang.Speed, Learner.Speed);
  EXPECT_EQ(sound::Klang.DotLen, Learner.DotLen);
  EXPECT_EQ(sound::Klang.Intervall, Learner.Intervall);

  Open(12);
  EXPECT_EQ(Form->MemSpeed, 65) << "remembered from the last opening";
}

TEST_F(MemFormTest, TheArrowsStopAt30And150ButStillApplyTheSpeed) {
  sound::SetSpeed(30);
  Form->MemSpeed = 30;
  Open(12);
  Form->SPSpeedDownClick();
  EXPECT_EQ(Form->MemSpeed, 30);
  EXPECT_EQ(Form->MemKlang.Intervall, IntervallAt(1));
  Form->SPSpeedUpClick();
  EXPECT_EQ(Form->MemSpeed, 35);
  EXPECT_EQ(Form->MemKlang.Speed, 35);

  Form->MemSpeed = 150;
  Form->SPSpeedUpClick();
  EXPECT_EQ(Form->MemSpeed, 150);
  EXPECT_EQ(Form->MemKlang.Intervall, IntervallAt(25));
  EXPECT_EQ(Form->SPLabel->text(), "150");
  EXPECT_EQ(sound::Klang.Speed, 30);
}

TEST_F(MemFormTest, ClosingDropsTheTickAndResetsTheCaptions) {
  Open(12);
  Form->MemPlayBtn->click();
  Step();
  Form->MemPausBtn->click();
  Form->MemClBtnClick();
  EXPECT_EQ(Form->PauseMark, 0);
  EXPECT_FALSE(Timer.Fire()) << "closing drops the tick";
  EXPECT_EQ(Device.Queued, nullptr);
  EXPECT_EQ(Play(), "Geben");
}

TEST_F(MemFormTest, ShowingOpensTheTextAtTheWindowsSpeedAndEscapeCloses) {
  Open(12);
  Form->MemClBtnClick();
  sound::SetSpeed(40);
  Form->MemSpeed = 70;
  Folge.assign({2, 1});
  Laenge = 2;
  Form->show();
  EXPECT_EQ(Form->MemText, " ba");
  EXPECT_EQ(Form->MemKlang.Speed, 70);
  Form->reject();
  EXPECT_FALSE(Form->isVisible());
  EXPECT_EQ(sound::Klang.Speed, 40);
}

TEST_F(MemFormTest, ATypedCopyShowsUnderTheTextWithItsMarksAndTheReplayStillRuns) {
  // "abcdefghij" copied as "abdefgxhkj": c missed, x extra, i typed as k.
  TMemScore Score;
  Score.Sent = "abcdefg hij";
  Score.Typed = "ab defgxhkj";
  Score.Marks = "ccmccccxcwc";
  Score.Percent = 70;
  storage::Texte.TypedCopyText[7] = "Genauigkeit";
  Open(10);
  EXPECT_FALSE(Form->CopyText->isVisibleTo(Form.get()));
  EXPECT_EQ(Form->height(), 300);
  TMemContext C = Form->Context();
  C.Score = &Score;
  Form->SetContext(C);
  Form->FormActivate();
  ASSERT_TRUE(Form->CopyText->isVisibleTo(Form.get()));
  EXPECT_EQ(Form->height(), 412);
  // The controls below the text moved down with the copy, nothing overlaps.
  EXPECT_EQ(Form->MemClBtn->y(), 268 + 112);
  EXPECT_EQ(Form->SPLabel->y(), 265 + 112);
  EXPECT_LE(Form->CopyText->geometry().bottom(), Form->Label1->y());
  EXPECT_GE(Form->CopyText->y(), Form->GebText->geometry().bottom());
  const QString Plain = Form->CopyText->toPlainText();
  EXPECT_TRUE(Plain.contains(QStringLiteral("Genauigkeit: 70 %"))) << Plain.toStdString();
  EXPECT_TRUE(Plain.contains(QString::fromUtf8("ab_de"))) << Plain.toStdString();
  const QString Html = Form->CopyText->toHtml();
  EXPECT_TRUE(Html.contains(QStringLiteral("#ff8080"))); // wrong
  EXPECT_TRUE(Html.contains(QStringLiteral("#ffc040"))); // missed
  EXPECT_TRUE(Html.contains(QStringLiteral("#80c0ff"))); // extra
  // The replay is as before.
  Form->MemPlayBtnClick();
  for (int I = 0; I < 10; ++I)
    Step();
  EXPECT_EQ(Edit(), " abcde  fghij");
  // Opened again without a copy: the designed window.
  C.Score = nullptr;
  Form->SetContext(C);
  Form->FormActivate();
  EXPECT_FALSE(Form->CopyText->isVisibleTo(Form.get()));
  EXPECT_EQ(Form->height(), 300);
  EXPECT_EQ(Form->MemClBtn->y(), 268);
}

} // namespace

// With the timer and the output running ahead as the program's do: the line
// and the highlight show a character when it is heard, and Stop takes back
// the character placed ahead.
TEST_F(MemFormTest, TheLineFollowsTheCharacterHeardAndStopTakesBackTheOnePlacedAhead) {
  TManualClock Clock(5000000);
  TManualHeardCalls Calls(Clock);
  Timer.RunAhead(Clock, TEventTime::AheadUs);
  Device.Clock = &Clock;
  Player.SetHeardCalls(&Calls);
  Open(12);
  Form->MemPlayBtn->click();
  ASSERT_TRUE(Timer.Fire());
  EXPECT_EQ(Device.HeardStartUs() - Clock.NowUs(), TEventTime::AheadUs);
  EXPECT_EQ(Edit(), "");
  EXPECT_EQ(Form->SelLength(), 0);
  ASSERT_TRUE(Calls.RunNext());
  EXPECT_EQ(Clock.NowUs(), Device.HeardStartUs());
  EXPECT_EQ(Edit(), " a");
  EXPECT_EQ(Form->SelStart(), 1);
  EXPECT_EQ(Form->SelLength(), 5);
  ASSERT_TRUE(Device.Complete());
  ASSERT_TRUE(Timer.Fire()); // "b", placed ahead
  ASSERT_NE(Device.Queued, nullptr);
  Form->MemPlayBtn->click();
  EXPECT_EQ(Device.Queued, nullptr) << "taken back";
  EXPECT_FALSE(Calls.Pending());
  EXPECT_EQ(Edit(), " a");
  EXPECT_FALSE(Timer.Fire());
  Player.SetHeardCalls(nullptr);
}

// The speed test on a timer fired by hand, a device that completes when told
// and a clock the test moves: the corrections, the stored result, the abort,
// the stop and the full calibration.
#include "training/SpeedTest.h"
#include "course/CourseState.h"
#include "sound/Morse.h"
#include "sound/Player.h"
#include "sound/SoundState.h"
#include "storage/IntFile.h"
#include "storage/StorageState.h"
#include "storage/Texts.h"
#include "support/ManualClock.h"
#include "support/ManualTimer.h"
#include "support/RecordingReporter.h"
#include "support/TestWaveDevice.h"
#include "support/WorkDir.h"
#include "training/SessionState.h"
#include "windows/Caption.h"
#include "windows/MainView.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

class SpeedTestFixture : public ::testing::Test, public TPlayerHost {
protected:
  void SetUp() override {
    ResetSoundState();
    ResetCourseState();
    ResetSessionState();
    ClearTexts();
    storage::Texte.MessagesText[5] = "Test abgebrochen";
    storage::Texte.MessagesText[6] = "Fertig.";
    storage::Texte.IntervallText[1] = "%1 Zeichen pro Minute: %2 ms";
    sound::Codetafel.Letters = "parisx";
    sound::Codetafel.Codes[1] = ".--.";
    sound::Codetafel.Codes[2] = ".-";
    sound::Codetafel.Codes[3] = ".-.";
    sound::Codetafel.Codes[4] = "..";
    sound::Codetafel.Codes[5] = "...";
    sound::Codetafel.Codes[6] = "-..-";
    BuildMainView(View, Form);
    storage::Kund.SprachNr = 1;
  }

  void Make() {
    Test = std::make_unique<TSpeedTest>(View, Player, Arb, Clock, Reporter, Session);
    // The session's timer handler, in the phase SpeedTest.
    Arb.SetOnTimer([this] { Test->SpeedTestTick(); });
  }

  // The session's part, counted.
  struct TCountingSession final : TSessionControls {
    int SessionEnds = 0;
    int Arranged = 0;
    void SessionEnd() override { ++SessionEnds; }
    void ArrangeIcons() override { ++Arranged; }
  };
  // The interval file the full calibration writes.
  bool IntFileWritten() const { return QFileInfo(Dir.Path() + "/Int.mtr").isFile(); }

  void SetSpeed(int32_t Cpm, int32_t Ms) {
    View.SpeedUD->SetPosition(Cpm);
    sound::Klang.Speed = Cpm;
    sound::Klang.Intervall = Ms;
    TMorse::BuildElements();
  }

  // What the player leaves to the main window.
  void SetKeyboardEnabled(bool On) override { View.KeyPanel->setEnabled(On); }
  bool MnemonicsOn() const override { return false; }
  void OutputFailed() override { ++Failures; }
  int Failures = 0;

  // Sounds the 60 characters of one run, lasting DurationMs from the start
  // of the first character's sound to the end of the last one's; the output
  // first takes StartupMs to start, which the run must not count.
  void Run(int64_t DurationMs, int64_t StartupMs = 0) {
    const int64_t Start = Clock.NowUs();
    for (int32_t I = 0; I < course::Folge.UebLaenge; ++I) {
      ASSERT_TRUE(Arb.Fire()) << I;
      if (Device.Queued != nullptr) {
        const int64_t SoundUs = static_cast<int64_t>(sound::Puffer.SoundLen) * 1000000 / SamplesPerSec;
        const int64_t EndUs = I == 0 ? Start + StartupMs * 1000 + SoundUs
                                     : Start + StartupMs * 1000 + DurationMs * 1000 * I / 59;
        Clock.SetNowUs(std::max(EndUs, Clock.NowUs()));
        ASSERT_TRUE(Device.Complete());
      }
    }
    Clock.AdvanceMs(1);
    ASSERT_TRUE(Arb.Fire());
  }

  QMainWindow Form;
  TMainView View;
  TTestWaveDevice Device;
  TRecordingReporter Reporter;
  TMorse Morse{Device, Reporter};
  TPlayer Player{Morse, *this};
  TManualTimer Arb;
  TManualClock Clock{5'000'000};
  TCountingSession Session;
  TWorkDir Dir;
  std::unique_ptr<TSpeedTest> Test;
};

TEST_F(SpeedTestFixture, StartsWithTwelveTestWordsAndTheControlsLocked) {
  SetSpeed(60, 50);
  Make();
  Test->TestBtnClick();
  EXPECT_TRUE(training::Sitzung.TestLaeuft);
  EXPECT_EQ(CaptionOf(View.TestBtn), "Stop");
  EXPECT_FALSE(View.StartBtn->isEnabled());
  EXPECT_FALSE(View.WeiterBtn->isEnabled());
  EXPECT_FALSE(View.InfPanel->isEnabled());
  EXPECT_FALSE(View.KeyPanel->isEnabled());
  EXPECT_FALSE(View.GroupBox1->isEnabled());
  EXPECT_FALSE(View.Keyboard1->isEnabled());
  EXPECT_TRUE(View.TestBtn->isEnabled());
  EXPECT_EQ(Session.Arranged, 1);
  ASSERT_EQ(course::Folge.UebLaenge, 60);
  for (int32_t J = 0; J < 60; ++J)
    EXPECT_EQ(course::Folge.UebFolge[static_cast<size_t>(J)], J % 5 + 1) << J;
  EXPECT_TRUE(Arb.Enabled());
  EXPECT_EQ(Arb.Interval(), 1);
  EXPECT_EQ(Test->Versuche, 1);
  EXPECT_EQ(Test->FullIdx, 0);
}

TEST_F(SpeedTestFixture, PacesCharactersAndWordsFromTheCompletion) {
  SetSpeed(60, 50);
  Make();
  Test->TestBtnClick();
  for (int I = 0; I < 4; ++I) {
    ASSERT_TRUE(Arb.Fire());
    EXPECT_FALSE(Arb.Enabled()) << "waits for the sound";
    EXPECT_EQ(Arb.Interval(), 100) << I;
    Clock.AdvanceMs(2000); // late enough that the lag never applies
    ASSERT_TRUE(Device.Complete());
    EXPECT_TRUE(Arb.Enabled());
  }
  ASSERT_TRUE(Arb.Fire());
  EXPECT_EQ(Arb.Interval(), 300) << "pause after a word";
  EXPECT_EQ(training::Sitzung.GruppenPos, 0);
  EXPECT_EQ(Device.WaveDoneCount, 4);
  EXPECT_TRUE(Arb.SwitchedOffFirstInEveryTick());
}

TEST_F(SpeedTestFixture, TheRunCountsFromTheFirstCharacterHeardNotFromTheOutputsStart) {
  SetSpeed(150, 40);
  Make();
  Test->TestBtnClick();
  ASSERT_TRUE(Arb.Fire());
  const int64_t SoundMs = static_cast<int64_t>(sound::Puffer.SoundLen) * 1000 / SamplesPerSec;
  // The output takes 1.4 s to start: the first character ends that much later.
  Clock.AdvanceMs(1400 + SoundMs);
  ASSERT_TRUE(Device.Complete());
  EXPECT_EQ(Arb.Interval(), 80) << "the pause is not cut by the start-up";
  const int64_t Heard = Clock.NowUs() / 1000 - Test->StartTick;
  EXPECT_TRUE(Heard == SoundMs || Heard == SoundMs + 1) << Heard;
  Test->TestBtnClick(); // stop
  Make();
  Test->TestBtnClick();
  Run(23900, 1400);
  EXPECT_EQ(Test->TestDauer, 23900);
  EXPECT_EQ(Test->Runs, 1);
  EXPECT_FALSE(training::Sitzung.TestLaeuft) << "one run, within tolerance";
  EXPECT_EQ(IntervallAt(25), 40);
}

TEST_F(SpeedTestFixture, ARunTooSlowAtSpeed30ShortensTheIntervalAndRepeats) {
  SetSpeed(30, 100);
  Make();
  Test->TestBtnClick();
  Run(123000);
  EXPECT_EQ(Test->SollDauer, 120000);
  EXPECT_EQ(Test->Toleranz, 1800);
  EXPECT_EQ(Test->TestDauer, 123000);
  EXPECT_EQ(Test->Korrektur, 20);
  EXPECT_EQ(sound::Klang.Intervall, 80);
  EXPECT_EQ(Test->Versuche, 2);
  EXPECT_TRUE(training::Sitzung.TestLaeuft);
  EXPECT_EQ(training::Sitzung.UebPos, 0);
  EXPECT_TRUE(Arb.Enabled());
  EXPECT_FALSE(sound::Klang.IntChanged);

  Run(121000); // within 1800 ms
  EXPECT_FALSE(training::Sitzung.TestLaeuft);
  EXPECT_EQ(IntervallAt(1), 80);
  EXPECT_TRUE(sound::Klang.IntChanged);
  EXPECT_EQ(CaptionOf(View.TestBtn), "Test");
  EXPECT_EQ(Session.SessionEnds, 1);
  // Said once the controls are back, in the interface language.
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{"Fertig.\n\n30 Zeichen pro Minute: 80 ms"});
}

TEST_F(SpeedTestFixture, ARunSlightlyTooFastAt150IsStoredInTheLastSlot) {
  SetSpeed(150, 40);
  Make();
  Test->TestBtnClick();
  Run(23900);
  EXPECT_EQ(Test->SollDauer, 24000);
  EXPECT_EQ(Test->Toleranz, 360);
  EXPECT_FALSE(training::Sitzung.TestLaeuft);
  EXPECT_EQ(IntervallAt(25), 40);
  EXPECT_EQ(IntervallAt(24), 0);
  EXPECT_TRUE(sound::Klang.IntChanged);
  EXPECT_FALSE(IntFileWritten()) << "a single result waits for the close";
}

TEST_F(SpeedTestFixture, TheFifthCorrectionAbortsWithTheMessageAndTheTableValue) {
  SetSpeed(60, 90);
  SetIntervallAt(IntervallSlot(60), 90);
  Make();
  Test->TestBtnClick();
  for (int I = 1; I <= 4; ++I) {
    Run(61500); // 1500 ms too slow: 10 ms off each time
    ASSERT_TRUE(training::Sitzung.TestLaeuft) << I;
    EXPECT_EQ(sound::Klang.Intervall, 90 - 10 * I);
  }
  EXPECT_TRUE(Reporter.Messages.empty());
  Run(61500);
  EXPECT_FALSE(training::Sitzung.TestLaeuft);
  ASSERT_EQ(Reporter.Messages.size(), 1u);
  EXPECT_EQ(Reporter.Messages[0], "Test abgebrochen");
  EXPECT_EQ(sound::Klang.Intervall, 90);
  EXPECT_EQ(IntervallAt(IntervallSlot(60)), 90);
  EXPECT_FALSE(sound::Klang.IntChanged);
  EXPECT_EQ(CaptionOf(View.TestBtn), "Test");
  EXPECT_TRUE(View.StartBtn->isEnabled());
  EXPECT_FALSE(Arb.Enabled());
}

TEST_F(SpeedTestFixture, AnIntervalBelowOneAbortsAtOnce) {
  SetSpeed(60, 5);
  SetIntervallAt(IntervallSlot(60), 5);
  Make();
  Test->TestBtnClick();
  Run(62000); // Korrektur 13
  EXPECT_FALSE(training::Sitzung.TestLaeuft);
  EXPECT_EQ(Reporter.Messages.size(), 1u);
  EXPECT_EQ(sound::Klang.Intervall, 5);
}

TEST_F(SpeedTestFixture, StopRestoresTheControlsAtOnceAndStoresNothing) {
  SetSpeed(60, 50);
  Make();
  Test->TestBtnClick();
  ASSERT_TRUE(Arb.Fire());
  Test->TestBtnClick();
  EXPECT_FALSE(training::Sitzung.TestLaeuft);
  EXPECT_EQ(CaptionOf(View.TestBtn), "Test");
  EXPECT_TRUE(View.StartBtn->isEnabled());
  EXPECT_TRUE(View.KeyPanel->isEnabled());
  EXPECT_TRUE(View.GroupBox1->isEnabled());
  EXPECT_TRUE(View.Keyboard1->isEnabled());
  EXPECT_FALSE(Arb.Enabled());
  EXPECT_EQ(Session.SessionEnds, 1);
  EXPECT_FALSE(sound::Klang.IntChanged);
  EXPECT_EQ(IntervallAt(IntervallSlot(60)), 0);
  EXPECT_EQ(sound::Klang.Intervall, 50);
  // The character sounding is cut off: no completion of it can come.
  EXPECT_EQ(Device.Queued, nullptr);
  EXPECT_FALSE(Device.Complete());
  EXPECT_EQ(Device.WaveDoneCount, 0);
  EXPECT_FALSE(Arb.Enabled());
}

// Weiter is enabled only by a passed exercise: whatever way a test ends, it
// is as the test's start left it, at the highest exercise and below.
TEST_F(SpeedTestFixture, NoEndOfATestEnablesWeiter) {
  struct TCase {
    const char* Name;
    int32_t UebNr;
  };
  for (const TCase C : {TCase{"below", 1}, TCase{"at the highest", 3}}) {
    course::Kurs.UebNr = static_cast<uint8_t>(C.UebNr);
    course::Kurs.MaxUebNr = 3;
    auto Check = [&](const char* How) {
      EXPECT_FALSE(training::Sitzung.TestLaeuft) << C.Name << ", " << How;
      EXPECT_FALSE(View.WeiterBtn->isEnabled()) << C.Name << ", " << How;
      EXPECT_TRUE(View.StartBtn->isEnabled()) << C.Name << ", " << How;
    };
    SetSpeed(150, 40);
    Make();
    View.WeiterBtn->setEnabled(true);
    SetCaption(View.StatusLabel, "Passed");
    Test->TestBtnClick();
    EXPECT_EQ(CaptionOf(View.StatusLabel), "") << "the pass it told of is gone";
    Run(24000);
    Check("completed");

    View.WeiterBtn->setEnabled(true);
    Test->TestBtnClick();
    ASSERT_TRUE(Arb.Fire());
    Test->TestBtnClick();
    Check("stopped");

    SetSpeed(60, 90);
    View.WeiterBtn->setEnabled(true);
    Test->TestBtnClick();
    for (int I = 0; I < 5; ++I)
      Run(63000);
    Check("aborted");
    Reporter.Messages.clear();
  }
}

// Start, stop and start again before the stopped character would have
// ended, and a start while a key's sound still plays: one run at a time, no
// completion of another sound taken for a test character's.
TEST_F(SpeedTestFixture, QuickRestartsAndAKeySoundPlayingCountNoStaleCompletion) {
  SetSpeed(150, 40);
  Make();
  Test->TestBtnClick();
  ASSERT_TRUE(Arb.Fire());
  Test->TestBtnClick(); // stop
  Test->TestBtnClick(); // start again
  Test->TestBtnClick(); // stop
  Test->TestBtnClick(); // start again
  EXPECT_EQ(Device.OpenCount, 0) << "the stopped character's device was closed";
  ASSERT_TRUE(Arb.Fire());
  EXPECT_EQ(training::Sitzung.UebPos, 1);
  Test->TestBtnClick();
  EXPECT_FALSE(Device.Complete());
  EXPECT_EQ(Device.WaveDoneCount, 0);

  // A key's code plays when the test starts: the first character waits for
  // it, and its end (the session hands it on) lets the test go on.
  Player.PlayCode("-.-", {[this] { Test->Completion(); }, false});
  Test->TestBtnClick();
  ASSERT_TRUE(Arb.Fire());
  EXPECT_EQ(training::Sitzung.UebPos, 0) << "nothing sounded over the key";
  EXPECT_FALSE(Arb.Enabled());
  Clock.AdvanceMs(500);
  ASSERT_TRUE(Device.Complete()); // the key's sound ends
  EXPECT_TRUE(Arb.Enabled());
  Run(24000);
  EXPECT_EQ(Test->Runs, 1);
  EXPECT_EQ(Test->TestDauer, 24000) << "the key's sound is not part of the run";
  EXPECT_FALSE(training::Sitzung.TestLaeuft);
  EXPECT_FALSE(View.WeiterBtn->isEnabled());
}

TEST_F(SpeedTestFixture, AnOutputThatCannotPlayEndsTheTestWithOneMessage) {
  SetSpeed(60, 50);
  Device.Fail(TWaveOp::Open, MMSYSERR_ALLOCATED);
  Make();
  Test->TestBtnClick();
  ASSERT_TRUE(Arb.Fire());
  EXPECT_FALSE(training::Sitzung.TestLaeuft);
  EXPECT_EQ(Reporter.Messages.size(), 1u);
  EXPECT_FALSE(Arb.Enabled());
  EXPECT_EQ(CaptionOf(View.TestBtn), "Test");
}

TEST_F(SpeedTestFixture, TheRussianLayoutSoundsItsOwnWord) {
  EXPECT_EQ(TSpeedTest::TestWord(3), "\xEF\xE0\xF0\xE8\xF1");
  EXPECT_EQ(TSpeedTest::TestWord(1), "paris");
  sound::Codetafel.Letters = "\xE0\xE8\xEF\xF0\xF1"; // а и п р с
  storage::Kund.SprachNr = 3;
  SetSpeed(60, 50);
  Make();
  Test->TestBtnClick();
  EXPECT_EQ(std::vector<int32_t>(course::Folge.UebFolge.begin(), course::Folge.UebFolge.begin() + 5),
            (std::vector<int32_t>{3, 1, 4, 2, 5}));
}

// One table serves every course: a course whose own code of a letter of
// the word is longer (the Turkish i, .-..-) calibrates as the others do,
// the run timed by its real sounds and pauses.
TEST_F(SpeedTestFixture, EveryCourseCalibratesOnTheInternationalCodesOfParis) {
  struct TCourse {
    const char* Name;
    int32_t SprachNr;
    const char* Letters;
    std::vector<std::string> Codes; // in the order of Letters
  };
  const std::vector<TCourse> Courses{
      {"English", 1, "paris", {".--.", ".-", ".-.", "..", "..."}},
      {"Turkish", 4, "paris", {".--.", ".-", ".-.", ".-..-", "..."}},
      {"Russian", 3, "\xE0\xE8\xEF\xF0\xF1", {".-", "..", ".--.", ".-.", "..."}}};
  std::vector<int32_t> Stored;
  for (const TCourse& C : Courses) {
    SCOPED_TRACE(C.Name);
    ResetSoundState();
    sound::Codetafel.Letters = C.Letters;
    for (size_t I = 0; I < C.Codes.size(); ++I)
      sound::Codetafel.Codes[I + 1] = C.Codes[I];
    storage::Kund.SprachNr = static_cast<uint8_t>(C.SprachNr);
    SetSpeed(60, 100);
    Make();
    Test->TestBtnClick();
    std::vector<int32_t> Lengths;
    // Real time: each pause as the timer's interval, each character as long
    // as its samples.
    for (int Tick = 0; Tick < 2000 && training::Sitzung.TestLaeuft; ++Tick) {
      Clock.AdvanceMs(Arb.Interval());
      ASSERT_TRUE(Arb.Fire());
      if (Device.Queued == nullptr)
        continue;
      if (Lengths.size() < TSpeedTest::WordLength)
        Lengths.push_back(sound::Puffer.SoundLen);
      Clock.SetNowUs(Clock.NowUs() +
                     static_cast<int64_t>(sound::Puffer.SoundLen) * 1000000 / SamplesPerSec);
      ASSERT_TRUE(Device.Complete());
    }
    ASSERT_FALSE(training::Sitzung.TestLaeuft);
    EXPECT_EQ(Reporter.Messages.size(), 1u) << "the end, said";
    Reporter.Messages.clear();
    std::vector<int32_t> Paris;
    for (const std::string& Code : TSpeedTest::TestCodes()) {
      TMorse::RenderCode(Code);
      Paris.push_back(sound::Puffer.SoundLen);
    }
    EXPECT_EQ(Lengths, Paris);
    Stored.push_back(IntervallAt(IntervallSlot(60)));
  }
  EXPECT_EQ(Stored[1], Stored[0]);
  EXPECT_EQ(Stored[2], Stored[0]);
}

TEST_F(SpeedTestFixture, AZeroIntervalStillLetsTheTimerTick) {
  SetSpeed(60, 0);
  Make();
  Test->TestBtnClick();
  ASSERT_TRUE(Arb.Fire());
  EXPECT_GE(Arb.Interval(), 1);
  ASSERT_TRUE(Device.Complete());
  EXPECT_TRUE(Arb.Fire());
}

// The full run writes the file over a single calibration's change: the table
// then equals the file, and the close has nothing to ask.
TEST_F(SpeedTestFixture, AFullRunAfterASingleCalibrationLeavesNothingToAskAtClose) {
  SetSpeed(60, 20);
  Make();
  Test->TestBtnClick();
  Run(3600000 / 60);
  ASSERT_FALSE(training::Sitzung.TestLaeuft);
  ASSERT_TRUE(sound::Klang.IntChanged);
  View.FullT->setChecked(true);
  Test->TestBtnClick();
  for (int32_t Cpm = 30; Cpm <= 150; Cpm += 5)
    Run(3600000 / Cpm);
  ASSERT_FALSE(training::Sitzung.TestLaeuft);
  ASSERT_TRUE(IntFileWritten());
  Reporter.DefaultAnswer = true;
  EXPECT_TRUE(SaveIntAtClose(Reporter));
  EXPECT_TRUE(Reporter.Questions.empty());
}

// A failed write of the interval file is told; the calibration stands.
TEST_F(SpeedTestFixture, TheFullRunCalibratesEverySpeedAndEndsAt150) {
  for (const bool Saved : {true, false}) {
    SCOPED_TRACE(Saved);
    Reporter.Messages.clear();
    QDir(Dir.Path()).rmdir("Int.mtr");
    QFile::remove(Dir.Path() + "/Int.mtr");
    if (!Saved)
      QDir(Dir.Path()).mkdir("Int.mtr"); // a folder in the file's place
    SetSpeed(80, 7);
    sound::Klang.IntervallTab[0] = 100; // speed 30
    sound::Klang.IntervallTab[40] = 9;  // beyond the speeds: kept
    View.FullT->setChecked(true);
    Make();
    Test->TestBtnClick();
    EXPECT_EQ(sound::Klang.Speed, 30);
    EXPECT_EQ(View.SpeedUD->Position(), 30);
    EXPECT_EQ(CaptionOf(View.SpeedLB), "30");
    EXPECT_EQ(sound::Klang.Intervall, 100);
    EXPECT_EQ(Test->FullIdx, 1);

    int32_t Expected = 100;
    for (int32_t Cpm = 30; Cpm <= 150; Cpm += 5) {
      ASSERT_TRUE(training::Sitzung.TestLaeuft) << Cpm;
      ASSERT_EQ(sound::Klang.Speed, Cpm);
      Run(3600000 / Cpm);
      EXPECT_EQ(IntervallAt((Cpm - 25) / 5), Expected) << Cpm;
      Expected = Expected * Cpm / (Cpm + 5);
    }
    EXPECT_FALSE(training::Sitzung.TestLaeuft);
    EXPECT_EQ(IntFileWritten(), Saved);
    EXPECT_EQ(Reporter.Messages,
              std::vector<std::string>{Saved ? "Fertig.\n\n" + IntervallText(2) : IntNotSavedText});
    EXPECT_FALSE(sound::Klang.IntChanged);
    EXPECT_EQ(sound::Klang.Speed, 150);
    EXPECT_EQ(View.SpeedUD->Position(), 150);
    EXPECT_EQ(CaptionOf(View.SpeedLB), "150");
    EXPECT_EQ(sound::Klang.Intervall, IntervallAt(25));
    EXPECT_EQ(sound::Klang.IntervallTab[40], 9);
    EXPECT_EQ(CaptionOf(View.TestBtn), "Test");
  }
}

} // namespace

// The four exercises run end to end against the timer and device doubles:
// what is sounded, after which pauses, what the learner's answers do, and
// how a stop and a failing device leave the window.
#include "training/SessionFixture.h"

#include "storage/Texts.h"

#include <algorithm>

namespace {

// A valid 8-bit mono sound file of N samples.
std::string WaveBytes(uint32_t N) {
  auto Le32 = [](uint32_t V) {
    std::string S(4, '\0');
    for (int I = 0; I < 4; ++I)
      S[static_cast<size_t>(I)] = static_cast<char>((V >> (8 * I)) & 0xFF);
    return S;
  };
  auto Le16 = [](uint16_t V) {
    return std::string{static_cast<char>(V & 0xFF), static_cast<char>(V >> 8)};
  };
  return "RIFF" + Le32(36 + N) + "WAVE" + "fmt " + Le32(16) + Le16(1) + Le16(1) + Le32(11025) +
         Le32(11025) + Le16(1) + Le16(8) + "data" + Le32(N) + std::string(N, '\x80');
}

} // namespace

class Exercise1 : public TSessionTest {
protected:
  // The first lesson, presenting two of its new characters.
  void StartWithTwoNew() {
    LoadEnglish();
    StartAt(1, 1, 1, 1);
    course::Kurs.NeueZeichen.resize(2);
    Course->ShowNewChars();
  }
};

TEST_F(Exercise1, SoundsTheFirstCharacterSixTimesAndTheSecondSeven) {
  StartWithTwoNew();
  ASSERT_EQ(course::Kurs.NeueZeichen.size(), 2u);
  const std::string C1 = View.NeuTasten[0]->MCode();
  const std::string C2 = View.NeuTasten[1]->MCode();
  Session->StartBtnClick();
  EXPECT_EQ(CaptionOf(View.StartBtn), "Stop");
  EXPECT_FALSE(training::Sitzung.Idle);
  EXPECT_TRUE(View.NeuTasten[0]->Down());
  EXPECT_FALSE(View.NeuTasten[1]->isEnabled());
  Settle();
  std::vector<std::string> Expected(6, C1);
  Expected.insert(Expected.end(), 7, C2);
  EXPECT_EQ(Window->Played, Expected);
  std::vector<uint16_t> Pauses = {100, 500, 500, 500, 500, 500, 1500};
  Pauses.insert(Pauses.end(), {500, 500, 500, 500, 500, 500, 1500});
  EXPECT_EQ(Arb.EnableIntervals(), Pauses);
  EXPECT_TRUE(Arb.SwitchedOffFirstInEveryTick());
  // The end: idle again, the keys free, Weiter for the furthest exercise.
  EXPECT_TRUE(training::Sitzung.Idle);
  EXPECT_EQ(CaptionOf(View.StartBtn), "Start");
  EXPECT_TRUE(View.WeiterBtn->isEnabled());
  EXPECT_TRUE(View.NeuTasten[1]->isEnabled());
  EXPECT_FALSE(View.NeuTasten[0]->Down());
  // Each play asked for the key's sound file, which is not there.
  EXPECT_TRUE(Window->WavesPlayed.empty());
}

TEST_F(Exercise1, PlaysTheSoundFileAfterEachCodeAndSkipsACorruptOne) {
  StartWithTwoNew();
  const std::string First = CaptionOf(View.NeuTasten[0]);
  const std::string Second = CaptionOf(View.NeuTasten[1]);
  WriteFile(First + ".wav", WaveBytes(200));
  WriteFile(Second + ".wav", "RIFF\x10garbage that is no wave file");
  ASSERT_TRUE(Morse->LoadWave(First + ".wav"));
  View.MerkCheckBox->setChecked(true);
  Session->StartBtnClick();
  ASSERT_TRUE(Arb.Fire());
  EXPECT_TRUE(sound::Ausgabe.WavePending);
  EXPECT_EQ(sound::Ausgabe.WavName, First + ".wav");
  EXPECT_TRUE(View.MerkCheckBox->isChecked());
  Settle();
  EXPECT_EQ(Window->Played.size(), 13u);
  EXPECT_EQ(Window->WavesPlayed, std::vector<std::string>(6, First + ".wav"));
  EXPECT_TRUE(training::Sitzung.Idle);
}

TEST_F(Exercise1, WithoutMnemonicsNoSoundFileIsPlayed) {
  StartWithTwoNew();
  WriteFile(CaptionOf(View.NeuTasten[0]) + ".wav", WaveBytes(200));
  View.MerkCheckBox->setChecked(false);
  Session->StartBtnClick();
  Settle();
  EXPECT_EQ(Window->Played.size(), 13u);
  EXPECT_TRUE(Window->WavesPlayed.empty());
}

TEST_F(Exercise1, BelowTheFurthestExerciseWeiterStaysOff) {
  LoadEnglish();
  StartAt(1, 1, 1, 2);
  Session->StartBtnClick();
  Settle();
  EXPECT_TRUE(training::Sitzung.Idle);
  EXPECT_FALSE(View.WeiterBtn->isEnabled());
}

using Exercise2 = TSessionTest;

TEST_F(Exercise2, TheStartOfExercisesOneToThreeClearsNeuVornAndOfFourKeepsIt) {
  LoadEnglish();
  for (const uint8_t Ueb : {uint8_t{1}, uint8_t{2}, uint8_t{3}, uint8_t{4}}) {
    StartAt(2, Ueb, 2, Ueb);
    course::Kurs.GruppenZahl = 5;
    course::Folge.NeuVorn = true;
    Session->StartBtnClick();
    EXPECT_EQ(course::Folge.NeuVorn, Ueb == 4) << int(Ueb);
    Session->StartBtnClick();
  }
}

TEST_F(Exercise2, RightAnswersPassAndEnableWeiter) {
  LoadEnglish();
  StartAt(1, 2, 1, 2);
  // Left enabled by an earlier pass: the start takes Weiter, the lesson and
  // exercise arrows and the set box away for the run.
  View.WeiterBtn->setEnabled(true);
  Session->StartBtnClick();
  EXPECT_FALSE(View.WeiterBtn->isEnabled());
  EXPECT_FALSE(View.InfPanel->isEnabled());
  EXPECT_FALSE(View.GroupBox1->isEnabled());
  EXPECT_FALSE(View.Keyboard1->isEnabled());
  ASSERT_EQ(course::Folge.UebLaenge, static_cast<int32_t>(course::Kurs.NeueZeichen.size()) * 5);
  // The first item follows after the interval the timer had.
  ASSERT_EQ(Arb.EnableIntervals().size(), 1u);
  EXPECT_EQ(Arb.EnableIntervals()[0], 1000);
  for (int I = 0; I < course::Folge.UebLaenge; ++I) {
    Settle();
    ASSERT_FALSE(training::Sitzung.Idle) << I;
    ASSERT_FALSE(Arb.Enabled());
    TMButton* Right = NeuKeyOfCode(Window->Played.back());
    ASSERT_NE(Right, nullptr);
    Right->Click();
    if (I + 1 < course::Folge.UebLaenge) {
      // The next question 500 ms after the answer.
      EXPECT_TRUE(Arb.Enabled()) << I;
      EXPECT_EQ(Arb.Interval(), 500) << I;
    }
  }
  EXPECT_TRUE(training::Sitzung.Idle);
  EXPECT_EQ(training::Sitzung.Fehler, 0);
  EXPECT_TRUE(Reporter.Messages.empty());
  EXPECT_TRUE(View.WeiterBtn->isEnabled());
  // Lesson 1 has no exercise 3: the line says where "Weiter" leads.
  EXPECT_EQ(CaptionOf(View.StatusLabel), StatusLineText(StatusPassedLesson1));
  EXPECT_EQ(Window->Played.size(), course::Kurs.NeueZeichen.size() * 5);
  EXPECT_TRUE(course::Folge.UebFolge.empty());
  EXPECT_TRUE(Arb.SwitchedOffFirstInEveryTick());
}

TEST_F(Exercise2, AWrongAnswerIsCorrectedThreeTimesAndReportedOnceAtTheEnd) {
  LoadEnglish();
  StartAt(1, 2, 1, 2);
  Session->StartBtnClick();
  Settle();
  const std::string Soll = Window->Played.back();
  TMButton* SollKey = NeuKeyOfCode(Soll);
  TMButton* Wrong = OtherNeuKey(Soll);
  ASSERT_NE(Wrong, nullptr);
  Wrong->Click();
  EXPECT_EQ(training::Sitzung.Fehler, 1);
  EXPECT_EQ(training::Sitzung.KorrZaehler, 4);
  EXPECT_TRUE(View.TimePanel->isVisibleTo(View.Form));
  EXPECT_EQ(CaptionOf(View.TimePanel->CaptionLabel()), CaptionOf(SollKey));
  EXPECT_FALSE(View.R1Panel->isEnabled());
  // Three soundings, 1 s after each other's end, then the next item 500 ms
  // after the correction.
  EXPECT_TRUE(Arb.Enabled());
  EXPECT_EQ(Arb.Interval(), 1000);
  const size_t Enables = Arb.EnableIntervals().size();
  Settle();
  const std::vector<uint16_t> Korrektur(Arb.EnableIntervals().begin() + static_cast<long>(Enables),
                                        Arb.EnableIntervals().end());
  EXPECT_EQ(Korrektur, (std::vector<uint16_t>{1000, 1000, 1000, 500}));
  EXPECT_EQ(sound::Ausgabe.WavName, CaptionOf(SollKey) + ".wav") << "each sounding asks for its file";
  EXPECT_EQ(Window->Played.size(), 5u);
  for (size_t I = 1; I <= 3; ++I)
    EXPECT_EQ(Window->Played[I], Soll);
  EXPECT_EQ(training::Sitzung.KorrZaehler, 0);
  EXPECT_FALSE(View.TimePanel->isVisibleTo(View.Form));
  EXPECT_TRUE(View.R1Panel->isEnabled());
  EXPECT_EQ(training::Sitzung.UebPos, 1);
  for (int I = 1; I < course::Folge.UebLaenge; ++I) {
    ASSERT_FALSE(training::Sitzung.Idle);
    NeuKeyOfCode(Window->Played.back())->Click();
    Settle();
  }
  EXPECT_TRUE(training::Sitzung.Idle);
  EXPECT_EQ(training::Sitzung.Fehler, 1);
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{"Errors!\n\rAgain."});
  EXPECT_FALSE(View.WeiterBtn->isEnabled());
}

TEST_F(Exercise2, AQuestionIsNotFollowedByASoundFileLeftPendingByAFreeClick) {
  LoadEnglish();
  StartAt(1, 2, 1, 2);
  WriteFile("t.Wav", WaveBytes(100));
  View.MerkCheckBox->setChecked(false);
  Session->SessionEnd();
  View.NeuTasten[0]->Click();
  Device.Complete();
  ASSERT_TRUE(sound::Ausgabe.WavePending);
  View.MerkCheckBox->setChecked(true);
  Session->StartBtnClick();
  Settle();
  EXPECT_EQ(Window->Played.size(), 2u);
  EXPECT_TRUE(Window->WavesPlayed.empty());
}

using Exercise3 = TSessionTest;

TEST_F(Exercise3, RepeatOffersAfterFifteenSecondsAndTheThirdPressIsOneError) {
  LoadEnglish();
  StartAt(2, 3, 2, 3);
  Session->StartBtnClick();
  const int32_t N = course::Folge.UebLaenge;
  EXPECT_EQ(N, static_cast<int32_t>(course::Kurs.LektZeichen.size()) * 3);
  EXPECT_TRUE(View.RepBtn->isVisibleTo(View.Form));
  EXPECT_FALSE(View.RepBtn->isEnabled());
  SettleArb();
  ASSERT_EQ(Window->Played.size(), 1u);
  EXPECT_EQ(training::Sitzung.SollCode, Window->Played[0]);
  // Timer1 runs from the end of the sound.
  EXPECT_TRUE(Timer1.Enabled());
  EXPECT_EQ(Timer1.Interval(), 15000);
  Timer1.Fire();
  EXPECT_TRUE(View.RepBtn->isEnabled());
  for (int Press = 1; Press <= 4; ++Press) {
    Session->RepBtnClick();
    EXPECT_FALSE(View.RepBtn->isEnabled()) << "until offered again, " << Press;
    SettleArb();
    EXPECT_EQ(Window->Played.back(), training::Sitzung.SollCode);
    EXPECT_EQ(training::Sitzung.Fehler, Press >= 3 ? 1 : 0) << Press;
    Timer1.Fire();
  }
  EXPECT_EQ(Window->Played.size(), 5u);
  // The item is settled: whatever key comes next only advances.
  TMButton* Any = KeyOfCode(training::Sitzung.SollCode == ".-" ? "-..." : ".-");
  ASSERT_NE(Any, nullptr);
  Session->Antwort3(Any);
  EXPECT_EQ(training::Sitzung.Fehler, 1);
  EXPECT_EQ(training::Sitzung.UebPos, 1);
  while (!training::Sitzung.Idle) {
    SettleArb();
    TMButton* Right = KeyOfCode(training::Sitzung.SollCode);
    ASSERT_NE(Right, nullptr);
    Right->Click();
  }
  EXPECT_EQ(training::Sitzung.Fehler, 1);
  EXPECT_EQ(Reporter.Messages.size(), 1u);
  EXPECT_FALSE(View.WeiterBtn->isEnabled());
  EXPECT_FALSE(View.RepBtn->isVisibleTo(View.Form));
  // Idle: Timer1's ticks offer no Repeat.
  EXPECT_EQ(training::Sitzung.Phase, training::TPhase::Idle);
}

TEST_F(Exercise3, AnAnswerTakesRepeatAwayAndEndsItsFifteenSeconds) {
  LoadEnglish();
  StartAt(2, 3, 2, 3);
  Session->StartBtnClick();
  SettleArb();
  ASSERT_TRUE(Timer1.Enabled());
  KeyOfCode(training::Sitzung.SollCode)->Click();
  EXPECT_FALSE(Timer1.Enabled());
  SettleArb();
  ASSERT_TRUE(Timer1.Fire()); // 15 s: Repeat is offered
  ASSERT_TRUE(View.RepBtn->isEnabled());
  KeyOfCode(training::Sitzung.SollCode)->Click();
  EXPECT_FALSE(View.RepBtn->isEnabled());
  EXPECT_EQ(training::Sitzung.UebPos, 2);
}

TEST_F(Exercise3, AWrongAnswerDisablesTheKeysDuringTheCorrectionAndRestoresThem) {
  LoadEnglish();
  StartAt(2, 3, 2, 3);
  const std::vector<bool> Before = KeysEnabled();
  Session->StartBtnClick();
  SettleArb();
  TMButton* Wrong = OtherKey(training::Sitzung.SollCode);
  ASSERT_NE(Wrong, nullptr);
  Wrong->Click();
  EXPECT_EQ(training::Sitzung.Fehler, 1);
  for (TMButton* Key : View.Tasten)
    EXPECT_FALSE(Key->isEnabled());
  const std::string Soll = training::Sitzung.SollCode;
  EXPECT_EQ(CaptionOf(View.TimePanel->CaptionLabel()), KeyOfCode(Soll)->MChar());
  const size_t Asked = Window->Played.size();
  SettleArb();
  EXPECT_EQ(sound::Ausgabe.WavName, KeyOfCode(Soll)->MChar() + ".wav");
  // Three soundings of the right character, then the next item.
  ASSERT_EQ(Window->Played.size(), Asked + 4);
  for (size_t I = Asked; I < Asked + 3; ++I)
    EXPECT_EQ(Window->Played[I], Soll);
  for (size_t I = 0; I < View.Tasten.size(); ++I)
    EXPECT_EQ(View.Tasten[I]->isEnabled(), Before[I]) << I;
  // Further right answers end the run with one error and no Weiter.
  while (!training::Sitzung.Idle) {
    SettleArb();
    KeyOfCode(training::Sitzung.SollCode)->Click();
  }
  EXPECT_EQ(training::Sitzung.Fehler, 1);
  EXPECT_FALSE(View.WeiterBtn->isEnabled());
}

TEST_F(Exercise3, WithoutErrorsBelowTheFurthestLessonWeiterStaysOff) {
  LoadEnglish();
  StartAt(2, 3, 3, 1);
  Session->StartBtnClick();
  while (!training::Sitzung.Idle) {
    SettleArb();
    KeyOfCode(training::Sitzung.SollCode)->Click();
    if (!training::Sitzung.Idle) {
      EXPECT_TRUE(Arb.Enabled());
      EXPECT_EQ(Arb.Interval(), 500) << "the next character 500 ms after the answer";
    }
  }
  EXPECT_EQ(training::Sitzung.Fehler, 0);
  EXPECT_TRUE(Reporter.Messages.empty());
  EXPECT_FALSE(View.WeiterBtn->isEnabled());
  // The line under the window says why.
  EXPECT_EQ(CaptionOf(View.StatusLabel), StatusLineText(StatusPassedBelow));
  // Passed in the furthest lesson: said as well, and the next start clears it.
  StartAt(2, 3, 2, 3);
  Session->StartBtnClick();
  EXPECT_EQ(CaptionOf(View.StatusLabel), "");
  while (!training::Sitzung.Idle) {
    SettleArb();
    KeyOfCode(training::Sitzung.SollCode)->Click();
  }
  EXPECT_TRUE(View.WeiterBtn->isEnabled());
  EXPECT_EQ(CaptionOf(View.StatusLabel), StatusLineText(StatusPassed));
}

using Exercise4 = TSessionTest;

namespace {
uint16_t Gap(int32_t Factor) {
  return static_cast<uint16_t>(Factor * sound::Klang.Abstand * sound::Klang.DotLen * 1000 / 110250 +
                               sound::Klang.Intervall);
}
} // namespace

TEST_F(Exercise4, LeadInThenFiveGroupsWithTheGapRule) {
  LoadEnglish();
  StartAt(1, 4, 1, 4);
  course::Kurs.GruppenZahl = 5;
  SetIntervallAt(IntervallSlot(sound::Klang.Speed), 20);
  Reporter.Answers = {false};
  Session->StartBtnClick();
  EXPECT_EQ(sound::Klang.Intervall, 20);
  EXPECT_FALSE(Session->KeyPreview());
  EXPECT_FALSE(View.KeyPanel->isEnabled());
  Settle();
  ASSERT_EQ(Window->Played.size(), 29u);
  EXPECT_EQ(std::vector<std::string>(Window->Played.begin(), Window->Played.begin() + 4),
            (std::vector<std::string>{"...-", "...-", "...-", "-...-"}));
  for (size_t I = 4; I < 29; ++I) {
    EXPECT_NE(course::Kurs.LektZeichen.find(
                  sound::Codetafel.Letters[static_cast<size_t>(std::distance(
                                        sound::Codetafel.Codes.begin(),
                                        std::find(sound::Codetafel.Codes.begin() + 1,
                                                  sound::Codetafel.Codes.end(), Window->Played[I]))) -
                                    1]),
              std::string::npos)
        << I;
  }
  const uint16_t Lead = static_cast<uint16_t>(2 * sound::Klang.Intervall * sound::Klang.Abstand / 10);
  std::vector<uint16_t> Pauses = {
      Lead, Lead, Lead, Lead, 1, static_cast<uint16_t>(sound::Klang.Abstand * sound::Klang.Intervall * 6 / 10)};
  for (int I = 1; I <= 25; ++I)
    Pauses.push_back(I % 5 == 0 ? Gap(3) : Gap(1));
  // The group pause: three character pauses without their Intervall, plus Intervall once.
  EXPECT_EQ(Arb.EnableIntervals(), Pauses);
  EXPECT_EQ(Gap(3), static_cast<uint16_t>(3 * sound::Klang.Abstand * sound::Klang.DotLen * 1000 / 110250 + 20));
  EXPECT_TRUE(Arb.SwitchedOffFirstInEveryTick());
  // The end: the text window, the question.
  EXPECT_EQ(Window->TextWindows, 1);
  EXPECT_EQ(Reporter.Questions, std::vector<std::string>{"Mark?"});
  EXPECT_TRUE(training::Sitzung.Idle);
  EXPECT_FALSE(course::Folge.MarkModus);
  EXPECT_TRUE(View.WeiterBtn->isEnabled());
  EXPECT_TRUE(course::Folge.UebFolge.empty());
}

// The phases an exercise goes through, in the order the design gives them:
// a wrong answer is corrected before the next character; exercise 4 is led
// in, sounds its groups, is heard to its end, and shows the text window once
// the run is over.
TEST_F(Exercise2, PhasesOfARunWithACorrection) {
  LoadEnglish();
  StartAt(1, 2, 1, 2);
  Session->StartBtnClick();
  Settle();
  OtherNeuKey(Window->Played.back())->Click();
  Settle();
  for (int I = 1; I < course::Folge.UebLaenge; ++I) {
    NeuKeyOfCode(Window->Played.back())->Click();
    Settle();
  }
  using enum training::TPhase;
  EXPECT_EQ(Phases, (std::vector<training::TPhase>{Awaiting, Correcting, Awaiting, Idle}));
}

TEST_F(Exercise4, PhasesOfARunAndNoOtherTransition) {
  LoadEnglish();
  StartAt(1, 4, 1, 4);
  course::Kurs.GruppenZahl = 5;
  Reporter.Answers = {false};
  training::TPhase During = training::TPhase::Idle;
  Window->OnTextWindow = [&] { During = training::Sitzung.Phase; };
  Session->StartBtnClick();
  Settle();
  using enum training::TPhase;
  EXPECT_EQ(During, Replay);
  EXPECT_EQ(Phases, (std::vector<training::TPhase>{LeadIn, Groups, Ending, Idle, Replay, Idle}));

  // What the table does not have is refused, and the phase stays.
  training::SetPhaseObserver(nullptr);
  EXPECT_FALSE(training::EnterPhase(Correcting));
  EXPECT_FALSE(training::EnterPhase(Groups));
  EXPECT_EQ(training::Sitzung.Phase, Idle);
  EXPECT_TRUE(training::Sitzung.Idle);
  ASSERT_TRUE(training::EnterPhase(SpeedTest));
  EXPECT_TRUE(training::Sitzung.TestLaeuft);
  EXPECT_FALSE(training::EnterPhase(Presenting)) << "no exercise starts over the speed test";
  EXPECT_FALSE(training::MayEnter(Awaiting, Groups));
  EXPECT_FALSE(training::MayEnter(Ending, Replay)) << "the run ends before its text window";
}

TEST_F(Exercise4, CountdownFiveToOneSoundsNothingBeforeTheText) {
  LoadEnglish();
  StartAt(1, 4, 1, 4);
  course::Kurs.GruppenZahl = 5;
  View.TimeCB->setChecked(true);
  Session->StartBtnClick();
  EXPECT_TRUE(View.TimePanel->isVisibleTo(View.Form));
  std::vector<std::string> Shown = {CaptionOf(View.TimePanel->CaptionLabel())};
  EXPECT_EQ(Timer1.Interval(), 1000);
  while (View.TimePanel->isVisibleTo(View.Form) && Timer1.Fire())
    if (View.TimePanel->isVisibleTo(View.Form))
      Shown.push_back(CaptionOf(View.TimePanel->CaptionLabel()));
  EXPECT_EQ(Shown, (std::vector<std::string>{"5", "4", "3", "2", "1"}));
  EXPECT_TRUE(Window->Asked.empty());
  EXPECT_FALSE(Timer1.Enabled());
  EXPECT_TRUE(Arb.Enabled());
  EXPECT_EQ(Arb.Interval(), 1);
  Settle();
  EXPECT_EQ(Window->Played.size(), 25u);
  EXPECT_TRUE(training::Sitzung.Idle);
}

TEST_F(Exercise4, YesSetsMarkModeAndNoAfterANewLessonRunClearsNeuVorn) {
  LoadEnglish();
  StartAt(1, 4, 1, 4);
  course::Kurs.GruppenZahl = 5;
  course::Folge.NeuVorn = true;
  Reporter.Answers = {true, false};
  Session->StartBtnClick();
  Settle();
  EXPECT_TRUE(course::Folge.MarkModus);
  EXPECT_TRUE(course::Folge.NeuVorn);
  EXPECT_FALSE(View.WeiterBtn->isEnabled());
  EXPECT_EQ(CaptionOf(View.StatusLabel), StatusLineText(StatusIntroYes));
  Session->StartBtnClick();
  Settle();
  EXPECT_FALSE(course::Folge.MarkModus);
  EXPECT_FALSE(course::Folge.NeuVorn);
  EXPECT_FALSE(View.WeiterBtn->isEnabled());
  // The grey "Weiter" is explained.
  EXPECT_EQ(CaptionOf(View.StatusLabel), StatusLineText(StatusIntroNo));
}

TEST_F(Exercise4, ANoWhileOnlyIsCheckedKeepsTheLimeKeys) {
  LoadEnglish();
  StartAt(3, 4, 3, 4);
  course::Kurs.GruppenZahl = 5;
  View.OnlyRB->setChecked(true);
  for (const char C : {'t', 'm'}) {
    KeyOf(C)->Click();
    Device.Complete();
  }
  ASSERT_EQ(KeyOf('t')->FontColor(), KeyLime);
  Reporter.Answers = {false};
  Session->StartBtnClick();
  Settle();
  ASSERT_EQ(Reporter.Questions.size(), 1u);
  EXPECT_TRUE(View.OnlyRB->isChecked());
  EXPECT_TRUE(course::Folge.Markiert[static_cast<size_t>(LetterPos('t'))]);
  EXPECT_EQ(KeyOf('t')->FontColor(), KeyLime);
}

TEST_F(Exercise4, TheFinalLessonEndsWithTheEndOfWorkSignal) {
  LoadEnglish();
  StartAt(1, 4, 1, 4);
  course::Kurs.MaxLektNr = static_cast<uint8_t>(course::Kurs.LektZeichEnde + 1);
  course::Kurs.GruppenZahl = 5;
  Session->StartBtnClick();
  Settle();
  ASSERT_FALSE(Window->Played.empty());
  EXPECT_EQ(Window->Played.back(), "...-.-");
  // The text window opens at the end of the signal.
  EXPECT_EQ(Window->TextWindows, 1);
}

TEST_F(Exercise4, ASpeedWithoutIntervallStillRunsToTheEnd) {
  LoadEnglish();
  StartAt(1, 4, 1, 4);
  course::Kurs.GruppenZahl = 5;
  SetIntervallAt(IntervallSlot(sound::Klang.Speed), 0);
  Session->StartBtnClick();
  Settle();
  EXPECT_EQ(Window->Played.size(), 29u);
  EXPECT_TRUE(training::Sitzung.Idle);
  for (const uint16_t Ms : Arb.EnableIntervals())
    EXPECT_GE(Ms, 1);
}

TEST_F(Exercise4, EndlessGroupsStartAnotherRound) {
  LoadEnglish();
  StartAt(1, 4, 1, 4);
  course::Kurs.GruppenZahl = MaxGruppen;
  Session->StartBtnClick();
  int Guard = 0;
  while (Window->Played.size() < 4 + 275 + 3 && Guard++ < 5000)
    ASSERT_TRUE(Step());
  EXPECT_FALSE(training::Sitzung.Idle);
  EXPECT_EQ(Window->TextWindows, 0);
  // The first character of the new round is followed by the lead-in pause.
  const auto& En = Arb.EnableIntervals();
  const size_t FirstOfRound = 6 + 275;
  ASSERT_GT(En.size(), FirstOfRound);
  EXPECT_EQ(En[FirstOfRound], static_cast<uint16_t>(2 * sound::Klang.Intervall * sound::Klang.Abstand / 10));
  Session->StartBtnClick();
  EXPECT_TRUE(training::Sitzung.Idle);
}

// ---------------------------------------------------------------------------
// Stop and idle

using Stop = TSessionTest;

namespace {
void ExpectStopped(TSessionTest& T, TMainView& View, TManualTimer& Timer1) {
  (void)T;
  EXPECT_TRUE(training::Sitzung.Idle);
  EXPECT_EQ(CaptionOf(View.StartBtn), "Start");
  // Idle: Timer1's ticks offer no Repeat and count nothing down.
  EXPECT_EQ(training::Sitzung.Phase, training::TPhase::Idle);
  EXPECT_FALSE(Timer1.Enabled());
  EXPECT_FALSE(View.RepBtn->isVisibleTo(View.Form));
  EXPECT_FALSE(View.WeiterBtn->isEnabled());
}
} // namespace

TEST_F(Stop, InEveryPhaseReturnsToIdleAndTheLastSoundReArmsNothing) {
  LoadEnglish();
  struct TCase {
    uint8_t Lekt, Ueb;
    int Steps;
    bool TimeCB;
  };
  for (const TCase C : {TCase{1, 1, 3, false}, TCase{1, 2, 1, false}, TCase{1, 2, 2, false},
                        TCase{2, 3, 1, false}, TCase{2, 3, 2, false}, TCase{1, 4, 1, false},
                        TCase{1, 4, 12, false}, TCase{1, 4, 2, true}}) {
    StartAt(C.Lekt, C.Ueb, C.Lekt, C.Ueb);
    View.TimeCB->setChecked(C.TimeCB);
    course::Kurs.GruppenZahl = 5;
    Session->StartBtnClick();
    for (int I = 0; I < C.Steps; ++I)
      Step();
    Session->StartBtnClick();
    ExpectStopped(*this, View, Timer1);
    Arb.ClearLog();
    if (Device.Queued != nullptr)
      Device.Complete();
    EXPECT_FALSE(Arb.Enabled()) << int(C.Ueb) << " " << C.Steps;
    EXPECT_EQ(Arb.EnableCount(), 0);
    EXPECT_TRUE(View.KeyPanel->isEnabled());
  }
}

TEST_F(Stop, StopDuringACorrectionEndsItAndGivesTheKeysBack) {
  LoadEnglish();
  StartAt(1, 2, 1, 2);
  Session->StartBtnClick();
  Settle();
  OtherNeuKey(Window->Played.back())->Click();
  Step();
  ASSERT_FALSE(View.R1Panel->isEnabled());
  Session->StartBtnClick();
  ExpectStopped(*this, View, Timer1);
  EXPECT_EQ(training::Sitzung.KorrZaehler, 0);
  EXPECT_FALSE(View.TimePanel->isVisibleTo(View.Form));
  // The large keys sound again when clicked.
  EXPECT_TRUE(View.R1Panel->isEnabled());
  Device.Complete();
  const size_t Played = Window->Played.size();
  View.NeuTasten[0]->Click();
  EXPECT_EQ(Window->Played.size(), Played + 1);
  Device.Complete();

  // Exercise 3: its first answer is judged, and the keys enabled at the
  // start come back.
  StartAt(2, 3, 2, 3);
  const std::vector<bool> Before = KeysEnabled();
  Session->StartBtnClick();
  Settle();
  TMButton* Wrong = OtherKey(training::Sitzung.SollCode);
  ASSERT_NE(Wrong, nullptr);
  Wrong->Click();
  ASSERT_GT(training::Sitzung.KorrZaehler, 0);
  Session->StartBtnClick();
  EXPECT_EQ(KeysEnabled(), Before);
}

TEST_F(Stop, InExerciseOneGivesBackEveryNewCharacterKeyUp) {
  LoadEnglish();
  StartAt(1, 1, 1, 1);
  Session->StartBtnClick();
  Step();
  ASSERT_TRUE(View.NeuTasten[0]->Down());
  ASSERT_FALSE(View.NeuTasten[1]->isEnabled());
  Session->StartBtnClick();
  for (size_t I = 0; I < course::Kurs.NeueZeichen.size(); ++I) {
    EXPECT_TRUE(View.NeuTasten[I]->isEnabled()) << I;
    EXPECT_FALSE(View.NeuTasten[I]->Down()) << I;
  }
}

TEST_F(Stop, CompletionsWhileIdleOnlyEnableTheKeyboard) {
  LoadEnglish();
  StartAt(1, 3, 1, 4);
  View.KeyPanel->setEnabled(false);
  Window->Player.WaveDone();
  EXPECT_TRUE(View.KeyPanel->isEnabled());
  EXPECT_FALSE(Arb.Enabled());
  EXPECT_FALSE(Timer1.Enabled());
  EXPECT_TRUE(Window->Asked.empty());
  EXPECT_TRUE(training::Sitzung.Idle);
}

TEST_F(Stop, AFailingDeviceShowsItsErrorOnceAndStopRecovers) {
  LoadEnglish();
  StartAt(1, 4, 1, 4);
  course::Kurs.GruppenZahl = 5;
  Device.Fail(TWaveOp::Open, 2);
  Device.SetErrorText(2, "No device");
  Session->StartBtnClick();
  Settle();
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{"No device"});
  EXPECT_FALSE(Arb.Enabled());
  EXPECT_FALSE(training::Sitzung.Idle);
  Session->StartBtnClick();
  EXPECT_TRUE(training::Sitzung.Idle);
  EXPECT_TRUE(View.KeyPanel->isEnabled());
  // With the device back the next run goes through.
  Device.Fail(TWaveOp::Open, 0);
  Session->StartBtnClick();
  Settle();
  EXPECT_TRUE(training::Sitzung.Idle);
  EXPECT_EQ(Window->Played.size(), 29u);
}

// ---------------------------------------------------------------------------
// Pictures and free clicks

using Presentation = TSessionTest;

TEST_F(Presentation, PicturesPerState) {
  auto X = [](QWidget* W) { return W->isVisibleTo(W->parentWidget()) ? W->x() : -1; };
  Session->ArrangeIcons();
  const int W = View.HorIm->width();
  const int P = View.IcoPanel->width() / 2;
  const int L = P - W / 2 - W - 4, C = P - W / 2, R = P + W / 2 + 4;
  EXPECT_EQ((std::vector<int>{X(View.MouseIm), X(View.HorIm), X(View.SprechIm), X(View.SchreibIm)}),
            (std::vector<int>{L, C, R, -1}));
  training::Sitzung.Idle = false;
  course::Kurs.UebNr = 1;
  Session->ArrangeIcons();
  EXPECT_EQ((std::vector<int>{X(View.MouseIm), X(View.HorIm), X(View.SprechIm), X(View.SchreibIm)}),
            (std::vector<int>{-1, L, R, -1}));
  course::Kurs.UebNr = 3;
  Session->ArrangeIcons();
  EXPECT_EQ((std::vector<int>{X(View.MouseIm), X(View.HorIm), X(View.SprechIm), X(View.SchreibIm)}),
            (std::vector<int>{R, L, C, -1}));
  course::Kurs.UebNr = 4;
  Session->ArrangeIcons();
  EXPECT_EQ((std::vector<int>{X(View.MouseIm), X(View.HorIm), X(View.SprechIm), X(View.SchreibIm)}),
            (std::vector<int>{-1, L, C, R}));
  training::Sitzung.TestLaeuft = true;
  Session->ArrangeIcons();
  EXPECT_EQ(X(View.MouseIm), L);
}

TEST_F(Presentation, FreeClickSoundsTheKeyWithItsWavFileAndMarksAfterExercise4) {
  LoadEnglish();
  StartAt(1, 4, 1, 4);
  Session->SessionEnd();
  TMButton* T = KeyOf('t');
  ASSERT_NE(T, nullptr);
  T->Click();
  EXPECT_EQ(Window->Played, std::vector<std::string>{"-"});
  EXPECT_EQ(sound::Ausgabe.WavName, "t.Wav");
  EXPECT_TRUE(sound::Ausgabe.WavePending);
  EXPECT_EQ(T->FontColor(), KeyRed);
  Device.Complete();
  course::Folge.MarkModus = true;
  T->Click();
  EXPECT_EQ(T->FontColor(), KeyLime);
  EXPECT_TRUE(course::Folge.Markiert[static_cast<size_t>(LetterPos('t'))]);
  EXPECT_EQ(Window->Played.size(), 2u);
  // While it plays (the keyboard is off then) a free click marks back but
  // sounds nothing.
  Session->FreiClick(T);
  EXPECT_EQ(T->FontColor(), KeyRed);
  EXPECT_EQ(Window->Played.size(), 2u);
}

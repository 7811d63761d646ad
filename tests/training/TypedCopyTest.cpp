#include "training/StatForm.h"
#include "training/TypedCopy.h"

#include "SessionFixture.h"
#include "base/BareFile.h"
#include "support/RecordingReporter.h"
#include "support/WorkDir.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include <algorithm>
#include <filesystem>
#include <set>

namespace {

// A key of a US keyboard as the platform gives it, without scan codes.
TTypedKey Typed(char C) {
  TTypedKey K;
  K.Text = QString(QLatin1Char(C));
  if (C >= 'a' && C <= 'z')
    K.Key = Qt::Key_A + (C - 'a');
  else if (C >= 'A' && C <= 'Z')
    K.Key = Qt::Key_A + (C - 'A');
  else
    K.Key = QChar(QLatin1Char(C)).unicode();
  return K;
}

TTypedKey Special(int QtKey, const QString& Text = QString()) {
  TTypedKey K;
  K.Key = QtKey;
  K.Text = Text;
  return K;
}

class TypedCopy : public TSessionTest {
protected:
  void SetUp() override {
    TSessionTest::SetUp();
    Copy = std::make_unique<TTypedCopy>(*CourseView, Reporter);
    Session->SetTypedCopy(Copy.get());
    storage::Texte.TypedCopyText[7] = "Accuracy";
  }
  void TearDown() override {
    Session->SetTypedCopy(nullptr);
    Copy.reset();
    TSessionTest::TearDown();
  }

  // Exercise 4 of lesson 4, five groups.
  void StartExercise4() {
    LoadEnglish();
    StartAt(4, 4, 4, 4);
    course::Kurs.GruppenZahl = 5;
    Session->StartBtnClick();
  }
  std::string SentText() const {
    std::string S;
    for (const int32_t E : course::Folge.UebFolge)
      S += course::Kurs.BuchFolge[static_cast<size_t>(E) - 1];
    return S;
  }
  void Type(const std::string& Text) {
    for (const char C : Text)
      Copy->TypeKey(C == ' ' ? Special(Qt::Key_Space, " ") : Typed(C), 0);
  }

  std::unique_ptr<TTypedCopy> Copy;
};

TEST_F(TypedCopy, OffByDefaultExercise4RunsAsDesignedAndNoFileIsWritten) {
  Copy->LoadOption();
  EXPECT_FALSE(Copy->On());
  StartExercise4();
  EXPECT_FALSE(Copy->Collecting());
  EXPECT_FALSE(Copy->TypeKey(Typed('t'), 0));
  Reporter.Answers = {true};
  Settle();
  EXPECT_EQ(Window->TextWindows, 1);
  EXPECT_FALSE(Window->LastScore.has_value());
  EXPECT_TRUE(Reporter.Defaults.empty()); // the designed question, no proposal
  EXPECT_TRUE(course::Folge.MarkModus);
  EXPECT_EQ(std::count(course::Folge.Markiert.begin(), course::Folge.Markiert.end(), true), 0);
  EXPECT_FALSE(std::filesystem::exists(StatFileName));
  EXPECT_FALSE(std::filesystem::exists(OptionFileName));
}

TEST_F(TypedCopy, ACopyWithOneMissedOneExtraOneWrongIsScoredProposedAndMarked) {
  Copy->SetOn(true);
  ASSERT_TRUE(std::filesystem::exists(OptionFileName));
  StartExercise4();
  ASSERT_TRUE(Copy->Collecting());
  ASSERT_NE(Copy->CopyLabel(), nullptr);
  EXPECT_TRUE(Copy->CopyLabel()->isVisible() || !View.Form->isVisible());
  const std::string Sent = SentText();
  ASSERT_EQ(Sent.size(), 25u);
  // The first character missed, an extra after the fifth, the eleventh
  // typed as another of the lesson's characters.
  std::string Typing = Sent.substr(1, 4) + " " + Sent.substr(5, 1);
  const char Extra = Sent[5] == 'l' ? 'd' : 'l';
  Typing += Extra;
  Typing += Sent.substr(6, 4) + " ";
  const char Other = Sent[10] == 't' ? 'm' : 't';
  Typing += Other;
  Typing += Sent.substr(11);
  // Half typed while the groups sound, the rest after the last character.
  Type(Typing.substr(0, 12));
  SettleArb(20);
  ASSERT_FALSE(training::Sitzung.Idle);
  Type(Typing.substr(12));
  Reporter.Answers = {true};
  Settle();

  ASSERT_TRUE(Window->LastScore.has_value());
  const TMemScore& M = *Window->LastScore;
  EXPECT_EQ(std::count(M.Marks.begin(), M.Marks.end(), 'm'), 1);
  EXPECT_EQ(std::count(M.Marks.begin(), M.Marks.end(), 'x'), 1);
  EXPECT_EQ(std::count(M.Marks.begin(), M.Marks.end(), 'w'), 1);
  EXPECT_EQ(M.Percent, (23 - 1) * 100 / 25); // 23 right less one extra
  EXPECT_FALSE(Copy->Collecting());
  EXPECT_FALSE(Copy->CopyLabel()->isVisible());
  // Errors: Yes proposed; on Yes the characters copied wrong are lime.
  EXPECT_EQ(Reporter.Defaults, std::vector<bool>{true});
  EXPECT_TRUE(course::Folge.MarkModus);
  const std::set<char> Wrong = {Sent[0], Sent[10]};
  for (TMButton* Key : View.Tasten) {
    if (Key->MChar().empty())
      continue;
    const char C = Key->MChar()[0];
    const bool Marked = Wrong.count(C) > 0;
    EXPECT_EQ(course::Folge.Markiert[static_cast<size_t>(LetterPos(C))], Marked) << C;
    EXPECT_EQ(Key->FontColor(), Marked ? KeyLime : KeyRed) << C;
  }
  // The learner may still change a mark by clicking.
  Device.Complete();
  KeyOf(Sent[10])->Click();
  EXPECT_FALSE(course::Folge.Markiert[static_cast<size_t>(LetterPos(Sent[10]))]);

  // The run is in the statistics file.
  const TStatistik Stat = LoadStatistik();
  int32_t SentSum = 0;
  int32_t WrongSum = 0;
  for (int C = 0; C < 256; ++C) {
    SentSum += Stat.Of(1, static_cast<char>(C)).Sent;
    WrongSum += Stat.Of(1, static_cast<char>(C)).Wrong;
  }
  EXPECT_EQ(SentSum, 25);
  EXPECT_EQ(WrongSum, 2);
  EXPECT_GE(Stat.Of(1, Sent[10]).Wrong, 1);
}

TEST_F(TypedCopy, APerfectCopyProposesNoAndNoRunsTheDesignedPath) {
  Copy->SetOn(true);
  StartExercise4();
  Type(SentText());
  Reporter.Answers = {false};
  Settle();
  EXPECT_EQ(Window->LastScore->Percent, 100);
  EXPECT_EQ(Reporter.Defaults, std::vector<bool>{false});
  EXPECT_FALSE(course::Folge.MarkModus);
  EXPECT_TRUE(View.WeiterBtn->isEnabled());
  EXPECT_EQ(std::count(course::Folge.Markiert.begin(), course::Folge.Markiert.end(), true), 0);
}

TEST_F(TypedCopy, OnTheRunThatIntroducesTheNewCharactersNoIsProposedAndAYesMarksNothing) {
  Copy->SetOn(true);
  LoadEnglish();
  StartAt(4, 4, 4, 4);
  course::Kurs.GruppenZahl = 5;
  course::Folge.NeuVorn = true;
  Session->StartBtnClick();
  Type("xxxxx"); // nothing right
  Reporter.Answers = {true};
  Settle();
  EXPECT_EQ(Reporter.Defaults, std::vector<bool>{false});
  EXPECT_TRUE(course::Folge.NeuVorn);
  EXPECT_EQ(std::count(course::Folge.Markiert.begin(), course::Folge.Markiert.end(), true), 0);
}

TEST_F(TypedCopy, NothingTypedEndsTheRunAsDesigned) {
  Copy->SetOn(true);
  StartExercise4();
  Type("  ");
  Copy->TypeKey(Special(Qt::Key_Backspace), 0);
  Reporter.Answers = {true};
  Settle();
  EXPECT_FALSE(Window->LastScore.has_value());
  EXPECT_TRUE(Reporter.Defaults.empty());
  EXPECT_EQ(Reporter.Questions.size(), 1u);
  EXPECT_TRUE(course::Folge.MarkModus);
  EXPECT_EQ(std::count(course::Folge.Markiert.begin(), course::Folge.Markiert.end(), true), 0);
  EXPECT_FALSE(std::filesystem::exists(StatFileName));
}

TEST_F(TypedCopy, KeysAreTranslatedLikeAnswersAndOddKeysAreHarmless) {
  Copy->SetOn(true);
  StartExercise4();
  EXPECT_TRUE(Copy->TypeKey(Special(Qt::Key_Backspace), 0)); // at the start: nothing
  EXPECT_TRUE(Copy->TypeKey(Special(Qt::Key_Space, " "), 0)); // no leading space
  EXPECT_EQ(Copy->Copy(), "");
  Type("te");
  EXPECT_TRUE(Copy->TypeKey(Typed('M'), 0)); // Caps Lock: the course's letter
  EXPECT_TRUE(Copy->TypeKey(Special(Qt::Key_Space, " "), 0));
  EXPECT_TRUE(Copy->TypeKey(Special(Qt::Key_Space, " "), 0)); // one space only
  TTypedKey Pad = Special(Qt::Key_7, "7");
  Pad.Keypad = true;
  EXPECT_TRUE(Copy->TypeKey(Pad, VK_NUMPAD0 + 7)); // the sign block: "."
  Pad.Key = Qt::Key_0;
  EXPECT_FALSE(Copy->TypeKey(Pad, VK_NUMPAD0)); // keypad 0 stands for nothing
  EXPECT_EQ(Copy->Copy(), "tem .");
  EXPECT_TRUE(Copy->TypeKey(Special(Qt::Key_Backspace), 0));
  EXPECT_EQ(Copy->Copy(), "tem ");
  // A dead key, an input method's empty event, a sign no key has.
  EXPECT_FALSE(Copy->TypeKey(Special(Qt::Key_Dead_Acute), 0));
  EXPECT_FALSE(Copy->TypeKey(Special(0, QString()), 0));
  EXPECT_FALSE(Copy->TypeKey(Special(Qt::Key_NumberSign, "#"), 0));
  EXPECT_FALSE(Copy->TypeKey(Special(0, QStringLiteral("\u4e2d")), 0));
  EXPECT_EQ(Copy->Copy(), "tem ");
  // A copy far longer than the text stops growing.
  for (int I = 0; I < 3000; ++I)
    Copy->TypeKey(Typed('e'), 0);
  EXPECT_EQ(CopyCharacters(Copy->Copy()).size(), MaxCopyLength);
  Reporter.Answers = {false};
  Settle();
  // Every character kept has its column; characters sent that the
  // alignment leaves without one (it depends on the random text) add
  // columns of their own.
  const std::string& Marks = Window->LastScore->Marks;
  EXPECT_EQ(static_cast<size_t>(std::count_if(Marks.begin(), Marks.end(), [](char M) { return M != 'm'; })),
            MaxCopyLength);
}

TEST_F(TypedCopy, TheFormsKeysGoToTheCopyAndASpaceDoesNotPressStart) {
  Copy->SetOn(true);
  View.Form->show();
  StartExercise4();
  View.StartBtn->setFocus();
  for (const auto& [Key, Text] : std::vector<std::pair<int, QString>>{
           {Qt::Key_T, "t"}, {Qt::Key_Space, " "}, {Qt::Key_E, "e"}, {Qt::Key_Backspace, ""}, {Qt::Key_O, "o"}}) {
    QKeyEvent Press(QEvent::KeyPress, Key, Qt::NoModifier, Text);
    QApplication::sendEvent(View.StartBtn, &Press);
    QKeyEvent Release(QEvent::KeyRelease, Key, Qt::NoModifier, Text);
    QApplication::sendEvent(View.StartBtn, &Release);
  }
  EXPECT_EQ(Copy->Copy(), "t o");
  EXPECT_FALSE(training::Sitzung.Idle) << "the space stopped the run";
  EXPECT_TRUE(Copy->CopyLabel()->text().contains(QStringLiteral("t o")));
  // The line covers no key and no control: it takes the empty status line.
  QWidget* Line = Copy->CopyLabel();
  ASSERT_TRUE(Line->isVisible());
  for (QObject* O : Line->parentWidget()->children()) {
    auto* W = qobject_cast<QWidget*>(O);
    if (W != nullptr && W != Line && W != View.StatusLabel && W->isVisible()) {
      EXPECT_FALSE(W->geometry().intersects(Line->geometry())) << W->objectName().toStdString();
    }
  }
  EXPECT_EQ(CaptionOf(View.StatusLabel), "");
  // Stopped: nothing scored or counted, the keys are the form's again.
  Session->StartBtnClick();
  EXPECT_TRUE(training::Sitzung.Idle);
  EXPECT_FALSE(Copy->Collecting());
  EXPECT_FALSE(Copy->CopyLabel()->isVisible());
  QKeyEvent Press(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, "e");
  QApplication::sendEvent(View.StartBtn, &Press);
  EXPECT_EQ(Copy->Copy(), "t o");
  EXPECT_FALSE(std::filesystem::exists(StatFileName));
  View.Form->hide();
}

TEST_F(TypedCopy, WrongAnswersOfExercises2And3CountWhenTheOptionIsOn) {
  Copy->SetOn(true);
  LoadEnglish();
  StartAt(2, 3, 2, 3); // the lesson of "tmoeis"
  Session->StartBtnClick();
  char First = '\0';
  while (!training::Sitzung.Idle) {
    SettleArb();
    if (training::Sitzung.Idle)
      break;
    if (First == '\0') {
      First = course::Kurs.KursFolge[static_cast<size_t>(course::Folge.UebFolge[0]) - 1];
      // A key of another code: wrong.
      TMButton* Other = KeyOf(First == 't' ? 'm' : 't');
      Other->Click();
      continue;
    }
    KeyOfCode(training::Sitzung.SollCode)->Click();
  }
  const TStatistik Stat = LoadStatistik();
  int32_t SentSum = 0;
  int32_t WrongSum = 0;
  for (const char C : course::Kurs.LektZeichen) {
    SentSum += Stat.Of(1, C).Sent;
    WrongSum += Stat.Of(1, C).Wrong;
  }
  EXPECT_EQ(SentSum, course::Folge.UebLaenge);
  EXPECT_EQ(WrongSum, 1);
  EXPECT_EQ(Stat.Of(1, First).Wrong, 1);
}

TEST_F(TypedCopy, AStatisticsFileThatCannotBeWrittenIsToldOnce) {
  std::filesystem::create_directory(StatFileName);
  Copy->SetOn(true);
  for (int Run = 0; Run < 2; ++Run) {
    StartExercise4();
    Type("e");
    Reporter.Answers = {false};
    Settle();
  }
  EXPECT_EQ(std::count(Reporter.Messages.begin(), Reporter.Messages.end(), StatNotSavedText), 1);
}

// The program ends while the text window shows a scored copy (a signal, a
// lost display): the run counts as a No would count it, once, though the
// question then comes back unanswered; a failed save is told to the end's
// reporter, not in a box.
TEST_F(TypedCopy, AnEndWhileTheTextWindowIsOpenSavesTheRunOnce) {
  for (const bool Writable : {true, false}) {
    SCOPED_TRACE(Writable);
    std::filesystem::remove_all(StatFileName);
    if (!Writable)
      std::filesystem::create_directory(StatFileName);
    Copy = std::make_unique<TTypedCopy>(*CourseView, Reporter);
    Session->SetTypedCopy(Copy.get());
    Reporter.Messages.clear();
    Copy->SetOn(true);
    StartExercise4();
    Type(SentText());
    TRecordingReporter AtEnd;
    Window->OnTextWindow = [&] { Copy->SaveAtEnd(AtEnd); };
    Reporter.Answers = {false};
    Settle();
    Window->OnTextWindow = nullptr;
    EXPECT_TRUE(Reporter.Messages.empty());
    if (!Writable) {
      EXPECT_EQ(AtEnd.Messages, std::vector<std::string>{StatNotSavedText});
      continue;
    }
    EXPECT_TRUE(AtEnd.Messages.empty());
    const TStatistik Stat = LoadStatistik();
    int32_t SentSum = 0;
    for (int C = 0; C < 256; ++C)
      SentSum += Stat.Of(1, static_cast<char>(C)).Sent;
    EXPECT_EQ(SentSum, 25);
  }
}

// ---------------------------------------------------------------------------
// The statistics window

TEST(StatCsv, OneRowPerCourseAndCharacterAndOnePerRunAnUnwritableFileIsTold) {
  TStatistik S;
  S.AddRun(1, std::vector<TStatRun>{{'e', 10, 2, 450, 80}, {',', 4, 0}});
  S.AddRun(3, std::vector<TStatRun>{{'\xE0', 5, 1}});
  S.AddVerwechslung(1, 'e', 'i', 2);
  S.AddLauf(1, {9839, 2, 1, 14, 2, 450});
  S.AddPracticeLauf(2, {9839, 50, 5, 380, 25, 18, false, 0, 0, 0, 0, 0, 0, 2});
  S.AddPracticeLauf(2, {9839, 40, 10, -1, 30, 30, true, -6, 20, 10, 2, 30, 15, 0});
  const std::string Csv = StatCsv(S);
  EXPECT_EQ(Csv, "row,course,character,sent,wrong,accuracy_percent,median_reaction_ms,reaction_"
                 "spread_ms,taken_for,"
                 "date,exercise,lesson,kind,char_wpm,effective_wpm,snr_db,qsb_depth_db,qsb_period_"
                 "s,qrm,qrn_per_min,"
                 "fist_percent\r\n"
                 "character,English,\",\",4,0,100,,,,,,,,,,,,,,,\r\n"
                 "character,English,e,10,2,80,450,80,i:2,,,,,,,,,,,,\r\n"
                 "character,Russian,\xD0\xB0,5,1,80,,,,,,,,,,,,,,,\r\n"
                 "run,English,,14,2,86,450,,,2026-12-09,2,1,,,,,,,,,\r\n"
                 "practice,German,,50,5,90,380,,,2026-12-09,,,callsigns,25,18,,0,,0,0,0\r\n"
                 "practice,German,,40,10,75,,,,2026-12-09,,,groups,30,30,-6,20,10,2,30,15\r\n");
  TWorkDir Dir;
  TRecordingReporter Reporter;
  EXPECT_TRUE(ExportStatCsv(S, "stat.csv", Reporter));
  EXPECT_EQ(ReadFileBytes("stat.csv").value_or(""), Csv);
  std::filesystem::create_directory("folder.csv");
  EXPECT_FALSE(ExportStatCsv(S, "folder.csv", Reporter));
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{"The file cannot be written: folder.csv"});
}

TEST(BandVergleich, EachRunCountsInTheRowOfItsNoiseAndOfEachOtherCondition) {
  auto Run = [](int32_t Wrong, int32_t Ms, bool Noise, int32_t Snr, int32_t Qsb, int32_t Qrm,
                int32_t Qrn, int32_t Fist) {
    return TPracticeLauf{1, 10, Wrong, Ms, 20, 20, Noise, Snr, Qsb, 5, Qrm, Qrn, Fist, 0};
  };
  const std::vector<TBandVergleich> V =
      BandVergleich({Run(0, 400, false, 25, 0, 0, 0, 0), // clean, whatever its SNR byte
                     Run(1, 500, true, 20, 0, 0, 0, 0), Run(2, 600, true, 19, 0, 0, 0, 0),
                     Run(3, 700, true, 10, 10, 0, 0, 0), Run(4, -1, true, 9, 0, 1, 0, 0),
                     Run(5, 900, true, 0, 0, 0, 5, 0), Run(6, 1000, true, -1, 0, 0, 0, 10),
                     Run(7, 1100, false, 0, 0, 1, 0, 5)});
  ASSERT_EQ(V.size(), BandRows);
  std::vector<int32_t> Runs;
  for (const TBandVergleich& R : V)
    Runs.push_back(R.Runs);
  EXPECT_EQ(Runs, (std::vector<int32_t>{1, 1, 2, 2, 1, 1, 2, 1, 2}));
  EXPECT_EQ(V[static_cast<size_t>(TBandRow::Snr10)].Wrong, 5);
  EXPECT_EQ(V[static_cast<size_t>(TBandRow::Snr10)].ReactionMs, 650);
  EXPECT_EQ(V[static_cast<size_t>(TBandRow::Qrm)].ReactionMs, 1100)
      << "a run without a timed answer has no say";
  EXPECT_EQ(V[static_cast<size_t>(TBandRow::Fist)].Percent(), 35);
  EXPECT_EQ(V[static_cast<size_t>(TBandRow::Clean)].Percent(), 100);
}

TEST(StatBars, WeakestAreTheHighestRatesAmongTheCandidatesWithTiesByCount) {
  TStatistik S;
  S.AddRun(1, std::vector<TStatRun>{{'t', 10, 5}, {'m', 4, 2}, {'o', 10, 1}, {'e', 10, 9},
                                    {'i', 10, 0}, {'s', 2, 2}});
  const std::vector<TStatBar> Bars = StatBars(S, 1, "tmoeisha", "eish");
  ASSERT_EQ(Bars.size(), 8u);
  EXPECT_EQ(Bars[0].Zeichen, 't');
  EXPECT_FALSE(Bars[0].Lektion);
  EXPECT_TRUE(Bars[3].Lektion);
  EXPECT_EQ(Bars[3].Stat.Wrong, 9);
  // s 100 %, e 90 %, t 50 % beats m 50 % (sent more often); i never wrong.
  EXPECT_EQ(Weakest(Bars, "tmoeisha"), "set");
  EXPECT_EQ(Weakest(Bars, "tmoeisha", 4), "setm");
  EXPECT_EQ(Weakest(Bars, "io"), "o");
  EXPECT_EQ(Weakest(Bars, "ha"), "");
}

TEST_F(TypedCopy, TheStatisticsWindowShowsTheCourseWeakestFirstAndMarksTheWeakest) {
  LoadEnglish();
  StartAt(4, 4, 4, 4);
  TStatistik& Stat = Copy->Statistik();
  Stat.AddRun(1, std::vector<TStatRun>{{'t', 10, 1, 1900, 300}, {'h', 8, 4, 600, 100}, {'a', 6, 6}});
  Stat.AddVerwechslung(1, 'h', 's', 3);
  Stat.AddVerwechslung(1, 'h', '\xFC', 9); // not of this course: not shown
  Stat.AddLauf(1, {9800, 4, 4, 24, 11, 700});
  Stat.AddLauf(1, {9800, 3, 4, 12, 1, 500});
  Stat.AddLauf(1, {9801, 2, 4, 10, 0, -1});
  Stat.AddPracticeLauf(1, {9800, 40, 4, 500, 25, 25, false, 0, 0, 0, 0, 0, 0, 0});
  Stat.AddPracticeLauf(1, {9801, 40, 10, 900, 25, 25, true, 5, 10, 8, 0, 0, 0, 0});
  TStatForm Stats;
  Stats.OnMark = [this](const std::string& Weak) { Copy->MarkForNextRun(Weak); };
  int32_t TargetSet = 0;
  Stats.OnTarget = [&](int32_t Ms) { TargetSet = Ms; };
  Stats.Fill(Stat, 1, ANSI_CHARSET, true);
  // a (all wrong: 5), h (half wrong, 3 of 8 taken for s: 1 + 2 + 0.75),
  // t (1 of 10 wrong and 0.9 slower than the target: 1 + 0.4 + 1.8); then
  // the lesson's characters never sent.
  ASSERT_GE(Stats.StatTable->rowCount(), 3);
  EXPECT_EQ(Stats.StatTable->item(0, 0)->text(), QStringLiteral("a"));
  EXPECT_EQ(Stats.StatTable->item(1, 0)->text(), QStringLiteral("h"));
  EXPECT_EQ(Stats.StatTable->item(2, 0)->text(), QStringLiteral("t"));
  EXPECT_EQ(Stats.StatTable->item(2, 4)->text(), QStringLiteral("1900 ms"));
  EXPECT_EQ(Stats.StatTable->item(1, 5)->text(), QStringLiteral("s 3×"));
  EXPECT_EQ(Stats.StatTable->rowCount(), 3 + static_cast<int>(course::Kurs.LektZeichen.size()) - 3);
  EXPECT_EQ(Stats.Weak(), "aht");
  EXPECT_TRUE(Stats.WeakLabel->text().contains(QStringLiteral("a, h, t")));
  EXPECT_EQ(Stats.StatChart->Tip(0), QStringLiteral("a: 6 wrong / 6 sent; Accuracy 0 %"));
  EXPECT_EQ(Stats.StatChart->Tip(1),
            QStringLiteral("h: 4 wrong / 8 sent; Accuracy 50 %; Median reaction 600 ms (± 50 ms); Taken for: s 3×"));
  EXPECT_EQ(Stats.StatChart->Tip(-1), QString());
  EXPECT_EQ(Stats.StatChart->ScaleMs(), 2000);
  // Progress per day: the runs of a day together.
  ASSERT_EQ(Stats.ProgressChart->Tage().size(), 2u);
  EXPECT_EQ(Stats.ProgressChart->Tage()[0].Percent(), 67);
  EXPECT_EQ(Stats.ProgressChart->Tage()[0].ReactionMs, 600);
  EXPECT_EQ(Stats.ProgressChart->Tip(0), QStringLiteral("2026-10-31: 2 Runs, 67 %, 600 ms"));
  EXPECT_EQ(Stats.ProgressChart->Tip(1), QStringLiteral("2026-11-01: 1 Runs, 100 %"));
  // The practice's runs by their conditions: clean, noise 0 to 9 dB, fading.
  EXPECT_EQ(Stats.BandTable->item(0, 0)->text(), QStringLiteral("Clean"));
  EXPECT_EQ(Stats.BandTable->item(0, 2)->text(), QStringLiteral("90 %"));
  EXPECT_EQ(Stats.BandTable->item(1, 1)->text(), QStringLiteral("0"));
  EXPECT_EQ(Stats.BandTable->item(1, 2)->text(), QString());
  EXPECT_EQ(Stats.BandTable->item(3, 2)->text(), QStringLiteral("75 %"));
  EXPECT_EQ(Stats.BandTable->item(5, 3)->text(), QStringLiteral("900 ms"));
  EXPECT_EQ(Stats.BandLabel->text(), QStringLiteral("Copy under band conditions"));
  EXPECT_EQ(Stats.TargetSB->value(), StatTargetMsDefault);
  EXPECT_EQ(TargetSet, 0) << "filling is not setting";
  Stats.TargetSB->setValue(1500);
  EXPECT_EQ(TargetSet, 1500);
  ASSERT_TRUE(Stats.MarkBtn->isEnabled());
  Stats.MarkBtn->click();
  EXPECT_FALSE(Stats.MarkBtn->isEnabled());
  for (const char C : std::string("aht")) {
    EXPECT_TRUE(course::Folge.Markiert[static_cast<size_t>(LetterPos(C))]) << C;
    EXPECT_EQ(KeyOf(C)->FontColor(), KeyLime) << C;
  }
  // While a run goes on nothing can be marked.
  Stats.Fill(Copy->Statistik(), 1, ANSI_CHARSET, false);
  EXPECT_FALSE(Stats.MarkBtn->isEnabled());
  // Nothing is written by looking.
  EXPECT_FALSE(std::filesystem::exists(StatFileName));
}

} // namespace

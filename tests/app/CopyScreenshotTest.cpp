// The typed copy through the whole program: exercise 4 typed with one
// character missed, one extra and one wrong, the text window with the copy
// scored, the question proposing Yes, the marks it set and the statistics
// window in two languages. The pictures are kept in screenshots/ of the
// build's test folder.
#include "app/MainUnit.h"
#include "app/Velm2.h"
#include "course/CourseState.h"
#include "sound/SoundState.h"
#include "storage/StatFile.h"
#include "storage/StorageState.h"
#include "training/SessionState.h"
#include "training/StatForm.h"
#include "training/TypedCopy.h"
#include "windows/Caption.h"
#include "windows/MemUnit.h"
#include "windows/QtReporter.h"
#include "storage/Texts.h"

#include "support/ManualTimer.h"
#include "support/TestWaveDevice.h"
#include "support/WorkDir.h"
#include "windows/RecordingShell.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QString ShotDir = QDir::current().absoluteFilePath(QStringLiteral("screenshots"));

bool Keep(QWidget& Window, const char* Name) {
  QDir().mkpath(ShotDir);
  return Window.grab().save(QDir(ShotDir).absoluteFilePath(QString::fromLatin1(Name)));
}

void ResetAll() {
  ResetSoundState();
  ResetCourseState();
  ResetStorageState();
  ResetSessionState();
  ClearTexts();
}

// The program's own boxes; the question is pictured and answered with its
// default button, as a learner pressing Enter would.
class TShotReporter final : public TMessageReporter {
public:
  void ShowMessage(const std::string& Text) override { Messages.push_back(Text); }
  bool AskYesNo(const std::string&) override { return false; }
  bool AskYesNoDefault(const std::string& Text, bool DefaultYes) override {
    QTimer::singleShot(50, [this] {
      auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (Box == nullptr)
        return;
      Shot = Keep(*Box, "copy-question.png");
      DefaultWasYes = Box->defaultButton() == Box->button(QMessageBox::Yes);
      Box->defaultButton()->click();
    });
    Qt.SetCharset(ANSI_CHARSET);
    return Qt.AskYesNoDefault(Text, DefaultYes);
  }
  void Beep() override {}

  TQtMessageReporter Qt;
  std::vector<std::string> Messages;
  bool Shot = false;
  bool DefaultWasYes = false;
};

void RunExercise(TTestWaveDevice& Device, TManualTimer& Arb, TManualTimer& Timer1,
         const std::function<void(int)>& Each) {
  for (int Step = 0; Step < 5000 && !training::Sitzung.Idle; ++Step) {
    Each(Step);
    if (Device.Complete() || Timer1.Fire())
      continue;
    if (!Arb.Fire())
      break;
  }
}

void Key(QWidget* W, char C) {
  if (C == ' ')
    QTest::keyClick(W, Qt::Key_Space);
  else
    QTest::keyClick(W, C);
}

} // namespace

TEST(CopyScreenshot, ScoredCopyQuestionMarksAndStatistics) {
  ResetAll();
  TWorkDir Dir;
  Dir.CopyShippedData();
  // Lesson 4, exercise 4 reached; English layout.
  Dir.Write("CWK.dat", std::string("\x04\x04\x3C\x17\x1E\x08\x01", 7));

  TTestWaveDevice Device;
  TShotReporter Reporter;
  TManualTimer Arb, Timer1, MemTimer;
  TRecordingShell Shell;
  {
    TVelm2 Program(Device, Reporter, Arb, Timer1, MemTimer, Shell);
    TAForm& F = *Program.AForm;
    F.show();
    F.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&F));
    ASSERT_EQ(course::Kurs.UebNr, 4);
    F.TypedCopyItem->trigger();
    ASSERT_TRUE(F.TypedCopy().On());
    course::Kurs.GruppenZahl = 5;
    SetCaption(F.View.GroupLabel, "5");
    F.View.TimeCB->setChecked(false);
    bool MemShot = false;
    bool StatShot = false;
    Shell.WhileModal = [&](QDialog& Window) {
      if (auto* Mem = dynamic_cast<TMemForm*>(&Window)) {
        Mem->FormActivate();
        MemShot = Keep(*Mem, "copy-text-window.png");
        EXPECT_TRUE(Mem->CopyText->isVisible());
      } else if (auto* Stat = dynamic_cast<TStatForm*>(&Window)) {
        StatShot = Keep(*Stat, course::Kurs.AlphabetFile == "Deu.txt" ? "statistics-german.png"
                                                              : "statistics-english.png");
      }
    };

    F.View.StartBtn->click();
    ASSERT_FALSE(training::Sitzung.Idle);
    std::string Sent;
    for (const int32_t E : course::Folge.UebFolge)
      Sent += course::Kurs.BuchFolge[static_cast<size_t>(E) - 1];
    // The first character missed, an extra one after the seventh, the
    // twelfth typed as another character of the lesson.
    std::string Typing;
    for (size_t I = 1; I < Sent.size(); ++I) {
      char C = Sent[I];
      if (I == 11)
        C = Sent[I] == 't' ? 'm' : 't';
      Typing += C;
      if (I == 6)
        Typing += Sent[I] == 'e' ? 'o' : 'e';
      if (I % 5 == 4)
        Typing += ' ';
    }
    size_t Typed = 0;
    RunExercise(Device, Arb, Timer1, [&](int Step) {
      // A character every few steps, as the groups sound.
      if (Step > 4 && Typed < Typing.size()) {
        Key(F.View.StartBtn, Typing[Typed++]);
        if (Typed == 14)
          Keep(F, "copy-typing.png");
      }
    });
    EXPECT_TRUE(training::Sitzung.Idle);
    EXPECT_TRUE(MemShot);
    EXPECT_TRUE(Reporter.Shot);
    EXPECT_TRUE(Reporter.DefaultWasYes);
    const TCopyScore& S = F.TypedCopy().Score();
    EXPECT_EQ(S.Missed + S.Extra + S.Wrong, 3) << F.TypedCopy().Copy();
    EXPECT_TRUE(course::Folge.MarkModus);
    EXPECT_TRUE(Keep(F, "copy-marks.png"));

    // A week of runs, three a day, for charts with figures: the learner
    // gets faster and makes fewer errors, and confuses some characters.
    const auto Week = [&](int32_t Kurs, const std::string& Chars) {
      TStatistik& Stat = F.TypedCopy().Statistik();
      const int32_t Today = StatDay(2026, 12, 9);
      for (int32_t Day = 0; Day < 7; ++Day) {
        // A copy practice a day: clean, or in noise that grows harder, with
        // fading from the fourth day and another station on the sixth.
        const bool Noise = Day % 2 == 1;
        const int32_t Missed = Noise ? 8 + 4 * Day : 6 - Day / 2;
        const int32_t Ms = 700 - 20 * Day + (Noise ? 150 : 0);
        Stat.AddPracticeLauf(Kurs, {Today - 6 + Day, 120, Missed, Ms, 25, 18, Noise, 24 - 6 * Day,
                                    Day >= 3 ? 10 : 0, 8, Day == 5 ? 1 : 0, 0, 0, 0});
        for (int32_t Run = 0; Run < 3; ++Run) {
          std::vector<TStatRun> Runs;
          TStatLauf Lauf{Today - 6 + Day, 2 + Run, 4, 0, 0, 1400 - 90 * Day - 20 * Run};
          for (size_t I = 0; I < Chars.size(); ++I) {
            const int32_t Hard = static_cast<int32_t>((I * 7) % 5);
            const int32_t Wrong = std::max(0, Hard - Day / 2 + (Run == 1 ? 1 : 0)) % 6;
            Runs.push_back({Chars[I], 10, Wrong, 1500 - 80 * Day + 110 * Hard - 30 * Run, 200 + 40 * Hard});
            Lauf.Sent += 10;
            Lauf.Wrong += Wrong;
          }
          Stat.AddRun(Kurs, Runs);
          Stat.AddLauf(Kurs, Lauf);
        }
      }
      Stat.AddVerwechslung(Kurs, Chars[1], Chars[4], 6);
      Stat.AddVerwechslung(Kurs, Chars[3], Chars[2], 4);
      Stat.AddVerwechslung(Kurs, Chars[6], Chars[7], 3);
    };
    Week(1, "tmoeishagfpd");
    F.StatistikItemClick();
    EXPECT_TRUE(StatShot);

    StatShot = false;
    F.LayoutClick(F.View.German);
    ASSERT_EQ(course::Kurs.AlphabetFile, "Deu.txt");
    Week(2, "tmoeishag\xFCrd");
    F.StatistikItemClick();
    EXPECT_TRUE(StatShot);
    EXPECT_EQ(F.StatForm()->windowTitle(), QStringLiteral("Statistik"));
    // The week's figures as a learner exports them, beside the pictures.
    EXPECT_TRUE(ExportStatCsv(F.TypedCopy().Statistik(), (ShotDir + "/statistics.csv").toStdString(), Reporter));
    F.close();
  }
  ResetAll();
}

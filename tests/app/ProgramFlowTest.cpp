// The program's windows wired together, run through exercise 4 with the
// device and the timers fired by hand: the count-down, the groups, the text
// window with the run just sounded, and the question at the end.
#include "app/MainUnit.h"
#include "app/Velm2.h"
#include "course/CourseState.h"
#include "sound/SoundState.h"
#include "storage/StorageState.h"
#include "training/SessionState.h"
#include "windows/MemUnit.h"
#include "storage/Texts.h"

#include "support/ManualTimer.h"
#include "support/RecordingReporter.h"
#include "support/TestWaveDevice.h"
#include "windows/RecordingShell.h"
#include "support/WorkDir.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

void ResetAll() {
  ResetSoundState();
  ResetCourseState();
  ResetStorageState();
  ResetSessionState();
}

QString TextOf(QWidget* W) {
  if (auto* E = qobject_cast<QPlainTextEdit*>(W))
    return E->toPlainText();
  if (auto* E = qobject_cast<QTextEdit*>(W))
    return E->toPlainText();
  return {};
}

} // namespace

TEST(ProgramFlow, ExerciseFourEndsWithItsTextAndTheQuestion) {
  ResetAll();
  TWorkDir Dir;
  Dir.CopyShippedData();
  // Lesson 1, exercise 4 reached; Russian layout.
  Dir.Write("CWK.dat", std::string("\x01\x04\x3C\x17\x1E\x08\x03", 7));

  TTestWaveDevice Device;
  TRecordingReporter Reporter;
  TManualTimer Arb, Timer1, MemTimer;
  TRecordingShell Shell;
  QString Shown;
  {
    TVelm2 Program(Device, Reporter, Arb, Timer1, MemTimer, Shell);
    Shell.WhileModal = [&](QDialog& Window) {
      if (auto* Mem = dynamic_cast<TMemForm*>(&Window))
        Shown = TextOf(Mem->GebText);
    };
    TAForm& F = *Program.AForm;
    F.show();
    F.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&F));
    ASSERT_EQ(course::Kurs.UebNr, 4);
    F.View.StartBtn->click();
    ASSERT_FALSE(training::Sitzung.Idle);
    int Countdown = 0;
    int Sounded = 0;
    for (int Step = 0; Step < 5000 && !training::Sitzung.Idle; ++Step) {
      if (Device.Complete()) {
        ++Sounded;
        continue;
      }
      if (Timer1.Fire()) {
        ++Countdown;
        continue;
      }
      if (!Arb.Fire())
        break;
    }
    EXPECT_TRUE(training::Sitzung.Idle);
    EXPECT_EQ(Countdown, 5);
    EXPECT_EQ(Sounded, course::Kurs.GruppenZahl * 5);
    ASSERT_EQ(Shell.Modal.size(), 1u);
    EXPECT_EQ(Shell.Modal[0], "MemForm");
    // The text of the run: a space, then groups of five, two spaces after each.
    EXPECT_EQ(Shown.size(), 1 + course::Kurs.GruppenZahl * 7);
    EXPECT_TRUE(Shown.startsWith(' '));
    ASSERT_EQ(Reporter.Questions.size(), 1u);
    EXPECT_EQ(Reporter.Questions[0], storage::Texte.MessagesText[2]);
    EXPECT_TRUE(F.View.WeiterBtn->isEnabled())
        << "a No after a run at the furthest lesson passes it";
    F.close();
  }
  ResetAll();
}

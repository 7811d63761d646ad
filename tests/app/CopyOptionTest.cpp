// The typed copy's option through program runs: off and without a file of
// its own at first, kept in "Optionen.dat" once changed, read again by the
// next start-up; the design's files stay as they were.
#include "app/MainUnit.h"
#include "app/Velm2.h"
#include "course/CourseState.h"
#include "sound/SoundState.h"
#include "storage/StatFile.h"
#include "storage/StorageState.h"
#include "training/SessionState.h"
#include "training/TypedCopy.h"
#include "storage/Texts.h"

#include "support/ManualTimer.h"
#include "support/RecordingReporter.h"
#include "support/TestWaveDevice.h"
#include "support/WorkDir.h"
#include "windows/RecordingShell.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void ResetAll() {
  ResetSoundState();
  ResetCourseState();
  ResetStorageState();
  ResetSessionState();
  ClearTexts();
}

// One run of the program: started, Body, closed.
template <class F> void RunProgram(F Body) {
  TTestWaveDevice Device;
  TRecordingReporter Reporter;
  TManualTimer Arb, Timer1, MemTimer;
  TRecordingShell Shell;
  TVelm2 Program(Device, Reporter, Arb, Timer1, MemTimer, Shell);
  TAForm& Form = *Program.AForm;
  Form.show();
  Form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
  ASSERT_TRUE(Form.StartedUp());
  Body(Form);
  Form.close();
  EXPECT_TRUE(Reporter.Messages.empty());
}

TEST(CopyOption, UnusedItWritesNothingChangedItIsKeptForTheNextRun) {
  ResetAll();
  TWorkDir Dir;
  Dir.CopyShippedData();

  RunProgram([](TAForm& Form) {
    EXPECT_FALSE(Form.TypedCopyItem->isChecked());
    EXPECT_FALSE(Form.TypedCopy().On());
  });
  EXPECT_FALSE(QFile::exists(OptionFileName));
  EXPECT_FALSE(QFile::exists(StatFileName));
  EXPECT_TRUE(QFile::exists("CWK.dat"));
  EXPECT_EQ(QFile("CWK.dat").size(), 7);
  ResetAll();

  RunProgram([](TAForm& Form) { Form.TypedCopyItem->trigger(); });
  ASSERT_TRUE(QFile::exists(OptionFileName));
  EXPECT_FALSE(QFile::exists(StatFileName)) << "no run, no statistics";
  EXPECT_EQ(QFile("CWK.dat").size(), 7);
  ResetAll();

  RunProgram([](TAForm& Form) {
    EXPECT_TRUE(Form.TypedCopyItem->isChecked());
    EXPECT_TRUE(Form.TypedCopy().On());
    // Looking at the statistics writes nothing either.
    Form.StatistikItemClick();
  });
  EXPECT_FALSE(QFile::exists(StatFileName));
  ResetAll();
}

} // namespace

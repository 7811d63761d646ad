#include "app/Velm2.h"
#include "app/MainUnit.h"
#include "course/CourseState.h"
#include "sound/SoundState.h"
#include "sound/ThdTimer.h"
#include "sound/WindowTimer.h"
#include "windows/Caption.h"
#include "windows/Gr.h"
#include "windows/MemUnit.h"
#include "windows/about.h"

#include "support/ManualTimer.h"
#include "support/RecordingReporter.h"
#include "support/TestWaveDevice.h"
#include "windows/RecordingShell.h"
#include "support/WorkDir.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

class Program : public ::testing::Test {
protected:
  Program() { ResetSoundState(); }
  ~Program() override { ResetSoundState(); }

  TWorkDir RunDir;
  TTestWaveDevice Device;
  TRecordingReporter Reporter;
  TManualTimer Arb, Timer1, MemTimer;
  TRecordingShell Shell;
};

TEST_F(Program, MakesItsFourWindowsInOrderWithTheirCaptions) {
  TVelm2 Velm2(Device, Reporter, Arb, Timer1, MemTimer, Shell);
  std::vector<std::string> Names, Captions;
  for (QWidget* W : Velm2.Windows) {
    Names.push_back(W->objectName().toStdString());
    Captions.push_back(CaptionOf(W));
  }
  EXPECT_EQ(Names, (std::vector<std::string>{"AForm", "MemForm", "AboutBox", "GrForm"}));
  EXPECT_EQ(Captions, (std::vector<std::string>{"VELM-MTR 2.12", "Text", "About VELM-MTR", ""}));
  EXPECT_EQ(Velm2.Windows[0], Velm2.AForm.get());
  EXPECT_EQ(Velm2.AForm->MemForm(), Velm2.MemForm.get());
  EXPECT_EQ(Velm2.AForm->AboutBox(), Velm2.AboutBox.get());
  EXPECT_EQ(Velm2.AForm->GrForm(), Velm2.GrForm.get());
  // All exist before the event loop; none but the main window is shown by it.
  for (QWidget* W : Velm2.Windows)
    EXPECT_TRUE(W->isHidden()) << W->objectName().toStdString();
  for (QWidget* W :
       {static_cast<QWidget*>(Velm2.MemForm.get()), static_cast<QWidget*>(Velm2.AboutBox.get()),
        static_cast<QWidget*>(Velm2.GrForm.get())})
    EXPECT_TRUE(W->isWindow());
}

TEST_F(Program, TheMenuReachesTheAboutBoxAndTheReplayWindowGetsItsCharacters) {
  TVelm2 Velm2(Device, Reporter, Arb, Timer1, MemTimer, Shell);
  Velm2.AForm->View.ab->trigger();
  EXPECT_EQ(Shell.Modal, (std::vector<std::string>{"AboutBox"}));

  // The replay window plays on the program's player, and the end of each
  // of its characters starts its own timer's pause.
  course::Kurs.KursFolge = "e";
  course::Kurs.BuchFolge = "e";
  sound::Codetafel.Letters = "e";
  sound::Codetafel.Codes[1] = ".";
  course::Folge.UebFolge = {1, 1};
  course::Folge.UebLaenge = 2;
  Velm2.MemForm->FormActivate();
  Velm2.MemForm->MemPlayBtnClick();
  ASSERT_TRUE(MemTimer.Fire());
  EXPECT_FALSE(MemTimer.Enabled());
  ASSERT_TRUE(Device.Complete());
  EXPECT_TRUE(MemTimer.Enabled());
  ResetCourseState();
}

TEST_F(Program, TheMainWindowStaysAsItWasAfterTheAboutBox) {
  TVelm2 Velm2(Device, Reporter, Arb, Timer1, MemTimer, Shell);
  Velm2.AForm->show();
  Velm2.AForm->activateWindow();
  QApplication::processEvents();
  Velm2.AForm->View.SpeedUD->SetPosition(60);
  Velm2.AForm->View.SpeedUD->ClickUp();
  Shell.WhileModal = [](QDialog& Box) { Box.activateWindow(); };
  Velm2.AForm->abClick();
  Velm2.AForm->activateWindow();
  QApplication::processEvents();
  EXPECT_LE(Velm2.AForm->StartUpRequests(), 1);
  EXPECT_EQ(CaptionOf(Velm2.AForm->View.SpeedLB), "65");
}

TEST(RealProgram, MakesItsWindowsOnTheRealPartsWithBothTimersOff) {
  ResetSoundState();
  TVelm2 Velm2;
  ASSERT_EQ(Velm2.Windows.size(), 4u);
  auto* Arb = dynamic_cast<TThreadedTimer*>(&Velm2.AForm->ArbTimer);
  ASSERT_NE(Arb, nullptr);
  EXPECT_FALSE(Arb->Enabled());
  EXPECT_EQ(Arb->ThreadPriority(), TThreadPriority::Lowest);
  auto* Timer1 = dynamic_cast<TWindowTimer*>(&Velm2.AForm->Timer1);
  ASSERT_NE(Timer1, nullptr);
  EXPECT_FALSE(Timer1->Enabled());
  auto* Mem = dynamic_cast<TThreadedTimer*>(&Velm2.MemForm->MemTimer);
  ASSERT_NE(Mem, nullptr);
  EXPECT_FALSE(Mem->Enabled());
  EXPECT_EQ(Mem->ThreadPriority(), TThreadPriority::Normal);
}

} // namespace

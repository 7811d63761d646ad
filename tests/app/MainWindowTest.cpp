#include "app/MainUnit.h"
#include "course/CourseState.h"
#include "sound/SoundState.h"
#include "storage/StorageState.h"
#include "training/SessionState.h"
#include "training/SpeedTest.h"
#include "windows/Caption.h"
#include "windows/Help.h"
#include "storage/Texts.h"
#include "windows/about.h"

#include "support/ManualTimer.h"
#include "support/RecordingReporter.h"
#include "support/TestWaveDevice.h"
#include "support/WorkDir.h"
#include "windows/RecordingShell.h"

#include "MainWindowPlaces.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QStyle>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include <cstring>

namespace {

// Every test starts from the program's state at start-up: reset before the
// window below is made, which takes its captions from the texts in force.
struct TStartUpState {
  TStartUpState() {
    ResetSoundState();
    ResetCourseState();
    ResetSessionState();
    ResetStorageState();
    ClearTexts();
  }
};

class MainWindow : public ::testing::Test {
protected:
  ~MainWindow() override { ResetSoundState(); }

  TStartUpState StartUp;
  // Whatever the window's start-up writes stays out of the build folder.
  TWorkDir RunDir;
  TTestWaveDevice Device;
  TRecordingReporter Reporter;
  TManualTimer Arb;
  TManualTimer Timer1;
  TRecordingShell Shell;
  TAForm Form{Device, Reporter, Arb, Timer1, Shell};
  TMainView& V = Form.View;
};

// ---------------------------------------------------------------------------
// The window and its controls

TEST_F(MainWindow, EveryControlHasItsKindPlaceCaptionAndState) {
  for (const TControl& C : Controls) {
    SCOPED_TRACE(C.Name);
    auto* W = Form.findChild<QWidget*>(C.Name);
    ASSERT_NE(W, nullptr);
    EXPECT_TRUE(C.Kind(W)) << W->metaObject()->className();
    ASSERT_NE(W->parentWidget(), nullptr);
    EXPECT_EQ(W->parentWidget()->objectName().toStdString(), C.Parent);
    if (C.Geometry.isEmpty()) {
      EXPECT_EQ(W->pos(), C.Geometry.topLeft());
    } else {
      EXPECT_EQ(W->geometry(), C.Geometry);
    }
    if (C.Caption != nullptr) {
      EXPECT_EQ(CaptionOf(W), C.Caption);
    }
    EXPECT_EQ(!W->isHidden(), C.Visible);
    EXPECT_EQ(W->isEnabled(), C.Enabled);
    if (C.Checked >= 0) {
      EXPECT_EQ(qobject_cast<QAbstractButton*>(W)->isChecked(), C.Checked == 1);
    }
  }
}

TEST_F(MainWindow, RangesStepsAndPositions) {
  struct TRange {
    TUpDown* UD;
    int Min, Max, Step, Position;
  };
  for (const TRange& R : {TRange{V.SpeedUD, 30, 150, 5, 30}, TRange{V.VerhaltUD, 20, 45, 5, 30},
                          TRange{V.AbstandUD, 10, 60, 5, 10}}) {
    SCOPED_TRACE(R.UD->objectName().toStdString());
    EXPECT_EQ(R.UD->Min(), R.Min);
    EXPECT_EQ(R.UD->Max(), R.Max);
    EXPECT_EQ(R.UD->Increment(), R.Step);
    EXPECT_EQ(R.UD->Position(), R.Position);
    EXPECT_EQ(R.UD->focusPolicy(), Qt::TabFocus) << "reached by Tab";
  }
  EXPECT_EQ(V.TnBar->orientation(), Qt::Vertical);
  EXPECT_EQ(V.TnBar->minimum(), 8);
  EXPECT_EQ(V.TnBar->maximum(), 38);
  EXPECT_EQ(V.TnBar->value(), 23);
  EXPECT_EQ(V.TnBar->tickPosition(), QSlider::TicksBothSides);
  EXPECT_EQ(V.TnBar->tickInterval(), 1);
  EXPECT_EQ(V.TnBar->style()->pixelMetric(QStyle::PM_SliderLength, nullptr, V.TnBar), 12)
      << "thumb";
  EXPECT_EQ(V.FrontBar->minimum(), 0);
  EXPECT_EQ(V.FrontBar->maximum(), 12);
  EXPECT_EQ(V.FrontBar->value(), 6);
  EXPECT_EQ(V.FrontBar->tickPosition(), QSlider::TicksBothSides);
  EXPECT_EQ(V.Scroller1->minimum(), 0);
  EXPECT_EQ(V.Scroller1->maximum(), 1);
  EXPECT_EQ(V.Scroller1->value(), 0);
}

TEST_F(MainWindow, FixedClientAreaFontsAndColours) {
  EXPECT_EQ(Form.objectName(), "AForm");
  EXPECT_EQ(CaptionOf(&Form), "VELM-MTR 2.12");
  // The designed 622 x 293 and the status line under it.
  EXPECT_EQ(Form.centralWidget()->size(), QSize(622, 293 + StatusStripHeight));
  EXPECT_EQ(Form.minimumSize(), Form.maximumSize()) << "no resizing";
  EXPECT_FALSE(Form.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(Form.windowFlags() & Qt::WindowMinimizeButtonHint);
  const QFont Default = Form.centralWidget()->font();
  EXPECT_EQ(Default.family(), "Times New Roman");
  EXPECT_EQ(Default.pixelSize(), 11);
  EXPECT_EQ(V.InfPanel->font().pixelSize(), 13);
  EXPECT_TRUE(V.InfPanel->font().bold());
  EXPECT_EQ(V.KeyPanel->font().pixelSize(), 23);
  EXPECT_EQ(V.KeyPanel->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_EQ(V.GroupLabel->palette().color(QPalette::Window), QColor(0, 128, 0));
  EXPECT_EQ(V.GroupLabel->palette().color(QPalette::WindowText), QColor(Qt::white));
  EXPECT_EQ(V.SpeedLB->palette().color(QPalette::WindowText), QColor(0, 255, 0));
  EXPECT_EQ(V.SpeedLB->palette().color(QPalette::Window), QColor(0, 0, 255));
  EXPECT_EQ(V.SpeedLB->font().pixelSize(), 16);
  EXPECT_EQ(V.IcoPanel->palette().color(QPalette::Window), QColor(0, 128, 0));
  EXPECT_EQ(V.TimePanel->CaptionLabel()->font().pixelSize(), 97);
  // Repeat shows its whole caption and looks different when it cannot be
  // pressed.
  const QFontMetrics Metrics(V.RepBtn->font());
  EXPECT_LE(Metrics.horizontalAdvance(V.RepBtn->text()), V.RepBtn->width() - 4);
  EXPECT_LE(Metrics.height(), V.RepBtn->height());
  EXPECT_NE(V.RepBtn->palette().color(QPalette::Active, QPalette::ButtonText),
            V.RepBtn->palette().color(QPalette::Disabled, QPalette::ButtonText));
  EXPECT_EQ(V.MerkWLabel->palette().color(QPalette::Window), QColor(255, 255, 0));
  EXPECT_TRUE(V.MerkWLabel->wordWrap());
  for (TImage* I : {V.HorIm, V.SprechIm, V.MouseIm, V.SchreibIm, V.Image1, V.Image2})
    EXPECT_FALSE(I->pixmap().isNull()) << I->objectName().toStdString();
  EXPECT_FALSE(V.StartBtn->icon().isNull());
  EXPECT_FALSE(V.WeiterBtn->icon().isNull());
}

TEST_F(MainWindow, MenuItemsTagsRadioGroupAndTheLayoutMenu) {
  struct TItem {
    QAction* Action;
    const char* Name;
    const char* Caption;
    bool Visible;
  };
  for (const TItem& I :
       {TItem{V.MMenu->menuAction(), "MMenu", "Menu", true}, TItem{V.MExit, "MExit", "Exit", true},
        TItem{V.Keyboard1->menuAction(), "Keyboard1", "Keyboard", true},
        TItem{V.TastBelegung1->menuAction(), "TastBelegung1", "Layout", true},
        TItem{V.English, "English", "Englisch", true}, TItem{V.German, "German", "Deutsch", true},
        TItem{V.Russish, "Russish", "Russisch", true},
        TItem{V.Turkish, "Turkish", "Turkisch", true},
        TItem{V.Hilfe1->menuAction(), "Hilfe1", "?", true},
        TItem{V.Contence1, "Contence1", "Help", true}, TItem{V.ab, "ab", "About", true}}) {
    SCOPED_TRACE(I.Name);
    EXPECT_EQ(CaptionOf(I.Action), I.Caption);
    EXPECT_EQ(I.Action->isVisible(), I.Visible);
  }
  EXPECT_TRUE(V.N1->isSeparator());
  EXPECT_TRUE(V.N2->isSeparator());
  // The typed copy and the weak practice (both unchecked), the statistics
  // and the practice come before the separator.
  EXPECT_EQ(V.MMenu->actions(),
            (QList<QAction*>{Form.TypedCopyItem, Form.WeakItem, Form.StatistikItem, Form.PracticeItem, V.N1, V.MExit}));
  EXPECT_EQ(CaptionOf(Form.PracticeItem), "Practice");
  // The practice opens only while the course is idle, as a modal window.
  training::Sitzung.Idle = false;
  Form.PracticeItem->trigger();
  EXPECT_EQ(Form.PracticeForm(), nullptr);
  training::Sitzung.Idle = true;
  Form.PracticeItem->trigger();
  EXPECT_EQ(Shell.Modal.back(), "PracticeForm");
  EXPECT_TRUE(Form.TypedCopyItem->isCheckable());
  EXPECT_FALSE(Form.TypedCopyItem->isChecked());
  EXPECT_TRUE(Form.WeakItem->isCheckable());
  EXPECT_FALSE(Form.WeakItem->isChecked());
  EXPECT_EQ(CaptionOf(Form.StatistikItem), "Statistics");
  EXPECT_EQ(V.Hilfe1->actions(), (QList<QAction*>{V.Contence1, V.N2, V.ab}));
  EXPECT_EQ(V.English->data().toInt(), 601);
  EXPECT_EQ(V.German->data().toInt(), 602);
  EXPECT_EQ(V.Russish->data().toInt(), 603);
  EXPECT_EQ(V.Turkish->data().toInt(), 604);
  EXPECT_TRUE(V.LayoutGroup->isExclusive());
  EXPECT_EQ(V.LayoutGroup->actions().size(), 4);
  EXPECT_TRUE(V.English->isChecked());
  V.Russish->trigger();
  EXPECT_FALSE(V.English->isChecked()) << "one layout at a time";
  // The learner chooses the course from the layout menu: all four are there.
  Form.show();
  EXPECT_TRUE(V.Keyboard1->menuAction()->isVisible());
  EXPECT_TRUE(V.German->isVisible());
  EXPECT_TRUE(V.Turkish->isVisible());
}

// The arrow controls and the track bars are reached by Tab and changed by
// the arrow keys just as by a click; each has a name for a screen reader.
TEST_F(MainWindow, ArrowControlsAndBarsTakeTheFocusAndTheArrowKeys) {
  for (QWidget* W : std::initializer_list<QWidget*>{V.GroupAD, V.LektAD, V.UebAD, V.SpeedUD,
                                                   V.VerhaltUD, V.AbstandUD, V.TnBar, V.FrontBar}) {
    SCOPED_TRACE(W->objectName().toStdString());
    EXPECT_TRUE(W->focusPolicy() & Qt::TabFocus);
    EXPECT_FALSE(W->accessibleName().isEmpty());
  }
  EXPECT_EQ(V.SpeedUD->UpButton()->accessibleName(), "Raise the speed");
  EXPECT_EQ(V.LektAD->DownButton()->accessibleName(), "Previous lesson");
  EXPECT_EQ(V.TnBar->accessibleName(), "Pitch");
  EXPECT_EQ(V.FrontBar->accessibleName(), "Attack");
  EXPECT_EQ(V.SpeedUD->accessibleName(), "Speed");
  EXPECT_EQ(V.LektAD->accessibleName(), "Lektion");
  // Tab goes down the speed panel's arrows, then to the tone panel's bars.
  const auto NextTabStop = [](QWidget* W) {
    do
      W = W->nextInFocusChain();
    while ((W->focusPolicy() & Qt::TabFocus) == 0);
    return W;
  };
  EXPECT_EQ(NextTabStop(V.Scroller1), V.SpeedUD);
  EXPECT_EQ(NextTabStop(V.SpeedUD), V.VerhaltUD);
  EXPECT_EQ(NextTabStop(V.AbstandUD), V.TnBar);
  EXPECT_EQ(NextTabStop(V.TnBar), V.FrontBar);

  V.SpeedUD->SetPosition(60);
  QTest::keyClick(V.SpeedUD, Qt::Key_Up);
  EXPECT_EQ(sound::Klang.Speed, 65);
  EXPECT_EQ(CaptionOf(V.SpeedLB), "65");
  QTest::keyClick(V.SpeedUD, Qt::Key_Down);
  QTest::keyClick(V.SpeedUD, Qt::Key_Down);
  EXPECT_EQ(sound::Klang.Speed, 55);
  QTest::keyClick(V.AbstandUD, Qt::Key_Up);
  EXPECT_EQ(CaptionOf(V.AbstandLB), "x1.5");
  // Another key is not the control's: the position stays.
  QTest::keyClick(V.SpeedUD, Qt::Key_Right);
  QTest::keyClick(V.SpeedUD, Qt::Key_A);
  EXPECT_EQ(sound::Klang.Speed, 55);

  // The spin buttons run their click handlers.
  int Ups = 0, Downs = 0;
  V.GroupAD->OnUpClick = [&] { ++Ups; };
  V.GroupAD->OnDownClick = [&] { ++Downs; };
  QTest::keyClick(V.GroupAD, Qt::Key_Up);
  QTest::keyClick(V.GroupAD, Qt::Key_Down);
  QTest::keyClick(V.GroupAD, Qt::Key_Down);
  EXPECT_EQ(Ups, 1);
  EXPECT_EQ(Downs, 2);

  // The bars move the way the key points: the lowest value is at the top.
  QTest::keyClick(V.TnBar, Qt::Key_Up);
  EXPECT_EQ(V.TnBar->value(), 22);
  EXPECT_EQ(sound::Klang.Ton, 22);
  QTest::keyClick(V.FrontBar, Qt::Key_Down);
  EXPECT_EQ(V.FrontBar->value(), 7);

  // The panel of the control that takes the focus comes to the front.
  Form.HoldStartUp();
  Form.show();
  Form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
  V.TnBar->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(V.Scroller1->value(), 1);
  V.VerhaltUD->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(V.Scroller1->value(), 0);
}

// ---------------------------------------------------------------------------
// Sound controls

TEST_F(MainWindow, SpeedArrowsSetTheSpeedAndRebuildTheElements) {
  SetIntervallAt(IntervallSlot(65), 77);
  V.SpeedUD->SetPosition(60);
  V.SpeedUD->ClickUp();
  EXPECT_EQ(CaptionOf(V.SpeedLB), "65");
  EXPECT_EQ(sound::Klang.Speed, 65);
  EXPECT_EQ(sound::Klang.DotLen, 1017);
  EXPECT_EQ(sound::Klang.Intervall, 77);
  EXPECT_NE(sound::Puffer.DotBuf[100], Silence) << "the dot was synthesised";

  V.SpeedUD->SetPosition(145);
  V.SpeedUD->ClickUp();
  EXPECT_EQ(CaptionOf(V.SpeedLB), "150");
  V.SpeedUD->ClickUp();
  EXPECT_EQ(CaptionOf(V.SpeedLB), "150");
  EXPECT_EQ(sound::Klang.Speed, 150);
  EXPECT_EQ(sound::Klang.DotLen, 441);
  V.SpeedUD->SetPosition(30);
  V.SpeedUD->ClickDown();
  EXPECT_EQ(sound::Klang.Speed, 150) << "nothing moves below the range";
}

TEST_F(MainWindow, RatioAndSpacingShowTenths) {
  V.VerhaltUD->SetPosition(40);
  V.VerhaltUD->ClickUp();
  EXPECT_EQ(CaptionOf(V.VerhLB), "4.5");
  EXPECT_EQ(sound::Klang.Verhalt, 45);
  EXPECT_EQ(sound::Klang.DashLen, 4959); // Round(1102 * 4.5)

  const int32_t Dot = sound::Klang.DotLen;
  V.AbstandUD->SetPosition(55);
  V.AbstandUD->ClickUp();
  EXPECT_EQ(CaptionOf(V.AbstandLB), "x6.0");
  EXPECT_EQ(sound::Klang.Abstand, 60);
  EXPECT_EQ(sound::Klang.DotLen, Dot);
  V.AbstandUD->ClickDown();
  EXPECT_EQ(CaptionOf(V.AbstandLB), "x5.5");

  EXPECT_EQ(TenthsText(10), "1.0");
  EXPECT_EQ(TenthsText(5), "0.5");
}

TEST_F(MainWindow, ToneAndAttackBars) {
  V.TnBar->setValue(8);
  EXPECT_EQ(sound::Klang.Ton, 8);
  V.FrontBar->setValue(12);
  EXPECT_EQ(sound::Klang.Atacke, 1);
  V.FrontBar->setValue(0);
  EXPECT_EQ(sound::Klang.Atacke, 13);
  EXPECT_NE(sound::Puffer.DotBuf[202], Silence) << "the dot was synthesised at the new pitch";
}

TEST_F(MainWindow, SquareWaveSwitchAndBack) {
  Form.show();
  const QPoint OnSwitch = V.Image1->geometry().center();
  QWidget* Client = Form.centralWidget();
  EXPECT_EQ(Client->childAt(OnSwitch), V.Image1);

  QTest::mouseClick(V.Image1, Qt::LeftButton);
  EXPECT_TRUE(sound::Klang.Rechteck);
  EXPECT_EQ(Client->childAt(OnSwitch), V.Image2);
  EXPECT_FALSE(V.FrontBar->isEnabled());
  EXPECT_EQ(V.Label9->palette().color(QPalette::WindowText), QColor(128, 128, 128));
  EXPECT_TRUE(V.Bevel5->Lowered());
  // A square wave: only full swings.
  for (size_t I = 0; I < 100; ++I)
    EXPECT_TRUE(sound::Puffer.DotBuf[I] == Silence || sound::Puffer.DotBuf[I] < 40 || sound::Puffer.DotBuf[I] > 216)
        << I << " " << int(sound::Puffer.DotBuf[I]);

  QTest::mouseClick(V.Image2, Qt::LeftButton);
  EXPECT_FALSE(sound::Klang.Rechteck);
  EXPECT_EQ(Client->childAt(OnSwitch), V.Image1);
  EXPECT_TRUE(V.FrontBar->isEnabled());
  EXPECT_EQ(V.Label9->palette().color(QPalette::WindowText), QColor(Qt::black));
  EXPECT_FALSE(V.Bevel5->Lowered());
}

TEST_F(MainWindow, ScrollerBringsTonePanelOrSpeedPanelToTheFront) {
  Form.show();
  auto InFront = [this](QWidget* Label) {
    const QPoint At = Label->mapTo(V.BdPanel, Label->rect().center());
    QWidget* Top = V.BdPanel->childAt(At);
    return Top == Label || (Top != nullptr && Label->isAncestorOf(Top));
  };
  EXPECT_TRUE(InFront(V.Label6));
  V.Scroller1->setValue(1);
  EXPECT_TRUE(InFront(V.Label3));
  EXPECT_TRUE(InFront(V.Label9));
  EXPECT_TRUE(InFront(V.TnBar));
  EXPECT_FALSE(InFront(V.Label6));
  V.Scroller1->setValue(0);
  EXPECT_TRUE(InFront(V.Label6));
  EXPECT_TRUE(InFront(V.Label7));
  EXPECT_TRUE(InFront(V.Label10));
  EXPECT_FALSE(InFront(V.Label3));
}

// ---------------------------------------------------------------------------
// Menu

TEST_F(MainWindow, ExitClosesTheWindowThroughTheCloseSequence) {
  Form.HoldStartUp();
  Form.show();
  V.MExit->trigger();
  EXPECT_FALSE(Form.isVisible());
  EXPECT_TRUE(Form.ClosedDown());
}

TEST_F(MainWindow, AboutShowsTheAboutBoxModally) {
  V.ab->trigger(); // before the box exists: nothing
  EXPECT_TRUE(Shell.Modal.empty());
  TAboutBox Box(Shell, &Form);
  Form.SetAboutBox(&Box);
  V.ab->trigger();
  EXPECT_EQ(Shell.Modal, (std::vector<std::string>{"AboutBox"}));
}

TEST_F(MainWindow, HelpShowsTheContentsOrSaysTheFileIsMissing) {
  TWorkDir Dir;
  V.Contence1->trigger();
  ASSERT_NE(Form.HelpWindow(), nullptr);
  EXPECT_TRUE(Form.HelpWindow()->isVisible());
  EXPECT_TRUE(Form.HelpWindow()->Browser()->toPlainText().contains("not found"));

  Dir.Write("VELMHelp.html", "<html><body><p>Lessons and exercises</p></body></html>");
  SetApplicationHelpFile("VELMHelp.html");
  V.Contence1->trigger();
  EXPECT_TRUE(Form.HelpWindow()->Browser()->toPlainText().contains("Lessons and exercises"));
  EXPECT_FALSE(Form.HelpWindow()->testAttribute(Qt::WA_QuitOnClose));
}

TEST_F(MainWindow, StartUpRunsAtTheFirstActivationOnly) {
  Form.show();
  Form.activateWindow();
  QTRY_COMPARE(Form.StartUpRequests(), 1);
  EXPECT_TRUE(Form.StartedUp() || Form.ClosedDown()) << "the start-up ran";
  QEvent Again(QEvent::ActivationChange);
  QApplication::sendEvent(&Form, &Again);
  EXPECT_EQ(Form.StartUpRequests(), 1);
}

// ---------------------------------------------------------------------------
// The end of a block: the speed test on the window's timer

using Playback = MainWindow;

TEST_F(Playback, TheSpeedTestTakesTheCompletionWhileItRuns) {
  storage::Kund.SprachNr = 1;
  sound::Codetafel.Letters = "paris";
  for (size_t P = 1; P <= 5; ++P)
    sound::Codetafel.Codes[P] = ".-";
  Form.SpeedTest().TestBtnClick();
  ASSERT_TRUE(Arb.Fire());
  EXPECT_FALSE(Arb.Enabled());
  ASSERT_TRUE(Device.Complete());
  EXPECT_TRUE(Arb.Enabled()) << "the test paces its next character";
  Form.SpeedTest().TestBtnClick(); // stop
  EXPECT_FALSE(Arb.Enabled());
}

} // namespace

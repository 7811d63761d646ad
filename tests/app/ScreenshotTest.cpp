#include "app/MainUnit.h"
#include "course/CourseState.h"
#include "storage/StorageState.h"
#include "training/SessionState.h"
#include "sound/SoundState.h"
#include "windows/Caption.h"
#include "windows/Fonts.h"
#include "windows/Gr.h"
#include "windows/Help.h"
#include "windows/MainView.h"
#include "windows/about.h"
#include "storage/Texts.h"

#include "support/ManualTimer.h"
#include "support/RecordingReporter.h"
#include "support/TestWaveDevice.h"
#include "windows/RecordingShell.h"
#include "support/WorkDir.h"

#include "MainWindowPlaces.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

#include <functional>

// Renders the windows offscreen, checks that they show something, and keeps
// the pictures in screenshots/ of the build's test folder for looking at.
namespace {

// In the folder the tests were started in, whatever folder a test works in.
const QString ShotDir = QDir::current().absoluteFilePath(QStringLiteral("screenshots"));

QString Keep(QWidget& Window, const char* Name) {
  QDir().mkpath(ShotDir);
  const QString Path = QDir(ShotDir).absoluteFilePath(QString::fromLatin1(Name));
  Window.grab().save(Path);
  return Path;
}

// Distinct colours in the picture: a blank window has one or two.
int Colours(const QImage& Image) {
  QSet<QRgb> Seen;
  for (int Y = 0; Y < Image.height(); Y += 2)
    for (int X = 0; X < Image.width(); X += 2)
      Seen.insert(Image.pixel(X, Y));
  return static_cast<int>(Seen.size());
}

// Share of the picture's pixels with this colour, in percent.
double Share(const QImage& Image, const QRect& Area, QColor Colour) {
  int Hits = 0;
  for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
    for (int X = Area.left(); X <= Area.right(); ++X)
      Hits += QColor(Image.pixel(X, Y)) == Colour ? 1 : 0;
  return 100.0 * Hits / (Area.width() * Area.height());
}

class Screenshot : public ::testing::Test {
protected:
  Screenshot() {
    ResetSoundState();
    InstallFontSubstitutes();
  }
  ~Screenshot() override { ResetSoundState(); }
  TTestWaveDevice Device;
  TRecordingReporter Reporter;
  TManualTimer Arb, Timer1;
  TRecordingShell Shell;
};

TEST_F(Screenshot, MainWindow) {
  TAForm Form(Device, Reporter, Arb, Timer1, Shell);
  // The window as built, before any start-up.
  Form.HoldStartUp();
  CreateKeys(Form.View);
  Form.show();
  const QImage Image(Keep(Form, "main-window.png"));
  ASSERT_FALSE(Image.isNull());
  EXPECT_EQ(Image.size(), Form.size());
  EXPECT_GT(Colours(Image), 50);
  // The exercise pictures panel is green, the mnemonic field yellow.
  const QPoint Client = Form.centralWidget()->pos();
  const QPoint Icons = Client + ClientRect("IcoPanel").topLeft();
  EXPECT_GT(Share(Image, QRect(Icons + QPoint(2, 2), QSize(20, 20)), QColor(0, 128, 0)), 20.0);
  const QPoint Mnemonic = Client + ClientRect("MerkWLabel").topLeft();
  EXPECT_GT(Share(Image, QRect(Mnemonic + QPoint(6, 4), QSize(20, 10)), QColor(255, 255, 0)), 90.0);

  // The tone panel, square wave on, and a hover aid shown.
  Form.View.Scroller1->setValue(1);
  EXPECT_GT(Colours(QImage(Keep(Form, "main-window-sine.png"))), 50);
  Form.Image1Click();
  SetCharset(Form.View.KeyPanel, RUSSIAN_CHARSET);
  TMButton* Key = Form.View.NeuTasten[0];
  Key->setEnabled(true);
  Key->show();
  Key->move(130, Key->y());
  SetCaption(Key, "\xE0");
  Key->SetMCode(".-");
  Key->CMMouseEnter();
  // The pictures of exercise 4 on the red of a running session.
  TMainView& V = Form.View;
  V.IcoPanel->SetColor(QColor(255, 0, 0));
  V.MouseIm->hide();
  V.HorIm->move(36, 3);
  V.SprechIm->move(75, 3);
  V.SchreibIm->show();
  EXPECT_GT(Colours(QImage(Keep(Form, "main-window-tone.png"))), 50);
}

// Every course after exercise 2 of lesson 1 passed: the window's own
// captions in the course's language, and the status line saying where
// "Weiter" leads. In English also a stop during a correction, which gives
// the large keys back, and the run of exercise 4 that introduces the new
// characters, answered No.
TEST_F(Screenshot, EveryCourseSaysWhatAPassDecided) {
  for (const char Sprache : {'\x01', '\x02', '\x03', '\x04'}) {
    ResetCourseState();
    ResetStorageState();
    ResetSessionState();
    TWorkDir Dir;
    Dir.CopyShippedData();
    Dir.Write("CWK.dat", std::string("\x01\x02\x3C\x17\x1E\x08", 6) + Sprache);
    TAForm Form(Device, Reporter, Arb, Timer1, Shell);
    Form.show();
    Form.FormActivate();
    ASSERT_TRUE(Form.StartedUp());
    TMainView& V = Form.View;
    V.TimeCB->setChecked(false);
    // Runs the exercise, answering each question with the key Pick gives.
    auto Run = [&](const std::function<TMButton*()>& Pick, int MaxAnswers) {
      for (int Step = 0; Step < 20000 && !training::Sitzung.Idle; ++Step) {
        if (Device.Complete() || (Arb.Enabled() && Arb.Fire()) ||
            (Timer1.Enabled() && Timer1.Fire()))
          continue;
        if (MaxAnswers == 0)
          return;
        Pick()->Click();
        if (--MaxAnswers == 0)
          return;
      }
    };
    auto RightKey = [&V]() -> TMButton* {
      const int32_t P = course::Folge.UebFolge[static_cast<size_t>(training::Sitzung.UebPos)];
      return V.NeuTasten[static_cast<size_t>(P) - 1];
    };
    if (Sprache == '\x01') {
      // A wrong answer, then Stop while the right one is shown.
      V.StartBtn->click();
      Run([&]() -> TMButton* { return V.NeuTasten[RightKey() == V.NeuTasten[0] ? 1 : 0]; }, 1);
      ASSERT_GT(training::Sitzung.KorrZaehler, 0);
      Keep(Form, "stop-correction-before.png");
      V.StartBtn->click();
      ASSERT_TRUE(V.R1Panel->isEnabled());
      Keep(Form, "stop-correction-after.png");
    }
    V.StartBtn->click();
    Run(RightKey, -1);
    ASSERT_TRUE(training::Sitzung.Idle);
    // What the pass decided, then the run's median reaction.
    const std::string Said = CaptionOf(V.StatusLabel);
    EXPECT_EQ(Said.substr(0, StatusLineText(StatusPassedLesson1).size()), StatusLineText(StatusPassedLesson1));
    const std::string Reaction = StatistikLineText(StatReactionMedian);
    EXPECT_NE(Said.find(Reaction.substr(0, Reaction.find("%1"))), std::string::npos) << Said;
    const char* Names[] = {"", "status-lesson1-eng.png", "status-lesson1-deu.png",
                           "status-lesson1-rus.png", "status-lesson1-tur.png"};
    EXPECT_GT(Colours(QImage(Keep(Form, Names[static_cast<int>(Sprache)]))), 50);
    if (Sprache == '\x01') {
      V.WeiterBtn->click();
      ASSERT_EQ(course::Kurs.UebNr, 4);
      ASSERT_TRUE(course::Folge.NeuVorn);
      course::Kurs.GruppenZahl = 2;
      Reporter.DefaultAnswer = false;
      V.StartBtn->click();
      Run(RightKey, 0);
      ASSERT_TRUE(training::Sitzung.Idle);
      EXPECT_EQ(CaptionOf(V.StatusLabel), StatusLineText(StatusIntroNo));
      Keep(Form, "status-introduction-no.png");
    }
    Form.close();
  }
  ResetCourseState();
  ResetStorageState();
  ResetSessionState();
}

// After the start-up of a first run in a folder with the shipped files: the
// Russian layout, its keys and the texts of Russian.lng.
TEST_F(Screenshot, MainWindowAfterStartUp) {
  TWorkDir Dir;
  Dir.CopyShippedData();
  ResetCourseState();
  ResetStorageState();
  ResetSessionState();
  {
    TAForm Form(Device, Reporter, Arb, Timer1, Shell);
    Form.show();
    Form.FormActivate();
    ASSERT_TRUE(Form.StartedUp());
    EXPECT_TRUE(Reporter.Messages.empty());
    const QImage Image(Keep(Form, "main-window-started.png"));
    ASSERT_FALSE(Image.isNull());
    EXPECT_GT(Colours(Image), 50);
  }
  ResetCourseState();
  ResetStorageState();
  ResetSessionState();
}

TEST_F(Screenshot, AboutBox) {
  TAboutBox Box(Shell);
  Box.show();
  const QImage Image(Keep(Box, "about-box.png"));
  ASSERT_FALSE(Image.isNull());
  EXPECT_EQ(Image.size(), QSize(364, 214));
  EXPECT_GT(Colours(Image), 50);
  // The yellow links are drawn.
  EXPECT_GT(Share(Image, Box.MailL->geometry(), QColor(255, 255, 0)), 3.0);
}

TEST_F(Screenshot, CongratulationWindow) {
  TGrForm Form;
  Form.show();
  const QImage Image(Keep(Form, "congratulation.png"));
  ASSERT_FALSE(Image.isNull());
  EXPECT_EQ(Image.size(), QSize(389, 145));
  EXPECT_GT(Colours(Image), 10);
  const QRect All = Image.rect();
  EXPECT_GT(Share(Image, All, QColor(0, 0, 128)), 40.0);
  EXPECT_GT(Share(Image, All, QColor(255, 0, 0)), 3.0) << "red text on navy";
}

TEST_F(Screenshot, HelpWindowOfEveryLanguage) {
  const QString Data = QStringLiteral(VELM_SOURCE_DIR "/data");
  const QString Old = QDir::currentPath();
  const QString Shots = QDir("screenshots").absolutePath();
  QDir().mkpath(Shots);
  for (const char* Page : {"Eng", "Deu", "Rus", "Tur"}) {
    SCOPED_TRACE(Page);
    QDir::setCurrent(Data);
    THelpWindow Help;
    Help.ShowContents(std::string("VELMHelp") + Page + ".html");
    QDir::setCurrent(Old);
    EXPECT_FALSE(Help.Source().isEmpty());
    EXPECT_TRUE(Help.Browser()->toPlainText().contains("CWK.dat"));
    EXPECT_GT(Colours(QImage(Keep(Help, (std::string("help-") + Page + ".png").c_str()))), 10);
  }
}

} // namespace

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

#include "support/ManualTimer.h"
#include "support/RecordingReporter.h"
#include "support/TestWaveDevice.h"
#include "windows/RecordingShell.h"
#include "support/WorkDir.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

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
  EXPECT_GT(Share(Image, QRect(Client + QPoint(136 + 150, 8 + 10), QSize(20, 20)), QColor(0, 128, 0)), 20.0);
  EXPECT_GT(Share(Image, QRect(Client + QPoint(136 + 110, 72 + 36), QSize(20, 10)), QColor(255, 255, 0)), 90.0);

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

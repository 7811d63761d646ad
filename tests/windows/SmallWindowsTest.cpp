#include "windows/Caption.h"
#include "windows/Gr.h"
#include "windows/Help.h"
#include "windows/MemUnit.h"
#include "windows/QtReporter.h"
#include "windows/about.h"

#include "support/ManualTimer.h"
#include "windows/RecordingShell.h"
#include "support/WorkDir.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QColor TextColour(const QWidget* W) { return W->palette().color(QPalette::WindowText); }

void ClickAt(QWidget* W, QPoint At) {
  QMouseEvent Press(QEvent::MouseButtonPress, At, W->mapToGlobal(At), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(W, &Press);
  QMouseEvent Release(QEvent::MouseButtonRelease, At, W->mapToGlobal(At), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(W, &Release);
}

bool Centred(const QWidget* Link, const QWidget* Box) {
  return Link->x() == Box->width() / 2 - Link->width() / 2;
}

TEST(AboutBox, LooksAndTitleWithItsShadow) {
  TRecordingShell Shell;
  TAboutBox Box(Shell);
  EXPECT_EQ(Box.objectName(), "AboutBox");
  EXPECT_EQ(CaptionOf(&Box), "About VELM-MTR");
  EXPECT_EQ(Box.size(), QSize(364, 214));
  EXPECT_TRUE(Box.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(Box.palette().color(QPalette::Window), QColor(208, 112, 0));
  EXPECT_EQ(Box.Image2->geometry(), Box.rect());
  EXPECT_EQ(Box.Image1->geometry(), QRect(32, 32, 33, 33));
  EXPECT_FALSE(Box.Image2->pixmap().isNull());

  EXPECT_EQ(CaptionOf(Box.Label2), " VELM-MTR 2.12");
  EXPECT_EQ(CaptionOf(Box.Label1), " VELM-MTR 2.1");
  EXPECT_EQ(TextColour(Box.Label2), QColor(Qt::white));
  EXPECT_EQ(TextColour(Box.Label1), QColor(0, 0, 255));
  EXPECT_EQ(Box.Label1->geometry(), QRect(66, 24, 249, 41));
  EXPECT_EQ(Box.Label2->pos(), QPoint(64, 24));
  EXPECT_EQ(Box.Label2->font().pixelSize(), 35);
  EXPECT_TRUE(Box.Label2->font().bold() && Box.Label2->font().italic());
  // The white title is in front of its shadow.
  const QObjectList& Children = Box.children();
  EXPECT_GT(Children.indexOf(Box.Label2), Children.indexOf(Box.Label1));
  EXPECT_EQ(Box.NoticeLabel->pos(), QPoint(81, 88));
  EXPECT_FALSE(CaptionOf(Box.NoticeLabel).empty());
}

TEST(AboutBox, LinksAreYellowCentredAndBelowTheNotice) {
  TRecordingShell Shell;
  TAboutBox Box(Shell);
  ASSERT_NE(Box.MailL, nullptr);
  ASSERT_NE(Box.UrlL, nullptr);
  EXPECT_EQ(CaptionOf(Box.MailL), std::string("Mailto: ") + TAboutBox::ContactMail);
  EXPECT_EQ(CaptionOf(Box.UrlL), std::string("Url: ") + TAboutBox::HomePage);
  EXPECT_EQ(Box.MailL->y(), Box.NoticeLabel->y() + 25);
  EXPECT_EQ(Box.UrlL->y(), Box.NoticeLabel->y() + 50);
  for (TMLabel* Link : {Box.MailL, Box.UrlL}) {
    EXPECT_EQ(TextColour(Link), QColor(255, 255, 0));
    EXPECT_EQ(Link->font().family(), Box.NoticeLabel->font().family());
    EXPECT_EQ(Link->font().pixelSize(), Box.NoticeLabel->font().pixelSize());
    EXPECT_EQ(Link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(Centred(Link, &Box));
  }
}

TEST(AboutBox, LinksAreCentredWhateverTheirLength) {
  TRecordingShell Shell;
  TAboutBox Short(Shell, nullptr, "a@b.c", "x");
  TAboutBox Long(Shell, nullptr, "a-rather-long-contact-address@example.org", "https://www.example.org/a/b/c/d");
  for (TAboutBox* Box : {&Short, &Long}) {
    EXPECT_TRUE(Centred(Box->MailL, Box));
    EXPECT_TRUE(Centred(Box->UrlL, Box));
  }
  EXPECT_LT(Short.MailL->width(), Long.MailL->width());
}

TEST(AboutBox, HoverAndClicksPlayTheSoundAndOpenTheAddressWithoutClosing) {
  TRecordingShell Shell;
  TAboutBox Box(Shell);
  Box.show();
  QEnterEvent Enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QApplication::sendEvent(Box.MailL, &Enter);
  EXPECT_EQ(TextColour(Box.MailL), QColor(0, 0, 128));
  QEvent Leave(QEvent::Leave);
  QApplication::sendEvent(Box.MailL, &Leave);
  EXPECT_EQ(TextColour(Box.MailL), QColor(255, 255, 0));

  ClickAt(Box.MailL, QPoint(2, 2));
  ClickAt(Box.UrlL, QPoint(2, 2));
  EXPECT_EQ(Shell.Sounds, (std::vector<std::string>{"Reload.wav", "Reload.wav", "Reload.wav"}));
  EXPECT_EQ(Shell.Opened,
            (std::vector<std::string>{std::string("mailto:") + TAboutBox::ContactMail, TAboutBox::HomePage}));
  EXPECT_TRUE(Box.isVisible());
}

TEST(AboutBox, AClickOnTheBackgroundOrTheTitleCloses) {
  TRecordingShell Shell;
  TAboutBox Box(Shell);
  Shell.WhileModal = [&Box](QDialog&) { ClickAt(Box.Image2, QPoint(350, 200)); };
  Shell.ShowModal(Box);
  EXPECT_FALSE(Shell.WasVisibleAfter);
  EXPECT_EQ(Box.result(), QDialog::Accepted);
  // The title lets the click through to the picture beneath.
  Box.show();
  const QPoint OnTitle = Box.Label2->geometry().center();
  EXPECT_NE(Box.childAt(OnTitle), Box.Label2);
  EXPECT_EQ(Box.childAt(OnTitle), Box.Image2);
  EXPECT_TRUE(Shell.Sounds.empty());
}

TEST(AboutBox, OpensWithoutTheSoundFile) {
  TWorkDir Dir;  // no Reload.wav here
  TQtShell Real;
  Real.PlaySoundAsync("Reload.wav");  // plays nothing and returns
  TAboutBox Box(Real);
  Box.show();
  EXPECT_TRUE(Box.isVisible());
}

TEST(GrForm, ShowsTheCongratulationInCyrillicAndClosesOnAClick) {
  TGrForm Form;
  EXPECT_EQ(Form.objectName(), "GrForm");
  EXPECT_EQ(CaptionOf(&Form), "");
  EXPECT_EQ(Form.size(), QSize(389, 145));
  EXPECT_TRUE(Form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(Form.palette().color(QPalette::Window), QColor(0, 0, 128));
  EXPECT_EQ(Form.Label1->geometry(), Form.rect());
  EXPECT_TRUE(Form.Label1->wordWrap());
  EXPECT_EQ(TextColour(Form.Label1), QColor(255, 0, 0));
  EXPECT_EQ(Form.Label1->font().pixelSize(), 24);
  EXPECT_EQ(CharsetOf(Form.Label1), RUSSIAN_CHARSET);

  const std::string Bytes = CaptionOf(Form.Label1);
  EXPECT_EQ(Bytes.size(), 147u);
  EXPECT_EQ(Bytes.substr(0, 15), "        VELM  \xEF");
  EXPECT_EQ(Bytes.back(), ' ');
  const QString Text = Form.Label1->text();
  EXPECT_EQ(Text.size(), 147);
  EXPECT_TRUE(Text.contains(QString::fromUtf8("поздравляет Вас!       Вы изучили")));
  EXPECT_TRUE(Text.endsWith(QString::fromUtf8("над скоростью. ")));

  TRecordingShell Shell;
  Shell.WhileModal = [&Form](QDialog&) { ClickAt(Form.Label1, QPoint(100, 70)); };
  Shell.ShowModal(Form);
  EXPECT_FALSE(Shell.WasVisibleAfter);
}

TEST(MemForm, HasItsControlsAndUsesTheTimerItIsGiven) {
  TManualTimer Timer;
  TMemForm Form(nullptr, &Timer);
  EXPECT_EQ(Form.objectName(), "MemForm");
  EXPECT_EQ(CaptionOf(&Form), "Text");
  EXPECT_EQ(&Form.MemTimer, &Timer);
  for (const char* Name : {"GebEdit", "GebText", "MemClBtn", "MemPlayBtn", "MemPausBtn", "Label1", "SPLabel",
                           "SPSpeed", "Bevel1"})
    EXPECT_NE(Form.findChild<QWidget*>(Name), nullptr) << Name;
  EXPECT_EQ(CaptionOf(Form.MemClBtn), "Close");
  EXPECT_EQ(CaptionOf(Form.MemPlayBtn), "Geben");
  EXPECT_EQ(CaptionOf(Form.MemPausBtn), "Pause");
  EXPECT_EQ(CaptionOf(Form.Label1), "Speed");
  EXPECT_TRUE(Form.GebEdit->isReadOnly());
  EXPECT_TRUE(Form.GebText->isReadOnly());
  EXPECT_EQ(Form.GebText->size(), QSize(360, 201));
  EXPECT_TRUE(Form.MemPausBtn->isCheckable());
  EXPECT_EQ(Form.MemPlayBtn->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(Form.MemPausBtn->focusPolicy(), Qt::NoFocus);
}

TEST(MemForm, MakesItsOwnDisabledTimer) {
  TMemForm Form;
  EXPECT_FALSE(Form.MemTimer.Enabled());
}

TEST(Help, ShowsTheContentsPageOfTheFileFoundWhateverItsCase) {
  TWorkDir Dir;
  Dir.Write("velmhelp.HTML", "<html><body><h1>Contents</h1><p>Help text</p></body></html>");
  THelpWindow Help;
  Help.ShowContents("VELMHelp.html");
  EXPECT_TRUE(Help.isVisible());
  EXPECT_FALSE(Help.Source().isEmpty());
  EXPECT_TRUE(Help.Browser()->toPlainText().contains("Help text"));
}

TEST(Help, SaysSoWhenTheFileIsMissing) {
  TWorkDir Dir;
  THelpWindow Help;
  Help.ShowContents("VELMHelp.html");
  EXPECT_TRUE(Help.isVisible());
  EXPECT_TRUE(Help.Source().isEmpty());
  EXPECT_TRUE(Help.Browser()->toPlainText().contains("VELMHelp.html"));
  EXPECT_TRUE(Help.Browser()->toPlainText().contains("not found"));
}

// One page per interface language, each telling the four exercises, how to
// choose the course, the mnemonic rule and where progress is kept.
TEST(Help, TheShippedHelpFilesDescribeTheExercisesCoursesAndFiles) {
  struct TPage {
    const char* File;
    const char* Exercise; // "Exercise 1" in the page's language
    const char* MerkFile;
  };
  for (const TPage& P : {TPage{"VELMHelpEng.html", "Exercise ", "EngMerkW.txt"},
                         TPage{"VELMHelpDeu.html", "\xC3\x9C" "bung ", "DeuMerkW.txt"},
                         TPage{"VELMHelpRus.html", "\xD0\x97\xD0\xB0\xD0\xB4\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB5 ",
                               "RusMerkW.txt"},
                         TPage{"VELMHelpTur.html", "Al\xC4\xB1\xC5\x9Ft\xC4\xB1rma ", "TurMerkW.txt"}}) {
    SCOPED_TRACE(P.File);
    QFile F(QStringLiteral(VELM_SOURCE_DIR "/data/") + QString::fromLatin1(P.File));
    ASSERT_TRUE(F.open(QIODevice::ReadOnly));
    const QString Html = QString::fromUtf8(F.readAll());
    for (int N = 1; N <= 4; ++N)
      EXPECT_TRUE(Html.contains(QString::fromUtf8(P.Exercise) + QString::number(N))) << N;
    for (const char* Needed : {"CWK.dat", "Int.mtr", "LD.dat", "~/.local/share/velm-mtr",
                               "name=\"contents\"", "name=\"course\"", "name=\"mnemonics\"",
                               "name=\"sound\"", P.MerkFile, P.File})
      EXPECT_TRUE(Html.contains(QString::fromLatin1(Needed))) << Needed;
  }
}

// A box opened by the reporter, answered by a click once it is up.
void AnswerNextBox(QMessageBox::StandardButton Button, QString* Text) {
  QTimer::singleShot(0, [Button, Text] {
    auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(Box, nullptr);
    *Text = Box->text();
    Box->button(Button)->click();
  });
}

TEST(MessageReporter, ShowsTheBytesInTheLayoutsCharacterSetAndAnswersYesOrNo) {
  QApplication::setApplicationName("VELM-MTR 2.1");
  TQtMessageReporter Reporter;
  QString Shown;
  AnswerNextBox(QMessageBox::Ok, &Shown);
  Reporter.ShowMessage("File is not found!");
  EXPECT_EQ(Shown, "File is not found!");

  Reporter.SetCharset(RUSSIAN_CHARSET);
  AnswerNextBox(QMessageBox::Yes, &Shown);
  EXPECT_TRUE(Reporter.AskYesNo("\xC4\xE0?\n\r\xCD\xE5\xF2"));
  EXPECT_EQ(Shown, QString::fromUtf8("Да?\nНет"));
  AnswerNextBox(QMessageBox::No, &Shown);
  EXPECT_FALSE(Reporter.AskYesNo("x"));
}

// The question with a proposed answer: Enter takes the default button.
TEST(MessageReporter, AQuestionWithADefaultAnswersItWithEnter) {
  TQtMessageReporter Reporter;
  for (const bool DefaultYes : {true, false}) {
    QTimer::singleShot(0, [] {
      auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(Box, nullptr);
      QTest::keyClick(Box, Qt::Key_Return);
    });
    EXPECT_EQ(Reporter.AskYesNoDefault("Mark?", DefaultYes), DefaultYes);
  }
}

} // namespace

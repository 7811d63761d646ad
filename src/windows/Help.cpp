#include "windows/Help.h"

#include "sound/BareFile.h"
#include "windows/Pictures.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
std::string HelpFileName = "VELMHelp.html";
} // namespace

void SetApplicationHelpFile(const std::string& Name) { HelpFileName = Name; }
const std::string& ApplicationHelpFile() { return HelpFileName; }

THelpWindow::THelpWindow(QWidget* Parent) : QWidget(Parent, Qt::Window), FBrowser(new QTextBrowser(this)) {
  setObjectName("HelpWindow");
  setWindowTitle(QApplication::applicationName() + QStringLiteral(" - Help"));
  setWindowIcon(EmblemPicture());
  FBrowser->setObjectName("HelpBrowser");
  FBrowser->setOpenExternalLinks(true);
  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->addWidget(FBrowser);
  resize(640, 520);
}

void THelpWindow::ShowContents(const std::string& HelpFile) {
  const std::optional<std::string> Found = FindBareFile(HelpFile);
  const QFileInfo Info(Found ? QDir::current().absoluteFilePath(QString::fromLocal8Bit(Found->c_str()))
                             : QString());
  if (Found && Info.isReadable()) {
    FSource = Info.absoluteFilePath();
    // The contents page is the file itself; read it afresh even when it is
    // shown already.
    const QUrl Contents = QUrl::fromLocalFile(FSource);
    if (FBrowser->source() == Contents) {
      FBrowser->reload();
    } else {
      FBrowser->setSource(Contents);
    }
    FBrowser->clearHistory();
  } else {
    FSource.clear();
    FBrowser->clearHistory();
    FBrowser->setPlainText(QStringLiteral("The help file \"%1\" was not found in the folder %2.")
                               .arg(QString::fromLocal8Bit(HelpFile.c_str()),
                                    QDir::toNativeSeparators(QDir::currentPath())));
  }
  show();
  raise();
  activateWindow();
}

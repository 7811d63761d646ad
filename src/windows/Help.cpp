#include "windows/Help.h"

#include "base/BareFile.h"
#include "windows/Pictures.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QVBoxLayout>


namespace {
std::string HelpFileName = "VELMHelpEng.html";

QString HtmlText(const QByteArray& Bytes) {
  QStringDecoder Decoder(QStringConverter::encodingForHtml(Bytes).value_or(QStringConverter::Utf8));
  return Decoder.decode(Bytes);
}

QString Shown(const std::string& Path) { return QFile::decodeName(QByteArray::fromStdString(Path)); }
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
  // Read by the path's own bytes: through Qt a folder name that is not UTF-8
  // would be decoded lossily and the file missed.
  const std::optional<std::string> Bytes = Found ? ReadFileBytes(*Found) : std::nullopt;
  if (Bytes) {
    FSource = QDir::toNativeSeparators(Shown(*Found));
    // The contents page is read afresh each time, even when it is shown
    // already; its links are anchors within it.
    FBrowser->setHtml(HtmlText(QByteArray::fromStdString(*Bytes)));
    FBrowser->clearHistory();
  } else {
    FSource.clear();
    FBrowser->clearHistory();
    QString Folders = QDir::toNativeSeparators(QDir::currentPath());
    if (!ShippedDataDir().empty())
      Folders += QStringLiteral(" or ") + QDir::toNativeSeparators(Shown(ShippedDataDir().string()));
    FBrowser->setPlainText(QStringLiteral("The help file \"%1\" was not found in the folder %2.")
                               .arg(Shown(HelpFile), Folders));
  }
  show();
  raise();
  activateWindow();
}

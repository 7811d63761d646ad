#include "windows/Shell.h"

#include "base/BareFile.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QSoundEffect>
#include <QTemporaryFile>
#include <QUrl>

#include <filesystem>

TQtShell::TQtShell() = default;
TQtShell::~TQtShell() = default;

QString TQtShell::PlayablePath(const std::string& File) {
  std::error_code Error;
  const std::filesystem::path Absolute = std::filesystem::absolute(File, Error);
  if (Error)
    return {};
#ifdef Q_OS_WIN
  return QString::fromStdWString(Absolute.wstring());
#else
  const QByteArray Bytes = QByteArray::fromStdString(Absolute.native());
  const QString Name = QFile::decodeName(Bytes);
  if (QFile::encodeName(Name) == Bytes)
    return Name;
  // Qt names files by decoded text, which cannot hold every byte a folder
  // name may have: the sound plays from a copy.
  const std::optional<std::string> Sound = ReadFileBytes(File);
  if (!Sound)
    return {};
  FCopy = std::make_unique<QTemporaryFile>();
  if (!FCopy->open() ||
      FCopy->write(Sound->data(), static_cast<qint64>(Sound->size())) !=
          static_cast<qint64>(Sound->size()) ||
      !FCopy->flush())
    return {};
  return FCopy->fileName();
#endif
}

void TQtShell::ShowModal(QDialog& Window) { Window.exec(); }

void TQtShell::PlaySoundAsync(const std::string& Name) {
  const std::optional<std::string> File = FindBareFile(Name);
  if (!File)
    return;
  const QString Path = PlayablePath(*File);
  if (Path.isEmpty())
    return;
  if (!FEffect)
    FEffect = std::make_unique<QSoundEffect>();
  const QUrl Source = QUrl::fromLocalFile(Path);
  FEffect->stop();
  if (FEffect->source() != Source)
    FEffect->setSource(Source);
  FEffect->play();
}

void TQtShell::Open(const std::string& Target) {
  QDesktopServices::openUrl(QUrl(QString::fromLatin1(Target.c_str())));
}

#include "windows/Shell.h"

#include "sound/BareFile.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QSoundEffect>
#include <QUrl>

TQtShell::TQtShell() = default;
TQtShell::~TQtShell() = default;

void TQtShell::ShowModal(QDialog& Window) { Window.exec(); }

void TQtShell::PlaySoundAsync(const std::string& Name) {
  const std::optional<std::string> File = FindBareFile(Name);
  if (!File)
    return;
  if (!FEffect)
    FEffect = std::make_unique<QSoundEffect>();
  const QUrl Source = QUrl::fromLocalFile(QDir::current().absoluteFilePath(QString::fromLocal8Bit(File->c_str())));
  FEffect->stop();
  if (FEffect->source() != Source)
    FEffect->setSource(Source);
  FEffect->play();
}

void TQtShell::Open(const std::string& Target) {
  QDesktopServices::openUrl(QUrl(QString::fromLatin1(Target.c_str())));
}

#include "app/DialogLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

TDialogLanguage::TDialogLanguage(QString Folder)
    : FFolder(Folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath)
                               : std::move(Folder)) {}

TDialogLanguage::~TDialogLanguage() {
  if (FTranslator)
    QCoreApplication::removeTranslator(FTranslator.get());
}

bool TDialogLanguage::Show(const std::string& Language) {
  if (FTranslator) {
    QCoreApplication::removeTranslator(FTranslator.get());
    FTranslator.reset();
  }
  FLanguage.clear();
  if (Language.empty())
    return true;
  auto Translator = std::make_unique<QTranslator>();
  if (!Translator->load(QStringLiteral("qtbase_") + QString::fromStdString(Language), FFolder))
    return false;
  QCoreApplication::installTranslator(Translator.get());
  FTranslator = std::move(Translator);
  FLanguage = Language;
  return true;
}

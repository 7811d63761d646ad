#pragma once

#include <QString>

#include <memory>
#include <string>

class QTranslator;

// The toolkit's own texts (the buttons of message boxes, the standard
// dialogs) in the interface language of the layout in force, from Qt's
// translations of its base module (qtbase_<language>.qm, Debian package
// qt6-translations-l10n). The program's own fixed messages are not touched.
class TDialogLanguage {
public:
  // Translations from Folder; by default the toolkit's own folder.
  explicit TDialogLanguage(QString Folder = {});
  ~TDialogLanguage();
  TDialogLanguage(const TDialogLanguage&) = delete;
  TDialogLanguage& operator=(const TDialogLanguage&) = delete;

  // Language: "de", "ru", "tr", "en" ...; empty for the toolkit's built-in
  // English. The translation in force before is taken back first. False
  // when the translation was not found: the dialogs then speak English.
  bool Show(const std::string& Language);
  // The language whose translation is installed; empty for none.
  const std::string& Language() const { return FLanguage; }

private:
  QString FFolder;
  std::unique_ptr<QTranslator> FTranslator;
  std::string FLanguage;
};

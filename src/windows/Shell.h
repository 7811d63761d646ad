#pragma once

#include <memory>
#include <string>

class QDialog;
class QSoundEffect;
class QString;
class QTemporaryFile;

// What the windows ask of the desktop: to show a window modally, to start a
// short interface sound, and to hand an address to the user's mail program or
// web browser. Behind one interface so that tests answer it without blocking.
class TShell {
public:
  virtual ~TShell() = default;
  // Shows Window modally and returns when it has been closed.
  virtual void ShowModal(QDialog& Window) = 0;
  // Starts playing the sound file Name (bare name in the learner's folder or
  // the shipped data, letter case ignored) and returns at once. A missing or unplayable file
  // plays nothing.
  virtual void PlaySoundAsync(const std::string& Name) = 0;
  // "mailto:..." opens a new message, "http://..." the page.
  virtual void Open(const std::string& Target) = 0;
};

// The real desktop: QDialog::exec, QSoundEffect, QDesktopServices.
class TQtShell final : public TShell {
public:
  TQtShell();
  ~TQtShell() override;
  TQtShell(const TQtShell&) = delete;
  TQtShell& operator=(const TQtShell&) = delete;

  void ShowModal(QDialog& Window) override;
  void PlaySoundAsync(const std::string& Name) override;
  void Open(const std::string& Target) override;

private:
  // Made on the first sound, so that a run that plays none never touches
  // the audio system.
  std::unique_ptr<QSoundEffect> FEffect;
  // The sound found by File's bytes, as a path Qt opens; empty for none.
  QString PlayablePath(const std::string& File);
  // The copy of the last sound whose path Qt could not name.
  std::unique_ptr<QTemporaryFile> FCopy;
};

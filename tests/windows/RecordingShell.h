#pragma once

#include "windows/Shell.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

// A desktop without windows or sound: it writes down what it was asked. A
// modal window is shown, handed to WhileModal (which may click on it), and
// hidden again, so the call returns at once.
class TRecordingShell final : public TShell {
public:
  void ShowModal(QDialog& Window) override {
    Modal.push_back(Window.objectName().toStdString());
    Window.show();
    if (WhileModal)
      WhileModal(Window);
    WasVisibleAfter = Window.isVisible();
    Window.hide();
  }
  void PlaySoundAsync(const std::string& Name) override { Sounds.push_back(Name); }
  void Open(const std::string& Target) override { Opened.push_back(Target); }

  std::function<void(QDialog&)> WhileModal;
  std::vector<std::string> Modal;
  std::vector<std::string> Sounds;
  std::vector<std::string> Opened;
  bool WasVisibleAfter = false;
};

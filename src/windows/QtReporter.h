#pragma once

#include "base/Reporter.h"

#include <cstdint>
#include <string>

class QWidget;

// The message boxes of the program, shown with the application's title. The
// texts are bytes of the active layout's code page; the reporter shows them
// in the character set it was last given (the layout switch sets it).
class TQtMessageReporter final : public TMessageReporter {
public:
  void ShowMessage(const std::string& Text) override;
  bool AskYesNo(const std::string& Text) override;
  bool AskYesNoDefault(const std::string& Text, bool DefaultYes) override;
  void Beep() override;

  uint8_t Charset() const { return FCharset; }
  void SetCharset(uint8_t Value) { FCharset = Value; }

private:
  uint8_t FCharset = 0;  // ANSI_CHARSET
};

// The reporter of an end without the learner: a signal, the end of the
// desktop session, a lost display. Nobody may be there to click, so each
// message is one line on standard error and every question is answered No.
class TStderrReporter final : public TMessageReporter {
public:
  explicit TStderrReporter(uint8_t Charset) : FCharset(Charset) {}
  void ShowMessage(const std::string& Text) override;
  bool AskYesNo(const std::string& Text) override;
  void Beep() override {}

private:
  uint8_t FCharset;
};

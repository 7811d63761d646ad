#pragma once

#include "base/Reporter.h"

#include <deque>
#include <string>
#include <vector>

// A reporter without windows: keeps the texts of its boxes and answers the
// questions from Answers, then with DefaultAnswer.
class TRecordingReporter final : public TMessageReporter {
public:
  void ShowMessage(const std::string& Text) override;
  bool AskYesNo(const std::string& Text) override;
  // Keeps the default button in Defaults, then answers as AskYesNo.
  bool AskYesNoDefault(const std::string& Text, bool DefaultYes) override;
  void Beep() override { ++Beeps; }

  std::vector<std::string> Messages;
  std::vector<std::string> Questions;
  std::vector<bool> Defaults; // of the questions asked with a default button
  std::deque<bool> Answers;
  bool DefaultAnswer = false;
  int Beeps = 0;
};

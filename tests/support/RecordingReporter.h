#pragma once

#include "sound/Reporter.h"

#include <deque>
#include <string>
#include <vector>

// A reporter without windows: keeps the texts of its boxes and answers the
// questions from Answers, then with DefaultAnswer.
class TRecordingReporter final : public TMessageReporter {
public:
  void ShowMessage(const std::string& Text) override;
  bool AskYesNo(const std::string& Text) override;
  void Beep() override { ++Beeps; }

  std::vector<std::string> Messages;
  std::vector<std::string> Questions;
  std::deque<bool> Answers;
  bool DefaultAnswer = false;
  int Beeps = 0;
};

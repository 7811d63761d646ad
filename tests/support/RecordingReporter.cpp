#include "support/RecordingReporter.h"

void TRecordingReporter::ShowMessage(const std::string& Text) { Messages.push_back(Text); }

bool TRecordingReporter::AskYesNo(const std::string& Text) {
  Questions.push_back(Text);
  if (Answers.empty())
    return DefaultAnswer;
  const bool Answer = Answers.front();
  Answers.pop_front();
  return Answer;
}

bool TRecordingReporter::AskYesNoDefault(const std::string& Text, bool DefaultYes) {
  Defaults.push_back(DefaultYes);
  return AskYesNo(Text);
}

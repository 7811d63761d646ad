#pragma once

#include "windows/Controls.h"

#include <QDialog>

// The congratulation window, shown once when the learner reaches the final
// lesson: a borderless navy box with a Russian text; a click on the text
// closes it.
class TGrForm : public QDialog {
public:
  explicit TGrForm(QWidget* Parent = nullptr);

  TClickLabel* Label1;

  void Label1Click();

  // The congratulation in code page 1251 (147 bytes).
  static const char* const Congratulation;

protected:
  void showEvent(QShowEvent* Event) override;
};

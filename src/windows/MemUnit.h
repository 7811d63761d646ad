#pragma once

#include "windows/Controls.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>

class TTickTimer;

// The text replay window: shows the text of a finished group exercise and
// sounds it again at a speed of its own. Shown modally by the session.
class TMemForm : public QDialog {
  // First, so that MemTimer can refer to it.
  std::unique_ptr<TTickTimer> FOwnTimer;

public:
  // MemTimer paces the replay; without one the window makes its own threaded
  // timer (disabled, normal priority).
  explicit TMemForm(QWidget* Parent = nullptr, TTickTimer* Timer = nullptr);
  ~TMemForm() override;

  QLineEdit* GebEdit;       // the characters played so far in the current line
  QPlainTextEdit* GebText;  // the whole text; the group being played is selected
  QPushButton* MemClBtn;
  QPushButton* MemPlayBtn;
  QPushButton* MemPausBtn;  // a toggle
  QLabel* Label1;
  TBevel* Bevel1;
  QLabel* SPLabel;          // the window's speed
  TSpinButton* SPSpeed;
  TTickTimer& MemTimer;

protected:
  void showEvent(QShowEvent* Event) override;
};

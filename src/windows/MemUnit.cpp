#include "windows/MemUnit.h"

#include "sound/ThdTimer.h"
#include "windows/Caption.h"
#include "windows/Fonts.h"
#include "windows/WindowPlace.h"

namespace {
std::unique_ptr<TTickTimer> ReplayTimer(TTickTimer* Given) {
  if (Given != nullptr)
    return nullptr;
  auto Timer = std::make_unique<TThreadedTimer>(nullptr);
  Timer->SetEnabled(false);
  Timer->SetThreadPriority(TThreadPriority::Normal);
  return Timer;
}

template <class T> T* Make(QWidget* Parent, const char* Name, int Left, int Top, int Width, int Height) {
  auto* W = new T(Parent);
  W->setObjectName(Name);
  W->setGeometry(Left, Top, Width, Height);
  return W;
}

QPushButton* Button(QWidget* Parent, const char* Name, int Left, const char* Caption) {
  auto* B = Make<QPushButton>(Parent, Name, Left, 268, 75, 25);
  SetCaption(B, Caption);
  return B;
}
} // namespace

TMemForm::TMemForm(QWidget* Parent, TTickTimer* Timer)
    : QDialog(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), FOwnTimer(ReplayTimer(Timer)),
      MemTimer(Timer != nullptr ? *Timer : *FOwnTimer) {
  setObjectName("MemForm");
  SetCaption(this, "Text");
  // 370 x 327 with its frame and title bar.
  setFixedSize(362, 300);
  setFont(PixelFont("Arial", 12));

  GebEdit = Make<QLineEdit>(this, "GebEdit", 1, 4, 360, 24);
  GebEdit->setReadOnly(true);
  GebText = Make<QPlainTextEdit>(this, "GebText", 1, 32, 360, 201);
  GebText->setReadOnly(true);
  QPalette P = GebText->palette();
  P.setColor(QPalette::Base, QColor(255, 255, 0));
  GebText->setPalette(P);
  // The selection marks the group being played, also without the focus.
  for (QWidget* W : {static_cast<QWidget*>(GebEdit), static_cast<QWidget*>(GebText)}) {
    QPalette S = W->palette();
    S.setColor(QPalette::Inactive, QPalette::Highlight, S.color(QPalette::Active, QPalette::Highlight));
    S.setColor(QPalette::Inactive, QPalette::HighlightedText, S.color(QPalette::Active, QPalette::HighlightedText));
    W->setPalette(S);
  }

  MemPlayBtn = Button(this, "MemPlayBtn", 8, "Geben");
  MemPlayBtn->setFocusPolicy(Qt::NoFocus);
  MemPausBtn = Button(this, "MemPausBtn", 88, "Pause");
  MemPausBtn->setFocusPolicy(Qt::NoFocus);
  MemPausBtn->setCheckable(true);
  MemClBtn = Button(this, "MemClBtn", 279, "Close");

  Label1 = Make<QLabel>(this, "Label1", 176, 240, 80, 16);
  Label1->setAlignment(Qt::AlignHCenter);
  SetCaption(Label1, "Speed");
  Bevel1 = Make<TBevel>(this, "Bevel1", 182, 262, 55, 26);
  SPLabel = Make<QLabel>(this, "SPLabel", 185, 265, 49, 20);
  SPLabel->setFont(PixelFont("Arial", 16, true));
  SPLabel->setAlignment(Qt::AlignCenter);
  QPalette SP = SPLabel->palette();
  SP.setColor(QPalette::WindowText, Qt::white);
  SP.setColor(QPalette::Window, QColor(0, 0, 255));
  SPLabel->setPalette(SP);
  SPLabel->setAutoFillBackground(true);
  SetCaption(SPLabel, "60");
  SPSpeed = Make<TSpinButton>(this, "SPSpeed", 239, 262, 17, 26);
}

TMemForm::~TMemForm() = default;

void TMemForm::showEvent(QShowEvent* Event) {
  CentreOnScreen(*this);
  QDialog::showEvent(Event);
}

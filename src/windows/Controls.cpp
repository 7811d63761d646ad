#include "windows/Controls.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolButton>

#include <algorithm>

namespace {
QToolButton* ArrowButton(QWidget* Parent, Qt::ArrowType Arrow) {
  auto* B = new QToolButton(Parent);
  B->setArrowType(Arrow);
  B->setFocusPolicy(Qt::NoFocus);
  B->setAutoRepeat(true);
  return B;
}

// The Up and Down keys click the arrows, as the mouse does; any other key
// goes on to the window.
bool ClickByKey(QKeyEvent* Event, QToolButton* Up, QToolButton* Down) {
  if (Event->modifiers() & ~Qt::KeypadModifier)
    return false;
  if (Event->key() == Qt::Key_Up)
    Up->click();
  else if (Event->key() == Qt::Key_Down)
    Down->click();
  else
    return false;
  return true;
}

// The arrows in the highlight colour while their control has the focus.
void ShowFocus(QWidget* Owner, QToolButton* Up, QToolButton* Down, bool Focused) {
  for (QToolButton* B : {Up, Down}) {
    if (!Focused) {
      B->setPalette(QPalette());
      continue;
    }
    QPalette P = B->palette();
    P.setColor(QPalette::Button, Owner->palette().color(QPalette::Highlight));
    P.setColor(QPalette::ButtonText, Owner->palette().color(QPalette::HighlightedText));
    B->setPalette(P);
  }
}

void SplitVertically(QWidget* Owner, QToolButton* Top, QToolButton* Bottom) {
  const int H = Owner->height() / 2;
  Top->setGeometry(0, 0, Owner->width(), H);
  Bottom->setGeometry(0, H, Owner->width(), Owner->height() - H);
}
} // namespace

TUpDown::TUpDown(QWidget* Parent)
    : QWidget(Parent), FUp(ArrowButton(this, Qt::UpArrow)), FDown(ArrowButton(this, Qt::DownArrow)) {
  setFocusPolicy(Qt::TabFocus);
  QObject::connect(FUp, &QToolButton::clicked, this, [this] { ClickUp(); });
  QObject::connect(FDown, &QToolButton::clicked, this, [this] { ClickDown(); });
}

void TUpDown::SetPosition(int Value) { FPosition = std::clamp(Value, FMin, FMax); }

void TUpDown::SetRange(int AMin, int AMax) {
  FMin = AMin;
  FMax = std::max(AMin, AMax);
  FPosition = std::clamp(FPosition, FMin, FMax);
}

void TUpDown::Step(int Delta) {
  const int New = std::clamp(FPosition + Delta, FMin, FMax);
  if (New == FPosition)
    return;
  FPosition = New;
  if (OnChanging)
    OnChanging(New);
}

void TUpDown::ClickUp() { Step(FIncrement); }
void TUpDown::ClickDown() { Step(-FIncrement); }

void TUpDown::resizeEvent(QResizeEvent*) { SplitVertically(this, FUp, FDown); }

void TUpDown::keyPressEvent(QKeyEvent* Event) {
  if (!ClickByKey(Event, FUp, FDown))
    QWidget::keyPressEvent(Event);
}

void TUpDown::focusInEvent(QFocusEvent* Event) {
  ShowFocus(this, FUp, FDown, true);
  QWidget::focusInEvent(Event);
}

void TUpDown::focusOutEvent(QFocusEvent* Event) {
  ShowFocus(this, FUp, FDown, false);
  QWidget::focusOutEvent(Event);
}

TSpinButton::TSpinButton(QWidget* Parent)
    : QWidget(Parent), FUp(ArrowButton(this, Qt::UpArrow)), FDown(ArrowButton(this, Qt::DownArrow)) {
  setFocusPolicy(Qt::TabFocus);
  FUp->setAutoRepeat(false);
  FDown->setAutoRepeat(false);
  QObject::connect(FUp, &QToolButton::clicked, this, [this] {
    if (OnUpClick)
      OnUpClick();
  });
  QObject::connect(FDown, &QToolButton::clicked, this, [this] {
    if (OnDownClick)
      OnDownClick();
  });
}

void TSpinButton::resizeEvent(QResizeEvent*) { SplitVertically(this, FUp, FDown); }

void TSpinButton::keyPressEvent(QKeyEvent* Event) {
  if (!ClickByKey(Event, FUp, FDown))
    QWidget::keyPressEvent(Event);
}

void TSpinButton::focusInEvent(QFocusEvent* Event) {
  ShowFocus(this, FUp, FDown, true);
  QWidget::focusInEvent(Event);
}

void TSpinButton::focusOutEvent(QFocusEvent* Event) {
  ShowFocus(this, FUp, FDown, false);
  QWidget::focusOutEvent(Event);
}

TPanel::TPanel(QWidget* Parent) : QFrame(Parent), FCaption(new QLabel(this)) {
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Raised);
  setAutoFillBackground(true);
  FCaption->setAlignment(Qt::AlignCenter);
  FCaption->setAttribute(Qt::WA_TransparentForMouseEvents);
  FCaption->lower();
}

void TPanel::SetColor(const QColor& Color) {
  QPalette P = palette();
  P.setColor(QPalette::Window, Color);
  setPalette(P);
}

void TPanel::resizeEvent(QResizeEvent*) { FCaption->setGeometry(rect()); }

TBevel::TBevel(QWidget* Parent) : QFrame(Parent) {
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Raised);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TBevel::SetLowered(bool Lowered) { setFrameShadow(Lowered ? QFrame::Sunken : QFrame::Raised); }

TImage::TImage(QWidget* Parent) : QLabel(Parent) { setScaledContents(true); }

void TImage::mouseReleaseEvent(QMouseEvent* Event) {
  if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()) && OnClick)
    OnClick();
  QLabel::mouseReleaseEvent(Event);
}

TClickLabel::TClickLabel(QWidget* Parent) : QLabel(Parent) {}

void TClickLabel::mouseReleaseEvent(QMouseEvent* Event) {
  if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()) && OnClick)
    OnClick();
  QLabel::mouseReleaseEvent(Event);
}

TScroller::TScroller(QWidget* Parent) : QScrollBar(Qt::Horizontal, Parent) {
  setRange(0, 1);
  setPageStep(1);
  setFocusPolicy(Qt::TabFocus);
  QObject::connect(this, &QScrollBar::valueChanged, this, [this](int) {
    if (OnClick)
      OnClick();
  });
}

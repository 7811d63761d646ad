#pragma once

#include <QFrame>
#include <QLabel>
#include <QScrollBar>
#include <QWidget>

#include <functional>

class QToolButton;

// Small controls of the design's kinds that Qt has no exact counterpart for.
// Each reports its events through a plain handler the window installs, named
// after the design's event.

// Up-down arrows beside a label: a position in Min..Max moved by Increment,
// without wrapping. OnChanging runs after the position has moved, with the
// new position, once per click that moved it.
//
// Both arrow controls take the focus by Tab; with it the Up and Down keys
// click the arrows, and the arrows show the focus in the highlight colour.
class TUpDown : public QWidget {
public:
  explicit TUpDown(QWidget* Parent);
  int Position() const { return FPosition; }
  // Keeps the position within the range; runs no handler.
  void SetPosition(int Value);
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int Increment() const { return FIncrement; }
  void SetRange(int AMin, int AMax);
  void SetIncrement(int Value) { FIncrement = Value; }
  // The arrows as a user clicks them.
  void ClickUp();
  void ClickDown();
  std::function<void(int NewPosition)> OnChanging;
  QToolButton* UpButton() const { return FUp; }
  QToolButton* DownButton() const { return FDown; }

protected:
  void resizeEvent(QResizeEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void focusInEvent(QFocusEvent* Event) override;
  void focusOutEvent(QFocusEvent* Event) override;

private:
  void Step(int Delta);
  QToolButton* FUp;
  QToolButton* FDown;
  int FPosition = 0;
  int FMin = 0;
  int FMax = 100;
  int FIncrement = 1;
};

// A spin button: an up and a down arrow with a click handler each and no
// position of its own.
class TSpinButton : public QWidget {
public:
  explicit TSpinButton(QWidget* Parent);
  std::function<void()> OnUpClick;
  std::function<void()> OnDownClick;
  QToolButton* UpButton() const { return FUp; }
  QToolButton* DownButton() const { return FDown; }

protected:
  void resizeEvent(QResizeEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void focusInEvent(QFocusEvent* Event) override;
  void focusOutEvent(QFocusEvent* Event) override;

private:
  QToolButton* FUp;
  QToolButton* FDown;
};

// A panel: a raised frame with a colour and an optional centred caption.
class TPanel : public QFrame {
public:
  explicit TPanel(QWidget* Parent);
  // The caption (bytes, shown in the panel's character set).
  QLabel* CaptionLabel() const { return FCaption; }
  void SetColor(const QColor& Color);

protected:
  void resizeEvent(QResizeEvent* Event) override;

private:
  QLabel* FCaption;
};

// A bevel: a raised or lowered frame with nothing inside.
class TBevel : public QFrame {
public:
  explicit TBevel(QWidget* Parent);
  void SetLowered(bool Lowered);
  bool Lowered() const { return frameShadow() == QFrame::Sunken; }
};

// A picture that can be clicked.
class TImage : public QLabel {
public:
  explicit TImage(QWidget* Parent);
  std::function<void()> OnClick;

protected:
  void mouseReleaseEvent(QMouseEvent* Event) override;
};

// A label that can be clicked.
class TClickLabel : public QLabel {
public:
  explicit TClickLabel(QWidget* Parent);
  std::function<void()> OnClick;

protected:
  void mouseReleaseEvent(QMouseEvent* Event) override;
};

// A scroller with two positions, 0 and 1; OnClick runs when the position
// changes by a click.
class TScroller : public QScrollBar {
public:
  explicit TScroller(QWidget* Parent);
  std::function<void()> OnClick;
};

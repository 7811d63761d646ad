#include "windows/MButUnit.h"

#include "windows/Caption.h"

#include <QMouseEvent>

namespace {
TMButtonContext* KeyContext = nullptr;
std::function<void()> HoverSound;

void SetTextColor(QWidget* W, const QColor& Color) {
  QPalette P = W->palette();
  P.setColor(QPalette::ButtonText, Color);
  P.setColor(QPalette::WindowText, Color);
  W->setPalette(P);
}

const char* const LineBreak = "\n\r"; // a line feed, then a carriage return
} // namespace

TMButton::TMButton(QWidget* Parent) : QToolButton(Parent) {
  setCheckable(true);
  setAutoRaise(false);
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::PointingHandCursor);
  QObject::connect(this, &QToolButton::clicked, this, [this] { Clicked(); });
}

void TMButton::SetMCode(const std::string& Value) { FMCode = Value.substr(0, MCodeMax); }
void TMButton::SetMChar(const std::string& Value) { FMChar = Value.substr(0, MCharMax); }
void TMButton::SetMWort(const std::string& Value) { FMWort = Value.substr(0, MWortMax); }

void TMButton::SetGroupIndex(int Value) {
  FGroupIndex = Value;
  if (FGroupIndex == 0)
    setChecked(false);
}

void TMButton::SetDown(bool Value) {
  if (Value && FGroupIndex != 0 && parentWidget() != nullptr) {
    for (auto* Other : parentWidget()->findChildren<TMButton*>(QString(), Qt::FindDirectChildrenOnly))
      if (Other != this && Other->FGroupIndex == FGroupIndex)
        Other->setChecked(false);
  }
  setChecked(Value && FGroupIndex != 0);
}

void TMButton::SetFlat(bool Value) {
  FFlat = Value;
  setAutoRaise(Value);
  setDown(Value); // shown pressed while a keyboard key stands for it
}

QColor TMButton::FontColor() const { return palette().color(QPalette::ButtonText); }
void TMButton::SetFontColor(const QColor& Color) { SetTextColor(this, Color); }

// QToolButton has already toggled the checked state; put it right for the
// group rules, then run the handler.
void TMButton::Clicked() {
  const bool NowDown = isChecked();
  if (FGroupIndex == 0)
    setChecked(false);
  else if (NowDown)
    SetDown(true);
  else if (!FAllowAllUp)
    setChecked(true); // the last key of a group stays down
  if (OnClick)
    OnClick(this);
}

void TMButton::Click() {
  if (!isEnabled())
    return;
  setChecked(!isChecked());
  Clicked();
}

void TMButton::SetContext(TMButtonContext* Context) { KeyContext = Context; }
TMButtonContext* TMButton::Context() { return KeyContext; }

std::string TMButton::SungForm(const std::string& Code) {
  const std::string Ta = "\xF2\xE0";  // та
  const std::string Ti = "\xF2\xE8";  // ти
  const size_t L = Code.size();
  std::string Out;
  for (size_t I = 1; I <= L; ++I) {
    const char C = Code[I - 1];
    const bool More = I < L && L > 1;
    if (C == '-')
      Out += More ? Ta + " - " : Ta;
    else if (C == '.')
      Out += More ? Ti + " - " : Ti;
  }
  return Out.substr(0, 30);
}

void TMButton::CMMouseEnter() {
  TMButtonContext* Ctx = KeyContext;
  if (Ctx == nullptr || !isEnabled() || (Ctx->UebNr() != 1 && Ctx->UebNr() != 2))
    return;
  QLabel* Label = Ctx->MerkWLabel();
  if (Label == nullptr)
    return;
  QFont F = Label->font();
  if (Ctx->Idle()) {
    F.setPixelSize(16);
    Label->setFont(F);
    const std::string Aid = FMWort.empty() ? SungForm(FMCode) : FMWort;
    SetCaption(Label, CaptionOf(this) + LineBreak + Aid);
  } else if (!Down()) {
    F.setPixelSize(std::max(1, font().pixelSize() - 4));
    Label->setFont(F);
    SetCaption(Label, CaptionOf(this));
  }
}

void TMButton::CMMouseLeave() {
  TMButtonContext* Ctx = KeyContext;
  if (Ctx == nullptr || Ctx->MerkWLabel() == nullptr)
    return;
  if (isEnabled() && !Ctx->Playing() && !Down() && Ctx->Idle())
    SetCaption(Ctx->MerkWLabel(), "");
}

void TMButton::enterEvent(QEnterEvent* Event) {
  CMMouseEnter();
  QToolButton::enterEvent(Event);
}

void TMButton::leaveEvent(QEvent* Event) {
  CMMouseLeave();
  QToolButton::leaveEvent(Event);
}

TMLabel::TMLabel(QWidget* Parent) : QLabel(Parent) { setCursor(Qt::PointingHandCursor); }

void TMLabel::SetHoverSound(std::function<void()> Play) { HoverSound = std::move(Play); }

void TMLabel::CMMouseEnter() {
  if (HoverSound)
    HoverSound();
  SetTextColor(this, QColor(0, 0, 128));
}

void TMLabel::CMMouseLeave() { SetTextColor(this, QColor(255, 255, 0)); }

void TMLabel::enterEvent(QEnterEvent* Event) {
  CMMouseEnter();
  QLabel::enterEvent(Event);
}

void TMLabel::leaveEvent(QEvent* Event) {
  CMMouseLeave();
  QLabel::leaveEvent(Event);
}

void TMLabel::mouseReleaseEvent(QMouseEvent* Event) {
  if (Event->button() == Qt::LeftButton && OnClick)
    OnClick();
  QLabel::mouseReleaseEvent(Event);
}

#include "windows/MButUnit.h"

#include "windows/Caption.h"
#include "windows/Fonts.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace {

void SetTextColor(QWidget* W, const QColor& Color) {
  QPalette P = W->palette();
  P.setColor(QPalette::ButtonText, Color);
  P.setColor(QPalette::WindowText, Color);
  W->setPalette(P);
}

const char* const LineBreak = "\n\r"; // a line feed, then a carriage return

// The colour of a key's caption while the key itself is disabled.
const QColor DisabledText(128, 128, 128);

void SetKeyTextColor(QWidget* W, const QColor& Color) {
  QPalette P = W->palette();
  P.setColor(QPalette::Active, QPalette::ButtonText, Color);
  P.setColor(QPalette::Inactive, QPalette::ButtonText, Color);
  P.setColor(QPalette::Disabled, QPalette::ButtonText, DisabledText);
  W->setPalette(P);
}
// A key as a screen reader sees it: a button named by its caption (its
// character, or KA and SK), pressed while it is down; not the check box Qt
// makes of a checkable button.
class TKeyAccessible final : public QAccessibleWidget {
public:
  explicit TKeyAccessible(TMButton* Key) : QAccessibleWidget(Key, QAccessible::Button) {}
  QString text(QAccessible::Text T) const override {
    if (T == QAccessible::Name && widget()->accessibleName().isEmpty())
      return static_cast<const TMButton*>(widget())->text();
    return QAccessibleWidget::text(T);
  }
  QAccessible::State state() const override {
    QAccessible::State S = QAccessibleWidget::state();
    S.pressed = static_cast<const TMButton*>(widget())->Down();
    return S;
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& Action) override {
    if (Action == pressAction())
      static_cast<TMButton*>(widget())->Click();
  }
};

QAccessibleInterface* KeyAccessible(const QString&, QObject* Object) {
  if (auto* Key = dynamic_cast<TMButton*>(Object))
    return new TKeyAccessible(Key);
  return nullptr;
}
} // namespace

TMButton::TMButton(QWidget* Parent, const TMButtonContext* Context)
    : QToolButton(Parent), FContext(Context) {
  static const bool FactoryInstalled = [] {
    QAccessible::installFactory(KeyAccessible);
    return true;
  }();
  (void)FactoryInstalled;
  QPalette P = palette();
  P.setColor(QPalette::Disabled, QPalette::ButtonText, DisabledText);
  setPalette(P);
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

// Flat: the key loses its raised frame, which marks the key a keyboard key
// is held on.
void TMButton::SetFlat(bool Value) {
  FFlat = Value;
  setAutoRaise(Value);
  update();
}

// The hover handlers replace the button's own reaction to the pointer: the
// key is drawn the same with the pointer on it or not.
void TMButton::paintEvent(QPaintEvent*) {
  QStylePainter P(this);
  QStyleOptionToolButton Option;
  initStyleOption(&Option);
  Option.state &= ~QStyle::State_MouseOver;
  // A key is drawn disabled only when it is disabled itself, not while its
  // panel is (the keyboard is off while a code plays).
  if (Enabled()) {
    Option.state |= QStyle::State_Enabled;
    Option.palette.setCurrentColorGroup(isActiveWindow() ? QPalette::Active : QPalette::Inactive);
  }
  Option.activeSubControls = QStyle::SC_None;
  P.drawComplexControl(QStyle::CC_ToolButton, Option);
}

QColor TMButton::FontColor() const { return palette().color(QPalette::Active, QPalette::ButtonText); }
void TMButton::SetFontColor(const QColor& Color) { SetKeyTextColor(this, Color); }

bool TMButton::Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }

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
  const TMButtonContext* Ctx = FContext;
  if (Ctx == nullptr || !Enabled() || (Ctx->UebNr() != 1 && Ctx->UebNr() != 2))
    return;
  QLabel* Label = Ctx->MerkWLabel();
  if (Label == nullptr)
    return;
  QFont F = Label->font();
  if (Ctx->Idle()) {
    SetFontSize(F, 16);
    Label->setFont(F);
    if (!FMWort.empty()) {
      SetCaption(Label, CaptionOf(this) + LineBreak + FMWort);
    } else {
      const std::string Sung = SungForm(FMCode);
      SetCaption(Label, CaptionOf(this) + LineBreak + Sung);
      // The syllables are Cyrillic whatever the layout; under another
      // layout's character set their bytes would show as other letters.
      const uint8_t Charset = CharsetOf(Label);
      if (Charset != RUSSIAN_CHARSET)
        Label->setText(LabelLines(ToUnicode(CaptionOf(this) + LineBreak, Charset) + ToUnicode(Sung, RUSSIAN_CHARSET)));
    }
  } else if (!Down()) {
    SetFontSize(F, FontSize(font()) - 4);
    Label->setFont(F);
    SetCaption(Label, CaptionOf(this));
  }
}

void TMButton::CMMouseLeave() {
  const TMButtonContext* Ctx = FContext;
  if (Ctx == nullptr || Ctx->MerkWLabel() == nullptr)
    return;
  if (Enabled() && !Ctx->Playing() && !Down() && Ctx->Idle())
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

void TMLabel::CMMouseEnter() {
  if (OnHoverSound)
    OnHoverSound();
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

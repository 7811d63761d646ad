#include "windows/Caption.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QVariant>
#include <QWidget>

namespace {

const char* const CharsetProperty = "velmCharset";
const char* const CaptionProperty = "velmCaption";

void ShowText(QObject* Control, const QString& Text) {
  if (auto* Label = qobject_cast<QLabel*>(Control)) {
    // Captions are never markup.
    Label->setTextFormat(Qt::PlainText);
    Label->setText(LabelLines(Text));
  } else if (auto* Button = qobject_cast<QAbstractButton*>(Control))
    Button->setText(Text);
  else if (auto* Box = qobject_cast<QGroupBox*>(Control))
    Box->setTitle(Text);
  else if (auto* Menu = qobject_cast<QMenu*>(Control))
    Menu->setTitle(Text);
  else if (auto* Action = qobject_cast<QAction*>(Control))
    Action->setText(Text);
  else if (auto* Widget = qobject_cast<QWidget*>(Control))
    Widget->setWindowTitle(Text);
}

} // namespace

QString LabelLines(QString Text) {
  Text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
  Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  Text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return Text;
}

uint8_t CharsetOf(const QObject* Control) {
  for (const QObject* O = Control; O != nullptr; O = O->parent()) {
    const QVariant V = O->property(CharsetProperty);
    if (V.isValid())
      return static_cast<uint8_t>(V.toUInt());
  }
  return ANSI_CHARSET;
}

namespace {
// The bytes of a caption stay; their letters change with the character set.
void Redraw(QObject* Control) {
  const QVariant Caption = Control->property(CaptionProperty);
  if (Caption.isValid())
    ShowText(Control, ToUnicode(Caption.toByteArray().toStdString(), CharsetOf(Control)));
  // Children without a character set of their own follow this one.
  for (QObject* Child : Control->children())
    if (!Child->property(CharsetProperty).isValid())
      Redraw(Child);
}
} // namespace

void SetCharset(QObject* Control, uint8_t Charset) {
  Control->setProperty(CharsetProperty, QVariant::fromValue(static_cast<uint>(Charset)));
  Redraw(Control);
}

void SetCaption(QObject* Control, const std::string& Bytes) {
  Control->setProperty(CaptionProperty,
                       QByteArray(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
  ShowText(Control, ToUnicode(Bytes, CharsetOf(Control)));
}

std::string CaptionOf(const QObject* Control) {
  const QVariant Caption = Control->property(CaptionProperty);
  if (Caption.isValid()) {
    const QByteArray B = Caption.toByteArray();
    return std::string(B.constData(), static_cast<size_t>(B.size()));
  }
  QString Text;
  if (auto* Label = qobject_cast<const QLabel*>(Control))
    Text = Label->text();
  else if (auto* Button = qobject_cast<const QAbstractButton*>(Control))
    Text = Button->text();
  else if (auto* Box = qobject_cast<const QGroupBox*>(Control))
    Text = Box->title();
  else if (auto* Menu = qobject_cast<const QMenu*>(Control))
    Text = Menu->title();
  else if (auto* Action = qobject_cast<const QAction*>(Control))
    Text = Action->text();
  return FromUnicode(Text, CharsetOf(Control));
}

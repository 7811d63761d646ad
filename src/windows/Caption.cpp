#include "windows/Caption.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QVariant>
#include <QWidget>

namespace {

const char* const CharsetProperty = "velmCharset";
const char* const CaptionProperty = "velmCaption";

const char* CodecName(uint8_t Charset) {
  switch (Charset) {
  case RUSSIAN_CHARSET:
    return "windows-1251";
  case TURKISH_CHARSET:
    return "windows-1254";
  default:
    return "windows-1252";
  }
}

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

int CodePageOf(uint8_t Charset) {
  switch (Charset) {
  case RUSSIAN_CHARSET:
    return 1251;
  case TURKISH_CHARSET:
    return 1254;
  default:
    return 1252;
  }
}

QString ToUnicode(const std::string& Bytes, uint8_t Charset) {
  QStringDecoder Decoder(CodecName(Charset));
  if (!Decoder.isValid())
    return QString::fromLatin1(Bytes.data(), static_cast<qsizetype>(Bytes.size()));
  return Decoder.decode(QByteArrayView(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
}

std::string FromUnicode(const QString& Text, uint8_t Charset) {
  QStringEncoder Encoder(CodecName(Charset), QStringConverter::Flag::Default);
  if (!Encoder.isValid()) {
    const QByteArray Latin = Text.toLatin1();
    return std::string(Latin.constData(), static_cast<size_t>(Latin.size()));
  }
  std::string Out;
  // One character at a time, so that one the code page lacks becomes "?"
  // without disturbing the others.
  for (qsizetype I = 0; I < Text.size(); ++I) {
    qsizetype Len = Text.at(I).isHighSurrogate() && I + 1 < Text.size() ? 2 : 1;
    QStringEncoder One(CodecName(Charset));
    const QByteArray Bytes = One.encode(Text.mid(I, Len));
    if (One.hasError() || Bytes.isEmpty())
      Out += '?';
    else
      Out.append(Bytes.constData(), static_cast<size_t>(Bytes.size()));
    I += Len - 1;
  }
  return Out;
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

#include "base/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

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

} // namespace

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

#include "windows/SoundFile.h"

#include "windows/Caption.h"

#include <QString>

std::string SoundFileName(const std::string& Bytes, uint8_t Charset) {
  const QByteArray Utf8 = ToUnicode(Bytes, Charset).toUtf8();
  std::string Name;
  Name.reserve(static_cast<size_t>(Utf8.size()));
  for (const char C : Utf8) {
    if (C == '/')
      Name += "%2F";
    else if (C == '%')
      Name += "%25";
    else
      Name += C;
  }
  return Name;
}

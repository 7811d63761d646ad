#pragma once

#include <cstdint>
#include <string>

class QString;

// Program text is bytes of an 8-bit code page, named by the character set of
// the font that shows it, as the layouts give it.

// Font character sets of the layouts and their code pages.
constexpr uint8_t ANSI_CHARSET = 0;       // code page 1252
constexpr uint8_t TURKISH_CHARSET = 162;  // code page 1254
constexpr uint8_t RUSSIAN_CHARSET = 204;  // code page 1251

QString ToUnicode(const std::string& Bytes, uint8_t Charset);
// Characters the code page lacks become "?".
std::string FromUnicode(const QString& Text, uint8_t Charset);

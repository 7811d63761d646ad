#include "course/PracticeChars.h"

#include <QList>
#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <cctype>

namespace course {

namespace {

constexpr std::array<const char*, 26> InternationalCodes = {
    ".-",   "-...", "-.-.", "-..",  ".",   "..-.", "--.",  "....", "..",
    ".---", "-.-",  ".-..", "--",   "-.",  "---",  ".--.", "--.-", ".-.",
    "...",  "-",    "..-",  "...-", ".--", "-..-", "-.--", "--.."};

const char* CodecOf(TPracticeLanguage Language) {
  switch (Language) {
  case TPracticeLanguage::Russian:
    return "windows-1251";
  case TPracticeLanguage::Turkish:
    return "windows-1254";
  default:
    return "windows-1252";
  }
}

bool StartsWithNoCase(const std::string& S, std::string_view Prefix) {
  if (S.size() < Prefix.size())
    return false;
  for (size_t I = 0; I < Prefix.size(); ++I)
    if (std::tolower(static_cast<unsigned char>(S[I])) != Prefix[I])
      return false;
  return true;
}

} // namespace

TPracticeLanguage PracticeLanguageOf(const std::string& AlphabetFile) {
  if (StartsWithNoCase(AlphabetFile, "deu"))
    return TPracticeLanguage::German;
  if (StartsWithNoCase(AlphabetFile, "rus"))
    return TPracticeLanguage::Russian;
  if (StartsWithNoCase(AlphabetFile, "tur"))
    return TPracticeLanguage::Turkish;
  return TPracticeLanguage::English;
}

TPracticeChars::TPracticeChars(TPracticeLanguage Language, const sound::TCodetafel& Table,
                               const std::string& Allowed)
    : FLanguage(Language) {
  std::array<bool, 256> Asked{};
  for (const char C : Allowed)
    Asked[static_cast<uint8_t>(Upper(C))] = true;
  for (const char L : Table.Letters) {
    const char C = Upper(L);
    // Digits and signs have no capitals; a letter and its capital are one.
    if (FAllowed[static_cast<uint8_t>(C)] || (!Allowed.empty() && !Asked[static_cast<uint8_t>(C)]))
      continue;
    FAllowed[static_cast<uint8_t>(C)] = true;
    FAllowedChars += C;
  }
  for (size_t I = 0; I < InternationalCodes.size(); ++I) {
    const char Own = static_cast<char>('a' + I);
    const size_t N = Table.Letters.size();
    char Found = '\0';
    for (size_t P = 1; P <= N && P < Table.Codes.size(); ++P)
      if (Table.Codes[P] == InternationalCodes[I] && (Found == '\0' || Table.Letters[P - 1] == Own))
        Found = Table.Letters[P - 1];
    FLatin[I] = Found == '\0' ? '\0' : Upper(Found);
  }

  QStringDecoder Decoder(CodecOf(Language));
  std::string All(256, '\0');
  for (size_t B = 0; B < All.size(); ++B)
    All[B] = static_cast<char>(B);
  const QString Decoded =
      Decoder.isValid()
          ? Decoder.decode(QByteArrayView(All.data(), static_cast<qsizetype>(All.size())))
          : QString::fromLatin1(All.data(), static_cast<qsizetype>(All.size()));
  if (Decoded.size() == 256)
    for (qsizetype B = 1; B < 256; ++B)
      if (Decoded[B] != QChar::ReplacementCharacter)
        FFromUnicode.emplace(Decoded[B].unicode(), static_cast<char>(B));
}

char TPracticeChars::Upper(char C) const {
  const auto B = static_cast<uint8_t>(C);
  if (FLanguage == TPracticeLanguage::Turkish) {
    if (B == 'i')
      return '\xDD'; // İ
    if (B == 0xFD)
      return 'I'; // ı
  }
  if (B >= 'a' && B <= 'z')
    return static_cast<char>(B - 0x20);
  if (FLanguage == TPracticeLanguage::Russian) {
    if (B == 0xB8)
      return '\xA8'; // ё
    return B >= 0xE0 ? static_cast<char>(B - 0x20) : C;
  }
  return B >= 0xE0 && B != 0xF7 && B != 0xFF ? static_cast<char>(B - 0x20) : C;
}

std::optional<char> TPracticeChars::FromCodePoint(char32_t U) const {
  if (U < 0x80)
    return static_cast<char>(U);
  const auto It = FFromUnicode.find(U);
  if (It == FFromUnicode.end())
    return std::nullopt;
  return It->second;
}

std::optional<std::string> TPracticeChars::Native(std::string_view Bytes) const {
  std::string Word;
  for (const char C : Bytes) {
    const char Capital = Upper(C);
    if (!IsAllowed(Capital))
      return std::nullopt;
    Word += Capital;
  }
  if (Word.empty())
    return std::nullopt;
  return Word;
}

std::optional<std::string> TPracticeChars::Utf8(std::string_view Word) const {
  const QString Text = QString::fromUtf8(Word.data(), static_cast<qsizetype>(Word.size()));
  std::string Bytes;
  for (const char32_t U : Text.toUcs4()) {
    const std::optional<char> B = FromCodePoint(U);
    if (!B)
      return std::nullopt;
    Bytes += *B;
  }
  return Native(Bytes);
}

std::optional<std::string> TPracticeChars::Latin(std::string_view Ascii) const {
  std::string Word;
  for (const char C : Ascii) {
    char Own = C;
    if (C >= 'A' && C <= 'Z')
      Own = FLatin[static_cast<size_t>(C - 'A')];
    else if (C >= 'a' && C <= 'z')
      Own = FLatin[static_cast<size_t>(C - 'a')];
    if (Own == '\0' || !IsAllowed(Own))
      return std::nullopt;
    Word += Own;
  }
  if (Word.empty())
    return std::nullopt;
  return Word;
}

std::optional<std::string> TPracticeChars::Phrase(std::string_view Utf8Words) const {
  std::string Out;
  size_t Pos = 0;
  while (Pos < Utf8Words.size()) {
    const size_t End = std::min(Utf8Words.find(' ', Pos), Utf8Words.size());
    const std::string_view W = Utf8Words.substr(Pos, End - Pos);
    Pos = End + 1;
    if (W.empty())
      continue;
    const bool Ascii =
        std::all_of(W.begin(), W.end(), [](char C) { return static_cast<uint8_t>(C) < 0x80; });
    const std::optional<std::string> Made = Ascii ? Latin(W) : Utf8(W);
    if (!Made)
      return std::nullopt;
    if (!Out.empty())
      Out += ' ';
    Out += *Made;
  }
  if (Out.empty())
    return std::nullopt;
  return Out;
}

size_t TPracticeRng::Below(size_t N) {
  if (N < 2)
    return 0;
  return std::uniform_int_distribution<size_t>(0, N - 1)(FGen);
}

} // namespace course

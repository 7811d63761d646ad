#include "storage/Layouts.h"

#include "course/CourseState.h"
#include "storage/StorageState.h"
#include "base/CodePage.h"

#include <cstring>
#include <string_view>

namespace {

const std::array<TLayout, 4> Layouts = {{
    {601,
     1,
     "00000409",
     ANSI_CHARSET,
     24,
     "Eng.txt",
     {"1234567890", "qwertyuiop", "asdfghjkl", "zxcvbnm"},
     "Eng-",
     "VELMHelpEng.html",
     "en"},
    {602,
     2,
     "00000407",
     ANSI_CHARSET,
     9,
     "Deu.txt",
     {"1234567890", "qwertzuiop\xFC", "asdfghjkl\xF6\xE4", "yxcvbnm"},
     "Deu-",
     "VELMHelpDeu.html",
     "de"},
    {603,
     3,
     "00000419",
     RUSSIAN_CHARSET,
     9,
     "Rus.txt",
     {"1234567890", "\xE9\xF6\xF3\xEA\xE5\xED\xE3\xF8\xF9\xE7\xF5",
      "\xF4\xFB\xE2\xE0\xEF\xF0\xEE\xEB\xE4\xE6\xFD", "\xFF\xF7\xF1\xEC\xE8\xF2\xFC\xE1\xFE"},
     "",
     "VELMHelpRus.html",
     "ru"},
    {604,
     4,
     "0000041F",
     TURKISH_CHARSET,
     9,
     "Tur.txt",
     // ü closes row 4: after ğ in row 2, where Turkish keyboards have it, it
     // would push the sign block past KeyPanel's right edge, and row 3 would
     // run into the KA key; row 4 lies below the signs.
     {"1234567890", "qwertyu\xFDop\xF0", "asdfghjkl\xFEi", "zxcvbnm\xF6\xE7\xFC"},
     "Tur-",
     "VELMHelpTur.html",
     "tr"},
}};

// The three letter rows of a US QWERTY keyboard, each key named by its
// unshifted character. A layout's row k has its letters on the keys of row k
// here, from the left.
constexpr std::array<std::string_view, 3> UsLetterRows = {"qwertyuiop[]", "asdfghjkl;'",
                                                          "zxcvbnm,./"};

// Keys by PC set-1 scan code (0x00 .. 0x35), named as above; 0 for keys
// that give no character.
constexpr std::string_view Set1Keys{"\0\0"
                                    "1234567890-="
                                    "\0\0"
                                    "qwertyuiop[]"
                                    "\0\0"
                                    "asdfghjkl;'`"
                                    "\0"
                                    "\\"
                                    "zxcvbnm,./",
                                    0x36};

// US QWERTY: the shifted character of each key and the key's name.
constexpr std::string_view UsShifted = "!@#$%^&*()_+{}:\"~|<>?";
constexpr std::string_view UsUnshifted = "1234567890-=[];'`\\,./";

constexpr uint32_t XkbOffset = 8;

// Keys by macOS key code (0x00 .. 0x32), named as above.
constexpr std::string_view MacKeys{"asdfhgzxcv\0bqweryt123465=97-80]ou[ip\0lj'k;\\,/nm.\0\0`",
                                   0x33};

// The key that produced the event: from the scan code where the platform
// gives one, else (Scanned false) from Qt's key code as a US keyboard would.
char PhysicalKey(const TTypedKey& Key, bool& Scanned) {
  Scanned = false;
  if (Key.Keypad)
    return 0;
  uint32_t Set1 = 0;
  bool HasSet1 = false;
  if (Key.ScanCodes == TScanCodes::Xkb && Key.NativeScanCode >= XkbOffset) {
    Set1 = Key.NativeScanCode - XkbOffset;
    HasSet1 = true;
  } else if (Key.ScanCodes == TScanCodes::Windows) {
    Set1 = Key.NativeScanCode;
    HasSet1 = true;
  }
  if (Key.ScanCodes == TScanCodes::Mac) {
    const uint32_t Code = Key.NativeVirtualKey;
    if (Code < MacKeys.size() && MacKeys[Code] != '\0') {
      Scanned = true;
      return MacKeys[Code];
    }
    return 0;
  }
  if (HasSet1) {
    if (Set1 < Set1Keys.size() && Set1Keys[Set1] != '\0') {
      Scanned = true;
      return Set1Keys[Set1];
    }
    return 0;
  }
  const int K = Key.Key;
  if (K >= 'A' && K <= 'Z')
    return static_cast<char>(K - 'A' + 'a');
  if (K < 0x21 || K > 0x7E)
    return 0;
  const char C = static_cast<char>(K);
  if (UsUnshifted.find(C) != std::string_view::npos)
    return C;
  const size_t Shifted = UsShifted.find(C);
  return Shifted != std::string_view::npos ? UsUnshifted[Shifted] : 0;
}

// The layout's letter on a key, lower case; 0 where it has none.
char LetterOn(const TLayout& Layout, char Key) {
  if (Key == '\0')
    return 0;
  for (size_t R = 0; R < UsLetterRows.size(); ++R) {
    const size_t J = UsLetterRows[R].find(Key);
    if (J == std::string_view::npos)
      continue;
    const char* Row = Layout.Rows[R + 1];
    return J < std::strlen(Row) ? Row[J] : '\0';
  }
  return 0;
}

bool InRows(const TLayout& Layout, char C) {
  for (const char* Row : Layout.Rows)
    if (std::strchr(Row, C) != nullptr && C != '\0')
      return true;
  return false;
}

// The capital of a lower-case letter of the layout's code page.
char Capital(const TLayout& Layout, char Lower) {
  const auto B = static_cast<uint8_t>(Lower);
  if (Layout.Charset == TURKISH_CHARSET) {
    if (B == 'i')
      return '\xDD'; // İ
    if (B == 0xFD)
      return 'I'; // ı
  }
  if (B >= 'a' && B <= 'z')
    return static_cast<char>(B - 0x20);
  if (Layout.Charset == RUSSIAN_CHARSET) {
    if (B == 0xB8)
      return '\xA8'; // ё
    if (B >= 0xE0)
      return static_cast<char>(B - 0x20);
    return Lower;
  }
  if (B >= 0xE0 && B != 0xF7 && B != 0xFF)
    return static_cast<char>(B - 0x20);
  return Lower;
}

// The typed text as one byte of the code page; none for no text, several
// characters or one the code page lacks.
std::optional<char> ByteOf(const QString& Text, uint8_t Charset) {
  if (Text.size() != 1)
    return std::nullopt;
  const std::string Bytes = FromUnicode(Text, Charset);
  if (Bytes.size() != 1 || (Bytes[0] == '?' && Text != QStringLiteral("?")))
    return std::nullopt;
  return Bytes[0];
}

} // namespace

const std::array<TLayout, 4>& LayoutTable() {
  return Layouts;
}

const TLayout* LayoutOfTag(int32_t Tag) {
  for (const TLayout& L : Layouts)
    if (L.Tag == Tag)
      return &L;
  return nullptr;
}

const TLayout* LayoutOfNr(int32_t SprachNr) {
  for (const TLayout& L : Layouts)
    if (L.SprachNr == SprachNr)
      return &L;
  return nullptr;
}

const TLayout* LayoutOfLocale(const std::string& LocaleId) {
  for (const TLayout& L : Layouts)
    if (LocaleId == L.LocaleId)
      return &L;
  return nullptr;
}

std::string CourseSoundFile(const std::string& Name) {
  const TLayout* L = LayoutOfNr(course::Tastatur.InputLayoutNr);
  return L != nullptr ? L->SoundPrefix + Name : Name;
}

bool TBuiltInLayouts::LoadKeyboardLayout(const std::string& LocaleId) {
  return LayoutOfLocale(LocaleId) != nullptr;
}

std::optional<char> TranslateTyped(const TLayout& Layout, const TTypedKey& Key) {
  const std::optional<char> Typed = ByteOf(Key.Text, Layout.Charset);
  // Control characters (Enter, Escape, Ctrl with a letter) stay what they are.
  if (Key.Text.size() != 1 || Key.Text[0].unicode() < 0x20 || Key.Text[0].unicode() == 0x7F)
    return Typed;

  bool Scanned = false;
  const char OnKey = PhysicalKey(Key, Scanned);
  const char Letter = LetterOn(Layout, OnKey);
  const QChar T = Key.Text[0];
  const bool Upper = T.isLetter() ? T.isUpper() : Key.Shift;
  const auto Cased = [&](char Lower) { return Upper ? Capital(Layout, Lower) : Lower; };

  if (Typed && InRows(Layout, *Typed)) {
    // The character a Latin keyboard gives on that very key: the learner has
    // no such layout, and the layout has another letter there (Y and Z in
    // German, I in Turkish).
    if (Scanned && Letter != '\0' && *Typed == OnKey && Letter != *Typed)
      return Cased(Letter);
    return Typed;
  }
  if (Letter != '\0')
    return Cased(Letter);
  return Typed;
}

std::optional<char> TypedChar(const TTypedKey& Key) {
  if (const TLayout* L = LayoutOfNr(course::Tastatur.InputLayoutNr))
    return TranslateTyped(*L, Key);
  return ByteOf(Key.Text, ANSI_CHARSET);
}

#include "course/CourseState.h"
#include "storage/Layouts.h"
#include "storage/SomeLayouts.h"
#include "storage/StorageState.h"
#include "support/RecordingReporter.h"
#include "base/CodePage.h"
#include "storage/Texts.h"

#include "StorageTestDir.h"

#include <cstring>
#include <set>

namespace {


// ---------------------------------------------------------------------------
// The layout table

QString Decoded(const char* Bytes, uint8_t Charset) {
  return ToUnicode(Bytes, Charset);
}

TEST(LayoutTableTest, RowsLocalesAndCharsetsOfTheFourLayouts) {
  const auto& T = LayoutTable();
  ASSERT_EQ(T.size(), 4u);
  const std::array<std::array<size_t, 4>, 4> Lengths = {
      {{10, 10, 9, 7}, {10, 11, 11, 7}, {10, 11, 11, 9}, {10, 11, 11, 10}}};
  const std::array<int, 4> Languages = {9, 7, 25, 31};
  for (size_t I = 0; I < T.size(); ++I) {
    const TLayout& L = T[I];
    EXPECT_EQ(L.Tag, 601 + static_cast<int32_t>(I));
    EXPECT_EQ(L.SprachNr, 1 + static_cast<int32_t>(I));
    EXPECT_EQ(LayoutOfTag(L.Tag), &L);
    EXPECT_EQ(LayoutOfNr(L.SprachNr), &L);
    EXPECT_EQ(QString(L.LocaleId),
              QString("%1").arg(1024 + Languages[I], 8, 16, QLatin1Char('0')).toUpper());
    EXPECT_EQ(std::string(L.Rows[0]), "1234567890");
    for (size_t R = 0; R < 4; ++R)
      EXPECT_EQ(std::strlen(L.Rows[R]), Lengths[I][R]) << L.SprachNr << " row " << R + 1;
    EXPECT_EQ(L.TastLinks, I == 0 ? 24 : 9);
  }
  EXPECT_EQ(LayoutOfTag(600), nullptr);
  EXPECT_EQ(LayoutOfNr(5), nullptr);
  EXPECT_EQ(std::string(T[0].AlphabetFile) + T[1].AlphabetFile + T[2].AlphabetFile +
                T[3].AlphabetFile,
            "Eng.txtDeu.txtRus.txtTur.txt");
  EXPECT_EQ(T[0].Charset, ANSI_CHARSET);
  EXPECT_EQ(T[1].Charset, ANSI_CHARSET);
  EXPECT_EQ(T[2].Charset, RUSSIAN_CHARSET);
  EXPECT_EQ(T[3].Charset, TURKISH_CHARSET);

  EXPECT_EQ(Decoded(T[1].Rows[1], ANSI_CHARSET), QString::fromUtf16(u"qwertzuiop\u00FC"));
  EXPECT_EQ(Decoded(T[1].Rows[2], ANSI_CHARSET), QString::fromUtf16(u"asdfghjkl\u00F6\u00E4"));
  EXPECT_EQ(
      Decoded(T[2].Rows[1], RUSSIAN_CHARSET),
      QString::fromUtf16(u"\u0439\u0446\u0443\u043A\u0435\u043D\u0433\u0448\u0449\u0437\u0445"));
  EXPECT_EQ(
      Decoded(T[2].Rows[2], RUSSIAN_CHARSET),
      QString::fromUtf16(u"\u0444\u044B\u0432\u0430\u043F\u0440\u043E\u043B\u0434\u0436\u044D"));
  EXPECT_EQ(Decoded(T[2].Rows[3], RUSSIAN_CHARSET),
            QString::fromUtf16(u"\u044F\u0447\u0441\u043C\u0438\u0442\u044C\u0431\u044E"));
  EXPECT_EQ(Decoded(T[3].Rows[1], TURKISH_CHARSET), QString::fromUtf16(u"qwertyu\u0131op\u011F"));
  EXPECT_EQ(Decoded(T[3].Rows[2], TURKISH_CHARSET), QString::fromUtf16(u"asdfghjkl\u015Fi"));
  // ü closes row 4 of the Turkish keyboard: row 2 has no room for it.
  EXPECT_EQ(Decoded(T[3].Rows[3], TURKISH_CHARSET),
            QString::fromUtf16(u"zxcvbnm\u00F6\u00E7\u00FC"));
}

// ---------------------------------------------------------------------------
// Typed characters

// A key of a Latin (US) keyboard under X11: its text, Qt key and xkb keycode.
TTypedKey XKey(const QString& Text, int Key, uint32_t Keycode, bool Shift = false) {
  TTypedKey K;
  K.Text = Text;
  K.Key = Key;
  K.Shift = Shift;
  K.NativeScanCode = Keycode;
  K.ScanCodes = TScanCodes::Xkb;
  return K;
}

// evdev codes + 8
constexpr uint32_t XQ = 24, XI = 31, XP = 33, XBracketLeft = 34, XSemicolon = 47, XApostrophe = 48,
                   XY = 29, XZ = 52, XComma = 59, XPeriod = 60, XA = 38, XOne = 10, XKp7 = 79;

const TLayout& English() {
  return *LayoutOfNr(1);
}
const TLayout& German() {
  return *LayoutOfNr(2);
}
const TLayout& Russian() {
  return *LayoutOfNr(3);
}
const TLayout& Turkish() {
  return *LayoutOfNr(4);
}

TEST(TypedCharTest, TheQKeyOfALatinKeyboardGivesShortIInTheRussianLayout) {
  const std::optional<char> FromX = TranslateTyped(Russian(), XKey("q", Qt::Key_Q, XQ));
  ASSERT_TRUE(FromX.has_value());
  EXPECT_EQ(*FromX, '\xE9');

  // The layout in force translates typed keys.
  course::Tastatur.InputLayoutNr = 3;
  EXPECT_EQ(TypedChar(XKey("q", Qt::Key_Q, XQ)), '\xE9');
  course::Tastatur.InputLayoutNr = 0;
  EXPECT_EQ(TypedChar(XKey("q", Qt::Key_Q, XQ)), 'q');
}

TEST(TypedCharTest, EveryLetterKeyOfALatinKeyboardGivesTheLayoutsLetterThere) {
  const std::array<const char*, 3> UsRows = {"qwertyuiop[]", "asdfghjkl;'", "zxcvbnm,./"};
  const std::array<uint32_t, 3> FirstKeycode = {24, 38, 52};
  for (const TLayout& L : LayoutTable())
    for (size_t R = 0; R < 3; ++R)
      for (size_t J = 0; J < std::strlen(L.Rows[R + 1]); ++J) {
        const char Us = UsRows[R][J];
        const std::optional<char> Got = TranslateTyped(
            L, XKey(QString(QChar::fromLatin1(Us)), 0, FirstKeycode[R] + static_cast<uint32_t>(J)));
        EXPECT_EQ(Got, L.Rows[R + 1][J]) << L.SprachNr << " key " << Us;
      }
}

TEST(TypedCharTest, CharactersOfTheLayoutAreTakenAsTheyAre) {
  // A Russian system layout gives Cyrillic text on the same key.
  EXPECT_EQ(TranslateTyped(Russian(), XKey(QString::fromUtf16(u"\u0439"), 0x419, XQ)), '\xE9');
  // A German keyboard with its own layout: the key left of U gives z.
  EXPECT_EQ(TranslateTyped(German(), XKey("z", Qt::Key_Z, XY)), 'z');
  EXPECT_EQ(TranslateTyped(German(), XKey(QString::fromUtf16(u"\u00FC"), 0xDC, XBracketLeft)),
            '\xFC');
  // An AZERTY keyboard in the English layout keeps its own letters.
  EXPECT_EQ(TranslateTyped(English(), XKey("a", Qt::Key_A, XQ)), 'a');
  // A Turkish system layout gives i on the key right of the ş key.
  EXPECT_EQ(TranslateTyped(Turkish(), XKey("i", Qt::Key_I, XApostrophe)), 'i');
  // Digits and keypad keys stay.
  EXPECT_EQ(TranslateTyped(Russian(), XKey("1", Qt::Key_1, XOne)), '1');
  TTypedKey Kp = XKey("7", Qt::Key_7, XKp7);
  Kp.Keypad = true;
  EXPECT_EQ(TranslateTyped(Russian(), Kp), '7');
}

TEST(TypedCharTest, ALatinKeyboardTypesGermanAndTurkishLettersWhereThoseLayoutsHaveThem) {
  EXPECT_EQ(TranslateTyped(German(), XKey("y", Qt::Key_Y, XY)), 'z');
  EXPECT_EQ(TranslateTyped(German(), XKey("z", Qt::Key_Z, XZ)), 'y');
  EXPECT_EQ(TranslateTyped(German(), XKey("[", Qt::Key_BracketLeft, XBracketLeft)), '\xFC');
  EXPECT_EQ(TranslateTyped(German(), XKey(";", Qt::Key_Semicolon, XSemicolon)), '\xF6');
  EXPECT_EQ(TranslateTyped(German(), XKey("'", Qt::Key_Apostrophe, XApostrophe)), '\xE4');
  EXPECT_EQ(TranslateTyped(Turkish(), XKey("i", Qt::Key_I, XI)), '\xFD');
  EXPECT_EQ(TranslateTyped(Turkish(), XKey("'", Qt::Key_Apostrophe, XApostrophe)), 'i');
  EXPECT_EQ(TranslateTyped(Turkish(), XKey("[", Qt::Key_BracketLeft, XBracketLeft)), '\xF0');
  EXPECT_EQ(TranslateTyped(Turkish(), XKey(";", Qt::Key_Semicolon, XSemicolon)), '\xFE');
  EXPECT_EQ(TranslateTyped(Turkish(), XKey(",", Qt::Key_Comma, XComma)), '\xF6');
  EXPECT_EQ(TranslateTyped(Turkish(), XKey(".", Qt::Key_Period, XPeriod)), '\xE7');
  EXPECT_EQ(TranslateTyped(English(), XKey("p", Qt::Key_P, XP)), 'p');
}

TEST(TypedCharTest, CapitalsStayCapitalsSoThatCapsLockGivesNoAnswer) {
  EXPECT_EQ(TranslateTyped(Russian(), XKey("Q", Qt::Key_Q, XQ, true)), '\xC9');
  EXPECT_EQ(TranslateTyped(Russian(), XKey(QString::fromUtf16(u"\u0419"), 0x419, XQ)), '\xC9');
  EXPECT_EQ(TranslateTyped(Russian(), XKey("{", Qt::Key_BraceLeft, XBracketLeft, true)), '\xD5');
  EXPECT_EQ(TranslateTyped(Turkish(), XKey("I", Qt::Key_I, XI, true)), 'I');
  EXPECT_EQ(TranslateTyped(Turkish(), XKey("\"", Qt::Key_QuoteDbl, XApostrophe, true)), '\xDD');
  EXPECT_EQ(TranslateTyped(German(), XKey("Y", Qt::Key_Y, XY, true)), 'Z');
  EXPECT_EQ(TranslateTyped(English(), XKey("A", Qt::Key_A, XA, true)), 'A');
}

TEST(TypedCharTest, KeysWithoutALetterOfTheLayoutGiveTheirOwnCharacterOrNone) {
  EXPECT_EQ(TranslateTyped(Russian(), XKey("!", Qt::Key_Exclam, XOne, true)), '!');
  EXPECT_EQ(TranslateTyped(English(), XKey("[", Qt::Key_BracketLeft, XBracketLeft)), '[');
  // A Cyrillic letter on a key where English has none has no byte in 1252.
  EXPECT_EQ(TranslateTyped(English(), XKey(QString::fromUtf16(u"\u0445"), 0x425, XBracketLeft)),
            std::nullopt);
  // ...but where English has a letter, it is that letter.
  EXPECT_EQ(TranslateTyped(English(), XKey(QString::fromUtf16(u"\u0439"), 0x419, XQ)), 'q');
  // Control characters, empty texts and scan codes out of range.
  EXPECT_EQ(TranslateTyped(Russian(), XKey("\x11", Qt::Key_Q, XQ)), '\x11');
  EXPECT_EQ(TranslateTyped(Russian(), XKey("\r", Qt::Key_Return, 36)), '\r');
  EXPECT_EQ(TranslateTyped(Russian(), XKey("", Qt::Key_Shift, 50)), std::nullopt);
  EXPECT_EQ(TranslateTyped(Russian(), XKey("ab", 0, 0xFFFFFFFFu)), std::nullopt);
  EXPECT_EQ(TranslateTyped(Russian(), XKey("x", Qt::Key_X, 3)), '\xF7'); // by key code
  TTypedKey Win = XKey("q", Qt::Key_Q, 0x110);
  Win.ScanCodes = TScanCodes::Windows; // an extended key: no letter key
  EXPECT_EQ(TranslateTyped(Russian(), Win), 'q');
}

} // namespace

namespace {

// Each course asks for its own sound files and help page; the Russian
// course's sounds keep their names, and with no layout in force the name
// is taken as it is.
TEST(LayoutTableTest, EachCourseHasItsOwnSoundsHelpAndDialogLanguage) {
  const std::array<const char*, 4> Sounds = {"Eng-KA.Wav", "Deu-KA.Wav", "KA.Wav", "Tur-KA.Wav"};
  const std::array<std::string, 4> Help = {"VELMHelpEng.html", "VELMHelpDeu.html",
                                           "VELMHelpRus.html", "VELMHelpTur.html"};
  const std::array<std::string, 4> Languages = {"en", "de", "ru", "tr"};
  for (const TLayout& L : LayoutTable()) {
    const size_t I = static_cast<size_t>(L.SprachNr - 1);
    course::Tastatur.InputLayoutNr = L.SprachNr;
    EXPECT_EQ(CourseSoundFile("KA.Wav"), Sounds[I]);
    EXPECT_EQ(L.HelpFile, Help[I]);
    EXPECT_EQ(L.Language, Languages[I]);
  }
  course::Tastatur.InputLayoutNr = 0;
  EXPECT_EQ(CourseSoundFile("%2F.wav"), "%2F.wav");
}

} // namespace

// The data files shipped in data/, loaded through the program's own loaders
// and checked against the standard codes, written down here independently.

#include "course/LessonData.h"
#include "base/TextFile.h"

#include "CourseViewFixture.h"

#include <algorithm>
#include <set>

namespace {

const std::filesystem::path DataDir =
    std::filesystem::path(VELM_SOURCE_DIR) / "data";

struct TLayout {
  int32_t SprachNr;
  const char* File;
  std::array<std::string, 5> Rows;
  uint8_t Charset;
  int32_t Links;
  std::map<char, std::string> Table; // every letter of the alphabet with its code
  std::string Untaught = {};          // keys of letters the alphabet does not have
};

std::map<char, std::string> Latin(std::map<char, std::string> Extra = {},
                                  const std::string& Without = {}) {
  std::map<char, std::string> T = LatinCodes();
  for (const auto& [C, Code] : Extra)
    T[C] = Code;
  for (const char C : Without)
    T.erase(C);
  return T;
}

// Russian Morse code, by code page 1251 byte: а б в г д е ж з и й к л м н о п
// р с т у ф х ц ч ш щ ы ь э ю я.
const std::map<char, std::string> Russian = {
    {'\xE0', ".-"},   {'\xE1', "-..."}, {'\xE2', ".--"},  {'\xE3', "--."},   {'\xE4', "-.."},
    {'\xE5', "."},    {'\xE6', "...-"}, {'\xE7', "--.."}, {'\xE8', ".."},    {'\xE9', ".---"},
    {'\xEA', "-.-"},  {'\xEB', ".-.."}, {'\xEC', "--"},   {'\xED', "-."},    {'\xEE', "---"},
    {'\xEF', ".--."}, {'\xF0', ".-."},  {'\xF1', "..."},  {'\xF2', "-"},     {'\xF3', "..-"},
    {'\xF4', "..-."}, {'\xF5', "...."}, {'\xF6', "-.-."}, {'\xF7', "---."},  {'\xF8', "----"},
    {'\xF9', "--.-"}, {'\xFB', "-.--"}, {'\xFC', "-..-"}, {'\xFD', "..-.."}, {'\xFE', "..--"},
    {'\xFF', ".-.-"}};

std::vector<TLayout> Layouts() {
  return {
      {1,
       "Eng.txt",
       {"", "1234567890", "qwertyuiop", "asdfghjkl", "zxcvbnm"},
       ANSI_CHARSET,
       24,
       Latin()},
      // ä ö ü in code page 1252
      {2,
       "Deu.txt",
       {"", "1234567890", "qwertzuiop\xFC", "asdfghjkl\xF6\xE4", "yxcvbnm"},
       ANSI_CHARSET,
       9,
       Latin({{'\xE4', ".-.-"}, {'\xF6', "---."}, {'\xFC', "..--"}})},
      {3,
       "Rus.txt",
       {"", "1234567890", "\xE9\xF6\xF3\xEA\xE5\xED\xE3\xF8\xF9\xE7\xF5",
        "\xF4\xFB\xE2\xE0\xEF\xF0\xEE\xEB\xE4\xE6\xFD", "\xFF\xF7\xF1\xEC\xE8\xF2\xFC\xE1\xFE"},
       RUSSIAN_CHARSET,
       9,
       Russian},
      // ç ğ ı ö ş ü in code page 1254; "i" is the dotted i of the Turkish
      // alphabet, which has no q, w or x: their keys stay, untaught.
      {4,
       "Tur.txt",
       {"", "1234567890", "qwertyu\xFDop\xF0", "asdfghjkl\xFEi", "zxcvbnm\xF6\xE7\xFC"},
       TURKISH_CHARSET,
       9,
       Latin({{'\xE7', "-.-.."},
              {'\xF0', "--.-."},
              {'\xFD', ".."},
              {'i', ".-..-"},
              {'\xF6', "---."},
              {'\xFE', ".--.."},
              {'\xFC', "..--"}},
             "qwx"),
       "qwx"},
  };
}

class CourseData : public TCourseViewTest {
protected:
  void SetUp() override {
    TCourseViewTest::SetUp();
    for (const auto& Entry : std::filesystem::directory_iterator(DataDir))
      if (Entry.is_regular_file())
        std::filesystem::copy_file(Entry.path(), Entry.path().filename());
  }
  void Switch(const TLayout& L) {
    course::Tastatur.TastReihen = L.Rows;
    course::Tastatur.TastLinks = L.Links;
    course::Kurs.AlphabetFile = L.File;
    SetCharset(View.KeyPanel, L.Charset);
    Reporter.Messages.clear();
    EXPECT_TRUE(Course->LoadLessonData(L.SprachNr)) << L.File;
    CourseView->BuildKeyboard();
    Course->BindKeys();
  }
};

TEST_F(CourseData, EveryAlphabetHasTheStandardCodesAndEveryLetterOfItsKeyboard) {
  for (const TLayout& L : Layouts()) {
    SCOPED_TRACE(L.File);
    Switch(L);
    EXPECT_TRUE(Reporter.Messages.empty());
    const size_t N = sound::Codetafel.Letters.find('1');
    ASSERT_NE(N, std::string::npos);
    ASSERT_LE(N, 32u);
    EXPECT_EQ(sound::Codetafel.Letters.substr(N), DigitsAndSigns);
    std::set<char> Seen;
    for (size_t P = 1; P <= N; ++P) {
      const char C = sound::Codetafel.Letters[P - 1];
      ASSERT_EQ(L.Table.count(C), 1u)
          << "unknown letter " << static_cast<int>(static_cast<unsigned char>(C));
      EXPECT_EQ(sound::Codetafel.Codes[P], L.Table.at(C))
          << static_cast<int>(static_cast<unsigned char>(C));
      EXPECT_TRUE(Seen.insert(C).second);
    }
    // Every letter of the keyboard rows is in the alphabet, and nothing else
    // but the untaught keys.
    std::set<char> RowLetters;
    for (size_t R = 2; R <= 4; ++R)
      for (const char C : L.Rows[R])
        if (L.Untaught.find(C) == std::string::npos)
          RowLetters.insert(C);
    EXPECT_EQ(Seen, RowLetters);
    // The order of LD.dat teaches every letter once; each key is bound.
    EXPECT_EQ(course::Kurs.BuchFolge.size(), N + 18);
    EXPECT_EQ(std::set<char>(course::Kurs.BuchFolge.begin(), course::Kurs.BuchFolge.begin() + static_cast<long>(N)),
              Seen);
    // The keys, signs included, lie within KeyPanel and apart.
    std::vector<QRect> Placed;
    for (const TMButton* Key : View.Tasten)
      if (!Key->isHidden())
        Placed.push_back(Key->geometry());
    EXPECT_EQ(Placed.size(), course::Tastatur.TastZeichen.size());
    for (size_t A = 0; A < Placed.size(); ++A) {
      EXPECT_TRUE(View.KeyPanel->rect().contains(Placed[A])) << A;
      for (size_t B = A + 1; B < Placed.size(); ++B)
        EXPECT_FALSE(Placed[A].intersects(Placed[B])) << A << " " << B;
    }
    for (size_t K = 0; K < course::Tastatur.TastZeichen.size(); ++K)
      EXPECT_EQ(View.Tasten[K]->MChar().empty(),
                L.Untaught.find(course::Tastatur.TastZeichen[K]) != std::string::npos)
          << K;
  }
}

TEST_F(CourseData, NationalLettersShowInTheirLayoutsCharacterSet) {
  Switch(Layouts()[3]);
  EXPECT_EQ(View.Tasten[17]->text(), QString(QChar(0x0131))); // dotless i
  EXPECT_EQ(View.Tasten[30]->text(), QString(QChar(0x015F))); // s with cedilla
  EXPECT_EQ(View.Tasten[41]->text(), QString(QChar(0x00FC))); // u umlaut, row 4's last
  EXPECT_EQ(View.Tasten[41]->MChar(), "\xFC");
  Switch(Layouts()[2]);
  EXPECT_EQ(View.Tasten[10]->text(), QString(QChar(0x0439))); // short i
  EXPECT_EQ(View.Tasten[40]->text(), QString(QChar(0x044E))); // yu
  Switch(Layouts()[1]);
  EXPECT_EQ(View.Tasten[31]->text(), QString(QChar(0x00E4))); // a umlaut
}

TEST_F(CourseData, TheOrdersBeginWithCharactersOfContrastingRhythm) {
  Switch(Layouts()[0]);
  EXPECT_EQ(course::Kurs.BuchFolge.substr(0, 26), DefaultOrder);
  for (const TLayout& L : Layouts()) {
    SCOPED_TRACE(L.File);
    Switch(L);
    // The first lesson: dashes only and dots only.
    const std::string First = course::Kurs.BuchFolge.substr(0, 4);
    int Dashes = 0, Dots = 0;
    for (const char C : First) {
      const std::string Code = CodeOf(C);
      Dashes += Code.find('.') == std::string::npos;
      Dots += Code.find('-') == std::string::npos;
    }
    EXPECT_EQ(Dashes + Dots, 4);
    EXPECT_GE(Dashes, 1);
    EXPECT_GE(Dots, 1);
  }
}

// The rhythm a mnemonic word sings: one element per hyphenated syllable, a
// dash for a syllable with a doubled (long) vowel, a dot for any other.
std::string RhythmOf(const std::string& Word) {
  // а е ё и о у ы э ю я in code page 1251
  const std::string Vowels = "\xE0\xE5\xB8\xE8\xEE\xF3\xFB\xFD\xFE\xFF";
  std::string Rhythm;
  bool Long = false;
  for (size_t I = 0; I <= Word.size(); ++I) {
    if (I == Word.size() || Word[I] == '-') {
      Rhythm += Long ? '-' : '.';
      Long = false;
    } else if (I + 1 < Word.size() && Word[I] == Word[I + 1] &&
               Vowels.find(Word[I]) != std::string::npos) {
      Long = true;
    }
  }
  return Rhythm;
}

TEST_F(CourseData, TheRussianWordsSingEveryCodeSyllableBySyllable) {
  EXPECT_EQ(RhythmOf("\xE0\xE9-\xE4\xE0\xE0"), ".-"); // ай-даа
  EXPECT_EQ(RhythmOf("\xE5\xF1\xF2\xFC"), ".");       // есть
  Switch(Layouts()[2]);
  EXPECT_TRUE(course::Kurs.MerkWoerterGeladen);
  for (size_t P = 1; P <= sound::Codetafel.Letters.size(); ++P) {
    const std::string& Word = course::Kurs.MerkWoerter[P];
    ASSERT_FALSE(Word.empty()) << P;
    EXPECT_EQ(RhythmOf(Word), sound::Codetafel.Codes[P]) << P << " " << sound::Codetafel.Letters[P - 1];
  }
}

// The rhythm of a word of the English, German and Turkish files: one element
// per hyphenated syllable, a dash for a syllable without a small letter
// (written in capitals), a dot for any other.
std::string LatinRhythmOf(const std::string& Word) {
  std::string Rhythm;
  bool Small = false;
  for (size_t I = 0; I <= Word.size(); ++I) {
    if (I == Word.size() || Word[I] == '-') {
      Rhythm += Small ? '.' : '-';
      Small = false;
      continue;
    }
    // Small letters of code pages 1252 and 1254: a-z and 0xDF-0xFF but 0xF7.
    const auto B = static_cast<unsigned char>(Word[I]);
    Small = Small || (B >= 'a' && B <= 'z') || (B >= 0xDF && B != 0xF7);
  }
  return Rhythm;
}

TEST_F(CourseData, TheEnglishGermanAndTurkishWordsSingEveryCodeByTheirCapitals) {
  EXPECT_EQ(LatinRhythmOf("a-BOUT"), ".-");
  EXPECT_EQ(LatinRhythmOf("\xDC-ber-ALL-HIN"), "-.--");          // Ü is a capital
  EXPECT_EQ(LatinRhythmOf("\xFC-z\xFCm-BA\xD0-LAR"), "..--"); // ü, Ğ in 1254
  const std::vector<TLayout> All = Layouts();
  for (const size_t I : {0u, 1u, 3u}) {
    const TLayout& L = All[I];
    SCOPED_TRACE(L.File);
    Switch(L);
    EXPECT_TRUE(course::Kurs.MerkWoerterGeladen);
    // Every character of the course has its word, and no more lines follow.
    for (size_t P = 1; P <= sound::Codetafel.Letters.size(); ++P) {
      const std::string& Word = course::Kurs.MerkWoerter[P];
      ASSERT_FALSE(Word.empty()) << P;
      EXPECT_EQ(LatinRhythmOf(Word), sound::Codetafel.Codes[P]) << P << " " << Word;
    }
    EXPECT_EQ(course::Kurs.MerkWoerter[sound::Codetafel.Letters.size() + 1], "");
  }
}

TEST_F(CourseData, TheFilesHaveCarriageReturnLineFeedLineEnds) {
  for (const char* Name : {"LD.dat", "Eng.txt", "Deu.txt", "Rus.txt", "Tur.txt", "RusMerkW.txt",
                           "EngMerkW.txt", "DeuMerkW.txt", "TurMerkW.txt"}) {
    SCOPED_TRACE(Name);
    const std::string Bytes = ReadFile(Name);
    ASSERT_GE(Bytes.size(), 2u);
    EXPECT_EQ(Bytes.substr(Bytes.size() - 2), "\r\n");
    for (size_t I = 0; I < Bytes.size(); ++I) {
      if (Bytes[I] == '\r') {
        EXPECT_EQ(Bytes[I + 1], '\n') << I;
      }
      if (Bytes[I] == '\n') {
        EXPECT_EQ(Bytes[I - 1], '\r') << I;
      }
      EXPECT_NE(Bytes[I], '\x1A');
    }
  }
  TTextReader R;
  ASSERT_TRUE(R.Open("LD.dat"));
  int Lines = 0;
  while (!R.Eof())
    Lines += !R.ReadLine().empty();
  EXPECT_EQ(Lines, 4);
}

} // namespace

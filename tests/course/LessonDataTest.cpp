#include "course/LessonData.h"

#include "CourseFixture.h"

#include <random>

namespace {

using LessonData = TCourseTest;

std::string Codes1Based(size_t P) {
  return sound::Codetafel.Codes[P];
}

// What holds after any load, whatever the files held.
void ExpectSoundTables() {
  ASSERT_LE(sound::Codetafel.Letters.size(), 50u);
  for (size_t P = 1; P <= 50; ++P) {
    EXPECT_LE(sound::Codetafel.Codes[P].size(), 10u) << P;
    EXPECT_LE(course::Kurs.MerkWoerter[P].size(), 30u) << P;
  }
  for (const char C : course::Kurs.BuchFolge)
    EXPECT_NE(sound::Codetafel.Letters.find(C), std::string::npos);
  for (size_t I = 0; I < course::Kurs.BuchFolge.size(); ++I)
    EXPECT_EQ(course::Kurs.BuchFolge.find(course::Kurs.BuchFolge[I]), I) << "taught twice";
}

TEST_F(LessonData, AMissingLdDatIsCreatedWithTheDefaultOrderAndEngTxtIsUsed) {
  WriteFile("Eng.txt", LatinAlphabet());
  course::Kurs.AlphabetFile = "Rus.txt";
  EXPECT_FALSE(Course->LoadLessonData(3));
  EXPECT_TRUE(Reporter.Messages.empty());
  EXPECT_EQ(ReadFile("LD.dat"), "tmoeishagfpdlwbzqjyunxkrvc\r\n");
  EXPECT_EQ(course::Kurs.AlphabetFile, "eng.txt");
  EXPECT_EQ(course::Kurs.BuchFolge, DefaultOrder + DigitsAndSigns);
  EXPECT_EQ(sound::Codetafel.Letters, "abcdefghijklmnopqrstuvwxyz" + DigitsAndSigns);
}

TEST_F(LessonData, TooFewLinesGiveTheMessageAndTheDefaultOrderFromEngTxt) {
  WriteFile("LD.dat", "abc\r\n");
  WriteFile("Eng.txt", LatinAlphabet());
  course::Kurs.AlphabetFile = "Rus.txt";
  EXPECT_FALSE(Course->LoadLessonData(3));
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{"PPPPPPP"});
  EXPECT_EQ(course::Kurs.AlphabetFile, "Eng.Txt");
  EXPECT_EQ(course::Kurs.BuchFolge, DefaultOrder + DigitsAndSigns);
  EXPECT_EQ(ReadFile("LD.dat"), "abc\r\n"); // only a missing LD.dat is written

  // Line 2 without a line end is still a line.
  Reporter.Messages.clear();
  WriteFile("LD.dat", "abc\r\ncab");
  course::Kurs.AlphabetFile = "Eng.txt";
  EXPECT_TRUE(Course->LoadLessonData(2));
  EXPECT_TRUE(Reporter.Messages.empty());
  EXPECT_EQ(course::Kurs.BuchFolge, "cab" + DigitsAndSigns);
}

TEST_F(LessonData, TheLineOfTheLayoutIsTaughtWithOnlyTheLettersTheAlphabetHas) {
  WriteFile("LD.dat", "tmoe\r\nxq9zya.b\r\nlast\r\n");
  WriteFile("Deu.txt", LatinAlphabet("abcdefghijklmnoprstuvwxyz")); // no q
  course::Kurs.AlphabetFile = "Deu.txt";
  EXPECT_TRUE(Course->LoadLessonData(2));
  // q is missing from the alphabet; 9 and "." are taught with the digits and signs.
  EXPECT_EQ(course::Kurs.BuchFolge, "xzyab" + DigitsAndSigns);
  ExpectSoundTables();

  // The default order without q: 25 letters.
  WriteFile("LD.dat", std::string(DefaultOrder) + "\r\n");
  Course->LoadLessonData(1);
  EXPECT_EQ(course::Kurs.BuchFolge, "tmoeishagfpdlwbzjyunxkrvc" + DigitsAndSigns);
}

TEST_F(LessonData, ALetterTwiceInTheOrderIsTaughtOnce) {
  WriteFile("LD.dat", "abacbd\r\n");
  WriteFile("Eng.txt", LatinAlphabet());
  course::Kurs.AlphabetFile = "Eng.txt";
  Course->LoadLessonData(1);
  EXPECT_EQ(course::Kurs.BuchFolge, "abcd" + DigitsAndSigns);
}

TEST_F(LessonData, AnEmptyLdDatTeachesOnlyDigitsAndSigns) {
  WriteFile("LD.dat", "");
  WriteFile("Eng.txt", LatinAlphabet());
  course::Kurs.AlphabetFile = "Eng.txt";
  EXPECT_TRUE(Course->LoadLessonData(1));
  EXPECT_TRUE(Reporter.Messages.empty());
  EXPECT_EQ(course::Kurs.BuchFolge, DigitsAndSigns);
}

TEST_F(LessonData, AMissingAlphabetKeepsTheTableThatWasLoaded) {
  WriteFile("LD.dat", "ab\r\n");
  // At start there is no table: nothing can be taught.
  course::Kurs.AlphabetFile = "Rus.txt";
  Course->LoadLessonData(1);
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{"Rus.txt is not found!"});
  EXPECT_EQ(sound::Codetafel.Letters, "");
  EXPECT_EQ(course::Kurs.BuchFolge, "");

  WriteFile("Eng.txt", LatinAlphabet());
  course::Kurs.AlphabetFile = "Eng.txt";
  Course->LoadLessonData(1);
  const std::string Before = sound::Codetafel.Letters;
  const auto CodesBefore = sound::Codetafel.Codes;
  course::Kurs.AlphabetFile = "Tur.txt";
  Reporter.Messages.clear();
  Course->LoadLessonData(1);
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{"Tur.txt is not found!"});
  EXPECT_EQ(sound::Codetafel.Letters, Before);
  EXPECT_EQ(sound::Codetafel.Codes, CodesBefore);
  EXPECT_EQ(course::Kurs.BuchFolge, "ab" + DigitsAndSigns);
}

TEST_F(LessonData, TheCodeTableHoldsTheLettersThenTheBuiltInDigitsAndSigns) {
  WriteFile("abc.txt", "a.-\r\n\r\nB-...\r\nc-.-.-.-.-.-.-\r\nd\r\n");
  course::Kurs.AlphabetFile = "ABC.TXT";
  ASSERT_TRUE(LoadCodeTable(Reporter));
  EXPECT_EQ(sound::Codetafel.Letters, "abcd" + DigitsAndSigns);
  EXPECT_EQ(Codes1Based(1), ".-");
  EXPECT_EQ(Codes1Based(2), "-...");       // the capital is lowered, the empty line skipped
  EXPECT_EQ(Codes1Based(3), "-.-.-.-.-."); // cut to 10
  EXPECT_EQ(Codes1Based(4), "");
  EXPECT_EQ(CodeOf('1'), ".----");
  EXPECT_EQ(CodeOf('0'), "-----");
  EXPECT_EQ(CodeOf('.'), ".-.-.-");
  EXPECT_EQ(CodeOf('@'), "-.-.-");
  EXPECT_EQ(CodeOf('\xA7'), "...-.-");
  EXPECT_EQ(Codes1Based(23), "");
}

TEST_F(LessonData, OnlyTheFirst32LettersFitAndLinesThatCouldNeverBeLookedUpArePassedOver) {
  std::string File = "a.-\r\n1.\r\nA-\r\n.--\r\n"; // a digit, a second a, a sign
  for (int I = 0; I < 40; ++I)
    File += std::string(1, static_cast<char>(0xC0 + I)) + "-.\r\n";
  WriteFile("Rus.txt", File);
  course::Kurs.AlphabetFile = "Rus.txt";
  ASSERT_TRUE(LoadCodeTable(Reporter));
  ASSERT_EQ(sound::Codetafel.Letters.size(), 50u);
  EXPECT_EQ(sound::Codetafel.Letters[0], 'a');
  EXPECT_EQ(Codes1Based(1), ".-");
  EXPECT_EQ(sound::Codetafel.Letters[1], '\xC0');
  EXPECT_EQ(sound::Codetafel.Letters[31], '\xDE');
  EXPECT_EQ(sound::Codetafel.Letters.substr(32), DigitsAndSigns);
  EXPECT_EQ(CodeOf('1'), ".----");
  EXPECT_EQ(CodeOf('.'), ".-.-.-");
}

TEST_F(LessonData, MnemonicWordsFollowTheCodeTableAndTurnTheCheckBoxOnAndOff) {
  WriteFile("LD.dat", "ab\r\n");
  WriteFile("Eng.txt", LatinAlphabet());
  course::Kurs.AlphabetFile = "Eng.txt";
  std::string Words;
  // Appended piece by piece: "w" + ... makes GCC 12 at -O3 warn falsely (-Wrestrict).
  for (int I = 1; I <= 26; ++I)
    Words.append("w").append(std::to_string(I)).append("\r\n");
  Words[0] = 'W';
  WriteFile("EngMerkW.txt", Words);
  Course->LoadLessonData(1);
  EXPECT_EQ(course::Kurs.MerkWoerter[1], "W1");
  EXPECT_EQ(course::Kurs.MerkWoerter[26], "w26");
  EXPECT_EQ(course::Kurs.MerkWoerter[27], ""); // the digits and signs
  EXPECT_EQ(course::Kurs.MerkWoerter[50], "");
  EXPECT_TRUE(course::Kurs.MerkWoerterGeladen);

  // Without the file no word is left: the keys sing the codes instead.
  std::filesystem::remove("EngMerkW.txt");
  Course->LoadLessonData(1);
  for (const std::string& Wort : course::Kurs.MerkWoerter)
    EXPECT_EQ(Wort, "");
  EXPECT_FALSE(course::Kurs.MerkWoerterGeladen);

  WriteFile("engmerkw.TXT", "x\r\n");
  Course->LoadLessonData(1);
  EXPECT_EQ(course::Kurs.MerkWoerter[1], "x");
  EXPECT_EQ(course::Kurs.MerkWoerter[2], "");
  EXPECT_TRUE(course::Kurs.MerkWoerterGeladen);
}

// Each course reads its own file; the Russian words never reach another
// course, whose file is missing.
TEST_F(LessonData, EachCourseReadsItsOwnMnemonicFileAndNoOther) {
  EXPECT_EQ(MerkWortFileOf(1), "EngMerkW.txt");
  EXPECT_EQ(MerkWortFileOf(2), "DeuMerkW.txt");
  EXPECT_EQ(MerkWortFileOf(3), "RusMerkW.txt");
  EXPECT_EQ(MerkWortFileOf(4), "TurMerkW.txt");
  EXPECT_EQ(MerkWortFileOf(0), "");
  EXPECT_EQ(MerkWortFileOf(5), "");

  WriteFile("LD.dat", "ab\r\nab\r\nab\r\nab\r\n");
  WriteFile("Eng.txt", LatinAlphabet());
  WriteFile("RusMerkW.txt", "\xE0\xE9-\xE4\xE0\xE0\r\n");
  WriteFile("DeuMerkW.txt", "a-LARM\r\n");
  for (const int32_t SprachNr : {3, 1, 2, 4}) {
    course::Kurs.AlphabetFile = "Eng.txt";
    Course->LoadLessonData(SprachNr);
    SCOPED_TRACE(SprachNr);
    EXPECT_EQ(course::Kurs.MerkWoerterGeladen, SprachNr == 3 || SprachNr == 2);
    EXPECT_EQ(course::Kurs.MerkWoerter[1], SprachNr == 3   ? "\xE0\xE9-\xE4\xE0\xE0"
                                   : SprachNr == 2 ? "a-LARM"
                                                   : "");
  }
}

TEST_F(LessonData, AWordIsCutTo30BytesAndLinesAfterTheFiftiethAreIgnored) {
  std::string Words = std::string(40, 'x') + "\r\n\r\n";
  for (int I = 3; I <= 60; ++I)
    Words.append("w").append(std::to_string(I)).append("\r\n");
  WriteFile("RusMerkW.txt", Words);
  ASSERT_TRUE(LoadMerkWoerter());
  EXPECT_EQ(course::Kurs.MerkWoerter[1], std::string(30, 'x'));
  EXPECT_EQ(course::Kurs.MerkWoerter[2], "");
  EXPECT_EQ(course::Kurs.MerkWoerter[50], "w50");
  EXPECT_EQ(course::Kurs.MerkWoerter[0], "");
  // Any file name, and bytes the code page has no character for (0x98 in
  // 1251, 0x81 in 1252 and 1254) are kept as they are.
  WriteFile("TurMerkW.txt", std::string("\x81\x98\x8D") + std::string(35, 'y') + "\r\nz");
  ASSERT_TRUE(LoadMerkWoerter("TurMerkW.txt"));
  EXPECT_EQ(course::Kurs.MerkWoerter[1], std::string("\x81\x98\x8D") + std::string(27, 'y'));
  EXPECT_EQ(course::Kurs.MerkWoerter[2], "z");
  EXPECT_EQ(course::Kurs.MerkWoerter[3], "");
}

// Binary noise, truncated lines and huge lines in every file: each load ends,
// keeps its tables within their sizes and never teaches what it cannot sound.
TEST_F(LessonData, DamagedFilesOfEveryKindAreReadSafely) {
  std::mt19937 Gen(11);
  std::uniform_int_distribution<int> Byte(0, 255);
  auto Noise = [&](size_t Size) {
    std::string S(Size, '\0');
    for (char& C : S)
      C = static_cast<char>(Byte(Gen));
    return S;
  };
  course::Kurs.AlphabetFile = "Eng.txt";
  for (int Round = 0; Round < 12; ++Round) {
    WriteFile("LD.dat", Noise(300 + static_cast<size_t>(Round) * 500));
    WriteFile("Eng.txt", Noise(2000 + static_cast<size_t>(Round) * 300));
    WriteFile(MerkWortFileOf(1 + Round % 4), Noise(3000));
    Course->LoadLessonData(1 + Round % 4);
    ExpectSoundTables();
    course::Kurs.AlphabetFile = "Eng.txt"; // after a short LD.dat it is "Eng.Txt"
  }

  const std::string Huge(1024 * 1024, 'a');
  WriteFile("LD.dat", Huge);
  WriteFile("Eng.txt", "b-" + Huge);
  WriteFile("EngMerkW.txt", Huge);
  Course->LoadLessonData(1);
  EXPECT_EQ(sound::Codetafel.Letters, "b" + DigitsAndSigns);
  EXPECT_EQ(CodeOf('b'), "-aaaaaaaaa");
  EXPECT_EQ(course::Kurs.BuchFolge, DigitsAndSigns); // "a" is not in this alphabet
  EXPECT_EQ(course::Kurs.MerkWoerter[1], std::string(30, 'a'));
  ExpectSoundTables();

  // Truncated in the middle of a line, and an empty alphabet.
  WriteFile("LD.dat", "ba");
  WriteFile("Eng.txt", "a.-\r\nb-.");
  Course->LoadLessonData(1);
  EXPECT_EQ(CodeOf('b'), "-.");
  EXPECT_EQ(course::Kurs.BuchFolge, "ba" + DigitsAndSigns);
  WriteFile("Eng.txt", "");
  Course->LoadLessonData(1);
  EXPECT_EQ(sound::Codetafel.Letters, DigitsAndSigns);
  EXPECT_EQ(course::Kurs.BuchFolge, DigitsAndSigns);
}

} // namespace

#include "course/LessonData.h"

#include "CourseFixture.h"

#include <random>

namespace {

using LessonData = TCourseTest;

std::string Codes1Based(size_t P) {
  return Codetafel.Codes[P];
}

// What holds after any load, whatever the files held.
void ExpectSoundTables() {
  ASSERT_LE(Codetafel.Letters.size(), 50u);
  for (size_t P = 1; P <= 50; ++P) {
    EXPECT_LE(Codetafel.Codes[P].size(), 10u) << P;
    EXPECT_LE(Kurs.MerkWoerter[P].size(), 30u) << P;
  }
  for (const char C : Kurs.BuchFolge)
    EXPECT_NE(Codetafel.Letters.find(C), std::string::npos);
  for (size_t I = 0; I < Kurs.BuchFolge.size(); ++I)
    EXPECT_EQ(Kurs.BuchFolge.find(Kurs.BuchFolge[I]), I) << "taught twice";
}

TEST_F(LessonData, AMissingLdDatIsCreatedWithTheDefaultOrderAndEngTxtIsUsed) {
  WriteFile("Eng.txt", LatinAlphabet());
  Kurs.AlphabetFile = "Rus.txt";
  EXPECT_FALSE(Course->LoadLessonData(3));
  EXPECT_TRUE(Reporter.Messages.empty());
  EXPECT_EQ(ReadFile("LD.dat"), "tmoeishagfpdlwbzqjyunxkrvc\r\n");
  EXPECT_EQ(Kurs.AlphabetFile, "eng.txt");
  EXPECT_EQ(Kurs.BuchFolge, DefaultOrder + DigitsAndSigns);
  EXPECT_EQ(Codetafel.Letters, "abcdefghijklmnopqrstuvwxyz" + DigitsAndSigns);
}

TEST_F(LessonData, TooFewLinesGiveTheMessageAndTheDefaultOrderFromEngTxt) {
  WriteFile("LD.dat", "abc\r\n");
  WriteFile("Eng.txt", LatinAlphabet());
  Kurs.AlphabetFile = "Rus.txt";
  EXPECT_FALSE(Course->LoadLessonData(3));
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{"PPPPPPP"});
  EXPECT_EQ(Kurs.AlphabetFile, "Eng.Txt");
  EXPECT_EQ(Kurs.BuchFolge, DefaultOrder + DigitsAndSigns);
  EXPECT_EQ(ReadFile("LD.dat"), "abc\r\n"); // only a missing LD.dat is written

  // Line 2 without a line end is still a line.
  Reporter.Messages.clear();
  WriteFile("LD.dat", "abc\r\ncab");
  Kurs.AlphabetFile = "Eng.txt";
  EXPECT_TRUE(Course->LoadLessonData(2));
  EXPECT_TRUE(Reporter.Messages.empty());
  EXPECT_EQ(Kurs.BuchFolge, "cab" + DigitsAndSigns);
}

TEST_F(LessonData, TheLineOfTheLayoutIsTaughtWithOnlyTheLettersTheAlphabetHas) {
  WriteFile("LD.dat", "tmoe\r\nxq9zya.b\r\nlast\r\n");
  WriteFile("Deu.txt", LatinAlphabet("abcdefghijklmnoprstuvwxyz")); // no q
  Kurs.AlphabetFile = "Deu.txt";
  EXPECT_TRUE(Course->LoadLessonData(2));
  // q is missing from the alphabet; 9 and "." are taught with the digits and signs.
  EXPECT_EQ(Kurs.BuchFolge, "xzyab" + DigitsAndSigns);
  ExpectSoundTables();

  // The default order without q: 25 letters.
  WriteFile("LD.dat", std::string(DefaultOrder) + "\r\n");
  Course->LoadLessonData(1);
  EXPECT_EQ(Kurs.BuchFolge, "tmoeishagfpdlwbzjyunxkrvc" + DigitsAndSigns);
}

TEST_F(LessonData, ALetterTwiceInTheOrderIsTaughtOnce) {
  WriteFile("LD.dat", "abacbd\r\n");
  WriteFile("Eng.txt", LatinAlphabet());
  Kurs.AlphabetFile = "Eng.txt";
  Course->LoadLessonData(1);
  EXPECT_EQ(Kurs.BuchFolge, "abcd" + DigitsAndSigns);
}

TEST_F(LessonData, AnEmptyLdDatTeachesOnlyDigitsAndSigns) {
  WriteFile("LD.dat", "");
  WriteFile("Eng.txt", LatinAlphabet());
  Kurs.AlphabetFile = "Eng.txt";
  EXPECT_TRUE(Course->LoadLessonData(1));
  EXPECT_TRUE(Reporter.Messages.empty());
  EXPECT_EQ(Kurs.BuchFolge, DigitsAndSigns);
}

TEST_F(LessonData, AMissingAlphabetKeepsTheTableThatWasLoaded) {
  WriteFile("LD.dat", "ab\r\n");
  // At start there is no table: nothing can be taught.
  Kurs.AlphabetFile = "Rus.txt";
  Course->LoadLessonData(1);
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{"Rus.txt is not found!"});
  EXPECT_EQ(Codetafel.Letters, "");
  EXPECT_EQ(Kurs.BuchFolge, "");

  WriteFile("Eng.txt", LatinAlphabet());
  Kurs.AlphabetFile = "Eng.txt";
  Course->LoadLessonData(1);
  const std::string Before = Codetafel.Letters;
  const auto CodesBefore = Codetafel.Codes;
  Kurs.AlphabetFile = "Tur.txt";
  Reporter.Messages.clear();
  Course->LoadLessonData(1);
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{"Tur.txt is not found!"});
  EXPECT_EQ(Codetafel.Letters, Before);
  EXPECT_EQ(Codetafel.Codes, CodesBefore);
  EXPECT_EQ(Kurs.BuchFolge, "ab" + DigitsAndSigns);
}

TEST_F(LessonData, TheCodeTableHoldsTheLettersThenTheBuiltInDigitsAndSigns) {
  WriteFile("abc.txt", "a.-\r\n\r\nB-...\r\nc-.-.-.-.-.-.-\r\nd\r\n");
  Kurs.AlphabetFile = "ABC.TXT";
  ASSERT_TRUE(LoadCodeTable(Reporter));
  EXPECT_EQ(Codetafel.Letters, "abcd" + DigitsAndSigns);
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
  Kurs.AlphabetFile = "Rus.txt";
  ASSERT_TRUE(LoadCodeTable(Reporter));
  ASSERT_EQ(Codetafel.Letters.size(), 50u);
  EXPECT_EQ(Codetafel.Letters[0], 'a');
  EXPECT_EQ(Codes1Based(1), ".-");
  EXPECT_EQ(Codetafel.Letters[1], '\xC0');
  EXPECT_EQ(Codetafel.Letters[31], '\xDE');
  EXPECT_EQ(Codetafel.Letters.substr(32), DigitsAndSigns);
  EXPECT_EQ(CodeOf('1'), ".----");
  EXPECT_EQ(CodeOf('.'), ".-.-.-");
}

TEST_F(LessonData, MnemonicWordsFollowTheCodeTableAndTurnTheCheckBoxOnAndOff) {
  WriteFile("LD.dat", "ab\r\n");
  WriteFile("Eng.txt", LatinAlphabet());
  Kurs.AlphabetFile = "Eng.txt";
  std::string Words;
  // Appended piece by piece: "w" + ... makes GCC 12 at -O3 warn falsely (-Wrestrict).
  for (int I = 1; I <= 26; ++I)
    Words.append("w").append(std::to_string(I)).append("\r\n");
  Words[0] = 'W';
  WriteFile("RusMerkW.txt", Words);
  Course->LoadLessonData(1);
  EXPECT_EQ(Kurs.MerkWoerter[1], "W1");
  EXPECT_EQ(Kurs.MerkWoerter[26], "w26");
  EXPECT_EQ(Kurs.MerkWoerter[27], ""); // the digits and signs
  EXPECT_EQ(Kurs.MerkWoerter[50], "");
  EXPECT_TRUE(Kurs.MerkWoerterGeladen);

  // Without the file the words stay but are no longer offered.
  std::filesystem::remove("RusMerkW.txt");
  Course->LoadLessonData(1);
  EXPECT_EQ(Kurs.MerkWoerter[1], "W1");
  EXPECT_FALSE(Kurs.MerkWoerterGeladen);

  WriteFile("rusmerkw.TXT", "x\r\n");
  Course->LoadLessonData(1);
  EXPECT_EQ(Kurs.MerkWoerter[1], "x");
  EXPECT_EQ(Kurs.MerkWoerter[2], "");
  EXPECT_TRUE(Kurs.MerkWoerterGeladen);
}

TEST_F(LessonData, AWordIsCutTo30BytesAndLinesAfterTheFiftiethAreIgnored) {
  std::string Words = std::string(40, 'x') + "\r\n\r\n";
  for (int I = 3; I <= 60; ++I)
    Words.append("w").append(std::to_string(I)).append("\r\n");
  WriteFile("RusMerkW.txt", Words);
  ASSERT_TRUE(LoadMerkWoerter());
  EXPECT_EQ(Kurs.MerkWoerter[1], std::string(30, 'x'));
  EXPECT_EQ(Kurs.MerkWoerter[2], "");
  EXPECT_EQ(Kurs.MerkWoerter[50], "w50");
  EXPECT_EQ(Kurs.MerkWoerter[0], "");
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
  Kurs.AlphabetFile = "Eng.txt";
  for (int Round = 0; Round < 12; ++Round) {
    WriteFile("LD.dat", Noise(300 + static_cast<size_t>(Round) * 500));
    WriteFile("Eng.txt", Noise(2000 + static_cast<size_t>(Round) * 300));
    WriteFile("RusMerkW.txt", Noise(3000));
    Course->LoadLessonData(1 + Round % 4);
    ExpectSoundTables();
    Kurs.AlphabetFile = "Eng.txt"; // after a short LD.dat it is "Eng.Txt"
  }

  const std::string Huge(10 * 1024 * 1024, 'a');
  WriteFile("LD.dat", Huge);
  WriteFile("Eng.txt", "b-" + Huge);
  WriteFile("RusMerkW.txt", Huge);
  Course->LoadLessonData(1);
  EXPECT_EQ(Codetafel.Letters, "b" + DigitsAndSigns);
  EXPECT_EQ(CodeOf('b'), "-aaaaaaaaa");
  EXPECT_EQ(Kurs.BuchFolge, DigitsAndSigns); // "a" is not in this alphabet
  EXPECT_EQ(Kurs.MerkWoerter[1], std::string(30, 'a'));
  ExpectSoundTables();

  // Truncated in the middle of a line, and an empty alphabet.
  WriteFile("LD.dat", "ba");
  WriteFile("Eng.txt", "a.-\r\nb-.");
  Course->LoadLessonData(1);
  EXPECT_EQ(CodeOf('b'), "-.");
  EXPECT_EQ(Kurs.BuchFolge, "ba" + DigitsAndSigns);
  WriteFile("Eng.txt", "");
  Course->LoadLessonData(1);
  EXPECT_EQ(Codetafel.Letters, DigitsAndSigns);
  EXPECT_EQ(Kurs.BuchFolge, DigitsAndSigns);
}

} // namespace

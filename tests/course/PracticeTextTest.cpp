#include "course/PracticeText.h"

#include "CourseFixture.h"
#include "course/LessonData.h"
#include "base/TextFile.h"
#include "course/WordList.h"
#include "base/BareFile.h"

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>

namespace {

using course::MakePracticeText;
using course::TPracticeKind;
using course::TPracticeRequest;
using course::TPracticeText;
using TError = TPracticeText::TError;

struct TCourseFile {
  const char* Alphabet;
  const char* Codec;
  const char* Words;
};
const TCourseFile Courses[] = {{"Eng.txt", "windows-1252", "EngWords.txt"},
                               {"Deu.txt", "windows-1252", "DeuWords.txt"},
                               {"Rus.txt", "windows-1251", "RusWords.txt"},
                               {"Tur.txt", "windows-1254", "TurWords.txt"}};
const TPracticeKind MadeKinds[] = {TPracticeKind::Groups, TPracticeKind::Words,
                                   TPracticeKind::Callsigns, TPracticeKind::Contacts,
                                   TPracticeKind::Abbreviations};

QString Decode(const std::string& Bytes, const char* Codec) {
  QStringDecoder D(Codec);
  return D.decode(QByteArrayView(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
}

// What a course sounds, in Unicode capitals, worked out from its alphabet
// file apart from the program's own letter cases.
std::set<QChar> SoundedCapitals(const TCourseFile& C) {
  const std::string File =
      ReadFileBytes(std::string(VELM_SOURCE_DIR "/data/") + C.Alphabet).value_or("");
  std::set<QChar> Out;
  const QString Letters = Decode(File, C.Codec);
  const bool Turkish = std::string(C.Alphabet) == "Tur.txt";
  for (const QString& Line : Letters.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
    const QChar L = Line[0];
    Out.insert(Turkish && L == QChar(0x131) ? QChar('I')
               : Turkish && L == QChar('i') ? QChar(0x130)
                                            : L.toUpper());
  }
  for (const char S : std::string("1234567890.,?/+=@"))
    Out.insert(QChar(S));
  Out.insert(QChar(0xA7));
  return Out;
}

std::vector<std::string> Split(const std::string& Text) {
  std::istringstream In(Text);
  std::vector<std::string> Words;
  std::string W;
  while (In >> W)
    Words.push_back(W);
  return Words;
}

class PracticeText : public TTempDirTest {
protected:
  void SetUp() override {
    TTempDirTest::SetUp();
    SetShippedDataDir(VELM_SOURCE_DIR "/data");
  }
  void TearDown() override {
    SetShippedDataDir({});
    TTempDirTest::TearDown();
  }
  static TPracticeText Make(TPracticeKind Kind, const char* Alphabet,
                            const std::string& Allowed = "", uint32_t Seed = 7,
                            int32_t Chars = 250) {
    TPracticeRequest R;
    R.Kind = Kind;
    R.AlphabetFile = Alphabet;
    R.Allowed = Allowed;
    R.Seed = Seed;
    R.Chars = Chars;
    return MakePracticeText(R);
  }
};

TEST_F(PracticeText, EveryKindOfEveryCourseIsMadeOfWhatTheCourseSoundsSinglySpacedAndReproducible) {
  for (const TCourseFile& C : Courses) {
    const std::set<QChar> Sounded = SoundedCapitals(C);
    for (const TPracticeKind Kind : MadeKinds) {
      SCOPED_TRACE(std::string(C.Alphabet) + " kind " + std::to_string(static_cast<int>(Kind)));
      const TPracticeText T = Make(Kind, C.Alphabet);
      ASSERT_EQ(T.Error, TError::None);
      ASSERT_FALSE(T.Text.empty());
      EXPECT_EQ(T.Text.find("  "), std::string::npos);
      EXPECT_NE(T.Text.front(), ' ');
      EXPECT_NE(T.Text.back(), ' ');
      for (const QChar Q : Decode(T.Text, C.Codec))
        EXPECT_TRUE(Q == ' ' || Sounded.count(Q) == 1)
            << QString(Q).toStdString() << " in " << T.Text;
      const auto Letters = static_cast<int32_t>(
          T.Text.size() - static_cast<size_t>(std::count(T.Text.begin(), T.Text.end(), ' ')));
      EXPECT_GE(Letters, 250);
      EXPECT_LT(Letters, Kind == TPracticeKind::Contacts ? 1200 : 280);
      EXPECT_EQ(Make(Kind, C.Alphabet).Text, T.Text);
      EXPECT_NE(Make(Kind, C.Alphabet, "", 8).Text, T.Text);
    }
  }
}

TEST_F(PracticeText, OnlyTheAllowedCharactersAppearAndAKindThatCannotBeMadeSaysSo) {
  const std::string Allowed = "TMOEISHANRDK0123456789/";
  for (const TPracticeKind Kind : MadeKinds) {
    const TPracticeText T = Make(Kind, "Eng.txt", Allowed);
    ASSERT_EQ(T.Error, TError::None) << static_cast<int>(Kind);
    for (const char Ch : T.Text)
      EXPECT_TRUE(Ch == ' ' || Allowed.find(Ch) != std::string::npos) << T.Text;
  }
  // Small letters asked for count as their capitals.
  EXPECT_EQ(Make(TPracticeKind::Groups, "Eng.txt", "et").Text.find_first_not_of("ET "),
            std::string::npos);
  // No word, callsign or abbreviation of these alone.
  for (const TPracticeKind Kind : {TPracticeKind::Words, TPracticeKind::Callsigns,
                                   TPracticeKind::Contacts, TPracticeKind::Abbreviations}) {
    const TPracticeText T = Make(Kind, "Eng.txt", "QJ");
    EXPECT_EQ(T.Error, TError::NothingSoundable);
    EXPECT_TRUE(T.Text.empty());
  }
  // The Turkish course has no Q, W or X: its contacts say otherwise what needs them.
  const TPracticeText Tur = Make(TPracticeKind::Contacts, "Tur.txt", "", 3, 2000);
  EXPECT_EQ(Tur.Text.find_first_of("QWX"), std::string::npos);
}

TEST_F(PracticeText, WordsComeFromTheFirstWordDepthWordsOfTheList) {
  const std::vector<std::string> List = course::ReadWordList("EngWords.txt").Words;
  ASSERT_GE(List.size(), 1000u);
  TPracticeRequest R;
  R.Kind = TPracticeKind::Words;
  R.WordDepth = 30;
  R.Chars = 2000;
  const std::vector<std::string> Words = Split(MakePracticeText(R).Text);
  const std::set<std::string> Drawn(Words.begin(), Words.end());
  EXPECT_GT(Drawn.size(), 20u);
  for (const std::string& W : Drawn)
    EXPECT_NE(std::find(List.begin(), List.begin() + 30, W), List.begin() + 30) << W;
  for (size_t I = 1; I < Words.size(); ++I)
    EXPECT_NE(Words[I], Words[I - 1]);
}

TEST_F(PracticeText, EachShippedWordListHoldsAThousandDistinctCapitalWordsItsCourseSounds) {
  for (const TCourseFile& C : Courses) {
    const course::TWordList List = course::ReadWordList(C.Words);
    ASSERT_EQ(List.Error, TError::None) << C.Words;
    EXPECT_GE(List.Words.size(), 1000u) << C.Words;
    const std::set<QChar> Sounded = SoundedCapitals(C);
    std::set<std::string> Seen;
    for (const std::string& W : List.Words) {
      EXPECT_TRUE(Seen.insert(W).second) << C.Words << " twice: " << W;
      for (const QChar Q : Decode(W, C.Codec))
        EXPECT_TRUE(Q.isLetter() && Sounded.count(Q) == 1) << C.Words << ": " << W;
    }
  }
}

TEST_F(PracticeText, CallsignsHaveTheUsualShapesDigitsOfTheirPrefixAndMostlyTheCoursesCountries) {
  const std::regex Shape("[A-Z0-9]{1,2}[0-9][A-Z]{1,3}(/P|/M|/QRP)?");
  const std::regex English("([GMKWN][A-Z]?|2[EWMI]|A[A-L]|V[EAOYK]|ZL)[0-9].*");
  const std::vector<std::string> Calls =
      Split(Make(TPracticeKind::Callsigns, "Eng.txt", "", 5, 3000).Text);
  size_t Home = 0;
  std::set<size_t> SuffixLengths;
  for (const std::string& Call : Calls) {
    ASSERT_TRUE(std::regex_match(Call, Shape)) << Call;
    if (Call.rfind("2E", 0) == 0) {
      EXPECT_TRUE(Call[2] == '0' || Call[2] == '1') << Call;
    }
    if (Call.rfind("VK", 0) == 0) {
      EXPECT_TRUE(Call[2] >= '1' && Call[2] <= '8') << Call;
    }
    const std::string Bare = Call.substr(0, Call.find('/'));
    SuffixLengths.insert(Bare.size() - Bare.find_last_of("0123456789") - 1);
    if (std::regex_match(Bare, English))
      ++Home;
  }
  EXPECT_EQ(SuffixLengths, (std::set<size_t>{1, 2, 3}));
  // Ten times the weight of the others' share.
  EXPECT_GT(Home * 10, Calls.size() * 7);
  EXPECT_LT(Home, Calls.size());
  // The Russian course writes them in its own letters of the same codes.
  const std::string Rus = Make(TPracticeKind::Callsigns, "Rus.txt", "", 5, 2000).Text;
  const QString U = Decode(Rus, "windows-1251");
  EXPECT_TRUE(U.contains(QStringLiteral("УА")) || U.contains(QStringLiteral("Р")));
  EXPECT_FALSE(U.contains(QRegularExpression(QStringLiteral("[A-Z]"))));
}

TEST_F(PracticeText, ContactsRunFromTheCallToTheFarewellInTheCoursesConventions) {
  const std::string Eng = Make(TPracticeKind::Contacts, "Eng.txt", "", 11, 1).Text;
  EXPECT_TRUE(Eng.rfind("CQ ", 0) == 0) << Eng;
  for (const char* Part : {" DE ", " RST ", " 73", " SK"})
    EXPECT_NE(Eng.find(Part), std::string::npos) << Part << " in " << Eng;
  EXPECT_TRUE(Eng.ends_with(" SK") || Eng.ends_with(" EE")) << Eng;
  const std::string Deu = Make(TPracticeKind::Contacts, "Deu.txt", "", 11, 3000).Text;
  EXPECT_TRUE(Deu.find("HIER") != std::string::npos && Deu.find("DR OM") != std::string::npos)
      << Deu;
  const QString Rus =
      Decode(Make(TPracticeKind::Contacts, "Rus.txt", "", 11, 3000).Text, "windows-1251");
  EXPECT_TRUE(Rus.contains(QStringLiteral(" ДЕ ")) && Rus.contains(QStringLiteral("СПАСИБО")))
      << Rus.toStdString();
}

TEST_F(PracticeText, TheLearnersTextKeepsItsWordsInCapitalsAndCountsWhatCannotBeSounded) {
  TPracticeRequest R;
  R.Kind = TPracticeKind::Text;
  R.AlphabetFile = "Deu.txt";
  R.LearnerText = "Grüße aus der Straße!\r\n\tZeile  zwei, 73";
  TPracticeText T = MakePracticeText(R);
  EXPECT_EQ(T.Text, "GR\xDCSSE AUS DER STRASSE ZEILE ZWEI, 73");
  EXPECT_EQ(T.Skipped, 1);
  R.LearnerText = "Gr\xFC\xDF"
                  "e \xE9t\xE9 a@b \xA7 1"; // code page 1252
  T = MakePracticeText(R);
  EXPECT_EQ(T.Text, "GR\xDCSSE T AB 1");
  EXPECT_EQ(T.Skipped, 4);
  // Only the characters reached.
  R.Allowed = "GRE";
  T = MakePracticeText(R);
  EXPECT_EQ(T.Text, "GRE");
  EXPECT_EQ(T.Skipped, 10);

  R.Allowed.clear();
  R.AlphabetFile = "Rus.txt";
  R.LearnerText = "Ёлка у подъезда, Hi";
  T = MakePracticeText(R);
  EXPECT_EQ(Decode(T.Text, "windows-1251"), QStringLiteral("ЕЛКА У ПОДЬЕЗДА,"));
  EXPECT_EQ(T.Skipped, 2);
  R.AlphabetFile = "Tur.txt";
  R.LearnerText = "İstanbul ılık, Quiz";
  T = MakePracticeText(R);
  EXPECT_EQ(Decode(T.Text, "windows-1254"), QStringLiteral("İSTANBUL ILIK, UİZ"));
  EXPECT_EQ(T.Skipped, 1);
}

TEST_F(PracticeText, ABadLearnersTextOrListIsToldAndMakesNothing) {
  const auto Learner = [](const std::string& Bytes) {
    TPracticeRequest R;
    R.Kind = TPracticeKind::Text;
    R.LearnerText = Bytes;
    return MakePracticeText(R);
  };
  EXPECT_EQ(Learner(std::string(course::PracticeFileMaxBytes + 1, 'e')).Error, TError::TooLarge);
  EXPECT_EQ(Learner(std::string("ab\0cd", 5)).Error, TError::Binary);
  EXPECT_EQ(Learner("a\x01\x02\x03\x04 b").Error, TError::Binary);
  const TPracticeText Nothing = Learner("!!! ~~");
  EXPECT_EQ(Nothing.Error, TError::NothingSoundable);
  EXPECT_EQ(Nothing.Skipped, 5);
  EXPECT_EQ(Learner("").Error, TError::NothingSoundable);

  // A list in the learner's folder comes first, LF lines and small letters too.
  WriteFile("engwords.txt", "tea\nmet\n  tee  extra\n\n");
  EXPECT_EQ(Make(TPracticeKind::Words, "Eng.txt", "", 1, 9).Text.size(), 11u);
  EXPECT_EQ(Make(TPracticeKind::Words, "Eng.txt", "", 1, 9).Text.find_first_not_of("TEAM "),
            std::string::npos);
  WriteFile("engwords.txt", "\r\n \r\n\x1A"
                            "after");
  EXPECT_EQ(Make(TPracticeKind::Words, "Eng.txt").Error, TError::EmptyList);
  WriteFile("engwords.txt", std::string("THE\0\0\0", 6));
  EXPECT_EQ(Make(TPracticeKind::Words, "Eng.txt").Error, TError::Binary);
  WriteFile("engwords.txt", std::string(course::PracticeFileMaxBytes + 1, 'A'));
  EXPECT_EQ(Make(TPracticeKind::Words, "Eng.txt").Error, TError::TooLarge);
  SetShippedDataDir({});
  EXPECT_EQ(Make(TPracticeKind::Abbreviations, "Eng.txt").Error, TError::NoList);
}

} // namespace

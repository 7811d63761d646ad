#include "course/LessonPlan.h"

#include "CourseViewFixture.h"

#include <QRadioButton>

namespace {

class Sequence : public TCourseViewTest {
protected:
  void SetUp() override {
    TCourseViewTest::SetUp();
    LoadEnglish();
  }

  // The start of an exercise as the session does it.
  TSequenceDraw Generate(uint8_t Lekt, uint8_t Ueb, uint32_t Seed) {
    course::Kurs.LektNr = Lekt;
    course::Kurs.UebNr = Ueb;
    course::Kurs.MaxLektNr = std::max(course::Kurs.MaxLektNr, Lekt);
    Course->ComputeLesson();
    return Course->DrawExercise(Seed);
  }

  // How many characters the exercise draws from.
  static int32_t Candidates() {
    return static_cast<int32_t>(course::Kurs.UebNr == 2   ? course::Kurs.NeueZeichen.size()
                                : course::Kurs.UebNr == 3 ? course::Kurs.LektZeichen.size()
                                                          : course::Folge.GruppenZeichen.size());
  }

  // The characters the entries stand for.
  std::string Sounds() const {
    std::string S;
    for (const int32_t E : course::Folge.UebFolge) {
      if (course::Kurs.UebNr == 2)
        S += course::Kurs.NeueZeichen.at(static_cast<size_t>(E) - 1);
      else
        S += course::Kurs.KursFolge.at(static_cast<size_t>(E) - 1);
    }
    return S;
  }

  // Marks the characters' keys as a click on each of them does.
  void Lime(const std::string& Chars) {
    for (const char C : Chars) {
      course::Folge.Markiert[static_cast<size_t>(LetterPos(C))] = true;
      KeyOf(C)->SetFontColor(KeyLime);
    }
  }

};

// The rules every drawn sequence keeps, checked for many seeds in every
// kind of lesson.
TEST_F(Sequence, EveryRuleHoldsOnEverySequence) {
  course::Kurs.GruppenZahl = 10;
  for (uint8_t Lekt = 1; Lekt <= 13; ++Lekt)
    for (uint8_t Ueb = 2; Ueb <= 4; ++Ueb)
      for (uint32_t Seed = 1; Seed <= 60; ++Seed) {
        SCOPED_TRACE(testing::Message()
                     << "lesson " << int{Lekt} << " exercise " << int{Ueb} << " seed " << Seed);
        const TSequenceDraw D = Generate(Lekt, Ueb, Seed);
        ASSERT_EQ(D.Limit, Ueb == 2 ? 5 : Ueb == 3 ? 3 : course::Folge.UebLaenge / Candidates() + 1);
        int32_t Drawn = 0;
        for (int32_t V = 1; V <= Candidates(); ++V) {
          ASSERT_LE(D.Counts[static_cast<size_t>(V)], D.Limit);
          Drawn += D.Counts[static_cast<size_t>(V)];
        }
        EXPECT_EQ(Drawn, course::Folge.UebLaenge); // every entry was one first choice
        const std::string S = Sounds();
        for (size_t I = 1; I < S.size(); ++I)
          ASSERT_NE(S[I], S[I - 1]) << S;
        const std::string Allowed = Ueb == 2   ? course::Kurs.NeueZeichen
                                    : Ueb == 3 ? course::Kurs.LektZeichen
                                               : course::Folge.GruppenZeichen;
        for (const char C : S)
          ASSERT_NE(Allowed.find(C), std::string::npos) << S;
        if (Ueb == 4) {
          ASSERT_EQ(S.find('@'), std::string::npos);
          ASSERT_EQ(S.find('\xA7'), std::string::npos);
        }
        if (Lekt == 9 && Ueb == 3) {
          for (const int32_t E : course::Folge.UebFolge) {
            ASSERT_NE(std::string("1234567890").find(course::Kurs.KursFolge[static_cast<size_t>(E) - 1]),
                      std::string::npos);
          }
        }
      }
}

TEST_F(Sequence, TheSameSeedDrawsTheSameSequenceAndOthersDiffer) {
  Generate(5, 4, 42);
  const auto First = course::Folge.UebFolge;
  Generate(5, 4, 42);
  EXPECT_EQ(course::Folge.UebFolge, First);
  Generate(5, 4, 43);
  EXPECT_NE(course::Folge.UebFolge, First);
}

TEST_F(Sequence, TheFirstGroupRunOfANewLessonOpensWithItsNewCharacters) {
  course::Folge.NeuVorn = true;
  Generate(2, 4, 5);
  ASSERT_EQ(course::Folge.UebLaenge, 50);
  const std::string S = Sounds();
  EXPECT_EQ(S.substr(0, 20), std::string("iiiii") + "sssss" + "hhhhh" + "aaaaa");
  EXPECT_NE(S[20], 'a');
  for (size_t I = 21; I < S.size(); ++I)
    EXPECT_NE(S[I], S[I - 1]);
}

TEST_F(Sequence, AMarkedCharacterSoundsTwiceInARow) {
  course::Folge.MarkModus = true;
  course::Folge.Markiert[static_cast<size_t>(LetterPos('s'))] = true;
  for (uint32_t Seed = 1; Seed <= 40; ++Seed) {
    Generate(3, 4, Seed);
    const std::string S = Sounds();
    for (size_t I = 0; I < S.size(); ++I) {
      if (S[I] != 's')
        continue;
      // Each s is one of a pair, and the pair is followed by another character.
      const bool PairStart = I + 1 < S.size() && S[I + 1] == 's';
      const bool PairEnd = I > 0 && S[I - 1] == 's';
      ASSERT_TRUE(PairStart != PairEnd || I + 1 == S.size()) << S;
      if (PairEnd) {
        ASSERT_TRUE(I + 1 == S.size() || S[I + 1] != 's') << S;
      }
    }
    for (size_t I = 1; I < S.size(); ++I) {
      if (S[I] == S[I - 1]) {
        ASSERT_EQ(S[I], 's') << S;
      }
    }
  }
  // Not in another exercise.
  Generate(3, 3, 1);
  const std::string S = Sounds();
  for (size_t I = 1; I < S.size(); ++I)
    EXPECT_NE(S[I], S[I - 1]);
}

TEST_F(Sequence, OnlyDrawsFromTheLimeKeys) {
  View.OnlyRB->setChecked(true);
  Lime("tme");
  for (uint32_t Seed = 1; Seed <= 30; ++Seed) {
    const TSequenceDraw D = Generate(3, 4, Seed);
    EXPECT_TRUE(D.Only);
    EXPECT_EQ(course::Folge.OnlyZeichen, "etm"); // in key order
    EXPECT_EQ(D.Limit, 50 / 3 + 1);
    const std::string S = Sounds();
    for (size_t I = 0; I < S.size(); ++I) {
      ASSERT_NE(std::string("tme").find(S[I]), std::string::npos);
      if (I > 0) {
        ASSERT_NE(S[I], S[I - 1]);
      }
    }
  }
  // Two keys alternate freely, repeats allowed.
  View.NormalRB->setChecked(true);
  View.OnlyRB->setChecked(true);
  Lime("ao");
  bool Repeat = false;
  for (uint32_t Seed = 1; Seed <= 10; ++Seed) {
    Generate(3, 4, Seed);
    const std::string S = Sounds();
    EXPECT_EQ(S.find_first_not_of("ao"), std::string::npos);
    for (size_t I = 1; I < S.size(); ++I)
      Repeat = Repeat || S[I] == S[I - 1];
  }
  EXPECT_TRUE(Repeat);
}

// The draw follows the marks, whatever colour a key shows.
TEST_F(Sequence, OnlyDrawsFromTheMarksNotFromTheColours) {
  View.OnlyRB->setChecked(true);
  ASSERT_TRUE(course::Folge.Only);
  Lime("tm");
  KeyOf('e')->SetFontColor(KeyLime); // coloured, not marked
  const TSequenceDraw D = Generate(3, 4, 5);
  EXPECT_TRUE(D.Only);
  EXPECT_EQ(course::Folge.OnlyZeichen, "tm");
  // Only chosen in the state alone, as a restored session does.
  View.NormalRB->setChecked(true);
  course::Folge.Only = true;
  Lime("ao");
  EXPECT_TRUE(Generate(3, 4, 5).Only);
  EXPECT_EQ(Sounds().find_first_not_of("ao"), std::string::npos);
}

TEST_F(Sequence, OnlyWithFewerThanTwoLimeKeysFallsBackToNormal) {
  View.OnlyRB->setChecked(true);
  Lime("t");
  const TSequenceDraw D = Generate(3, 4, 9);
  EXPECT_FALSE(D.Only);
  EXPECT_TRUE(View.NormalRB->isChecked());
  EXPECT_FALSE(course::Folge.Only);
  EXPECT_FALSE(course::Folge.Markiert[static_cast<size_t>(LetterPos('t'))]);
  EXPECT_EQ(KeyOf('t')->FontColor(), KeyRed);
  EXPECT_NE(Sounds().find_first_not_of("t"), std::string::npos);
  // A lime key outside the lesson does not count either.
  View.OnlyRB->setChecked(true);
  Lime("tq");
  EXPECT_FALSE(Generate(3, 4, 9).Only);
}

TEST_F(Sequence, DigitAndSignLessonsPointIntoTheirPartOfTheCourse) {
  Generate(9, 3, 3);
  EXPECT_EQ(Sounds().find_first_not_of("1234567890"), std::string::npos);
  Generate(11, 4, 3);
  EXPECT_EQ(Sounds().find_first_not_of(".,?/+="), std::string::npos);
  // Exercise 2 names the large keys, not the course.
  Generate(9, 2, 3);
  for (const int32_t E : course::Folge.UebFolge) {
    EXPECT_GE(E, 1);
    EXPECT_LE(E, 5);
  }
}

TEST_F(Sequence, OneCandidateGivesARunOfItAndNoneGivesNoEntries) {
  course::Kurs.UebNr = 4;
  course::Folge.UebFolge.assign(7, -1);
  Course->GenerateSequence(7, 1, 1);
  EXPECT_EQ(course::Folge.UebFolge, std::vector<int32_t>(7, 1));
  course::Folge.UebFolge.assign(3, -1);
  Course->GenerateSequence(3, 0, 1);
  EXPECT_EQ(course::Folge.UebFolge, std::vector<int32_t>(3, 0));
  // A caller that sized nothing still gets its entries; more entries than the
  // limits allow raise the limit instead of drawing forever.
  course::Kurs.UebNr = 2;
  course::Folge.UebFolge.clear();
  const TSequenceDraw D = Course->GenerateSequence(40, 2, 1);
  EXPECT_EQ(course::Folge.UebFolge.size(), 40u);
  EXPECT_EQ(D.Limit, 20);
}

} // namespace

// The weak practice: every character of the lesson still comes, the weak
// one more often, its confusion partner often right after it, no character
// twice in a row but the marked one, which still comes in pairs.
TEST_F(Sequence, TheWeakPracticeDrawsTheWeakCharactersMoreOftenAndKeepsEveryRule) {
  course::Kurs.GruppenZahl = 10;
  course::Tastatur.InputLayoutNr = 1;
  Generate(3, 4, 1);
  const std::string Lesson = course::Folge.GruppenZeichen;
  ASSERT_GE(Lesson.size(), 6u);
  const char Weak = Lesson[1];
  const char Partner = Lesson[4];
  TSchwaechen S;
  S[{1, Weak}] = {WeakWeight(0.5, 1800, 1000, 0.3), std::string(1, Partner)};
  EXPECT_DOUBLE_EQ((S[{1, Weak}].Gewicht), 1 + 2 + 1.6 + 0.6);
  EXPECT_DOUBLE_EQ(WeakWeight(0, 400, 1000, 0), 1.0);
  Course->SetSchwaechen(S);
  size_t WeakCount = 0;
  size_t Others = 0;
  size_t PartnerAfter = 0;
  for (uint32_t Seed = 1; Seed <= 100; ++Seed) {
    course::Folge.MarkModus = Seed % 2 == 0;
    course::Folge.Markiert[static_cast<size_t>(LetterPos(Lesson[0]))] = true;
    Generate(3, 4, Seed);
    const std::string Got = Sounds();
    ASSERT_EQ(Got.size(), 50u);
    for (const char C : Lesson)
      ASSERT_NE(Got.find(C), std::string::npos) << Got;
    for (size_t I = 1; I < Got.size(); ++I) {
      if (Got[I] == Got[I - 1]) {
        ASSERT_TRUE(course::Folge.MarkModus && Got[I] == Lesson[0]) << Got;
        ASSERT_TRUE(I < 2 || Got[I - 2] != Got[I]) << Got;
      }
      if (Got[I - 1] == Weak && Got[I] == Partner)
        ++PartnerAfter;
    }
    WeakCount += static_cast<size_t>(std::count(Got.begin(), Got.end(), Weak));
    Others += static_cast<size_t>(std::count(Got.begin(), Got.end(), Lesson[2]));
  }
  // Weight 5.2 against 1: about three times as often, with the one of each.
  EXPECT_GT(WeakCount, 2 * Others);
  // The partner (weight 1, about four of 50) follows the weak character
  // far more often than the one time in twelve of chance.
  EXPECT_GT(PartnerAfter * 6, WeakCount) << "the partner follows often";
  Course->SetSchwaechen({});
}

#include "course/LessonPlan.h"

#include "CourseViewFixture.h"

#include <utility>

namespace {

using TPos = std::pair<int, int>; // lesson, exercise

std::string Order(size_t Letters) {
  return std::string(DefaultOrder).substr(0, Letters) + DigitsAndSigns;
}

struct TLesson {
  std::string Lekt, Neue;
};

TLesson CharsOf(const std::string& Folge, int32_t L) {
  TLessonBounds B;
  EXPECT_TRUE(LessonBoundsOf(Folge, B));
  TLesson Out;
  LessonChars(Folge, B, L, Out.Lekt, Out.Neue);
  return Out;
}

TEST(LessonPlan, TwentySixLettersMakeSevenLetterLessonsTheLastTwoOfThree) {
  const std::string F = Order(26);
  TLessonBounds B;
  ASSERT_TRUE(LessonBoundsOf(F, B));
  EXPECT_EQ(B.BuchEnde, 7);
  EXPECT_EQ(B.ZiffEnde, 9);
  EXPECT_EQ(B.ZeichEnde, 12);
  const std::vector<std::string> New = {"tmoe",  "isha",  "gfpd", "lwbz", "qjyu",  "nxk",  "rvc",
                                        "12345", "67890", ".,?",  "/+=",  "@\xA7", "@\xA7"};
  for (int32_t L = 1; L <= 13; ++L)
    EXPECT_EQ(CharsOf(F, L).Neue, New[static_cast<size_t>(L - 1)]) << L;
  EXPECT_EQ(CharsOf(F, 5).Lekt, "tmoeishagfpdlwbzqjyu");
  EXPECT_EQ(CharsOf(F, 7).Lekt, DefaultOrder);
  EXPECT_EQ(CharsOf(F, 8).Lekt, "12345");
  EXPECT_EQ(CharsOf(F, 9).Lekt, "1234567890");
  EXPECT_EQ(CharsOf(F, 10).Lekt, ".,?");
  EXPECT_EQ(CharsOf(F, 11).Lekt, ".,?/+=");
  EXPECT_EQ(CharsOf(F, 12).Lekt, ".,?/+=@\xA7");
  EXPECT_EQ(CharsOf(F, 13).Lekt, F);
  EXPECT_EQ(GroupCandidates(CharsOf(F, 13).Lekt), std::string(DefaultOrder) + "1234567890.,?/+=");
  EXPECT_EQ(GroupCandidates(CharsOf(F, 11).Lekt), ".,?/+=");
}

TEST(LessonPlan, TwentyFourAndTwentyFiveLetters) {
  TLessonBounds B;
  ASSERT_TRUE(LessonBoundsOf(Order(24), B));
  EXPECT_EQ(B.BuchEnde, 6);
  for (int32_t L = 1; L <= 6; ++L) {
    EXPECT_EQ(CharsOf(Order(24), L).Lekt.size(), static_cast<size_t>(4 * L));
    EXPECT_EQ(CharsOf(Order(24), L).Neue.size(), 4u);
  }
  EXPECT_EQ(CharsOf(Order(24), 7).Lekt, "12345");

  ASSERT_TRUE(LessonBoundsOf(Order(25), B));
  EXPECT_EQ(B.BuchEnde, 7);
  const std::vector<size_t> Added = {4, 4, 4, 4, 3, 3, 3};
  size_t Total = 0;
  for (int32_t L = 1; L <= 7; ++L) {
    Total += Added[static_cast<size_t>(L - 1)];
    EXPECT_EQ(CharsOf(Order(25), L).Lekt.size(), Total) << L;
    EXPECT_EQ(CharsOf(Order(25), L).Neue.size(), Added[static_cast<size_t>(L - 1)]) << L;
  }
}

TEST(LessonPlan, WithoutLettersTheFirstLessonIsADigitLessonAndWithoutDigitsThereIsNoPlan) {
  TLessonBounds B;
  ASSERT_TRUE(LessonBoundsOf(DigitsAndSigns, B));
  EXPECT_EQ(B.BuchEnde, 0);
  EXPECT_EQ(SetOfLesson(B, 1), TLessonSet::Ziffern);
  EXPECT_EQ(CharsOf(DigitsAndSigns, 1).Lekt, "12345");
  EXPECT_FALSE(LessonBoundsOf("", B));
  EXPECT_FALSE(LessonBoundsOf("abc", B));
}

class Navigation : public TCourseViewTest {
protected:
  TPos Pos() const { return {course::Kurs.LektNr, course::Kurs.UebNr}; }
  TPos Shown() const {
    return {std::stoi(CaptionOf(View.LektLabel)), std::stoi(CaptionOf(View.UebLabel))};
  }
  void Weiter() {
    View.WeiterBtn->setEnabled(true);
    View.WeiterBtn->click();
  }
  void LektUp() { View.LektAD->OnUpClick(); }
  void LektDown() { View.LektAD->OnDownClick(); }
  void UebUp() { View.UebAD->OnUpClick(); }
  void UebDown() { View.UebAD->OnDownClick(); }
};

// The window shows what the course tells it: the position in its labels,
// the new characters' panel in exercises 1 and 2 only, Weiter off after a
// move on, the set buttons checked and enabled.
TEST_F(Navigation, TheWindowShowsThePositionTheCourseTellsIt) {
  LoadEnglish();
  StartAt(1, 2, 3, 1);
  EXPECT_EQ(Shown(), Pos());
  EXPECT_FALSE(View.R1Panel->isHidden());
  UebUp();
  EXPECT_EQ(Pos(), TPos(1, 4));
  EXPECT_EQ(Shown(), Pos());
  EXPECT_TRUE(View.R1Panel->isHidden());
  StartAt(12, 3, 12, 3);
  Weiter();
  EXPECT_EQ(Pos(), TPos(13, 4));
  EXPECT_EQ(Shown(), Pos());
  EXPECT_FALSE(View.WeiterBtn->isEnabled());
  EXPECT_TRUE(View.AllRB->isEnabled());
  EXPECT_TRUE(View.AllRB->isChecked());
  EXPECT_EQ(Congratulations, 1);
}

TEST_F(Navigation, TheSetButtonsJumpToTheirSetAndAreEnabledByProgress) {
  LoadEnglish();
  StartAt(3, 2, 11, 2);
  EXPECT_TRUE(View.ZiffRB->isEnabled());
  EXPECT_TRUE(View.ZeichRB->isEnabled());
  EXPECT_FALSE(View.AllRB->isEnabled());

  // Checking a button from the program runs its handler.
  View.AllRB->setChecked(true);
  EXPECT_EQ(Pos(), TPos(11, 2));
  View.ZiffRB->setChecked(true); // digits finished: their review exercise
  EXPECT_EQ(Pos(), TPos(9, 4));
  EXPECT_EQ(course::Kurs.Satz, SatzZiff);
  View.BRB->setChecked(true);
  EXPECT_EQ(Pos(), TPos(7, 4));
  EXPECT_EQ(course::Kurs.Satz, SatzBuch);
  View.ZeichRB->setChecked(true); // signs unfinished: the furthest position
  EXPECT_EQ(Pos(), TPos(11, 2));
  EXPECT_EQ(course::Kurs.Satz, SatzZeich);
  // Checking the button already checked does nothing.
  course::Kurs.LektNr = 10;
  View.ZeichRB->setChecked(true);
  EXPECT_EQ(Pos(), TPos(10, 2));

  StartAt(2, 1, 13, 4);
  EXPECT_TRUE(View.AllRB->isEnabled());
  View.BRB->setChecked(true); // in a letter lesson: stays
  EXPECT_EQ(Pos(), TPos(2, 1));
  View.ZeichRB->setChecked(true); // signs finished: exercise 3 of their last lesson
  EXPECT_EQ(Pos(), TPos(12, 3));
  View.AllRB->setChecked(true);
  EXPECT_EQ(Pos(), TPos(13, 4));

  StartAt(3, 1, 8, 2); // digits begun, not finished
  View.ZiffRB->setChecked(true);
  EXPECT_EQ(Pos(), TPos(8, 2));
  View.BRB->setChecked(true);
  EXPECT_EQ(Pos(), TPos(7, 4));
}

TEST_F(Navigation, TheSetButtonsDoNothingWhileTheLessonIsComputed) {
  LoadEnglish();
  StartAt(3, 2, 11, 2);
  course::Kurs.RBSperre = true;
  View.AllRB->setChecked(true);
  EXPECT_EQ(Pos(), TPos(3, 2));
  EXPECT_EQ(course::Kurs.Satz, SatzAlle); // the set is still recorded
  course::Kurs.RBSperre = false;
  // A digit lesson checks its set button without running its handler.
  StartAt(8, 1, 11, 2);
  EXPECT_TRUE(View.ZiffRB->isChecked());
  EXPECT_EQ(course::Kurs.Satz, SatzZiff);
  EXPECT_EQ(Pos(), TPos(8, 1));
}

// Stepping down onto the last lesson of a set chooses that set, unless all
// characters are chosen.
TEST_F(Navigation, AStepOntoTheLastLessonOfASetKeepsAllCharacters) {
  LoadEnglish();
  StartAt(8, 2, 13, 4);
  LektDown();
  EXPECT_EQ(Pos(), TPos(7, 2));
  EXPECT_EQ(course::Kurs.Satz, SatzBuch);
  EXPECT_TRUE(View.BRB->isChecked());

  StartAt(8, 2, 13, 4);
  View.AllRB->setChecked(true);
  ASSERT_EQ(course::Kurs.Satz, SatzAlle);
  course::Kurs.LektNr = 8;
  course::Kurs.UebNr = 2;
  LektDown();
  EXPECT_EQ(Pos(), TPos(7, 2));
  EXPECT_EQ(course::Kurs.Satz, SatzAlle);
  EXPECT_TRUE(View.AllRB->isChecked());
}

TEST_F(Navigation, OnlyTheKeysOfTheLessonAreUsable) {
  LoadEnglish();
  StartAt(2, 1, 2, 1);
  std::string Usable;
  for (TMButton* Key : View.Tasten)
    if (Key->isEnabled())
      Usable += Key->MChar();
  EXPECT_EQ(Usable, "etioashm"); // in keyboard order
  EXPECT_EQ(course::Kurs.LektZeichen, "tmoeisha");
  EXPECT_EQ(course::Kurs.NeueZeichen, "isha");

  StartAt(8, 1, 8, 1);
  Usable.clear();
  for (TMButton* Key : View.Tasten)
    if (Key->isEnabled())
      Usable += Key->MChar();
  EXPECT_EQ(Usable, "12345");
}

TEST_F(Navigation, WithoutDigitsInTheOrderTheBoundsAndKeysStay) {
  LoadEnglish();
  StartAt(2, 1, 2, 1);
  course::Kurs.KursFolge = "tmoe";
  course::Kurs.LektNr = 5;
  Course->ComputeLesson();
  EXPECT_EQ(course::Kurs.LektBuchEnde, 7);
  EXPECT_EQ(course::Kurs.LektZeichen, "tmoeisha");
  TMButton* A = KeyOf('a');
  ASSERT_NE(A, nullptr);
  EXPECT_TRUE(A->isEnabled());
  EXPECT_FALSE(course::Kurs.RBSperre);
}

TEST_F(Navigation, TheGroupCounterStepsByFiveAndShowsEndlessAsTwoEqualSigns) {
  EXPECT_EQ(course::Kurs.GruppenZahl, 10);
  for (int I = 0; I < 8; ++I)
    View.GroupAD->OnUpClick();
  EXPECT_EQ(course::Kurs.GruppenZahl, 50);
  EXPECT_EQ(CaptionOf(View.GroupLabel), "50");
  View.GroupAD->OnUpClick();
  EXPECT_EQ(CaptionOf(View.GroupLabel), "==");
  View.GroupAD->OnUpClick();
  EXPECT_EQ(course::Kurs.GruppenZahl, 55);
  View.GroupAD->OnDownClick();
  EXPECT_EQ(CaptionOf(View.GroupLabel), "50");
  for (int I = 0; I < 12; ++I)
    View.GroupAD->OnDownClick();
  EXPECT_EQ(course::Kurs.GruppenZahl, 5);
  EXPECT_EQ(CaptionOf(View.GroupLabel), "5");
}

} // namespace

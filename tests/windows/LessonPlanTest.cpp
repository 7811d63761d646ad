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

TEST_F(Navigation, WeiterWalksTheWholeCourseAndCongratulatesOnce) {
  LoadEnglish();
  StartAt(1, 1, 1, 1);
  std::vector<TPos> Expected = {{1, 1}, {1, 2}, {1, 4}};
  for (int L = 2; L <= 7; ++L)
    for (int U = 1; U <= 4; ++U)
      Expected.emplace_back(L, U);
  for (const TPos& P : std::vector<TPos>{{8, 1},
                                         {8, 2},
                                         {8, 4},
                                         {9, 1},
                                         {9, 2},
                                         {9, 3},
                                         {9, 4},
                                         {10, 1},
                                         {10, 2},
                                         {10, 4},
                                         {11, 1},
                                         {11, 2},
                                         {11, 3},
                                         {11, 4},
                                         {12, 1},
                                         {12, 2},
                                         {12, 3},
                                         {13, 4}})
    Expected.push_back(P);

  std::vector<TPos> Visited = {Pos()};
  while (Visited.size() < Expected.size()) {
    Weiter();
    Visited.push_back(Pos());
    EXPECT_EQ(Shown(), Pos());
    EXPECT_EQ(course::Kurs.MaxLektNr, course::Kurs.LektNr);
    EXPECT_FALSE(View.WeiterBtn->isEnabled());
    EXPECT_EQ(Congratulations, Pos() == TPos(13, 4) ? 1 : 0);
  }
  EXPECT_EQ(Visited, Expected);
  for (int I = 0; I < 3; ++I) {
    Weiter();
    EXPECT_EQ(Pos(), TPos(13, 4));
  }
  EXPECT_EQ(Congratulations, 1);
  EXPECT_TRUE(View.AllRB->isEnabled());
  EXPECT_TRUE(View.AllRB->isChecked());
  EXPECT_EQ(Reporter.Beeps, 0);
}

TEST_F(Navigation, WeiterOpensTheFirstGroupRunOfANewLessonWithItsNewCharacters) {
  LoadEnglish();
  StartAt(2, 3, 2, 3);
  View.OnlyRB->setChecked(true);
  Weiter();
  EXPECT_EQ(Pos(), TPos(2, 4));
  EXPECT_TRUE(course::Folge.NeuVorn);
  EXPECT_TRUE(View.NormalRB->isChecked());
  EXPECT_EQ(std::make_pair(course::Kurs.MaxLektNr, course::Kurs.MaxUebNr), std::make_pair(uint8_t{2}, uint8_t{4}));

  // The first digit lesson has no exercise 3 either.
  course::Folge.NeuVorn = false;
  StartAt(8, 2, 8, 2);
  Weiter();
  EXPECT_EQ(Pos(), TPos(8, 4));
  EXPECT_TRUE(course::Folge.NeuVorn);
}

TEST_F(Navigation, LessonOneHasExercisesOneTwoAndFour) {
  LoadEnglish();
  StartAt(1, 2, 1, 2);
  UebUp(); // exercise 2 is the furthest position
  EXPECT_EQ(Pos(), TPos(1, 2));
  EXPECT_EQ(Reporter.Beeps, 0);

  StartAt(1, 2, 3, 1); // the learner is past lesson 1
  UebUp();
  EXPECT_EQ(Pos(), TPos(1, 4));
  EXPECT_TRUE(View.R1Panel->isHidden());
  UebDown();
  EXPECT_EQ(Pos(), TPos(1, 2));
  EXPECT_FALSE(View.R1Panel->isHidden());
  UebDown();
  UebDown();
  EXPECT_EQ(Pos(), TPos(1, 1));
  EXPECT_EQ(Reporter.Beeps, 1);
  EXPECT_EQ(Shown(), Pos());
}

TEST_F(Navigation, TheLastSignLessonHasNoExerciseFourAndTheFinalLessonOnlyExerciseFour) {
  LoadEnglish();
  StartAt(12, 3, 13, 4);
  UebUp();
  EXPECT_EQ(Pos(), TPos(12, 3));
  EXPECT_EQ(Reporter.Beeps, 0);
  LektUp();
  EXPECT_EQ(Pos(), TPos(13, 4));
  UebDown();
  EXPECT_EQ(Pos(), TPos(13, 4));
  LektUp();
  EXPECT_EQ(Pos(), TPos(13, 4));
  EXPECT_TRUE(View.AllRB->isChecked());
  EXPECT_EQ(course::Kurs.Satz, SatzAlle);
  LektDown();
  EXPECT_EQ(Pos(), TPos(12, 3));
  EXPECT_TRUE(View.ZeichRB->isChecked());
  EXPECT_EQ(course::Kurs.Satz, SatzZeich);
  EXPECT_EQ(Congratulations, 0);
}

TEST_F(Navigation, StepsBeyondTheBoundsBeepAndStepsBeyondTheProgressAreUndoneSilently) {
  LoadEnglish();
  StartAt(1, 1, 5, 2);
  LektDown();
  EXPECT_EQ(Pos(), TPos(1, 1));
  EXPECT_EQ(Reporter.Beeps, 1);
  UebDown();
  EXPECT_EQ(Reporter.Beeps, 2);

  StartAt(3, 4, 5, 2);
  UebUp();
  EXPECT_EQ(Pos(), TPos(3, 4));
  EXPECT_EQ(Reporter.Beeps, 3);

  // Up to the furthest lesson, with an exercise beyond the furthest one.
  LektUp();
  EXPECT_EQ(Pos(), TPos(4, 4));
  LektUp();
  EXPECT_EQ(Pos(), TPos(5, 2));
  LektUp();
  UebUp();
  EXPECT_EQ(Pos(), TPos(5, 2));
  EXPECT_EQ(Reporter.Beeps, 3);
  EXPECT_EQ(std::make_pair(course::Kurs.MaxLektNr, course::Kurs.MaxUebNr), std::make_pair(uint8_t{5}, uint8_t{2}));
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

TEST_F(Navigation, ADamagedStoredLessonIsReadAsLessonOne) {
  LoadEnglish();
  StartAt(0, 1, 1, 1);
  EXPECT_EQ(Pos(), TPos(1, 1));
  EXPECT_EQ(course::Kurs.LektZeichen, "tmoe");
}

} // namespace

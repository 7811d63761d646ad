// The lesson navigation on a course whose display only records what it was
// told: the order of lessons and exercises, the bounds and the progress.
#include "CourseFixture.h"

#include <algorithm>
#include <utility>

namespace {

using TPos = std::pair<int, int>; // lesson, exercise

class LessonNav : public TCourseTest {
protected:
  // The English layout with the default teaching order.
  void SetUp() override {
    TCourseTest::SetUp();
    WriteFile("LD.dat", std::string(DefaultOrder) + "\r\n");
    WriteFile("Eng.txt", LatinAlphabet());
    course::Tastatur.TastReihen = {"", "1234567890", "qwertyuiop", "asdfghjkl", "zxcvbnm"};
    course::Tastatur.TastLinks = 24;
    course::Kurs.AlphabetFile = "Eng.txt";
    Course->LoadLessonData(1);
    Course->BindKeys();
  }

  // The start-up sequence's share: the stored position, then the lesson.
  void StartAt(uint8_t Lekt, uint8_t Ueb, uint8_t MaxLekt, uint8_t MaxUeb) {
    StartCourseAt(*Course, Lekt, Ueb, MaxLekt, MaxUeb);
    Shown.Log.clear();
  }

  static TPos Pos() { return {course::Kurs.LektNr, course::Kurs.UebNr}; }
  int Told(const std::string& Line) const {
    return static_cast<int>(std::count(Shown.Log.begin(), Shown.Log.end(), Line));
  }
  // The position the display was last told.
  TPos ShownPos() const {
    TPos P{-1, -1};
    for (const std::string& L : Shown.Log) {
      if (L.rfind("LektNr ", 0) == 0)
        P.first = std::stoi(L.substr(7));
      if (L.rfind("UebNr ", 0) == 0)
        P.second = std::stoi(L.substr(6));
    }
    return P;
  }

  // The controls' handlers are called with the control as Sender.
  const int Control = 0;
  void Weiter() { Course->WeiterBtnClick(&Control); }
  void LektUp() { Course->LektADUpClick(&Control); }
  void LektDown() { Course->LektADDownClick(&Control); }
  void UebUp() { Course->UebADUpClick(&Control); }
  void UebDown() { Course->UebADDownClick(&Control); }
};

TEST_F(LessonNav, WeiterWalksTheWholeCourseAndCongratulatesOnce) {
  StartAt(1, 1, 1, 1);
  std::vector<TPos> Expected = {{1, 1}, {1, 2}, {1, 4}};
  for (int L = 2; L <= 7; ++L)
    for (int U = 1; U <= 4; ++U)
      Expected.emplace_back(L, U);
  for (const TPos& P : std::vector<TPos>{{8, 1},  {8, 2},  {8, 4},  {9, 1},  {9, 2},  {9, 3},
                                         {9, 4},  {10, 1}, {10, 2}, {10, 4}, {11, 1}, {11, 2},
                                         {11, 3}, {11, 4}, {12, 1}, {12, 2}, {12, 3}, {13, 4}})
    Expected.push_back(P);

  std::vector<TPos> Visited = {Pos()};
  while (Visited.size() < Expected.size()) {
    Shown.Log.clear();
    Weiter();
    Visited.push_back(Pos());
    EXPECT_EQ(ShownPos(), Pos());
    EXPECT_EQ(course::Kurs.MaxLektNr, course::Kurs.LektNr);
    EXPECT_EQ(Told("weiter off"), 1);
    EXPECT_EQ(Told("congratulation"), Pos() == TPos(13, 4) ? 1 : 0);
  }
  EXPECT_EQ(Visited, Expected);
  Shown.Log.clear();
  for (int I = 0; I < 3; ++I) {
    Weiter();
    EXPECT_EQ(Pos(), TPos(13, 4));
  }
  EXPECT_EQ(Told("congratulation"), 0);
  EXPECT_EQ(course::Kurs.Satz, SatzAlle);
  EXPECT_GT(Told("enable " + std::to_string(SatzAlle)), 0);
  EXPECT_GT(Told("check " + std::to_string(SatzAlle)), 0);
  EXPECT_EQ(Reporter.Beeps, 0);
}

TEST_F(LessonNav, WeiterOpensTheFirstGroupRunOfANewLessonWithItsNewCharacters) {
  StartAt(2, 3, 2, 3);
  course::Folge.Only = true;
  Weiter();
  EXPECT_EQ(Pos(), TPos(2, 4));
  EXPECT_TRUE(course::Folge.NeuVorn);
  EXPECT_FALSE(course::Folge.Only);
  EXPECT_EQ(Told("normal"), 1);
  EXPECT_EQ(std::make_pair(course::Kurs.MaxLektNr, course::Kurs.MaxUebNr), std::make_pair(uint8_t{2}, uint8_t{4}));

  // The first digit lesson has no exercise 3 either.
  course::Folge.NeuVorn = false;
  StartAt(8, 2, 8, 2);
  Weiter();
  EXPECT_EQ(Pos(), TPos(8, 4));
  EXPECT_TRUE(course::Folge.NeuVorn);
}

TEST_F(LessonNav, LessonOneHasExercisesOneTwoAndFour) {
  StartAt(1, 2, 1, 2);
  UebUp(); // exercise 2 is the furthest position
  EXPECT_EQ(Pos(), TPos(1, 2));
  EXPECT_EQ(Reporter.Beeps, 0);

  StartAt(1, 2, 3, 1); // the learner is past lesson 1
  UebUp();
  EXPECT_EQ(Pos(), TPos(1, 4));
  UebDown();
  EXPECT_EQ(Pos(), TPos(1, 2));
  UebDown();
  UebDown();
  EXPECT_EQ(Pos(), TPos(1, 1));
  EXPECT_EQ(Reporter.Beeps, 1);
  EXPECT_EQ(ShownPos().second, 1);
}

TEST_F(LessonNav, TheLastSignLessonHasNoExerciseFourAndTheFinalLessonOnlyExerciseFour) {
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
  EXPECT_EQ(course::Kurs.Satz, SatzAlle);
  LektDown();
  EXPECT_EQ(Pos(), TPos(12, 3));
  EXPECT_EQ(course::Kurs.Satz, SatzZeich);
  EXPECT_GT(Told("check " + std::to_string(SatzZeich)), 0);
  EXPECT_EQ(Told("congratulation"), 0);
}

TEST_F(LessonNav, StepsBeyondTheBoundsBeepAndStepsBeyondTheProgressAreUndoneSilently) {
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

TEST_F(LessonNav, ADamagedStoredLessonIsReadAsLessonOne) {
  StartAt(0, 1, 1, 1);
  EXPECT_EQ(Pos(), TPos(1, 1));
  EXPECT_EQ(course::Kurs.LektZeichen, "tmoe");
}

} // namespace

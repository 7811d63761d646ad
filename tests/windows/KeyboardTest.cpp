#include "CourseViewFixture.h"

#include <QRadioButton>

namespace {

using Keyboard = TCourseViewTest;

QPoint At(const TMButton* Key) {
  return Key->pos();
}

void SwitchToGerman(TCourse& Course, TCourseView& CourseView, TMainView& View) {
  WriteFile("LD.dat",
            std::string(DefaultOrder) + "\xE4\xF6\xFC\r\n" + DefaultOrder + "\xE4\xF6\xFC\r\n");
  WriteFile("Deu.txt", LatinAlphabet() + "\xE4.-.-\r\n\xF6---.\r\n\xFC..--\r\n");
  course::Tastatur.TastReihen = {"", "1234567890", "qwertzuiop\xFC", "asdfghjkl\xF6\xE4", "yxcvbnm"};
  course::Tastatur.TastLinks = 9;
  course::Kurs.AlphabetFile = "Deu.txt";
  SetCharset(View.KeyPanel, ANSI_CHARSET);
  Course.LoadLessonData(2);
  CourseView.BuildKeyboard();
  Course.BindKeys();
}

TEST_F(Keyboard, TheEnglishKeyboardIsLaidOutRowByRowWithTheSignBlockBesideIt) {
  LoadEnglish();
  const std::array<int, 4> Lefts = {24, 39, 49, 64};
  const std::array<int, 4> Tops = {40, 71, 102, 133};
  const std::array<size_t, 4> Lengths = {10, 10, 9, 7};
  size_t K = 0;
  for (size_t R = 0; R < 4; ++R)
    for (size_t C = 0; C < Lengths[R]; ++C, ++K) {
      EXPECT_EQ(At(View.Tasten[K]), QPoint(Lefts[R] + 31 * static_cast<int>(C), Tops[R])) << K;
      EXPECT_FALSE(View.Tasten[K]->isHidden());
      EXPECT_EQ(CaptionOf(View.Tasten[K]), std::string(1, course::Tastatur.TastReihen[R + 1][C]));
    }
  EXPECT_EQ(At(View.Tasten[19]).x(), 318); // the last key of row 2
  const std::array<QPoint, 8> Signs = {QPoint(364, 40),  QPoint(395, 40), QPoint(426, 40),
                                       QPoint(364, 71),  QPoint(395, 71), QPoint(426, 71),
                                       QPoint(364, 102), QPoint(395, 102)};
  for (size_t S = 0; S < 8; ++S, ++K) {
    EXPECT_EQ(At(View.Tasten[K]), Signs[S]) << S;
    EXPECT_FALSE(View.Tasten[K]->isHidden());
  }
  EXPECT_EQ(K, 44u);
  for (; K < 50; ++K)
    EXPECT_TRUE(View.Tasten[K]->isHidden()) << K;
  EXPECT_EQ(course::Tastatur.TastZeichen, "1234567890qwertyuiopasdfghjklzxcvbnm.,?/+=@\xA7");
  EXPECT_EQ(View.Tasten[13]->MChar(), "r");
  EXPECT_EQ(View.Tasten[13]->MCode(), ".-.");
}

TEST_F(Keyboard, TheGermanKeyboardStartsAtNineAndItsSignBlockAt380) {
  LoadEnglish();
  SwitchToGerman(*Course, *CourseView, View);
  EXPECT_EQ(At(View.Tasten[0]).x(), 9);
  EXPECT_EQ(At(View.Tasten[10]).x(), 24);
  EXPECT_EQ(At(View.Tasten[21]).x(), 34);
  EXPECT_EQ(At(View.Tasten[32]).x(), 49);
  EXPECT_EQ(At(View.Tasten[39]), QPoint(380, 40));
  EXPECT_EQ(At(View.Tasten[46]), QPoint(411, 102));
  EXPECT_TRUE(View.Tasten[47]->isHidden());
  EXPECT_EQ(View.Tasten[20]->MChar(), "\xFC");
  EXPECT_EQ(View.Tasten[20]->MCode(), "..--");
  EXPECT_EQ(View.Tasten[20]->text(), QString(QChar(0x00FC)));
  // Key 43 was SK in the English layout; now it is "+" in the large type.
  EXPECT_EQ(CaptionOf(View.Tasten[43]), "+");
  EXPECT_EQ(View.Tasten[43]->font().pixelSize(), View.KeyPanel->font().pixelSize());
}

TEST_F(Keyboard, ProsignKeysShowTheirLettersAndKeepTheirCharacters) {
  LoadEnglish();
  TMButton* Ka = View.Tasten[42];
  TMButton* Sk = View.Tasten[43];
  EXPECT_EQ(CaptionOf(Ka), "KA");
  EXPECT_EQ(CaptionOf(Sk), "SK");
  EXPECT_EQ(Ka->font().pixelSize(), 16) << "12 points at 96 dpi";
  EXPECT_EQ(Ka->MChar(), "@");
  EXPECT_EQ(Sk->MChar(), "\xA7");
  EXPECT_EQ(Sk->MCode(), "...-.-");

  StartAt(12, 1, 12, 1);
  EXPECT_EQ(course::Kurs.NeueZeichen, "@\xA7");
  EXPECT_EQ(CaptionOf(View.NeuTasten[0]), "ka");
  EXPECT_EQ(CaptionOf(View.NeuTasten[1]), "sk");
  EXPECT_EQ(View.NeuTasten[0]->MChar(), "@");
  EXPECT_EQ(View.NeuTasten[1]->MCode(), "...-.-");
  EXPECT_TRUE(Ka->isEnabled());
}

TEST_F(Keyboard, AKeyOfAnUntaughtCharacterIsNeverUsable) {
  WriteFile("Eng.txt", LatinAlphabet("abcdefghijklmnoprstuvwxyz")); // no q
  WriteFile("LD.dat", std::string(DefaultOrder) + "\r\n");
  course::Tastatur.TastReihen = {"", "1234567890", "qwertyuiop", "asdfghjkl", "zxcvbnm"};
  course::Tastatur.TastLinks = 24;
  course::Kurs.AlphabetFile = "Eng.txt";
  Course->LoadLessonData(1);
  CourseView->BuildKeyboard();
  Course->BindKeys();
  TMButton* Q = View.Tasten[10];
  EXPECT_EQ(CaptionOf(Q), "q");
  EXPECT_EQ(Q->MChar(), "");
  EXPECT_EQ(Q->MCode(), "");
  for (uint8_t L = 1; L <= 13; ++L) {
    StartAt(L, 1, 13, 4);
    EXPECT_FALSE(Q->isEnabled()) << int{L};
  }
  EXPECT_TRUE(View.Tasten[11]->isEnabled()); // w, in the final lesson
}

TEST_F(Keyboard, KeysTakeTheCharacterSetOfTheKeyboardSoCyrillicShows) {
  WriteFile("LD.dat", "a\r\nb\r\n\xF2\xEC\xE9\r\n");
  WriteFile("Rus.txt", "\xF2-\r\n\xEC--\r\n\xE9.---\r\n");
  course::Tastatur.TastReihen = {"", "1234567890", "\xE9\xF6\xF3\xEA\xE5\xED\xE3\xF8\xF9\xE7\xF5",
                         "\xF4\xFB\xE2\xE0\xEF\xF0\xEE\xEB\xE4\xE6\xFD",
                         "\xFF\xF7\xF1\xEC\xE8\xF2\xFC\xE1\xFE"};
  course::Tastatur.TastLinks = 9;
  course::Kurs.AlphabetFile = "Rus.txt";
  SetCharset(View.KeyPanel, RUSSIAN_CHARSET);
  Course->LoadLessonData(3);
  CourseView->BuildKeyboard();
  Course->BindKeys();
  EXPECT_EQ(View.Tasten[10]->text(), QString(QChar(0x0439))); // й
  EXPECT_EQ(CaptionOf(View.Tasten[10]), "\xE9");
  EXPECT_EQ(View.Tasten[10]->MCode(), ".---");
  EXPECT_EQ(CharsetOf(View.Tasten[10]), RUSSIAN_CHARSET);
  // Rows of 11, 11 and 9 keys, the signs after them.
  EXPECT_EQ(At(View.Tasten[21]).x(), 34);
  EXPECT_EQ(At(View.Tasten[32]).x(), 49);
  EXPECT_EQ(CaptionOf(View.Tasten[47]), "KA");
  EXPECT_TRUE(View.Tasten[49]->isHidden());

  StartAt(1, 1, 1, 1);
  EXPECT_EQ(course::Kurs.NeueZeichen, "\xF2\xEC\xE9");
  EXPECT_EQ(View.NeuTasten[0]->text(), QString(QChar(0x0442))); // т
}

TEST_F(Keyboard, TheNewCharactersAreCentredOnTheirPanelWithTheirWords) {
  LoadEnglish();
  course::Kurs.MerkWoerter[static_cast<size_t>(LetterPos('i'))] = "word of i";
  storage::Texte.LabelText = {"", "Exercise one", "Exercise two", "Exercise three", "Exercise four"};
  StartAt(2, 2, 2, 2);
  ASSERT_EQ(course::Kurs.NeueZeichen, "isha");
  const std::array<int, 4> Lefts = {96, 170, 244, 318}; // 242 - 140 - 6, then 74 apart
  for (size_t I = 0; I < 4; ++I) {
    TMButton* Key = View.NeuTasten[I];
    EXPECT_EQ(Key->x(), Lefts[I]);
    EXPECT_EQ(Key->y(), 102);
    EXPECT_FALSE(Key->isHidden());
    EXPECT_TRUE(Key->isEnabled());
    EXPECT_FALSE(Key->Down());
    EXPECT_EQ(Key->font().pixelSize(), 49) << "KeyPanel's 17 points and 20 more, at 96 dpi";
    EXPECT_EQ(Key->MChar(), std::string(1, course::Kurs.NeueZeichen[I]));
  }
  EXPECT_EQ(View.NeuTasten[0]->MWort(), "word of i");
  EXPECT_EQ(View.NeuTasten[1]->MCode(), "...");
  EXPECT_TRUE(View.NeuTasten[4]->isHidden());
  EXPECT_FALSE(View.NeuTasten[4]->isEnabled());
  EXPECT_EQ(CaptionOf(View.Label1), "Exercise two");
  EXPECT_EQ(CaptionOf(View.Label4), "Exercise two");

  StartAt(8, 1, 8, 1); // five new digits
  EXPECT_EQ(View.NeuTasten[0]->x(), 242 - 175 - 8);
  EXPECT_FALSE(View.NeuTasten[4]->isHidden());
  EXPECT_EQ(CaptionOf(View.Label1), "Exercise one");

  // A click on a large key sounds it.
  View.NeuTasten[2]->Click();
  EXPECT_EQ(Sounded, std::vector<std::string>{"3"});
}

TEST_F(Keyboard, ClicksMarkKeysOnTheGroupScreenOnlyWhenMarkingIsOn) {
  LoadEnglish();
  StartAt(3, 4, 3, 4);
  TMButton* T = KeyOf('t');
  ASSERT_NE(T, nullptr);
  ASSERT_TRUE(T->isEnabled());
  const size_t P = static_cast<size_t>(LetterPos('t'));

  T->Click(); // Normal and no marking: only sounded
  EXPECT_EQ(T->FontColor(), KeyRed);
  EXPECT_EQ(Sounded, std::vector<std::string>{"t"});

  View.OnlyRB->setChecked(true);
  T->Click();
  EXPECT_EQ(T->FontColor(), KeyLime);
  EXPECT_TRUE(course::Folge.Markiert[P]);
  T->Click();
  EXPECT_EQ(T->FontColor(), KeyRed);
  EXPECT_FALSE(course::Folge.Markiert[P]);

  course::Folge.NeuVorn = true; // the opening run is not for marking
  T->Click();
  EXPECT_EQ(T->FontColor(), KeyRed);
  course::Folge.NeuVorn = false;

  View.NormalRB->setChecked(true);
  course::Folge.MarkModus = true;
  T->Click();
  KeyOf('m')->Click();
  EXPECT_EQ(KeyOf('m')->FontColor(), KeyLime);
  sound::Ausgabe.Playing = true; // a click while a code plays marks but does not sound
  KeyOf('o')->Click();
  EXPECT_EQ(KeyOf('o')->FontColor(), KeyLime);
  EXPECT_EQ(Sounded.size(), 6u);
  sound::Ausgabe.Playing = false;

  // Another exercise: sounded, never marked.
  course::Kurs.UebNr = 3;
  KeyOf('e')->Click();
  EXPECT_EQ(KeyOf('e')->FontColor(), KeyRed);

  // Normal clears every mark; a change to it from the program does the same.
  View.OnlyRB->setChecked(true);
  EXPECT_TRUE(course::Folge.Only);
  View.NormalRB->setChecked(true);
  EXPECT_FALSE(course::Folge.Only);
  for (TMButton* Key : View.Tasten)
    EXPECT_EQ(Key->FontColor(), KeyRed);
  for (size_t I = 0; I <= 50; ++I)
    EXPECT_FALSE(course::Folge.Markiert[I]);

  // Called by the program, Normal also shows on the buttons.
  View.OnlyRB->setChecked(true);
  course::Folge.MarkModus = false;
  course::Kurs.UebNr = 4;
  KeyOf('m')->Click();
  ASSERT_TRUE(course::Folge.Markiert[static_cast<size_t>(LetterPos('m'))]);
  Course->NormalRBClick(nullptr);
  EXPECT_TRUE(View.NormalRB->isChecked());
  EXPECT_FALSE(View.OnlyRB->isChecked());
  EXPECT_FALSE(course::Folge.Only);
  EXPECT_EQ(KeyOf('m')->FontColor(), KeyRed);
  EXPECT_FALSE(course::Folge.Markiert[static_cast<size_t>(LetterPos('m'))]);
}

} // namespace

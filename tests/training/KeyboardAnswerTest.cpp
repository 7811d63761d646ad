// Typed answers: the one-key latch, answers on release, keypad keys to the
// sign block, keys ignored while a sound plays, and the form's key events
// through the keyboard preview.
#include "training/SessionFixture.h"

#include <QApplication>
#include <QKeyEvent>

using TypedAnswers = TSessionTest;

namespace {
// Down, character and up of one key, as the form gets them.
void Type(TSession& S, uint16_t Vk, const QString& Text, bool Keypad = false) {
  S.FormKeyDown(KeyIn(Vk, Text, false, Keypad));
  S.FormKeyPress(KeyIn(Vk, Text, false, Keypad));
  S.FormKeyUp(KeyIn(Vk, Text, false, Keypad));
}
} // namespace

TEST_F(TypedAnswers, AKeyPressedWhileACodeSoundsDoesNothing) {
  LoadEnglish();
  StartAt(2, 3, 2, 3);
  Session->StartBtnClick();
  ASSERT_TRUE(Arb.Fire());
  ASSERT_TRUE(sound::Ausgabe.Playing);
  Session->FormKeyDown(KeyIn('Q', "q"));
  Session->FormKeyPress(KeyIn('Q', "q"));
  Device.Complete();
  Session->FormKeyUp(KeyIn('Q', "q"));
  EXPECT_EQ(training::Sitzung.UebPos, 0);
  EXPECT_EQ(training::Sitzung.Fehler, 0);
  EXPECT_FALSE(training::Sitzung.TasteUnten);
  // The next key after the sound counts.
  Type(*Session, 'Q', "q");
  EXPECT_EQ(training::Sitzung.UebPos, training::Sitzung.SollCode == "--.-" ? 1 : 0);
  EXPECT_EQ(training::Sitzung.Fehler + training::Sitzung.UebPos, 1);
}

TEST_F(TypedAnswers, TheRightLetterAnswersOnRelease) {
  LoadEnglish();
  StartAt(2, 3, 2, 3);
  Session->StartBtnClick();
  SettleArb();
  TMButton* Key = KeyOfCode(training::Sitzung.SollCode);
  ASSERT_NE(Key, nullptr);
  const std::string C = Key->MChar();
  const uint16_t Vk = static_cast<uint16_t>(std::toupper(static_cast<unsigned char>(C[0])));
  Session->FormKeyDown(KeyIn(Vk, QString::fromLatin1(C.c_str())));
  Session->FormKeyPress(KeyIn(Vk, QString::fromLatin1(C.c_str())));
  EXPECT_EQ(training::Sitzung.UebPos, 0);
  EXPECT_TRUE(View.Tasten[static_cast<size_t>(training::Sitzung.TastPos) - 1]->Flat());
  Session->FormKeyUp(KeyIn(Vk, QString::fromLatin1(C.c_str())));
  EXPECT_EQ(training::Sitzung.UebPos, 1);
  EXPECT_EQ(training::Sitzung.Fehler, 0);
  EXPECT_FALSE(View.Tasten[static_cast<size_t>(training::Sitzung.TastPos) - 1]->Flat());
}

TEST_F(TypedAnswers, AnUntaughtLetterIsJudgedAndCountsAsWrong) {
  LoadEnglish();
  StartAt(2, 3, 2, 3);
  ASSERT_EQ(course::Kurs.LektZeichen.find('z'), std::string::npos);
  Session->StartBtnClick();
  SettleArb();
  Type(*Session, 'Z', "z");
  EXPECT_EQ(training::Sitzung.Fehler, 1);
  EXPECT_EQ(training::Sitzung.KorrZaehler, 4);
}

TEST_F(TypedAnswers, CapsLockLettersGiveNoAnswer) {
  LoadEnglish();
  StartAt(2, 3, 2, 3);
  Session->StartBtnClick();
  SettleArb();
  TMButton* Key = KeyOfCode(training::Sitzung.SollCode);
  ASSERT_NE(Key, nullptr);
  const std::string C = Key->MChar();
  const char Upper = static_cast<char>(std::toupper(static_cast<unsigned char>(C[0])));
  Type(*Session, static_cast<uint16_t>(Upper), QString(QChar(Upper)));
  EXPECT_EQ(training::Sitzung.TastPos, 0);
  EXPECT_EQ(training::Sitzung.UebPos, 0);
  EXPECT_EQ(training::Sitzung.Fehler, 0);
  EXPECT_FALSE(training::Sitzung.TasteUnten);
}

TEST_F(TypedAnswers, KeypadKeysStandForTheSignBlock) {
  LoadEnglish();
  StartAt(1, 3, 1, 4);
  const size_t Rows = course::Tastatur.TastReihen[1].size() + course::Tastatur.TastReihen[2].size() +
                      course::Tastatur.TastReihen[3].size() + course::Tastatur.TastReihen[4].size();
  Type(*Session, VK_NUMPAD0 + 7, "7", true);
  EXPECT_EQ(training::Sitzung.TastPos, static_cast<int32_t>(Rows) + 1);
  EXPECT_EQ(course::Tastatur.TastZeichen[static_cast<size_t>(training::Sitzung.TastPos) - 1], '.');
  Type(*Session, VK_NUMPAD0 + 2, "2", true);
  EXPECT_EQ(course::Tastatur.TastZeichen[static_cast<size_t>(training::Sitzung.TastPos) - 1], '\xA7');
  EXPECT_EQ(CaptionOf(View.Tasten[static_cast<size_t>(training::Sitzung.TastPos) - 1]), "SK");
  Type(*Session, VK_NUMPAD0 + 3, "3", true);
  EXPECT_EQ(training::Sitzung.TastPos, 0);
  Type(*Session, VK_NUMPAD0 + 0, "0", true);
  EXPECT_EQ(training::Sitzung.TastPos, 0);
  // Not taught yet: nothing sounds.
  EXPECT_TRUE(Window->Asked.empty());
}

TEST_F(TypedAnswers, AnAutoRepeatedKeyCountsOnce) {
  LoadEnglish();
  StartAt(1, 3, 1, 4);
  Session->FormKeyDown(KeyIn('T', "t"));
  Session->FormKeyPress(KeyIn('T', "t"));
  for (int I = 0; I < 5; ++I) {
    Session->FormKeyUp(KeyIn('T', "t", true));
    Session->FormKeyDown(KeyIn('T', "t", true));
    Session->FormKeyPress(KeyIn('T', "t", true));
  }
  EXPECT_TRUE(Window->Asked.empty());
  Session->FormKeyUp(KeyIn('T', "t"));
  EXPECT_EQ(Window->Asked, std::vector<std::string>{"-"});
  EXPECT_EQ(sound::Ausgabe.WavName, "t.Wav");
}

TEST_F(TypedAnswers, OnlyTheHeldKeyReleasesTheLatch) {
  LoadEnglish();
  StartAt(1, 3, 1, 4);
  Session->FormKeyDown(KeyIn('T', "t"));
  Session->FormKeyPress(KeyIn('T', "t"));
  Session->FormKeyDown(KeyIn('M', "m"));
  Session->FormKeyPress(KeyIn('M', "m"));
  Session->FormKeyUp(KeyIn('M', "m"));
  EXPECT_TRUE(Window->Asked.empty());
  Session->FormKeyUp(KeyIn('T', "t"));
  EXPECT_EQ(Window->Asked, std::vector<std::string>{"-"});
}

TEST_F(TypedAnswers, AKeyWithoutACharacterDoesNotBlockTheNextKey) {
  LoadEnglish();
  StartAt(1, 3, 1, 4);
  Session->FormKeyDown(KeyIn(static_cast<uint16_t>(Qt::Key_Shift & 0xFFFF), ""));
  Session->FormKeyUp(KeyIn(static_cast<uint16_t>(Qt::Key_Shift & 0xFFFF), ""));
  EXPECT_FALSE(training::Sitzung.TasteUnten);
  Type(*Session, 'T', "t");
  EXPECT_EQ(Window->Asked, std::vector<std::string>{"-"});
}

TEST_F(TypedAnswers, KeypadKeysStandForTheirSignOnTheLargeKeys) {
  LoadEnglish();
  StartAt(1, 2, 1, 2);
  Type(*Session, 'T', "t");
  Device.Complete();
  Type(*Session, VK_NUMPAD0 + 7, "7", true);
  EXPECT_EQ(training::Sitzung.TastChar, '.');
  EXPECT_EQ(training::Sitzung.NeuPos, 0);
  EXPECT_EQ(Window->Asked.size(), 1u);
}

TEST_F(TypedAnswers, ExerciseTwoAnswersOnTheNewCharacterKeys) {
  LoadEnglish();
  StartAt(1, 2, 1, 2);
  Session->StartBtnClick();
  Settle();
  TMButton* Right = NeuKeyOfCode(Window->Played.back());
  const char C = Right->MChar()[0];
  Type(*Session, static_cast<uint16_t>(std::toupper(static_cast<unsigned char>(C))),
       QString(QChar(C)));
  EXPECT_EQ(training::Sitzung.UebPos, 1);
  EXPECT_EQ(training::Sitzung.Fehler, 0);
}

TEST_F(TypedAnswers, KeysAreNotAnswersWhileACorrectionRuns) {
  LoadEnglish();
  StartAt(1, 2, 1, 2);
  Session->StartBtnClick();
  Settle();
  const std::string Soll = Window->Played.back();
  OtherNeuKey(Soll)->Click();
  ASSERT_EQ(training::Sitzung.KorrZaehler, 4);
  const char C = NeuKeyOfCode(Soll)->MChar()[0];
  Type(*Session, static_cast<uint16_t>(std::toupper(static_cast<unsigned char>(C))),
       QString(QChar(C)));
  EXPECT_EQ(training::Sitzung.UebPos, 0);
  EXPECT_EQ(training::Sitzung.KorrZaehler, 4);
  EXPECT_FALSE(training::Sitzung.TasteUnten);
}

TEST_F(TypedAnswers, ExerciseFourTakesNoKeyboardAnswers) {
  LoadEnglish();
  StartAt(1, 4, 1, 4);
  course::Kurs.GruppenZahl = 5;
  Session->StartBtnClick();
  EXPECT_FALSE(Session->KeyPreview());
}

TEST_F(TypedAnswers, TheFormsKeyEventsReachTheSessionThroughThePreview) {
  LoadEnglish();
  StartAt(1, 3, 1, 4);
  WireSession(*Session);
  Form.show();
  QKeyEvent Down(QEvent::KeyPress, Qt::Key_T, Qt::NoModifier, "t");
  QKeyEvent Repeat(QEvent::KeyPress, Qt::Key_T, Qt::NoModifier, "t", true);
  QKeyEvent RepeatUp(QEvent::KeyRelease, Qt::Key_T, Qt::NoModifier, "t", true);
  QKeyEvent Up(QEvent::KeyRelease, Qt::Key_T, Qt::NoModifier, "t");
  QApplication::sendEvent(&Form, &Down);
  QApplication::sendEvent(&Form, &RepeatUp);
  QApplication::sendEvent(&Form, &Repeat);
  QApplication::sendEvent(&Form, &Up);
  EXPECT_EQ(Window->Asked, std::vector<std::string>{"-"});
  // The start button starts and stops.
  View.StartBtn->click();
  EXPECT_FALSE(training::Sitzung.Idle);
  View.StartBtn->click();
  EXPECT_TRUE(training::Sitzung.Idle);
}

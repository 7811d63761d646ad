#include "training/PracticeForm.h"

#include "course/CourseState.h"
#include "course/LessonData.h"
#include "sound/Morse.h"
#include "sound/Player.h"
#include "base/CodePage.h"
#include "storage/LengFiles.h"
#include "storage/Texts.h"
#include "support/RecordingReporter.h"
#include "support/ManualClock.h"
#include "support/TestWaveDevice.h"
#include "base/BareFile.h"
#include "support/WorkDir.h"
#include "training/Practice.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>

#include <fstream>
#include <functional>
#include <iterator>
#include <tuple>

namespace {

std::vector<uint8_t> DataFile(const char* Name) {
  std::ifstream In(std::string(VELM_SOURCE_DIR) + "/data/" + Name, std::ios::binary);
  return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

class TQuietHost final : public TPlayerHost {
public:
  void SetKeyboardEnabled(bool) override {}
  bool MnemonicsOn() const override { return false; }
};

class PracticeForm : public ::testing::Test {
protected:
  void SetUp() override {
    SetShippedDataDir(VELM_SOURCE_DIR "/data");
    ResetSoundState();
    course::Kurs = {};
    ClearTexts();
    Language("English.lng", "Eng.txt", ANSI_CHARSET);
    Form.OnScored = [this](const std::vector<TStatRun>& Run) { Scored = Run; };
  }
  void TearDown() override {
    ClearTexts();
    SetShippedDataDir({});
  }

  void Language(const char* Lng, const char* Alphabet, uint8_t Charset) {
    ParseTexts(DataFile(Lng));
    sound::Codetafel = ParseCodeTable(DataFile(Alphabet));
    course::Kurs.AlphabetFile = Alphabet;
    Form.Prepare(Charset);
  }

  // Plays every block the form writes until it ends; the blocks' samples.
  std::vector<uint8_t> PlayToEnd() {
    std::vector<uint8_t> Heard;
    while (Form.Running() && Device.Queued != nullptr) {
      Heard.insert(Heard.end(), Device.Written.begin(), Device.Written.end());
      Device.Complete();
    }
    return Heard;
  }

  void Characters(int Count) {
    Form.LengthUnitCB->setCurrentIndex(1);
    Form.LengthSE->setValue(Count);
  }

  // Types Text key by key into the copy, each character at the time AtUs
  // gives from its number and its heard end (the spaces with the next one).
  void TypeAt(TManualClock& Clock, const std::string& Text, const std::vector<int64_t>& Ends,
              const std::function<int64_t(size_t Char, int64_t EndUs)>& AtUs) {
    const int64_t FromUs = Device.HeardStartUs();
    std::string Typed;
    size_t Char = 0;
    for (const char C : Text) {
      Typed += C;
      if (C == ' ')
        continue;
      ASSERT_LT(Char, Ends.size());
      Clock.SetNowUs(AtUs(Char, FromUs + Ends[Char] * 1000000 / 11025));
      ++Char;
      Form.CopyEdit->setText(QString::fromLatin1(Typed.c_str()));
      emit Form.CopyEdit->textEdited(Form.CopyEdit->text());
    }
  }

  TTestWaveDevice Device;
  TRecordingReporter Reporter;
  TMorse Morse{Device, Reporter};
  TQuietHost Host;
  TPlayer Player{Morse, Host};
  TPracticeForm Form{Player, Reporter};
  std::vector<TStatRun> Scored;
};

TEST_F(PracticeForm, ATypedCopySoundsTheTextExactlyAndScoresEachCharacterAfterTheEnd) {
  Characters(20);
  Form.CopyCB->setCurrentIndex(0);
  Form.StartBtnClick();
  ASSERT_TRUE(Form.Running());
  EXPECT_TRUE(Device.DoneAhead) << "the next block is placed before this one has been heard";
  EXPECT_TRUE(Form.TextView->toPlainText().isEmpty()) << "the text is hidden while it sounds";
  EXPECT_TRUE(Form.CopyEdit->isEnabled());
  const std::string Text = Form.LastText();
  ASSERT_EQ(Text.size(), 23u); // four groups of five and their spaces
  // One character typed wrong, one word space left out.
  std::string Typed = Text;
  Typed[0] = Typed[0] == 'E' ? 'T' : 'E';
  Typed.erase(5, 1);
  Form.CopyEdit->setText(QString::fromStdString(Typed));
  const std::vector<uint8_t> Heard = PlayToEnd();
  EXPECT_FALSE(Form.Running());

  // What was heard is the text at the practice's timing, sample for sample.
  practice::TTone Tone = practice::ToneOfKlang();
  Tone.ToneHz = Form.ToneSE->value();
  practice::TRender Render(practice::CodesOf(Text, sound::Codetafel, ANSI_CHARSET), Form.Timing(), Tone);
  std::vector<uint8_t> Wanted(static_cast<size_t>(Render.TotalSamples()));
  Render.Next(Wanted);
  EXPECT_EQ(Heard, Wanted);

  EXPECT_NE(Form.TextView->toPlainText().indexOf(QString::fromStdString(Text.substr(6, 5))), -1);
  // 23 sent: one wrong, one missed.
  EXPECT_EQ(Form.ResultLabel->text(), QStringLiteral("Copied right: 21 of 23 characters (91 %)"));
  int32_t Sent = 0;
  int32_t Wrong = 0;
  for (const TStatRun& Run : Scored) {
    Sent += Run.Sent;
    Wrong += Run.Wrong;
    EXPECT_EQ(Run.Zeichen, practice::LowerOf(Run.Zeichen, ANSI_CHARSET)) << "as the course's keys have it";
  }
  EXPECT_EQ(Sent, 20) << "spaces are no characters of the statistics";
  EXPECT_EQ(Wrong, 1);
}

TEST_F(PracticeForm, StopSilencesAtOnceAndRepeatSoundsTheSameTextSlowerOrFaster) {
  Form.LengthUnitCB->setCurrentIndex(0);
  Form.LengthSE->setValue(5);
  Form.StartBtnClick();
  Device.Complete();
  Device.Complete();
  ASSERT_TRUE(Form.Running());
  Device.Calls.clear();
  Form.StopBtnClick();
  EXPECT_FALSE(Form.Running());
  EXPECT_EQ(Device.Calls.front(), "Reset") << "the block being heard is cut";
  EXPECT_EQ(Device.Queued, nullptr);
  EXPECT_TRUE(Scored.empty()) << "a text stopped is not scored";
  EXPECT_FALSE(Form.TextView->toPlainText().isEmpty()) << "but shown";

  const std::string Text = Form.LastText();
  Form.CharWpmSE->setValue(20);
  Form.EffWpmSE->setValue(20);
  Form.FasterBtn->click(); // at equal speeds both go up
  EXPECT_EQ(Form.Timing().CharWpm, 22);
  EXPECT_EQ(Form.Timing().EffectiveWpm, 22);
  EXPECT_TRUE(Form.Running());
  EXPECT_EQ(Form.LastText(), Text);
  Form.StopBtnClick();
  Form.SlowerBtn->click(); // the Farnsworth way: the characters keep their speed
  EXPECT_EQ(Form.Timing().CharWpm, 22);
  EXPECT_EQ(Form.Timing().EffectiveWpm, 20);
  EXPECT_EQ(Form.LastText(), Text);
  Form.StopBtnClick();
}

TEST_F(PracticeForm, SpeedsAreClampedToTheirRangesAndShownInCharactersPerMinute) {
  Form.CharWpmSE->setValue(250);
  EXPECT_EQ(Form.CharWpmSE->value(), 100);
  Form.EffWpmSE->setValue(100);
  Form.CharWpmSE->setValue(12);
  EXPECT_EQ(Form.EffWpmSE->value(), 12) << "the effective speed follows the character speed down";
  Form.EffWpmSE->setValue(0);
  EXPECT_EQ(Form.EffWpmSE->value(), 2);
  Form.CharWpmSE->setValue(1);
  EXPECT_EQ(Form.CharWpmSE->value(), 5);
  EXPECT_EQ(Form.CpmLabel->text(), QStringLiteral("= 25 / 10 characters per minute"));
  Form.ToneSE->setValue(5000);
  EXPECT_EQ(Form.ToneSE->value(), 1300);
}

TEST_F(PracticeForm, HeadCopyHidesTheTextUntilTheEndThenTakesTheLearnersJudgementPerWord) {
  Characters(15);
  Form.CopyCB->setCurrentIndex(1);
  Form.StartBtnClick();
  EXPECT_FALSE(Form.CopyEdit->isEnabled());
  EXPECT_EQ(Form.TextView->toPlainText(), QStringLiteral("The text stays hidden until the end."));
  PlayToEnd();
  ASSERT_EQ(Form.WordList->count(), 3);
  EXPECT_FALSE(Form.WordList->isHidden());
  Form.WordList->item(1)->setCheckState(Qt::Checked);
  EXPECT_EQ(Form.ResultLabel->text(), QStringLiteral("Tick the words you copied: 1 of 3"));
  EXPECT_TRUE(Scored.empty());
}

TEST_F(PracticeForm, AFileThatCannotBeSoundedIsToldAndNothingSounds) {
  const TWorkDir Dir;
  Form.KindCB->setCurrentIndex(static_cast<int>(course::TPracticeKind::Text));
  EXPECT_TRUE(Form.FileBtn->isEnabled());
  EXPECT_FALSE(Form.ReachedCheckBox->isEnabled());
  Form.StartBtnClick();
  ASSERT_EQ(Reporter.Messages.size(), 1u);
  EXPECT_EQ(Reporter.Messages[0], "Choose a text file first.");
  {
    std::ofstream("binary.txt", std::ios::binary).write("AB\0CD", 5);
  }
  Form.AskTextFile = [] { return QStringLiteral("binary.txt"); };
  Form.FileBtnClick();
  Form.StartBtnClick();
  ASSERT_EQ(Reporter.Messages.size(), 2u);
  EXPECT_EQ(Reporter.Messages[1], "This is not a text file.");
  EXPECT_FALSE(Form.Running());
  EXPECT_TRUE(Device.Calls.empty()) << "nothing sounded";
}

TEST_F(PracticeForm, SaveAsAudioWritesTheTextShownAndTellsAFormatItCannotWrite) {
  const TWorkDir Dir;
  Characters(10);
  Form.StartBtnClick();
  PlayToEnd();
  Form.AskAudioFile = [] { return QStringLiteral("practice.aiff"); };
  Form.SaveBtnClick();
  ASSERT_EQ(Reporter.Messages.size(), 1u);
  EXPECT_EQ(Reporter.Messages[0], "This system cannot write aiff files.");
  Form.AskAudioFile = [] { return QStringLiteral("practice.flac"); };
  Form.SaveBtnClick();
  EXPECT_FALSE(Form.SaveBtn->isEnabled()) << "one file at a time";
  Form.WaitForSave();
  EXPECT_TRUE(Form.SaveBtn->isEnabled());
  EXPECT_EQ(Reporter.Messages.size(), 1u);
  std::ifstream Text("practice.txt");
  std::string Line;
  std::getline(Text, Line);
  EXPECT_EQ(Line, Form.LastText());
  EXPECT_TRUE(std::filesystem::file_size("practice.flac") > 0);
}

TEST_F(PracticeForm, ShowsItsCaptionsInTheCourseLanguage) {
  const QString Shots = QDir::current().absoluteFilePath(QStringLiteral("screenshots"));
  QDir().mkpath(Shots);
  // A typed copy with two errors, in each of two languages.
  const auto Shoot = [this, &Shots](const char* Name, uint8_t Charset) {
    Characters(25);
    Form.CopyCB->setCurrentIndex(0);
    Form.StartBtnClick();
    const std::string Text = Form.LastText();
    ASSERT_EQ(Text.size(), 29u);
    Form.CopyEdit->setText(ToUnicode(Text.substr(0, 8) + Text.substr(9) + "E", Charset).toLower());
    PlayToEnd();
    Form.show();
    Form.adjustSize();
    Form.grab().save(Shots + QLatin1Char('/') + QLatin1String(Name));
  };
  Shoot("practice-en.png", ANSI_CHARSET);
  EXPECT_EQ(Form.windowTitle(), QStringLiteral("Copy practice"));
  Language("Russian.lng", "Rus.txt", RUSSIAN_CHARSET);
  // Three lessons reached of the Russian course: its groups are of their
  // letters, in capitals.
  const std::vector<uint8_t> Order = DataFile("LD.dat");
  course::Kurs.KursFolge = ParseLessonData(Order, 3).value_or("") + "1234567890.,?/+=@\xA7";
  course::Kurs.MaxLektNr = 3;
  Form.ReachedCheckBox->setChecked(true);
  EXPECT_EQ(practice::ReachedCharacters(course::Kurs.KursFolge, 3, RUSSIAN_CHARSET).size(), 12u);
  EXPECT_EQ(Form.windowTitle(), QString::fromUtf8("Практика приёма"));
  EXPECT_EQ(Form.StartBtn->text(), QString::fromUtf8("Старт"));
  EXPECT_EQ(Form.KindCB->itemText(1), QString::fromUtf8("Частые слова"));
  // The learner's picture shows a copy in noise with fading.
  Form.NoiseCB->setChecked(true);
  Form.SnrSE->setValue(6);
  Form.QsbDepthSE->setValue(10);
  Shoot("practice-ru.png", RUSSIAN_CHARSET);
  const std::string Reached = practice::ReachedCharacters(course::Kurs.KursFolge, 3, RUSSIAN_CHARSET);
  for (const char C : Form.LastText())
    EXPECT_TRUE(C == ' ' || Reached.find(C) != std::string::npos) << static_cast<int>(C);
  EXPECT_EQ(practice::UpperText(course::Kurs.KursFolge.substr(0, 12), RUSSIAN_CHARSET).size(), 12u);
  // Typed in small letters: one missed, one extra.
  EXPECT_EQ(Form.ResultLabel->text(), QString::fromUtf8("Принято верно: 27 из 29 знаков (93 %)"));
  const auto Fits = [this](const char* Course) {
    for (QLabel* Label : Form.findChildren<QLabel*>())
      EXPECT_GE(Label->width(), Label->minimumSizeHint().width())
          << Course << Label->objectName().toStdString();
    for (QCheckBox* Box : Form.findChildren<QCheckBox*>())
      EXPECT_GE(Box->width(), Box->minimumSizeHint().width())
          << Course << Box->objectName().toStdString();
  };
  Fits("ru");
  Form.hide();
  // The longest captions of the other two courses fit as well.
  course::Kurs.KursFolge.clear();
  Language("German.lng", "Deu.txt", ANSI_CHARSET);
  Shoot("practice-de.png", ANSI_CHARSET);
  EXPECT_EQ(Form.BandGroup->title(), QStringLiteral("Bandbedingungen"));
  Fits("de");
  Form.hide();
  Language("Turkish.lng", "Tur.txt", TURKISH_CHARSET);
  Shoot("practice-tr.png", TURKISH_CHARSET);
  EXPECT_EQ(Form.FistSE->accessibleName(), QString::fromUtf8("Düzensiz el vuruşu (%)"));
  Fits("tr");
  Form.hide();
}

} // namespace

namespace {

// With "Practise my weak characters" on, the groups come from the course's
// reached characters by their weights: every one at least once, the weak one
// most often.
TEST_F(PracticeForm, WeakCharactersComeMoreOftenInTheGroups) {
  const std::vector<uint8_t> Order = DataFile("LD.dat");
  course::Kurs.KursFolge = ParseLessonData(Order, 1).value_or("") + "1234567890.,?/+=@\xA7";
  course::Kurs.MaxLektNr = 2;
  Form.ReachedCheckBox->setChecked(true);
  Characters(200);
  const std::string Reached = practice::ReachedCharacters(course::Kurs.KursFolge, 2, ANSI_CHARSET);
  ASSERT_GE(Reached.size(), 3u);
  const char Weak = course::Kurs.KursFolge[0];
  Form.Schwaechen = [&] {
    TSchwaechen S;
    S[{course::Tastatur.InputLayoutNr, Weak}].Gewicht = 9.0;
    return S;
  };
  Form.StartBtnClick();
  ASSERT_TRUE(Form.Running());
  const std::string Text = Form.LastText();
  Form.StopBtnClick();
  const char WeakUpper = practice::UpperText(std::string(1, Weak), ANSI_CHARSET)[0];
  for (const char C : Reached)
    EXPECT_NE(Text.find(C), std::string::npos) << C;
  for (const char C : Reached) {
    if (C != WeakUpper) {
      EXPECT_GT(std::count(Text.begin(), Text.end(), WeakUpper), std::count(Text.begin(), Text.end(), C)) << C;
    }
  }
}

} // namespace

namespace {

// A typed copy's reactions: each character copied right counts from its end
// as heard to the moment its key was typed.
TEST_F(PracticeForm, EachCharacterCopiedRightKeepsItsReactionFromItsHeardEnd) {
  TManualClock Clock(10000000);
  Device.Clock = &Clock;
  Form.NowUs = [&] { return Clock.NowUs(); };
  Characters(10);
  Form.CopyCB->setCurrentIndex(0);
  Form.StartBtnClick();
  ASSERT_TRUE(Form.Running());
  const std::string Text = Form.LastText();
  practice::TRender Render(practice::CodesOf(Text, sound::Codetafel, ANSI_CHARSET), Form.Timing(), practice::ToneOfKlang());
  // Typed 300 ms after each character's end; the first character before
  // its end (early: 0).
  TypeAt(Clock, Text, Render.CharEnds(),
         [](size_t Char, int64_t EndUs) { return Char == 0 ? EndUs - 50000 : EndUs + 300000; });
  PlayToEnd();
  ASSERT_FALSE(Scored.empty());
  const char First = practice::LowerOf(Text[0], ANSI_CHARSET);
  for (const TStatRun& Run : Scored) {
    EXPECT_EQ(Run.Wrong, 0);
    if (Run.Zeichen != First) {
      EXPECT_NEAR(Run.ReactionMs, 300, 1) << Run.Zeichen;
    } else {
      EXPECT_LE(Run.ReactionMs, 300) << "the early key counts 0";
    }
  }
}

} // namespace

namespace {

// The band conditions: each control clamps to its range, the learner's
// choice is kept when it changed (and only then), and the text sounds
// through the mix of those conditions with a seed of its own, its
// reactions timed from the ends of the signal as the fist sent it.
TEST_F(PracticeForm, BandConditionsAreClampedKeptAndSoundedThroughTheMix) {
  EXPECT_FALSE(Form.Band().Any()) << "every condition off at first";
  EXPECT_FALSE(Form.SnrSE->isEnabled()) << "the ratio waits for the noise";
  std::vector<practice::TBand> Kept;
  Form.KeepBand = [&](const practice::TBand& B) { Kept.push_back(B); };
  practice::TBand Wild;
  Wild.Noise = true;
  Wild.SnrDb = 45;
  Wild.QsbDepthDb = -3;
  Wild.QsbPeriodSec = 99;
  Wild.Qrm = 7;
  Wild.QrnPerMin = 500;
  Wild.FistPct = 21;
  Form.SetBand(Wild);
  const practice::TBand Set = Form.Band();
  EXPECT_TRUE(Set.Noise);
  EXPECT_TRUE(Form.SnrSE->isEnabled());
  EXPECT_EQ(
      std::tuple(Set.SnrDb, Set.QsbDepthDb, Set.QsbPeriodSec, Set.Qrm, Set.QrnPerMin, Set.FistPct),
      std::tuple(30, 0, 30, 3, 100, 20));

  TManualClock Clock(10000000);
  Device.Clock = &Clock;
  Form.NowUs = [&] { return Clock.NowUs(); };
  Form.DrawSeed = [] { return 4242u; };
  Characters(10);
  Form.CopyCB->setCurrentIndex(0);
  Form.StartBtnClick();
  ASSERT_TRUE(Form.Running());
  EXPECT_TRUE(Kept.empty()) << "the conditions as read are not written again";
  EXPECT_FALSE(Form.FistSE->isEnabled()) << "not changed while the text sounds";
  EXPECT_EQ(Form.LastBand().Seed, 4242u);
  const std::string Text = Form.LastText();
  practice::TTone Tone = practice::ToneOfKlang();
  Tone.ToneHz = Form.ToneSE->value();
  const practice::TCodeSequence Codes = practice::CodesOf(Text, sound::Codetafel, ANSI_CHARSET);
  practice::TBandMix Mix(
      Codes, Form.Timing(), Tone, Form.LastBand(),
      practice::OtherStationTexts("Eng.txt", sound::Codetafel, ANSI_CHARSET, 4242u));
  // Typed 300 ms after each character's end as the fist sent it.
  TypeAt(Clock, Text, Mix.Signal().CharEnds(), [](size_t, int64_t EndUs) { return EndUs + 300000; });
  TPracticeLauf Lauf;
  Form.OnPracticeRun = [&](const TPracticeLauf& L) { Lauf = L; };
  const std::vector<uint8_t> Heard = PlayToEnd();
  std::vector<uint8_t> Wanted(static_cast<size_t>(Mix.TotalSamples()));
  Mix.Next(Wanted);
  EXPECT_EQ(Heard, Wanted);
  ASSERT_FALSE(Scored.empty());
  for (const TStatRun& Run : Scored)
    EXPECT_NEAR(Run.ReactionMs, 300, 1) << Run.Zeichen;
  EXPECT_EQ(std::tuple(Lauf.Sent, Lauf.Wrong, Lauf.Noise, Lauf.SnrDb, Lauf.QsbDepthDb, Lauf.Qrm,
                       Lauf.QrnPerMin, Lauf.FistPct, Lauf.Kind),
            std::tuple(11, 0, true, 30, 0, 3, 100, 20, 0));
  EXPECT_NEAR(Lauf.ReactionMs, 300, 1);

  // Repeat keeps the conditions, with a seed drawn anew; a change is kept
  // when the next text sounds, and when the window closes.
  Form.DrawSeed = [] { return 7u; };
  Form.RepeatBtnClick();
  EXPECT_EQ(Form.LastBand().FistPct, 20);
  EXPECT_EQ(Form.LastBand().Seed, 7u);
  Form.StopBtnClick();
  Form.NoiseCB->setChecked(false);
  Form.SlowerBtnClick();
  ASSERT_EQ(Kept.size(), 1u);
  EXPECT_FALSE(Kept[0].Noise);
  EXPECT_FALSE(Form.LastBand().Noise);
  Form.StopBtnClick();
  Form.QrmSE->setValue(1);
  Form.close();
  ASSERT_EQ(Kept.size(), 2u);
  EXPECT_EQ(Kept[1].Qrm, 1);
}

} // namespace

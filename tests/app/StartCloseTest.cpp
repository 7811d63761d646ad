#include "app/MainUnit.h"
#include "app/Velm2.h"
#include "course/Course.h"
#include "windows/CourseView.h"
#include "course/CourseState.h"
#include "base/Reporter.h"
#include "base/BareFile.h"
#include "sound/SoundState.h"
#include "storage/LengFiles.h"
#include "storage/StorageState.h"
#include "training/SessionState.h"
#include "windows/Caption.h"
#include "windows/MemUnit.h"
#include "windows/Help.h"
#include "windows/SoundFile.h"
#include "storage/Texts.h"

#include "support/ManualTimer.h"
#include "support/RecordingReporter.h"
#include "support/TestWaveDevice.h"
#include "windows/RecordingShell.h"
#include "support/WorkDir.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

const QString DataDir = QString::fromStdString(
    (std::filesystem::path(VELM_SOURCE_DIR) / "data").string());

void CopyData(const QString& To, const QStringList& Except = {}) {
  const QDir Data(DataDir);
  for (const QString& Name : Data.entryList(QDir::Files))
    if (!Except.contains(Name))
      QFile::copy(Data.filePath(Name), QDir(To).filePath(Name));
}

TBytes ReadBytes(const QString& Path) {
  QFile F(Path);
  if (!F.open(QIODevice::ReadOnly))
    return {};
  const QByteArray All = F.readAll();
  return TBytes(All.begin(), All.end());
}

std::string AsText(const TBytes& Bytes) {
  return std::string(Bytes.begin(), Bytes.end());
}

void ResetAll() {
  ResetSoundState();
  ResetCourseState();
  ResetStorageState();
  ResetSessionState();
}

// A main window in a working directory of its own, holding the shipped data
// files unless a test takes some away.
class StartClose : public ::testing::Test {
protected:
  StartClose() { ResetAll(); }
  ~StartClose() override { ResetAll(); }

  void Data(const QStringList& Except = {}) { CopyData(Dir.Path(), Except); }
  void Record(const TBytes& Bytes) { Dir.Write("CWK.dat", AsText(Bytes)); }
  TBytes Record() const { return ReadBytes(QDir(Dir.Path()).filePath("CWK.dat")); }
  TAForm& Start() {
    Form = std::make_unique<TAForm>(Device, Reporter, Arb, Timer1, Shell);
    Form->FormActivate();
    return *Form;
  }

  TWorkDir Dir;
  TTestWaveDevice Device;
  TRecordingReporter Reporter;
  TManualTimer Arb, Timer1;
  TRecordingShell Shell;
  std::unique_ptr<TAForm> Form;
};

bool Cyrillic(uint8_t C) {
  return C >= 0xC0;
}
bool Latin(uint8_t C) {
  return C >= 'a' && C <= 'z';
}

// Letter keys shown, counted per row from the top.
std::vector<int> LetterRows(const TMainView& V, bool (*Letter)(uint8_t)) {
  std::map<int, int> Rows;
  for (const TMButton* Key : V.Tasten) {
    if (Key == nullptr || Key->isHidden())
      continue;
    const std::string C = CaptionOf(Key);
    if (C.size() == 1 && Letter(static_cast<uint8_t>(C[0])))
      ++Rows[Key->y()];
  }
  std::vector<int> Counts;
  for (const auto& [Y, Count] : Rows)
    Counts.push_back(Count);
  return Counts;
}

TEST_F(StartClose, AFirstRunMakesTheDefaultRecordAndShowsTheRussianCourse) {
  Data();
  TAForm& F = Start();
  EXPECT_EQ(Record(), (TBytes{0x01, 0x01, 0x3C, 0x17, 0x1E, 0x08, 0x03}));
  EXPECT_TRUE(Reporter.Messages.empty());
  TMainView& V = F.View;
  EXPECT_EQ(CaptionOf(V.LektLabel), "1");
  EXPECT_EQ(CaptionOf(V.UebLabel), "1");
  EXPECT_EQ(CaptionOf(V.SpeedLB), "60");
  EXPECT_EQ(CaptionOf(V.VerhLB), "3.0");
  EXPECT_EQ(CaptionOf(V.GroupLabel), "10");
  EXPECT_EQ(storage::Kund.SprachNr, 3);
  EXPECT_EQ(course::Tastatur.InputLayoutNr, 3);
  EXPECT_TRUE(V.Russish->isChecked());
  EXPECT_EQ(CharsetOf(V.KeyPanel), 204);
  EXPECT_EQ(sound::Klang.Speed, 60);
  EXPECT_EQ(sound::Klang.Verhalt, 30);
  EXPECT_EQ(sound::Klang.Ton, 23);
  EXPECT_EQ(sound::Klang.Atacke, 5);

  // Digits, then the three letter rows of the Russian keyboard.
  EXPECT_EQ(LetterRows(V, Cyrillic), (std::vector<int>{11, 11, 9}));
  EXPECT_TRUE(LetterRows(V, Latin).empty());
  // The texts are Russian.lng's, in the layout's character set.
  EXPECT_NE(CaptionOf(V.StartBtn), "Start");
  // The Russian mnemonic words are there: offered and on.
  EXPECT_TRUE(V.MerkCheckBox->isEnabled());
  EXPECT_TRUE(V.MerkCheckBox->isChecked());
}

TEST_F(StartClose, TheSetsOfTheLessonsReachedAreOpenAfterTheStart) {
  Data();
  Record({0x01, 0x01, 0x3C, 0x17, 0x1E, 0x08, 0x03});
  Start().close();
  const uint8_t Zeichen = static_cast<uint8_t>(course::Kurs.LektZiffEnde + 1); // a lesson of signs
  Form.reset();
  ResetAll();
  Record({Zeichen, 0x02, 0x3C, 0x17, 0x1E, 0x08, 0x03});
  const TMainView& V = Start().View;
  EXPECT_TRUE(V.ZiffRB->isEnabled());
  EXPECT_TRUE(V.ZeichRB->isEnabled());
  EXPECT_FALSE(V.AllRB->isEnabled());
}

TEST_F(StartClose, WithoutTheAlphabetsMnemonicWordsTheyAreNeitherOfferedNorOn) {
  Data({"RusMerkW.txt"});
  TMainView& V = Start().View;
  EXPECT_EQ(storage::Kund.SprachNr, 3);
  EXPECT_FALSE(V.MerkCheckBox->isEnabled());
  EXPECT_FALSE(V.MerkCheckBox->isChecked());
}

TEST_F(StartClose, AStoredToneOutOfRangeIsClampedAndSavedClamped) {
  Data();
  Record({0x01, 0x01, 0x3C, 85, 0x1E, 0x08, 0x03});
  TAForm& F = Start();
  EXPECT_EQ(F.View.TnBar->value(), 38);
  EXPECT_EQ(sound::Klang.Ton, 38);
  F.close();
  EXPECT_EQ(Record(), (TBytes{0x01, 0x01, 0x3C, 0x26, 0x1E, 0x08, 0x03}));
}

TEST_F(StartClose, BytesAfterTheRecordSurviveTheSave) {
  Data();
  Record({0x01, 0x01, 0x3C, 0x17, 0x1E, 0x08, 0x03, 0xAA, 0xBB, 0xCC});
  TAForm& F = Start();
  F.View.SpeedUD->ClickUp();
  F.close();
  EXPECT_EQ(Record(), (TBytes{0x01, 0x01, 0x41, 0x17, 0x1E, 0x08, 0x03, 0xAA, 0xBB, 0xCC}));
}

TEST_F(StartClose, NoLayoutKeepsTheBuiltInCaptionsAndLaysOutNoKeyboard) {
  for (uint8_t Nr : {uint8_t{0}, uint8_t{5}}) {
    ResetAll();
    Data();
    Record({0x01, 0x01, 0x3C, 0x17, 0x1E, 0x08, Nr});
    TAForm& F = Start();
    EXPECT_EQ(CaptionOf(F.View.StartBtn), "Start") << int(Nr);
    EXPECT_EQ(CaptionOf(F.View.WeiterBtn), "Weiter") << int(Nr);
    EXPECT_EQ(CaptionOf(F.View.Label15), "Lektion") << int(Nr);
    for (const TMButton* Key : F.View.Tasten)
      EXPECT_TRUE(Key == nullptr || Key->isHidden()) << int(Nr);
    EXPECT_EQ(course::Tastatur.InputLayoutNr, 0) << int(Nr);
    F.close();
    EXPECT_EQ(Record().at(6), Nr);
  }
}

TEST_F(StartClose, AMissingLanguageChoiceClosesAndKeepsTheRecordAsRead) {
  Data({"Leng.dat"});
  const TBytes Stored{0x05, 0x02, 0x50, 0x14, 0x28, 0x06, 0x03};
  Record(Stored);
  Form = std::make_unique<TAForm>(Device, Reporter, Arb, Timer1, Shell);
  Form->show();
  Form->FormActivate();
  EXPECT_EQ(Reporter.Messages, (std::vector<std::string>{"\"Leng.dat\" is not found!"}));
  EXPECT_FALSE(Form->isVisible());
  EXPECT_TRUE(Form->ClosedDown());
  EXPECT_FALSE(Form->StartedUp());
  EXPECT_EQ(Record(), Stored);
  // Nothing after the layout ran: the interval table was not asked for.
  EXPECT_EQ(CaptionOf(Form->View.VerhLB), "3.0");
  EXPECT_TRUE(Reporter.Questions.empty());
}

// The program is told to stop while the missing interval table is being
// reported: the start-up has applied the record by then, so the clamped
// values are saved and the start-up goes no further.
class StoppingReporter final : public TMessageReporter {
public:
  void ShowMessage(const std::string& Text) override {
    Messages.push_back(Text);
    if (WhileShown)
      WhileShown();
  }
  bool AskYesNo(const std::string& Text) override {
    Questions.push_back(Text);
    return true;
  }
  void Beep() override {}
  std::function<void()> WhileShown;
  std::vector<std::string> Messages, Questions;
};

TEST_F(StartClose, AStopWhileTheIntervalMessageIsShownSavesTheAppliedSettings) {
  Data({"Int.mtr"});
  Record({0x01, 0x01, 0x3C, 85, 0x1E, 0x08, 0x03});
  StoppingReporter Boxes;
  TAForm F(Device, Boxes, Arb, Timer1, Shell);
  Boxes.WhileShown = [&F] { F.EndSession(); };
  sound::Klang.IntChanged = true;
  F.FormActivate();
  EXPECT_EQ(Boxes.Messages, (std::vector<std::string>{storage::Texte.IntervallText[4]}));
  EXPECT_TRUE(Boxes.Questions.empty());
  EXPECT_TRUE(F.ClosedDown());
  EXPECT_FALSE(F.StartedUp());
  EXPECT_EQ(Record(), (TBytes{0x01, 0x01, 0x3C, 0x26, 0x1E, 0x08, 0x03}));
  EXPECT_FALSE(QFileInfo::exists(QDir(Dir.Path()).filePath("Int.mtr")));
}

// A record that cannot be written is told once: at the start-up when it is
// known then, else at the close; the run itself goes on.
TEST_F(StartClose, ARecordThatCannotBeSavedIsToldOnce) {
  Data();
  const QString Path = QDir(Dir.Path()).filePath("CWK.dat");
  ASSERT_TRUE(QDir().mkdir(Path));
  TAForm& F = Start();
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{KundNotSavedText});
  EXPECT_TRUE(F.StartedUp());
  F.close();
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{KundNotSavedText});
  EXPECT_TRUE(QFileInfo(Path).isDir());

  // Known only at the close, together with a table that cannot be saved.
  ResetAll();
  Form.reset();
  Reporter.Messages.clear();
  ASSERT_TRUE(QDir().rmdir(Path));
  TAForm& G = Start();
  EXPECT_TRUE(Reporter.Messages.empty());
  ASSERT_TRUE(QFile::remove(Path));
  ASSERT_TRUE(QDir().mkdir(Path));
  ASSERT_TRUE(QFile::remove(QDir(Dir.Path()).filePath("Int.mtr")));
  ASSERT_TRUE(QDir().mkdir(QDir(Dir.Path()).filePath("Int.mtr")));
  sound::Klang.IntChanged = true;
  Reporter.DefaultAnswer = true;
  G.close();
  EXPECT_EQ(Reporter.Messages, (std::vector<std::string>{KundNotSavedText, IntNotSavedText}));
}

TEST_F(StartClose, AStopWhileTheRecordMessageIsShownToldItOnceAndStartsNothing) {
  Data();
  ASSERT_TRUE(QDir().mkdir(QDir(Dir.Path()).filePath("CWK.dat")));
  StoppingReporter Boxes;
  TAForm F(Device, Boxes, Arb, Timer1, Shell);
  Boxes.WhileShown = [&F] { F.EndSession(); };
  F.FormActivate();
  EXPECT_EQ(Boxes.Messages, std::vector<std::string>{KundNotSavedText});
  EXPECT_TRUE(F.ClosedDown());
  EXPECT_FALSE(F.StartedUp());
}

TEST_F(StartClose, AChangedIntervalTableAnsweredNoStaysOnDiskWhileTheRecordIsSaved) {
  Data();
  const TBytes Int = ReadBytes(QDir(Dir.Path()).filePath("Int.mtr"));
  ASSERT_FALSE(Int.empty());
  TAForm& F = Start();
  F.View.SpeedUD->ClickDown();
  sound::Klang.IntervallTab[0] = static_cast<uint8_t>(sound::Klang.IntervallTab[0] + 7);
  sound::Klang.IntChanged = true;
  Reporter.DefaultAnswer = false;
  F.close();
  // In the course's interface language (Russian at a first start here).
  ASSERT_EQ(Reporter.Questions.size(), 1u);
  EXPECT_EQ(Reporter.Questions[0], storage::Texte.IntervallText[3]);
  EXPECT_NE(Reporter.Questions[0], "Int.dat ist gewekselt. Speichern?");
  EXPECT_EQ(ReadBytes(QDir(Dir.Path()).filePath("Int.mtr")), Int);
  EXPECT_EQ(Record(), (TBytes{0x01, 0x01, 0x37, 0x17, 0x1E, 0x08, 0x03}));
}

TEST_F(StartClose, AnUnchangedTableAsksNothingAndEndingTheSessionAsksNothing) {
  Data();
  TAForm& F = Start();
  F.close();
  EXPECT_TRUE(Reporter.Questions.empty());

  ResetAll();
  TAForm& G = Start();
  sound::Klang.IntChanged = true;
  Reporter.DefaultAnswer = true;
  G.View.SpeedUD->ClickUp();
  G.EndSession();
  EXPECT_TRUE(Reporter.Questions.empty());
  EXPECT_FALSE(G.isVisible());
  EXPECT_EQ(Record().at(2), 0x41);
  // Closing after the session ended runs nothing again.
  G.FormClose();
  EXPECT_TRUE(Reporter.Questions.empty());
}

TEST_F(StartClose, BeingMovedOnToTheLastExerciseOfTheHighestLessonIsRolledBack) {
  Data();
  Record({0x02, 0x03, 0x3C, 0x17, 0x1E, 0x08, 0x03});
  TAForm& F = Start();
  ASSERT_EQ(course::Kurs.MaxLektNr, 2);
  ASSERT_EQ(course::Kurs.MaxUebNr, 3);
  // Exercise 3 passed: moved on to exercise 4 without working through it.
  course::Kurs.MaxUebNr = 4;
  course::Kurs.UebNr = 4;
  course::Folge.NeuVorn = true;
  course::Folge.UebFolge.assign(20, 1);
  F.close();
  EXPECT_EQ(Record().at(1), 3);
  EXPECT_EQ(course::Kurs.UebNr, 3);
  EXPECT_TRUE(course::Folge.UebFolge.empty());
}

TEST_F(StartClose, AnOpenDeviceIsClosedAtTheEnd) {
  Data();
  TAForm& F = Start();
  F.PlayCode(".-");
  ASSERT_TRUE(sound::Ausgabe.DeviceOpen);
  F.close();
  EXPECT_FALSE(sound::Ausgabe.DeviceOpen);
}

TEST_F(StartClose, TheStartUpRunsOnceThoughTheWindowIsActivatedAgain) {
  Data();
  Form = std::make_unique<TAForm>(Device, Reporter, Arb, Timer1, Shell);
  Form->show();
  Form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
  ASSERT_TRUE(Form->StartedUp());
  Form->View.SpeedUD->ClickUp();
  Record({0x09, 0x02, 0x64, 0x17, 0x1E, 0x08, 0x01});
  QEvent Again(QEvent::ActivationChange);
  QApplication::sendEvent(Form.get(), &Again);
  Form->FormActivate();
  EXPECT_EQ(CaptionOf(Form->View.SpeedLB), "65");
  EXPECT_EQ(CaptionOf(Form->View.LektLabel), "1");
  EXPECT_EQ(storage::Kund.SprachNr, 3);
}

TEST_F(StartClose, AFreeClickOnAKeySoundsItsCodeAndThenItsSoundFile) {
  Data();
  TAForm& F = Start();
  TMButton* Key = nullptr;
  for (TMButton* K : F.View.Tasten)
    if (K != nullptr && K->isEnabled() && !K->MCode().empty()) {
      Key = K;
      break;
    }
  ASSERT_NE(Key, nullptr);
  F.CourseView().FreiClick(Key);
  EXPECT_TRUE(sound::Ausgabe.Playing);
  EXPECT_TRUE(sound::Ausgabe.WavePending);
  // The file-system name of the key's caption in the layout's code page.
  EXPECT_EQ(sound::Ausgabe.WavName, SoundFileName(CaptionOf(Key) + ".Wav", CharsetOf(Key)));
}

TEST_F(StartClose, TheLayoutMenuSwitchesTheKeysTextsAndMessageCharacterSet) {
  Data();
  TAForm& F = Start();
  F.View.English->trigger();
  EXPECT_EQ(storage::Kund.SprachNr, 1);
  EXPECT_EQ(CharsetOf(F.View.KeyPanel), 0);
  EXPECT_EQ(LetterRows(F.View, Latin), (std::vector<int>{10, 9, 7}));
  EXPECT_TRUE(LetterRows(F.View, Cyrillic).empty());
  EXPECT_EQ(CaptionOf(F.View.LektLabel), "1");
  F.close();
  EXPECT_EQ(Record().at(6), 1);
}

// Every end saves the learner's own values: the replay window, open at a
// speed of its own, sounds at its own timing and leaves the engine's alone.
TEST_F(StartClose, EveryEndSavesTheLearnersSpeedThoughTheReplayWindowIsOpen) {
  using TEnd = std::function<void(TAForm&)>;
  const std::vector<std::pair<const char*, TEnd>> Ends{
      {"closed", [](TAForm& F) { F.close(); }},
      {"session end or signal", [](TAForm& F) { F.EndSession(); }},
      {"display lost", [](TAForm& F) { F.CloseSequence(false); }}};
  for (const auto& [Name, End] : Ends) {
    SCOPED_TRACE(Name);
    ResetAll();
    Form.reset();
    Data();
    Record({0x01, 0x01, 0x3C, 0x17, 0x1E, 0x08, 0x03});
    TAForm& F = Start();
    F.View.SpeedUD->ClickUp(); // 65
    TManualTimer MemTimer;
    TMemForm Mem(&F, &MemTimer);
    F.SetMemForm(&Mem);
    Mem.FormActivate();
    Mem.SPSpeedUpClick(true);
    Mem.SPSpeedUpClick(true);
    ASSERT_EQ(Mem.MemKlang.Speed, 75);
    EXPECT_EQ(sound::Klang.Speed, 65);
    End(F);
    EXPECT_EQ(Record().at(2), 65);
    F.SetMemForm(nullptr);
  }
}

// Closed by the learner, a record that cannot be written is told in a box;
// ended without the learner (a signal, the session's end, a lost display),
// on standard error, and the end goes on.
TEST_F(StartClose, AFailedSaveAtAnEndWithoutTheLearnerGoesToStandardError) {
  for (const bool Interactive : {true, false}) {
    SCOPED_TRACE(Interactive);
    ResetAll();
    Form.reset();
    Reporter.Messages.clear();
    QDir(Dir.Path()).rmdir("CWK.dat"); // the last case's
    Data();
    TAForm& F = Start();
    ASSERT_TRUE(QFile::remove(QDir(Dir.Path()).filePath("CWK.dat")));
    ASSERT_TRUE(QDir().mkdir(QDir(Dir.Path()).filePath("CWK.dat")));
    testing::internal::CaptureStderr();
    if (Interactive)
      F.close();
    else
      F.EndSession();
    const std::string Err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(F.ClosedDown());
    if (Interactive) {
      EXPECT_EQ(Reporter.Messages, std::vector<std::string>{KundNotSavedText});
      EXPECT_EQ(Err.find("CWK.dat"), std::string::npos);
    } else {
      EXPECT_TRUE(Reporter.Messages.empty());
      EXPECT_EQ(Err, std::string("velm-mtr: ") + KundNotSavedText + "\n");
    }
  }
}

// The real program's windows from start to close.
TEST(RealProgram, StartsChangesTheSpeedAndSavesItAtClose) {
  ResetAll();
  TWorkDir Dir;
  CopyData(Dir.Path());
  TTestWaveDevice Device;
  TRecordingReporter Reporter;
  TManualTimer Arb, Timer1, MemTimer;
  TRecordingShell Shell;
  {
    TVelm2 Velm2(Device, Reporter, Arb, Timer1, MemTimer, Shell);
    Velm2.ConnectEnd();
    Velm2.AForm->show();
    Velm2.AForm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Velm2.AForm.get()));
    ASSERT_TRUE(Velm2.AForm->StartedUp());
    Velm2.AForm->View.SpeedUD->ClickUp();
    Velm2.AForm->View.SpeedUD->ClickUp();
    Velm2.AForm->View.MExit->trigger();
    EXPECT_FALSE(Velm2.AForm->isVisible());
    // The replay window shows its texts in Russian too.
    EXPECT_EQ(CharsetOf(Velm2.MemForm->MemClBtn), 204);
  }
  EXPECT_EQ(ReadBytes(QDir(Dir.Path()).filePath("CWK.dat")),
            (TBytes{0x01, 0x01, 0x46, 0x17, 0x1E, 0x08, 0x03}));
  ResetAll();
}

// The installed executable, started from a folder of its own, finds its
// shipped data beside it, works in the learner's folder and, told to stop
// while it runs, saves the learner's record there and ends normally.
TEST(RealProgram, SigtermRunsTheCloseSequence) {
  const QString Built = QStringLiteral(VELM_PROGRAM);
  if (!QFileInfo::exists(Built))
    GTEST_SKIP() << "no program built beside the tests";
  QTemporaryDir Dir;
  const QDir Root(Dir.path());
  // An installation: the program in bin/, its data in share/velm-mtr.
  ASSERT_TRUE(Root.mkpath("prefix/bin"));
  ASSERT_TRUE(Root.mkpath("prefix/share/velm-mtr"));
  const QString Exe = Root.filePath("prefix/bin/velm-mtr");
  ASSERT_TRUE(QFile::copy(Built, Exe));
  QFile(Exe).setPermissions(QFile::permissions(Built));
  // Without LD.dat the start-up makes one in its layout step, which shows
  // from outside that the start-up runs; the stop is handled after it.
  CopyData(Root.filePath("prefix/share/velm-mtr"), {"LD.dat"});
  ASSERT_TRUE(Root.mkpath("home/velm-mtr"));
  ASSERT_TRUE(Root.mkpath("elsewhere"));
  const QDir Learner(Root.filePath("home/velm-mtr"));
  {
    QFile F(Learner.filePath("CWK.dat"));
    ASSERT_TRUE(F.open(QIODevice::WriteOnly));
    F.write(QByteArray("\x01\x01\x3C\x55\x1E\x08\x03", 7));
  }
  QProcess P;
  P.setWorkingDirectory(Root.filePath("elsewhere"));
  QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
  Env.insert("QT_QPA_PLATFORM", "offscreen");
  Env.insert("ASAN_OPTIONS", "detect_leaks=0");
  Env.insert("XDG_DATA_HOME", Root.filePath("home"));
  P.setProcessEnvironment(Env);
  P.start(Exe, {});
  ASSERT_TRUE(P.waitForStarted(10000));
  const QString LD = Learner.filePath("LD.dat");
  for (int I = 0; I < 600 && !QFileInfo::exists(LD); ++I)
    QTest::qWait(100);
  ASSERT_TRUE(QFileInfo::exists(LD)) << P.readAllStandardError().toStdString();
  // kill(0) would end the test command's whole process group.
  ASSERT_GT(P.processId(), 0) << P.readAllStandardError().toStdString();
  ::kill(static_cast<pid_t>(P.processId()), SIGTERM);
  ASSERT_TRUE(P.waitForFinished(60000));
  EXPECT_EQ(P.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(P.exitCode(), 0) << P.readAllStandardError().toStdString();
  EXPECT_EQ(ReadBytes(Learner.filePath("CWK.dat")),
            (TBytes{0x01, 0x01, 0x3C, 0x26, 0x1E, 0x08, 0x03}));
  // Nothing is left in the folder it was started from, nothing written
  // beside the shipped data.
  EXPECT_TRUE(QDir(Root.filePath("elsewhere")).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(Root.filePath("prefix/share/velm-mtr/LD.dat")));
  EXPECT_FALSE(QFileInfo::exists(Root.filePath("prefix/share/velm-mtr/CWK.dat")));
}

} // namespace

namespace {

// The texts of a shipped interface file, read as the program reads them.
storage::TTexte TextsOf(const char* File) {
  ClearTexts();
  const std::optional<std::string> Bytes = ReadFileBytes((std::filesystem::path(VELM_SOURCE_DIR) / "data" / File).string());
  EXPECT_TRUE(Bytes.has_value()) << File;
  if (Bytes)
    ParseTexts(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Bytes->data()), Bytes->size()));
  const storage::TTexte T = storage::Texte;
  ClearTexts();
  return T;
}

struct TCourseCase {
  QAction* TMainView::*Item;
  int32_t SprachNr;
  const char* LngFile;
  uint8_t Charset;
  const char* HelpFile;
  const char* Language;
  const char* SoundPrefix;
};

const std::array<TCourseCase, 4> Courses = {{
    {&TMainView::English, 1, "English.lng", ANSI_CHARSET, "VELMHelpEng.html", "en", "Eng-"},
    {&TMainView::German, 2, "German.lng", ANSI_CHARSET, "VELMHelpDeu.html", "de", "Deu-"},
    {&TMainView::Russish, 3, "Russian.lng", RUSSIAN_CHARSET, "VELMHelpRus.html", "ru", ""},
    {&TMainView::Turkish, 4, "Turkish.lng", TURKISH_CHARSET, "VELMHelpTur.html", "tr", "Tur-"},
}};

// What the learner sees and hears of each course, chosen from the layout
// menu: the menu, the hints and the names in the course's language, its own
// mnemonic words and sound files, its help page and the dialogs' language.
TEST_F(StartClose, EachCourseChosenFromTheMenuSpeaksItsOwnLanguage) {
  Data();
  TAForm& F = Start();
  TMainView& V = F.View;
  for (const TCourseCase& C : Courses) {
    SCOPED_TRACE(C.LngFile);
    ASSERT_TRUE(V.Keyboard1->isEnabled());
    (V.*C.Item)->trigger();
    ASSERT_EQ(storage::Kund.SprachNr, C.SprachNr);
    const storage::TTexte T = TextsOf(C.LngFile);
    EXPECT_EQ(V.Keyboard1->title(), ToUnicode(T.MenuText[3], C.Charset));
    EXPECT_EQ(V.TastBelegung1->title(), ToUnicode(T.MenuText[4], C.Charset));
    EXPECT_EQ(V.Contence1->text(), ToUnicode(T.MenuText[5], C.Charset));
    EXPECT_EQ(V.English->text(), ToUnicode(T.CoursesText[1], C.Charset));
    EXPECT_EQ(V.Turkish->text(), ToUnicode(T.CoursesText[4], C.Charset));
    EXPECT_EQ(V.StartBtn->toolTip(), ToUnicode(T.HintsText[HintStartBtn], C.Charset));
    EXPECT_EQ(V.SpeedUD->UpButton()->accessibleName(), ToUnicode(T.HintsText[NameSpeedUp], C.Charset));
    EXPECT_EQ(V.TnBar->accessibleName(), ToUnicode(T.HintsText[NameTnBar], C.Charset));
    EXPECT_EQ(V.LektAD->accessibleName(), ToUnicode(T.LektText[2], C.Charset));
    EXPECT_EQ(V.OnlyRB->text(), ToUnicode(T.CaptionsText[CaptionOnlyRB], C.Charset));
    EXPECT_EQ(V.TimeCB->text(), ToUnicode(T.CaptionsText[CaptionTimeCB], C.Charset));
    EXPECT_EQ(V.TestBtn->text(), ToUnicode(T.CaptionsText[CaptionTestBtn], C.Charset));
    for (TMButton* Key : V.Tasten)
      if (!Key->isHidden()) {
        EXPECT_EQ(Key->toolTip(), ToUnicode(T.HintsText[HintTasten], C.Charset));
        // A screen reader says the key's character.
        QAccessibleInterface* A = QAccessible::queryAccessibleInterface(Key);
        ASSERT_NE(A, nullptr);
        EXPECT_EQ(A->text(QAccessible::Name), Key->text());
        EXPECT_EQ(A->role(), QAccessible::Button);
      }

    // The course's own words, offered and on.
    EXPECT_TRUE(course::Kurs.MerkWoerterGeladen);
    EXPECT_TRUE(V.MerkCheckBox->isChecked());
    EXPECT_FALSE(course::Kurs.MerkWoerter[1].empty());

    // A click on a key asks for the course's own sound file, which is there.
    TMButton* Key = nullptr;
    for (TMButton* K : V.Tasten)
      if (K->isEnabled() && !K->MCode().empty()) {
        Key = K;
        break;
      }
    ASSERT_NE(Key, nullptr);
    F.CourseView().FreiClick(Key);
    EXPECT_EQ(sound::Ausgabe.WavName,
              C.SoundPrefix + SoundFileName(CaptionOf(Key) + ".Wav", CharsetOf(Key)));
    EXPECT_TRUE(FindBareFile(sound::Ausgabe.WavName).has_value()) << sound::Ausgabe.WavName;
    ASSERT_TRUE(Device.Complete()); // the code
    ASSERT_TRUE(Device.Complete()); // the spoken character
    EXPECT_FALSE(sound::Ausgabe.Playing);

    EXPECT_EQ(F.HelpFile(), C.HelpFile);
    V.Contence1->trigger();
    ASSERT_NE(F.HelpWindow(), nullptr);
    EXPECT_TRUE(F.HelpWindow()->Source().endsWith(QString::fromLatin1(C.HelpFile)));
    // The page speaks its course's language and explains the typed copy, the
    // statistics and when an exercise is passed.
    QFile Page(QDir(DataDir).filePath(QString::fromLatin1(C.HelpFile)));
    ASSERT_TRUE(Page.open(QIODevice::ReadOnly));
    const QString Html = QString::fromUtf8(Page.readAll());
    EXPECT_EQ(Html.contains(QStringLiteral(u"\u0442\u0438")), C.SprachNr == 3); // "ти"
    EXPECT_TRUE(Html.contains(QStringLiteral("name=\"copy\"")) &&
                Html.contains(QStringLiteral("name=\"passing\"")));

    // The toolkit's own buttons follow the language.
    EXPECT_EQ(F.DialogLanguage().Language(), C.Language);
    QMessageBox Box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No);
    const QString Yes = Box.button(QMessageBox::Yes)->text();
    if (std::string(C.Language) == "en") {
      EXPECT_EQ(Yes, "&Yes");
    } else {
      EXPECT_NE(Yes, "&Yes");
    }
  }
  F.HelpWindow()->close();
}

// A course whose sound file for a character is missing sounds the code and
// goes on as if no file had been due; it never plays another course's file.
TEST_F(StartClose, AMissingSoundFileOfTheCourseIsPassedOver) {
  Data({"Eng-t.wav", "Eng-m.wav", "Eng-e.wav", "Eng-o.wav"});
  TAForm& F = Start();
  F.View.English->trigger();
  Dir.Write("t.wav", AsText(ReadBytes(QDir(DataDir).filePath("\xD1\x82.wav"))));
  TMButton* Key = nullptr;
  for (TMButton* K : F.View.Tasten)
    if (K->isEnabled() && CaptionOf(K) == "t")
      Key = K;
  ASSERT_NE(Key, nullptr);
  F.CourseView().FreiClick(Key);
  EXPECT_EQ(sound::Ausgabe.WavName, "Eng-t.Wav");
  ASSERT_TRUE(Device.Complete()); // the code; no file follows
  EXPECT_FALSE(sound::Ausgabe.Playing);
  EXPECT_TRUE(F.View.KeyPanel->isEnabled());
  EXPECT_FALSE(Device.Complete()) << "nothing more was played";
}

// Without the course's mnemonic file the keys sing the code; the words of
// the course before are gone.
TEST_F(StartClose, ACourseWithoutItsMnemonicFileShowsNoOtherCoursesWords) {
  Data({"TurMerkW.txt"});
  TAForm& F = Start();
  ASSERT_TRUE(course::Kurs.MerkWoerterGeladen); // Russian
  F.View.Turkish->trigger();
  EXPECT_FALSE(course::Kurs.MerkWoerterGeladen);
  EXPECT_FALSE(F.View.MerkCheckBox->isEnabled());
  for (const std::string& Wort : course::Kurs.MerkWoerter)
    EXPECT_EQ(Wort, "");
}

} // namespace

#include "storage/Kund.h"
#include "base/Reporter.h"
#include "sound/SoundState.h"
#include "storage/StorageState.h"
#include "support/RecordingReporter.h"

#include "StorageTestDir.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>
#include <functional>
#include <set>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const TBytes DefaultBytes = {0x01, 0x01, 0x3C, 0x17, 0x1E, 0x08, 0x03};

TBytes KundBytes() {
  return {storage::Kund.MaxLektNr, storage::Kund.MaxUebNr, storage::Kund.Speed,   storage::Kund.Ton,
          storage::Kund.Abstand,   storage::Kund.Front,    storage::Kund.SprachNr};
}

// A file that even root cannot open for writing: a copy of a program that is
// running. The permission bits do not stop root, a busy executable does.
class TBusyFile {
public:
  explicit TBusyFile(const std::string& Name) {
    const QString Sleep = QStandardPaths::findExecutable("sleep");
    if (Sleep.isEmpty() || !QFile::copy(Sleep, QString::fromStdString(Name)))
      return;
    chmod(Name.c_str(), 0755);
    FProcess.start(QString::fromStdString("./" + Name), {"60"});
    if (!FProcess.waitForStarted())
      return;
    const int Fd = open(Name.c_str(), O_RDWR);
    if (Fd >= 0) {
      close(Fd);
      return;
    }
    FBusy = true;
  }
  ~TBusyFile() {
    if (FProcess.state() != QProcess::NotRunning) {
      FProcess.kill();
      FProcess.waitForFinished();
    }
  }
  TBusyFile(const TBusyFile&) = delete;
  TBusyFile& operator=(const TBusyFile&) = delete;
  bool Busy() const { return FBusy; }

private:
  QProcess FProcess;
  bool FBusy = false;
};

class KundTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetStorageState();
    ResetSoundState();
  }
  void TearDown() override {
    ResetStorageState();
    ResetSoundState();
  }

  // The close as the program runs it, with the engine set as given.
  bool SaveWith(int32_t MaxLekt, int32_t MaxUeb, int32_t Spd, int32_t T, int32_t Abst,
                int32_t Front) {
    sound::Klang.Speed = Spd;
    sound::Klang.Ton = T;
    sound::Klang.Abstand = Abst;
    sound::Klang.Atacke = AtackeOfFront(Front);
    return KundSpeichern(KundValuesOf(MaxLekt, MaxUeb), Reporter, Told);
  }

  TWorkDir Dir;
  TRecordingReporter Reporter;
  bool Told = false;
};

const std::vector<std::string> ToldOnce = {KundNotSavedText};

// The names in the working folder: a failed save leaves no file of its own.
std::set<std::string> FolderNames() {
  std::set<std::string> Names;
  for (const auto& Entry : std::filesystem::directory_iterator("."))
    Names.insert(Entry.path().filename().string());
  return Names;
}

TEST_F(KundTest, FirstRunCreatesTheDefaultRecordSilently) {
  EXPECT_TRUE(LoadKund());
  EXPECT_EQ(ReadFile("CWK.dat"), DefaultBytes);
  EXPECT_EQ(KundBytes(), DefaultBytes);
}

// A first start speaks the learner's language; a record read keeps its own.
TEST_F(KundTest, AFirstStartTakesTheLayoutFromTheSystemsLanguageAndAReadRecordKeepsItsOwn) {
  const std::vector<std::pair<const char*, uint8_t>> Locales{
      {"en_US", 1}, {"en_GB.UTF-8", 1}, {"de_DE.UTF-8", 2}, {"de_AT", 2}, {"ru_RU", 3},
      {"tr_TR.UTF-8", 4}, {"tr", 4}, {"fr_FR", 1}, {"C", 1}, {"", 1}};
  for (const auto& [Locale, SprachNr] : Locales)
    EXPECT_EQ(SprachNrOfLocale(QString::fromLatin1(Locale)), SprachNr) << Locale;
  EXPECT_TRUE(LoadKund(2));
  TBytes German = DefaultBytes;
  German[6] = 2;
  EXPECT_EQ(ReadFile("CWK.dat"), German);
  ResetStorageState();
  LoadKund(4);
  EXPECT_EQ(ReadFile("CWK.dat"), German);
  EXPECT_EQ(storage::Kund.SprachNr, 2);
}

TEST_F(KundTest, AStoredRecordIsReadAndTheFileLeftAsItIs) {
  const TBytes Stored = {7, 3, 0x96, 30, 45, 2, 4, 0xAA, 0xBB, 0xCC};
  WriteFile("cwk.DAT", Stored); // any letter case
  LoadKund();
  EXPECT_EQ(KundBytes(), TBytes(Stored.begin(), Stored.begin() + 7));
  EXPECT_EQ(ReadFile("cwk.DAT"), Stored);
  EXPECT_FALSE(std::filesystem::exists("CWK.dat"));
}

TEST_F(KundTest, SaveWritesRecordZeroInPlaceAndKeepsTheBytesAfterIt) {
  WriteFile("CWK.dat", TBytes{1, 1, 60, 23, 30, 8, 2, 0x11, 0x22, 0x33});
  EXPECT_TRUE(LoadKund());
  ASSERT_TRUE(SaveWith(12, 4, 150, 8, 60, 0));
  EXPECT_EQ(ReadFile("CWK.dat"), (TBytes{12, 4, 0x96, 8, 60, 0, 2, 0x11, 0x22, 0x33}));
}

TEST_F(KundTest, SaveStoresLowBytesAndTheLayoutInForce) {
  LoadKund();
  storage::Kund.SprachNr = 4; // a layout switch during the run
  ASSERT_TRUE(SaveWith(0x101, 2, 300, 38, 10, 12));
  EXPECT_EQ(ReadFile("CWK.dat"), (TBytes{0x01, 2, 0x2C, 38, 10, 12, 4}));
}

TEST_F(KundTest, AFileRemovedDuringTheRunGetsTheCurrentStateAtClose) {
  WriteFile("CWK.dat", TBytes{9, 2, 80, 20, 35, 5, 1});
  LoadKund();
  std::filesystem::remove("CWK.dat");
  ASSERT_TRUE(SaveWith(9, 3, 80, 20, 35, 5));
  EXPECT_EQ(ReadFile("CWK.dat"), (TBytes{9, 3, 80, 20, 35, 5, 1}));
}

TEST_F(KundTest, TooShortFilesAreTreatedAsMissing) {
  for (const TBytes& Short : {TBytes{}, TBytes{5}, TBytes{9, 4, 100, 20, 40, 3}}) {
    ResetStorageState();
    WriteFile("CWK.dat", Short);
    LoadKund();
    EXPECT_EQ(KundBytes(), DefaultBytes);
    EXPECT_EQ(ReadFile("CWK.dat"), DefaultBytes);
  }
}

TEST_F(KundTest, OversizedAndRandomFilesGiveTheirFirstSevenBytesAndKeepTheRest) {
  const TBytes Big = RandomBytes(1 << 20, 7);
  WriteFile("CWK.dat", Big);
  LoadKund();
  EXPECT_EQ(KundBytes(), TBytes(Big.begin(), Big.begin() + 7));
  ASSERT_TRUE(SaveWith(3, 2, 60, 23, 30, 8));
  TBytes Expected = Big;
  const TBytes Record = {3, 2, 60, 23, 30, 8, Big[6]};
  std::copy(Record.begin(), Record.end(), Expected.begin());
  EXPECT_EQ(ReadFile("CWK.dat"), Expected);
}

TEST_F(KundTest, ADirectoryInTheFilesPlaceIsNeitherReadNorReplacedAndToldOnce) {
  std::filesystem::create_directory("CWK.dat");
  EXPECT_FALSE(LoadKund());
  EXPECT_EQ(KundBytes(), DefaultBytes);
  EXPECT_TRUE(Reporter.Messages.empty()) << "the start-up tells, not the loading";
  EXPECT_FALSE(SaveWith(5, 2, 60, 23, 30, 8));
  EXPECT_EQ(Reporter.Messages, ToldOnce);
  EXPECT_TRUE(Told);
  EXPECT_FALSE(SaveWith(5, 2, 60, 23, 30, 8));
  EXPECT_EQ(Reporter.Messages, ToldOnce);
  EXPECT_TRUE(std::filesystem::is_directory("CWK.dat"));
  EXPECT_EQ(FolderNames(), std::set<std::string>{"CWK.dat"});
}

// A link stays a link, through a chain of relative links, and a link whose
// target does not exist yet has it created. The files live in a folder of
// their own, as a learner keeping the record elsewhere has it.
TEST_F(KundTest, ARecordBehindALinkIsWrittenThroughItAndTheLinkKept) {
  namespace fs = std::filesystem;
  fs::create_directory("keep");
  WriteFile("keep/real.dat", TBytes{4, 2, 70, 20, 30, 6, 1, 0x5A, 0xA5});
  fs::create_symlink("keep/real.dat", "mid.lnk");
  fs::create_symlink("mid.lnk", "CWK.dat");
  EXPECT_TRUE(LoadKund());
  EXPECT_EQ(KundBytes(), (TBytes{4, 2, 70, 20, 30, 6, 1}));
  ASSERT_TRUE(SaveWith(5, 1, 70, 20, 30, 6));
  EXPECT_TRUE(fs::is_symlink("CWK.dat"));
  EXPECT_EQ(fs::read_symlink("CWK.dat"), "mid.lnk");
  EXPECT_TRUE(fs::is_symlink("mid.lnk"));
  EXPECT_EQ(ReadFile("keep/real.dat"), (TBytes{5, 1, 70, 20, 30, 6, 1, 0x5A, 0xA5}));
  EXPECT_EQ(FolderNames(), (std::set<std::string>{"CWK.dat", "keep", "mid.lnk"}));

  fs::remove("CWK.dat");
  fs::create_symlink("keep/new.dat", "CWK.dat");
  EXPECT_TRUE(LoadKund());
  EXPECT_EQ(KundBytes(), DefaultBytes);
  EXPECT_TRUE(fs::is_symlink("CWK.dat"));
  EXPECT_EQ(ReadFile("keep/new.dat"), DefaultBytes);
  EXPECT_TRUE(Reporter.Messages.empty());
}

// A full disk, made by a limit on the size of the files this process writes,
// in a child process so that the limit ends with it: a save that does not
// fit leaves the record as it was (a first run: no file at all), and no
// partial file beside it.
void WithFullDisk(rlim_t FreeBytes, const std::function<void()>& Body) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit Limit;
        Limit.rlim_cur = Limit.rlim_max = FreeBytes;
        if (setrlimit(RLIMIT_FSIZE, &Limit) != 0)
          std::_Exit(3);
        Body();
        std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(KundTest, ASaveOnAFullDiskLeavesTheRecordWhole) {
  WithFullDisk(0, [&] {
    EXPECT_FALSE(LoadKund());
    EXPECT_EQ(KundBytes(), DefaultBytes);
    EXPECT_TRUE(FolderNames().empty());
  });
  const TBytes Big = RandomBytes(1 << 20, 11);
  WriteFile("CWK.dat", Big);
  WithFullDisk(1 << 16, [&] {
    LoadKund();
    EXPECT_FALSE(SaveWith(30, 4, 100, 30, 40, 3));
    EXPECT_EQ(Reporter.Messages, ToldOnce);
    EXPECT_EQ(ReadFile("CWK.dat"), Big);
    EXPECT_EQ(FolderNames(), std::set<std::string>{"CWK.dat"});
  });
}

// The learner's record must survive a file that cannot be opened for
// writing: it is read at start-up and not replaced by defaults, and the close
// leaves it as it is.
TEST_F(KundTest, AFileThatCannotBeWrittenIsReadAndKept) {
  TBusyFile Busy("CWK.dat");
  if (!Busy.Busy())
    GTEST_SKIP() << "no running copy of a program to stand for a write-protected file";
  const TBytes Before = ReadFile("CWK.dat");
  ASSERT_GE(Before.size(), 7u);
  EXPECT_FALSE(LoadKund());
  EXPECT_EQ(KundBytes(), TBytes(Before.begin(), Before.begin() + 7));
  EXPECT_FALSE(SaveWith(20, 4, 100, 30, 40, 3));
  EXPECT_EQ(Reporter.Messages, ToldOnce);
  EXPECT_EQ(ReadFile("CWK.dat"), Before);
}

// Permission bits do not stop root, and the tests may run as root (CI does):
// then the case runs in a child process that has become the unprivileged
// user "nobody", in the same working folder. The folder is open to the user
// or, with a FolderMode such as 0555, closed to new files.
void AsUnprivileged(const std::function<void()>& Body, mode_t FolderMode = 0777) {
  if (!RunningAsRoot()) {
    chmod(".", FolderMode);
    Body();
    chmod(".", 0700);
    return;
  }
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        chmod(".", FolderMode);
        if (setgid(65534) != 0 || setuid(65534) != 0)
          std::_Exit(3);
        Body();
        std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(KundTest, AReadOnlyFileIsReadAndKept) {
  const TBytes Stored = {6, 2, 90, 25, 30, 4, 1};
  WriteFile("CWK.dat", Stored);
  chmod("CWK.dat", 0444);
  AsUnprivileged([&] {
    EXPECT_FALSE(LoadKund());
    EXPECT_EQ(KundBytes(), Stored);
    EXPECT_FALSE(SaveWith(7, 1, 90, 25, 30, 4));
    EXPECT_EQ(Reporter.Messages, ToldOnce);
    EXPECT_EQ(ReadFile("CWK.dat"), Stored);
  });
}

// A folder closed to new files: the record cannot be replaced by a complete
// new one, so it cannot be saved, though the file itself may be written; and
// a missing one cannot be made.
TEST_F(KundTest, AReadOnlyFolderIsReadAndKept) {
  const TBytes Stored = {6, 2, 90, 25, 30, 4, 1};
  WriteFile("CWK.dat", Stored);
  chmod("CWK.dat", 0666);
  AsUnprivileged(
      [&] {
        EXPECT_FALSE(LoadKund());
        EXPECT_EQ(KundBytes(), Stored);
        EXPECT_FALSE(SaveWith(7, 1, 90, 25, 30, 4));
        EXPECT_EQ(ReadFile("CWK.dat"), Stored);
        EXPECT_EQ(FolderNames(), std::set<std::string>{"CWK.dat"});
      },
      0555);
  std::filesystem::remove("CWK.dat");
  AsUnprivileged(
      [&] {
        EXPECT_FALSE(LoadKund());
        EXPECT_TRUE(FolderNames().empty());
      },
      0555);
}

TEST_F(KundTest, AFileThatCannotBeReadIsNotOverwrittenWithDefaults) {
  const TBytes Stored = {6, 2, 90, 25, 30, 4, 1};
  WriteFile("CWK.dat", Stored);
  chmod("CWK.dat", 0200);
  AsUnprivileged([&] {
    EXPECT_FALSE(LoadKund());
    EXPECT_EQ(KundBytes(), DefaultBytes);
  });
  chmod("CWK.dat", 0600);
  EXPECT_EQ(ReadFile("CWK.dat"), Stored);
}

} // namespace

#include "app/MainUnit.h"
#include "app/Velm2.h"
#include "base/BareFile.h"
#include "course/CourseState.h"
#include "sound/SoundState.h"
#include "storage/StorageState.h"
#include "training/SessionState.h"

#include "support/ManualTimer.h"
#include "support/RecordingReporter.h"
#include "support/TestWaveDevice.h"
#include "windows/RecordingShell.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

void Put(const fs::path& Path, const std::string& Bytes) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

std::string Bytes(const fs::path& Path) { return ReadFileBytes(Path.string()).value_or(""); }

void ResetAll() {
  ResetSoundState();
  ResetCourseState();
  ResetStorageState();
  ResetSessionState();
}

class Folders : public ::testing::Test {
protected:
  Folders() : Old(fs::current_path()), Root(Tmp.path().toStdString()) {}
  ~Folders() override {
    SetShippedDataDir({});
    fs::current_path(Old);
    // Removed by its bytes: the temporary folder's own removal goes by a
    // decoded name and cannot remove a name that is not UTF-8.
    std::error_code Ignored;
    fs::remove_all(Root, Ignored);
  }
  fs::path Old;
  QTemporaryDir Tmp;
  fs::path Root;
};

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
TEST(LearnerFolder, FollowsXdgDataHomeAndElseTheHomeFolder) {
  EXPECT_EQ(LearnerFolderFrom("/data/me", "/home/me"), fs::path("/data/me/velm-mtr"));
  // A relative XDG_DATA_HOME is ignored, as the base directory rules say.
  EXPECT_EQ(LearnerFolderFrom("data", "/home/me"), fs::path("/home/me/.local/share/velm-mtr"));
  EXPECT_EQ(LearnerFolderFrom("", "/home/caf\xE9"), fs::path("/home/caf\xE9/.local/share/velm-mtr"));
  EXPECT_EQ(LearnerFolderFrom(nullptr, nullptr), fs::path());
  EXPECT_EQ(LearnerFolderFrom(nullptr, ""), fs::path());
}
#endif

TEST_F(Folders, TheLearnersFolderIsMadeWithItsParentsAndEntered) {
  const fs::path Folder = Root / "caf\xE9" / "share" / "velm-mtr";
  EXPECT_FALSE(EnterLearnerFolder(Folder));
  EXPECT_TRUE(fs::equivalent(fs::current_path(), Folder));

  // An existing folder is entered as it is.
  Put(Folder / "CWK.dat", "record");
  fs::current_path(Root);
  EXPECT_FALSE(EnterLearnerFolder(Folder));
  EXPECT_TRUE(fs::equivalent(fs::current_path(), Folder));
  EXPECT_EQ(Bytes("CWK.dat"), "record");
}

TEST_F(Folders, AFolderThatCannotBeMadeIsNamedAndTheProgramStaysWhereItWas) {
  Put(Root / "share", "a file where the folder should be");
  fs::current_path(Root);
  const std::optional<QString> Message = EnterLearnerFolder(Root / "share" / "velm-mtr");
  ASSERT_TRUE(Message);
  EXPECT_TRUE(Message->contains(QString::fromStdString((Root / "share" / "velm-mtr").string())))
      << Message->toStdString();
  EXPECT_TRUE(fs::equivalent(fs::current_path(), Root));
  EXPECT_TRUE(EnterLearnerFolder({}));
}

TEST_F(Folders, TheShippedDataIsTheSourceTreesInTheBuildTreeAndTheInstallationsElsewhere) {
  fs::create_directories(Root / "build" / "bin");
  fs::create_directories(Root / "prefix" / "bin");
  const TBuildPlace Build{Root / "build" / "bin", Root / "source" / "data"};
  EXPECT_EQ(ShippedDataFolder(Root / "build" / "bin", Build), Root / "source" / "data");
  // The same folder by another spelling is still the build tree.
  EXPECT_EQ(ShippedDataFolder(Root / "build" / "." / "bin", Build), Root / "source" / "data");
  EXPECT_EQ(ShippedDataFolder(Root / "prefix" / "bin", Build),
            Root / "prefix" / "share" / "velm-mtr");
  EXPECT_EQ(ShippedDataFolder(Root / "prefix" / "bin", TBuildPlace{}),
            Root / "prefix" / "share" / "velm-mtr");
}

// A learner's folder kept from an older version: its record and interval
// table stay as they are, byte for byte, even when the shipped files differ.
TEST_F(Folders, AnOlderLearnersRecordAndIntervalTableAreKeptOverNewerShippedFiles) {
  const fs::path Data = fs::path(VELM_SOURCE_DIR) / "data";
  fs::create_directories(Root / "shipped");
  for (const fs::directory_entry& Entry : fs::directory_iterator(Data))
    fs::copy_file(Entry.path(), Root / "shipped" / Entry.path().filename());
  std::string Table = Bytes(Data / "Int.mtr");
  ASSERT_FALSE(Table.empty());
  for (char& C : Table)
    C = static_cast<char>(C + 1);
  const std::string Record("\x01\x01\x3C\x26\x1E\x08\x03", 7);
  fs::create_directories(Root / "learner");
  Put(Root / "learner" / "CWK.dat", Record);
  Put(Root / "learner" / "Int.mtr", Table);

  SetShippedDataDir(Root / "shipped");
  ASSERT_FALSE(EnterLearnerFolder(Root / "learner"));
  ResetAll();
  {
    TTestWaveDevice Device;
    TRecordingReporter Reporter;
    TManualTimer Arb, Timer1, MemTimer;
    TRecordingShell Shell;
    TVelm2 Velm2(Device, Reporter, Arb, Timer1, MemTimer, Shell);
    Velm2.ConnectEnd();
    Velm2.AForm->show();
    Velm2.AForm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Velm2.AForm.get()));
    ASSERT_TRUE(Velm2.AForm->StartedUp());
    Velm2.AForm->View.MExit->trigger();
  }
  ResetAll();
  EXPECT_EQ(Bytes(Root / "learner" / "CWK.dat"), Record);
  EXPECT_EQ(Bytes(Root / "learner" / "Int.mtr"), Table);
  EXPECT_EQ(Bytes(Root / "shipped" / "Int.mtr"), Bytes(Data / "Int.mtr"));
  // Nothing shipped was copied into the learner's folder.
  EXPECT_FALSE(fs::exists(Root / "learner" / "LD.dat"));
  EXPECT_FALSE(fs::exists(Root / "learner" / "Leng.dat"));
}

} // namespace

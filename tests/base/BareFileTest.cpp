#include "base/BareFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

void Put(const fs::path& Path, const std::string& Bytes) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

std::string Content(const std::string& Name) {
  const std::optional<std::vector<uint8_t>> Bytes = ReadBareFile(Name, 1000);
  if (!Bytes)
    return "<none>";
  const std::string All(Bytes->begin(), Bytes->end());
  return All.substr(0, All.find('\n'));
}

// A learner's folder as the working directory and a shipped data folder
// beside it.
class ShippedData : public ::testing::Test {
protected:
  ShippedData() : Old(fs::current_path()), Root(Tmp.path().toStdString()) {
    fs::create_directory(Root / "own");
    fs::create_directory(Root / "shipped");
    fs::current_path(Root / "own");
    SetShippedDataDir(Root / "shipped");
  }
  ~ShippedData() override {
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

TEST_F(ShippedData, TheLearnersFileComesFirstAndAMissingOneIsReadFromTheShippedFolder) {
  Put(Root / "shipped" / "Int.mtr", "shipped table");
  Put(Root / "shipped" / "Eng.txt", "shipped alphabet");
  Put(Root / "own" / "INT.MTR", "own table");

  EXPECT_EQ(FindBareFile("Int.mtr"), std::optional<std::string>("INT.MTR"));
  EXPECT_EQ(Content("Int.mtr"), "own table");
  EXPECT_EQ(Content("eng.TXT"), "shipped alphabet");
  EXPECT_EQ(FindBareFile("Eng.txt"), (Root / "shipped" / "Eng.txt").string());

  // What the program writes is never the shipped file.
  EXPECT_EQ(FindOwnFile("Int.mtr"), std::optional<std::string>("INT.MTR"));
  EXPECT_FALSE(FindOwnFile("Eng.txt"));

  // Bare names only, in the shipped folder too; a folder is not a file.
  fs::create_directory(Root / "shipped" / "sub.wav");
  EXPECT_FALSE(FindBareFile("sub.wav"));
  EXPECT_FALSE(FindBareFile("../shipped/Eng.txt"));
  EXPECT_FALSE(FindBareFile("Deu.txt"));
}

TEST_F(ShippedData, WithoutAShippedFolderOnlyTheWorkingDirectoryCounts) {
  Put(Root / "shipped" / "Eng.txt", "shipped alphabet");
  SetShippedDataDir({});
  EXPECT_FALSE(FindBareFile("Eng.txt"));
  SetShippedDataDir(Root / "missing");
  EXPECT_FALSE(FindBareFile("Eng.txt"));
}

TEST_F(ShippedData, FilesAreFoundAndReadByTheirBytesInFoldersWhoseNamesAreNotUtf8) {
  const fs::path Odd = Root / "caf\xE9";
  fs::create_directories(Odd / "data");
  fs::create_directories(Odd / "learner");
  Put(Odd / "data" / "VELMHelp.html", std::string("<p>help\0</p>", 12));
  SetShippedDataDir(Odd / "data");
  fs::current_path(Odd / "learner");

  const std::optional<std::string> Found = FindBareFile("velmhelp.html");
  ASSERT_TRUE(Found);
  EXPECT_EQ(ReadFileBytes(*Found), std::string("<p>help\0</p>", 12));
  EXPECT_FALSE(ReadFileBytes("nothing.html"));
  Put("empty.txt", "");
  EXPECT_EQ(ReadFileBytes("empty.txt"), std::string());
}

} // namespace

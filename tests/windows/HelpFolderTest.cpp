#include "base/BareFile.h"
#include "windows/Help.h"

#include <QTemporaryDir>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

void Put(const fs::path& Path, const std::string& Bytes) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

// The learner's folder and the shipped data lie in a folder whose name has
// the byte 0xE9, which is not UTF-8.
class HelpFolders : public ::testing::Test {
protected:
  HelpFolders() : Old(fs::current_path()), Odd(fs::path(Tmp.path().toStdString()) / "caf\xE9") {
    fs::create_directories(Odd / "learner");
    fs::create_directories(Odd / "shipped");
    fs::current_path(Odd / "learner");
    SetShippedDataDir(Odd / "shipped");
  }
  ~HelpFolders() override {
    SetShippedDataDir({});
    fs::current_path(Old);
    // Removed by its bytes: the temporary folder's own removal goes by a
    // decoded name and cannot remove a name that is not UTF-8.
    std::error_code Ignored;
    fs::remove_all(Odd, Ignored);
  }
  fs::path Old;
  QTemporaryDir Tmp;
  fs::path Odd;
};

TEST_F(HelpFolders, TheShippedHelpIsShownUnlessTheLearnerHasOneOfTheirOwn) {
  Put(Odd / "shipped" / "VELMHelp.html",
      "<html><head><meta charset=\"utf-8\"></head><body><p>Shipped \xC3\xBC help</p>"
      "<h2 id=\"files\">Files</h2></body></html>");
  THelpWindow Help;
  Help.ShowContents("VELMHelp.html");
  EXPECT_FALSE(Help.Source().isEmpty());
  EXPECT_TRUE(Help.Browser()->toPlainText().contains(QStringLiteral("Shipped \u00FC help")))
      << Help.Browser()->toPlainText().toStdString();
  // An anchor of the contents page keeps the page.
  Help.Browser()->setSource(QUrl(QStringLiteral("#files")));
  EXPECT_TRUE(Help.Browser()->toPlainText().contains(QStringLiteral("Shipped")));

  Put("velmhelp.html", "<html><body><p>Own help</p></body></html>");
  Help.ShowContents("VELMHelp.html");
  EXPECT_TRUE(Help.Browser()->toPlainText().contains(QStringLiteral("Own help")));
}

TEST_F(HelpFolders, AMissingHelpNamesBothFolders) {
  THelpWindow Help;
  Help.ShowContents("VELMHelp.html");
  EXPECT_TRUE(Help.Source().isEmpty());
  const QString Text = Help.Browser()->toPlainText();
  EXPECT_TRUE(Text.contains(QStringLiteral("not found"))) << Text.toStdString();
  EXPECT_TRUE(Text.contains(QStringLiteral("learner"))) << Text.toStdString();
  EXPECT_TRUE(Text.contains(QStringLiteral("shipped"))) << Text.toStdString();
}

} // namespace

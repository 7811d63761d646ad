#include "storage/LengFiles.h"
#include "support/RecordingReporter.h"
#include "base/CodePage.h"
#include "storage/Texts.h"

#include "StorageTestDir.h"

#include <QString>

namespace {

// The shipped interface files give every text of the typed copy and the
// statistics, in the layout's code page.
TEST(TypedCopyTexts, EveryShippedLanguageHasEveryLine) {
  TWorkDir Dir;
  for (const auto& Entry : std::filesystem::directory_iterator(DataDir()))
    if (Entry.path().filename() == "Leng.dat" || Entry.path().extension() == ".lng")
      std::filesystem::copy_file(Entry.path(), Entry.path().filename());
  TRecordingReporter Reporter;
  TTextLinks Links;
  Links.Reporter = &Reporter;
  const std::vector<std::pair<uint8_t, QString>> Statistik = {
      {ANSI_CHARSET, "Statistics"},
      {ANSI_CHARSET, "Statistik"},
      {RUSSIAN_CHARSET, QString::fromUtf16(u"\u0421\u0442\u0430\u0442\u0438\u0441\u0442\u0438\u043A\u0430")},
      {TURKISH_CHARSET, QString::fromUtf16(u"\u0130statistik")}};
  for (int32_t Layout = 1; Layout <= 4; ++Layout) {
    ClearTexts();
    ASSERT_EQ(LoadTexts(Links, Layout), TTextsLoad::Loaded);
    for (size_t I = 1; I < storage::Texte.TypedCopyText.size(); ++I)
      EXPECT_FALSE(storage::Texte.TypedCopyText[I].empty()) << Layout << " line " << I;
    const auto& [Charset, Title] = Statistik[static_cast<size_t>(Layout) - 1];
    EXPECT_EQ(ToUnicode(storage::Texte.TypedCopyText[4], Charset), Title) << Layout;
    EXPECT_EQ(ToUnicode(storage::Texte.TypedCopyText[6], Charset), Title) << Layout;
    // The texts before them are still read in full, and those after them.
    EXPECT_FALSE(storage::Texte.MessagesText[6].empty()) << Layout;
    for (size_t I = 1; I < storage::Texte.IntervallText.size(); ++I)
      EXPECT_FALSE(storage::Texte.IntervallText[I].empty()) << Layout << " line " << I;
    // The speed test's result takes its numbers; the file names stay.
    EXPECT_NE(storage::Texte.IntervallText[1].find("%1"), std::string::npos) << Layout;
    EXPECT_NE(storage::Texte.IntervallText[1].find("%2"), std::string::npos) << Layout;
    EXPECT_NE(storage::Texte.IntervallText[3].find("Int.mtr"), std::string::npos) << Layout;
  }
  EXPECT_TRUE(Reporter.Messages.empty());
  ClearTexts();
}

} // namespace

#include "storage/LengFiles.h"
#include "support/RecordingReporter.h"
#include "base/CodePage.h"
#include "storage/Texts.h"

#include "StorageTestDir.h"

#include <QStringDecoder>

namespace {

const char* const LengMissing = "\"Leng.dat\" is not found!";
const char* const FileMissing = "File is not found!";

std::string Lines(std::initializer_list<std::string> L) {
  std::string Out;
  for (const std::string& Line : L)
    Out += Line + "\r\n";
  return Out;
}

class LengFilesTest : public ::testing::Test {
protected:
  void SetUp() override {
    ClearTexts();
    Links.Reporter = &Reporter;
    Links.ShowTexts = [this] { ++Shown; };
    Links.CloseMainWindow = [this] { ++Closes; };
  }
  void TearDown() override { ClearTexts(); }

  TWorkDir Dir;
  TRecordingReporter Reporter;
  TTextLinks Links;
  int Closes = 0;
  int Shown = 0; // texts shown on the controls
};

TEST_F(LengFilesTest, TheLineOfTheLayoutNamesTheFileAndAShortFileGivesItsLastLine) {
  WriteFile("Leng.dat", Lines({"a.lng", "b.lng", "c.lng"}));
  WriteFile("b.lng", Lines({"<Buttons>", "B-Start", "B-Stop", "B-Next"}));
  WriteFile("c.lng", Lines({"<Buttons>", "C-Start", "C-Stop", "C-Next"}));
  EXPECT_EQ(LoadTexts(Links, 4), TTextsLoad::Loaded);
  EXPECT_EQ(storage::Texte.ButtonsText[1], "C-Start");
  EXPECT_EQ(Shown, 1);
  EXPECT_EQ(LoadTexts(Links, 2), TTextsLoad::Loaded);
  EXPECT_EQ(storage::Texte.ButtonsText[1], "B-Start");
  EXPECT_EQ(storage::Texte.ButtonsText[2], "B-Stop");
  EXPECT_EQ(storage::Texte.ButtonsText[3], "B-Next");
  EXPECT_EQ(Shown, 2);
  EXPECT_TRUE(Reporter.Messages.empty());
}

TEST_F(LengFilesTest, AMissingLengDatClosesTheWindowAndChangesNothing) {
  storage::Texte.ButtonsText[1] = "Kept";
  EXPECT_EQ(LoadTexts(Links, 3), TTextsLoad::Closing);
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{LengMissing});
  EXPECT_EQ(Closes, 1);
  EXPECT_EQ(storage::Texte.ButtonsText[1], "Kept");
  EXPECT_EQ(Shown, 0);
}

TEST_F(LengFilesTest, AMissingOrUnnamedTextFileKeepsTheCaptions) {
  WriteFile("Leng.dat", Lines({"none.lng"}));
  EXPECT_EQ(LoadTexts(Links, 1), TTextsLoad::NotFound);
  WriteFile("Leng.dat", "");
  EXPECT_EQ(LoadTexts(Links, 1), TTextsLoad::NotFound);
  WriteFile("Leng.dat", Lines({"", "x.lng"}));
  EXPECT_EQ(LoadTexts(Links, 1), TTextsLoad::NotFound);
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>(3, FileMissing));
  EXPECT_EQ(Closes, 0);
  EXPECT_EQ(Shown, 0);
}

TEST_F(LengFilesTest, TheLaterOfTwoSectionsWins) {
  WriteFile("t.lng", Lines({"<Buttons>", "One", "Two", "Three", "<Buttons>", "Go", "Halt", "On"}));
  ASSERT_TRUE(ReadTextFile(Links, "t.lng"));
  EXPECT_EQ(storage::Texte.ButtonsText[1], "Go");
  EXPECT_EQ(storage::Texte.ButtonsText[2], "Halt");
  EXPECT_EQ(storage::Texte.ButtonsText[3], "On");
}

TEST_F(LengFilesTest, ASectionCutShortByTheEndOfTheFileGetsEmptyTexts) {
  storage::Texte.ButtonsText = {"", "a", "b", "c"};
  WriteFile("t.lng", "<Buttons>");
  ASSERT_TRUE(ReadTextFile(Links, "t.lng"));
  EXPECT_EQ(storage::Texte.ButtonsText, (std::array<std::string, 4>{}));
  EXPECT_EQ(Shown, 1);

  WriteFile("t.lng", Lines({"<Messages>", "one", "two"}));
  ASSERT_TRUE(ReadTextFile(Links, "t.lng"));
  EXPECT_EQ(storage::Texte.MessagesText[2], "two");
  EXPECT_EQ(storage::Texte.MessagesText[3], "");
  EXPECT_EQ(storage::Texte.MessagesText[6], "");
}

TEST_F(LengFilesTest, AMissingSectionKeepsTheTextsItHad) {
  WriteFile("none.lng", Lines({"<Buttons>", "S", "T", "W"}));
  ASSERT_TRUE(ReadTextFile(Links, "none.lng"));
  EXPECT_EQ(storage::Texte.MenuText[1], ""); // nothing loaded yet
  EXPECT_EQ(storage::Texte.MenuText[2], "");

  WriteFile("menu.lng", Lines({"<Menu>", "M", "X", "3", "4", "5", "H", "A"}));
  ASSERT_TRUE(ReadTextFile(Links, "menu.lng"));
  ASSERT_TRUE(ReadTextFile(Links, "none.lng"));
  EXPECT_EQ(storage::Texte.MenuText[1], "M");
  EXPECT_EQ(storage::Texte.MenuText[2], "X");
  EXPECT_EQ(storage::Texte.MenuText[6], "H");
  EXPECT_EQ(storage::Texte.MenuText[7], "A");
  EXPECT_EQ(storage::Texte.MenuText[3], "3");
  EXPECT_EQ(storage::Texte.ButtonsText[1], "S");
}

TEST_F(LengFilesTest, LinesEndAtCarriageReturnsAndTheFileAtCtrlZ) {
  // A line feed alone stays in the line; a header must be the whole line;
  // lines taken by a section are never headers; "<end>" changes nothing.
  WriteFile("t.lng", std::string("junk\r<Lekt>\r\nG\nH\rL\r\rM\r\n<end>\r\n <Buttons>\r\n"
                                 "<SParam>\r\n<Buttons>\r\nS1\r\nS2\r\nS3\r\n"
                                 "<Buttons>\r\nB1\r\nB2\x1A\r\nB3\r\n<Menu>\r\nM\r\n"));
  ASSERT_TRUE(ReadTextFile(Links, "t.lng"));
  EXPECT_EQ(storage::Texte.LektText[1], "G\nH");
  EXPECT_EQ(storage::Texte.LektText[2], "L");
  EXPECT_EQ(storage::Texte.LektText[3], "");
  EXPECT_EQ(storage::Texte.LektText[4], "M");
  EXPECT_EQ(storage::Texte.SParamText[1], "<Buttons>");
  EXPECT_EQ(storage::Texte.SParamText[4], "S3");
  EXPECT_EQ(storage::Texte.ButtonsText[1], "B1");
  EXPECT_EQ(storage::Texte.ButtonsText[2], "B2");
  EXPECT_EQ(storage::Texte.ButtonsText[3], "");
  EXPECT_EQ(storage::Texte.MenuText[1], "");
}

TEST_F(LengFilesTest, HeadersAfterTheEndLineStillTakeEffect) {
  WriteFile("t.lng", Lines({"<Buttons>", "A", "B", "C", "<end>", "<Buttons>", "D", "E", "F"}));
  ASSERT_TRUE(ReadTextFile(Links, "t.lng"));
  EXPECT_EQ(storage::Texte.ButtonsText[1], "D");
}

TEST_F(LengFilesTest, LinesHaveNoLengthLimit) {
  const std::string Long(300000, 'x');
  WriteFile("t.lng", Lines({"<Label>", Long, "b", "c", "d"}));
  ASSERT_TRUE(ReadTextFile(Links, "t.lng"));
  EXPECT_EQ(storage::Texte.LabelText[1], Long);
  EXPECT_EQ(storage::Texte.LabelText[2], "b");
}

TEST_F(LengFilesTest, BadFilesNeitherCrashNorCloseTheProgram) {
  const std::vector<std::string> Bad = {
      "",
      "<Butt",
      "<Buttons>\r",
      std::string(1, '\x1A') + "<Buttons>\r\nX\r\n",
      [] {
        const TBytes R = RandomBytes(1 << 16, 11);
        return std::string(R.begin(), R.end());
      }(),
      std::string(1 << 20, 'y'),
  };
  for (const std::string& Contents : Bad) {
    WriteFile("Leng.dat", Contents);
    WriteFile("t.lng", Contents);
    const TTextsLoad Result = LoadTexts(Links, 4);
    EXPECT_NE(Result, TTextsLoad::Closing);
    EXPECT_TRUE(ReadTextFile(Links, "t.lng"));
  }
  EXPECT_EQ(Closes, 0);
  // A name that is a path, or a directory, is no text file.
  std::filesystem::create_directory("sub");
  WriteFile("sub/x.lng", Lines({"<Buttons>", "P", "Q", "R"}));
  Reporter.Messages.clear();
  EXPECT_FALSE(ReadTextFile(Links, "sub/x.lng"));
  EXPECT_FALSE(ReadTextFile(Links, "sub"));
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>(2, FileMissing));
}

TEST_F(LengFilesTest, ADirectoryNamedLengDatCountsAsMissing) {
  std::filesystem::create_directory("Leng.dat");
  EXPECT_EQ(LoadTexts(Links, 1), TTextsLoad::Closing);
  EXPECT_EQ(Closes, 1);
}

// ---------------------------------------------------------------------------
// The shipped language files

struct TShipped {
  int32_t Layout;
  const char* Codec;
  uint8_t Charset;
  QString StartText;
};

class ShippedLengFilesTest : public LengFilesTest {
protected:
  void SetUp() override {
    LengFilesTest::SetUp();
    for (const auto& Entry : std::filesystem::directory_iterator(DataDir())) {
      const std::string Name = Entry.path().filename().string();
      if (Name == "Leng.dat" || Entry.path().extension() == ".lng")
        std::filesystem::copy_file(Entry.path(), Name);
    }
  }
};

TEST_F(ShippedLengFilesTest, EveryLayoutHasEverySectionAndLineInItsCodePage) {
  const std::vector<TShipped> Files = {
      {1, "windows-1252", ANSI_CHARSET, "Start"},
      {2, "windows-1252", ANSI_CHARSET, "Start"},
      {3, "windows-1251", RUSSIAN_CHARSET, QString::fromUtf16(u"\u0421\u0442\u0430\u0440\u0442")},
      {4, "windows-1254", TURKISH_CHARSET, QString::fromUtf16(u"Ba\u015Fla")},
  };
  std::vector<std::string> Names;
  for (const TShipped& F : Files) {
    ClearTexts();
    ASSERT_EQ(LoadTexts(Links, F.Layout), TTextsLoad::Loaded) << F.Layout;
    EXPECT_TRUE(Reporter.Messages.empty());

    // Every line the program uses, and the unused ones too, has a text.
    auto AllFilled = [](const auto& Table) {
      for (size_t I = 1; I < Table.size(); ++I)
        if (Table[I].empty())
          return false;
      return true;
    };
    EXPECT_TRUE(AllFilled(storage::Texte.MenuText) && AllFilled(storage::Texte.RadiogrText) &&
                AllFilled(storage::Texte.LektText) && AllFilled(storage::Texte.SParamText) &&
                AllFilled(storage::Texte.ButtonsText) && AllFilled(storage::Texte.TextFormText) &&
                AllFilled(storage::Texte.LabelText) && AllFilled(storage::Texte.MessagesText) &&
                AllFilled(storage::Texte.CoursesText) && AllFilled(storage::Texte.HintsText) &&
                AllFilled(storage::Texte.CaptionsText) && AllFilled(storage::Texte.StatusText) &&
                AllFilled(storage::Texte.BandText))
        << F.Layout;
    // A hint line that swallowed a header would leave its section empty.
    for (const std::string& Hint : storage::Texte.HintsText)
      EXPECT_NE(Hint.substr(0, 1), "<") << F.Layout << " " << Hint;
    EXPECT_EQ(ToUnicode(storage::Texte.ButtonsText[1], F.Charset), F.StartText);
    // Start and stop, play and stop must differ: the handlers tell them apart.
    EXPECT_NE(storage::Texte.ButtonsText[1], storage::Texte.ButtonsText[2]);
    EXPECT_NE(storage::Texte.TextFormText[2], storage::Texte.TextFormText[3]);
    EXPECT_NE(CaptionText(CaptionTestBtn), CaptionText(CaptionTestStop));

    // The file itself: CR LF lines, "<end>" last, every header once, and
    // only bytes its code page defines.
    std::string Name;
    {
      std::ifstream In("Leng.dat", std::ios::binary);
      for (int32_t I = 0; I < F.Layout; ++I)
        std::getline(In, Name);
      if (!Name.empty() && Name.back() == '\r')
        Name.pop_back();
    }
    Names.push_back(Name);
    const std::string Bytes = ReadText(Name);
    EXPECT_EQ(Bytes.substr(Bytes.size() - 7), "<end>\r\n") << Name;
    for (size_t I = 0; I < Bytes.size(); ++I) {
      if (Bytes[I] == '\n') {
        EXPECT_TRUE(I > 0 && Bytes[I - 1] == '\r') << Name << " at " << I;
      }
    }
    for (const char* Header :
         {"<Menu>", "<Radiogr>", "<Lekt>", "<SParam>", "<Buttons>", "<TextForm>", "<Label>",
          "<Messages>", "<Courses>", "<Hints>", "<Captions>", "<Status>"}) {
      const std::string H = std::string("\r\n") + Header + "\r\n";
      const std::string Whole = "\r\n" + Bytes;
      const size_t First = Whole.find(H);
      EXPECT_NE(First, std::string::npos) << Name << " " << Header;
      EXPECT_EQ(Whole.find(H, First + 1), std::string::npos) << Name << " " << Header;
    }
    QStringDecoder Decoder(F.Codec);
    const QString Text =
        Decoder.decode(QByteArrayView(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
    EXPECT_FALSE(Decoder.hasError()) << Name;
    EXPECT_FALSE(Text.contains(QChar(0xFFFD))) << Name;
  }
  // Four different files.
  std::sort(Names.begin(), Names.end());
  EXPECT_EQ(std::unique(Names.begin(), Names.end()), Names.end());
}

} // namespace

#include "base/TextFile.h"

#include "support/WorkDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>
#include "base/BareFile.h"

#include <optional>
#include <random>

namespace {

class TextFile : public ::testing::Test {
protected:
  TWorkDir Dir;
};

std::string ReadFile(const std::string& Name) {
  return ReadFileBytes(Name).value_or(std::string());
}

void WriteFile(const std::string& Name, const std::string& Bytes) {
  std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
  Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

std::vector<std::string> LinesOf(TTextReader& R, size_t MaxLen) {
  std::vector<std::string> Lines;
  while (!R.Eof())
    Lines.push_back(R.ReadLine(MaxLen));
  return Lines;
}

// The lines of a file, read by name; its bytes handed over read the same.
std::vector<std::string> AllLines(const std::string& Name, size_t MaxLen = DefaultLineMax) {
  TTextReader R;
  EXPECT_TRUE(R.Open(Name));
  const std::vector<std::string> Lines = LinesOf(R, MaxLen);
  const std::optional<std::vector<uint8_t>> Bytes = ReadTextBytes(Name);
  EXPECT_TRUE(Bytes);
  if (Bytes) {
    TTextReader FromBytes;
    FromBytes.OpenBytes(*Bytes);
    EXPECT_EQ(LinesOf(FromBytes, MaxLen), Lines) << Name;
  }
  return Lines;
}

using Lines = std::vector<std::string>;

TEST_F(TextFile, LinesEndAtCarriageReturnsAndALineFeedAfterOneBelongsToIt) {
  WriteFile("a.txt", "one\r\ntwo\rthree\r\n\r\nlast");
  EXPECT_EQ(AllLines("a.txt"), (Lines{"one", "two", "three", "", "last"}));
}

TEST_F(TextFile, ALineFeedOnItsOwnIsPartOfTheLine) {
  WriteFile("a.txt", "one\ntwo\n\rx\r\n\nthree\r\n");
  EXPECT_EQ(AllLines("a.txt"), (Lines{"one\ntwo\n", "x", "\nthree"}));
}

TEST_F(TextFile, CtrlZEndsTheFileAndNulIsAnOrdinaryByte) {
  WriteFile("a.txt", std::string("a\0b\r\nc\x1A"
                                 "d\r\nhidden\r\n",
                                 16));
  EXPECT_EQ(AllLines("a.txt"), (Lines{std::string("a\0b", 3), "c"}));
  WriteFile("b.txt", "\x1A"
                     "a\r\n");
  EXPECT_TRUE(AllLines("b.txt").empty());
}

TEST_F(TextFile, EmptyAndMissingFilesHaveNoLines) {
  WriteFile("empty.txt", "");
  TTextReader R;
  ASSERT_TRUE(R.Open("empty.txt"));
  EXPECT_TRUE(R.Eof());
  EXPECT_EQ(R.ReadLine(), "");
  EXPECT_FALSE(R.Open("missing.txt"));
  EXPECT_TRUE(R.Eof());
  EXPECT_EQ(R.ReadLine(), "");
  // Reading other bytes forgets the file read before.
  WriteFile("one.txt", "one");
  ASSERT_TRUE(R.Open("one.txt"));
  R.OpenBytes({});
  EXPECT_TRUE(R.Eof());
  EXPECT_EQ(R.ReadLine(), "");
}

TEST_F(TextFile, NamesAreMatchedWithoutRegardToCase) {
  WriteFile("Eng.txt", "x\r\n");
  for (const char* Name : {"eng.txt", "Eng.Txt", "ENG.TXT"})
    EXPECT_EQ(AllLines(Name), (Lines{"x"})) << Name;
}

TEST_F(TextFile, ALongLineKeepsItsHeadAndTheNextLineFollows) {
  // 1 MiB on one line, then a short line.
  std::string Big(1024 * 1024, 'x');
  Big[0] = 'a';
  WriteFile("big.txt", Big + "\r\nnext");
  EXPECT_EQ(AllLines("big.txt", 4), (Lines{"axxx", "next"}));
  // A carriage return at a buffer boundary with its line feed behind it.
  std::string Edge(8191, 'y');
  WriteFile("edge.txt", Edge + "\r\nz");
  EXPECT_EQ(AllLines("edge.txt", 100000), (Lines{Edge, "z"}));
}

TEST_F(TextFile, RandomBytesAreReadWithinTheCapWithoutHanging) {
  std::mt19937 Gen(7);
  std::uniform_int_distribution<int> Byte(0, 255);
  for (int Round = 0; Round < 20; ++Round) {
    std::string Noise(static_cast<size_t>(20000 + Round * 997), '\0');
    for (char& C : Noise)
      C = static_cast<char>(Byte(Gen));
    WriteFile("noise.bin", Noise);
    TTextReader R;
    ASSERT_TRUE(R.Open("noise.bin"));
    size_t Read = 0;
    while (!R.Eof()) {
      const std::string Line = R.ReadLine(30);
      ASSERT_LE(Line.size(), 30u);
      ASSERT_EQ(Line.find('\r'), std::string::npos);
      ASSERT_LT(++Read, Noise.size() + 1); // every line takes at least one byte
    }
    // Reading stops at the first Ctrl-Z.
    const size_t Z = Noise.find('\x1A');
    size_t Ends = 0;
    for (size_t I = 0; I < std::min(Z, Noise.size()); ++I)
      Ends += Noise[I] == '\r';
    EXPECT_TRUE(Read == Ends || Read == Ends + 1) << Read << " lines, " << Ends << " line ends";
  }
}

TEST_F(TextFile, WrittenLinesEndInCarriageReturnAndLineFeed) {
  TTextWriter W;
  ASSERT_TRUE(W.Create("out.txt"));
  W.WriteLine("abc");
  W.WriteLine("");
  W.WriteLine("\xE9\xF6");
  EXPECT_TRUE(W.Close());
  EXPECT_EQ(ReadFile("out.txt"), "abc\r\n\r\n\xE9\xF6\r\n");
  EXPECT_EQ(AllLines("out.txt"), (Lines{"abc", "", "\xE9\xF6"}));
  EXPECT_FALSE(W.Create("no/such/dir.txt"));
  EXPECT_FALSE(W.Close());
}

// The lesson data file made at start goes into the learner's folder; a
// shipped file of that name is read, never written.
TEST_F(TextFile, AWrittenFileGoesToTheWorkingDirectoryAndLeavesTheShippedOneAlone) {
  std::filesystem::create_directory("shipped");
  WriteFile("shipped/LD.dat", "shipped order\r\n");
  SetShippedDataDir("shipped");
  EXPECT_EQ(AllLines("ld.DAT"), (Lines{"shipped order"}));

  TTextWriter Out;
  ASSERT_TRUE(Out.Create("LD.dat"));
  Out.WriteLine("own order");
  Out.Close();
  SetShippedDataDir({});
  EXPECT_EQ(ReadFile("shipped/LD.dat"), "shipped order\r\n");
  EXPECT_EQ(ReadFile("LD.dat"), "own order\r\n");
}

} // namespace

#include "course/LessonData.h"

#include "course/CourseState.h"
#include "base/TextFile.h"
#include "base/BareFile.h"
#include "sound/SoundState.h"

#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view Digits = BuiltInDigits;
constexpr std::string_view Signs = BuiltInSigns;

bool IsBuiltIn(char C) {
  return Digits.find(C) != std::string_view::npos || Signs.find(C) != std::string_view::npos;
}

char AsciiLower(char C) {
  return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C;
}

// The letter order of an LD.dat line: each letter once, at its first place.
// Digits and signs are left out; they have lessons of their own after the
// letters.
std::string LetterOrder(const std::string& Line) {
  std::string Order;
  for (const char C : Line)
    if (!IsBuiltIn(C) && Order.find(C) == std::string::npos)
      Order += C;
  return Order;
}

} // namespace

sound::TCodetafel ParseCodeTable(std::span<const uint8_t> Bytes) {
  TTextReader File;
  File.OpenBytes(Bytes);
  sound::TCodetafel Table;
  std::string& NewLetters = Table.Letters;
  std::array<std::string, MaxLetters + 1>& NewCodes = Table.Codes;
  while (!File.Eof() && NewLetters.size() < MaxAlphabetLetters) {
    const std::string Line = File.ReadLine(1 + MaxCodeLen);
    if (Line.empty())
      continue;
    const char Letter = AsciiLower(Line[0]);
    if (IsBuiltIn(Letter) || NewLetters.find(Letter) != std::string::npos)
      continue;
    NewLetters += Letter;
    NewCodes[NewLetters.size()] = Line.substr(1);
  }

  const size_t D = NewLetters.size() + 1;
  NewLetters += Digits;
  for (size_t I = 0; I < BuiltInDigitCodes.size(); ++I)
    NewCodes[D + I] = BuiltInDigitCodes[I];
  const size_t S = NewLetters.size() + 1;
  NewLetters += Signs;
  for (size_t I = 0; I < BuiltInSignCodes.size(); ++I)
    NewCodes[S + I] = BuiltInSignCodes[I];
  return Table;
}

bool LoadCodeTable(TMessageReporter& Reporter) {
  const std::optional<std::vector<uint8_t>> Bytes = ReadTextBytes(course::Kurs.AlphabetFile);
  if (!Bytes) {
    Reporter.ShowMessage(course::Kurs.AlphabetFile + " is not found!");
    return false;
  }
  sound::SetCodetafel(ParseCodeTable(*Bytes));
  return true;
}

void ParseMerkWoerter(std::span<const uint8_t> Bytes,
                      std::array<std::string, MaxLetters + 1>& Woerter) {
  TTextReader File;
  File.OpenBytes(Bytes);
  size_t P = 1;
  while (P <= static_cast<size_t>(MaxLetters) && !File.Eof())
    Woerter[P++] = File.ReadLine(MerkWortMax);
  for (; P <= static_cast<size_t>(MaxLetters); ++P)
    Woerter[P].clear();
}

std::string MerkWortFileOf(int32_t SprachNr) {
  switch (SprachNr) {
  case 1:
    return "EngMerkW.txt";
  case 2:
    return "DeuMerkW.txt";
  case 3:
    return MerkWortFile;
  case 4:
    return "TurMerkW.txt";
  default:
    return {};
  }
}

bool LoadMerkWoerter(const std::string& Name) {
  const std::optional<std::vector<uint8_t>> Bytes = ReadTextBytes(Name);
  if (!Bytes) {
    // Words kept from the course before would be another language's, in
    // another code page.
    for (std::string& Wort : course::Kurs.MerkWoerter)
      Wort.clear();
    return false;
  }
  ParseMerkWoerter(*Bytes, course::Kurs.MerkWoerter);
  return true;
}

std::optional<std::string> ParseLessonData(std::span<const uint8_t> Bytes, int32_t SprachNr) {
  // Layout numbers start at 1; a lower one reads the first line.
  const int32_t Line = SprachNr < 1 ? 1 : SprachNr;
  TTextReader File;
  File.OpenBytes(Bytes);
  std::string Order;
  for (int32_t I = 1; I <= Line; ++I) {
    Order = File.ReadLine();
    if (File.Eof() && I < Line)
      return std::nullopt;
  }
  return Order;
}

bool LoadLessonData(int32_t SprachNr, TMessageReporter& Reporter) {
  bool Result = true;
  const std::optional<std::vector<uint8_t>> Bytes = ReadTextBytes(LessonDataFile);
  if (!Bytes) {
    course::Kurs.BuchFolge = DefaultBuchFolge;
    course::Kurs.AlphabetFile = "eng.txt";
    // A file that exists but cannot be read is the learner's; it is not overwritten.
    TTextWriter Out;
    if (!FindBareFile(LessonDataFile) && Out.Create(LessonDataFile)) {
      Out.WriteLine(course::Kurs.BuchFolge);
      Out.Close(); // a folder that cannot be written keeps no LD.dat; the default still serves
    }
    Result = false;
  } else if (std::optional<std::string> Order = ParseLessonData(*Bytes, SprachNr)) {
    course::Kurs.BuchFolge = std::move(*Order);
  } else {
    Reporter.ShowMessage("PPPPPPP");
    course::Kurs.BuchFolge = DefaultBuchFolge;
    course::Kurs.AlphabetFile = "Eng.Txt";
    Result = false;
  }
  course::Kurs.BuchFolge = LetterOrder(course::Kurs.BuchFolge);
  course::Kurs.BuchFolge += Digits;
  course::Kurs.BuchFolge += Signs;

  LoadCodeTable(Reporter);

  // Only what the code table holds can be taught.
  std::string Taught;
  for (const char C : course::Kurs.BuchFolge)
    if (sound::Codetafel.Letters.find(C) != std::string::npos)
      Taught += C;
  course::Kurs.BuchFolge = Taught;

  course::Kurs.MerkWoerterGeladen = LoadMerkWoerter(MerkWortFileOf(SprachNr));
  return Result;
}

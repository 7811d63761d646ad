#include "storage/LengFiles.h"

#include "base/TextFile.h"
#include "base/Reporter.h"
#include "storage/Texts.h"

#include <array>
#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace {

// Texts are kept whole, however long: a caption is cut by its control.
constexpr size_t AnyLength = std::numeric_limits<size_t>::max();

struct TSection {
  const char* Header;
  std::span<std::string> Lines; // slots 1 .. count of the table
};

template <size_t N> std::span<std::string> Slots(std::array<std::string, N>& Table) {
  return std::span<std::string>(Table).subspan(1);
}

std::array<TSection, 19> Sections() {
  return {{{"<Menu>", Slots(storage::Texte.MenuText)},
           {"<Radiogr>", Slots(storage::Texte.RadiogrText)},
           {"<Lekt>", Slots(storage::Texte.LektText)},
           {"<SParam>", Slots(storage::Texte.SParamText)},
           {"<Buttons>", Slots(storage::Texte.ButtonsText)},
           {"<TextForm>", Slots(storage::Texte.TextFormText)},
           {"<Label>", Slots(storage::Texte.LabelText)},
           {"<Messages>", Slots(storage::Texte.MessagesText)},
           {"<Courses>", Slots(storage::Texte.CoursesText)},
           {"<Hints>", Slots(storage::Texte.HintsText)},
           // The typed copy's section keeps its first name: learners' own files use it.
           {"<Abschrift>", Slots(storage::Texte.TypedCopyText)},
           {"<Captions>", Slots(storage::Texte.CaptionsText)},
           {"<Status>", Slots(storage::Texte.StatusText)},
           {"<Intervall>", Slots(storage::Texte.IntervallText)},
           {"<Start>", Slots(storage::Texte.StartText)},
           {"<Sound>", Slots(storage::Texte.SoundText)},
           {"<Practice>", Slots(storage::Texte.PracticeText)},
           {"<Statistik>", Slots(storage::Texte.StatistikText)},
           {"<Band>", Slots(storage::Texte.BandText)}}};
}

} // namespace

std::string ParseLengDat(std::span<const uint8_t> Bytes, int32_t N) {
  TTextReader Reader;
  Reader.OpenBytes(Bytes);
  std::string Name;
  for (int32_t Line = 1; Line <= N && !Reader.Eof(); ++Line)
    Name = Reader.ReadLine(AnyLength);
  return Name;
}

void ParseTexts(std::span<const uint8_t> Bytes) {
  TTextReader Reader;
  Reader.OpenBytes(Bytes);
  const auto All = Sections();
  while (!Reader.Eof()) {
    const std::string Line = Reader.ReadLine(AnyLength);
    for (const TSection& S : All) {
      if (Line != S.Header)
        continue;
      for (std::string& Text : S.Lines)
        Text = Reader.ReadLine(AnyLength);
      break;
    }
  }
}

TTextsLoad LoadTexts(TTextLinks& Links, int32_t N) {
  const std::optional<std::vector<uint8_t>> Bytes = ReadTextBytes(LengFileName);
  if (!Bytes) {
    if (Links.Reporter != nullptr)
      Links.Reporter->ShowMessage("\"Leng.dat\" is not found!");
    if (Links.CloseMainWindow)
      Links.CloseMainWindow();
    return TTextsLoad::Closing;
  }
  // An empty name finds no file, as a missing one.
  return ReadTextFile(Links, ParseLengDat(*Bytes, N)) ? TTextsLoad::Loaded : TTextsLoad::NotFound;
}

bool ReadTextFile(TTextLinks& Links, const std::string& Name) {
  const std::optional<std::vector<uint8_t>> Bytes = ReadTextBytes(Name);
  if (!Bytes) {
    if (Links.Reporter != nullptr)
      Links.Reporter->ShowMessage("File is not found!");
    return false;
  }
  ParseTexts(*Bytes);
  if (Links.ShowTexts)
    Links.ShowTexts();
  return true;
}

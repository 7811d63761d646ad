#include "storage/LengFiles.h"

#include "course/TextFile.h"
#include "sound/Reporter.h"
#include "windows/Caption.h"
#include "windows/MainView.h"
#include "windows/Texts.h"

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

std::array<TSection, 8> Sections() {
  return {{{"<Menu>", Slots(Texte.MenuText)},
           {"<Radiogr>", Slots(Texte.RadiogrText)},
           {"<Lekt>", Slots(Texte.LektText)},
           {"<SParam>", Slots(Texte.SParamText)},
           {"<Buttons>", Slots(Texte.ButtonsText)},
           {"<TextForm>", Slots(Texte.TextFormText)},
           {"<Label>", Slots(Texte.LabelText)},
           {"<Messages>", Slots(Texte.MessagesText)}}};
}

void Caption(QObject* Control, const std::string& Text) {
  if (Control != nullptr)
    SetCaption(Control, Text);
}

void Charset(QObject* Control, uint8_t Set) {
  if (Control != nullptr)
    SetCharset(Control, Set);
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
  const std::array<TSection, 8> All = Sections();
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
  if (Links.View != nullptr)
    ApplyTexts(*Links.View, Links.Mem);
  return true;
}

void ApplyTexts(TMainView& V, const TMemCaptions& Mem) {
  const uint8_t Set = CharsetOf(V.KeyPanel);

  // The menus show their texts in the layout's character set as well: the
  // platform has no system code page that would do it for them.
  Charset(V.MMenu, Set);
  Charset(V.Hilfe1, Set);
  Caption(V.MMenu, Texte.MenuText[1]);
  Caption(V.MExit, Texte.MenuText[2]);
  Caption(V.Hilfe1, Texte.MenuText[6]);
  Caption(V.ab, Texte.MenuText[7]);

  Charset(V.GroupBox1, Set);
  Caption(V.GroupBox1, Texte.RadiogrText[1]);
  Caption(V.BRB, Texte.RadiogrText[2]);
  Caption(V.ZiffRB, Texte.RadiogrText[3]);
  Caption(V.ZeichRB, Texte.RadiogrText[4]);
  Caption(V.AllRB, Texte.RadiogrText[5]);

  Charset(V.InfPanel, Set);
  Charset(V.MerkCheckBox, Set);
  Caption(V.Label14, Texte.LektText[1]);
  Caption(V.Label15, Texte.LektText[2]);
  Caption(V.Label16, Texte.LektText[3]);
  Caption(V.MerkCheckBox, Texte.LektText[4]);

  Charset(V.SpPanel, Set);
  Charset(V.TonPanel, Set);
  Caption(V.Label6, Texte.SParamText[1]);
  Caption(V.Label10, Texte.SParamText[2]);
  Caption(V.Label3, Texte.SParamText[3]);
  Caption(V.Label9, Texte.SParamText[4]);

  Charset(V.StartBtn, Set);
  Charset(V.WeiterBtn, Set);
  Caption(V.StartBtn, Texte.ButtonsText[1]);
  Caption(V.WeiterBtn, Texte.ButtonsText[3]);

  Charset(Mem.MemClBtn, Set);
  Charset(Mem.MemPlayBtn, Set);
  Charset(Mem.MemPausBtn, Set);
  Charset(Mem.Label1, Set);
  Caption(Mem.MemClBtn, Texte.TextFormText[1]);
  Caption(Mem.MemPlayBtn, Texte.TextFormText[2]);
  Caption(Mem.MemPausBtn, Texte.TextFormText[4]);
  Caption(Mem.Label1, Texte.TextFormText[5]);

  Charset(V.Label1, Set);
  Charset(V.Label4, Set);
  Charset(V.TimePanel, Set);
}

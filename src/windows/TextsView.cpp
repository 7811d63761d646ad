#include "windows/TextsView.h"

#include "windows/Caption.h"
#include "storage/Texts.h"

namespace {

void Caption(QObject* Control, const std::string& Text) {
  if (Control != nullptr)
    SetCaption(Control, Text);
}

void Charset(QObject* Control, uint8_t Set) {
  if (Control != nullptr)
    SetCharset(Control, Set);
}

} // namespace

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

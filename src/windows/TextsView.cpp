#include "windows/TextsView.h"

#include "windows/Caption.h"
#include "storage/Texts.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

namespace {

// The names a screen reader gives the controls without a caption, when the
// interface file has no <Hints> section.
const char* BuiltInName(size_t Line) {
  switch (Line) {
  case NameGroupUp:
    return "More groups";
  case NameGroupDown:
    return "Fewer groups";
  case NameLektUp:
    return "Next lesson";
  case NameLektDown:
    return "Previous lesson";
  case NameUebUp:
    return "Next exercise";
  case NameUebDown:
    return "Previous exercise";
  case NameSpeedUp:
    return "Raise the speed";
  case NameSpeedDown:
    return "Lower the speed";
  case NameVerhaltUp:
    return "Lengthen the dashes";
  case NameVerhaltDown:
    return "Shorten the dashes";
  case NameAbstandUp:
    return "Widen the spacing";
  case NameAbstandDown:
    return "Narrow the spacing";
  case NameTnBar:
    return "Pitch";
  case NameFrontBar:
    return "Attack";
  case NameVerhaltUD:
    return "Dash to dot ratio";
  case NameScroller1:
    return "Speed or tone settings";
  case NameImage1:
    return "Square wave";
  case NameImage2:
    return "Sine wave";
  default:
    return "";
  }
}

void Caption(QObject* Control, const std::string& Text) {
  if (Control != nullptr)
    SetCaption(Control, Text);
}

void Charset(QObject* Control, uint8_t Set) {
  if (Control != nullptr)
    SetCharset(Control, Set);
}

// A text of the interface language as a widget shows it.
QString Shown(const std::string& Text, uint8_t Set) {
  return LabelLines(ToUnicode(Text, Set));
}

void Hint(QWidget* Control, size_t Line, uint8_t Set) {
  if (Control == nullptr)
    return;
  const QString Text = Shown(storage::Texte.HintsText[Line], Set);
  Control->setToolTip(Text);
  Control->setAccessibleDescription(Text);
}

// The name a screen reader says; an empty text keeps the built-in name.
void Name(QWidget* Control, const std::string& Text, uint8_t Set) {
  if (Control != nullptr && !Text.empty())
    Control->setAccessibleName(Shown(Text, Set));
}

void Name(QWidget* Control, size_t Line, uint8_t Set) {
  if (Control == nullptr)
    return;
  const std::string& Text = storage::Texte.HintsText[Line];
  Control->setAccessibleName(Text.empty() ? QString::fromLatin1(BuiltInName(Line))
                                          : Shown(Text, Set));
}

// A caption first taken from the file by this version: kept as built in
// when the file has none.
void OwnCaption(QObject* Control, const std::string& Text) {
  if (Control != nullptr && !Text.empty())
    SetCaption(Control, Text);
}

void Arrows(TUpDown* UpDown, size_t Up, size_t Down, size_t HintLine, uint8_t Set) {
  if (UpDown == nullptr)
    return;
  Name(UpDown->UpButton(), Up, Set);
  Name(UpDown->DownButton(), Down, Set);
  Hint(UpDown, HintLine, Set);
}

void Arrows(TSpinButton* Spin, size_t Up, size_t Down, size_t HintLine, uint8_t Set) {
  if (Spin == nullptr)
    return;
  Name(Spin->UpButton(), Up, Set);
  Name(Spin->DownButton(), Down, Set);
  Hint(Spin, HintLine, Set);
}

} // namespace

void ApplyHints(TMainView& V) {
  const uint8_t Set = CharsetOf(V.KeyPanel);
  Hint(V.NormalRB, HintNormalRB, Set);
  Hint(V.OnlyRB, HintOnlyRB, Set);
  Arrows(V.GroupAD, NameGroupUp, NameGroupDown, HintGroupAD, Set);
  Hint(V.GroupLabel, HintGroupAD, Set);
  Arrows(V.LektAD, NameLektUp, NameLektDown, HintLektAD, Set);
  Hint(V.LektLabel, HintLektAD, Set);
  Arrows(V.UebAD, NameUebUp, NameUebDown, HintUebAD, Set);
  Hint(V.UebLabel, HintUebAD, Set);
  Hint(V.IcoPanel, HintIcoPanel, Set);
  Hint(V.BRB, HintBRB, Set);
  Hint(V.ZiffRB, HintZiffRB, Set);
  Hint(V.ZeichRB, HintZeichRB, Set);
  Hint(V.AllRB, HintAllRB, Set);
  Hint(V.Scroller1, HintScroller1, Set);
  Name(V.Scroller1, NameScroller1, Set);
  Arrows(V.SpeedUD, NameSpeedUp, NameSpeedDown, HintSpeedUD, Set);
  Hint(V.SpeedLB, HintSpeedUD, Set);
  Arrows(V.VerhaltUD, NameVerhaltUp, NameVerhaltDown, HintVerhaltUD, Set);
  Hint(V.VerhLB, HintVerhaltUD, Set);
  Name(V.VerhaltUD, NameVerhaltUD, Set);
  Name(V.VerhLB, NameVerhaltUD, Set);
  Arrows(V.AbstandUD, NameAbstandUp, NameAbstandDown, HintAbstandUD, Set);
  Hint(V.AbstandLB, HintAbstandUD, Set);
  Hint(V.TnBar, HintTnBar, Set);
  Name(V.TnBar, NameTnBar, Set);
  Hint(V.FrontBar, HintFrontBar, Set);
  Name(V.FrontBar, NameFrontBar, Set);
  Hint(V.TestBtn, HintTestBtn, Set);
  for (TMButton* Key : V.Tasten)
    Hint(Key, HintTasten, Set);
  for (TMButton* Key : V.NeuTasten)
    Hint(Key, HintNeuTasten, Set);
  Hint(V.MerkWLabel, HintMerkWLabel, Set);
  Hint(V.RepBtn, HintRepBtn, Set);
  Hint(V.MerkCheckBox, HintMerkCheckBox, Set);
  Hint(V.StartBtn, HintStartBtn, Set);
  Hint(V.WeiterBtn, HintWeiterBtn, Set);
  Hint(V.Image1, HintImage1, Set);
  Name(V.Image1, NameImage1, Set);
  Hint(V.Image2, HintImage2, Set);
  Name(V.Image2, NameImage2, Set);
  Hint(V.TimeCB, HintTimeCB, Set);

  // The number displays and their arrows are named by the caption above them.
  const std::initializer_list<std::pair<QWidget*, QWidget*>> Named = {
      {V.GroupAD, V.Label14},   {V.GroupLabel, V.Label14}, {V.LektAD, V.Label15},
      {V.LektLabel, V.Label15}, {V.UebAD, V.Label16},      {V.UebLabel, V.Label16},
      {V.SpeedUD, V.Label6},    {V.SpeedLB, V.Label6},     {V.AbstandUD, V.Label10},
      {V.AbstandLB, V.Label10}};
  for (const auto& [Control, Caption] : Named)
    if (Caption != nullptr)
      Name(Control, CaptionOf(Caption), CharsetOf(Caption));
}

void ApplyTexts(TMainView& V, const TMemCaptions& Mem) {
  const uint8_t Set = CharsetOf(V.KeyPanel);

  // The menus show their texts in the layout's character set as well: the
  // platform has no system code page that would do it for them.
  Charset(V.MMenu, Set);
  Charset(V.Hilfe1, Set);
  Caption(V.MMenu, storage::Texte.MenuText[1]);
  Caption(V.MExit, storage::Texte.MenuText[2]);
  Caption(V.Hilfe1, storage::Texte.MenuText[6]);
  Caption(V.ab, storage::Texte.MenuText[7]);
  // The layout menu, the help item and the courses in the interface's
  // language as well.
  Charset(V.Keyboard1, Set);
  OwnCaption(V.Keyboard1, storage::Texte.MenuText[3]);
  OwnCaption(V.TastBelegung1, storage::Texte.MenuText[4]);
  OwnCaption(V.Contence1, storage::Texte.MenuText[5]);
  OwnCaption(V.English, storage::Texte.CoursesText[1]);
  OwnCaption(V.German, storage::Texte.CoursesText[2]);
  OwnCaption(V.Russish, storage::Texte.CoursesText[3]);
  OwnCaption(V.Turkish, storage::Texte.CoursesText[4]);

  Charset(V.GroupBox1, Set);
  Caption(V.GroupBox1, storage::Texte.RadiogrText[1]);
  Caption(V.BRB, storage::Texte.RadiogrText[2]);
  Caption(V.ZiffRB, storage::Texte.RadiogrText[3]);
  Caption(V.ZeichRB, storage::Texte.RadiogrText[4]);
  Caption(V.AllRB, storage::Texte.RadiogrText[5]);

  Charset(V.InfPanel, Set);
  Charset(V.MerkCheckBox, Set);
  Caption(V.Label2, CaptionText(CaptionLabel2));
  if (V.Label2 != nullptr)
    V.Label2->adjustSize();
  Caption(V.NormalRB, CaptionText(CaptionNormalRB));
  Caption(V.OnlyRB, CaptionText(CaptionOnlyRB));
  Caption(V.Label14, storage::Texte.LektText[1]);
  Caption(V.Label15, storage::Texte.LektText[2]);
  Caption(V.Label16, storage::Texte.LektText[3]);
  Caption(V.MerkCheckBox, storage::Texte.LektText[4]);

  Charset(V.SpPanel, Set);
  Charset(V.TonPanel, Set);
  Caption(V.Label6, storage::Texte.SParamText[1]);
  Caption(V.Label10, storage::Texte.SParamText[2]);
  Caption(V.Label3, storage::Texte.SParamText[3]);
  Caption(V.Label9, storage::Texte.SParamText[4]);

  Charset(V.StartBtn, Set);
  Charset(V.WeiterBtn, Set);
  Caption(V.StartBtn, storage::Texte.ButtonsText[1]);
  Caption(V.WeiterBtn, storage::Texte.ButtonsText[3]);
  // Texts are loaded only while nothing runs: the speed test's button shows
  // its idle caption.
  Charset(V.TestBtn, Set);
  Charset(V.TimeCB, Set);
  Caption(V.TestBtn, CaptionText(CaptionTestBtn));
  Caption(V.RepBtn, CaptionText(CaptionRepBtn));
  Caption(V.TimeCB, CaptionText(CaptionTimeCB));
  // What the line said was in the language left.
  Charset(V.StatusLabel, Set);
  Caption(V.StatusLabel, "");

  Charset(Mem.MemClBtn, Set);
  Charset(Mem.MemPlayBtn, Set);
  Charset(Mem.MemPausBtn, Set);
  Charset(Mem.Label1, Set);
  Caption(Mem.MemClBtn, storage::Texte.TextFormText[1]);
  Caption(Mem.MemPlayBtn, storage::Texte.TextFormText[2]);
  Caption(Mem.MemPausBtn, storage::Texte.TextFormText[4]);
  Caption(Mem.Label1, storage::Texte.TextFormText[5]);

  Charset(V.Label1, Set);
  Charset(V.Label4, Set);
  Charset(V.TimePanel, Set);

  ApplyHints(V);
}

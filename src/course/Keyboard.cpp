// The on-screen keyboard: its layout for the active keyboard rows, the
// binding of keys to characters and codes, the large keys of the new
// characters, and the marking of keys for Only mode and doubling.

#include "course/Course.h"
#include "course/CourseState.h"
#include "windows/Caption.h"
#include "windows/Fonts.h"
#include "windows/Texts.h"

#include <QRadioButton>
#include <QSignalBlocker>

#include <algorithm>
#include <string_view>

namespace {

constexpr int KeyWidth = 30;
constexpr int KeyStep = KeyWidth + 1; // from one key's left to the next one's
constexpr int FirstRowTop = 40;
constexpr int SignBlockGap = 45;     // from the last key of row 2 to the sign block
constexpr int ProsignFontSize = 12;  // points
constexpr int NewKeyFontGrowth = 20; // points
constexpr int NewKeyGap = 4;

// Left offsets of rows 2..4 against row 1: W div 2, W div 3 + W div 2, W div 3 + W.
constexpr std::array<int, 4> RowIndent = {0, KeyWidth / 2, KeyWidth / 3 + KeyWidth / 2,
                                          KeyWidth / 3 + KeyWidth};

constexpr std::string_view Signs = BuiltInSigns;

// A key's character as a caption: the prosigns carry their letters.
std::string Caption(char C, bool Large) {
  if (C == '@')
    return Large ? "ka" : "KA";
  if (C == '\xA7')
    return Large ? "sk" : "SK";
  return std::string(1, C);
}

void PlaceKey(TMButton* Key, QWidget* Panel, const std::string& Text, const QFont& Font, int Left,
              int Top) {
  SetCharset(Key, CharsetOf(Panel));
  Key->setFont(Font);
  SetCaption(Key, Text);
  Key->move(Left, Top);
  Key->show();
}

std::string Row(size_t R) {
  return Tastatur.TastReihen[R].substr(0, TastReiheMax);
}

} // namespace

void TCourse::BuildKeyboard() {
  for (TMButton* Key : FView.Tasten)
    if (Key != nullptr)
      Key->hide();

  QWidget* Panel = FView.KeyPanel;
  const QFont Font = Panel->font();
  size_t Next = 0; // the next key to place
  auto Free = [this, &Next] { return Next < FView.Tasten.size() && FView.Tasten[Next] != nullptr; };

  // PlaceKeyRow for rows 1..4.
  int Row2Last = Tastatur.TastLinks + RowIndent[1] - KeyStep;
  for (size_t R = 1; R <= 4; ++R) {
    int Left = Tastatur.TastLinks + RowIndent[R - 1];
    const int Top = FirstRowTop + static_cast<int>(R - 1) * KeyStep;
    for (const char C : Row(R)) {
      if (!Free())
        break;
      PlaceKey(FView.Tasten[Next++], Panel, std::string(1, C), Font, Left, Top);
      if (R == 2)
        Row2Last = Left;
      Left += KeyStep;
    }
  }

  // PlaceSignKeys: three rows of three beside the letters, KA and SK in small type.
  const int X0 = Row2Last + SignBlockGap;
  const int Y0 = FirstRowTop;
  QFont Small = Font;
  SetFontSize(Small, ProsignFontSize);
  for (size_t S = 0; S < Signs.size() && Free(); ++S) {
    const int Column = static_cast<int>(S % 3);
    const int Line = static_cast<int>(S / 3);
    PlaceKey(FView.Tasten[Next++], Panel, Caption(Signs[S], false), S < 6 ? Font : Small,
             X0 + 1 + KeyStep * Column, Y0 + KeyStep * Line);
  }
}

void TCourse::BindKeys() {
  Kurs.KursFolge = Kurs.BuchFolge;
  for (TMButton* Key : FView.Tasten) {
    if (Key == nullptr)
      continue;
    Key->SetMCode("");
    Key->SetMChar("");
  }
  std::string Rows;
  for (size_t R = 1; R <= 4; ++R)
    Rows += Row(R);
  Tastatur.TastZeichen = Rows.substr(0, 60) + std::string(Signs);
  const size_t Count = std::min(Tastatur.TastZeichen.size(), FView.Tasten.size());
  for (size_t I = 0; I < Count; ++I) {
    TMButton* Key = FView.Tasten[I];
    if (Key == nullptr)
      continue;
    const char C = Tastatur.TastZeichen[I];
    if (Kurs.KursFolge.find(C) != std::string::npos) {
      Key->SetMChar(std::string(1, C));
      Key->SetMCode(CodeOf(C));
    } else {
      Key->setEnabled(false); // an untaught character is never usable
    }
  }
}

void TCourse::ShowNewChars() {
  const size_t K = std::min(Kurs.NeueZeichen.size(), FView.NeuTasten.size());
  QWidget* Panel = FView.KeyPanel;
  QFont Font = Panel->font();
  SetFontSize(Font, FontSize(Font) + NewKeyFontGrowth);

  const int W = FView.NeuTasten[0] != nullptr ? FView.NeuTasten[0]->width() : 70;
  const int Count = static_cast<int>(K);
  int Left = FView.R1Panel->width() / 2 - (Count * W) / 2 - (NewKeyGap * (Count - 1)) / 2;
  for (size_t I = 0; I < FView.NeuTasten.size(); ++I) {
    TMButton* Key = FView.NeuTasten[I];
    if (Key == nullptr)
      continue;
    if (I >= K) {
      Key->hide();
      Key->setEnabled(false);
      continue;
    }
    const char C = Kurs.NeueZeichen[I];
    SetCharset(Key, CharsetOf(Panel));
    Key->setFont(Font);
    SetCaption(Key, Caption(C, true));
    Key->SetMChar(std::string(1, C));
    Key->SetDown(false);
    Key->move(Left, Key->y());
    Key->show();
    Key->setEnabled(true);
    Key->OnClick = [this](TMButton* Clicked) { FreiClick(Clicked); };
    const int32_t P = LetterPos(C);
    Key->SetMCode(CodeOf(C));
    Key->SetMWort(P >= 1 && P <= MaxLetters ? Kurs.MerkWoerter[static_cast<size_t>(P)]
                                            : std::string());
    Left += W + NewKeyGap;
  }

  // The exercise's title; without interface texts the built-in one stays.
  if (Kurs.UebNr >= 1 && Kurs.UebNr < Texte.LabelText.size() &&
      !Texte.LabelText[Kurs.UebNr].empty()) {
    SetCaption(FView.Label1, Texte.LabelText[Kurs.UebNr]);
    SetCaption(FView.Label4, Texte.LabelText[Kurs.UebNr]);
  }
}

void TCourse::NormalRBClick(QObject* Sender) {
  Folge.Only = false;
  // Called by the program, the button shows Normal too; its own handler
  // need not run again.
  if (Sender == nullptr && FView.NormalRB != nullptr && !FView.NormalRB->isChecked()) {
    const QSignalBlocker Blocker(FView.NormalRB);
    FView.NormalRB->setChecked(true);
  }
  for (TMButton* Key : FView.Tasten)
    if (Key != nullptr)
      Key->SetFontColor(KeyRed);
  for (TMButton* Key : FView.NeuTasten)
    if (Key != nullptr)
      Key->SetFontColor(KeyRed);
  Folge.Markiert.fill(false);
}

void TCourse::OnlyRBClick(QObject*) {
  Folge.Only = true;
}

void TCourse::FreiClick(TMButton* Key) {
  if (Key == nullptr)
    return;
  if ((Folge.MarkModus || Folge.Only) && Kurs.UebNr == 4 && !Folge.NeuVorn) {
    const int32_t P = Key->MChar().empty() ? 0 : LetterPos(Key->MChar()[0]);
    if (P >= 1 && P <= MaxLetters) {
      const bool Mark = !Folge.Markiert[static_cast<size_t>(P)];
      Folge.Markiert[static_cast<size_t>(P)] = Mark;
      Key->SetFontColor(Mark ? KeyLime : KeyRed); // the colour only shows the mark
    }
  }
  if (!Ausgabe.Playing && FHooks.SoundKey)
    FHooks.SoundKey(*Key);
}

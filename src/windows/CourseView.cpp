// The course on the main window: the labels and buttons of the lesson plan,
// the on-screen keyboard's layout, the large keys of the new characters, and
// the marks the learner sets on keys.

#include "windows/CourseView.h"

#include "course/CourseState.h"
#include "storage/Texts.h"
#include "windows/Caption.h"
#include "windows/Fonts.h"

#include <QPointer>
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
  return course::Tastatur.TastReihen[R].substr(0, TastReiheMax);
}

using THandler = void (TCourse::*)(const void*);

} // namespace

TCourseView::TCourseView(TMainView& View) : FView(View), FContext(std::make_unique<QObject>()) {}

TCourseView::~TCourseView() {
  for (const std::function<void()>& Unwire : FUnwire)
    Unwire();
}

void TCourseView::Connect(TCourse& Course) {
  FCourse = &Course;
  TMainView& V = FView;
  auto Spin = [this, &Course](TSpinButton* Button, THandler Down, THandler Up) {
    if (Button == nullptr)
      return;
    Button->OnDownClick = [&Course, Button, Down] { (Course.*Down)(Button); };
    Button->OnUpClick = [&Course, Button, Up] { (Course.*Up)(Button); };
    FUnwire.push_back([Guard = QPointer<TSpinButton>(Button)] {
      // Through the plain pointer: GCC at -O2 does not see that QPointer's
      // test and its arrow agree.
      if (TSpinButton* Live = Guard.data()) {
        Live->OnDownClick = nullptr;
        Live->OnUpClick = nullptr;
      }
    });
  };
  // A radio button's click handler runs whenever it becomes checked, so that
  // checking it from the program does what a click does.
  auto Radio = [this, &Course](QRadioButton* Button, THandler Handler) {
    if (Button == nullptr)
      return;
    QObject::connect(Button, &QAbstractButton::toggled, FContext.get(),
                     [&Course, Button, Handler](bool Checked) {
                       if (Checked)
                         (Course.*Handler)(Button);
                     });
  };
  Spin(V.LektAD, &TCourse::LektADDownClick, &TCourse::LektADUpClick);
  Spin(V.UebAD, &TCourse::UebADDownClick, &TCourse::UebADUpClick);
  Spin(V.GroupAD, &TCourse::GroupADDownClick, &TCourse::GroupADUpClick);
  Radio(V.BRB, &TCourse::BRBClick);
  Radio(V.ZiffRB, &TCourse::ZiffRBClick);
  Radio(V.ZeichRB, &TCourse::ZeichRBClick);
  Radio(V.AllRB, &TCourse::AllRBClick);
  Radio(V.NormalRB, &TCourse::NormalRBClick);
  Radio(V.OnlyRB, &TCourse::OnlyRBClick);
  if (V.WeiterBtn != nullptr)
    QObject::connect(V.WeiterBtn, &QAbstractButton::clicked, FContext.get(),
                     [&Course, Button = V.WeiterBtn] { Course.WeiterBtnClick(Button); });
  // The large keys get FreiClick from ShowNewChars.
  for (TMButton* Key : V.Tasten)
    if (Key != nullptr)
      Key->OnClick = [this](TMButton* Clicked) { FreiClick(Clicked); };
  auto Unwire = [this](TMButton* Key) {
    if (Key != nullptr)
      FUnwire.push_back([Guard = QPointer<TMButton>(Key)] {
        if (TMButton* Live = Guard.data())
          Live->OnClick = nullptr;
      });
  };
  for (TMButton* Key : V.Tasten)
    Unwire(Key);
  for (TMButton* Key : V.NeuTasten)
    Unwire(Key);
}

void TCourseView::BuildKeyboard() {
  for (TMButton* Key : FView.Tasten)
    if (Key != nullptr)
      Key->hide();

  QWidget* Panel = FView.KeyPanel;
  const QFont Font = Panel->font();
  size_t Next = 0; // the next key to place
  auto Free = [this, &Next] { return Next < FView.Tasten.size() && FView.Tasten[Next] != nullptr; };

  // PlaceKeyRow for rows 1..4.
  int Row2Last = course::Tastatur.TastLinks + RowIndent[1] - KeyStep;
  for (size_t R = 1; R <= 4; ++R) {
    int Left = course::Tastatur.TastLinks + RowIndent[R - 1];
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

void TCourseView::BindKeys() {
  for (TMButton* Key : FView.Tasten) {
    if (Key == nullptr)
      continue;
    Key->SetMCode("");
    Key->SetMChar("");
  }
  const size_t Count = std::min(course::Tastatur.TastZeichen.size(), FView.Tasten.size());
  for (size_t I = 0; I < Count; ++I) {
    TMButton* Key = FView.Tasten[I];
    if (Key == nullptr)
      continue;
    const char C = course::Tastatur.TastZeichen[I];
    if (course::Kurs.KursFolge.find(C) != std::string::npos) {
      Key->SetMChar(std::string(1, C));
      Key->SetMCode(CodeOf(C));
    } else {
      Key->setEnabled(false); // an untaught character is never usable
    }
  }
}

void TCourseView::EnableLessonKeys() {
  for (TMButton* Key : FView.Tasten) {
    if (Key == nullptr)
      continue;
    const std::string& C = Key->MChar();
    Key->setEnabled(!C.empty() && course::Kurs.LektZeichen.find(C) != std::string::npos);
  }
}

void TCourseView::ShowNewChars() {
  const size_t K = std::min(course::Kurs.NeueZeichen.size(), FView.NeuTasten.size());
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
    const char C = course::Kurs.NeueZeichen[I];
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
    Key->SetMWort(P >= 1 && P <= MaxLetters ? course::Kurs.MerkWoerter[static_cast<size_t>(P)]
                                            : std::string());
    Left += W + NewKeyGap;
  }

  // The exercise's title; without interface texts the built-in one stays.
  if (course::Kurs.UebNr >= 1 && course::Kurs.UebNr < storage::Texte.LabelText.size() &&
      !storage::Texte.LabelText[course::Kurs.UebNr].empty()) {
    SetCaption(FView.Label1, storage::Texte.LabelText[course::Kurs.UebNr]);
    SetCaption(FView.Label4, storage::Texte.LabelText[course::Kurs.UebNr]);
  }
}

void TCourseView::ShowNormal() {
  // Called by the program, the button shows Normal too; its own handler
  // need not run again.
  if (FView.NormalRB != nullptr && !FView.NormalRB->isChecked()) {
    const QSignalBlocker Blocker(FView.NormalRB);
    FView.NormalRB->setChecked(true);
  }
  for (TMButton* Key : FView.Tasten)
    if (Key != nullptr)
      Key->SetFontColor(KeyRed);
  for (TMButton* Key : FView.NeuTasten)
    if (Key != nullptr)
      Key->SetFontColor(KeyRed);
}

void TCourseView::FreiClick(TMButton* Key) {
  if (Key == nullptr)
    return;
  if (FCourse != nullptr && !Key->MChar().empty())
    if (const std::optional<bool> Mark = FCourse->FreiClick(Key->MChar()[0]))
      Key->SetFontColor(*Mark ? KeyLime : KeyRed); // the colour only shows the mark
  if (!sound::Ausgabe.Playing && FKeySound != nullptr)
    FKeySound->SoundKey(*Key);
}

void TCourseView::MarkKeys(const std::string& Zeichen) {
  if (FCourse == nullptr)
    return;
  for (const char C : Zeichen) {
    if (!FCourse->Mark(C))
      continue;
    for (TMButton* Key : FView.Tasten)
      if (Key != nullptr && !Key->MChar().empty() && Key->MChar()[0] == C)
        Key->SetFontColor(KeyLime);
  }
}

void TCourseView::ShowLektNr() {
  SetCaption(FView.LektLabel, std::to_string(course::Kurs.LektNr));
}

void TCourseView::ShowUebNr() {
  SetCaption(FView.UebLabel, std::to_string(course::Kurs.UebNr));
  FView.R1Panel->setVisible(course::Kurs.UebNr <= 2);
}

void TCourseView::ShowGruppenZahl() {
  SetCaption(FView.GroupLabel,
             course::Kurs.GruppenZahl == MaxGruppen ? std::string("==") : std::to_string(course::Kurs.GruppenZahl));
}

QRadioButton* TCourseView::SetButton(int32_t Satz) const {
  switch (Satz) {
  case SatzZiff:
    return FView.ZiffRB;
  case SatzZeich:
    return FView.ZeichRB;
  case SatzAlle:
    return FView.AllRB;
  default:
    return FView.BRB;
  }
}

void TCourseView::EnableSatz(int32_t Satz) {
  if (QRadioButton* Button = SetButton(Satz))
    Button->setEnabled(true);
}

void TCourseView::CheckSatz(int32_t Satz) {
  if (QRadioButton* Button = SetButton(Satz))
    Button->setChecked(true);
}

void TCourseView::DisableWeiter() {
  if (FView.WeiterBtn != nullptr)
    FView.WeiterBtn->setEnabled(false);
}

void TCourseView::ShowCongratulation() {
  if (FCongratulation)
    FCongratulation();
}

// Answers: key presses and clicks judged against the character sounded, and
// the correction that shows and sounds a wrong answer's right character.
#include "training/Session.h"

#include "course/CourseState.h"
#include "sound/SoundState.h"
#include "storage/Layouts.h"
#include "training/SessionState.h"
#include "training/SessionText.h"
#include "training/TypedCopy.h"
#include "windows/Caption.h"
#include "windows/SoundFile.h"
#include "storage/Texts.h"

namespace {

// What a prosign's large key and the correction show.
std::string SmallCaption(char C) {
  if (C == '@')
    return "ka";
  if (C == '\xA7')
    return "sk";
  return std::string(1, C);
}

// Keypad keys by virtual key code, as they lie in the 3-by-3 sign block.
int32_t KeypadIndex(uint16_t Vk) {
  switch (Vk) {
  case VK_NUMPAD0 + 7:
    return 1;
  case VK_NUMPAD0 + 8:
    return 2;
  case VK_NUMPAD0 + 9:
    return 3;
  case VK_NUMPAD0 + 4:
    return 4;
  case VK_NUMPAD0 + 5:
    return 5;
  case VK_NUMPAD0 + 6:
    return 6;
  case VK_NUMPAD0 + 1:
    return 7;
  case VK_NUMPAD0 + 2:
    return 8;
  case VK_NUMPAD0 + 3:
    return 9;
  case VK_NUMPAD0 + 0:
    return 10;
  default:
    return 0;
  }
}

int32_t Pos(const std::string& S, char C) {
  const size_t P = S.find(C);
  return P == std::string::npos ? 0 : static_cast<int32_t>(P) + 1;
}
} // namespace

void TSession::FormKeyDown(const TKeyInput& Key) {
  if (Key.AutoRepeat || Sitzung.TasteUnten || Ausgabe.Playing)
    return;
  Sitzung.TasteUnten = true;
  Sitzung.TastenCode = Key.VirtualKey;
}

void TSession::FormKeyPress(const TKeyInput& Key) {
  if (Key.AutoRepeat || Sitzung.TastenCode == 0)
    return;
  Sitzung.GehalteneTaste = Sitzung.TastenCode;
  Sitzung.TastenCode = 0;
  Sitzung.TastPos = 0;
  Sitzung.NeuPos = 0;
  const int32_t Keypad = KeypadIndex(Key.VirtualKey);
  std::string R;
  for (size_t I = 1; I <= 4; ++I)
    R += Tastatur.TastReihen[I];
  const int32_t Signs = static_cast<int32_t>(sizeof(BuiltInSigns) - 1);
  if (Keypad >= 1 && Keypad <= Signs) {
    Sitzung.TastPos = static_cast<int32_t>(R.size()) + Keypad;
    // The keypad key stands for its sign on the large keys too.
    Sitzung.TastChar = BuiltInSigns[Keypad - 1];
  } else if (Keypad > Signs) {
    return;
  } else {
    const TLayout* Layout = LayoutOfNr(FWindow.LayoutNr());
    const std::optional<char> Ch =
        Layout != nullptr ? TranslateTyped(*Layout, Key.Typed) : TypedChar(Key.Typed);
    if (!Ch)
      return;
    Sitzung.TastChar = *Ch;
    Sitzung.TastPos = Pos(R, Sitzung.TastChar);
    if (Sitzung.TastPos == 0)
      return;
  }
  if (Kurs.UebNr <= 2) {
    Sitzung.NeuPos = Pos(Kurs.NeueZeichen, Sitzung.TastChar);
    if (Sitzung.NeuPos > 0 && (Sitzung.Idle || Kurs.UebNr == 2))
      if (TMButton* K = NeuTaste(Sitzung.NeuPos))
        K->SetFlat(true);
  } else if (TMButton* K = Taste(Sitzung.TastPos); K != nullptr && K->Enabled()) {
    K->SetFlat(true);
  }
}

void TSession::FormKeyUp(const TKeyInput& Key) {
  if (Key.AutoRepeat)
    return;
  // A key without a character (Shift, an arrow) releases the latch it set,
  // so that the next key counts.
  if (Sitzung.GehalteneTaste == 0 && Sitzung.TastenCode != 0 &&
      Key.VirtualKey == Sitzung.TastenCode) {
    Sitzung.TasteUnten = false;
    Sitzung.TastenCode = 0;
    return;
  }
  if (Sitzung.GehalteneTaste == 0 || Key.VirtualKey != Sitzung.GehalteneTaste)
    return;
  Sitzung.TasteUnten = false;
  Sitzung.GehalteneTaste = 0;
  if (Sitzung.Idle) {
    if (Kurs.UebNr <= 2) {
      if (TMButton* K = NeuTaste(Sitzung.NeuPos)) {
        K->SetFlat(false);
        FreiClick(K);
      }
    } else if (TMButton* K = Taste(Sitzung.TastPos)) {
      K->SetFlat(false);
      if (K->Enabled())
        FreiClick(K);
    }
    return;
  }
  if (Sitzung.KorrZaehler != 0)
    return;
  if (Kurs.UebNr == 2) {
    if (TMButton* K = NeuTaste(Sitzung.NeuPos)) {
      K->SetFlat(false);
      Antwort2(K);
    }
  } else if (Kurs.UebNr == 3) {
    if (TMButton* K = Taste(Sitzung.TastPos)) {
      Antwort3(K);
      K->SetFlat(false);
    }
  }
}

void TSession::Antwort2(TMButton* Key) {
  if (!Sitzung.FehlerGezeigt && Key != nullptr && Folge.UebPos >= 0 &&
      Folge.UebPos < static_cast<int32_t>(Folge.UebFolge.size())) {
    TMButton* Soll = NeuTaste(Folge.UebFolge[static_cast<size_t>(Folge.UebPos)]);
    if (Soll != nullptr && Key->MCode() != Soll->MCode()) {
      if (FCopy != nullptr)
        FCopy->ItemWrong(Folge.UebPos);
      ++Sitzung.Fehler;
      Sitzung.FehlerGezeigt = true;
      ZeigeKorrektur(Folge.UebFolge[static_cast<size_t>(Folge.UebPos)]);
      return;
    }
  }
  Sitzung.FehlerGezeigt = false;
  ++Folge.UebPos;
  if (Folge.UebPos < Folge.UebLaenge) {
    FArbTimer.SetInterval(500);
    FArbTimer.SetEnabled(true);
  } else {
    EndUebung23();
  }
}

void TSession::Antwort3(TMButton* Key) {
  FView.RepBtn->setEnabled(false);
  FTimer1.SetEnabled(false);
  if (!Sitzung.FehlerGezeigt && (Key == nullptr || Key->MCode() != Sitzung.SollCode)) {
    if (Key != nullptr) {
      if (FCopy != nullptr)
        FCopy->ItemWrong(Folge.UebPos);
      ++Sitzung.Fehler;
      Sitzung.FehlerGezeigt = true;
      ZeigeKorrektur(Folge.UebPos);
      return;
    }
  }
  Sitzung.FehlerGezeigt = false;
  ++Folge.UebPos;
  if (Folge.UebPos < Folge.UebLaenge) {
    FArbTimer.SetInterval(500);
    FArbTimer.SetEnabled(true);
  } else {
    EndUebung23();
  }
}

void TSession::ZeigeKorrektur(int32_t K) {
  std::string Text;
  if (Kurs.UebNr == 2) {
    FView.R1Panel->setEnabled(false);
    TMButton* Key = NeuTaste(K);
    Text = Key != nullptr ? CaptionOf(Key) : std::string();
  } else {
    for (TMButton* Key : FView.Tasten)
      if (Key != nullptr)
        Key->setEnabled(false);
    const int32_t P = K >= 0 && K < static_cast<int32_t>(Folge.UebFolge.size())
                          ? Folge.UebFolge[static_cast<size_t>(K)]
                          : 0;
    if (P >= 1 && P <= static_cast<int32_t>(Kurs.KursFolge.size()))
      Text = SmallCaption(Kurs.KursFolge[static_cast<size_t>(P) - 1]);
  }
  SetCaption(FView.TimePanel->CaptionLabel(), Text);
  FKorrekturWave = WaveFileName(Text + ".wav");
  Sitzung.KorrZaehler = 4;
  FView.TimePanel->show();
  FView.TimePanel->raise();
  FArbTimer.SetOnTimer([this] { KorrekturTick(); });
  FArbTimer.SetInterval(1000);
  FArbTimer.SetEnabled(true);
}

void TSession::KorrekturTick() {
  FArbTimer.SetEnabled(false);
  --Sitzung.KorrZaehler;
  if (Sitzung.KorrZaehler > 0) {
    if (Kurs.UebNr == 2) {
      TMButton* Key =
          Folge.UebPos >= 0 && Folge.UebPos < static_cast<int32_t>(Folge.UebFolge.size())
              ? NeuTaste(Folge.UebFolge[static_cast<size_t>(Folge.UebPos)])
              : nullptr;
      FWindow.PlayCodeThenWave(Key != nullptr ? Key->MCode() : std::string(), FKorrekturWave);
    } else {
      FWindow.PlayCodeThenWave(Sitzung.SollCode, FKorrekturWave);
    }
    return;
  }
  FView.TimePanel->hide();
  if (Kurs.UebNr == 2) {
    FView.R1Panel->setEnabled(true);
    FArbTimer.SetOnTimer([this] { Uebung2Tick(); });
    Antwort2(nullptr);
  } else {
    RestoreTasten();
    FArbTimer.SetOnTimer([this] { Uebung3Tick(); });
    Antwort3(nullptr);
  }
}

void TSession::FreiClick(TMButton* Key) {
  FCourseView.FreiClick(Key);
}

void TSession::SoundKey(TMButton& Key) {
  if (Ausgabe.Playing)
    return;
  FWindow.PlayCodeThenWave(Key.MCode(), WaveFileName(CaptionOf(&Key) + ".Wav"));
}

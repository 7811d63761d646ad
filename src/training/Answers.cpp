// Answers: key presses and clicks judged against the character sounded, and
// the correction that shows and sounds a wrong answer's right character.
#include "training/Session.h"

#include "course/CourseState.h"
#include "sound/SoundState.h"
#include "storage/Layouts.h"
#include "training/SessionState.h"
#include "training/SessionText.h"
#include "training/Reaction.h"
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

// The character the item at UebPos asks, as its key shows it.
char Asked(int32_t UebPos) {
  if (UebPos < 0 || UebPos >= static_cast<int32_t>(course::Folge.UebFolge.size()))
    return '\0';
  const int32_t E = course::Folge.UebFolge[static_cast<size_t>(UebPos)];
  const std::string& From = course::Kurs.UebNr == 2 ? course::Kurs.NeueZeichen : course::Kurs.KursFolge;
  return E >= 1 && E <= static_cast<int32_t>(From.size()) ? From[static_cast<size_t>(E) - 1] : '\0';
}

int32_t Pos(const std::string& S, char C) {
  const size_t P = S.find(C);
  return P == std::string::npos ? 0 : static_cast<int32_t>(P) + 1;
}
} // namespace

void TSession::FormKeyDown(const TKeyInput& Key) {
  if (Key.AutoRepeat || training::Sitzung.TasteUnten || Sounding())
    return;
  training::Sitzung.TasteUnten = true;
  training::Sitzung.TastenCode = Key.VirtualKey;
}

void TSession::FormKeyPress(const TKeyInput& Key) {
  if (Key.AutoRepeat || training::Sitzung.TastenCode == 0)
    return;
  training::Sitzung.GehalteneTaste = training::Sitzung.TastenCode;
  training::Sitzung.TastenCode = 0;
  training::Sitzung.TastPos = 0;
  training::Sitzung.NeuPos = 0;
  const int32_t Keypad = KeypadIndex(Key.VirtualKey);
  std::string R;
  for (size_t I = 1; I <= 4; ++I)
    R += course::Tastatur.TastReihen[I];
  const int32_t Signs = static_cast<int32_t>(sizeof(BuiltInSigns) - 1);
  if (Keypad >= 1 && Keypad <= Signs) {
    training::Sitzung.TastPos = static_cast<int32_t>(R.size()) + Keypad;
    // The keypad key stands for its sign on the large keys too.
    training::Sitzung.TastChar = BuiltInSigns[Keypad - 1];
  } else if (Keypad > Signs) {
    return;
  } else {
    const TLayout* Layout = LayoutOfNr(FWindow.LayoutNr());
    const std::optional<char> Ch =
        Layout != nullptr ? TranslateTyped(*Layout, Key.Typed) : TypedChar(Key.Typed);
    if (!Ch)
      return;
    training::Sitzung.TastChar = *Ch;
    training::Sitzung.TastPos = Pos(R, training::Sitzung.TastChar);
    if (training::Sitzung.TastPos == 0)
      return;
  }
  if (course::Kurs.UebNr <= 2) {
    training::Sitzung.NeuPos = Pos(course::Kurs.NeueZeichen, training::Sitzung.TastChar);
    if (training::Sitzung.NeuPos > 0 && (training::Sitzung.Idle || course::Kurs.UebNr == 2))
      if (TMButton* K = NeuTaste(training::Sitzung.NeuPos))
        K->SetFlat(true);
  } else if (TMButton* K = Taste(training::Sitzung.TastPos); K != nullptr && K->Enabled()) {
    K->SetFlat(true);
  }
}

void TSession::FormKeyUp(const TKeyInput& Key) {
  if (Key.AutoRepeat)
    return;
  // A key without a character (Shift, an arrow) releases the latch it set,
  // so that the next key counts.
  if (training::Sitzung.GehalteneTaste == 0 && training::Sitzung.TastenCode != 0 &&
      Key.VirtualKey == training::Sitzung.TastenCode) {
    training::Sitzung.TasteUnten = false;
    training::Sitzung.TastenCode = 0;
    return;
  }
  if (training::Sitzung.GehalteneTaste == 0 || Key.VirtualKey != training::Sitzung.GehalteneTaste)
    return;
  training::Sitzung.TasteUnten = false;
  training::Sitzung.GehalteneTaste = 0;
  switch (training::Sitzung.Phase) {
  case training::TPhase::Idle:
  case training::TPhase::SpeedTest:
  case training::TPhase::Replay:
    // No answer is awaited: the key sounds and marks as a click does.
    if (course::Kurs.UebNr <= 2) {
      if (TMButton* K = NeuTaste(training::Sitzung.NeuPos)) {
        K->SetFlat(false);
        FreiClick(K);
      }
    } else if (TMButton* K = Taste(training::Sitzung.TastPos)) {
      K->SetFlat(false);
      if (K->Enabled())
        FreiClick(K);
    }
    return;
  case training::TPhase::Awaiting:
    break;
  default:
    // A correction takes no answer; exercises 1 and 4 ask none.
    return;
  }
  if (course::Kurs.UebNr == 2) {
    if (TMButton* K = NeuTaste(training::Sitzung.NeuPos)) {
      K->SetFlat(false);
      Antwort2(K);
    }
  } else if (course::Kurs.UebNr == 3) {
    if (TMButton* K = Taste(training::Sitzung.TastPos)) {
      Antwort3(K);
      K->SetFlat(false);
    }
  }
}

void TSession::Antwort2(TMButton* Key) {
  AnswerBeforeSound();
  if (FReaction != nullptr && Key != nullptr && !training::Sitzung.FehlerGezeigt)
    FReaction->ReactionOf(training::Sitzung.UebPos, Asked(training::Sitzung.UebPos),
                          Key->MChar().empty() ? '\0' : Key->MChar()[0]);
  if (!training::Sitzung.FehlerGezeigt && Key != nullptr && training::Sitzung.UebPos >= 0 &&
      training::Sitzung.UebPos < static_cast<int32_t>(course::Folge.UebFolge.size())) {
    TMButton* Soll =
        NeuTaste(course::Folge.UebFolge[static_cast<size_t>(training::Sitzung.UebPos)]);
    if (Soll != nullptr && Key->MCode() != Soll->MCode()) {
      if (FCopy != nullptr)
        FCopy->ItemWrong(training::Sitzung.UebPos);
      ++training::Sitzung.Fehler;
      training::Sitzung.FehlerGezeigt = true;
      ZeigeKorrektur(course::Folge.UebFolge[static_cast<size_t>(training::Sitzung.UebPos)]);
      return;
    }
  }
  training::Sitzung.FehlerGezeigt = false;
  ++training::Sitzung.UebPos;
  if (training::Sitzung.UebPos < course::Folge.UebLaenge) {
    FArbTimer.SetInterval(500);
    FArbTimer.SetEnabled(true);
  } else {
    EndUebung23();
  }
}

void TSession::Antwort3(TMButton* Key) {
  AnswerBeforeSound();
  if (FReaction != nullptr && Key != nullptr && !training::Sitzung.FehlerGezeigt)
    FReaction->ReactionOf(training::Sitzung.UebPos, Asked(training::Sitzung.UebPos),
                          Key->MChar().empty() ? '\0' : Key->MChar()[0]);
  FView.RepBtn->setEnabled(false);
  FTimer1.SetEnabled(false);
  if (!training::Sitzung.FehlerGezeigt && (Key == nullptr || Key->MCode() != training::Sitzung.SollCode)) {
    if (Key != nullptr) {
      if (FCopy != nullptr)
        FCopy->ItemWrong(training::Sitzung.UebPos);
      ++training::Sitzung.Fehler;
      training::Sitzung.FehlerGezeigt = true;
      ZeigeKorrektur(training::Sitzung.UebPos);
      return;
    }
  }
  training::Sitzung.FehlerGezeigt = false;
  ++training::Sitzung.UebPos;
  if (training::Sitzung.UebPos < course::Folge.UebLaenge) {
    FArbTimer.SetInterval(500);
    FArbTimer.SetEnabled(true);
  } else {
    EndUebung23();
  }
}

void TSession::ZeigeKorrektur(int32_t K) {
  std::string Text;
  if (course::Kurs.UebNr == 2) {
    FView.R1Panel->setEnabled(false);
    TMButton* Key = NeuTaste(K);
    Text = Key != nullptr ? CaptionOf(Key) : std::string();
  } else {
    for (TMButton* Key : FView.Tasten)
      if (Key != nullptr)
        Key->setEnabled(false);
    const int32_t P = K >= 0 && K < static_cast<int32_t>(course::Folge.UebFolge.size())
                          ? course::Folge.UebFolge[static_cast<size_t>(K)]
                          : 0;
    if (P >= 1 && P <= static_cast<int32_t>(course::Kurs.KursFolge.size()))
      Text = SmallCaption(course::Kurs.KursFolge[static_cast<size_t>(P) - 1]);
  }
  SetCaption(FView.TimePanel->CaptionLabel(), Text);
  FKorrekturWave = WaveFileName(Text + ".wav");
  training::Sitzung.KorrZaehler = 4;
  FView.TimePanel->show();
  FView.TimePanel->raise();
  // The next character waits until the right one has been shown and
  // sounded three times.
  training::EnterPhase(training::TPhase::Correcting);
  FArbTimer.SetInterval(1000);
  FArbTimer.SetEnabled(true);
}

void TSession::KorrekturTick() {
  FArbTimer.SetEnabled(false);
  --training::Sitzung.KorrZaehler;
  if (training::Sitzung.KorrZaehler > 0) {
    if (course::Kurs.UebNr == 2) {
      TMButton* Key =
          training::Sitzung.UebPos >= 0 &&
                  training::Sitzung.UebPos < static_cast<int32_t>(course::Folge.UebFolge.size())
              ? NeuTaste(course::Folge.UebFolge[static_cast<size_t>(training::Sitzung.UebPos)])
              : nullptr;
      FWindow.PlayCodeThenWave(Key != nullptr ? Key->MCode() : std::string(), FKorrekturWave,
                               ThenTick());
    } else {
      FWindow.PlayCodeThenWave(training::Sitzung.SollCode, FKorrekturWave, ThenTick());
    }
    return;
  }
  // The panel goes, and the keys come back, when the pause after the
  // third sounding has run out as heard.
  AtDue([this, Zwei = course::Kurs.UebNr == 2] {
    FView.TimePanel->hide();
    if (Zwei)
      FView.R1Panel->setEnabled(true);
    else
      RestoreTasten();
  });
  // The corrected item is settled: the run goes on as after an answer.
  training::EnterPhase(training::TPhase::Awaiting);
  if (course::Kurs.UebNr == 2)
    Antwort2(nullptr);
  else
    Antwort3(nullptr);
}

void TSession::FreiClick(TMButton* Key) {
  FCourseView.FreiClick(Key);
}

void TSession::SoundKey(TMButton& Key) {
  if (sound::Ausgabe.Playing)
    return;
  // Not the run's sound: its end lets a run started meanwhile go on.
  FWindow.PlayCodeThenWave(Key.MCode(), WaveFileName(CaptionOf(&Key) + ".Wav"),
                           {[this] { ResumeAfterSound(); }, OnlyPauseFollows()});
}

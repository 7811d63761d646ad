#include "training/SpeedTest.h"

#include "storage/IntFile.h"
#include "storage/StorageState.h"
#include "training/SessionState.h"

#include "course/CourseState.h"
#include "sound/SoundState.h"
#include "windows/Caption.h"
#include "windows/Controls.h"
#include "storage/Texts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace {
constexpr int32_t MinSpeed = 30;
constexpr int32_t MaxSpeed = 150;

// "The speed test is complete." in the interface language.
std::string CompleteText() {
  const std::string& Text = storage::Texte.MessagesText[6];
  return Text.empty() ? std::string("The speed test is complete.") : Text;
}

uint16_t TimerMs(int64_t Ms) {
  return static_cast<uint16_t>(std::clamp<int64_t>(Ms, 1, 65535));
}
} // namespace

TSpeedTest::TSpeedTest(TMainView& View, TPlayer& Player, TTickTimer& ArbTimer, TClock& Clock,
                       TMessageReporter& Reporter, TSessionControls& Session)
    : FView(View), FPlayer(Player), FArbTimer(ArbTimer), FClock(Clock), FReporter(Reporter),
      FSession(Session) {
  // The box shows the choice; the test reads it from the sequence's state.
  if (FView.FullT != nullptr) {
    training::Sitzung.VollTest = FView.FullT->isChecked();
    QObject::connect(FView.FullT, &QCheckBox::toggled, FView.FullT,
                     [](bool Checked) { training::Sitzung.VollTest = Checked; });
  }
}

const std::array<std::string, TSpeedTest::WordLength>& TSpeedTest::TestCodes() {
  // P A R I S in the international code: 10 dots, 4 dashes.
  static const std::array<std::string, WordLength> Codes{".--.", ".-", ".-.", "..", "..."};
  return Codes;
}

std::string TSpeedTest::TestWord(int32_t Sprache) {
  // "парис" in code page 1251.
  return Sprache == 3 ? std::string("\xEF\xE0\xF0\xE8\xF1") : std::string("paris");
}

void TSpeedTest::SetSpeed(int32_t Cpm) {
  FView.SpeedUD->SetPosition(Cpm);
  sound::SetSpeed(Cpm);
  SetCaption(FView.SpeedLB, std::to_string(Cpm));
}

void TSpeedTest::TestBtnClick() {
  if (training::Sitzung.Phase == training::TPhase::SpeedTest) {
    training::Sitzung.UebPos = course::Folge.UebLaenge;
    // Stopped: the tick below finds the test over and ends it.
    training::EnterPhase(training::TPhase::Idle);
    // A tick handed over ahead of its time starts nothing more.
    FArbTimer.Cancel();
    // The character still sounding is cut off, so that its end cannot count
    // in a test started right after.
    if (FBlockPending) {
      FBlockPending = false;
      FPlayer.CloseDevice();
    }
    FView.StartBtn->setEnabled(true);
    SpeedTestTick(); // ends the test
    FView.KeyPanel->setEnabled(true);
    return;
  }
  // A session runs (the button is off then).
  if (training::Sitzung.Phase != training::TPhase::Idle)
    return;

  const std::string Word = TestWord(storage::Kund.SprachNr);
  std::vector<int32_t> Sequence(static_cast<size_t>(Words * WordLength));
  for (size_t J = 0; J < Sequence.size(); ++J)
    Sequence[J] = LetterPos(Word[J % static_cast<size_t>(WordLength)]);
  course::SetSequence(std::move(Sequence));

  SetCaption(FView.TestBtn, CaptionText(CaptionTestStop));
  FArbTimer.SetEnabled(false);
  FView.StartBtn->setEnabled(false);
  FView.WeiterBtn->setEnabled(false);
  // What the line said of the last run no longer holds ("Weiter" is off).
  if (FView.StatusLabel != nullptr)
    SetCaption(FView.StatusLabel, "");
  FView.InfPanel->setEnabled(false);
  FView.KeyPanel->setEnabled(false);
  FView.GroupBox1->setEnabled(false);
  FView.Keyboard1->setEnabled(false);
  FSession.ArrangeIcons();
  FView.TestBtn->setEnabled(true);

  Versuche = 1;
  Runs = 0;
  if (training::Sitzung.VollTest) {
    SetSpeed(MinSpeed);
    FullIdx = 1;
  } else {
    FullIdx = 0;
  }

  training::Sitzung.UebPos = 0;
  training::Sitzung.GruppenPos = 0;
  FEndUs = -1;
  // The window's timer ticks for the test from now (its handler acts as
  // the phase says).
  training::EnterPhase(training::TPhase::SpeedTest);
  FArbTimer.SetInterval(1);
  FArbTimer.SetEnabled(true);
}

void TSpeedTest::SpeedTestTick() {
  FArbTimer.SetEnabled(false);
  const bool Running = training::Sitzung.Phase == training::TPhase::SpeedTest;
  if (training::Sitzung.UebPos < course::Folge.UebLaenge && Running) {
    // The international codes, whatever the course's codes of the word's
    // letters (the Turkish i is .-..-): the calibration is one table for
    // every course and assumes the word's 14 elements.
    const std::string& Code =
        TestCodes()[static_cast<size_t>(training::Sitzung.UebPos % WordLength)];
    // A sound of the window (a key clicked just before the start) is let
    // end first: its completion switches the timer on again.
    if (sound::Ausgabe.Playing)
      return;
    if (training::Sitzung.UebPos == 0) {
      // Until the first character's end tells when it started sounding.
      FStartUs = FClock.NowUs();
      StartTick = static_cast<uint32_t>(FStartUs / 1000);
    }
    FBlockPending = FPlayer.PlayOwnCode(Code, [this] { Completion(); });
    if (!FBlockPending) {
      // The output has shown why it cannot play; a run without sound
      // measures nothing, so the test ends as if stopped.
      FPlayer.CloseDevice();
      EndTest();
      return;
    }
    ++training::Sitzung.UebPos;
    ++training::Sitzung.GruppenPos;
    if (training::Sitzung.GruppenPos == WordLength) {
      FArbTimer.SetInterval(TimerMs(6 * static_cast<int64_t>(sound::Klang.Intervall)));
      training::Sitzung.GruppenPos = 0;
    } else {
      FArbTimer.SetInterval(TimerMs(2 * static_cast<int64_t>(sound::Klang.Intervall)));
    }
    if (training::Sitzung.UebPos == course::Folge.UebLaenge)
      FArbTimer.SetInterval(1);
    // The completion of the sound switches the timer on again.
    return;
  }

  if (Running) {
    ++Runs;
    const int64_t EndUs = FEndUs >= 0 ? FEndUs : FClock.NowUs();
    TestDauer = static_cast<int32_t>((EndUs - FStartUs) / 1000);
    SollDauer = static_cast<int32_t>(3600000 / std::max(sound::Klang.Speed, 1));
    Toleranz = static_cast<int32_t>(std::nearbyint(static_cast<double>(SollDauer) * 0.015));
    const int32_t D = TestDauer - SollDauer;
    if (D > Toleranz || D < -Toleranz) {
      Korrektur = D / 150;
      ++Versuche;
      sound::SetIntervall(sound::Klang.Intervall - Korrektur);
      if (sound::Klang.Intervall < 1 || Versuche > 5) {
        FReporter.ShowMessage(storage::Texte.MessagesText[5]);
        EndTest();
        sound::SetIntervall(IntervallAt(IntervallSlot(FView.SpeedUD->Position())));
        return;
      }
      training::Sitzung.GruppenPos = 0;
      training::Sitzung.UebPos = 0;
      FEndUs = -1;
      FArbTimer.SetEnabled(true);
      return;
    }
    if (training::Sitzung.VollTest && FullIdx > 0) {
      SetIntervallAt(FullIdx, static_cast<uint8_t>(sound::Klang.Intervall & 0xFF));
      ++FullIdx;
      const int32_t Next = sound::Klang.Speed + 5;
      Versuche = 1;
      // The next speed starts from this one's interval, scaled to it.
      const auto Scaled =
          static_cast<int32_t>(static_cast<int64_t>(sound::Klang.Intervall) * (Next - 5) / Next);
      if (Next <= MaxSpeed) {
        SetSpeed(Next);
        sound::SetIntervall(Scaled);
        training::Sitzung.UebPos = 0;
        training::Sitzung.GruppenPos = 0;
        FEndUs = -1;
        FArbTimer.SetEnabled(true);
        return;
      }
      // Past the top of the range: 150 stays the active speed, with its
      // freshly calibrated interval.
      SetSpeed(MaxSpeed);
      const bool Written = WriteIntFile();
      EndTest();
      FReporter.ShowMessage(Written ? CompleteText() + "\n\n" + IntervallText(2) : IntNotSavedText);
      return;
    }
    const int32_t Cpm = FView.SpeedUD->Position();
    const auto Stored = static_cast<uint8_t>(sound::Klang.Intervall & 0xFF);
    SetIntervallAt(IntervallSlot(Cpm), Stored);
    sound::SetIntChanged(true);
    EndTest();
    FReporter.ShowMessage(CompleteText() + "\n\n" + WithNumbers(IntervallText(1), Cpm, Stored));
    return;
  }
  EndTest();
}

void TSpeedTest::EndTest() {
  training::EnterPhase(training::TPhase::Idle);
  FArbTimer.SetEnabled(false);
  SetCaption(FView.TestBtn, CaptionText(CaptionTestBtn));
  FView.StartBtn->setEnabled(true);
  // WeiterBtn stays as the start left it: only a passed exercise enables it.
  FView.InfPanel->setEnabled(true);
  FView.KeyPanel->setEnabled(true);
  FView.GroupBox1->setEnabled(true);
  FView.Keyboard1->setEnabled(true);
  FView.TestBtn->setEnabled(true);
  FSession.SessionEnd();
}

bool TSpeedTest::Completion() {
  if (training::Sitzung.Phase != training::TPhase::SpeedTest)
    return false;
  if (FBlockPending) {
    FBlockPending = false;
    const int64_t NowUs = FClock.NowUs();
    const int64_t SoundUs = static_cast<int64_t>(sound::Puffer.SoundLen) * 1000000 / SamplesPerSec;
    if (training::Sitzung.UebPos == 1) {
      FStartUs = NowUs - SoundUs;
      StartTick = static_cast<uint32_t>(FStartUs / 1000);
    }
    if (training::Sitzung.UebPos == course::Folge.UebLaenge)
      FEndUs = NowUs;
    // The run counts from the first character heard, and the pause from
    // the end of each character heard: the output's delay before the first
    // character is in neither, so no pause is shortened to make up for it.
    TestDauer = static_cast<int32_t>((NowUs - FStartUs) / 1000);
  }
  FArbTimer.SetEnabled(true);
  return true;
}

#pragma once

#include "windows/CourseViewFixture.h"
#include "support/ManualTimer.h"
#include "support/TestWaveDevice.h"
#include "training/SessionHarness.h"
#include "training/SessionState.h"

#include <memory>
#include <vector>

// The main window offscreen with a course, a session over the timer and
// device doubles, and the window's part played by the harness.
class TSessionTest : public TCourseViewTest {
protected:
  void SetUp() override {
    TCourseViewTest::SetUp();
    ResetSessionState();
    // Every transition the session asks for is recorded; one the phases'
    // table does not have fails the test that made it.
    training::SetPhaseObserver([this](training::TPhase From, training::TPhase To, bool Entered) {
      if (From != To)
        Phases.push_back(To);
      if (!Entered)
        ADD_FAILURE() << "no transition from " << training::PhaseName(From) << " to "
                      << training::PhaseName(To);
    });
    storage::Texte.ButtonsText = {"", "Start", "Stop", "Repeat"};
    storage::Texte.MessagesText = {"", "Errors!", "Mark?", "Again.", "", "", ""};
    SetCaption(View.StartBtn, storage::Texte.ButtonsText[1]);
    sound::Klang.Speed = 60;
    sound::Klang.Abstand = 10;
    sound::Klang.Verhalt = 30;
    TMorse::BuildElements();
    SetIntervallAt(IntervallSlot(sound::Klang.Speed), 20);
    Morse = std::make_unique<TMorse>(Device, Reporter);
    Window = std::make_unique<THarnessWindow>(View, *Morse);
    Session = std::make_unique<TSession>(*CourseView, *Course, Arb, Timer1, Reporter, *Window);
    Window->Session = Session.get();
    View.MerkCheckBox->setChecked(true);
    View.TimeCB->setChecked(false);
  }
  void TearDown() override {
    training::SetPhaseObserver(nullptr);
    Session.reset();
    TCourseViewTest::TearDown();
  }

  // One event: the end of the block playing, else a tick of ArbTimer, else
  // one of Timer1. False when nothing is due.
  bool Step() {
    if (Device.Queued != nullptr)
      return Device.Complete();
    if (Arb.Enabled() && Arb.Fire())
      return true;
    return Timer1.Enabled() && Timer1.Fire();
  }
  // Runs until the session waits for the learner (or has ended).
  void Settle(int Max = 5000) {
    while (Max-- > 0 && Step()) {
    }
  }
  // Runs ArbTimer's ticks and the ends of blocks only, not Timer1.
  void SettleArb(int Max = 5000) {
    while (Max-- > 0) {
      if (Device.Queued != nullptr)
        Device.Complete();
      else if (!(Arb.Enabled() && Arb.Fire()))
        return;
    }
  }
  TMButton* NeuKeyOfCode(const std::string& Code) {
    for (TMButton* Key : View.NeuTasten)
      if (!Key->isHidden() && Key->MCode() == Code)
        return Key;
    return nullptr;
  }
  TMButton* KeyOfCode(const std::string& Code) {
    for (TMButton* Key : View.Tasten)
      if (!Key->MCode().empty() && Key->MCode() == Code)
        return Key;
    return nullptr;
  }
  // An enabled key of the keyboard that answers something other than Code.
  TMButton* OtherKey(const std::string& Code) {
    TMButton* Other = nullptr;
    for (TMButton* Key : View.Tasten)
      if (Key->isEnabled() && !Key->MCode().empty() && Key->MCode() != Code)
        Other = Key;
    return Other;
  }
  std::vector<bool> KeysEnabled() {
    std::vector<bool> On;
    for (TMButton* Key : View.Tasten)
      On.push_back(Key->isEnabled());
    return On;
  }
  TMButton* OtherNeuKey(const std::string& Code) {
    for (TMButton* Key : View.NeuTasten)
      if (!Key->isHidden() && Key->isEnabled() && Key->MCode() != Code)
        return Key;
    return nullptr;
  }

  // The phases entered, in order.
  std::vector<training::TPhase> Phases;
  TManualTimer Arb{false, 1000};
  TManualTimer Timer1{false, 1000};
  TTestWaveDevice Device;
  std::unique_ptr<TMorse> Morse;
  std::unique_ptr<THarnessWindow> Window;
  std::unique_ptr<TSession> Session;
};

// A key event as the form gets it: the key, its text, auto-repeated or not.
inline TKeyInput KeyIn(uint16_t Vk, const QString& Text, bool Repeat = false, bool Keypad = false) {
  TKeyInput In;
  In.VirtualKey = Vk;
  In.AutoRepeat = Repeat;
  In.Typed.Text = Text;
  In.Typed.Key = Vk >= VK_NUMPAD0 && Vk <= VK_NUMPAD9 ? Qt::Key_0 + (Vk - VK_NUMPAD0) : Vk;
  In.Typed.Keypad = Keypad;
  return In;
}

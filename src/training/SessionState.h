#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

// The state of a training session and of the answer keys, owned by the
// session; interface thread only.
namespace training {

// What the session is doing. The timers' ticks, the keys and the ends of
// sounds are handled by what the phase says; only EnterPhase changes it.
enum class TPhase : uint8_t {
  Idle,       // nothing runs; a key sounds and marks its character
  Presenting, // exercise 1: the new characters are presented
  Awaiting,   // exercises 2 and 3: a character is sounded and its answer awaited
  Correcting, // exercises 2 and 3: a wrong answer's right character is shown and sounded
  LeadIn,     // exercise 4: the count-down, or the lead-in signals, before the groups
  Groups,     // exercise 4: the groups are sounded
  Ending,     // exercise 4: the end signal, or the last pause, is being heard
  SpeedTest,  // the speed test runs on the window's timer and controls
  Replay,     // the text window and the question after exercise 4
};

struct TSitzung {
  TPhase Phase = TPhase::Idle;
  // Idle and TestLaeuft follow the phase (EnterPhase writes them) for those
  // that only ask whether a session or the speed test runs.
  bool Idle = true;                   // no session runs: Idle, SpeedTest or Replay
  int32_t Wiederholungen = 0;         // exercise 1: plays still due for the character presented
  int32_t Fehler = 0;                 // errors of the current exercise-2 or -3 run
  bool FehlerGezeigt = false;         // the current item is settled as an error
  int32_t KorrZaehler = 0;            // countdown of a correction; 0 when none runs
  int32_t RepZaehler = 0;             // presses of RepBtn in the current exercise-3 run
  std::array<bool, 51> TastenAktiv{}; // enabled state of Tasten[1..50] at session start
  std::string SollCode;               // code of the character last sounded in exercises 3 and 4
  int32_t VorlaufZaehler = 0;         // lead-in signals still due before exercise 4

  // Where a run of an exercise or of the speed test stands in the sequence
  // the course drew (course::Folge.UebFolge).
  int32_t UebPos = 0;     // next entry to sound
  int32_t GruppenPos = 0; // characters sounded of the current group
  // The speed test runs (it shares the main window's timer and controls):
  // the phase SpeedTest.
  bool TestLaeuft = false;
  // The speed test calibrates every speed from 30 to 150 (the hidden FullT
  // box) instead of the current one.
  bool VollTest = false;

  // The one-key latch of typed answers.
  bool TasteUnten = false;     // a key is down; further key-downs are ignored
  uint16_t TastenCode = 0;     // key code stored at key-down, for the next character
  uint16_t GehalteneTaste = 0; // the key whose release completes the answer
  int32_t TastPos = 0;         // 1-based index of the pressed key among Tasten; 0 none
  int32_t NeuPos = 0;          // 1-based index of the typed character in NeueZeichen; 0 none
  char TastChar = 0;           // character of the last key event looked up in the rows
};
} // namespace training

namespace training {
extern training::TSitzung Sitzung;

// Changes the session's phase, when the design has that transition (the
// table is in Session.cpp); a transition it does not have is refused and
// the phase stays. Entering the phase the session is in changes nothing.
bool EnterPhase(TPhase To);
// Whether From may change to To.
bool MayEnter(TPhase From, TPhase To);
const char* PhaseName(TPhase Phase);
// Told of every transition asked for, refused ones included (tests).
using TPhaseObserver = std::function<void(TPhase From, TPhase To, bool Entered)>;
void SetPhaseObserver(TPhaseObserver Observer);
} // namespace training

void ResetSessionState();

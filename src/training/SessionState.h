#pragma once

#include <array>
#include <cstdint>
#include <string>

// The state of a training session and of the answer keys, owned by the
// session; interface thread only.
namespace training {
struct TSitzung {
  bool Idle = true;                   // no session runs
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
  // The speed test runs (it shares the main window's timer and controls).
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
} // namespace training

void ResetSessionState();

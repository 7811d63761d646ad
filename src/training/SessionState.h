#pragma once

#include <array>
#include <cstdint>
#include <string>

// The state of a training session and of the answer keys: program-wide,
// interface thread only.

extern bool Idle;                        // no session runs (true at start)
extern int32_t Wiederholungen;           // exercise 1: plays still due for the character presented
extern int32_t Fehler;                   // errors of the current exercise-2 or -3 run
extern bool FehlerGezeigt;               // the current item is settled as an error
extern int32_t KorrZaehler;              // countdown of a correction; 0 when none runs
extern int32_t RepZaehler;               // presses of RepBtn in the current exercise-3 run
extern std::array<bool, 51> TastenAktiv; // enabled state of Tasten[1..50] at session start
extern std::string SollCode;             // code of the character last sounded in exercises 3 and 4
extern int32_t VorlaufZaehler;           // lead-in signals still due before exercise 4

// The one-key latch of typed answers.
extern bool TasteUnten;         // a key is down; further key-downs are ignored
extern uint16_t TastenCode;     // key code stored at key-down, for the next character
extern uint16_t GehalteneTaste; // the key whose release completes the answer
extern int32_t TastPos;         // 1-based index of the pressed key among Tasten; 0 none
extern int32_t NeuPos;          // 1-based index of the typed character in NeueZeichen; 0 none
extern char TastChar;           // character of the last key event looked up in the rows

void ResetSessionState();

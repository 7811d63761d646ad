#pragma once

#include "sound/SoundState.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The course's state: what is taught, where the learner stands, the exercise
// sequence being played and the layout of the on-screen keyboard. One course
// exists at a time and only the interface thread touches it.
//
// Strings are bytes of the active layout's code page; positions in strings
// and the slots of MerkWoerter and Markiert count from 1 (slot 0 is unused).

// ---------------------------------------------------------------------------
// Lesson plan

// Current lesson (from 1) and exercise (1..4); the furthest lesson reached and
// the furthest exercise within it. Bytes, as the learner record keeps them.
extern uint8_t LektNr;
extern uint8_t UebNr;
extern uint8_t MaxLektNr;
extern uint8_t MaxUebNr;

// Numbers of the last letter, digit and sign lesson; the final lesson of all
// characters is LektZeichEnde + 1. Zero until a course has been computed.
extern int32_t LektBuchEnde;
extern int32_t LektZiffEnde;
extern int32_t LektZeichEnde;

// The letters in teaching order, then "1234567890", then ".,?/+=@\xA7".
extern std::string KursFolge;
// The characters practised in the current lesson, and those it introduces.
extern std::string LektZeichen;
extern std::string NeueZeichen;
// Set while the lesson is computed: the set buttons' handlers then do nothing.
extern bool RBSperre;

constexpr int32_t MinGruppen = 5;
constexpr int32_t MaxGruppen = 55; // endless groups
constexpr int32_t GruppenSchritt = 5;
// Five-character groups of exercise 4.
extern int32_t GruppenZahl;

// ---------------------------------------------------------------------------
// Lesson data

// The teaching order read for the layout, then the digits and signs, with
// every character the alphabet lacks removed.
extern std::string BuchFolge;
// Bare name of the alphabet file to load.
extern std::string AlphabetFile;
// Mnemonic word of Letters' character at position p, at most 30 bytes.
constexpr size_t MerkWortMax = 30;
extern std::array<std::string, MaxLetters + 1> MerkWoerter;

// ---------------------------------------------------------------------------
// Exercise sequence

// The characters to sound: indices into the new-character keys (exercise 2)
// or positions in KursFolge (exercises 3 and 4).
extern std::vector<int32_t> UebFolge;
extern int32_t UebLaenge;
extern int32_t UebPos;     // next entry to sound
extern int32_t GruppenPos; // characters sounded of the current group
// Candidates of exercise 4, and the characters of the keys picked for Only.
extern std::string GruppenZeichen;
extern std::string OnlyZeichen;
// The next exercise-4 run opens with the lesson's new characters.
extern bool NeuVorn;
// The speed test runs (it shares the main window's timer and controls).
extern bool TestLaeuft;
// Marked characters are sounded twice in exercise 4.
extern bool MarkModus;
// Marked by the learner, by position in Letters.
extern std::array<bool, MaxLetters + 1> Markiert;

// ---------------------------------------------------------------------------
// On-screen keyboard

constexpr size_t TastReiheMax = 15; // bytes of one keyboard row
// Rows 1..4 of the active layout (digits, then three letter rows); slot 0 is
// unused. Set by the layout switch.
extern std::array<std::string, 5> TastReihen;
// Left edge of row 1 in pixels.
extern int32_t TastLinks;
// The characters of rows 1..4 and then the eight signs, in key order.
extern std::string TastZeichen;

// Puts every variable above back to its value at program start.
void ResetCourseState();

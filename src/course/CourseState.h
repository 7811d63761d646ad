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
// Lesson plan and lesson data, owned by the course

constexpr int32_t MinGruppen = 5;
constexpr int32_t MaxGruppen = 55; // endless groups
constexpr int32_t GruppenSchritt = 5;
// Mnemonic word of Letters' character at position p, at most 30 bytes.
constexpr size_t MerkWortMax = 30;

// The character set chosen with the set buttons (BRB, ZiffRB, ZeichRB,
// AllRB).
constexpr int32_t SatzBuch = 0;
constexpr int32_t SatzZiff = 1;
constexpr int32_t SatzZeich = 2;
constexpr int32_t SatzAlle = 3;

namespace course {
struct TKurs {
  // Current lesson (from 1) and exercise (1..4); the furthest lesson reached
  // and the furthest exercise within it. Bytes, as the learner record keeps
  // them.
  uint8_t LektNr = 1;
  uint8_t UebNr = 1;
  uint8_t MaxLektNr = 1;
  uint8_t MaxUebNr = 1;

  // Numbers of the last letter, digit and sign lesson; the final lesson of
  // all characters is LektZeichEnde + 1. Zero until a course has been
  // computed.
  int32_t LektBuchEnde = 0;
  int32_t LektZiffEnde = 0;
  int32_t LektZeichEnde = 0;

  // The letters in teaching order, then "1234567890", then ".,?/+=@\xA7".
  std::string KursFolge;
  // The characters practised in the current lesson, and those it introduces.
  std::string LektZeichen;
  std::string NeueZeichen;
  // The chosen character set, one of the Satz constants.
  int32_t Satz = SatzBuch;
  // Set while the lesson is computed: the set buttons' handlers then only
  // record the set.
  bool RBSperre = false;
  // Five-character groups of exercise 4.
  int32_t GruppenZahl = 10;

  // The teaching order read for the layout, then the digits and signs, with
  // every character the alphabet lacks removed.
  std::string BuchFolge;
  // Bare name of the alphabet file to load.
  std::string AlphabetFile;
  std::array<std::string, MaxLetters + 1> MerkWoerter;
  // The mnemonic words of the alphabet could be read: the view offers them
  // (MerkCheckBox) and turns them on.
  bool MerkWoerterGeladen = false;
};
} // namespace course

// ---------------------------------------------------------------------------
// Exercise sequence, drawn by the course and played by the session, the
// speed test and the replay window

namespace course {
struct TFolge {
  // The characters to sound: indices into the new-character keys (exercise
  // 2) or positions in KursFolge (exercises 3 and 4).
  std::vector<int32_t> UebFolge;
  int32_t UebLaenge = 0;
  // Candidates of exercise 4, and the characters of the keys picked for Only.
  std::string GruppenZeichen;
  std::string OnlyZeichen;
  // The next exercise-4 run opens with the lesson's new characters.
  bool NeuVorn = false;
  // Marked characters are sounded twice in exercise 4.
  bool MarkModus = false;
  // Exercise 4 draws only from the marked characters (the Only button);
  // false for Normal.
  bool Only = false;
  // Marked by the learner, by position in Letters.
  std::array<bool, MaxLetters + 1> Markiert{};
};
} // namespace course

// ---------------------------------------------------------------------------
// On-screen keyboard, set by the layout switch

constexpr size_t TastReiheMax = 15; // bytes of one keyboard row

namespace course {
struct TTastatur {
  // Rows 1..4 of the active layout (digits, then three letter rows); slot 0
  // is unused.
  std::array<std::string, 5> TastReihen;
  // Left edge of row 1 in pixels.
  int32_t TastLinks = 0;
  // The characters of rows 1..4 and then the eight signs, in key order.
  std::string TastZeichen;
  // The layout whose keys typed characters are translated to (1..4); 0
  // while none is in force.
  int32_t InputLayoutNr = 0;
};
} // namespace course

namespace course {
extern course::TKurs Kurs;
extern course::TFolge Folge;
extern course::TTastatur Tastatur;
} // namespace course

// Puts the course's state back to its value at program start.
void ResetCourseState();

// ---------------------------------------------------------------------------
// Setters for the folders above: they change the course's state only
// through these (the course's own operations write it directly).

namespace course {
// The position the learner record keeps: the furthest lesson and exercise,
// which are also where the learner starts.
void StartAtRecord(uint8_t MaxLektNr, uint8_t MaxUebNr);
// Before the record is saved: a learner just moved on to exercise 4 of the
// furthest lesson (NeuVorn), without working through it, finds exercise 3
// again at the next start.
void RollBackBeforeSaving();
// The layout's alphabet file and its keyboard rows 1..4 with the left edge
// of row 1.
void SetAlphabetFile(std::string Name);
void SetKeyboardRows(const std::array<const char*, 4>& Rows, int32_t TastLinks);
// The layout typed characters are translated to.
void SetInputLayout(int32_t LayoutNr);

// A sequence drawn outside the course (the speed test's word); UebLaenge
// becomes its length.
void SetSequence(std::vector<int32_t> Sequence);
// UebLaenge alone: exercise 1 counts the character presented in it.
void SetUebLaenge(int32_t Length);
// The sequence is used up (the end of a run); Release gives its memory
// back as well (the program's end).
void ClearSequence();
void ReleaseSequence();
void SetMarkModus(bool On);
void SetNeuVorn(bool On);
} // namespace course

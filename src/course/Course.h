#pragma once

#include "base/Reporter.h"
#include "sound/SoundState.h"
#include "course/WeakPractice.h"

#include <array>
#include <cstdint>
#include <optional>

// What the course shows of its state. The main window's controls implement
// it; the course calls it after it has changed its state, never to ask.
class TCourseDisplay {
public:
  virtual ~TCourseDisplay() = default;
  virtual void ShowLektNr() = 0;
  // The exercise number; the new-character panel only for exercises 1 and 2.
  virtual void ShowUebNr() = 0;
  virtual void ShowGruppenZahl() = 0;
  // The set's button becomes usable.
  virtual void EnableSatz(int32_t Satz) = 0;
  // The set's button becomes checked (course::Kurs.Satz holds the set). A button
  // that becomes checked runs its click handler, as a click does.
  virtual void CheckSatz(int32_t Satz) = 0;
  // Every key of a character of course::Kurs.LektZeichen is usable, no other.
  virtual void EnableLessonKeys() = 0;
  // Every key of course::Tastatur.TastZeichen taught in course::Kurs.KursFolge carries its
  // character and code; the others are never usable.
  virtual void BindKeys() = 0;
  // The large keys of course::Kurs.NeueZeichen and the exercise's title.
  virtual void ShowNewChars() = 0;
  // Normal is checked and no key shows a mark (course::Folge.Markiert is clear).
  virtual void ShowNormal() = 0;
  virtual void DisableWeiter() = 0;
  // Shows the congratulation window; returns when it is closed.
  virtual void ShowCongratulation() = 0;
};

// What one GenerateSequence drew: the repetition limit it applied and how
// often each candidate was drawn as a first choice (the candidate's index
// into the candidate set, or into the Only keys when Only was true).
struct TSequenceDraw {
  int32_t Limit = 0;
  bool Only = false;
  std::array<int32_t, MaxLetters + 1> Counts{};
};

// The course: the lesson plan and its navigation, the marks on the keyboard
// and the exercise sequences, on the state of course/CourseState.h. It alone
// writes the lesson plan and the marks; a run of an exercise draws its
// sequence through it and keeps its own place in it (training::Sitzung), and
// the start-up restores the position from the learner record.
// The window's controls report to its handlers and show what it tells its
// display.
//
// Handlers take the control that raised them as Sender; nullptr means the
// program calls them to re-apply the rules without stepping.
class TCourse {
public:
  TCourse(TCourseDisplay& Display, TMessageReporter& Reporter);
  TCourse(const TCourse&) = delete;
  TCourse& operator=(const TCourse&) = delete;

  TCourseDisplay& Display() { return FDisplay; }

  // --- Lesson data
  bool LoadLessonData(int32_t SprachNr);

  // --- Lesson plan
  // Lesson bounds, LektZeichen, NeueZeichen, the set buttons and the usable
  // keys for LektNr.
  void ComputeLesson();
  // After a layout switch: the new layout's teaching order, and its lesson.
  void RebuildCourse();
  void EnableSetButtons();
  void LektADDownClick(const void* Sender);
  void LektADUpClick(const void* Sender);
  void UebADDownClick(const void* Sender);
  void UebADUpClick(const void* Sender);
  void BRBClick(const void* Sender);
  void ZiffRBClick(const void* Sender);
  void ZeichRBClick(const void* Sender);
  void AllRBClick(const void* Sender);
  // Moves on after a passed exercise.
  void WeiterBtnClick(const void* Sender);
  void GroupADDownClick(const void* Sender);
  void GroupADUpClick(const void* Sender);

  // --- On-screen keyboard
  // Every key of a taught character gets its character and code; KursFolge
  // becomes BuchFolge.
  void BindKeys();
  // The large keys for NeueZeichen and the exercise's title.
  void ShowNewChars() { FDisplay.ShowNewChars(); }
  // Clears the Only selection and the marks; called with nullptr, it also
  // checks NormalRB.
  void NormalRBClick(const void* Sender);
  // Exercise 4 then draws only from the marked keys.
  void OnlyRBClick(const void* Sender);
  // A click on the key of C while no answer is awaited: on the exercise-4
  // screen with marking on, C's mark flips; returns the new mark, or nothing
  // when marks do not change now.
  std::optional<bool> FreiClick(char C);
  // C is marked for the next exercise-4 run, as a click on its key marks
  // it (the typed copy's errors, the statistics' weakest characters); false
  // when C has no slot.
  bool Mark(char C);

  // --- Exercise sequences
  // Fills UebFolge[0..N-1] from R candidates under the rules of the current
  // exercise. The generator is seeded afresh from the clock, or with Seed.
  TSequenceDraw GenerateSequence(int32_t N, int32_t R, std::optional<uint32_t> Seed = std::nullopt);
  // The sequence of exercise UebNr (2 to 4) as its start draws it: exercise 2
  // asks each new character five times, exercise 3 each of the lesson's
  // characters three times, exercise 4 sounds GruppenZahl groups of five from
  // the group candidates (set here). Sets UebLaenge; returns the draw.
  TSequenceDraw DrawExercise(std::optional<uint32_t> Seed = std::nullopt);
  // "Practise my weak characters": exercise 4 (not Only, not the run that
  // introduces the new characters' opening) draws by these weights; empty,
  // the default, draws as designed.
  void SetSchwaechen(TSchwaechen Schwaechen) { FSchwaechen = std::move(Schwaechen); }
  const TSchwaechen& Schwaechen() const { return FSchwaechen; }

private:
  void ShowLektNr() { FDisplay.ShowLektNr(); }
  void ShowUebNr() { FDisplay.ShowUebNr(); }
  void CheckSetButtonOfLesson(bool EnableToo);
  // Sets course::Kurs.Satz and checks its button.
  void ChooseSatz(int32_t Satz);

  TCourseDisplay& FDisplay;
  TMessageReporter& FReporter;
  TSchwaechen FSchwaechen;
};

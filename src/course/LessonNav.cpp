// The lesson plan and the navigation through it: the lesson and exercise
// spin buttons, the set buttons, "Weiter" and the group counter.
//
// The handlers call one another with no sender to re-apply the rules without
// stepping, so each rule below holds whichever control moved the position.
// The learner's furthest position (MaxLektNr, MaxUebNr) bounds every step:
// earlier lessons and exercises can be revisited, later ones not skipped to.

#include "course/Course.h"
#include "course/CourseState.h"
#include "course/LessonPlan.h"

#include <algorithm>
#include <string>

namespace {

// The first lesson of each set has no exercise 3: with only the set's first
// characters known, exercise 2 already asks all of them.
bool FirstOfASet(int32_t L) {
  return L == 1 || L == course::Kurs.LektBuchEnde + 1 || L == course::Kurs.LektZiffEnde + 1;
}

bool DigitLesson(int32_t L) {
  return L > course::Kurs.LektBuchEnde && L <= course::Kurs.LektZiffEnde;
}
bool SignLesson(int32_t L) {
  return L > course::Kurs.LektZiffEnde && L <= course::Kurs.LektZeichEnde;
}

uint8_t AsByte(int32_t V) {
  return static_cast<uint8_t>(std::clamp<int32_t>(V, 0, 255));
}

} // namespace

void TCourse::ComputeLesson() {
  // Checking a set button from here must not run its handler, which would
  // move the position while it is being computed.
  course::Kurs.RBSperre = true;
  TLessonBounds Bounds;
  if (!LessonBoundsOf(course::Kurs.KursFolge, Bounds)) {
    course::Kurs.RBSperre = false;
    return;
  }
  course::Kurs.LektBuchEnde = Bounds.BuchEnde;
  course::Kurs.LektZiffEnde = Bounds.ZiffEnde;
  course::Kurs.LektZeichEnde = Bounds.ZeichEnde;

  LessonChars(course::Kurs.KursFolge, Bounds, course::Kurs.LektNr, course::Kurs.LektZeichen, course::Kurs.NeueZeichen);
  if (DigitLesson(course::Kurs.LektNr)) {
    FDisplay.EnableSatz(SatzZiff);
    ChooseSatz(SatzZiff);
  } else if (course::Kurs.LektNr > course::Kurs.LektZiffEnde && course::Kurs.LektNr < course::Kurs.LektZeichEnde) {
    FDisplay.EnableSatz(SatzZeich);
    ChooseSatz(SatzZeich);
  } else if (course::Kurs.LektNr > course::Kurs.LektZeichEnde) {
    ChooseSatz(SatzAlle);
  }

  // Only the lesson's characters can be answered, so only their keys work.
  FDisplay.EnableLessonKeys();

  // "All" opens once the learner is past the last sign lesson.
  if (course::Kurs.MaxLektNr > 0 && course::Kurs.MaxLektNr > course::Kurs.LektZeichEnde)
    FDisplay.EnableSatz(SatzAlle);
  course::Kurs.RBSperre = false;
}

// A set opens when the learner reaches it and is never closed again, so
// that every completed set can be revisited.
void TCourse::EnableSetButtons() {
  if (course::Kurs.MaxLektNr > course::Kurs.LektBuchEnde)
    FDisplay.EnableSatz(SatzZiff);
  if (course::Kurs.MaxLektNr > course::Kurs.LektZiffEnde)
    FDisplay.EnableSatz(SatzZeich);
  if (course::Kurs.MaxLektNr == course::Kurs.LektZeichEnde && course::Kurs.MaxUebNr == 4)
    FDisplay.EnableSatz(SatzAlle);
}

void TCourse::LektADDownClick(const void* Sender) {
  // The furthest position only moves forward.
  if (course::Kurs.MaxLektNr < course::Kurs.LektNr)
    course::Kurs.MaxLektNr = course::Kurs.LektNr;
  if (Sender != nullptr) {
    if (course::Kurs.LektNr <= 1) {
      course::Kurs.LektNr = 1;
      FReporter.Beep();
    } else {
      --course::Kurs.LektNr;
    }
  } else if (course::Kurs.LektNr < 1) {
    course::Kurs.LektNr = 1; // a damaged learner record; lessons count from 1
  }
  // The final lesson has exercise 4 only; the last sign lesson has none.
  if (course::Kurs.LektNr > course::Kurs.LektZeichEnde && course::Kurs.LektZeichEnde > 0) {
    course::Kurs.UebNr = 4;
    FDisplay.EnableSatz(SatzAlle);
  }
  if (course::Kurs.LektNr == course::Kurs.LektZeichEnde && course::Kurs.UebNr == 4)
    course::Kurs.UebNr = 3;
  // Arriving at a set's last lesson checks that set, unless All is chosen.
  if (course::Kurs.LektNr == course::Kurs.LektZiffEnde && course::Kurs.Satz != SatzAlle)
    ChooseSatz(SatzZiff);
  if (course::Kurs.LektNr == course::Kurs.LektBuchEnde && course::Kurs.Satz != SatzAlle)
    ChooseSatz(SatzBuch);
  if (course::Kurs.LektNr == course::Kurs.LektZeichEnde && course::Kurs.Satz != SatzAlle)
    ChooseSatz(SatzZeich);
  ShowLektNr();
  ComputeLesson();
  UebADDownClick(nullptr);
}

void TCourse::LektADUpClick(const void* Sender) {
  // Forward only up to the furthest position, and there only up to its
  // exercise; at the bound the click does nothing and does not beep.
  if (Sender != nullptr && course::Kurs.LektNr < course::Kurs.MaxLektNr) {
    ++course::Kurs.LektNr;
    if (course::Kurs.LektNr >= course::Kurs.MaxLektNr && course::Kurs.UebNr > course::Kurs.MaxUebNr) {
      course::Kurs.LektNr = course::Kurs.MaxLektNr;
      course::Kurs.UebNr = course::Kurs.MaxUebNr;
    }
  }
  if (course::Kurs.LektNr > course::Kurs.LektZeichEnde)
    course::Kurs.UebNr = 4;
  if (course::Kurs.LektNr > course::Kurs.MaxLektNr)
    course::Kurs.LektNr = course::Kurs.MaxLektNr;
  if (course::Kurs.LektNr >= course::Kurs.MaxLektNr && course::Kurs.UebNr > course::Kurs.MaxUebNr) {
    course::Kurs.LektNr = course::Kurs.MaxLektNr;
    course::Kurs.UebNr = course::Kurs.MaxUebNr;
  }
  ShowLektNr();
  LektADDownClick(nullptr);
}

void TCourse::UebADDownClick(const void* Sender) {
  // A position reached by "Weiter" becomes the furthest one.
  if (course::Kurs.LektNr == course::Kurs.MaxLektNr && course::Kurs.UebNr > course::Kurs.MaxUebNr)
    course::Kurs.MaxUebNr = course::Kurs.UebNr;
  if (Sender != nullptr) {
    if (course::Kurs.UebNr <= 1) {
      course::Kurs.UebNr = 1;
      FReporter.Beep();
    } else {
      --course::Kurs.UebNr;
    }
  }
  // Exercise 3 is skipped in the direction of travel: down to 2 when the
  // learner steps down, to 4 when the rules are re-applied after a move.
  if (course::Kurs.UebNr == 3 && FirstOfASet(course::Kurs.LektNr))
    course::Kurs.UebNr = Sender != nullptr ? 2 : 4;
  if (course::Kurs.LektNr > course::Kurs.LektZeichEnde)
    course::Kurs.UebNr = 4;
  ShowUebNr();
  if (course::Kurs.UebNr == 3)
    CheckSetButtonOfLesson(false);
  ShowNewChars();
}

void TCourse::UebADUpClick(const void* Sender) {
  if (Sender != nullptr) {
    if (course::Kurs.UebNr >= 4) {
      course::Kurs.UebNr = 4;
      FReporter.Beep();
    } else {
      ++course::Kurs.UebNr;
    }
  }
  if (course::Kurs.LektNr >= course::Kurs.MaxLektNr && course::Kurs.UebNr > course::Kurs.MaxUebNr) {
    course::Kurs.LektNr = course::Kurs.MaxLektNr;
    course::Kurs.UebNr = course::Kurs.MaxUebNr;
  }
  if (FirstOfASet(course::Kurs.LektNr) && course::Kurs.UebNr == 3)
    course::Kurs.UebNr = 4;
  if (course::Kurs.LektNr == course::Kurs.LektZeichEnde && course::Kurs.UebNr == 4)
    course::Kurs.UebNr = 3;
  ShowUebNr();
  ShowNewChars();
}

// The set's button runs its handler when it becomes checked, as a click does.
void TCourse::ChooseSatz(int32_t Satz) {
  course::Kurs.Satz = Satz;
  FDisplay.CheckSatz(Satz);
}

// Chooses the set of the current lesson: letters, digits or signs (the final
// lesson has none of them).
void TCourse::CheckSetButtonOfLesson(bool EnableToo) {
  int32_t Satz = 0;
  if (course::Kurs.LektNr <= course::Kurs.LektBuchEnde)
    Satz = SatzBuch;
  else if (DigitLesson(course::Kurs.LektNr))
    Satz = SatzZiff;
  else if (SignLesson(course::Kurs.LektNr))
    Satz = SatzZeich;
  else
    return;
  if (EnableToo && Satz != SatzBuch)
    FDisplay.EnableSatz(Satz);
  ChooseSatz(Satz);
}

// The set buttons jump into a set: a completed set at its review exercise
// (exercise 4 of its last lesson, exercise 3 for the signs, whose last lesson
// has no exercise 4), an unfinished one at the furthest position.
void TCourse::BRBClick(const void*) {
  course::Kurs.Satz = SatzBuch;
  if (course::Kurs.RBSperre)
    return;
  if (course::Kurs.LektNr > course::Kurs.LektBuchEnde) {
    course::Kurs.LektNr = AsByte(course::Kurs.LektBuchEnde);
    course::Kurs.UebNr = 4;
  }
  LektADDownClick(nullptr);
}

void TCourse::ZiffRBClick(const void*) {
  course::Kurs.Satz = SatzZiff;
  if (course::Kurs.RBSperre)
    return;
  if (course::Kurs.MaxLektNr >= course::Kurs.LektZiffEnde) {
    course::Kurs.LektNr = AsByte(course::Kurs.LektZiffEnde);
    course::Kurs.UebNr = 4;
  } else if (course::Kurs.MaxLektNr > course::Kurs.LektBuchEnde && course::Kurs.MaxLektNr < course::Kurs.LektZiffEnde) {
    course::Kurs.LektNr = course::Kurs.MaxLektNr;
    course::Kurs.UebNr = course::Kurs.MaxUebNr;
  }
  LektADDownClick(nullptr);
}

void TCourse::ZeichRBClick(const void*) {
  course::Kurs.Satz = SatzZeich;
  if (course::Kurs.RBSperre)
    return;
  if (course::Kurs.MaxLektNr > course::Kurs.LektZeichEnde) {
    course::Kurs.LektNr = AsByte(course::Kurs.LektZeichEnde);
    course::Kurs.UebNr = 3;
  } else if (course::Kurs.MaxLektNr > course::Kurs.LektZiffEnde && course::Kurs.MaxLektNr <= course::Kurs.LektZeichEnde) {
    course::Kurs.LektNr = course::Kurs.MaxLektNr;
    course::Kurs.UebNr = course::Kurs.MaxUebNr;
  }
  LektADDownClick(nullptr);
}

void TCourse::AllRBClick(const void*) {
  course::Kurs.Satz = SatzAlle;
  if (course::Kurs.RBSperre)
    return;
  course::Kurs.LektNr = course::Kurs.MaxLektNr;
  course::Kurs.UebNr = course::Kurs.MaxUebNr;
  LektADDownClick(nullptr);
}

void TCourse::WeiterBtnClick(const void*) {
  // A new exercise starts with every character, not a selection made for
  // the last one.
  if (course::Folge.Only)
    NormalRBClick(nullptr); // takes Only out with its selection
  if (course::Kurs.UebNr < 4) {
    ++course::Kurs.UebNr;
  } else {
    if (course::Kurs.LektNr < 255)
      ++course::Kurs.LektNr;
    course::Kurs.UebNr = 1;
  }
  if (course::Kurs.LektNr == 1 && course::Kurs.UebNr == 3)
    course::Kurs.UebNr = 4;
  // Passing the last sign lesson completes the course.
  if (course::Kurs.LektNr == course::Kurs.LektZeichEnde && course::Kurs.UebNr == 4) {
    ++course::Kurs.LektNr;
    FDisplay.ShowCongratulation();
  }
  if (course::Kurs.LektNr > course::Kurs.LektZeichEnde + 1) {
    course::Kurs.LektNr = AsByte(course::Kurs.LektZeichEnde + 1);
    course::Kurs.UebNr = 4;
  }
  if (course::Kurs.LektNr > course::Kurs.MaxLektNr) {
    course::Kurs.MaxLektNr = course::Kurs.LektNr;
    course::Kurs.MaxUebNr = course::Kurs.UebNr;
  }
  if (course::Kurs.LektNr == course::Kurs.MaxLektNr && course::Kurs.UebNr > course::Kurs.MaxUebNr)
    course::Kurs.MaxUebNr = course::Kurs.UebNr;
  CheckSetButtonOfLesson(true);
  FDisplay.DisableWeiter();
  LektADUpClick(nullptr);
  ChooseSatz(SatzAlle);
  EnableSetButtons();
  // The first exercise-4 run of a newly reached lesson opens with its new
  // characters, which the learner has so far only heard one at a time.
  if (course::Kurs.LektNr == course::Kurs.MaxLektNr && course::Kurs.UebNr == 4 && course::Kurs.LektNr < course::Kurs.LektZeichEnde)
    course::Folge.NeuVorn = true;
}

// 55 groups means endless: a fresh sequence follows whenever one is used up.
void TCourse::GroupADDownClick(const void*) {
  course::Kurs.GruppenZahl = std::max(course::Kurs.GruppenZahl - GruppenSchritt, MinGruppen);
  FDisplay.ShowGruppenZahl();
}

void TCourse::GroupADUpClick(const void*) {
  course::Kurs.GruppenZahl = std::min(course::Kurs.GruppenZahl + GruppenSchritt, MaxGruppen);
  FDisplay.ShowGruppenZahl();
}

// The lesson plan and the navigation through it: the lesson and exercise
// spin buttons, the set buttons, "Weiter" and the group counter.

#include "course/Course.h"
#include "course/CourseState.h"
#include "course/LessonPlan.h"

#include <algorithm>
#include <string>

namespace {

// The first lesson of each set has no exercise 3.
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

  FDisplay.EnableLessonKeys();

  if (course::Kurs.MaxLektNr > 0 && course::Kurs.MaxLektNr > course::Kurs.LektZeichEnde)
    FDisplay.EnableSatz(SatzAlle);
  course::Kurs.RBSperre = false;
}

void TCourse::EnableSetButtons() {
  if (course::Kurs.MaxLektNr > course::Kurs.LektBuchEnde)
    FDisplay.EnableSatz(SatzZiff);
  if (course::Kurs.MaxLektNr > course::Kurs.LektZiffEnde)
    FDisplay.EnableSatz(SatzZeich);
  if (course::Kurs.MaxLektNr == course::Kurs.LektZeichEnde && course::Kurs.MaxUebNr == 4)
    FDisplay.EnableSatz(SatzAlle);
}

void TCourse::LektADDownClick(const void* Sender) {
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
  if (course::Kurs.LektNr > course::Kurs.LektZeichEnde && course::Kurs.LektZeichEnde > 0) {
    course::Kurs.UebNr = 4;
    FDisplay.EnableSatz(SatzAlle);
  }
  if (course::Kurs.LektNr == course::Kurs.LektZeichEnde && course::Kurs.UebNr == 4)
    course::Kurs.UebNr = 3;
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
  if (course::Kurs.LektNr == course::Kurs.MaxLektNr && course::Kurs.UebNr == 4 && course::Kurs.LektNr < course::Kurs.LektZeichEnde)
    course::Folge.NeuVorn = true;
}

void TCourse::GroupADDownClick(const void*) {
  course::Kurs.GruppenZahl = std::max(course::Kurs.GruppenZahl - GruppenSchritt, MinGruppen);
  FDisplay.ShowGruppenZahl();
}

void TCourse::GroupADUpClick(const void*) {
  course::Kurs.GruppenZahl = std::min(course::Kurs.GruppenZahl + GruppenSchritt, MaxGruppen);
  FDisplay.ShowGruppenZahl();
}

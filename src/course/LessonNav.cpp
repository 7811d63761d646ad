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
  return L == 1 || L == Kurs.LektBuchEnde + 1 || L == Kurs.LektZiffEnde + 1;
}

bool DigitLesson(int32_t L) {
  return L > Kurs.LektBuchEnde && L <= Kurs.LektZiffEnde;
}
bool SignLesson(int32_t L) {
  return L > Kurs.LektZiffEnde && L <= Kurs.LektZeichEnde;
}

uint8_t AsByte(int32_t V) {
  return static_cast<uint8_t>(std::clamp<int32_t>(V, 0, 255));
}

} // namespace

void TCourse::ComputeLesson() {
  Kurs.RBSperre = true;
  TLessonBounds Bounds;
  if (!LessonBoundsOf(Kurs.KursFolge, Bounds)) {
    Kurs.RBSperre = false;
    return;
  }
  Kurs.LektBuchEnde = Bounds.BuchEnde;
  Kurs.LektZiffEnde = Bounds.ZiffEnde;
  Kurs.LektZeichEnde = Bounds.ZeichEnde;

  LessonChars(Kurs.KursFolge, Bounds, Kurs.LektNr, Kurs.LektZeichen, Kurs.NeueZeichen);
  if (DigitLesson(Kurs.LektNr)) {
    FDisplay.EnableSatz(SatzZiff);
    ChooseSatz(SatzZiff);
  } else if (Kurs.LektNr > Kurs.LektZiffEnde && Kurs.LektNr < Kurs.LektZeichEnde) {
    FDisplay.EnableSatz(SatzZeich);
    ChooseSatz(SatzZeich);
  } else if (Kurs.LektNr > Kurs.LektZeichEnde) {
    ChooseSatz(SatzAlle);
  }

  FDisplay.EnableLessonKeys();

  if (Kurs.MaxLektNr > 0 && Kurs.MaxLektNr > Kurs.LektZeichEnde)
    FDisplay.EnableSatz(SatzAlle);
  Kurs.RBSperre = false;
}

void TCourse::EnableSetButtons() {
  if (Kurs.MaxLektNr > Kurs.LektBuchEnde)
    FDisplay.EnableSatz(SatzZiff);
  if (Kurs.MaxLektNr > Kurs.LektZiffEnde)
    FDisplay.EnableSatz(SatzZeich);
  if (Kurs.MaxLektNr == Kurs.LektZeichEnde && Kurs.MaxUebNr == 4)
    FDisplay.EnableSatz(SatzAlle);
}

void TCourse::LektADDownClick(const void* Sender) {
  if (Kurs.MaxLektNr < Kurs.LektNr)
    Kurs.MaxLektNr = Kurs.LektNr;
  if (Sender != nullptr) {
    if (Kurs.LektNr <= 1) {
      Kurs.LektNr = 1;
      FReporter.Beep();
    } else {
      --Kurs.LektNr;
    }
  } else if (Kurs.LektNr < 1) {
    Kurs.LektNr = 1; // a damaged learner record; lessons count from 1
  }
  if (Kurs.LektNr > Kurs.LektZeichEnde && Kurs.LektZeichEnde > 0) {
    Kurs.UebNr = 4;
    FDisplay.EnableSatz(SatzAlle);
  }
  if (Kurs.LektNr == Kurs.LektZeichEnde && Kurs.UebNr == 4)
    Kurs.UebNr = 3;
  if (Kurs.LektNr == Kurs.LektZiffEnde && Kurs.Satz != SatzAlle)
    ChooseSatz(SatzZiff);
  if (Kurs.LektNr == Kurs.LektBuchEnde && Kurs.Satz != SatzAlle)
    ChooseSatz(SatzBuch);
  if (Kurs.LektNr == Kurs.LektZeichEnde && Kurs.Satz != SatzAlle)
    ChooseSatz(SatzZeich);
  ShowLektNr();
  ComputeLesson();
  UebADDownClick(nullptr);
}

void TCourse::LektADUpClick(const void* Sender) {
  if (Sender != nullptr && Kurs.LektNr < Kurs.MaxLektNr) {
    ++Kurs.LektNr;
    if (Kurs.LektNr >= Kurs.MaxLektNr && Kurs.UebNr > Kurs.MaxUebNr) {
      Kurs.LektNr = Kurs.MaxLektNr;
      Kurs.UebNr = Kurs.MaxUebNr;
    }
  }
  if (Kurs.LektNr > Kurs.LektZeichEnde)
    Kurs.UebNr = 4;
  if (Kurs.LektNr > Kurs.MaxLektNr)
    Kurs.LektNr = Kurs.MaxLektNr;
  if (Kurs.LektNr >= Kurs.MaxLektNr && Kurs.UebNr > Kurs.MaxUebNr) {
    Kurs.LektNr = Kurs.MaxLektNr;
    Kurs.UebNr = Kurs.MaxUebNr;
  }
  ShowLektNr();
  LektADDownClick(nullptr);
}

void TCourse::UebADDownClick(const void* Sender) {
  if (Kurs.LektNr == Kurs.MaxLektNr && Kurs.UebNr > Kurs.MaxUebNr)
    Kurs.MaxUebNr = Kurs.UebNr;
  if (Sender != nullptr) {
    if (Kurs.UebNr <= 1) {
      Kurs.UebNr = 1;
      FReporter.Beep();
    } else {
      --Kurs.UebNr;
    }
  }
  if (Kurs.UebNr == 3 && FirstOfASet(Kurs.LektNr))
    Kurs.UebNr = Sender != nullptr ? 2 : 4;
  if (Kurs.LektNr > Kurs.LektZeichEnde)
    Kurs.UebNr = 4;
  ShowUebNr();
  if (Kurs.UebNr == 3)
    CheckSetButtonOfLesson(false);
  ShowNewChars();
}

void TCourse::UebADUpClick(const void* Sender) {
  if (Sender != nullptr) {
    if (Kurs.UebNr >= 4) {
      Kurs.UebNr = 4;
      FReporter.Beep();
    } else {
      ++Kurs.UebNr;
    }
  }
  if (Kurs.LektNr >= Kurs.MaxLektNr && Kurs.UebNr > Kurs.MaxUebNr) {
    Kurs.LektNr = Kurs.MaxLektNr;
    Kurs.UebNr = Kurs.MaxUebNr;
  }
  if (FirstOfASet(Kurs.LektNr) && Kurs.UebNr == 3)
    Kurs.UebNr = 4;
  if (Kurs.LektNr == Kurs.LektZeichEnde && Kurs.UebNr == 4)
    Kurs.UebNr = 3;
  ShowUebNr();
  ShowNewChars();
}

// The set's button runs its handler when it becomes checked, as a click does.
void TCourse::ChooseSatz(int32_t Satz) {
  Kurs.Satz = Satz;
  FDisplay.CheckSatz(Satz);
}

// Chooses the set of the current lesson: letters, digits or signs (the final
// lesson has none of them).
void TCourse::CheckSetButtonOfLesson(bool EnableToo) {
  int32_t Satz = 0;
  if (Kurs.LektNr <= Kurs.LektBuchEnde)
    Satz = SatzBuch;
  else if (DigitLesson(Kurs.LektNr))
    Satz = SatzZiff;
  else if (SignLesson(Kurs.LektNr))
    Satz = SatzZeich;
  else
    return;
  if (EnableToo && Satz != SatzBuch)
    FDisplay.EnableSatz(Satz);
  ChooseSatz(Satz);
}

void TCourse::BRBClick(const void*) {
  Kurs.Satz = SatzBuch;
  if (Kurs.RBSperre)
    return;
  if (Kurs.LektNr > Kurs.LektBuchEnde) {
    Kurs.LektNr = AsByte(Kurs.LektBuchEnde);
    Kurs.UebNr = 4;
  }
  LektADDownClick(nullptr);
}

void TCourse::ZiffRBClick(const void*) {
  Kurs.Satz = SatzZiff;
  if (Kurs.RBSperre)
    return;
  if (Kurs.MaxLektNr >= Kurs.LektZiffEnde) {
    Kurs.LektNr = AsByte(Kurs.LektZiffEnde);
    Kurs.UebNr = 4;
  } else if (Kurs.MaxLektNr > Kurs.LektBuchEnde && Kurs.MaxLektNr < Kurs.LektZiffEnde) {
    Kurs.LektNr = Kurs.MaxLektNr;
    Kurs.UebNr = Kurs.MaxUebNr;
  }
  LektADDownClick(nullptr);
}

void TCourse::ZeichRBClick(const void*) {
  Kurs.Satz = SatzZeich;
  if (Kurs.RBSperre)
    return;
  if (Kurs.MaxLektNr > Kurs.LektZeichEnde) {
    Kurs.LektNr = AsByte(Kurs.LektZeichEnde);
    Kurs.UebNr = 3;
  } else if (Kurs.MaxLektNr > Kurs.LektZiffEnde && Kurs.MaxLektNr <= Kurs.LektZeichEnde) {
    Kurs.LektNr = Kurs.MaxLektNr;
    Kurs.UebNr = Kurs.MaxUebNr;
  }
  LektADDownClick(nullptr);
}

void TCourse::AllRBClick(const void*) {
  Kurs.Satz = SatzAlle;
  if (Kurs.RBSperre)
    return;
  Kurs.LektNr = Kurs.MaxLektNr;
  Kurs.UebNr = Kurs.MaxUebNr;
  LektADDownClick(nullptr);
}

void TCourse::WeiterBtnClick(const void*) {
  if (Folge.Only)
    NormalRBClick(nullptr); // takes Only out with its selection
  if (Kurs.UebNr < 4) {
    ++Kurs.UebNr;
  } else {
    if (Kurs.LektNr < 255)
      ++Kurs.LektNr;
    Kurs.UebNr = 1;
  }
  if (Kurs.LektNr == 1 && Kurs.UebNr == 3)
    Kurs.UebNr = 4;
  if (Kurs.LektNr == Kurs.LektZeichEnde && Kurs.UebNr == 4) {
    ++Kurs.LektNr;
    FDisplay.ShowCongratulation();
  }
  if (Kurs.LektNr > Kurs.LektZeichEnde + 1) {
    Kurs.LektNr = AsByte(Kurs.LektZeichEnde + 1);
    Kurs.UebNr = 4;
  }
  if (Kurs.LektNr > Kurs.MaxLektNr) {
    Kurs.MaxLektNr = Kurs.LektNr;
    Kurs.MaxUebNr = Kurs.UebNr;
  }
  if (Kurs.LektNr == Kurs.MaxLektNr && Kurs.UebNr > Kurs.MaxUebNr)
    Kurs.MaxUebNr = Kurs.UebNr;
  CheckSetButtonOfLesson(true);
  FDisplay.DisableWeiter();
  LektADUpClick(nullptr);
  ChooseSatz(SatzAlle);
  EnableSetButtons();
  if (Kurs.LektNr == Kurs.MaxLektNr && Kurs.UebNr == 4 && Kurs.LektNr < Kurs.LektZeichEnde)
    Folge.NeuVorn = true;
}

void TCourse::GroupADDownClick(const void*) {
  Kurs.GruppenZahl = std::max(Kurs.GruppenZahl - GruppenSchritt, MinGruppen);
  FDisplay.ShowGruppenZahl();
}

void TCourse::GroupADUpClick(const void*) {
  Kurs.GruppenZahl = std::min(Kurs.GruppenZahl + GruppenSchritt, MaxGruppen);
  FDisplay.ShowGruppenZahl();
}

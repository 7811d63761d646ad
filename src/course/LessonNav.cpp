// The lesson plan and the navigation through it: the lesson and exercise
// spin buttons, the set buttons, "Weiter" and the group counter.

#include "course/Course.h"
#include "course/CourseState.h"
#include "course/LessonPlan.h"
#include "windows/Caption.h"

#include <QRadioButton>

#include <algorithm>
#include <string>

namespace {

// The first lesson of each set has no exercise 3.
bool FirstOfASet(int32_t L) {
  return L == 1 || L == LektBuchEnde + 1 || L == LektZiffEnde + 1;
}

bool DigitLesson(int32_t L) {
  return L > LektBuchEnde && L <= LektZiffEnde;
}
bool SignLesson(int32_t L) {
  return L > LektZiffEnde && L <= LektZeichEnde;
}

uint8_t AsByte(int32_t V) {
  return static_cast<uint8_t>(std::clamp<int32_t>(V, 0, 255));
}

} // namespace

void TCourse::ShowLektNr() {
  SetCaption(FView.LektLabel, std::to_string(LektNr));
}

void TCourse::ShowUebNr() {
  SetCaption(FView.UebLabel, std::to_string(UebNr));
  FView.R1Panel->setVisible(UebNr <= 2);
}

void TCourse::ComputeLesson() {
  RBSperre = true;
  TLessonBounds Bounds;
  if (!LessonBoundsOf(KursFolge, Bounds)) {
    RBSperre = false;
    return;
  }
  LektBuchEnde = Bounds.BuchEnde;
  LektZiffEnde = Bounds.ZiffEnde;
  LektZeichEnde = Bounds.ZeichEnde;

  LessonChars(KursFolge, Bounds, LektNr, LektZeichen, NeueZeichen);
  if (DigitLesson(LektNr)) {
    FView.ZiffRB->setEnabled(true);
    FView.ZiffRB->setChecked(true);
  } else if (LektNr > LektZiffEnde && LektNr < LektZeichEnde) {
    FView.ZeichRB->setEnabled(true);
    FView.ZeichRB->setChecked(true);
  } else if (LektNr > LektZeichEnde) {
    FView.AllRB->setChecked(true);
  }

  for (TMButton* Key : FView.Tasten) {
    if (Key == nullptr)
      continue;
    const std::string& C = Key->MChar();
    Key->setEnabled(!C.empty() && LektZeichen.find(C) != std::string::npos);
  }

  if (MaxLektNr > 0 && MaxLektNr > LektZeichEnde)
    FView.AllRB->setEnabled(true);
  RBSperre = false;
}

void TCourse::EnableSetButtons() {
  if (MaxLektNr > LektBuchEnde)
    FView.ZiffRB->setEnabled(true);
  if (MaxLektNr > LektZiffEnde)
    FView.ZeichRB->setEnabled(true);
  if (MaxLektNr == LektZeichEnde && MaxUebNr == 4)
    FView.AllRB->setEnabled(true);
}

void TCourse::LektADDownClick(QObject* Sender) {
  if (MaxLektNr < LektNr)
    MaxLektNr = LektNr;
  if (Sender != nullptr) {
    if (LektNr <= 1) {
      LektNr = 1;
      FReporter.Beep();
    } else {
      --LektNr;
    }
  } else if (LektNr < 1) {
    LektNr = 1; // a damaged learner record; lessons count from 1
  }
  if (LektNr > LektZeichEnde && LektZeichEnde > 0) {
    UebNr = 4;
    FView.AllRB->setEnabled(true);
  }
  if (LektNr == LektZeichEnde && UebNr == 4)
    UebNr = 3;
  if (LektNr == LektZiffEnde && !FView.AllRB->isChecked())
    FView.ZiffRB->setChecked(true);
  if (LektNr == LektBuchEnde && !FView.AllRB->isChecked())
    FView.BRB->setChecked(true);
  if (LektNr == LektZeichEnde && !FView.AllRB->isChecked())
    FView.ZeichRB->setChecked(true);
  ShowLektNr();
  ComputeLesson();
  UebADDownClick(nullptr);
}

void TCourse::LektADUpClick(QObject* Sender) {
  if (Sender != nullptr && LektNr < MaxLektNr) {
    ++LektNr;
    if (LektNr >= MaxLektNr && UebNr > MaxUebNr) {
      LektNr = MaxLektNr;
      UebNr = MaxUebNr;
    }
  }
  if (LektNr > LektZeichEnde)
    UebNr = 4;
  if (LektNr > MaxLektNr)
    LektNr = MaxLektNr;
  if (LektNr >= MaxLektNr && UebNr > MaxUebNr) {
    LektNr = MaxLektNr;
    UebNr = MaxUebNr;
  }
  ShowLektNr();
  LektADDownClick(nullptr);
}

void TCourse::UebADDownClick(QObject* Sender) {
  if (LektNr == MaxLektNr && UebNr > MaxUebNr)
    MaxUebNr = UebNr;
  if (Sender != nullptr) {
    if (UebNr <= 1) {
      UebNr = 1;
      FReporter.Beep();
    } else {
      --UebNr;
    }
  }
  if (UebNr == 3 && FirstOfASet(LektNr))
    UebNr = Sender != nullptr ? 2 : 4;
  if (LektNr > LektZeichEnde)
    UebNr = 4;
  ShowUebNr();
  if (UebNr == 3)
    CheckSetButtonOfLesson(false);
  ShowNewChars();
}

void TCourse::UebADUpClick(QObject* Sender) {
  if (Sender != nullptr) {
    if (UebNr >= 4) {
      UebNr = 4;
      FReporter.Beep();
    } else {
      ++UebNr;
    }
  }
  if (LektNr >= MaxLektNr && UebNr > MaxUebNr) {
    LektNr = MaxLektNr;
    UebNr = MaxUebNr;
  }
  if (FirstOfASet(LektNr) && UebNr == 3)
    UebNr = 4;
  if (LektNr == LektZeichEnde && UebNr == 4)
    UebNr = 3;
  ShowUebNr();
  ShowNewChars();
}

// Checks the set button of the current lesson: BRB, ZiffRB or ZeichRB (the
// final lesson has none of them).
void TCourse::CheckSetButtonOfLesson(bool EnableToo) {
  QRadioButton* Button = nullptr;
  if (LektNr <= LektBuchEnde)
    Button = FView.BRB;
  else if (DigitLesson(LektNr))
    Button = FView.ZiffRB;
  else if (SignLesson(LektNr))
    Button = FView.ZeichRB;
  if (Button == nullptr)
    return;
  if (EnableToo && Button != FView.BRB)
    Button->setEnabled(true);
  Button->setChecked(true);
}

void TCourse::BRBClick(QObject*) {
  if (RBSperre)
    return;
  if (LektNr > LektBuchEnde) {
    LektNr = AsByte(LektBuchEnde);
    UebNr = 4;
  }
  LektADDownClick(nullptr);
}

void TCourse::ZiffRBClick(QObject*) {
  if (RBSperre)
    return;
  if (MaxLektNr >= LektZiffEnde) {
    LektNr = AsByte(LektZiffEnde);
    UebNr = 4;
  } else if (MaxLektNr > LektBuchEnde && MaxLektNr < LektZiffEnde) {
    LektNr = MaxLektNr;
    UebNr = MaxUebNr;
  }
  LektADDownClick(nullptr);
}

void TCourse::ZeichRBClick(QObject*) {
  if (RBSperre)
    return;
  if (MaxLektNr > LektZeichEnde) {
    LektNr = AsByte(LektZeichEnde);
    UebNr = 3;
  } else if (MaxLektNr > LektZiffEnde && MaxLektNr <= LektZeichEnde) {
    LektNr = MaxLektNr;
    UebNr = MaxUebNr;
  }
  LektADDownClick(nullptr);
}

void TCourse::AllRBClick(QObject*) {
  if (RBSperre)
    return;
  LektNr = MaxLektNr;
  UebNr = MaxUebNr;
  LektADDownClick(nullptr);
}

void TCourse::WeiterBtnClick(QObject*) {
  FView.NormalRB->setChecked(true); // also takes OnlyRB out
  if (UebNr < 4) {
    ++UebNr;
  } else {
    if (LektNr < 255)
      ++LektNr;
    UebNr = 1;
  }
  if (LektNr == 1 && UebNr == 3)
    UebNr = 4;
  if (LektNr == LektZeichEnde && UebNr == 4) {
    ++LektNr;
    if (FHooks.ShowCongratulation)
      FHooks.ShowCongratulation();
  }
  if (LektNr > LektZeichEnde + 1) {
    LektNr = AsByte(LektZeichEnde + 1);
    UebNr = 4;
  }
  if (LektNr > MaxLektNr) {
    MaxLektNr = LektNr;
    MaxUebNr = UebNr;
  }
  if (LektNr == MaxLektNr && UebNr > MaxUebNr)
    MaxUebNr = UebNr;
  CheckSetButtonOfLesson(true);
  FView.WeiterBtn->setEnabled(false);
  LektADUpClick(nullptr);
  FView.AllRB->setChecked(true);
  EnableSetButtons();
  if (LektNr == MaxLektNr && UebNr == 4 && LektNr < LektZeichEnde)
    NeuVorn = true;
}

void TCourse::GroupADDownClick(QObject*) {
  GruppenZahl = std::max(GruppenZahl - GruppenSchritt, MinGruppen);
  SetCaption(FView.GroupLabel, std::to_string(GruppenZahl));
}

void TCourse::GroupADUpClick(QObject*) {
  GruppenZahl = std::min(GruppenZahl + GruppenSchritt, MaxGruppen);
  SetCaption(FView.GroupLabel,
             GruppenZahl == MaxGruppen ? std::string("==") : std::to_string(GruppenZahl));
}

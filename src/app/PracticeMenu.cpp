// The copy practice on the main window: its menu item, texts and window,
// and its typed copies counted in the statistics.
#include "app/MainUnit.h"

#include "course/CourseState.h"
#include "storage/Texts.h"
#include "training/PracticeForm.h"
#include "training/SessionState.h"
#include "training/TypedCopy.h"
#include "windows/Caption.h"
#include "windows/Shell.h"

#include <QAction>
#include <QMenu>

#include <memory>

void TAForm::ConnectPractice() {
  if (View.MMenu == nullptr)
    return;
  PracticeItem = new QAction(View.MMenu);
  PracticeItem->setObjectName("PracticeItem");
  View.MMenu->insertAction(View.N1, PracticeItem);
  connect(PracticeItem, &QAction::triggered, this, [this] { PracticeItemClick(); });
  ApplyPracticeTexts();
}

void TAForm::ApplyPracticeTexts() {
  if (PracticeItem == nullptr)
    return;
  const uint8_t Charset = CharsetOf(View.KeyPanel);
  SetCharset(PracticeItem, Charset);
  SetCaption(PracticeItem, PracticeLineText(PracticeMenu));
  const QString Hint = ToUnicode(PracticeLineText(PracticeTitle), Charset);
  PracticeItem->setToolTip(Hint);
  PracticeItem->setStatusTip(Hint);
  if (FPracticeForm != nullptr)
    FPracticeForm->Prepare(Charset);
}

void TAForm::PracticeItemClick() {
  // The practice sounds through the same output: not while a run, the speed
  // test or a block of the window is under way.
  if (!training::Sitzung.Idle || training::Sitzung.TestLaeuft || sound::Ausgabe.Playing ||
      sound::Ausgabe.MemPlaying)
    return;
  if (FPracticeForm == nullptr) {
    FPracticeForm = std::make_unique<TPracticeForm>(Player, Reporter, this);
    FPracticeForm->OnScored = [this](const std::vector<TStatRun>& Run) {
      TStatistik& Stat = FCopy->Statistik();
      Stat.AddRun(course::Tastatur.InputLayoutNr, Run);
      SaveStatistik(Stat, Reporter, FPracticeStatTold, FPracticeStatFullTold);
    };
    FPracticeForm->Schwaechen = [this] { return FCopy->Schwaechen(); };
    // The run as a whole goes in with the characters' results, saved by
    // OnScored right after it.
    FPracticeForm->OnPracticeRun = [this](const TPracticeLauf& Lauf) {
      FCopy->Statistik().AddPracticeLauf(course::Tastatur.InputLayoutNr, Lauf);
    };
    // The band conditions are kept where the options are; a file that
    // cannot be written is told once per run of the program.
    FPracticeForm->KeepBand = [this,
                               Told = std::make_shared<bool>(false)](const practice::TBand& Band) {
      SaveBandOptionen(Band, Reporter, *Told);
    };
    FPracticeForm->SetBand(LoadBandOptionen());
  }
  FPracticeForm->Prepare(CharsetOf(View.KeyPanel));
  Shell.ShowModal(*FPracticeForm);
}

// Results: the end of a run of exercises 2 and 3, and of exercise 4 with its
// text window and the question about marking characters.
#include "training/Session.h"

#include "course/CourseState.h"
#include "sound/SoundState.h"
#include "training/SessionState.h"
#include "training/SessionText.h"
#include "windows/Caption.h"
#include "windows/Texts.h"

#include <QApplication>
#include <QRadioButton>

void TSession::EndUebung23() {
  const bool Drei = UebNr == 3;
  SessionEnd();
  if (Fehler > 0)
    FReporter.ShowMessage(Line(MessagesText, 1) + "\n\r" + Line(MessagesText, 3));
  else if (LektNr == MaxLektNr)
    FView.WeiterBtn->setEnabled(true);
  // SessionEnd gave every key FreiClick back.
  UebFolge.clear();
  if (Drei) {
    FKeyPreview = true;
    FView.RepBtn->hide();
    FTimer1.SetEnabled(false);
    FTimer1.SetOnTimer(nullptr);
  }
}

void TSession::EndUebung4() {
  FTimer1.SetEnabled(false);
  if (MaxLektNr > LektZeichEnde)
    FWindow.PlayCode("...-.-");
  QApplication::setOverrideCursor(Qt::WaitCursor);
  FWindow.WaitMs(static_cast<int32_t>(static_cast<int64_t>(SoundLen) * 1000 / SamplesPerSec));
  QApplication::restoreOverrideCursor();
  SessionEnd();
  FView.KeyPanel->setEnabled(true);
  FWindow.ShowTextWindow();
  RestoreTasten();
  if (!FReporter.AskYesNo(Line(MessagesText, 2))) {
    UebFolge.clear();
    MarkModus = false;
    // Unless Only keeps its selection: every mark cleared, every key red,
    // as Normal does.
    if (!FView.OnlyRB->isChecked())
      FCourse.NormalRBClick(nullptr);
    if (NeuVorn)
      NeuVorn = false;
    else if (LektNr == MaxLektNr)
      FView.WeiterBtn->setEnabled(true);
  } else {
    MarkModus = true;
  }
  UebFolge.clear();
}

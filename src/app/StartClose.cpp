// The main window's start-up and close sequences, and the window events that
// run them: the first activation or showing, the close, the end of the
// desktop session.
#include "app/MainUnit.h"

#include "app/StorageView.h"
#include "course/Course.h"
#include "course/CourseState.h"
#include "sound/SoundState.h"
#include "storage/IntFile.h"
#include "storage/Kund.h"
#include "storage/StorageState.h"
#include "training/Session.h"
#include "training/SessionState.h"
#include "training/TypedCopy.h"
#include "windows/Caption.h"
#include "windows/Help.h"
#include "windows/QtReporter.h"
#include "windows/WindowPlace.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>

// ---------------------------------------------------------------------------
// Start and end

void TAForm::FormActivate() {
  if (FStartUpHeld)
    return;
  ++FStartUpRequests;
  StartUpSequence();
}

void TAForm::FormClose() {
  CloseSequence(FAskOnClose);
}

void TAForm::StartUpSequence() {
  if (FStartedUp)
    return;
  FStartedUp = true;
  const bool KundWritable = LoadKund(FFirstSprachNr);
  FKundAsRead = storage::Kund;
  if (!KundWritable) {
    // Said now, so that the learner knows before working; the close does
    // not say it again.
    TellKundNotSaved(Reporter, FKundNotSavedTold);
    if (FClosedDown)
      return; // ended while the message was shown
  }
  if (View.Tasten[0] == nullptr)
    CreateKeys(View, &FKeyContext);
  // The keys are drawn on KeyPanel itself; its panels and buttons lie over
  // them, so the page of the new characters hides the keyboard while shown.
  for (QWidget* Over : {static_cast<QWidget*>(View.R1Panel), static_cast<QWidget*>(View.TimePanel),
                        static_cast<QWidget*>(View.RepBtn)})
    if (Over != nullptr)
      Over->raise();
  FCourseView->Connect(*FCourse);
  WireSession(*FSession);

  course::StartAtRecord(storage::Kund.MaxLektNr, storage::Kund.MaxUebNr);
  // The controls keep the stored values within their ranges.
  RestoreKundControls(View);

  QAction* Item = nullptr;
  switch (storage::Kund.SprachNr) {
  case 1:
    Item = View.English;
    break;
  case 2:
    Item = View.German;
    break;
  case 3:
    Item = View.Russish;
    break;
  case 4:
    Item = View.Turkish;
    break;
  default:
    break; // no layout: the built-in captions stay, no keyboard
  }
  if (Item != nullptr && LayoutClick(Item) == TLayoutSwitch::Closing)
    return; // "Leng.dat" is missing: the window has closed
  if (FClosedDown)
    return;

  SetCaption(View.SpeedLB, std::to_string(View.SpeedUD->Position()));
  sound::SetSpeed(View.SpeedUD->Position()); // Ton follows with TnBarChange
  View.VerhaltUD->SetPosition(30);
  AbstandUDChanging(View.AbstandUD->Position());
  VerhaltUDChanging(View.VerhaltUD->Position());
  FrontBarChange();
  TnBarChange();
  SetCaption(View.VerhLB, "3.0");
  // From here on the program's values are the learner's: a close while the
  // interval table's message is shown saves them.
  FSettingsApplied = true;
  ReadIntFile(Reporter);
  if (FClosedDown)
    return; // ended while the message was shown
  LoadIntervall(View.SpeedUD->Position());
  SetCaption(View.GroupLabel, std::to_string(course::Kurs.GruppenZahl));
  FSession->ArrangeIcons();
  FCourse->LektADDownClick(nullptr);
  FCourse->EnableSetButtons();
  StartCopy();
  FStartUpDone = true;
}

void TAForm::CloseSequence(bool Ask) {
  if (FClosedDown)
    return;
  FClosedDown = true;
  if (!FStartedUp)
    return; // nothing was read, so nothing is stored over the file
  TKundValues Values;
  if (FSettingsApplied) {
    course::RollBackBeforeSaving();
    // The engine's values are the learner's whichever window is open: the
    // replay window sounds at a timing of its own.
    Values = KundValuesOf(course::Kurs.MaxLektNr, course::Kurs.MaxUebNr);
  } else {
    // Closed during the start-up ("Leng.dat" missing): the record is stored
    // as it was read, not with values the start-up had not yet applied.
    Values = {FKundAsRead.MaxLektNr, FKundAsRead.MaxUebNr, FKundAsRead.Speed,
              FKundAsRead.Ton,       FKundAsRead.Abstand,  FKundAsRead.Front};
    storage::SetSprachNr(FKundAsRead.SprachNr);
  }
  // Without the question nobody need be there to read a box: a failed save
  // is said on standard error and the end goes on.
  TStderrReporter Unattended(CharsetOf(View.KeyPanel));
  TMessageReporter& Tell = Ask ? Reporter : Unattended;
  KundSpeichern(Values, Tell, FKundNotSavedTold);
  // A run's figures whose question is still open count as they do when the
  // question is taken away by the end.
  if (FCopy)
    FCopy->SaveAtEnd(Tell);
  course::ReleaseSequence();
  Player.CloseDevice();
  if (Ask)
    SaveIntAtClose(Reporter);
}

void TAForm::EndSession() {
  FAskOnClose = false;
  if (!FClosedDown)
    FormClose();
  close();
}

// Qt reports every return of the focus as an activation; the start-up
// sequence runs at the first one only.
void TAForm::changeEvent(QEvent* Event) {
  QMainWindow::changeEvent(Event);
  if (Event->type() == QEvent::ActivationChange && isActiveWindow())
    FirstActivation();
}

void TAForm::FirstActivation() {
  if (FActivated)
    return;
  FActivated = true;
  FormActivate();
}

void TAForm::closeEvent(QCloseEvent* Event) {
  FormClose();
  if (FHelpWindow != nullptr)
    FHelpWindow->close();
  Event->accept();
}

void TAForm::showEvent(QShowEvent* Event) {
  if (!FShown) {
    FShown = true;
    CentreOnScreen(*this);
    // A desktop without a window manager, or one that does not focus new
    // windows, never activates the window: the start-up then follows the
    // first showing, once the window is on the screen.
    QMetaObject::invokeMethod(
        this, [this] { FirstActivation(); }, Qt::QueuedConnection);
  }
  QMainWindow::showEvent(Event);
}

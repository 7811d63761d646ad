// Results: the end of a run of exercises 2 and 3, and of exercise 4 with its
// text window and the question about marking characters.
#include "training/Session.h"

#include "course/CourseState.h"
#include "sound/SoundState.h"
#include "training/SessionState.h"
#include "training/SessionText.h"
#include "training/Reaction.h"
#include "training/TypedCopy.h"
#include "windows/Caption.h"
#include "storage/Texts.h"

#include <QApplication>
#include <QRadioButton>

void TSession::EndUebung23() {
  const bool Drei = course::Kurs.UebNr == 3;
  if (FCopy != nullptr)
    FCopy->RunEnded23();
  SessionEnd();
  if (training::Sitzung.Fehler > 0) {
    FReporter.ShowMessage(Line(storage::Texte.MessagesText, 1) + "\n\r" + Line(storage::Texte.MessagesText, 3));
  } else if (course::Kurs.LektNr == course::Kurs.MaxLektNr) {
    FView.WeiterBtn->setEnabled(true);
    // Lesson 1 asks all its characters in exercise 2: "Weiter" skips 3.
    Say(course::Kurs.LektNr == 1 && !Drei ? StatusPassedLesson1 : StatusPassed);
  } else {
    Say(StatusPassedBelow);
  }
  // The run's median reaction beside the result, whatever it was.
  if (FReaction != nullptr)
    SayAlso(FReaction->ResultText());
  // SessionEnd gave every key FreiClick back.
  course::ClearSequence();
  if (Drei) {
    FView.RepBtn->hide();
    FTimer1.SetEnabled(false);
  }
}

void TSession::EndUebung4() {
  FTimer1.SetEnabled(false);
  // No more groups: Stop still ends the run until its end has been heard.
  training::EnterPhase(training::TPhase::Ending);
  // The text window opens when the end signal has been heard, or, without
  // one, when the last pause has run out; the window stays responsive
  // meanwhile.
  if (course::Kurs.MaxLektNr > course::Kurs.LektZeichEnde)
    FWindow.PlayCode("...-.-", Then([this] { AtDue([this] { ShowResults4(); }); }));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (!sound::Ausgabe.Playing)
    AtDue([this] { ShowResults4(); });
}

void TSession::ShowResults4() {
  // Stop may have ended the run while its end was being heard.
  if (training::Sitzung.Phase != training::TPhase::Ending)
    return;
  QApplication::restoreOverrideCursor();
  SessionEnd();
  // The run is over (a Stop now has nothing to stop); the text window and
  // the question follow.
  training::EnterPhase(training::TPhase::Replay);
  FView.KeyPanel->setEnabled(true);
  // Typing goes on up to here; the window shows the copy scored.
  const TMemScore* Score = FCopy != nullptr ? FCopy->TypingEnds() : nullptr;
  FWindow.ShowTextWindow(Score);
  RestoreTasten();
  // A scored copy proposes its answer as the default button.
  const bool Yes = Score != nullptr ? FReporter.AskYesNoDefault(Line(storage::Texte.MessagesText, 2),
                                                                FCopy->ProposedAnswer(true))
                                    : FReporter.AskYesNo(Line(storage::Texte.MessagesText, 2));
  if (!Yes) {
    course::ClearSequence();
    course::SetMarkModus(false);
    // Unless Only keeps its selection: every mark cleared, every key red,
    // as Normal does.
    if (!course::Folge.Only)
      FCourse.NormalRBClick(nullptr);
    if (course::Folge.NeuVorn) {
      course::SetNeuVorn(false);
      Say(StatusIntroNo);
    } else if (course::Kurs.LektNr == course::Kurs.MaxLektNr) {
      FView.WeiterBtn->setEnabled(true);
    } else {
      Say(StatusPassedBelow);
    }
  } else {
    course::SetMarkModus(true);
    if (course::Folge.NeuVorn)
      Say(StatusIntroYes);
  }
  if (FCopy != nullptr)
    FCopy->Answered(Yes);
  course::ClearSequence();
  training::EnterPhase(training::TPhase::Idle);
}

void TSession::Say(TStatusLine Line) {
  if (FView.StatusLabel != nullptr)
    SetCaption(FView.StatusLabel, StatusLineText(Line));
}

void TSession::SayNothing() {
  if (FView.StatusLabel != nullptr)
    SetCaption(FView.StatusLabel, "");
}

void TSession::SayAlso(const std::string& Text) {
  if (FView.StatusLabel == nullptr || Text.empty())
    return;
  const std::string Was = CaptionOf(FView.StatusLabel);
  SetCaption(FView.StatusLabel, Was.empty() ? Text : Was + ' ' + Text);
}

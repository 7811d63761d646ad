#include "training/Session.h"

#include "course/CourseState.h"
#include "sound/Player.h"
#include "course/LessonPlan.h"
#include "sound/SoundState.h"
#include "storage/Layouts.h"
#include "training/SessionState.h"
#include "training/Reaction.h"
#include "training/TypedCopy.h"
#include "training/SessionText.h"
#include "windows/Caption.h"
#include "windows/ExerciseIcons.h"
#include "windows/SoundFile.h"
#include "storage/Texts.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>

#include <algorithm>

namespace {

const QColor IdleColor(0x00, 0x80, 0x00);    // green
const QColor RunningColor(0xFF, 0x00, 0x00); // red

constexpr uint16_t FirstTickMarker = 1; // ms: the next Uebung4Tick is the first
constexpr int32_t Plays = 6;            // exercise 1: plays of a character after the first
constexpr int32_t Endless = 55;         // GruppenZahl that never ends

// Milliseconds as the 16-bit interval of a timer.
uint16_t Ms16(int64_t Ms) {
  return static_cast<uint16_t>(Ms);
}

// A pause that the timer can keep: a timer never ticks at 0 ms, and 1 ms
// marks the first tick of exercise 4, so a speed whose Intervall is 0 would
// otherwise stop the exercise before its first character.
constexpr uint16_t MinPauseMs = 2;
uint16_t PauseMs(int64_t Ms) {
  return std::max(Ms16(Ms), MinPauseMs);
}

// The lead-in pause and the pause after the first character of a new round.
uint16_t LeadInMs() {
  return PauseMs(2 * static_cast<int64_t>(sound::Klang.Intervall) * sound::Klang.Abstand / 10);
}

training::TPhaseObserver& PhaseObserver() {
  static training::TPhaseObserver Observer;
  return Observer;
}

} // namespace

// ---------------------------------------------------------------------------
// The phases and their transitions

const char* training::PhaseName(TPhase Phase) {
  switch (Phase) {
  case TPhase::Idle:
    return "Idle";
  case TPhase::Presenting:
    return "Presenting";
  case TPhase::Awaiting:
    return "Awaiting";
  case TPhase::Correcting:
    return "Correcting";
  case TPhase::LeadIn:
    return "LeadIn";
  case TPhase::Groups:
    return "Groups";
  case TPhase::Ending:
    return "Ending";
  case TPhase::SpeedTest:
    return "SpeedTest";
  case TPhase::Replay:
    return "Replay";
  }
  return "?";
}

bool training::MayEnter(TPhase From, TPhase To) {
  using enum TPhase;
  if (From == To)
    return true;
  // Stop, a lost output and the end of every run lead back to Idle.
  if (To == Idle)
    return true;
  switch (From) {
  case Idle:
    // Start begins the exercise chosen (exercise 4 with its lead-in), Test
    // the speed test; the text window follows exercise 4 once the run has
    // ended, so that its end is saved whatever the learner answers.
    return To == Presenting || To == Awaiting || To == LeadIn || To == SpeedTest || To == Replay;
  case Awaiting:
    // A wrong answer is corrected before the next character.
    return To == Correcting;
  case Correcting:
    // After the third sounding the run goes on with the next character.
    return To == Awaiting;
  case LeadIn:
    // The count-down's last second, or the break sign BT, opens the groups.
    return To == Groups;
  case Groups:
    // After the last group the end signal (or the last pause) is heard
    // before the results; endless groups never get here.
    return To == Ending;
  case Presenting:
  case Ending:
  case SpeedTest:
  case Replay:
    return false;
  }
  return false;
}

bool training::EnterPhase(TPhase To) {
  const TPhase From = Sitzung.Phase;
  const bool Entered = MayEnter(From, To);
  if (Entered) {
    Sitzung.Phase = To;
    // The speed test and the text window run with no session running: the
    // hover keys and the free keys behave as when idle.
    Sitzung.Idle = To == TPhase::Idle || To == TPhase::SpeedTest || To == TPhase::Replay;
    Sitzung.TestLaeuft = To == TPhase::SpeedTest;
  } else {
    qWarning("session: no transition from %s to %s", PhaseName(From), PhaseName(To));
  }
  if (PhaseObserver())
    PhaseObserver()(From, To, Entered);
  return Entered;
}

void training::SetPhaseObserver(TPhaseObserver Observer) {
  PhaseObserver() = std::move(Observer);
}

TSession::TSession(TCourseView& CourseView, TCourse& Course, TTickTimer& ArbTimer,
                   TTickTimer& Timer1, TMessageReporter& Reporter, TSessionWindow& Window)
    : FView(CourseView.View()), FCourseView(CourseView), FCourse(Course), FArbTimer(ArbTimer),
      FTimer1(Timer1), FReporter(Reporter), FWindow(Window) {
  FCourseView.SetKeySound(this);
  // One handler each, for the whole life of the session: what a tick does
  // is the phase's concern, not the handler's.
  FArbTimer.SetOnTimer([this] { ArbTimerTick(); });
  FTimer1.SetOnTimer([this] { Timer1Tick(); });
}

TSession::~TSession() {
  FFilter.reset();
  FContext.reset();
  FCourseView.SetKeySound(nullptr);
  FArbTimer.SetEnabled(false);
  FArbTimer.SetOnTimer(nullptr);
  FTimer1.SetEnabled(false);
  FTimer1.SetOnTimer(nullptr);
}

TMButton* TSession::NeuTaste(int32_t I) const {
  return I >= 1 && I <= static_cast<int32_t>(FView.NeuTasten.size())
             ? FView.NeuTasten[static_cast<size_t>(I) - 1]
             : nullptr;
}

TMButton* TSession::Taste(int32_t I) const {
  return I >= 1 && I <= static_cast<int32_t>(FView.Tasten.size())
             ? FView.Tasten[static_cast<size_t>(I) - 1]
             : nullptr;
}

std::string TSession::WaveFileName(const std::string& Caption) const {
  return SoundFileName(Caption, CharsetOf(FView.KeyPanel));
}

// ---------------------------------------------------------------------------
// Begin and end

void TSession::SessionBegin() {
  // The new characters open only the groups that follow the move on; a
  // learner who turns to an earlier exercise first meets them there.
  if (course::Kurs.UebNr < 4)
    course::SetNeuVorn(false);
  FView.TestBtn->setEnabled(false);
  FArbTimer.SetEnabled(false);
  SetCaption(FView.StartBtn, Line(storage::Texte.ButtonsText, 2));
  FView.WeiterBtn->setEnabled(false);
  FView.InfPanel->setEnabled(false);
  // Groups and the speed test take no answers on the keys: the groups are
  // written down (or typed into the copy), the speed test only sounds.
  if (course::Kurs.UebNr == 4 || training::Sitzung.TestLaeuft)
    FView.KeyPanel->setEnabled(false);
  FView.GroupBox1->setEnabled(false);
  FView.IcoPanel->SetColor(RunningColor);
  SetCaption(FView.TimeLabel, "00:00");
  FView.Keyboard1->setEnabled(false);
  // Exercise 1 presents, 2 and 3 ask, 4 is led in before its groups.
  switch (course::Kurs.UebNr) {
  case 1:
    training::EnterPhase(training::TPhase::Presenting);
    break;
  case 4:
    training::EnterPhase(training::TPhase::LeadIn);
    break;
  default:
    training::EnterPhase(training::TPhase::Awaiting);
    break;
  }
  // The keys answer from now on; the course may have wired them anew while
  // idle.
  WireKeys();
  ArrangeIcons();
  SayNothing();
}

void TSession::SessionEnd() {
  FView.KeyPanel->setEnabled(true);
  FView.TestBtn->setEnabled(true);
  SetCaption(FView.TestBtn, CaptionText(CaptionTestBtn));
  SetCaption(FView.StartBtn, Line(storage::Texte.ButtonsText, 1));
  FView.StartBtn->setEnabled(true);
  FView.InfPanel->setEnabled(true);
  FView.IcoPanel->SetColor(IdleColor);
  FView.GroupBox1->setEnabled(true);
  FView.TimePanel->hide();
  training::Sitzung.KorrZaehler = 0;
  FView.Keyboard1->setEnabled(true);
  if (course::Kurs.UebNr < course::Kurs.MaxUebNr)
    FView.WeiterBtn->setEnabled(false);
  // Whatever ended the run (its last answer, exercise 1's last character,
  // Stop, the speed test's end), nothing more follows from it.
  training::EnterPhase(training::TPhase::Idle);
  FTimer1.SetEnabled(false);
  FArbTimer.SetEnabled(false);
  ArrangeIcons();
  WireKeys();
}

void TSession::StopSounds() {
  FArbTimer.Cancel();
  if (TPlayer* P = FWindow.SoundPlayer())
    P->TakeBack();
  // Exercise 4's end waits with the wait cursor; the run ends here instead.
  if (training::Sitzung.Phase == training::TPhase::Ending)
    QApplication::restoreOverrideCursor();
}

void TSession::AtHeardStart(std::function<void()> Fn) {
  if (TPlayer* P = FWindow.SoundPlayer())
    P->AtHeardStart(std::move(Fn));
  else
    Fn();
}

void TSession::AtDue(std::function<void()> Fn) {
  if (TPlayer* P = FWindow.SoundPlayer())
    P->AtDue(std::move(Fn));
  else
    Fn();
}

bool TSession::Sounding() {
  TPlayer* P = FWindow.SoundPlayer();
  return P != nullptr ? P->Sounding() : sound::Ausgabe.Playing;
}

void TSession::AnswerBeforeSound() {
  TPlayer* P = FWindow.SoundPlayer();
  if (P != nullptr && sound::Ausgabe.Playing && !P->Sounding())
    P->TakeBack();
}

void TSession::WireKeys() {
  for (TMButton* Key : FView.Tasten)
    if (Key != nullptr)
      Key->OnClick = [this](TMButton* K) { KeyClick(K); };
  for (TMButton* Key : FView.NeuTasten)
    if (Key != nullptr)
      Key->OnClick = [this](TMButton* K) { KeyClick(K); };
}

bool TSession::IsNeuTaste(const TMButton* Key) const {
  return std::find(FView.NeuTasten.begin(), FView.NeuTasten.end(), Key) != FView.NeuTasten.end();
}

bool TSession::KeyPreview() const {
  const training::TPhase P = training::Sitzung.Phase;
  return P != training::TPhase::LeadIn && P != training::TPhase::Groups &&
         P != training::TPhase::Ending;
}

// ---------------------------------------------------------------------------
// The handlers, acting as the phase says

void TSession::ArbTimerTick() {
  switch (training::Sitzung.Phase) {
  case training::TPhase::Presenting:
    Uebung1Tick();
    break;
  case training::TPhase::Awaiting:
    if (course::Kurs.UebNr == 2)
      Uebung2Tick();
    else
      Uebung3Tick();
    break;
  case training::TPhase::Correcting:
    KorrekturTick();
    break;
  case training::TPhase::LeadIn:
    VorlaufTick();
    break;
  case training::TPhase::Groups:
    Uebung4Tick();
    break;
  case training::TPhase::SpeedTest:
    if (FSpeedTest != nullptr)
      FSpeedTest->SpeedTestTick();
    break;
  case training::TPhase::Idle:
  case training::TPhase::Ending:
  case training::TPhase::Replay:
    // A tick that slipped past a Stop starts nothing.
    FArbTimer.SetEnabled(false);
    break;
  }
}

void TSession::Timer1Tick() {
  switch (training::Sitzung.Phase) {
  case training::TPhase::LeadIn:
    CountdownTick();
    break;
  case training::TPhase::Awaiting:
  case training::TPhase::Correcting:
    if (course::Kurs.UebNr == 3)
      RepFreigabe();
    break;
  default:
    break;
  }
}

void TSession::KeyClick(TMButton* Key) {
  const bool Neu = IsNeuTaste(Key);
  switch (training::Sitzung.Phase) {
  case training::TPhase::Presenting:
    // The key of the character presented stays down: a click on a large key
    // changes nothing meanwhile.
    if (Neu)
      return;
    break;
  case training::TPhase::Awaiting:
  case training::TPhase::Correcting:
    // Exercise 2 is answered on the large keys, exercise 3 on the keyboard.
    if (course::Kurs.UebNr == 2 && Neu) {
      Antwort2(Key);
      return;
    }
    if (course::Kurs.UebNr == 3 && !Neu) {
      Antwort3(Key);
      return;
    }
    break;
  default:
    break;
  }
  FreiClick(Key);
}

bool TSession::OnlyPauseFollows() const {
  const training::TPhase P = training::Sitzung.Phase;
  return P == training::TPhase::Presenting || P == training::TPhase::LeadIn ||
         P == training::TPhase::Groups || P == training::TPhase::Ending;
}

TBlockEnd TSession::Then(std::function<void()> Fn) {
  const training::TPhase P = training::Sitzung.Phase;
  return {[this, P, Fn = std::move(Fn)] {
            if (training::Sitzung.Phase == P)
              Fn();
            else
              ResumeAfterSound();
          },
          OnlyPauseFollows()};
}

TBlockEnd TSession::ThenTick() {
  return Then([this] { FArbTimer.SetEnabled(true); });
}

void TSession::RestoreTasten() {
  for (size_t I = 0; I < FView.Tasten.size(); ++I)
    if (FView.Tasten[I] != nullptr)
      FView.Tasten[I]->setEnabled(training::Sitzung.TastenAktiv[I + 1]);
}

void TSession::StartBtnClick() {
  // Start while idle, Stop while a run goes on; the speed test and the text
  // window keep the button off.
  if (training::Sitzung.Phase == training::TPhase::SpeedTest ||
      training::Sitzung.Phase == training::TPhase::Replay)
    return;
  if (training::Sitzung.Phase == training::TPhase::Idle) {
    // The run switches keys off as its exercise needs; the lesson's own
    // choice of keys comes back when it ends (RestoreTasten).
    for (size_t I = 0; I < FView.Tasten.size(); ++I)
      training::Sitzung.TastenAktiv[I + 1] = FView.Tasten[I] != nullptr && FView.Tasten[I]->Enabled();
    // A large key left down by exercise 1 would look like a given answer.
    for (TMButton* Key : FView.NeuTasten) {
      if (Key == nullptr)
        continue;
      Key->SetGroupIndex(0);
      Key->SetAllowAllUp(true);
      Key->SetDown(false);
    }
    SessionBegin();
    switch (course::Kurs.UebNr) {
    case 1:
      StartUebung1();
      break;
    case 2:
      StartUebung2();
      break;
    case 3:
      StartUebung3();
      break;
    case 4:
      StartUebung4();
      break;
    default:
      break;
    }
    if (FCopy != nullptr)
      FCopy->RunStarted(FWindow.LayoutNr());
    return;
  }
  if (FCopy != nullptr)
    FCopy->RunStopped();
  // Stop: what was placed ahead is taken back and a sound being heard fades
  // out at once, with no end to come, so a run started right away is not
  // answered by the old sound's end. A correction
  // stopped halfway gives back what it took: the large keys of exercise 2
  // (the keys of exercise 3 come back below), and the item it settled goes
  // with the run, so that the next run judges its first answer.
  StopSounds();
  FView.R1Panel->setEnabled(true);
  training::Sitzung.FehlerGezeigt = false;
  RestoreTasten();
  SessionEnd();
  FView.WeiterBtn->setEnabled(false);
  FTimer1.SetEnabled(false);
  FView.RepBtn->hide();
  FCourse.ShowNewChars();
  WireKeys();
}

// ---------------------------------------------------------------------------
// Exercise 1: the new characters presented

void TSession::StartUebung1() {
  const int32_t N = static_cast<int32_t>(std::min(course::Kurs.NeueZeichen.size(), FView.NeuTasten.size()));
  for (int32_t I = 1; I <= N; ++I) {
    TMButton* Key = NeuTaste(I);
    if (Key == nullptr || !Key->Enabled())
      continue;
    // One group that cannot be all up: the key of the character being
    // presented stays down, and a click on a key changes nothing meanwhile.
    Key->SetGroupIndex(77);
    Key->SetAllowAllUp(false);
    const int32_t P = Key->MChar().empty() ? 0 : LetterPos(Key->MChar()[0]);
    Key->SetMWort(P >= 1 && P <= MaxLetters ? course::Kurs.MerkWoerter[static_cast<size_t>(P)]
                                            : std::string());
  }
  // The characters are presented one at a time, in lesson order; a key is
  // usable once its character has been heard.
  for (int32_t I = 2; I <= N; ++I)
    if (TMButton* Key = NeuTaste(I))
      Key->setEnabled(false);
  FView.R1Panel->show();
  training::Sitzung.Wiederholungen = Plays;
  // Exercise 1 has no sequence: UebLaenge counts the character presented.
  course::SetUebLaenge(1);
  if (TMButton* First = NeuTaste(1)) {
    First->SetDown(true);
    SetCaption(FView.MerkWLabel, CaptionOf(First) + "\n\r" + First->MWort());
  }
  FArbTimer.SetInterval(100);
  FArbTimer.SetEnabled(true);
}

void TSession::Uebung1Tick() {
  FArbTimer.SetEnabled(false);
  const int32_t N = static_cast<int32_t>(std::min(course::Kurs.NeueZeichen.size(), FView.NeuTasten.size()));
  --training::Sitzung.Wiederholungen;
  if (training::Sitzung.Wiederholungen >= 0) {
    TMButton* Key = NeuTaste(course::Folge.UebLaenge);
    if (Key == nullptr)
      return;
    FWindow.PlayCodeThenWave(Key->MCode(), WaveFileName(CaptionOf(Key) + ".wav"),
                             Then([this] { Uebung1Weiter(); }));
    return;
  }
  course::SetUebLaenge(course::Folge.UebLaenge + 1);
  if (course::Folge.UebLaenge > N) {
    for (int32_t I = 1; I <= N; ++I) {
      TMButton* Key = NeuTaste(I);
      if (Key == nullptr)
        continue;
      Key->setEnabled(true);
      Key->SetAllowAllUp(true);
      Key->SetGroupIndex(0);
      Key->SetDown(false);
    }
    FView.WeiterBtn->setEnabled(true);
    SessionEnd();
    return;
  }
  training::Sitzung.Wiederholungen = Plays;
  TMButton* Key = NeuTaste(course::Folge.UebLaenge);
  if (Key == nullptr)
    return;
  FWindow.PlayCodeThenWave(Key->MCode(), WaveFileName(CaptionOf(Key) + ".wav"),
                           Then([this] { Uebung1Weiter(); }));
  // The key goes down, and its mnemonic shows, when its first sound is heard.
  AtHeardStart([this, Key, N, Pos = course::Folge.UebLaenge] {
    for (int32_t I = 1; I <= N; ++I)
      if (TMButton* Other = NeuTaste(I); Other != nullptr && I != Pos)
        Other->setEnabled(false);
    Key->setEnabled(true);
    Key->SetDown(true);
    if (!CaptionOf(Key).empty())
      SetCaption(FView.MerkWLabel, CaptionOf(Key) + "\n\r" + Key->MWort());
  });
}

// Short pauses between the plays of one character, a long one after its last
// play, so the learner hears where the next character begins.
void TSession::Uebung1Weiter() {
  FArbTimer.SetInterval(training::Sitzung.Wiederholungen == 0 ? 1500 : 500);
  FArbTimer.SetEnabled(true);
}

// ---------------------------------------------------------------------------
// Exercise 2: the new characters asked

void TSession::StartUebung2() {
  for (TMButton* Key : FView.Tasten)
    if (Key != nullptr)
      Key->setEnabled(false);
  for (TMButton* Key : FView.NeuTasten) {
    if (Key == nullptr)
      continue;
    if (Key->Enabled()) {
      Key->SetGroupIndex(0);
      Key->SetAllowAllUp(true);
      Key->SetDown(false);
      const int32_t P = Key->MChar().empty() ? 0 : LetterPos(Key->MChar()[0]);
      Key->SetMWort(P >= 1 && P <= MaxLetters ? course::Kurs.MerkWoerter[static_cast<size_t>(P)]
                                              : std::string());
    }
  }
  training::Sitzung.Fehler = 0;
  FCourse.DrawExercise();
  training::Sitzung.UebPos = 0;
  FArbTimer.SetEnabled(true);
}

void TSession::Uebung2Tick() {
  FArbTimer.SetEnabled(false);
  if (training::Sitzung.UebPos < 0 ||
      training::Sitzung.UebPos >= static_cast<int32_t>(course::Folge.UebFolge.size()))
    return;
  if (TMButton* Key =
          NeuTaste(course::Folge.UebFolge[static_cast<size_t>(training::Sitzung.UebPos)]))
    FWindow.PlayCode(Key->MCode(), Then([this] { ItemHeard(); }));
}

// ---------------------------------------------------------------------------
// Exercise 3: all characters of the lesson asked

void TSession::SoundItem(size_t I, TBlockEnd End) {
  if (I >= course::Folge.UebFolge.size())
    return;
  const int32_t P = course::Folge.UebFolge[I];
  const char C = P >= 1 && P <= static_cast<int32_t>(course::Kurs.KursFolge.size())
                     ? course::Kurs.KursFolge[static_cast<size_t>(P) - 1]
                     : '\0';
  training::Sitzung.SollCode = CodeOf(C);
  FWindow.PlayCode(training::Sitzung.SollCode, std::move(End));
}

void TSession::StartUebung3() {
  SessionBegin();
  training::Sitzung.RepZaehler = 0;
  FView.R1Panel->hide();
  FView.RepBtn->show();
  FView.RepBtn->setEnabled(false);
  // Repeat is offered only after 15 s without an answer, so that the
  // learner tries from the one hearing first (ItemHeard starts the wait).
  FTimer1.SetInterval(15000);
  FCourse.DrawExercise();
  training::Sitzung.UebPos = 0;
  training::Sitzung.Fehler = 0;
  FArbTimer.SetEnabled(true);
}

void TSession::Uebung3Tick() {
  FArbTimer.SetEnabled(false);
  SoundItem(static_cast<size_t>(std::max(training::Sitzung.UebPos, 0)),
            Then([this] { ItemHeard(); }));
}

void TSession::RepFreigabe() {
  FTimer1.SetEnabled(false);
  FView.RepBtn->show();
  FView.RepBtn->setEnabled(true);
}

void TSession::RepBtnClick() {
  FArbTimer.SetEnabled(true);
  ++training::Sitzung.RepZaehler;
  // A character that needs a third repetition counts as not known, once.
  if (training::Sitzung.RepZaehler == 3) {
    if (FCopy != nullptr)
      FCopy->ItemWrong(training::Sitzung.UebPos);
    ++training::Sitzung.Fehler;
    training::Sitzung.FehlerGezeigt = true;
  }
  FView.RepBtn->setEnabled(false);
}

// ---------------------------------------------------------------------------
// Exercise 4: groups of five

void TSession::StartUebung4() {
  FView.KeyPanel->setEnabled(false);
  for (TMButton* Key : FView.Tasten)
    if (Key != nullptr)
      Key->setEnabled(false);
  FCourse.DrawExercise();
  training::Sitzung.UebPos = 0;
  training::Sitzung.GruppenPos = 0;
  FArbTimer.SetEnabled(false);
  SelectIntervall();
  FArbTimer.SetInterval(FirstTickMarker);
  FTimer1.SetInterval(1000);
  Vorlauf();
}

void TSession::Vorlauf() {
  if (FView.TimeCB->isChecked()) {
    SetCaption(FView.TimePanel->CaptionLabel(), "5");
    FView.TimePanel->show();
    FView.TimePanel->raise();
    FTimer1.SetEnabled(true);
    return;
  }
  // Without the count-down the groups are announced as on the air: three
  // V, then the break sign BT.
  training::Sitzung.VorlaufZaehler = 4;
  FArbTimer.SetInterval(LeadInMs());
  FArbTimer.SetEnabled(true);
}

void TSession::CountdownTick() {
  const int32_t K = std::atoi(CaptionOf(FView.TimePanel->CaptionLabel()).c_str());
  if (K - 1 > 0) {
    SetCaption(FView.TimePanel->CaptionLabel(), std::to_string(K - 1));
    return;
  }
  FView.TimePanel->hide();
  // The count-down's last second opens the groups, with no signal.
  training::EnterPhase(training::TPhase::Groups);
  FArbTimer.SetInterval(FirstTickMarker);
  FArbTimer.SetEnabled(true);
  FTimer1.SetEnabled(false);
}

void TSession::VorlaufTick() {
  FArbTimer.SetEnabled(false);
  if (training::Sitzung.VorlaufZaehler == 1) {
    // The break sign opens the groups: its end starts their first pause.
    training::EnterPhase(training::TPhase::Groups);
    FWindow.PlayCode("-...-", ThenTick());
    FArbTimer.SetInterval(FirstTickMarker);
  } else if (training::Sitzung.VorlaufZaehler >= 2 && training::Sitzung.VorlaufZaehler <= 4) {
    FWindow.PlayCode("...-", ThenTick());
  }
  --training::Sitzung.VorlaufZaehler;
}

void TSession::Uebung4Tick() {
  FArbTimer.SetEnabled(false);
  if (FArbTimer.Interval() == FirstTickMarker) {
    FArbTimer.SetInterval(PauseMs(static_cast<int64_t>(sound::Klang.Abstand) * sound::Klang.Intervall * 6 / 10));
    FArbTimer.SetEnabled(true);
    return;
  }
  if (training::Sitzung.UebPos < course::Folge.UebLaenge) {
    SoundItem(static_cast<size_t>(training::Sitzung.UebPos), ThenTick());
    ++training::Sitzung.UebPos;
    ++training::Sitzung.GruppenPos;
    if (training::Sitzung.GruppenPos == 5) {
      FArbTimer.SetInterval(PauseMs(GroupGapMs()));
      training::Sitzung.GruppenPos = 0;
    } else {
      FArbTimer.SetInterval(PauseMs(CharGapMs()));
    }
    return;
  }
  FTimer1.SetEnabled(false);
  // Endless groups: a fresh sequence of the same length and candidates, its
  // first character sounded at once so that the beat does not stop.
  if (course::Kurs.GruppenZahl == Endless) {
    FCourse.GenerateSequence(course::Folge.UebLaenge, static_cast<int32_t>(course::Folge.GruppenZeichen.size()));
    training::Sitzung.UebPos = 0;
    training::Sitzung.GruppenPos = 0;
    SoundItem(0, ThenTick());
    training::Sitzung.UebPos = 1;
    training::Sitzung.GruppenPos = 1;
    FArbTimer.SetInterval(LeadInMs());
    return;
  }
  EndUebung4();
}

// ---------------------------------------------------------------------------
// The end of a block

void TSession::ItemHeard() {
  // Heard whole: only now are answers taken, and their reaction counts.
  if (FReaction != nullptr)
    FReaction->Heard();
  FArbTimer.SetEnabled(false);
  if (course::Kurs.UebNr == 3)
    FTimer1.SetEnabled(true);
}

void TSession::ResumeAfterSound() {
  switch (training::Sitzung.Phase) {
  case training::TPhase::Presenting:
    Uebung1Weiter();
    break;
  case training::TPhase::Awaiting:
    ItemHeard();
    break;
  case training::TPhase::Correcting:
  case training::TPhase::LeadIn:
  case training::TPhase::Groups:
    // The tick whose sound was dropped comes again.
    FArbTimer.SetEnabled(true);
    break;
  case training::TPhase::Ending:
    AtDue([this] { ShowResults4(); });
    break;
  case training::TPhase::SpeedTest:
    if (FSpeedTest != nullptr)
      FSpeedTest->Completion();
    break;
  case training::TPhase::Idle:
  case training::TPhase::Replay:
    break;
  }
}

void TSession::ArrangeIcons() {
  ArrangeExerciseIcons(
      FView, (training::Sitzung.Idle || training::Sitzung.TestLaeuft) ? 0 : course::Kurs.UebNr);
}

// ---------------------------------------------------------------------------
// Wiring

void TSession::Wire() {
  FContext = std::make_unique<QObject>();
  FFilter.reset();
  QObject::connect(FView.StartBtn, &QPushButton::clicked, FContext.get(),
                   [this] { StartBtnClick(); });
  QObject::connect(FView.RepBtn, &QPushButton::clicked, FContext.get(), [this] { RepBtnClick(); });
  // What the line said of the exercise left is over.
  QObject::connect(FView.WeiterBtn, &QPushButton::clicked, FContext.get(),
                   [this] { SayNothing(); });
  WireKeys();
  // Key events go to the widget with the focus; the application's filter
  // sees them first, whichever control of the form has it.
  FFilter = std::make_unique<TKeyPreviewFilter>(*this);
  qApp->installEventFilter(FFilter.get());
}

void WireSession(TSession& Session) {
  Session.Wire();
}

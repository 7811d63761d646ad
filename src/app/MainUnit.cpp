#include "app/MainUnit.h"

#include "app/AppState.h"
#include "sound/QtWaveDevice.h"
#include "sound/SoundState.h"
#include "sound/ThdTimer.h"
#include "sound/WindowTimer.h"
#include "windows/Caption.h"
#include "windows/Help.h"
#include "windows/Pictures.h"
#include "windows/QtReporter.h"
#include "windows/Shell.h"
#include "windows/WindowPlace.h"
#include "windows/about.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>

struct TAForm::TOwned {
  TQtWaveDevice Device;
  TQtMessageReporter Reporter;
  TQtShell Shell;
  TThreadedTimer ArbTimer{nullptr};
  TWindowTimer Timer1{nullptr};
};

std::string TenthsText(int Value) {
  std::string Digits = std::to_string(Value);
  if (Digits.size() < 2)
    Digits.insert(0, "0");
  Digits.insert(1, ".");
  return Digits;
}

TAForm::TAForm() : TAForm(std::make_unique<TOwned>()) {}

TAForm::TAForm(std::unique_ptr<TOwned> Owned)
    : QMainWindow(nullptr), FOwned(std::move(Owned)), Reporter(FOwned->Reporter), Shell(FOwned->Shell),
      Morse(FOwned->Device, Reporter), ArbTimer(FOwned->ArbTimer), Timer1(FOwned->Timer1) {
  FOwned->ArbTimer.SetEnabled(false);
  FOwned->ArbTimer.SetThreadPriority(TThreadPriority::Lowest);
  FOwned->Timer1.SetEnabled(false);
  Connect();
}

TAForm::TAForm(TWaveDevice& Device, TMessageReporter& AReporter, TTickTimer& AArbTimer, TTickTimer& ATimer1,
               TShell& AShell, QWidget* Parent)
    : QMainWindow(Parent), Reporter(AReporter), Shell(AShell), Morse(Device, Reporter), ArbTimer(AArbTimer),
      Timer1(ATimer1) {
  Connect();
}

TAForm::~TAForm() {
  if (TMButton::Context() == &FKeyContext)
    TMButton::SetContext(nullptr);
  ArbTimer.SetEnabled(false);
  Timer1.SetEnabled(false);
}

void TAForm::Connect() {
  // A fixed window: system menu and minimise button, no maximising, no
  // resizing.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  BuildMainView(View, *this);
  setWindowIcon(EmblemPicture());
  TMButton::SetContext(&FKeyContext);

  TMainView& V = View;
  V.SpeedUD->OnChanging = [this](int Position) { SpeedUDChanging(Position); };
  V.VerhaltUD->OnChanging = [this](int Position) { VerhaltUDChanging(Position); };
  V.AbstandUD->OnChanging = [this](int Position) { AbstandUDChanging(Position); };
  connect(V.TnBar, &QSlider::valueChanged, this, [this] { TnBarChange(); });
  connect(V.FrontBar, &QSlider::valueChanged, this, [this] { FrontBarChange(); });
  V.Image1->OnClick = [this] { Image1Click(); };
  V.Image2->OnClick = [this] { Image2Click(); };
  V.Scroller1->OnClick = [this] { Scroller1Click(); };
  connect(V.MExit, &QAction::triggered, this, [this] { MExitClick(); });
  connect(V.Contence1, &QAction::triggered, this, [this] { Contence1Click(); });
  connect(V.ab, &QAction::triggered, this, [this] { abClick(); });
}

void TAForm::SetMessageCharset(uint8_t Charset) {
  if (auto* Boxes = dynamic_cast<TQtMessageReporter*>(&Reporter))
    Boxes->SetCharset(Charset);
}

// ---------------------------------------------------------------------------
// Sound controls

void TAForm::SpeedUDChanging(int NewPosition) {
  Speed = NewPosition;
  SetCaption(View.SpeedLB, std::to_string(Speed));
  TMorse::BuildElements();
  SelectIntervall();
}

void TAForm::VerhaltUDChanging(int NewPosition) {
  Verhalt = NewPosition;
  SetCaption(View.VerhLB, TenthsText(Verhalt));
  TMorse::BuildElements();
}

void TAForm::AbstandUDChanging(int NewPosition) {
  // Only the gaps between characters change; the elements stay.
  Abstand = NewPosition;
  SetCaption(View.AbstandLB, "x" + TenthsText(Abstand));
}

void TAForm::TnBarChange() {
  Ton = View.TnBar->value();
  TMorse::BuildElements();
}

void TAForm::FrontBarChange() {
  Atacke = 13 - View.FrontBar->value();
  TMorse::BuildElements();
}

namespace {
void LabelColor(QLabel* Label, const QColor& Color) {
  QPalette P = Label->palette();
  P.setColor(QPalette::WindowText, Color);
  Label->setPalette(P);
}
} // namespace

// The two pictures lie on top of each other; the one in front offers the
// other wave form.
void TAForm::Image1Click() {
  Rechteck = true;
  View.Image2->raise();
  // A square wave has no ramp to set.
  View.FrontBar->setEnabled(false);
  LabelColor(View.Label9, QColor(128, 128, 128));
  View.Bevel5->SetLowered(true);
  TMorse::BuildElements();
}

void TAForm::Image2Click() {
  Rechteck = false;
  View.Image1->raise();
  View.FrontBar->setEnabled(true);
  LabelColor(View.Label9, Qt::black);
  View.Bevel5->SetLowered(false);
  TMorse::BuildElements();
}

// SpPanel and TonPanel share one place; the scroller picks the one in front.
void TAForm::Scroller1Click() {
  if (View.Scroller1->value() == 0)
    View.SpPanel->raise();
  else
    View.TonPanel->raise();
}

// ---------------------------------------------------------------------------
// Menu

void TAForm::MExitClick() { close(); }

void TAForm::Contence1Click() {
  if (FHelpWindow == nullptr) {
    FHelpWindow = new THelpWindow(this);
    // An open help window does not keep the program running.
    FHelpWindow->setAttribute(Qt::WA_QuitOnClose, false);
  }
  FHelpWindow->ShowContents(ApplicationHelpFile());
}

void TAForm::abClick() {
  if (FAboutBox != nullptr)
    Shell.ShowModal(*FAboutBox);
}

// ---------------------------------------------------------------------------
// Start and end

void TAForm::FormActivate() {
  if (StartUp)
    StartUp();
}

void TAForm::FormClose() {
  if (CloseDown)
    CloseDown();
}

// Qt reports every return of the focus as an activation; the start-up
// sequence runs at the first one only.
void TAForm::changeEvent(QEvent* Event) {
  QMainWindow::changeEvent(Event);
  if (Event->type() == QEvent::ActivationChange && isActiveWindow() && !FActivated) {
    FActivated = true;
    FormActivate();
  }
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
  }
  QMainWindow::showEvent(Event);
}

// ---------------------------------------------------------------------------
// Playing

void TAForm::PlayCode(const std::string& Code) {
  View.KeyPanel->setEnabled(false);
  if (::Playing)
    return;  // the block playing re-enables the keyboard when it ends
  DeviceOpen = Morse.OpenOut(*this);
  if (DeviceOpen) {
    TMorse::RenderCode(Code);
    if (Morse.PrepareOut())
      ::Playing = Morse.WriteOut();
  }
  // Nothing plays, so no completion will come to enable the keyboard again.
  if (!::Playing)
    View.KeyPanel->setEnabled(true);
}

void TAForm::PlayWave(const std::string& Name) {
  WavePending = false;
  if (::Playing || !Morse.LoadWave(Name))
    return;
  Morse.CloseOut();
  DeviceOpen = Morse.OpenFileOut(*this);
  if (DeviceOpen && Morse.PrepareFileOut())
    ::Playing = Morse.WriteOut();
  // The exercise goes on as if the file had been played.
  if (!::Playing)
    MMWomDone();
}

void TAForm::MMWomDone() {
  ::Playing = false;
  DeviceOpen = Morse.CloseOut();
  if (WavePending && View.MerkCheckBox->isChecked() && Morse.LoadWave(WavName)) {
    PlayWave(WavName);
    return;  // its own completion comes back here
  }
  View.KeyPanel->setEnabled(true);
  if (MemPlaying) {
    MemPlaying = false;
    if (FMemTimer != nullptr)
      FMemTimer->SetEnabled(true);
    return;
  }
  if (SpeedTestCompletion && SpeedTestCompletion())
    return;
  if (SessionCompletion)
    SessionCompletion();
}

// ---------------------------------------------------------------------------
// Hover keys

int TAForm::TKeyContext::UebNr() const { return StandIn::UebNr; }
bool TAForm::TKeyContext::Idle() const { return StandIn::Idle; }
bool TAForm::TKeyContext::Playing() const { return ::Playing; }
QLabel* TAForm::TKeyContext::MerkWLabel() const { return FForm.View.MerkWLabel; }

#include "app/MainUnit.h"

#include "app/StorageView.h"
#include "course/Course.h"
#include "course/CourseState.h"
#include "sound/WaveOut.h"
#include "sound/SoundState.h"
#include "sound/ThdTimer.h"
#include "sound/WindowTimer.h"
#include "storage/IntFile.h"
#include "storage/Kund.h"
#include "storage/StorageState.h"
#include "training/ExerciseText.h"
#include "training/Session.h"
#include "training/SessionState.h"
#include "training/SpeedTest.h"
#include "windows/Caption.h"
#include "windows/Gr.h"
#include "windows/Help.h"
#include "windows/MemUnit.h"
#include "windows/Pictures.h"
#include "windows/QtReporter.h"
#include "windows/Shell.h"
#include "windows/TextsView.h"
#include "windows/WindowPlace.h"
#include "windows/about.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

struct TAForm::TOwned {
  TWaveOut Device;
  TQtMessageReporter Reporter;
  TQtShell Shell;
  TThreadedTimer ArbTimer{nullptr};
  TWindowTimer Timer1{nullptr};
};

std::string TenthsText(int Value) {
  std::string Digits = std::to_string(Value);
  // Characters, not one-letter strings: GCC 12 at -O3 warns falsely (-Wrestrict).
  if (Digits.size() < 2)
    Digits.insert(0, 1, '0');
  Digits.insert(1, 1, '.');
  return Digits;
}

TAForm::TAForm() : TAForm(std::make_unique<TOwned>()) {}

TAForm::TAForm(std::unique_ptr<TOwned> Owned)
    : QMainWindow(nullptr), FOwned(std::move(Owned)), Reporter(FOwned->Reporter),
      Shell(FOwned->Shell), Morse(FOwned->Device, Reporter), ArbTimer(FOwned->ArbTimer),
      Timer1(FOwned->Timer1) {
  FOwned->ArbTimer.SetEnabled(false);
  FOwned->ArbTimer.SetThreadPriority(TThreadPriority::Lowest);
  // Its ticks start sounds: they come ahead, so a busy window does not
  // move the sound.
  FOwned->ArbTimer.SetAheadUs(TEventTime::AheadUs);
  FOwned->Timer1.SetEnabled(false);
  Connect();
}

TAForm::TAForm(TWaveDevice& Device, TMessageReporter& AReporter, TTickTimer& AArbTimer,
               TTickTimer& ATimer1, TShell& AShell, QWidget* Parent)
    : QMainWindow(Parent), Reporter(AReporter), Shell(AShell), Morse(Device, Reporter),
      ArbTimer(AArbTimer), Timer1(ATimer1) {
  Connect();
}

TAForm::~TAForm() {
  // The session's and the course's handlers go before the controls they are
  // installed on.
  FSpeedTest.reset();
  FSession.reset();
  FCourse.reset();
  ArbTimer.SetEnabled(false);
  Timer1.SetEnabled(false);
}

void TAForm::Connect() {
  // A fixed window: system menu and minimise button, no maximising, no
  // resizing.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  BuildMainView(View, *this);
  setWindowIcon(EmblemPicture());

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
  for (QAction* Item : {V.English, V.German, V.Russish, V.Turkish})
    if (Item != nullptr)
      connect(Item, &QAction::triggered, this, [this, Item] { LayoutClick(Item); });
  ConnectCourse();
}

void TAForm::ConnectCourse() {
  TCourseHooks Hooks;
  Hooks.ShowCongratulation = [this] {
    if (FGrForm != nullptr)
      Shell.ShowModal(*FGrForm);
  };
  FCourse = std::make_unique<TCourse>(View, Reporter, std::move(Hooks));
  ConnectSession();

  FLayoutLinks.Texts.ShowTexts = [this] { ApplyTexts(View, FMemCaptions); };
  FLayoutLinks.ShowCharset = [this](uint8_t Charset) { SetCharset(View.KeyPanel, Charset); };
  FLayoutLinks.Texts.Reporter = &Reporter;
  FLayoutLinks.Texts.CloseMainWindow = [this] { close(); };
  FLayoutLinks.Layouts = &FLayouts;
  TLayoutCourseOps& Ops = FLayoutLinks.Course;
  Ops.TakeLayout = [](const TLayout& Layout) {
    for (size_t R = 0; R < Layout.Rows.size(); ++R)
      Tastatur.TastReihen[R + 1] = Layout.Rows[R];
    Tastatur.TastLinks = Layout.TastLinks;
    Kurs.AlphabetFile = Layout.AlphabetFile;
  };
  Ops.LoadLessonData = [this](int32_t SprachNr) {
    FCourse->LoadLessonData(SprachNr);
    // Mnemonics are offered, and turned on, exactly when the words were read.
    View.MerkCheckBox->setEnabled(Kurs.MerkWoerterGeladen);
    View.MerkCheckBox->setChecked(Kurs.MerkWoerterGeladen);
  };
  Ops.RebuildCourse = [this] {
    Kurs.KursFolge = Kurs.BuchFolge;
    FCourse->ComputeLesson();
  };
  Ops.BuildKeyboard = [this] { FCourse->BuildKeyboard(); };
  Ops.BindKeys = [this] { FCourse->BindKeys(); };
}

// What the session asks of the window: its play sequence, the text window,
// a wait with the events going on, and the layout of typed characters.
class TAForm::TSessionLink final : public TSessionWindow {
public:
  explicit TSessionLink(TAForm& Form) : FForm(Form) {}
  void PlayCode(const std::string& Code) override { FForm.Player.PlayCode(Code); }
  void PlayCodeThenWave(const std::string& Code, const std::string& Name) override {
    FForm.Player.PlayCodeThenWave(Code, Name);
  }
  void ShowTextWindow() override {
    if (FForm.FMemForm != nullptr)
      FForm.Shell.ShowModal(*FForm.FMemForm);
  }
  void WaitMs(int32_t Ms) override {
    // The sound just started plays out before the text window opens; the
    // window stays responsive meanwhile.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QEventLoop Loop;
    QTimer::singleShot(std::max(0, Ms), &Loop, &QEventLoop::quit);
    Loop.exec();
    QGuiApplication::restoreOverrideCursor();
  }
  int32_t LayoutNr() const override { return Tastatur.InputLayoutNr; }

private:
  TAForm& FForm;
};

void TAForm::ConnectSession() {
  FSessionLink = std::make_unique<TSessionLink>(*this);
  FSession = std::make_unique<TSession>(View, *FCourse, ArbTimer, Timer1, Reporter, *FSessionLink);
  FSpeedTest = std::make_unique<TSpeedTest>(View, Player, ArbTimer, TSteadyClock::Instance(),
                                            Reporter, *FSession);
  connect(View.TestBtn, &QPushButton::clicked, this, [this] { FSpeedTest->TestBtnClick(); });
}

void TAForm::SetMemForm(TMemForm* Form) {
  FMemForm = Form;
  if (Form != nullptr)
    Form->SetContext({&Player, View.KeyPanel, &FExerciseText});
  TMemCaptions& Mem = FMemCaptions;
  Mem = {};
  if (Form != nullptr) {
    Mem.MemClBtn = Form->MemClBtn;
    Mem.MemPlayBtn = Form->MemPlayBtn;
    Mem.MemPausBtn = Form->MemPausBtn;
    Mem.Label1 = Form->Label1;
  }
}

TLayoutSwitch TAForm::LayoutClick(QAction* Item) {
  const TLayoutSwitch Result = EnglishClick(FLayoutLinks, View, Item);
  if (Result == TLayoutSwitch::Switched || Result == TLayoutSwitch::Closing)
    SetMessageCharset(CharsetOf(View.KeyPanel));
  // A switch from the menu shows the lesson again on the new keys; the
  // start-up does this itself once its controls are set.
  if (Result == TLayoutSwitch::Switched && FStartUpDone && !FClosedDown && !View.Tasten.empty() &&
      View.Tasten[0] != nullptr) {
    FCourse->LektADDownClick(nullptr);
    FCourse->EnableSetButtons();
  }
  return Result;
}

void TAForm::SetMessageCharset(uint8_t Charset) {
  if (auto* Boxes = dynamic_cast<TQtMessageReporter*>(&Reporter))
    Boxes->SetCharset(Charset);
}

// ---------------------------------------------------------------------------
// Sound controls

void TAForm::SpeedUDChanging(int NewPosition) {
  Klang.Speed = NewPosition;
  SetCaption(View.SpeedLB, std::to_string(Klang.Speed));
  TMorse::BuildElements();
  SelectIntervall();
}

void TAForm::VerhaltUDChanging(int NewPosition) {
  Klang.Verhalt = NewPosition;
  SetCaption(View.VerhLB, TenthsText(Klang.Verhalt));
  TMorse::BuildElements();
}

void TAForm::AbstandUDChanging(int NewPosition) {
  // Only the gaps between characters change; the elements stay.
  Klang.Abstand = NewPosition;
  std::string Caption = "x"; // appended to, not "x" + ...: GCC 12 at -O3 warns falsely
  Caption += TenthsText(Klang.Abstand);
  SetCaption(View.AbstandLB, Caption);
}

void TAForm::TnBarChange() {
  Klang.Ton = View.TnBar->value();
  TMorse::BuildElements();
}

void TAForm::FrontBarChange() {
  Klang.Atacke = AtackeOfFront(View.FrontBar->value());
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
  Klang.Rechteck = true;
  View.Image2->raise();
  // A square wave has no ramp to set.
  View.FrontBar->setEnabled(false);
  LabelColor(View.Label9, QColor(128, 128, 128));
  View.Bevel5->SetLowered(true);
  TMorse::BuildElements();
}

void TAForm::Image2Click() {
  Klang.Rechteck = false;
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

void TAForm::MExitClick() {
  close();
}

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
// Playing

void TAForm::SetKeyboardEnabled(bool On) {
  View.KeyPanel->setEnabled(On);
}

bool TAForm::MnemonicsOn() const {
  return View.MerkCheckBox->isChecked();
}

// Exercises 1 and 4 only present: after a character comes a pause, never an
// answer. The speed test and the replay window are the player's own concern.
bool TAForm::AwaitsLearner() const {
  return Sitzung.Idle || (Kurs.UebNr != 1 && Kurs.UebNr != 4);
}

void TAForm::BlockPlayed() {
  if (Player.TakeReplayEnd()) {
    if (FMemTimer != nullptr)
      FMemTimer->SetEnabled(true);
    return;
  }
  if (FSpeedTest->Completion())
    return;
  FSession->WaveDone();
}

// ---------------------------------------------------------------------------
// Hover keys

int TAForm::TKeyContext::UebNr() const {
  return Kurs.UebNr;
}
bool TAForm::TKeyContext::Idle() const {
  return Sitzung.Idle;
}
bool TAForm::TKeyContext::Playing() const {
  return Ausgabe.Playing;
}
QLabel* TAForm::TKeyContext::MerkWLabel() const {
  return FForm.View.MerkWLabel;
}

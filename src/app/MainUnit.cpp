#include "app/MainUnit.h"

#include "app/StorageView.h"
#include "course/Course.h"
#include "course/CourseState.h"
#include "base/BareFile.h"
#include "sound/SoundState.h"
#include "storage/IntFile.h"
#include "storage/Kund.h"
#include "storage/StorageState.h"
#include "storage/Texts.h"
#include "training/ExerciseText.h"
#include "training/Session.h"
#include "training/SessionState.h"
#include "training/SpeedTest.h"
#include "training/PracticeForm.h"
#include "training/StatForm.h"
#include "training/TypedCopy.h"
#include "windows/Caption.h"
#include "windows/CourseView.h"
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
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

std::string TenthsText(int Value) {
  std::string Digits = std::to_string(Value);
  // Characters, not one-letter strings: GCC 12 at -O3 warns falsely (-Wrestrict).
  if (Digits.size() < 2)
    Digits.insert(0, 1, '0');
  Digits.insert(1, 1, '.');
  return Digits;
}

TAForm::TAForm(TWaveDevice& Device, TMessageReporter& AReporter, TTickTimer& AArbTimer,
               TTickTimer& ATimer1, TShell& AShell, QWidget* Parent)
    : QMainWindow(Parent), Reporter(AReporter), Shell(AShell), Morse(Device, Reporter),
      ArbTimer(AArbTimer), Timer1(ATimer1) {
  Player.SetHeardCalls(&HeardCalls);
  Connect();
}

TAForm::~TAForm() {
  // The session's and the course's handlers go before the controls they are
  // installed on.
  if (FSession != nullptr)
    FSession->SetSpeedTest(nullptr);
  FSpeedTest.reset();
  FStatForm.reset();
  FSession.reset();
  FCopy.reset();
  FCourseView.reset();
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
  // The built-in names of the controls without captions, until a language
  // file names them.
  ApplyHints(View);
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
  // The speed and the tone panel share one place: the one whose control
  // takes the focus (by Tab) comes to the front, as the scroller brings it.
  if (auto* App = qobject_cast<QApplication*>(QCoreApplication::instance()))
    connect(App, &QApplication::focusChanged, this, [this](QWidget*, QWidget* Now) {
      if (Now == nullptr)
        return;
      const int Front = View.TonPanel->isAncestorOf(Now)  ? 1
                        : View.SpPanel->isAncestorOf(Now) ? 0
                                                          : -1;
      if (Front >= 0 && View.Scroller1->value() != Front)
        View.Scroller1->setValue(Front);
    });
  ConnectCourse();
}

void TAForm::ConnectCourse() {
  FCourseView = std::make_unique<TCourseView>(View);
  FCourseView->SetCongratulation([this] {
    if (FGrForm != nullptr)
      Shell.ShowModal(*FGrForm);
  });
  FCourse = std::make_unique<TCourse>(*FCourseView, Reporter);
  ConnectSession();

  FLayoutLinks.Texts.ShowTexts = [this] {
    ApplyTexts(View, FMemCaptions);
    ApplyCopyTexts();
    ApplyPracticeTexts();
  };
  FLayoutLinks.ShowCharset = [this](uint8_t Charset) { SetCharset(View.KeyPanel, Charset); };
  FLayoutLinks.Texts.Reporter = &Reporter;
  FLayoutLinks.Texts.CloseMainWindow = [this] { close(); };
  FLayoutLinks.Layouts = &FLayouts;
  TLayoutCourseOps& Ops = FLayoutLinks.Course;
  Ops.TakeLayout = [](const TLayout& Layout) {
    course::SetKeyboardRows(Layout.Rows, Layout.TastLinks);
    course::SetAlphabetFile(Layout.AlphabetFile);
  };
  Ops.LoadLessonData = [this](int32_t SprachNr) {
    FCourse->LoadLessonData(SprachNr);
    // Mnemonics are offered, and turned on, exactly when the words were read.
    View.MerkCheckBox->setEnabled(course::Kurs.MerkWoerterGeladen);
    View.MerkCheckBox->setChecked(course::Kurs.MerkWoerterGeladen);
  };
  Ops.RebuildCourse = [this] { FCourse->RebuildCourse(); };
  Ops.BuildKeyboard = [this] { FCourseView->BuildKeyboard(); };
  Ops.BindKeys = [this] { FCourse->BindKeys(); };
}

// What the session asks of the window: its play sequence, the text window,
// a wait with the events going on, and the layout of typed characters.
class TAForm::TSessionLink final : public TSessionWindow {
public:
  explicit TSessionLink(TAForm& Form) : FForm(Form) {}
  void PlayCode(const std::string& Code, TBlockEnd End) override {
    FForm.Player.PlayCode(Code, std::move(End));
  }
  // The sound file of the course in force: another course's file of that
  // name is never played.
  void PlayCodeThenWave(const std::string& Code, const std::string& Name, TBlockEnd End) override {
    FForm.Player.PlayCodeThenWave(Code, CourseSoundFile(Name), std::move(End));
  }
  void ShowTextWindow(const TMemScore* Score) override {
    if (FForm.FMemForm == nullptr)
      return;
    TMemContext Context = FForm.FMemForm->Context();
    Context.Score = Score;
    FForm.FMemForm->SetContext(Context);
    FForm.Shell.ShowModal(*FForm.FMemForm);
    // The score belongs to this run only.
    Context.Score = nullptr;
    FForm.FMemForm->SetContext(Context);
  }
  TPlayer* SoundPlayer() override { return &FForm.Player; }
  int32_t LayoutNr() const override { return course::Tastatur.InputLayoutNr; }

private:
  TAForm& FForm;
};

void TAForm::ConnectSession() {
  FSessionLink = std::make_unique<TSessionLink>(*this);
  FSession = std::make_unique<TSession>(*FCourseView, *FCourse, ArbTimer, Timer1, Reporter, *FSessionLink);
  FSpeedTest = std::make_unique<TSpeedTest>(View, Player, ArbTimer, TSteadyClock::Instance(),
                                            Reporter, *FSession);
  FSession->SetSpeedTest(FSpeedTest.get());
  connect(View.TestBtn, &QPushButton::clicked, this, [this] { FSpeedTest->TestBtnClick(); });
  ConnectCopy();
  ConnectPractice();
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
  const TLayoutSwitch Result = LayoutItemClick(FLayoutLinks, View, Item);
  if (Result == TLayoutSwitch::Switched || Result == TLayoutSwitch::Closing)
    SetMessageCharset(CharsetOf(View.KeyPanel));
  if (Result == TLayoutSwitch::Switched)
    if (const TLayout* Layout = LayoutOfNr(storage::Kund.SprachNr))
      FDialogLanguage.Show(Layout->Language); // without it the dialogs speak English
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
  sound::SetSpeed(NewPosition);
  SetCaption(View.SpeedLB, std::to_string(sound::Klang.Speed));
}

void TAForm::VerhaltUDChanging(int NewPosition) {
  sound::SetVerhalt(NewPosition);
  SetCaption(View.VerhLB, TenthsText(sound::Klang.Verhalt));
}

void TAForm::AbstandUDChanging(int NewPosition) {
  // Only the gaps between characters change; the elements stay.
  sound::SetAbstand(NewPosition);
  std::string Caption = "x"; // appended to, not "x" + ...: GCC 12 at -O3 warns falsely
  Caption += TenthsText(sound::Klang.Abstand);
  SetCaption(View.AbstandLB, Caption);
}

void TAForm::TnBarChange() {
  sound::SetTon(View.TnBar->value());
}

void TAForm::FrontBarChange() {
  sound::SetAtacke(AtackeOfFront(View.FrontBar->value()));
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
  sound::SetRechteck(true);
  View.Image2->raise();
  // A square wave has no ramp to set.
  View.FrontBar->setEnabled(false);
  LabelColor(View.Label9, QColor(128, 128, 128));
  View.Bevel5->SetLowered(true);
}

void TAForm::Image2Click() {
  sound::SetRechteck(false);
  View.Image1->raise();
  View.FrontBar->setEnabled(true);
  LabelColor(View.Label9, Qt::black);
  View.Bevel5->SetLowered(false);
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
  // Titled by the help item as the learner sees it, in the interface's language.
  FHelpWindow->setWindowTitle(QApplication::applicationName() + QStringLiteral(" - ") +
                              View.Contence1->text());
  FHelpWindow->ShowContents(HelpFile());
}

std::string TAForm::HelpFile() const {
  const TLayout* Layout = LayoutOfNr(course::Tastatur.InputLayoutNr);
  if (Layout != nullptr && FindBareFile(Layout->HelpFile))
    return Layout->HelpFile;
  return ApplicationHelpFile();
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

void TAForm::OutputFailed() {
  // What runs ends as its Stop ends it: no result, nothing counted.
  if (FMemForm != nullptr && FMemForm->isVisible())
    FMemForm->StopReplay();
  if (training::Sitzung.TestLaeuft)
    FSpeedTest->TestBtnClick();
  else if (!training::Sitzung.Idle)
    FSession->StartBtnClick();
  Reporter.ShowMessage(SoundLostText());
}

// ---------------------------------------------------------------------------
// Hover keys

int TAForm::TKeyContext::UebNr() const {
  return course::Kurs.UebNr;
}
bool TAForm::TKeyContext::Idle() const {
  return training::Sitzung.Idle;
}
bool TAForm::TKeyContext::Playing() const {
  return sound::Ausgabe.Playing;
}
QLabel* TAForm::TKeyContext::MerkWLabel() const {
  return FForm.View.MerkWLabel;
}

#pragma once

#include "app/DialogLanguage.h"
#include "sound/HeardCalls.h"
#include "sound/Morse.h"
#include "sound/Player.h"
#include "base/Reporter.h"
#include "sound/TickTimer.h"
#include "sound/WaveDevice.h"
#include "app/LayoutSwitch.h"
#include "storage/Layouts.h"
#include "storage/StorageState.h"
#include "training/ExerciseText.h"
#include "windows/MButUnit.h"
#include "windows/MainView.h"
#include "windows/TextsView.h"

#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TAboutBox;
class TCourse;
class TCourseView;
class TSession;
class TSpeedTest;
class TGrForm;
class TMemForm;
class THelpWindow;
class TShell;
class TStatForm;
class TPracticeForm;
class TTypedCopy;

// The main training window. It owns the controls, the sound engine and the
// two timers: ArbTimer paces every sound, Timer1 counts down before exercise
// 4 and offers Repeat. It keeps no training state of its own; its handlers
// route the controls' events to the parts that own the behaviour.
class TAForm : public QMainWindow, public TPlayerHost {
public:
  // The wave output, message boxes, desktop and the two timers (disabled)
  // are made by the program entry, or by a test.
  TAForm(TWaveDevice& Device, TMessageReporter& AReporter, TTickTimer& AArbTimer,
         TTickTimer& ATimer1, TShell& AShell, QWidget* Parent = nullptr);
  ~TAForm() override;
  TAForm(const TAForm&) = delete;
  TAForm& operator=(const TAForm&) = delete;

  TMainView View;
  TMessageReporter& Reporter;
  TShell& Shell;
  TMorse Morse;
  // Plays the window's codes and sound files; every block's end comes to it.
  TPlayer Player{Morse, *this};
  TTickTimer& ArbTimer;
  TTickTimer& Timer1;
  // What the window shows of a sound waits here until it is heard.
  TTimerHeardCalls HeardCalls;

  // The course on this window's controls: lesson plan, keyboard, sequences.
  TCourse& Course() { return *FCourse; }
  TCourseView& CourseView() { return *FCourseView; }
  TSession& Session() { return *FSession; }
  TSpeedTest& SpeedTest() { return *FSpeedTest; }
  // The typed copy of exercise 4 and the statistics.
  TTypedCopy& TypedCopy() { return *FCopy; }

  // Menu items of the typed copy (checkable, off by default) and of the
  // statistics window, in the menu MMenu before its separator.
  QAction* TypedCopyItem = nullptr;
  QAction* StatistikItem = nullptr;
  // "Practise my weak characters", checkable, off by default.
  QAction* WeakItem = nullptr;
  void TypedCopyItemClick(bool Checked);
  // Opens the statistics window for the course in force.
  void StatistikItemClick();
  // The statistics window, once StatistikItemClick has made it.
  TStatForm* StatForm() const { return FStatForm.get(); }

  // The copy practice's menu item, in MMenu before its separator; its
  // window opens while the course is idle.
  QAction* PracticeItem = nullptr;
  void PracticeItemClick();
  TPracticeForm* PracticeForm() const { return FPracticeForm.get(); }

  // Windows made after this one, shown modally through Shell.
  void SetAboutBox(TAboutBox* Box) { FAboutBox = Box; }
  void SetMemForm(TMemForm* Form);
  void SetGrForm(TGrForm* Form) { FGrForm = Form; }
  TAboutBox* AboutBox() const { return FAboutBox; }
  TMemForm* MemForm() const { return FMemForm; }
  TGrForm* GrForm() const { return FGrForm; }
  // The character set the message boxes show their bytes in (the layout's).
  void SetMessageCharset(uint8_t Charset);

  // A picture of the window as built: the first showing and activation run
  // no start-up.
  void HoldStartUp() { FStartUpHeld = true; }
  // How often the first activation has asked for the start-up (once).
  int StartUpRequests() const { return FStartUpRequests; }

  // The layout a first start gives the new record (the program entry takes
  // it from the learner's language); a record read keeps its own.
  void SetFirstSprachNr(uint8_t SprachNr) { FFirstSprachNr = SprachNr; }
  // The start-up sequence: the learner record, the keys, the stored layout,
  // the sound settings, the interval table and the lesson display.
  void StartUpSequence();
  // The close sequence: roll-back, learner record, sequence released,
  // device closed, the interval table saved on request. With Ask false the
  // question about a changed interval table is answered No without being
  // shown (the desktop session ends or the program is told to stop).
  void CloseSequence(bool Ask = true);
  // The program must end without a question: runs the close sequence and
  // closes the window.
  void EndSession();
  bool StartedUp() const { return FStartUpDone; }
  bool ClosedDown() const { return FClosedDown; }

  // The click handler of the four layout items.
  TLayoutSwitch LayoutClick(QAction* Item);

  // Sound controls.
  void SpeedUDChanging(int NewPosition);
  void VerhaltUDChanging(int NewPosition);
  void AbstandUDChanging(int NewPosition);
  void TnBarChange();
  void FrontBarChange();
  void Image1Click();
  void Image2Click();
  void Scroller1Click();
  // Menu.
  void MExitClick();
  void Contence1Click();
  void abClick();

  void FormActivate();
  void FormClose();

  void PlayCode(const std::string& Code) { Player.PlayCode(Code); }
  void PlayWave(const std::string& Name) { Player.PlayWave(Name); }

  // What the player leaves to the window: the keyboard, the mnemonics box,
  // and a lost output. What follows a block is the concern of whoever
  // started it.
  void SetKeyboardEnabled(bool On) override;
  bool MnemonicsOn() const override;
  void OutputFailed() override;

  // The help window, once Contence1Click has made it.
  THelpWindow* HelpWindow() const { return FHelpWindow; }
  // The help page of the interface language in force: the layout's own page,
  // or the application's help file when there is no layout or no such page.
  std::string HelpFile() const;
  // The toolkit's dialog texts, in the language of the layout in force.
  const TDialogLanguage& DialogLanguage() const { return FDialogLanguage; }

protected:
  void changeEvent(QEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;
  void showEvent(QShowEvent* Event) override;

private:
  // What the hover keys read of the program.
  class TKeyContext final : public TMButtonContext {
  public:
    explicit TKeyContext(TAForm& Form) : FForm(Form) {}
    int UebNr() const override;
    bool Idle() const override;
    bool Playing() const override;
    QLabel* MerkWLabel() const override;

  private:
    TAForm& FForm;
  };

  void Connect();
  void ConnectCourse();
  // The start-up's trigger: the first activation, or the first showing when
  // no activation comes.
  void FirstActivation();

  std::unique_ptr<TCourseView> FCourseView;
  std::unique_ptr<TCourse> FCourse;
  // What the session asks of the window.
  class TSessionLink;
  std::unique_ptr<TSessionLink> FSessionLink;
  // The exercise just sounded, as the replay window reads it.
  TExerciseText FExerciseText;
  std::unique_ptr<TSession> FSession;
  std::unique_ptr<TSpeedTest> FSpeedTest;
  void ConnectSession();
  // The menu items of the typed copy, its texts, and its option at start-up.
  void ConnectCopy();
  void ApplyCopyTexts();
  void StartCopy();
  std::unique_ptr<TTypedCopy> FCopy;
  std::unique_ptr<TStatForm> FStatForm;
  void ConnectPractice();
  void ApplyPracticeTexts();
  std::unique_ptr<TPracticeForm> FPracticeForm;
  bool FPracticeStatTold = false;
  bool FPracticeStatFullTold = false;
  TBuiltInLayouts FLayouts;
  TDialogLanguage FDialogLanguage;
  TLayoutLinks FLayoutLinks;
  TMemCaptions FMemCaptions;     // the replay window's controls that show texts
  bool FStartedUp = false;       // the start-up sequence has begun
  bool FStartUpDone = false;     // the start-up sequence has run to its end
  bool FSettingsApplied = false; // the start-up has applied the record
  bool FClosedDown = false;      // the close sequence has run
  bool FAskOnClose = true;
  uint8_t FFirstSprachNr = DefaultKund.SprachNr;
  storage::TKund FKundAsRead{};            // the learner record as the start-up read it
  bool FKundNotSavedTold = false; // the learner knows "CWK.dat" cannot be written

  TKeyContext FKeyContext{*this};
  TAboutBox* FAboutBox = nullptr;
  TMemForm* FMemForm = nullptr;
  TGrForm* FGrForm = nullptr;
  THelpWindow* FHelpWindow = nullptr;
  bool FActivated = false;
  bool FStartUpHeld = false;
  int FStartUpRequests = 0;
  bool FShown = false;
};

// Value of an up-down in tenths as its label shows it: the digits with "."
// after the first, a one-digit value with a leading "0" (30 gives "3.0").
std::string TenthsText(int Value);

#pragma once

#include "course/Course.h"
#include "sound/Reporter.h"
#include "sound/TickTimer.h"
#include "storage/Layouts.h"
#include "storage/Texts.h"
#include "training/KeyInput.h"
#include "training/SpeedTest.h"
#include "windows/CourseView.h"
#include "windows/MButUnit.h"
#include "windows/MainView.h"

#include <QObject>

#include <functional>

class TPlayer;
class TReaction;
class TTypedCopy;
struct TMemScore;

#include <cstdint>
#include <memory>
#include <string>

// What the session needs of the main window.
class TSessionWindow {
public:
  virtual ~TSessionWindow() = default;
  // The window's player: a code with no sound file after it, or a code
  // followed by the sound file Name when mnemonics are on. Dropped while a
  // block plays; KeyPanel is off until the block has been played.
  virtual void PlayCode(const std::string& Code) = 0;
  virtual void PlayCodeThenWave(const std::string& Code, const std::string& Name) = 0;
  // The text replay window, modal; returns when it is closed. Score: the
  // learner's typed copy to show under the text, or none.
  virtual void ShowTextWindow(const TMemScore* Score) = 0;
  // The window's player, whose calls show what follows a sound when it is
  // heard; none: such a change is shown at once.
  virtual TPlayer* SoundPlayer() { return nullptr; }
  // The layout typed characters are translated with (SprachNr 1..4).
  virtual int32_t LayoutNr() const = 0;
};

// A training session on the main window: the chain of handlers that runs one
// exercise, driven by the two timers and the end of each sound. Its state is
// the program-wide state of training/SessionState.h.
class TSession final : public TSessionControls, public TKeySound {
public:
  TSession(TCourseView& CourseView, TCourse& Course, TTickTimer& ArbTimer, TTickTimer& Timer1,
           TMessageReporter& Reporter, TSessionWindow& Window);
  ~TSession() override;
  TSession(const TSession&) = delete;
  TSession& operator=(const TSession&) = delete;

  TMainView& View() { return FView; }
  // Key events reach the answer handlers (the form's keyboard preview).
  bool KeyPreview() const { return FKeyPreview; }

  void SessionBegin();
  void SessionEnd() override;
  void StartBtnClick();
  void StartUebung1();
  void StartUebung2();
  void StartUebung3();
  void StartUebung4();
  void Uebung1Tick();
  void Uebung2Tick();
  void Uebung3Tick();
  void Uebung4Tick();
  void Uebung1Weiter();
  void RepFreigabe();
  void RepBtnClick();
  void Vorlauf();
  void CountdownTick();
  void VorlaufTick();
  // The session's share of the end of a block; the window's completion
  // handler calls it after its own steps.
  void WaveDone();
  // Whether the learner answers or acts after the block playing: no
  // exercise runs, or exercise 2 or 3 asks. Exercises 1 and 4 only present,
  // and only a pause follows each character.
  bool AwaitsLearner() const;

  // Answers.
  void FormKeyDown(const TKeyInput& Key);
  void FormKeyPress(const TKeyInput& Key);
  void FormKeyUp(const TKeyInput& Key);
  void Antwort2(TMButton* Key);
  void Antwort3(TMButton* Key);
  void ZeigeKorrektur(int32_t K);
  void KorrekturTick();
  // Marks (through the course) and sounds the key.
  void FreiClick(TMButton* Key);
  // Sounds a key clicked while no answer is awaited, with its sound file.
  void SoundKey(TMButton& Key) override;

  void ArrangeIcons() override;

  // The typed copy of exercise 4 and the statistics, told of every run;
  // none by default.
  void SetTypedCopy(TTypedCopy* Copy) { FCopy = Copy; }
  // The reaction times of exercises 2 and 3: told when the character asked
  // has been heard and when an answer is taken; its median joins the
  // result. None by default.
  void SetReaction(TReaction* Reaction) { FReaction = Reaction; }

  // Connects StartBtn and RepBtn and installs the key preview filter; both
  // end with the session.
  void Wire();

private:
  void SoundItem(size_t I);
  // The status line under the window: what the end of a run decided.
  void Say(TStatusLine Line);
  void SayNothing();
  // Text after what the status line says.
  void SayAlso(const std::string& Text);
  void EndUebung23();
  void EndUebung4();
  void SetFreiClick();
  void RestoreTasten();
  // Stop: the timers' ticks placed ahead are cancelled, a sound placed ahead
  // is taken back, and the display changes that wait for sounds are dropped.
  void StopSounds();
  // Fn when the sound just placed starts to be heard, and at the due time of
  // the event being handled (a tick; the end of a sound as heard).
  void AtHeardStart(std::function<void()> Fn);
  void AtDue(std::function<void()> Fn);
  // A sound is being heard: no key is taken.
  bool Sounding();
  // An answer given before the next sound starts to be heard is the answer
  // to the sound heard: that next sound, placed ahead, is taken back.
  void AnswerBeforeSound();
  // Exercise 4 after its end signal, or its last pause: the text window and
  // the question.
  void ShowResults4();
  std::string WaveFileName(const std::string& Caption) const;
  TMButton* NeuTaste(int32_t I) const; // 1-based, nullptr outside
  TMButton* Taste(int32_t I) const;    // 1-based, nullptr outside

  TMainView& FView;
  TCourseView& FCourseView;
  TCourse& FCourse;
  TTickTimer& FArbTimer;
  TTickTimer& FTimer1;
  TMessageReporter& FReporter;
  TSessionWindow& FWindow;
  TTypedCopy* FCopy = nullptr;
  TReaction* FReaction = nullptr;
  std::string FKorrekturWave; // the sound file of the character a correction shows
  bool FEnding = false;       // exercise 4 waits for its end signal to be heard
  bool FKeyPreview = true;
  std::unique_ptr<QObject> FContext;
  std::unique_ptr<QObject> FFilter;
};

// Connects the session to its window: StartBtn, RepBtn, the keys' click
// handler (the course's FreiClick marks, the session sounds), and the key
// preview on the form and its children. The connections and the filter end
// with the session.
void WireSession(TSession& Session);

#pragma once

#include "course/Course.h"
#include "sound/Player.h"
#include "base/Reporter.h"
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
  // followed by the sound file Name when mnemonics are on, End following
  // it. Dropped, End and all, while a block plays; KeyPanel is off until the
  // block has been played.
  virtual void PlayCode(const std::string& Code, TBlockEnd End) = 0;
  virtual void PlayCodeThenWave(const std::string& Code, const std::string& Name, TBlockEnd End) = 0;
  // The text replay window, modal; returns when it is closed. Score: the
  // learner's typed copy to show under the text, or none.
  virtual void ShowTextWindow(const TMemScore* Score) = 0;
  // The window's player, whose calls show what follows a sound when it is
  // heard; none: such a change is shown at once.
  virtual TPlayer* SoundPlayer() { return nullptr; }
  // The layout typed characters are translated with (SprachNr 1..4).
  virtual int32_t LayoutNr() const = 0;
};

// A training session on the main window: runs one exercise, driven by the
// two timers, the keys and the end of each sound. What it is doing is one
// value, training::Sitzung.Phase; the timers' and the keys' handlers stay the
// same and act as the phase says, and each sound it starts carries what
// follows its end. Its state is the program-wide state of
// training/SessionState.h.
class TSession final : public TSessionControls, public TKeySound {
public:
  TSession(TCourseView& CourseView, TCourse& Course, TTickTimer& ArbTimer, TTickTimer& Timer1,
           TMessageReporter& Reporter, TSessionWindow& Window);
  ~TSession() override;
  TSession(const TSession&) = delete;
  TSession& operator=(const TSession&) = delete;

  TMainView& View() { return FView; }
  // Key events reach the answer handlers (the form's keyboard preview);
  // exercise 4's groups are written down or typed into the copy instead.
  bool KeyPreview() const;
  // The speed test, whose phase shares the window's timer; none by default.
  void SetSpeedTest(TSpeedTest* Test) { FSpeedTest = Test; }

  // The handlers of ArbTimer, Timer1 and the keys' clicks, installed once.
  void ArbTimerTick();
  void Timer1Tick();
  void KeyClick(TMButton* Key);

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
  // A character of exercise 2 or 3 has been heard whole: answers are taken
  // from now, and the wait for Repeat begins.
  void ItemHeard();
  // The end of a sound that the phase did not start (a key's, or one that
  // outlived its run): a run started meanwhile had its sound dropped while
  // that one played, and goes on as that sound's end would have let it.
  void ResumeAfterSound();

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
  void SoundItem(size_t I, TBlockEnd End);
  // What follows a sound the session starts now: Fn, once it has been heard,
  // while the phase is still the one that started it (otherwise as any
  // other sound's end); only a pause follows in exercises 1 and 4.
  TBlockEnd Then(std::function<void()> Fn);
  // Exercises 1 and 4 only present: no answer follows their sounds.
  bool OnlyPauseFollows() const;
  // The next timer tick, when the sound just heard was the run's.
  TBlockEnd ThenTick();
  // The status line under the window: what the end of a run decided.
  void Say(TStatusLine Line);
  void SayNothing();
  // Text after what the status line says.
  void SayAlso(const std::string& Text);
  void EndUebung23();
  void EndUebung4();
  // The keys' one click handler, on keys the course may have rebuilt or
  // rewired while idle.
  void WireKeys();
  bool IsNeuTaste(const TMButton* Key) const;
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
  TSpeedTest* FSpeedTest = nullptr;
  TReaction* FReaction = nullptr;
  std::string FKorrekturWave; // the sound file of the character a correction shows
  std::unique_ptr<QObject> FContext;
  std::unique_ptr<QObject> FFilter;
};

// Connects the session to its window: StartBtn, RepBtn, the keys' click
// handler (the course's FreiClick marks, the session sounds), and the key
// preview on the form and its children. The connections and the filter end
// with the session.
void WireSession(TSession& Session);

#pragma once

#include "sound/Clock.h"
#include "sound/Morse.h"
#include "sound/Reporter.h"
#include "sound/TickTimer.h"
#include "sound/WaveDevice.h"
#include "windows/MainView.h"

#include <cstdint>
#include <functional>
#include <string>

// The speed test: sounds a five-letter test word twelve times on ArbTimer,
// measures the run with the clock and corrects Intervall (ms) until the run
// lasts the time the speed demands, within 1.5 %. The result goes into
// IntervallTab; the hidden FullT box calibrates every speed from 30 to 150
// and writes the interval file at the end.
//
// The test shares the main window's controls, timer and play sequence; what
// lives above the course is handed in as hooks.
struct TSpeedTestHooks {
  // The session's return to the idle state (controls as after a session).
  std::function<void()> SessionEnd;
  // The exercise icons as when no exercise runs.
  std::function<void()> ArrangeIcons;
  // A main-window playback is under way; without a hook, the engine's Playing.
  std::function<bool()> Playing;
  // Writes IntervallTab to the interval file; false when it could not, which
  // the test tells the learner.
  std::function<bool()> WriteIntFile;
  // The layout's language number (3 is Russian); without a hook, 0.
  std::function<int32_t()> SprachNr;
};

class TSpeedTest {
public:
  TSpeedTest(TMainView& View, TMorse& Morse, TWaveWindow& Window, TTickTimer& ArbTimer,
             TClock& Clock, TMessageReporter& Reporter, TSpeedTestHooks Hooks = {});

  // Starts a test, or stops the running one ("Stop" caption).
  void TestBtnClick();
  // ArbTimer's handler while a test runs: sounds one character or evaluates
  // a finished run.
  void SpeedTestTick();
  // The completion of a test character: corrects the pending pause by the
  // output delay and switches ArbTimer on. False, doing nothing, when no test
  // runs.
  bool Completion();

  // The test word for the layout: Russian (SprachNr 3) or any other.
  static std::string TestWord(int32_t SprachNr);

  uint32_t StartTick = 0; // when the first character of the run started
  int32_t TestDauer = 0;  // ms
  int32_t SollDauer = 0;  // ms
  int32_t Toleranz = 0;   // ms
  int32_t Korrektur = 0;  // ms subtracted from Intervall
  int32_t Versuche = 0;   // runs at this speed; the fifth correction aborts
  int32_t FullIdx = 0;    // next slot of a full calibration; 0 otherwise
  int32_t Runs = 0;       // runs evaluated since the start, for the record

  static constexpr int32_t Words = 12;
  static constexpr int32_t WordLength = 5;

private:
  void EndTest();
  void SetSpeed(int32_t Cpm);
  bool MainPlaying() const;

  TMainView& FView;
  TMorse& FMorse;
  TWaveWindow& FWindow;
  TTickTimer& FArbTimer;
  TClock& FClock;
  TMessageReporter& FReporter;
  TSpeedTestHooks FHooks;
};

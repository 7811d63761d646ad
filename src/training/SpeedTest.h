#pragma once

#include "base/Clock.h"
#include "sound/Player.h"
#include "base/Reporter.h"
#include "sound/TickTimer.h"
#include "windows/MainView.h"

#include <array>
#include <cstdint>
#include <string>

// The speed test: sounds a five-letter test word twelve times on ArbTimer,
// measures the run with the clock and corrects Intervall (ms) until the run
// lasts the time the speed demands, within 1.5 %. The result goes into
// IntervallTab; a full calibration (training::Sitzung.VollTest, shown by the
// hidden FullT box) calibrates every speed from 30 to 150 and writes the
// interval file at the end.
//
// The test shares the main window's controls, timer and player, and ends as
// a session does; it writes the interval file itself after a full
// calibration. It runs in the session's phase SpeedTest
// (training::EnterPhase), which the window's timer handler follows.
//
// The run is measured on the clock the output reports its blocks' ends on:
// from the moment the first character starts sounding (the end of its block
// less its length) to the end of the last one, so the time the output takes
// to start is not counted.
// What the test asks of the session whose controls and timer it shares.
class TSessionControls {
public:
  virtual ~TSessionControls() = default;
  // The return to the idle state (controls as after a session).
  virtual void SessionEnd() = 0;
  // The exercise icons as when no exercise runs.
  virtual void ArrangeIcons() = 0;
};

class TSpeedTest {
public:
  TSpeedTest(TMainView& View, TPlayer& Player, TTickTimer& ArbTimer, TClock& Clock,
             TMessageReporter& Reporter, TSessionControls& Session);

  // Starts a test when nothing runs, or stops the running one (the phase
  // SpeedTest).
  void TestBtnClick();
  // What ArbTimer's tick does while a test runs (the session's handler
  // calls it in that phase): sounds one character or evaluates a finished
  // run.
  void SpeedTestTick();
  // The completion of a test character, and of a window's sound that ended
  // while a test runs: for a test character, takes the run's start or end
  // from it; then switches ArbTimer on. False, doing nothing, when no test
  // runs.
  bool Completion();

  // The test word for the layout: Russian (SprachNr 3) or any other. Its
  // letters fill the sequence; what sounds are TestCodes.
  static std::string TestWord(int32_t SprachNr);

  uint32_t StartTick = 0; // when the first character of the run started sounding
  int32_t TestDauer = 0;  // ms
  int32_t SollDauer = 0;  // ms
  int32_t Toleranz = 0;   // ms
  int32_t Korrektur = 0;  // ms subtracted from Intervall
  int32_t Versuche = 0;   // runs at this speed; the fifth correction aborts
  int32_t FullIdx = 0;    // next slot of a full calibration; 0 otherwise
  int32_t Runs = 0;       // runs evaluated since the start, for the record

  static constexpr int32_t Words = 12;
  static constexpr int32_t WordLength = 5;
  // The codes sounded for the word's five letters: PARIS in the
  // international code, in every course.
  static const std::array<std::string, WordLength>& TestCodes();

private:
  void EndTest();
  void SetSpeed(int32_t Cpm);

  TMainView& FView;
  TPlayer& FPlayer;
  TTickTimer& FArbTimer;
  TClock& FClock;
  TMessageReporter& FReporter;
  TSessionControls& FSession;
  bool FBlockPending = false; // a test character plays; its end is the test's
  int64_t FStartUs = 0;       // the run's first character started sounding
  int64_t FEndUs = -1;        // the run's last character ended; -1 before
};

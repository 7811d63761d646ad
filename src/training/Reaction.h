#pragma once

#include "base/Clock.h"
#include "storage/StatFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QObject;
class QInputEvent;

// The moment of an input event on the program's clock (TSteadyClock, in
// µs). An event carries the window system's own time of the press in ms,
// which on X11 is the server's time: on Linux CLOCK_MONOTONIC, the clock the
// program runs on, truncated to ms and wrapping at 2^32. When the arrival
// lies within SameClockMs after that time (taken modulo 2^32), the event's
// time is on our clock and the press is the middle of its ms. Otherwise the
// window system counts from an epoch of its own (Qt's offscreen platform: ms
// since the application started): the least difference between arrival and
// event time seen so far is that epoch, as no event arrives before it was
// made. An event without a time (0) was pressed when it arrived. A press
// never lies after its arrival.
class TInputClock {
public:
  static constexpr int64_t SameClockMs = 10000;
  int64_t PressUs(uint64_t TimestampMs, int64_t ArrivalUs);

private:
  bool FEpochKnown = false;
  int64_t FEpochUs = 0; // arrival less event time, least seen
};

// One answer of exercise 2 or 3 and its reaction.
struct TReaktion {
  int32_t UebPos = 0;
  char Zeichen = '\0'; // the character asked
  char Als = '\0';     // the character answered
  int32_t Ms = 0;      // from the heard end of the character to the press
  bool Early = false;  // pressed while the character still sounded: Ms is 0
};

// Reaction times on the heard clock: from the moment the last sample of
// the character asked was heard (the event time of its block's end) to the
// press of the key or mouse button that answered it.
class TReaction {
public:
  explicit TReaction(TClock& Clock);
  ~TReaction();
  TReaction(const TReaction&) = delete;
  TReaction& operator=(const TReaction&) = delete;

  void RunStarted();
  // The character asked has been heard to its end: the event time being
  // handled (the block's end as heard), else now.
  void Heard();
  void HeardAt(int64_t HeardUs);
  // A key or mouse button went down at PressUs (program clock).
  void Pressed(int64_t PressUs);
  // An input event of the application: presses are kept (on the program's
  // clock, see TInputClock), every event teaches the clock.
  void Input(const QInputEvent& Event);
  // Watches the application's input events from now on.
  void Watch();

  // The answer for the item at UebPos was taken: its reaction is kept.
  // Without a press since the last answer (an answer made without one) the
  // answer's own moment counts.
  void ReactionOf(int32_t UebPos, char Zeichen, char Als);

  const std::vector<TReaktion>& Answers() const { return FAnswers; }
  // The median of the run's reactions in ms, -1 without answers.
  int32_t MedianMs() const;
  int32_t Early() const;
  // Per character asked: its median and the spread between its quartiles.
  std::vector<TStatRun> PerZeichen() const;
  // The result's line: the median and the early answers, empty without
  // answers.
  std::string ResultText() const;

private:
  TClock& FClock;
  TInputClock FInputClock;
  int64_t FHeardUs = -1;
  int64_t FPressUs = -1;
  std::vector<TReaktion> FAnswers;
  std::unique_ptr<QObject> FFilter;
};

// The median and the distance between the quartiles of Ms (sorted inside).
int32_t MedianOf(std::vector<int32_t> Ms);
int32_t SpreadOf(std::vector<int32_t> Ms);

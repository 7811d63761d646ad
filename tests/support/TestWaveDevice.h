#pragma once

#include "sound/WaveDevice.h"
#include "support/ManualClock.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

enum class TWaveOp { Open, Prepare, Unprepare, Write, Reset, Close, ErrorText };

// A wave device that plays nothing. It keeps the flags of the header as the
// platform's device does, records every call in order, fails an operation
// when told to, keeps the bytes of the last written block, and finishes a
// block only when the test calls Complete().
class TTestWaveDevice final : public TWaveDevice {
public:
  TMMResult Open(const TWaveFormat& Format, TWaveWindow& Window) override;
  TMMResult Prepare(TWaveHdr& Hdr) override;
  TMMResult Unprepare(TWaveHdr& Hdr) override;
  TMMResult Write(TWaveHdr& Hdr) override;
  TMMResult Reset() override;
  TMMResult Close() override;
  std::string ErrorText(TMMResult Result) override;

  // Every later call of Op returns Result and changes nothing; 0 lets it
  // succeed again.
  void Fail(TWaveOp Op, TMMResult Result);
  // The text ErrorText gives for Result; otherwise "Wave error <n>".
  void SetErrorText(TMMResult Result, const std::string& Text);

  // Ends the queued block as the device does: sets WHDR_DONE on its header
  // and calls the window's WaveDone() right away. False if nothing is queued.
  // With a clock, the block is heard from the event time of its write (or
  // the clock's now) for its length, and its end comes as the program's
  // output reports it: when heard, or TEventTime::AheadUs before that when
  // the window said only a pause follows; it carries its heard end as the
  // event time.
  bool Complete();
  int64_t HeardStartUs() const override { return Clock != nullptr ? FHeardStartUs : -1; }
  int64_t HeardEndUs() const { return FHeardEndUs; }
  // Hush(): what is still to be heard ends now (not a call of the
  // platform's device, so not in Calls).
  void Hush() override;
  int HushCount = 0;
  TManualClock* Clock = nullptr;

  // Names of the calls in order: "Open", "Prepare", "Unprepare", "Write",
  // "Reset", "Close", "ErrorText", and "WaveDone" where Complete() reported.
  std::vector<std::string> Calls;
  // Opens not yet closed; more than 1 means a handle was opened twice.
  int OpenCount = 0;
  TWaveFormat LastFormat;
  TWaveWindow* Window = nullptr;
  // The block being played, or nullptr.
  TWaveHdr* Queued = nullptr;
  // The bytes of the last block written.
  std::vector<uint8_t> Written;
  // What the window answered to DoneAhead() when it was written.
  bool DoneAhead = false;
  int WaveDoneCount = 0;

private:
  bool Failing(TWaveOp Op, TMMResult& Result) const;

  int64_t FHeardStartUs = -1;
  int64_t FHeardEndUs = -1;
  std::map<TWaveOp, TMMResult> FFailures;
  std::map<TMMResult, std::string> FTexts;
};

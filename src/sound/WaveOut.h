#pragma once

#include "base/Clock.h"
#include "sound/WaveDevice.h"

#include <memory>

class TPulseWaveDevice;
class TQtWaveDevice;

// The program's wave output: the PulseAudio stream where the program was
// built with its client library and a server answers, otherwise the portable
// one on Qt Multimedia. The choice is made at the first Open that succeeds
// and kept; until then every Open tries the PulseAudio stream first.
class TWaveOut final : public TWaveDevice {
public:
  explicit TWaveOut(TClock& Clock = TSteadyClock::Instance());
  ~TWaveOut() override;
  TWaveOut(const TWaveOut&) = delete;
  TWaveOut& operator=(const TWaveOut&) = delete;

  TMMResult Open(const TWaveFormat& Format, TWaveWindow& Window) override;
  TMMResult Prepare(TWaveHdr& Hdr) override;
  TMMResult Unprepare(TWaveHdr& Hdr) override;
  TMMResult Write(TWaveHdr& Hdr) override;
  TMMResult Reset() override;
  TMMResult Close() override;
  std::string ErrorText(TMMResult Result) override;
  int64_t HeardStartUs() const override;
  void Hush() override;

  // Stops the output for good: nothing more reaches the server.
  void Halt();
  // The PulseAudio stream, when it is the one chosen.
  TPulseWaveDevice* Pulse() const;

private:
  TClock& FClock;
  std::unique_ptr<TPulseWaveDevice> FPulse;
  std::unique_ptr<TQtWaveDevice> FQt;
  TWaveDevice* FChosen = nullptr;
  bool FHalted = false;
};

// Stops every wave output of the program (see TWaveOut::Halt): for an end of
// the program that does not unwind, such as a lost display connection.
void HaltWaveOutput();

#include "sound/WaveOut.h"

#include "sound/QtWaveDevice.h"
#if VELM_HAVE_PULSE
#include "sound/PulseWaveDevice.h"
#endif

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

std::mutex OutputsLock;
std::vector<TWaveOut*>& Outputs() {
  static std::vector<TWaveOut*> List;
  return List;
}

} // namespace

#if !VELM_HAVE_PULSE
// Without the client library there is no PulseAudio stream to choose.
class TPulseWaveDevice : public TWaveDevice {};
#endif

TWaveOut::TWaveOut(TClock& Clock) : FClock(Clock) {
#if VELM_HAVE_PULSE
  FPulse = std::make_unique<TPulseWaveDevice>(Clock);
#endif
  std::lock_guard Guard(OutputsLock);
  Outputs().push_back(this);
}

TWaveOut::~TWaveOut() {
  {
    std::lock_guard Guard(OutputsLock);
    auto& List = Outputs();
    List.erase(std::remove(List.begin(), List.end(), this), List.end());
  }
  Halt();
}

void TWaveOut::Halt() {
  if (FHalted)
    return;
  FHalted = true;
#if VELM_HAVE_PULSE
  if (FPulse)
    FPulse->Halt();
#endif
  FQt.reset();
  FChosen = nullptr;
}

TPulseWaveDevice* TWaveOut::Pulse() const {
  return FChosen != nullptr && FChosen == static_cast<TWaveDevice*>(FPulse.get()) ? FPulse.get()
                                                                                : nullptr;
}

TMMResult TWaveOut::Open(const TWaveFormat& Format, TWaveWindow& Window) {
  if (FHalted)
    return MMSYSERR_NODRIVER;
  if (FChosen != nullptr)
    return FChosen->Open(Format, Window);
  TMMResult Result = MMSYSERR_NODRIVER;
  if (FPulse) {
    Result = FPulse->Open(Format, Window);
    if (Result == MMSYSERR_NOERROR || Result == WAVERR_BADFORMAT) {
      if (Result == MMSYSERR_NOERROR)
        FChosen = FPulse.get();
      return Result;
    }
  }
  if (!FQt)
    FQt = std::make_unique<TQtWaveDevice>(FClock);
  const TMMResult QtResult = FQt->Open(Format, Window);
  if (QtResult == MMSYSERR_NOERROR)
    FChosen = FQt.get();
  return FPulse ? (QtResult == MMSYSERR_NOERROR ? QtResult : Result) : QtResult;
}

TMMResult TWaveOut::Prepare(TWaveHdr& Hdr) {
  return FChosen != nullptr ? FChosen->Prepare(Hdr) : MMSYSERR_INVALHANDLE;
}

TMMResult TWaveOut::Unprepare(TWaveHdr& Hdr) {
  return FChosen != nullptr ? FChosen->Unprepare(Hdr) : MMSYSERR_INVALHANDLE;
}

TMMResult TWaveOut::Write(TWaveHdr& Hdr) {
  return FChosen != nullptr ? FChosen->Write(Hdr) : MMSYSERR_INVALHANDLE;
}

TMMResult TWaveOut::Reset() {
  return FChosen != nullptr ? FChosen->Reset() : MMSYSERR_INVALHANDLE;
}

TMMResult TWaveOut::Close() {
  return FChosen != nullptr ? FChosen->Close() : MMSYSERR_INVALHANDLE;
}

int64_t TWaveOut::HeardStartUs() const {
  return FChosen != nullptr ? FChosen->HeardStartUs() : -1;
}

void TWaveOut::Hush() {
  if (FChosen != nullptr)
    FChosen->Hush();
}

std::string TWaveOut::ErrorText(TMMResult Result) {
  if (FChosen != nullptr)
    return FChosen->ErrorText(Result);
  if (FPulse)
    return FPulse->ErrorText(Result);
  if (!FQt)
    FQt = std::make_unique<TQtWaveDevice>(FClock);
  return FQt->ErrorText(Result);
}

void HaltWaveOutput() {
  std::lock_guard Guard(OutputsLock);
  for (TWaveOut* Out : Outputs())
    Out->Halt();
}

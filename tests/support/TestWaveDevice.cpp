#include "support/TestWaveDevice.h"

#include "base/Clock.h"

#include <algorithm>

bool TTestWaveDevice::Failing(TWaveOp Op, TMMResult& Result) const {
  const auto It = FFailures.find(Op);
  if (It == FFailures.end() || It->second == MMSYSERR_NOERROR)
    return false;
  Result = It->second;
  return true;
}

TMMResult TTestWaveDevice::Open(const TWaveFormat& Format, TWaveWindow& Target) {
  Calls.push_back("Open");
  TMMResult Result = MMSYSERR_NOERROR;
  if (Failing(TWaveOp::Open, Result))
    return Result;
  ++OpenCount;
  LastFormat = Format;
  Window = &Target;
  return MMSYSERR_NOERROR;
}

TMMResult TTestWaveDevice::Prepare(TWaveHdr& Hdr) {
  Calls.push_back("Prepare");
  TMMResult Result = MMSYSERR_NOERROR;
  if (Failing(TWaveOp::Prepare, Result))
    return Result;
  if (OpenCount == 0)
    return MMSYSERR_INVALHANDLE;
  Hdr.Flags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

TMMResult TTestWaveDevice::Unprepare(TWaveHdr& Hdr) {
  Calls.push_back("Unprepare");
  TMMResult Result = MMSYSERR_NOERROR;
  if (Failing(TWaveOp::Unprepare, Result))
    return Result;
  if (OpenCount == 0)
    return MMSYSERR_INVALHANDLE;
  if (Queued == &Hdr)
    return WAVERR_STILLPLAYING;
  Hdr.Flags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

TMMResult TTestWaveDevice::Write(TWaveHdr& Hdr) {
  Calls.push_back("Write");
  TMMResult Result = MMSYSERR_NOERROR;
  if (Failing(TWaveOp::Write, Result))
    return Result;
  if (OpenCount == 0)
    return MMSYSERR_INVALHANDLE;
  if ((Hdr.Flags & WHDR_PREPARED) == 0)
    return WAVERR_UNPREPARED;
  if (Queued != nullptr)
    return WAVERR_STILLPLAYING;
  MarkQueued(Hdr);
  Written.assign(Hdr.Data, Hdr.Data + Hdr.BufferLength);
  DoneAhead = Window != nullptr && Window->DoneAhead();
  Queued = &Hdr;
  if (Clock != nullptr) {
    FHeardStartUs = TEventTime::Current() >= 0 ? TEventTime::Current() : Clock->NowUs();
    const int64_t Rate = LastFormat.AvgBytesPerSec > 0 ? LastFormat.AvgBytesPerSec : 11025;
    FHeardEndUs = FHeardStartUs + int64_t{Hdr.BufferLength} * 1000000 / Rate;
  }
  return MMSYSERR_NOERROR;
}

void TTestWaveDevice::Hush() {
  ++HushCount;
  if (Clock == nullptr)
    return;
  FHeardEndUs = std::min(FHeardEndUs, Clock->NowUs());
  FHeardStartUs = std::min(FHeardStartUs, FHeardEndUs);
}

TMMResult TTestWaveDevice::Reset() {
  Calls.push_back("Reset");
  TMMResult Result = MMSYSERR_NOERROR;
  if (Failing(TWaveOp::Reset, Result))
    return Result;
  if (OpenCount == 0)
    return MMSYSERR_INVALHANDLE;
  MarkDone(Queued);
  return MMSYSERR_NOERROR;
}

TMMResult TTestWaveDevice::Close() {
  Calls.push_back("Close");
  TMMResult Result = MMSYSERR_NOERROR;
  if (Failing(TWaveOp::Close, Result))
    return Result;
  if (OpenCount == 0)
    return MMSYSERR_INVALHANDLE;
  if (Queued != nullptr)
    return WAVERR_STILLPLAYING;
  --OpenCount;
  return MMSYSERR_NOERROR;
}

std::string TTestWaveDevice::ErrorText(TMMResult Result) {
  Calls.push_back("ErrorText");
  const auto It = FTexts.find(Result);
  if (It != FTexts.end())
    return It->second;
  return "Wave error " + std::to_string(Result);
}

void TTestWaveDevice::Fail(TWaveOp Op, TMMResult Result) { FFailures[Op] = Result; }

void TTestWaveDevice::SetErrorText(TMMResult Result, const std::string& Text) {
  FTexts[Result] = Text;
}

bool TTestWaveDevice::Complete() {
  if (Queued == nullptr || Window == nullptr)
    return false;
  MarkDone(Queued);
  Calls.push_back("WaveDone");
  ++WaveDoneCount;
  if (Clock == nullptr) {
    Window->WaveDone();
    return true;
  }
  Clock->SetNowUs(std::max(Clock->NowUs(), DoneAhead ? FHeardEndUs - TEventTime::AheadUs : FHeardEndUs));
  const TEventTime Scope(FHeardEndUs);
  Window->WaveDone();
  return true;
}

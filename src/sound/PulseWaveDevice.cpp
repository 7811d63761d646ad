#include "sound/PulseWaveDevice.h"

#include "sound/PulseStream.h"


namespace {

// The lock of the output thread's loop, for the interface thread.
class TLoopLock {
public:
  explicit TLoopLock(pa_threaded_mainloop* Loop) : FLoop(Loop) {
    if (FLoop != nullptr)
      pa_threaded_mainloop_lock(FLoop);
  }
  ~TLoopLock() {
    if (FLoop != nullptr)
      pa_threaded_mainloop_unlock(FLoop);
  }
  TLoopLock(const TLoopLock&) = delete;
  TLoopLock& operator=(const TLoopLock&) = delete;

private:
  pa_threaded_mainloop* FLoop;
};

struct TWaitEnd {
  pa_threaded_mainloop* Loop = nullptr;
  bool Over = false;
};

void OnWaitOver(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* User) {
  auto& W = *static_cast<TWaitEnd*>(User);
  W.Over = true;
  pa_threaded_mainloop_signal(W.Loop, 0);
}

} // namespace

TPulseWaveDevice::TPulseWaveDevice(TClock& Clock) : TPulseWaveDevice(Clock, TSettings{}) {}

TPulseWaveDevice::TPulseWaveDevice(TClock& Clock, const TSettings& Settings)
    : FClock(Clock), FSettings(Settings), FShared(std::make_shared<TShared>()),
      FUiContext(std::make_unique<QObject>()), FConverted(MaxBlockSamples, Silence) {
  auto& S = *FShared;
  S.Settings = Settings;
  S.Deliver = [this](uint64_t Serial, int64_t DoneUs) {
    QMetaObject::invokeMethod(
        FUiContext.get(), [this, Serial, DoneUs] { Delivered(Serial, DoneUs); },
        Qt::QueuedConnection);
  };
  S.Fail = [this] {
    QMetaObject::invokeMethod(FUiContext.get(), [this] { Failed(); }, Qt::QueuedConnection);
  };
  S.Loop = pa_threaded_mainloop_new();
  if (S.Loop == nullptr)
    return;
  pa_threaded_mainloop_set_name(S.Loop, "WaveOut");
  if (pa_threaded_mainloop_start(S.Loop) < 0) {
    pa_threaded_mainloop_free(S.Loop);
    S.Loop = nullptr;
    return;
  }
  // Connected now, so that the first sound of the program is not late.
  TLoopLock Lock(S.Loop);
  S.Connect();
}

TPulseWaveDevice::~TPulseWaveDevice() {
  Halt();
  if (FShared->Loop != nullptr) {
    {
      TLoopLock Lock(FShared->Loop);
      FShared->DropContext();
    }
    pa_threaded_mainloop_free(FShared->Loop);
    FShared->Loop = nullptr;
  }
}

void TPulseWaveDevice::Halt() {
  auto& S = *FShared;
  if (S.Loop == nullptr || S.Halted)
    return;
  {
    TLoopLock Lock(S.Loop);
    S.Halted = true;
    S.Deliver = nullptr;
    S.Fail = nullptr;
    S.Blocks.clear();
    S.DropContext();
    S.Link = TShared::TLink::Failed;
  }
  pa_threaded_mainloop_stop(S.Loop);
}

// Interface thread: until the stream is ready, or the server cannot be
// reached, or ConnectTimeoutMs have passed.
bool TPulseWaveDevice::WaitForStream() {
  auto& S = *FShared;
  if (S.Loop == nullptr || S.Halted)
    return false;
  TLoopLock Lock(S.Loop);
  if (S.Link == TShared::TLink::Ready)
    return true;
  if (S.Link != TShared::TLink::Connecting)
    S.Connect();
  // The first connection is made while the program starts; a later one
  // (the server went away) is waited for only briefly, so that a server
  // that does not answer cannot hold up the interface thread: the attempt
  // goes on, and the next Open finds it made.
  const int WaitMs = S.Stats.Connects > 0 || S.Failures > 0 ? FSettings.ReconnectTimeoutMs
                                                            : FSettings.ConnectTimeoutMs;
  if (S.Failures < INT_MAX)
    ++S.Failures;
  TWaitEnd End;
  End.Loop = S.Loop;
  pa_time_event* Deadline = nullptr;
  if (S.Context != nullptr)
    Deadline = pa_context_rttime_new(
        S.Context, pa_rtclock_now() + static_cast<pa_usec_t>(WaitMs) * 1000, OnWaitOver, &End);
  while (S.Link == TShared::TLink::Connecting && !End.Over && Deadline != nullptr)
    pa_threaded_mainloop_wait(S.Loop);
  if (Deadline != nullptr && S.Context != nullptr)
    pa_threaded_mainloop_get_api(S.Loop)->time_free(Deadline);
  if (S.Link == TShared::TLink::Ready)
    S.Failures = 0;
  return S.Link == TShared::TLink::Ready;
}

TMMResult TPulseWaveDevice::Open(const TWaveFormat& Format, TWaveWindow& Window) {
  if (!StreamCanPlay(Format))
    return WAVERR_BADFORMAT;
  if (!WaitForStream())
    return MMSYSERR_NODRIVER;
  FOpen = true;
  FFormat = Format;
  FWindow = &Window;
  return MMSYSERR_NOERROR;
}

TMMResult TPulseWaveDevice::Prepare(TWaveHdr& Hdr) {
  return PrepareHeader(FOpen, Hdr);
}

TMMResult TPulseWaveDevice::Unprepare(TWaveHdr& Hdr) {
  return UnprepareHeader(FOpen, Hdr);
}

TMMResult TPulseWaveDevice::Write(TWaveHdr& Hdr) {
  if (!FOpen)
    return MMSYSERR_INVALHANDLE;
  if ((Hdr.Flags & WHDR_PREPARED) == 0)
    return WAVERR_UNPREPARED;
  if (FQueued != nullptr)
    return WAVERR_STILLPLAYING;
  auto& S = *FShared;
  const uint32_t N = ConvertToStream(FFormat, Hdr, FConverted);
  const bool Timed = TEventTime::Current() >= 0;
  const int64_t TargetUs = Timed ? FClock.NowUs() : -1;
  const bool Ahead = FWindow != nullptr && FWindow->DoneAhead();
  {
    TLoopLock Lock(S.Loop);
    if (S.Link != TShared::TLink::Ready || S.Halted)
      return MMSYSERR_NODRIVER;
    const int64_t NowUs = TSteadyClock::RealNowUs();
    // A block of the learner's that starts the stream goes to the server
    // before the stream plays, so that the server cannot have run past its
    // first samples when they arrive; a timed one waits for the server's
    // clock, which only a playing stream gives.
    const bool Starting = S.Corked;
    if (!Starting || Timed)
      S.Uncork(NowUs);
    TShared::TBlock B;
    B.Serial = ++FSerial;
    B.TargetUs = TargetUs;
    B.Ahead = Ahead;
    B.WrittenUs = NowUs;
    B.Samples.assign(FConverted.begin(), FConverted.begin() + N);
    long double Heard = 0;
    if (!S.HeardAt(NowUs, Heard))
      Heard = S.GuessHeard(NowUs);
    S.Blocks.push_back(std::move(B));
    // A block of the learner's goes to the first free position; a timed
    // one where its event is due, once the server's clock is known.
    if (!Timed)
      S.Place(S.Blocks.back(), std::max(S.Written, S.LastEnd), NowUs, Heard);
    else if (S.Anchored)
      S.PlaceDue(NowUs, INT64_MAX);
    // Handed over whole at once, more than the server asks for: a loaded
    // machine cannot starve a sound once it has been placed.
    if (S.Blocks.back().Placed)
      S.WriteAhead(S.LastEnd);
    if (Starting && !Timed)
      S.Uncork(NowUs);
    ++S.Stats.Blocks;
    const auto& Last = S.Blocks.back();
    if (Last.Placed && S.HeardAt(NowUs, Heard))
      FHeardStartUs = S.HeardUsOf(Last.Start, NowUs, Heard);
    else if (Last.Placed)
      FHeardStartUs = NowUs + SamplesToUs(static_cast<long double>(Last.Start) - S.GuessHeard(NowUs));
    else
      FHeardStartUs = TargetUs;
    S.Check(NowUs);
  }
  MarkQueued(Hdr);
  FQueued = &Hdr;
  return MMSYSERR_NOERROR;
}

void TPulseWaveDevice::Failed() {
  if (FQueued == nullptr)
    return; // reset meanwhile: nothing waits
  MarkDone(FQueued);
  ++FSerial;
  if (FWindow != nullptr)
    FWindow->WaveFailed();
}

void TPulseWaveDevice::Delivered(uint64_t Serial, int64_t DoneUs) {
  if (FQueued == nullptr || Serial != FSerial)
    return; // reset or replaced meanwhile
  MarkDone(FQueued);
  if (FWindow != nullptr) {
    const TEventTime Due(DoneUs);
    FWindow->WaveDone();
  }
}

void TPulseWaveDevice::Hush() {
  auto& S = *FShared;
  if (S.Loop == nullptr)
    return;
  TLoopLock Lock(S.Loop);
  // What has not been heard yet becomes silence, also in the server's
  // buffer, but for a moment's margin. A tone is faded out, not cut: a cut
  // in the middle of an element clicks.
  long double Heard = 0;
  const int64_t NowUs = TSteadyClock::RealNowUs();
  if (!S.HeardAt(NowUs, Heard))
    Heard = S.GuessHeard(NowUs);
  const int64_t From = std::min(S.Written, static_cast<int64_t>(Heard) + MsToSamples(5));
  const int64_t FadeSamples = MsToSamples(5);
  for (auto It = S.Blocks.begin(); It != S.Blocks.end();) {
    It->Reported = true;
    if (!It->Placed) {
      It = S.Blocks.erase(It);
      continue;
    }
    const int64_t Keep = std::clamp<int64_t>(From - It->Start, 0, It->Length());
    // A block not yet heard at From goes whole; one heard fades out.
    const int64_t End = Keep > 0 ? std::min(It->Length(), Keep + FadeSamples) : 0;
    for (int64_t K = Keep; K < End; ++K) {
      auto& Sample = It->Samples[static_cast<size_t>(K)];
      const int64_t Level = (static_cast<int64_t>(Sample) - Silence) * (End - K) / (FadeSamples + 1);
      Sample = static_cast<uint8_t>(Silence + Level);
    }
    It->Samples.resize(static_cast<size_t>(End));
    ++It;
  }
  S.Overwrite(From);
  S.LastEnd = S.Written;
  for (const auto& B : S.Blocks)
    S.LastEnd = std::max(S.LastEnd, B.Start + B.Length());
}

TMMResult TPulseWaveDevice::Reset() {
  if (!FOpen)
    return MMSYSERR_INVALHANDLE;
  Hush();
  MarkDone(FQueued);
  ++FSerial;
  return MMSYSERR_NOERROR;
}

TMMResult TPulseWaveDevice::Close() {
  return CloseOutput(FOpen, FQueued);
}

std::string TPulseWaveDevice::ErrorText(TMMResult Result) {
  return WaveErrorText(Result);
}

TPulseWaveDevice::TStats TPulseWaveDevice::Stats() const {
  if (FShared->Loop == nullptr)
    return FShared->Stats;
  TLoopLock Lock(FShared->Loop);
  return FShared->Stats;
}

std::vector<TPulseWaveDevice::TPlaced> TPulseWaveDevice::Placed() const {
  if (FShared->Loop == nullptr)
    return {};
  TLoopLock Lock(FShared->Loop);
  return {FShared->History.begin(), FShared->History.end()};
}

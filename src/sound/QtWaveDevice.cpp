#include "sound/QtWaveDevice.h"

#include "sound/WaveConvert.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

constexpr uint8_t Silence = 128;

int64_t MsToSamples(int Ms) { return int64_t{Ms} * StreamRate / 1000; }

} // namespace

// State shared by the interface thread and the feeder, under Lock.
struct TQtWaveDevice::TShared {
  std::mutex Lock;

  // Stream clock: position BasePos is due at BaseUs.
  int64_t BaseUs = 0;
  int64_t BasePos = 0;
  // The clock starts when the server first asks for more than the initial
  // silence; until then it waits with the server.
  bool ClockRunning = false;
  // Positions below Written have been handed to the server.
  int64_t Written = 0;

  // Blocks on the stream. A block is reported done when its end is due, which
  // is LeadMs before its tail reaches the server, so the next block may
  // arrive while the last one is still being handed over: each keeps its own
  // samples until they are written.
  struct TSegment {
    bool Used = false;
    uint64_t Serial = 0;
    int64_t Start = 0;
    int64_t Length = 0;
    std::vector<uint8_t> Samples = std::vector<uint8_t>(MaxBlockSamples, Silence);
  };
  std::array<TSegment, 3> Segments;

  // The block whose end the interface thread waits for.
  bool BlockActive = false;
  bool BlockReported = false;
  uint64_t Serial = 0;
  int64_t DueUs = 0;
  int64_t BlockEnd = 0;

  // Due time of the end of the last block: the stream counts as idle from it.
  int64_t LastSoundUs = 0;

  bool StreamOk = false;
  TStats Stats;

  long double PosAt(int64_t Us) const {
    return static_cast<long double>(BasePos) +
           static_cast<long double>(Us - BaseUs) * StreamRate / 1e6L;
  }
  int64_t DueOf(int64_t Pos) const {
    // Rounded up, so that at DueOf(p) the position p has really been reached.
    const long double Us = static_cast<long double>(BaseUs) +
                           static_cast<long double>(Pos - BasePos) * 1e6L / StreamRate;
    return static_cast<int64_t>(std::ceil(Us));
  }
  bool Pending() const {
    for (const auto& Seg : Segments)
      if (Seg.Used && Seg.Start + Seg.Length > Written)
        return true;
    return BlockActive && !BlockReported;
  }
  TSegment& FreeSegment() {
    TSegment* Oldest = &Segments[0];
    for (auto& Seg : Segments) {
      if (!Seg.Used || Seg.Start + Seg.Length <= Written)
        return Seg;
      if (Seg.Serial < Oldest->Serial)
        Oldest = &Seg;
    }
    return *Oldest;
  }
};

// Lives in the device's thread: owns the sink and feeds it every few
// milliseconds with the samples whose time has come.
class TStreamFeeder : public QObject {
public:
  TStreamFeeder(TQtWaveDevice& Device, std::shared_ptr<TQtWaveDevice::TShared> Shared,
                const TQtWaveDevice::TSettings& Settings)
      : FDevice(Device), FShared(std::move(Shared)), FSettings(Settings),
        FScratch(static_cast<size_t>(MsToSamples(Settings.BufferMs) * 4 + 4096), Silence) {}

  bool Start();
  void Stop();

private:
  void Feed();
  void FillScratch(int64_t From, int64_t Count);
  void AdjustClock(int64_t NowUs, int64_t Level);

  TQtWaveDevice& FDevice;
  std::shared_ptr<TQtWaveDevice::TShared> FShared;
  TQtWaveDevice::TSettings FSettings;
  QAudioSink* FSink = nullptr;
  QIODevice* FIo = nullptr;
  QTimer* FTimer = nullptr;
  std::vector<uint8_t> FScratch;
  // Smallest fill level of the server's buffer seen since the last check.
  int64_t FMinLevel = -1;
  int64_t FLevelSinceUs = 0;
};

bool TStreamFeeder::Start() {
  const QAudioDevice Out = QMediaDevices::defaultAudioOutput();
  if (Out.isNull())
    return false;
  QAudioFormat Format;
  Format.setSampleRate(StreamRate);
  Format.setChannelCount(1);
  Format.setSampleFormat(QAudioFormat::UInt8);
  FSink = new QAudioSink(Out, Format, this);
  FSink->setBufferSize(static_cast<qsizetype>(MsToSamples(FSettings.BufferMs)));
  FIo = FSink->start();
  if (FIo == nullptr || FSink->state() == QAudio::StoppedState) {
    delete FSink;
    FSink = nullptr;
    FIo = nullptr;
    return false;
  }
  QObject::connect(FSink, &QAudioSink::stateChanged, this, [this](QAudio::State State) {
    if (State == QAudio::IdleState && FSink->error() == QAudio::UnderrunError) {
      std::lock_guard<std::mutex> Guard(FShared->Lock);
      ++FShared->Stats.Underflows;
    } else if (State == QAudio::StoppedState) {
      std::lock_guard<std::mutex> Guard(FShared->Lock);
      FShared->StreamOk = false;
    }
  });

  // Fill the server's buffer with silence so that it starts playing, then
  // start the clock so that the next position is due LeadMs from now.
  const qsizetype Free = std::min<qsizetype>(FSink->bytesFree(), static_cast<qsizetype>(FScratch.size()));
  std::fill(FScratch.begin(), FScratch.end(), Silence);
  const qint64 Prefilled = Free > 0 ? FIo->write(reinterpret_cast<const char*>(FScratch.data()), Free) : 0;
  {
    std::lock_guard<std::mutex> Guard(FShared->Lock);
    FShared->Written = std::max<int64_t>(Prefilled, 0);
    FShared->BaseUs = TSteadyClock::RealNowUs();
    FShared->BasePos = FShared->Written + MsToSamples(FSettings.LeadMs);
    FShared->LastSoundUs = FShared->BaseUs;
    FShared->ClockRunning = false;
    FShared->StreamOk = true;
    FShared->Stats.SamplesWritten = FShared->Written;
  }
  FTimer = new QTimer(this);
  FTimer->setTimerType(Qt::PreciseTimer);
  FTimer->setInterval(FSettings.FeedIntervalMs);
  QObject::connect(FTimer, &QTimer::timeout, this, [this] { Feed(); });
  FTimer->start();
  return true;
}

void TStreamFeeder::Stop() {
  if (FTimer != nullptr)
    FTimer->stop();
  if (FSink != nullptr)
    FSink->stop();
  delete FSink;
  FSink = nullptr;
  FIo = nullptr;
  std::lock_guard<std::mutex> Guard(FShared->Lock);
  FShared->StreamOk = false;
}

// Scratch := the stream's samples [From, From + Count): the blocks where
// they lie, later blocks over earlier ones, silence elsewhere. Called with the
// lock held.
void TStreamFeeder::FillScratch(int64_t From, int64_t Count) {
  auto& S = *FShared;
  uint8_t* Out = FScratch.data();
  std::memset(Out, Silence, static_cast<size_t>(Count));
  std::array<const TQtWaveDevice::TShared::TSegment*, 3> Order{};
  size_t N = 0;
  for (const auto& Seg : S.Segments) {
    if (!Seg.Used)
      continue;
    // Insert in serial order (three entries at most).
    size_t At = N++;
    while (At > 0 && Order[At - 1]->Serial > Seg.Serial) {
      Order[At] = Order[At - 1];
      --At;
    }
    Order[At] = &Seg;
  }
  for (size_t I = 0; I < N; ++I) {
    const auto& Seg = *Order[I];
    const int64_t Lo = std::max(From, Seg.Start);
    const int64_t Hi = std::min(From + Count, Seg.Start + Seg.Length);
    if (Lo < Hi)
      std::memcpy(Out + (Lo - From), Seg.Samples.data() + (Lo - Seg.Start), static_cast<size_t>(Hi - Lo));
  }
}

void TStreamFeeder::Feed() {
  const int64_t NowUs = TSteadyClock::RealNowUs();
  bool Report = false;
  uint64_t Serial = 0;
  int64_t DueUs = 0;

  if (FSink != nullptr && FIo != nullptr) {
    const qsizetype Free = FSink->bytesFree();
    int64_t Count = 0;
    int64_t From = 0;
    {
      std::lock_guard<std::mutex> Guard(FShared->Lock);
      auto& S = *FShared;
      if (!S.ClockRunning) {
        // The server still plays the initial silence: hold the clock. When it
        // first asks for more, start the clock so that its whole request can
        // be met at once: the server's buffer stays full from then on, and a
        // late feed finds a full buffer's worth of margin.
        S.BaseUs = NowUs;
        S.BasePos = S.Written + MsToSamples(FSettings.LeadMs) + static_cast<int64_t>(Free);
        S.ClockRunning = Free > 0;
        // A block written meanwhile waits with the clock.
        if (S.BlockActive && !S.BlockReported)
          S.DueUs = S.DueOf(S.BlockEnd);
      }
      // Hand over only what is LeadMs old on the stream clock.
      const auto Horizon = static_cast<int64_t>(std::floor(S.PosAt(NowUs))) - MsToSamples(FSettings.LeadMs);
      Count = std::min<int64_t>({Horizon - S.Written, static_cast<int64_t>(Free),
                                 static_cast<int64_t>(FScratch.size())});
      if (Count > 0) {
        From = S.Written;
        FillScratch(From, Count);
        S.Written += Count;
        S.Stats.SamplesWritten = S.Written;
      }
    }
    if (Count > 0) {
      const qint64 Done = FIo->write(reinterpret_cast<const char*>(FScratch.data()), Count);
      if (Done < Count) {
        // The server took less than it offered: give the rest back to the
        // stream so that no position is skipped.
        std::lock_guard<std::mutex> Guard(FShared->Lock);
        FShared->Written = From + std::max<qint64>(Done, 0);
      }
    }
    const qsizetype FreeAfter = FSink->bytesFree();
    AdjustClock(NowUs, static_cast<int64_t>(FSink->bufferSize() - FreeAfter));
  }

  {
    std::lock_guard<std::mutex> Guard(FShared->Lock);
    auto& S = *FShared;
    if (S.BlockActive && !S.BlockReported && NowUs >= S.DueUs) {
      S.BlockReported = true;
      Report = true;
      Serial = S.Serial;
      DueUs = S.DueUs;
    }
  }
  if (Report)
    FDevice.Delivered(Serial, DueUs);
}

// Keeps the server's buffer about half full when its clock drifts from the
// steady clock, and keeps the stream clock from running ahead of a server that
// stalled: moves the stream clock, but only after a long silence, so that no
// timed gap between two sounds is touched.
void TStreamFeeder::AdjustClock(int64_t NowUs, int64_t Level) {
  if (FMinLevel < 0 || Level < FMinLevel)
    FMinLevel = Level;
  if (NowUs - FLevelSinceUs < 2000000)
    return;
  const int64_t Buffer = MsToSamples(FSettings.BufferMs);
  const int64_t MinLevel = FMinLevel;
  FMinLevel = -1;
  FLevelSinceUs = NowUs;
  std::lock_guard<std::mutex> Guard(FShared->Lock);
  auto& S = *FShared;
  const bool Idle = S.ClockRunning && !S.Pending() &&
                    NowUs - S.LastSoundUs >= int64_t{FSettings.IdleBeforeAdjustMs} * 1000;
  if (!Idle)
    return;
  const int64_t Backlog = static_cast<int64_t>(std::floor(S.PosAt(NowUs))) -
                          MsToSamples(FSettings.LeadMs) - S.Written;
  int64_t Shift = 0;
  if (Backlog > Buffer / 2)
    Shift = -(Backlog - Buffer / 4); // the server took less than its time: catch up
  else if (MinLevel < Buffer / 2)
    Shift = Buffer * 3 / 4 - MinLevel; // starving: let the clock run ahead
  if (Shift == 0)
    return;
  S.BasePos += Shift;
  ++S.Stats.ClockAdjustments;
}

TQtWaveDevice::TQtWaveDevice(TClock& Clock) : TQtWaveDevice(Clock, TSettings{}) {}

TQtWaveDevice::TQtWaveDevice(TClock& Clock, const TSettings& Settings)
    : FClock(Clock), FSettings(Settings), FShared(std::make_shared<TShared>()),
      FUiContext(std::make_unique<QObject>()), FConverted(MaxBlockSamples, Silence) {}

TQtWaveDevice::~TQtWaveDevice() {
  StopStream();
}

bool TQtWaveDevice::StartStream() {
  StopStream();
  FThread = new QThread();
  FThread->setObjectName("WaveOut");
  FThread->start(QThread::TimeCriticalPriority);
  FFeeder = new TStreamFeeder(*this, FShared, FSettings);
  FFeeder->moveToThread(FThread);
  bool Ok = false;
  QMetaObject::invokeMethod(FFeeder, [this, &Ok] { Ok = FFeeder->Start(); },
                            Qt::BlockingQueuedConnection);
  if (!Ok)
    StopStream();
  return Ok;
}

void TQtWaveDevice::StopStream() {
  if (FThread == nullptr)
    return;
  if (FFeeder != nullptr) {
    TStreamFeeder* Feeder = FFeeder;
    QMetaObject::invokeMethod(Feeder, [Feeder] {
      Feeder->Stop();
      delete Feeder;
    }, Qt::BlockingQueuedConnection);
    FFeeder = nullptr;
  }
  FThread->quit();
  FThread->wait();
  delete FThread;
  FThread = nullptr;
}

TMMResult TQtWaveDevice::Open(const TWaveFormat& Format, TWaveWindow& Window) {
  if (!StreamCanPlay(Format))
    return WAVERR_BADFORMAT;
  bool Ok = false;
  {
    std::lock_guard<std::mutex> Guard(FShared->Lock);
    Ok = FShared->StreamOk;
  }
  if (!Ok && !StartStream())
    return MMSYSERR_NODRIVER;
  FOpen = true;
  FFormat = Format;
  FWindow = &Window;
  return MMSYSERR_NOERROR;
}

TMMResult TQtWaveDevice::Prepare(TWaveHdr& Hdr) {
  return PrepareHeader(FOpen, Hdr);
}

TMMResult TQtWaveDevice::Unprepare(TWaveHdr& Hdr) {
  return UnprepareHeader(FOpen, Hdr);
}

uint32_t TQtWaveDevice::ConvertBlock(const TWaveHdr& Hdr) {
  return ConvertToStream(FFormat, Hdr, FConverted);
}

TMMResult TQtWaveDevice::Write(TWaveHdr& Hdr) {
  if (!FOpen)
    return MMSYSERR_INVALHANDLE;
  if ((Hdr.Flags & WHDR_PREPARED) == 0)
    return WAVERR_UNPREPARED;
  if (FQueued != nullptr)
    return WAVERR_STILLPLAYING;
  const uint32_t N = ConvertBlock(Hdr);
  const int64_t NowUs = FClock.NowUs();
  MarkQueued(Hdr);
  FQueued = &Hdr;
  {
    std::lock_guard<std::mutex> Guard(FShared->Lock);
    auto& S = *FShared;
    // A block started by a tick or a completion goes where that event was
    // due; one started by the learner (a click, a key) as early as the
    // stream allows, so that it answers at once.
    int64_t Start = S.Written;
    const int64_t DueUs = TEventTime::Current();
    if (DueUs >= 0) {
      Start = std::llround(S.PosAt(NowUs));
      if (Start < S.Written || NowUs != DueUs)
        ++S.Stats.LateBlocks;
      Start = std::max(Start, S.Written);
    }
    auto& Seg = S.FreeSegment();
    std::memcpy(Seg.Samples.data(), FConverted.data(), N);
    Seg.Used = true;
    Seg.Start = Start;
    Seg.Length = N;
    Seg.Serial = ++FSerial;
    S.BlockEnd = Start + N;
    S.DueUs = S.DueOf(S.BlockEnd);
    S.LastSoundUs = S.DueUs;
    S.BlockActive = true;
    S.BlockReported = false;
    S.Serial = FSerial;
    ++S.Stats.Blocks;
  }
  return MMSYSERR_NOERROR;
}

void TQtWaveDevice::Delivered(uint64_t Serial, int64_t DueUs) {
  QMetaObject::invokeMethod(FUiContext.get(), [this, Serial, DueUs] {
    if (FQueued == nullptr || Serial != FSerial)
      return; // reset or replaced meanwhile
    MarkDone(FQueued);
    if (FWindow != nullptr) {
      TEventTime Due(DueUs);
      FWindow->WaveDone();
    }
  }, Qt::QueuedConnection);
}

void TQtWaveDevice::Hush() {
  std::lock_guard<std::mutex> Guard(FShared->Lock);
  auto& S = *FShared;
  // What has not reached the server yet becomes silence.
  for (auto& Seg : S.Segments)
    if (Seg.Used)
      Seg.Length = std::clamp<int64_t>(S.Written - Seg.Start, 0, Seg.Length);
  S.BlockReported = true;
}

TMMResult TQtWaveDevice::Reset() {
  if (!FOpen)
    return MMSYSERR_INVALHANDLE;
  Hush();
  MarkDone(FQueued);
  ++FSerial;
  return MMSYSERR_NOERROR;
}

TMMResult TQtWaveDevice::Close() {
  return CloseOutput(FOpen, FQueued);
}

std::string TQtWaveDevice::ErrorText(TMMResult Result) {
  return WaveErrorText(Result);
}

TQtWaveDevice::TStats TQtWaveDevice::Stats() const {
  std::lock_guard<std::mutex> Guard(FShared->Lock);
  return FShared->Stats;
}

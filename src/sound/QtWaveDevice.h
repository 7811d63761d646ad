#pragma once

#include "base/Clock.h"
#include "sound/WaveConvert.h"
#include "sound/WaveDevice.h"

#include <QObject>
#include <QPointer>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class QThread;
class TStreamFeeder;

// The wave output on Qt Multimedia.
//
// Opening a device per block costs the audio server more than a second per
// gap, and the server reads ahead in large bursts, so "the last sample was
// read" says little about when it is heard. Instead one stream runs for the
// life of the device, fed from its own thread, and every block is placed on it
// at a sample position:
//
// - The stream has a clock: stream position p is due at a fixed steady-clock
//   time; what is due now is heard a constant output latency later.
// - A block written at time T (the event time of the tick that starts it, see
//   TEventTime) starts at the position due at T. The feeder hands samples to
//   the server only once they are LeadMs old, so a tick that runs up to LeadMs
//   late still finds its position free. A block the learner starts (no event
//   time) goes to the first free position, so clicks answer at once.
// - The end of a block is reported when its last position is due, carrying
//   that due time, so a pause counted from the completion is exact however
//   long the server's buffers are.
//
// The server is kept BufferMs ahead of the feeder so that a loaded machine does
// not starve it. While the stream is idle the clock may be moved to keep that
// depth when the server's clock drifts from the steady clock.
class TQtWaveDevice final : public TWaveDevice {
public:
  struct TSettings {
    // Longer than any delay of a tick or completion under load (see
    // TEventTime::MaxLagUs, which it must exceed).
    int LeadMs = 150;
    int BufferMs = 300;
    int FeedIntervalMs = 4;
    // Moving the clock only after this much silence keeps every timed gap
    // of a lesson (a few seconds at most) clear of it.
    int IdleBeforeAdjustMs = 6000;
  };

  struct TStats {
    int64_t Blocks = 0;
    int64_t LateBlocks = 0;      // placed later than asked (tick later than LeadMs)
    int64_t Underflows = 0;      // the server ran out of samples
    int64_t ClockAdjustments = 0;
    int64_t SamplesWritten = 0;
  };

  explicit TQtWaveDevice(TClock& Clock = TSteadyClock::Instance());
  TQtWaveDevice(TClock& Clock, const TSettings& Settings);
  ~TQtWaveDevice() override;
  TQtWaveDevice(const TQtWaveDevice&) = delete;
  TQtWaveDevice& operator=(const TQtWaveDevice&) = delete;

  TMMResult Open(const TWaveFormat& Format, TWaveWindow& Window) override;
  TMMResult Prepare(TWaveHdr& Hdr) override;
  TMMResult Unprepare(TWaveHdr& Hdr) override;
  TMMResult Write(TWaveHdr& Hdr) override;
  TMMResult Reset() override;
  void Hush() override;
  TMMResult Close() override;
  std::string ErrorText(TMMResult Result) override;

  TStats Stats() const;

private:
  friend class TStreamFeeder;
  struct TShared;

  bool StartStream();
  void StopStream();
  void Delivered(uint64_t Serial, int64_t DueUs);
  uint32_t ConvertBlock(const TWaveHdr& Hdr);

  TClock& FClock;
  TSettings FSettings;
  std::shared_ptr<TShared> FShared;
  QThread* FThread = nullptr;
  TStreamFeeder* FFeeder = nullptr;
  std::unique_ptr<QObject> FUiContext;

  // Interface-thread state of the open device.
  bool FOpen = false;
  TWaveFormat FFormat;
  TWaveWindow* FWindow = nullptr;
  TWaveHdr* FQueued = nullptr;
  uint64_t FSerial = 0;
  std::vector<uint8_t> FConverted;
};

#pragma once

#include "base/Clock.h"
#include "sound/WaveConvert.h"
#include "sound/WaveDevice.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <vector>

// The wave output on the PulseAudio client library (PipeWire serves it too).
//
// One playback stream, connected when the device is made, carries every
// block at a sample position; the server's buffer is kept short (TargetMs),
// so a block the learner starts is heard at once. The server's timing
// information (what it has played, corrected by the sink's latency) gives the
// moment each position is heard:
//
// - A block written while an event is handled (a timer tick, the end of the
//   previous block; see TEventTime) is heard at that event's due time. Such
//   events reach the interface thread ahead of time, so the block is placed
//   before the server needs it and a late handler does not move it.
// - A block the learner starts (no event time) goes to the first free
//   position.
// - The end of a block is reported when its last sample is heard, carrying
//   that moment as its event time; so every pause counts from the end of the
//   sound as heard, and nothing answers while it is still heard. When the
//   window says that only a pause follows the block (TWaveWindow::DoneAhead),
//   the end is reported TEventTime::AheadUs early, still carrying the moment
//   it is heard, so that the next block is placed in time.
//
// After IdleMs of silence the stream is corked and the output thread sleeps
// until the next block. When the server goes away, the block playing is
// reported as ended and the next Open connects again.
class TPulseWaveDevice final : public TWaveDevice {
public:
  struct TSettings {
    int TargetMs = 20; // the server's buffer: blocks are handed over whole, so it only carries silence
    int MinRequestMs = 5;
    int IdleMs = 2000;
    int ConnectTimeoutMs = 1500;
    // A later connection (the server went away): the interface thread waits
    // no longer than this for it.
    int ReconnectTimeoutMs = 300;
    // No sign of the server playing for this long while blocks wait: it is
    // given up as hung.
    int HangMs = 2000;
    // How often the server's timing is asked for while the stream runs.
    int TimingRefreshMs = 100;
  };

  struct TStats {
    int64_t Blocks = 0;
    int64_t LateBlocks = 0; // placed later than their event asked
    int64_t Underflows = 0; // the server ran out of samples
    int64_t Connects = 0;   // streams set up (the first and every reconnection)
    int64_t Corks = 0;      // times the stream went quiet for being idle
    int64_t Hangs = 0;      // times the server was given up for not answering
    int64_t SamplesWritten = 0;
    int64_t Wakeups = 0; // timer and request callbacks of the output thread
    // Latest estimate: from the moment a sample is handed to the server to
    // the moment it is heard.
    int64_t LatencyUs = 0;
  };

  // A block that has been placed: where it lies and when its first sample
  // is heard (steady clock), for measurements.
  struct TPlaced {
    uint64_t Serial = 0;
    int64_t Start = 0;
    int64_t Length = 0;
    int64_t HeardUs = 0;
    int64_t WrittenUs = 0; // when Write was called
    int64_t DoneUs = 0;    // the end as reported (event time of the completion)
  };

  explicit TPulseWaveDevice(TClock& Clock = TSteadyClock::Instance());
  TPulseWaveDevice(TClock& Clock, const TSettings& Settings);
  ~TPulseWaveDevice() override;
  TPulseWaveDevice(const TPulseWaveDevice&) = delete;
  TPulseWaveDevice& operator=(const TPulseWaveDevice&) = delete;

  TMMResult Open(const TWaveFormat& Format, TWaveWindow& Window) override;
  TMMResult Prepare(TWaveHdr& Hdr) override;
  TMMResult Unprepare(TWaveHdr& Hdr) override;
  TMMResult Write(TWaveHdr& Hdr) override;
  TMMResult Reset() override;
  TMMResult Close() override;
  std::string ErrorText(TMMResult Result) override;
  int64_t HeardStartUs() const override { return FHeardStartUs; }
  void Hush() override;

  // Stops the stream and the output thread for good (the program ends);
  // every later Open fails.
  void Halt();

  TStats Stats() const;
  // The blocks placed so far (the last few hundred).
  std::vector<TPlaced> Placed() const;

  struct TShared;

private:
  void Delivered(uint64_t Serial, int64_t DoneUs);
  void Failed();
  bool WaitForStream();

  TClock& FClock;
  TSettings FSettings;
  std::shared_ptr<TShared> FShared;
  std::unique_ptr<QObject> FUiContext;

  // Interface-thread state of the open device.
  bool FOpen = false;
  TWaveFormat FFormat;
  TWaveWindow* FWindow = nullptr;
  TWaveHdr* FQueued = nullptr;
  uint64_t FSerial = 0;
  int64_t FHeardStartUs = -1;
  std::vector<uint8_t> FConverted;
};

#pragma once

#include <cstdint>
#include <string>

// The wave-out layer: the operations the engine needs of an output device,
// with the result codes and the header of the platform the program was
// designed on, so that the engine's order of calls and flags stays as it is.

using TMMResult = uint32_t;

constexpr TMMResult MMSYSERR_NOERROR = 0;
constexpr TMMResult MMSYSERR_ERROR = 1;
constexpr TMMResult MMSYSERR_BADDEVICEID = 2;
constexpr TMMResult MMSYSERR_ALLOCATED = 4;
constexpr TMMResult MMSYSERR_INVALHANDLE = 5;
constexpr TMMResult MMSYSERR_NODRIVER = 6;
constexpr TMMResult MMSYSERR_NOMEM = 7;
constexpr TMMResult MMSYSERR_INVALPARAM = 11;
constexpr TMMResult WAVERR_BADFORMAT = 32;
constexpr TMMResult WAVERR_STILLPLAYING = 33;
constexpr TMMResult WAVERR_UNPREPARED = 34;

constexpr uint32_t WHDR_DONE = 0x01;
constexpr uint32_t WHDR_PREPARED = 0x02;
constexpr uint32_t WHDR_INQUEUE = 0x10;

constexpr uint16_t WAVE_FORMAT_PCM = 1;

struct TWaveFormat {
  uint16_t FormatTag = WAVE_FORMAT_PCM;
  uint16_t Channels = 1;
  uint32_t SamplesPerSec = 11025;
  uint32_t AvgBytesPerSec = 11025;
  uint16_t BlockAlign = 1;
  uint16_t BitsPerSample = 8;
  uint16_t ExtraSize = 0;
};

// The one block header (32 bytes on the design platform). The engine sets the
// data pointer, length, flags and loop count; the rest stays zero.
struct TWaveHdr {
  uint8_t* Data = nullptr;
  uint32_t BufferLength = 0;
  uint32_t BytesRecorded = 0;
  uintptr_t User = 0;
  uint32_t Flags = 0;
  uint32_t Loops = 0;
  TWaveHdr* Next = nullptr;
  uintptr_t Reserved = 0;
};

// Receiver of the end of a block (the window the design's device posts its
// completion message to). Always called in the interface thread, as a queued
// call, never from inside a device operation.
class TWaveWindow {
public:
  virtual ~TWaveWindow() = default;
  virtual void WaveDone() = 0;
  // Asked when a block is written: true when only a pause follows it, so
  // that its end may be reported ahead of the moment it is heard (carrying
  // that moment as its event time) and what follows is placed in time. False
  // when the learner answers or acts after it: its end is reported when it
  // has been heard.
  virtual bool DoneAhead() const { return false; }
  // The output stopped working (its server went away, or gave no sign of
  // playing for a while): the block queued is dropped, no end follows for
  // it, and the output is closed as after a reset.
  virtual void WaveFailed() {}
};

// The header bookkeeping every output does alike: a header is prepared on an
// open device when it has data for its length, and unprepared when it is not
// queued.
inline TMMResult PrepareHeader(bool Open, TWaveHdr& Hdr) {
  if (!Open)
    return MMSYSERR_INVALHANDLE;
  if (Hdr.Data == nullptr && Hdr.BufferLength > 0)
    return MMSYSERR_INVALPARAM;
  Hdr.Flags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

// A header handed to the output: not done, in the queue.
inline void MarkQueued(TWaveHdr& Hdr) {
  Hdr.Flags = (Hdr.Flags & ~WHDR_DONE) | WHDR_INQUEUE;
}

// The queued header, if any, whose block has ended or was reset: done, out of
// the queue, and no longer the output's.
inline void MarkDone(TWaveHdr*& Queued) {
  if (Queued == nullptr)
    return;
  Queued->Flags = (Queued->Flags & ~WHDR_INQUEUE) | WHDR_DONE;
  Queued = nullptr;
}

// Closes an output that is open and has nothing queued.
inline TMMResult CloseOutput(bool& Open, const TWaveHdr* Queued) {
  if (!Open)
    return MMSYSERR_INVALHANDLE;
  if (Queued != nullptr)
    return WAVERR_STILLPLAYING;
  Open = false;
  return MMSYSERR_NOERROR;
}

inline TMMResult UnprepareHeader(bool Open, TWaveHdr& Hdr) {
  if (!Open)
    return MMSYSERR_INVALHANDLE;
  if ((Hdr.Flags & WHDR_INQUEUE) != 0)
    return WAVERR_STILLPLAYING;
  Hdr.Flags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

class TWaveDevice {
public:
  virtual ~TWaveDevice() = default;

  // Opens the output for blocks of Format; the end of every block written
  // afterwards is reported to Window until Close.
  virtual TMMResult Open(const TWaveFormat& Format, TWaveWindow& Window) = 0;
  // Sets WHDR_PREPARED.
  virtual TMMResult Prepare(TWaveHdr& Hdr) = 0;
  // Clears WHDR_PREPARED; WAVERR_STILLPLAYING while the block is queued.
  virtual TMMResult Unprepare(TWaveHdr& Hdr) = 0;
  // Queues the block: clears WHDR_DONE. When it has been played, WHDR_DONE is
  // set and Window.WaveDone() follows in the interface thread.
  virtual TMMResult Write(TWaveHdr& Hdr) = 0;
  // Stops the queued block at once and marks it done; no completion follows
  // for a block that was reset.
  virtual TMMResult Reset() = 0;
  // WAVERR_STILLPLAYING while a block is queued.
  virtual TMMResult Close() = 0;
  // A text for Result of at most 128 characters (code page 1252).
  virtual std::string ErrorText(TMMResult Result) = 0;
  // When the first sample of the block last written is heard, on the
  // steady clock; -1 when the output cannot tell (it is then taken as heard
  // when written).
  virtual int64_t HeardStartUs() const { return -1; }
  // Stop: whatever is still to be heard, queued or already reported, fades
  // out within a few milliseconds; no completion changes. Works whether the
  // output is open or not.
  virtual void Hush() {}
};

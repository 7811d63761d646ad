#pragma once

#include "base/Reporter.h"
#include "sound/SoundState.h"
#include "sound/WaveDevice.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

// The sound engine's operations. Its state is program-wide (SoundState.h);
// the object only groups the operations and knows the output device and the
// reporter that shows the device's error texts.
//
// Every wave operation stores the device's result in WaveResult and ends with
// CheckError, so a failure is shown once, with the device's own text, and the
// operation returns false.
class TMorse {
public:
  TMorse(TWaveDevice& Device, TMessageReporter& Reporter);
  TMorse(const TMorse&) = delete;
  TMorse& operator=(const TMorse&) = delete;

  // Recomputes DotLen and DashLen from Speed and Verhalt and synthesises
  // DotBuf and DashBuf from them, Atacke, Ton and Rechteck. The setters of
  // sound::Klang (SoundState.h) call it.
  static void BuildElements();
  // Fills SoundBuf with the code's dots and dashes, each followed by one dot
  // of silence, plus one dot of silence at the end; sets SoundLen. Characters
  // other than "." and "-" are skipped. Allocates nothing. At the learner's
  // timing, or at Timing (with DotLen and DashLen derived); the element
  // buffers are synthesised anew when they hold another timing's.
  static void RenderCode(const std::string& Code);
  static void RenderCode(const std::string& Code, const sound::TKlang& Timing);
  // Sample I (0 .. Length) of an element of Length samples: a sine of Period
  // samples from phase 0, rising over Ramp samples and falling to silence at
  // sample Length; in square-wave mode 248 where the sine's sample is above
  // silence, else 8. Every tone the program makes is made of these.
  static uint8_t ToneSample(int32_t I, int32_t Length, int32_t Ramp, long double Period, bool Square);

  // Opens the device for the synthesised format (8-bit mono, 11025/s), or for
  // the format in FileHeader; the end of every block is reported to Window.
  // The callers store the result in DeviceOpen.
  bool OpenOut(TWaveWindow& Window);
  bool OpenFileOut(TWaveWindow& Window);
  // Prepares WaveHdr for SoundBuf[0 .. SoundLen), or for the loaded file's
  // data. The header starts out done, so a block that was prepared but never
  // written counts as finished.
  bool PrepareOut();
  bool PrepareFileOut();
  // False, without a device call, when the header is not prepared.
  bool UnprepareOut();
  bool WriteOut();
  // Stops the device only while the header is prepared and not done.
  bool ResetOut();
  // Stops, unprepares and closes; returns whether the device is still open.
  bool CloseOut();
  // Shows the device's text for a failed WaveResult; false on failure. A
  // device without an output (MMSYSERR_NODRIVER: no audio server answers)
  // is told to the no-output handler instead, where one is set.
  bool CheckError();
  void SetNoOutput(std::function<void()> Handler) { FNoOutput = std::move(Handler); }
  // When the block last written starts to be heard (steady clock), or -1.
  int64_t HeardStartUs() const { return FDevice.HeardStartUs(); }
  // Fades out at once whatever is still to be heard, open or not.
  void HushOut() { FDevice.Hush(); }
  // All of Flags set in WaveHdr.
  static bool HeaderHas(uint32_t Flags);

  // Reads the sound file Name (bare name in the working directory, letter
  // case ignored) into FileHeader and FileBuf. Refuses, silently and leaving
  // both as they were, a missing file and one that is not a canonical 44-byte
  // RIFF WAVE file with its whole data chunk, of at most FileBufSize bytes.
  bool LoadWave(const std::string& Name);
  // The same for a sound file's bytes; touches no file.
  static bool ParseWave(std::span<const uint8_t> Bytes);

  // The data-chunk size FileHeader gives, never above FileBufSize.
  static uint32_t FileDataSize();

private:
  bool Open(const TWaveFormat& Format, TWaveWindow& Window);
  bool Prepare(uint8_t* Data, uint32_t Length);

  TWaveDevice& FDevice;
  TMessageReporter& FReporter;
  std::function<void()> FNoOutput;
};

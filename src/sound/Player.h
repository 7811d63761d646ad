#pragma once

#include "sound/HeardCalls.h"
#include "sound/Morse.h"
#include "sound/WaveDevice.h"

#include <QObject>

#include <functional>
#include <memory>
#include <span>
#include <string>

// What follows a block, given by whoever starts it: the completion runs once
// the block has been heard to its end, and never for a block taken back,
// dropped or cut off.
struct TBlockEnd {
  std::function<void()> Done; // none: nothing follows but the keyboard
  // Only a pause follows the block (no answer, no act of the learner): its
  // end may then be reported ahead of being heard, so that the next sound is
  // placed in time.
  bool PauseOnly = false;
};

// What the player leaves to the window it plays for.
class TPlayerHost {
public:
  virtual ~TPlayerHost() = default;
  // The on-screen keyboard is off while a code the window started plays.
  virtual void SetKeyboardEnabled(bool On) = 0;
  // The spoken sound file follows a code only while mnemonics are on.
  virtual bool MnemonicsOn() const = 0;
  // A block has started to play: a code, or the name of a sound file.
  virtual void BlockStarted(const std::string& /*What*/, bool /*File*/) {}
  // The output stopped working, or there is none: what runs ends as its
  // Stop ends it, and the learner is told. Called from the event loop, never
  // from inside a play.
  virtual void OutputFailed() {}
};

// Plays a code or a sound file on the engine and runs the sound half of the
// completion: the device is closed, a pending sound file plays next, the
// keyboard is switched on again, and then the block's own completion runs.
// It is the receiver of every block's end, so the speed test and the replay
// window open the device with it too.
class TPlayer final : public TWaveWindow {
public:
  TPlayer(TMorse& Morse, TPlayerHost& Host);
  ~TPlayer() override;
  TPlayer(const TPlayer&) = delete;
  TPlayer& operator=(const TPlayer&) = delete;

  TMorse& Morse() { return FMorse; }

  // Plays one code, with no sound file after it; dropped, with its
  // completion, while a block is playing. The keyboard is off until the
  // block has been played.
  void PlayCode(const std::string& Code, TBlockEnd End = {});
  // Plays a code followed by the sound file Name when mnemonics are on;
  // dropped, file, completion and all, while a block is playing. The
  // completion runs after the file.
  void PlayCodeThenWave(const std::string& Code, const std::string& Name, TBlockEnd End = {});
  // Plays a sound file; dropped while a block plays. A file that cannot be
  // loaded or played is passed over as if it had been played.
  void PlayWave(const std::string& Name, TBlockEnd End = {});
  // Sounds a code that is not the window's own (the speed test): the flags
  // of the window's playback stay as they are; only a pause follows it.
  // False when it did not start (Done then never runs).
  bool PlayOwnCode(const std::string& Code, std::function<void()> Done);
  // Sounds a character of the text replay window at the window's own
  // timing, unless one of its own still plays; only a pause follows it.
  // The learner's settings are not touched.
  void PlayReplayCode(const std::string& Code, const sound::TKlang& Timing, std::function<void()> Done);
  // Stops what is queued, so that no completion follows for it, silences
  // what is still to be heard, and closes the device (a stopped speed test,
  // the end of the program).
  // Sounds a block of samples of the program's format (at most
  // SoundBufSize) that is not the window's own, the practice's: Done runs
  // at its end instead of the host's completion, with false when the output
  // failed instead (the host is told as well). Its end comes ahead of
  // being heard, so that the next block written then follows without a
  // gap. The device stays open between the blocks. False when it did not
  // start.
  bool PlayBlock(std::span<const uint8_t> Samples, std::function<void(bool Played)> Done);
  void CloseDevice();

  // What the learner sees of a sound follows what they hear: the calls that
  // wait for a block to start or end being heard. Without any (the default)
  // such a call runs at once.
  void SetHeardCalls(THeardCalls* Calls) { FHeard = Calls; }
  // Runs Fn when the block just written starts to be heard.
  void AtHeardStart(std::function<void()> Fn);
  // Runs Fn at the moment the event being handled is due: a tick's due time,
  // or, in a block's completion, the moment its end is heard.
  void AtDue(std::function<void()> Fn);
  // Drops the calls that wait.
  void CancelHeard();
  // A block is being heard: written, started to be heard, not yet ended.
  bool Sounding() const { return FSounding; }
  // Stop: the display changes that wait are dropped, no sound file follows,
  // and what still plays is silenced at once: a block placed ahead is taken
  // back, one being heard (or the tail of one whose end came ahead) fades
  // out within a few milliseconds, and no completion follows. True when a
  // block was taken back.
  bool TakeBack();

  // The end of a block.
  void WaveDone() override;
  // The output stopped working.
  void WaveFailed() override;
  // The block being written is followed by a pause only.
  bool DoneAhead() const override { return FEnd.PauseOnly; }

private:
  // A code, followed by the sound file *Wave when there is one.
  void Play(const std::string& Code, const std::string* Wave, TBlockEnd End);
  // Opens the output and writes Code's block, End following it; true when
  // it plays.
  bool Write(const std::string& Code, TBlockEnd End);

  // After a block is written: the keyboard goes off and the block counts
  // as heard once it starts to be heard.
  void HeardFrom();
  // The host is told that the output failed, once the event running has
  // ended.
  void TellFailed();

  TMorse& FMorse;
  TPlayerHost& FHost;
  // What follows the block playing (the sound file after a code shares the
  // code's); cleared when the block is taken back, cut off or lost.
  TBlockEnd FEnd;
  THeardCalls* FHeard = nullptr;
  bool FSounding = false;
  bool FTelling = false;
  // The end of the block written by PlayBlock.
  std::function<void(bool)> FBlockDone;
  std::unique_ptr<QObject> FContext;
};

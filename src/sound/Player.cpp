#include "sound/Player.h"

#include "base/Clock.h"
#include "sound/SoundState.h"

#include <QTimer>

#include <algorithm>
#include <utility>

TPlayer::TPlayer(TMorse& Morse, TPlayerHost& Host)
    : FMorse(Morse), FHost(Host), FContext(std::make_unique<QObject>()) {
  FMorse.SetNoOutput([this] { TellFailed(); });
}

TPlayer::~TPlayer() {
  FMorse.SetNoOutput(nullptr);
}

void TPlayer::PlayCode(const std::string& Code, TBlockEnd End) {
  Play(Code, nullptr, std::move(End));
}

void TPlayer::PlayCodeThenWave(const std::string& Code, const std::string& Name, TBlockEnd End) {
  Play(Code, &Name, std::move(End));
}

void TPlayer::Play(const std::string& Code, const std::string* Wave, TBlockEnd End) {
  if (sound::Ausgabe.Playing) {
    FHost.SetKeyboardEnabled(false);
    return; // the block playing switches the keyboard on when it ends
  }
  // Without a file of its own, a file left pending by a block whose file was
  // not played does not follow this one.
  sound::Ausgabe.WavePending = Wave != nullptr;
  if (Wave != nullptr)
    sound::Ausgabe.WavName = *Wave;
  sound::Ausgabe.Playing = Write(Code, std::move(End));
  if (sound::Ausgabe.Playing) {
    FHost.BlockStarted(Code, false);
    HeardFrom();
  } else
    FHost.SetKeyboardEnabled(true); // no completion will come to do it
}

bool TPlayer::Write(const std::string& Code, TBlockEnd End) {
  sound::Ausgabe.DeviceOpen = FMorse.OpenOut(*this);
  if (!sound::Ausgabe.DeviceOpen)
    return false;
  TMorse::RenderCode(Code);
  // The output asks whether only a pause follows while the block is written.
  TBlockEnd Before = std::exchange(FEnd, std::move(End));
  const bool Written = FMorse.PrepareOut() && FMorse.WriteOut();
  if (!Written)
    FEnd = std::move(Before); // no end comes for a block not written
  return Written;
}

void TPlayer::PlayWave(const std::string& Name, TBlockEnd End) {
  sound::Ausgabe.WavePending = false;
  if (sound::Ausgabe.Playing || !FMorse.LoadWave(Name))
    return;
  FEnd = std::move(End);
  sound::Ausgabe.DeviceOpen = FMorse.CloseOut();
  sound::Ausgabe.DeviceOpen = FMorse.OpenFileOut(*this);
  if (sound::Ausgabe.DeviceOpen && FMorse.PrepareFileOut())
    sound::Ausgabe.Playing = FMorse.WriteOut();
  if (sound::Ausgabe.Playing) {
    FHost.BlockStarted(Name, true);
    HeardFrom();
  } else {
    WaveDone(); // the exercise goes on as if the file had been played
  }
}

bool TPlayer::PlayOwnCode(const std::string& Code, std::function<void()> Done) {
  if (!Write(Code, {std::move(Done), true}))
    return false;
  FHost.BlockStarted(Code, false);
  return true;
}

void TPlayer::PlayReplayCode(const std::string& Code, const sound::TKlang& Timing, std::function<void()> Done) {
  if (sound::Ausgabe.MemPlaying)
    return;
  if (!sound::Ausgabe.DeviceOpen)
    sound::Ausgabe.DeviceOpen = FMorse.OpenOut(*this);
  if (!sound::Ausgabe.DeviceOpen)
    return;
  TMorse::RenderCode(Code, Timing);
  TBlockEnd Before = std::exchange(FEnd, TBlockEnd{std::move(Done), true});
  if (FMorse.PrepareOut())
    sound::Ausgabe.MemPlaying = FMorse.WriteOut();
  if (!sound::Ausgabe.MemPlaying)
    FEnd = std::move(Before);
}

bool TPlayer::PlayBlock(std::span<const uint8_t> Samples, std::function<void(bool Played)> Done) {
  if (Samples.size() > SoundBufSize || sound::Ausgabe.Playing || sound::Ausgabe.MemPlaying)
    return false;
  if (!sound::Ausgabe.DeviceOpen)
    sound::Ausgabe.DeviceOpen = FMorse.OpenOut(*this);
  if (!sound::Ausgabe.DeviceOpen)
    return false;
  std::copy(Samples.begin(), Samples.end(), sound::Puffer.SoundBuf.begin());
  sound::Puffer.SoundLen = static_cast<int32_t>(Samples.size());
  FBlockDone = std::move(Done);
  // Only the next block follows it: its end may come ahead of being heard.
  TBlockEnd Before = std::exchange(FEnd, TBlockEnd{nullptr, true});
  const bool Started = FMorse.PrepareOut() && FMorse.WriteOut();
  FEnd = std::move(Before);
  if (!Started)
    FBlockDone = nullptr;
  return Started;
}

void TPlayer::CloseDevice() {
  FMorse.HushOut();
  FEnd = {};
  FBlockDone = nullptr;
  sound::Ausgabe.DeviceOpen = FMorse.CloseOut();
}

// The learner answers the sound heard until the next one starts to be
// heard: the keyboard goes off then, not when the next block is placed.
void TPlayer::HeardFrom() {
  FSounding = false;
  AtHeardStart([this] {
    FSounding = true;
    FHost.SetKeyboardEnabled(false);
  });
}

void TPlayer::WaveDone() {
  if (FBlockDone) {
    const std::function<void(bool)> Done = std::move(FBlockDone);
    FBlockDone = nullptr;
    Done(true);
    return;
  }
  sound::Ausgabe.Playing = false;
  sound::Ausgabe.DeviceOpen = FMorse.CloseOut();
  TBlockEnd End = std::exchange(FEnd, TBlockEnd{});
  if (sound::Ausgabe.WavePending && FHost.MnemonicsOn() && FMorse.LoadWave(sound::Ausgabe.WavName)) {
    // The code's completion waits for the file's end.
    PlayWave(sound::Ausgabe.WavName, std::move(End));
    return;
  }
  // An end reported ahead of being heard keeps the block sounding, and the
  // keyboard off, until it is heard.
  AtDue([this] {
    FSounding = false;
    FHost.SetKeyboardEnabled(true);
  });
  sound::Ausgabe.MemPlaying = false;
  if (End.Done)
    End.Done();
}

void TPlayer::WaveFailed() {
  FEnd = {}; // no end follows for the block lost
  if (FBlockDone) {
    const std::function<void(bool)> Done = std::move(FBlockDone);
    FBlockDone = nullptr;
    Done(false);
  }
  CancelHeard();
  FSounding = false;
  sound::Ausgabe.Playing = false;
  sound::Ausgabe.MemPlaying = false;
  sound::Ausgabe.WavePending = false;
  sound::Ausgabe.DeviceOpen = FMorse.CloseOut();
  FHost.SetKeyboardEnabled(true);
  TellFailed();
}

void TPlayer::TellFailed() {
  // Once for the failures of one event: a failed open and write, or an
  // output lost with a block queued, end the run once.
  if (FTelling)
    return;
  FTelling = true;
  QTimer::singleShot(0, FContext.get(), [this] {
    FTelling = false;
    FHost.OutputFailed();
  });
}

void TPlayer::AtHeardStart(std::function<void()> Fn) {
  const int64_t AtUs = FMorse.HeardStartUs();
  if (FHeard == nullptr || AtUs < 0) {
    Fn();
    return;
  }
  FHeard->At(AtUs, std::move(Fn));
}

void TPlayer::AtDue(std::function<void()> Fn) {
  const int64_t AtUs = TEventTime::Current();
  if (FHeard == nullptr || AtUs < 0) {
    Fn();
    return;
  }
  FHeard->At(AtUs, std::move(Fn));
}

void TPlayer::CancelHeard() {
  if (FHeard != nullptr)
    FHeard->Cancel();
}

bool TPlayer::TakeBack() {
  CancelHeard();
  FSounding = false;
  sound::Ausgabe.WavePending = false;
  // Also the tail of a block whose end came ahead of being heard.
  FMorse.HushOut();
  if (!sound::Ausgabe.Playing && !sound::Ausgabe.MemPlaying)
    return false;
  // A block being heard stops too: a run started right after the Stop must
  // not find it still playing, nor its end come to the new run.
  sound::Ausgabe.DeviceOpen = FMorse.CloseOut();
  sound::Ausgabe.Playing = false;
  sound::Ausgabe.MemPlaying = false;
  FEnd = {}; // a block taken back is never completed
  FHost.SetKeyboardEnabled(true);
  return true;
}

#include "sound/Player.h"

#include "sound/Clock.h"
#include "sound/SoundState.h"

#include <QTimer>

#include <algorithm>

TPlayer::TPlayer(TMorse& Morse, TPlayerHost& Host)
    : FMorse(Morse), FHost(Host), FContext(std::make_unique<QObject>()) {
  FMorse.SetNoOutput([this] { TellFailed(); });
}

TPlayer::~TPlayer() {
  FMorse.SetNoOutput(nullptr);
}

void TPlayer::PlayCode(const std::string& Code) {
  Play(Code, nullptr);
}

void TPlayer::PlayCodeThenWave(const std::string& Code, const std::string& Name) {
  Play(Code, &Name);
}

void TPlayer::Play(const std::string& Code, const std::string* Wave) {
  if (sound::Ausgabe.Playing) {
    FHost.SetKeyboardEnabled(false);
    return; // the block playing switches the keyboard on when it ends
  }
  // Without a file of its own, a file left pending by a block whose file was
  // not played does not follow this one.
  sound::Ausgabe.WavePending = Wave != nullptr;
  if (Wave != nullptr)
    sound::Ausgabe.WavName = *Wave;
  sound::Ausgabe.Playing = Write(Code);
  if (sound::Ausgabe.Playing) {
    FHost.BlockStarted(Code, false);
    HeardFrom();
  } else
    FHost.SetKeyboardEnabled(true); // no completion will come to do it
}

bool TPlayer::Write(const std::string& Code) {
  sound::Ausgabe.DeviceOpen = FMorse.OpenOut(*this);
  if (!sound::Ausgabe.DeviceOpen)
    return false;
  TMorse::RenderCode(Code);
  return FMorse.PrepareOut() && FMorse.WriteOut();
}

void TPlayer::PlayWave(const std::string& Name) {
  sound::Ausgabe.WavePending = false;
  if (sound::Ausgabe.Playing || !FMorse.LoadWave(Name))
    return;
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

bool TPlayer::PlayOwnCode(const std::string& Code) {
  FPaced = true;
  const bool Started = Write(Code);
  FPaced = false;
  if (!Started)
    return false;
  FHost.BlockStarted(Code, false);
  return true;
}

void TPlayer::PlayReplayCode(const std::string& Code) {
  if (sound::Ausgabe.MemPlaying)
    return;
  if (!sound::Ausgabe.DeviceOpen)
    sound::Ausgabe.DeviceOpen = FMorse.OpenOut(*this);
  if (!sound::Ausgabe.DeviceOpen)
    return;
  TMorse::RenderCode(Code);
  FPaced = true;
  if (FMorse.PrepareOut())
    sound::Ausgabe.MemPlaying = FMorse.WriteOut();
  FPaced = false;
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
  FPaced = true;
  const bool Started = FMorse.PrepareOut() && FMorse.WriteOut();
  FPaced = false;
  if (!Started)
    FBlockDone = nullptr;
  return Started;
}

bool TPlayer::TakeReplayEnd() {
  const bool Was = sound::Ausgabe.MemPlaying;
  sound::Ausgabe.MemPlaying = false;
  return Was;
}

void TPlayer::CloseDevice() {
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
  if (sound::Ausgabe.WavePending && FHost.MnemonicsOn() && FMorse.LoadWave(sound::Ausgabe.WavName)) {
    PlayWave(sound::Ausgabe.WavName);
    return; // its own completion comes back here
  }
  // An end reported ahead of being heard keeps the block sounding, and the
  // keyboard off, until it is heard.
  AtDue([this] {
    FSounding = false;
    FHost.SetKeyboardEnabled(true);
  });
  FHost.BlockPlayed();
}

void TPlayer::WaveFailed() {
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
  if (!sound::Ausgabe.Playing && !sound::Ausgabe.MemPlaying)
    return false;
  const int64_t StartUs = FMorse.HeardStartUs();
  const int64_t NowUs = FHeard != nullptr ? FHeard->NowUs() : TSteadyClock::RealNowUs();
  if (StartUs < 0 || StartUs <= NowUs)
    return false; // heard already: it ends by itself
  sound::Ausgabe.DeviceOpen = FMorse.CloseOut();
  sound::Ausgabe.Playing = false;
  sound::Ausgabe.MemPlaying = false;
  FHost.SetKeyboardEnabled(true);
  return true;
}

bool TPlayer::DoneAhead() const {
  return FPaced || !FHost.AwaitsLearner();
}

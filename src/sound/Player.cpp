#include "sound/Player.h"

#include "sound/SoundState.h"

void TPlayer::PlayCode(const std::string& Code) {
  Play(Code, nullptr);
}

void TPlayer::PlayCodeThenWave(const std::string& Code, const std::string& Name) {
  Play(Code, &Name);
}

void TPlayer::Play(const std::string& Code, const std::string* Wave) {
  FHost.SetKeyboardEnabled(false);
  if (sound::Ausgabe.Playing)
    return; // the block playing switches the keyboard on when it ends
  // Without a file of its own, a file left pending by a block whose file was
  // not played does not follow this one.
  sound::Ausgabe.WavePending = Wave != nullptr;
  if (Wave != nullptr)
    sound::Ausgabe.WavName = *Wave;
  sound::Ausgabe.Playing = Write(Code);
  if (sound::Ausgabe.Playing)
    FHost.BlockStarted(Code, false);
  else
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
  if (sound::Ausgabe.Playing)
    FHost.BlockStarted(Name, true);
  else
    WaveDone(); // the exercise goes on as if the file had been played
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

bool TPlayer::TakeReplayEnd() {
  const bool Was = sound::Ausgabe.MemPlaying;
  sound::Ausgabe.MemPlaying = false;
  return Was;
}

void TPlayer::CloseDevice() {
  sound::Ausgabe.DeviceOpen = FMorse.CloseOut();
}

void TPlayer::WaveDone() {
  sound::Ausgabe.Playing = false;
  sound::Ausgabe.DeviceOpen = FMorse.CloseOut();
  if (sound::Ausgabe.WavePending && FHost.MnemonicsOn() && FMorse.LoadWave(sound::Ausgabe.WavName)) {
    PlayWave(sound::Ausgabe.WavName);
    return; // its own completion comes back here
  }
  FHost.SetKeyboardEnabled(true);
  FHost.BlockPlayed();
}

bool TPlayer::DoneAhead() const {
  return FPaced || !FHost.AwaitsLearner();
}

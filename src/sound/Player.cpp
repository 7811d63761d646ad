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
  if (Ausgabe.Playing)
    return; // the block playing switches the keyboard on when it ends
  // Without a file of its own, a file left pending by a block whose file was
  // not played does not follow this one.
  Ausgabe.WavePending = Wave != nullptr;
  if (Wave != nullptr)
    Ausgabe.WavName = *Wave;
  Ausgabe.Playing = Write(Code);
  if (Ausgabe.Playing)
    FHost.BlockStarted(Code, false);
  else
    FHost.SetKeyboardEnabled(true); // no completion will come to do it
}

bool TPlayer::Write(const std::string& Code) {
  Ausgabe.DeviceOpen = FMorse.OpenOut(*this);
  if (!Ausgabe.DeviceOpen)
    return false;
  TMorse::RenderCode(Code);
  return FMorse.PrepareOut() && FMorse.WriteOut();
}

void TPlayer::PlayWave(const std::string& Name) {
  Ausgabe.WavePending = false;
  if (Ausgabe.Playing || !FMorse.LoadWave(Name))
    return;
  Ausgabe.DeviceOpen = FMorse.CloseOut();
  Ausgabe.DeviceOpen = FMorse.OpenFileOut(*this);
  if (Ausgabe.DeviceOpen && FMorse.PrepareFileOut())
    Ausgabe.Playing = FMorse.WriteOut();
  if (Ausgabe.Playing)
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
  if (Ausgabe.MemPlaying)
    return;
  if (!Ausgabe.DeviceOpen)
    Ausgabe.DeviceOpen = FMorse.OpenOut(*this);
  if (!Ausgabe.DeviceOpen)
    return;
  TMorse::RenderCode(Code);
  FPaced = true;
  if (FMorse.PrepareOut())
    Ausgabe.MemPlaying = FMorse.WriteOut();
  FPaced = false;
}

bool TPlayer::TakeReplayEnd() {
  const bool Was = Ausgabe.MemPlaying;
  Ausgabe.MemPlaying = false;
  return Was;
}

void TPlayer::CloseDevice() {
  Ausgabe.DeviceOpen = FMorse.CloseOut();
}

void TPlayer::WaveDone() {
  Ausgabe.Playing = false;
  Ausgabe.DeviceOpen = FMorse.CloseOut();
  if (Ausgabe.WavePending && FHost.MnemonicsOn() && FMorse.LoadWave(Ausgabe.WavName)) {
    PlayWave(Ausgabe.WavName);
    return; // its own completion comes back here
  }
  FHost.SetKeyboardEnabled(true);
  FHost.BlockPlayed();
}

bool TPlayer::DoneAhead() const {
  return FPaced || !FHost.AwaitsLearner();
}

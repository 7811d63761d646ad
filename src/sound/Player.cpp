#include "sound/Player.h"

#include "sound/SoundState.h"

void TPlayer::PlayCode(const std::string& Code) {
  FHost.SetKeyboardEnabled(false);
  if (Playing)
    return; // the block playing switches the keyboard on when it ends
  DeviceOpen = FMorse.OpenOut(*this);
  if (DeviceOpen) {
    TMorse::RenderCode(Code);
    if (FMorse.PrepareOut())
      Playing = FMorse.WriteOut();
  }
  if (Playing)
    FHost.BlockStarted(Code, false);
  else
    FHost.SetKeyboardEnabled(true); // no completion will come to do it
}

void TPlayer::PlayCodeThenWave(const std::string& Code, const std::string& Name) {
  WavePending = true;
  WavName = Name;
  PlayCode(Code);
}

void TPlayer::PlayWave(const std::string& Name) {
  WavePending = false;
  if (Playing || !FMorse.LoadWave(Name))
    return;
  FMorse.CloseOut();
  DeviceOpen = FMorse.OpenFileOut(*this);
  if (DeviceOpen && FMorse.PrepareFileOut())
    Playing = FMorse.WriteOut();
  if (Playing)
    FHost.BlockStarted(Name, true);
  else
    WaveDone(); // the exercise goes on as if the file had been played
}

bool TPlayer::PlayOwnCode(const std::string& Code) {
  DeviceOpen = FMorse.OpenOut(*this);
  if (!DeviceOpen)
    return false;
  TMorse::RenderCode(Code);
  if (!FMorse.PrepareOut() || !FMorse.WriteOut())
    return false;
  FHost.BlockStarted(Code, false);
  return true;
}

void TPlayer::CloseDevice() {
  DeviceOpen = FMorse.CloseOut();
}

void TPlayer::WaveDone() {
  Playing = false;
  DeviceOpen = FMorse.CloseOut();
  if (WavePending && FHost.MnemonicsOn() && FMorse.LoadWave(WavName)) {
    PlayWave(WavName);
    return; // its own completion comes back here
  }
  FHost.SetKeyboardEnabled(true);
  FHost.BlockPlayed();
}

#pragma once

// The main window's part for the session: its play sequence and the engine's
// half of the completion, over TMorse and a wave device, with the session's
// share called last, as the program's window does it.
#include "sound/Morse.h"
#include "sound/SoundState.h"
#include "training/Session.h"
#include "windows/MainView.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <functional>
#include <string>
#include <vector>

class THarnessWindow final : public TWaveWindow, public TSessionWindow {
public:
  THarnessWindow(TMainView& View, TMorse& Morse) : FView(View), FMorse(Morse) {}

  TSession* Session = nullptr;
  // Every code PlayCode was asked for, dropped or not, and what was played.
  std::vector<std::string> Asked;
  std::vector<std::string> Played;
  std::vector<std::string> WavesPlayed;
  std::vector<int32_t> Waits;
  int TextWindows = 0;
  std::function<void()> OnTextWindow;
  int32_t Layout = 1;
  // Runs the waits with events going on (the audio test), or returns at once.
  bool RealWait = false;

  void PlayCode(const std::string& Code) override {
    Asked.push_back(Code);
    FView.KeyPanel->setEnabled(false);
    if (::Playing)
      return;
    DeviceOpen = FMorse.OpenOut(*this);
    if (DeviceOpen) {
      TMorse::RenderCode(Code);
      if (FMorse.PrepareOut())
        ::Playing = FMorse.WriteOut();
    }
    if (::Playing)
      Played.push_back(Code);
    else
      FView.KeyPanel->setEnabled(true);
  }
  void PlayWave(const std::string& Name) {
    WavePending = false;
    if (::Playing || !FMorse.LoadWave(Name))
      return;
    FMorse.CloseOut();
    DeviceOpen = FMorse.OpenFileOut(*this);
    if (DeviceOpen && FMorse.PrepareFileOut())
      ::Playing = FMorse.WriteOut();
    if (::Playing)
      WavesPlayed.push_back(Name);
    else
      WaveDone();
  }
  void WaveDone() override {
    ::Playing = false;
    DeviceOpen = FMorse.CloseOut();
    if (WavePending && FView.MerkCheckBox->isChecked() && FMorse.LoadWave(WavName)) {
      PlayWave(WavName);
      return;
    }
    FView.KeyPanel->setEnabled(true);
    if (Session != nullptr)
      Session->WaveDone();
  }
  void ShowTextWindow() override {
    ++TextWindows;
    if (OnTextWindow)
      OnTextWindow();
  }
  void WaitMs(int32_t Ms) override {
    Waits.push_back(Ms);
    if (!RealWait)
      return;
    QDeadlineTimer Deadline(Ms);
    while (!Deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  int32_t LayoutNr() const override { return Layout; }

private:
  TMainView& FView;
  TMorse& FMorse;
};

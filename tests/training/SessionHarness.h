#pragma once

// The main window's part for the session: the program's own player over the
// engine and a wave device, as the program's window has it.
#include "sound/Morse.h"
#include "sound/Player.h"
#include "sound/SoundState.h"
#include "training/Session.h"
#include "windows/MainView.h"
#include "windows/MemUnit.h"


#include <functional>
#include <optional>
#include <string>
#include <vector>

class THarnessWindow final : public TPlayerHost, public TSessionWindow {
public:
  THarnessWindow(TMainView& View, TMorse& Morse) : Player(Morse, *this), FView(View) {}

  TPlayer Player;
  TSession* Session = nullptr;
  // Every code PlayCode was asked for, dropped or not, and what was played.
  std::vector<std::string> Asked;
  std::vector<std::string> Played;
  std::vector<std::string> WavesPlayed;
  int TextWindows = 0;
  std::optional<TMemScore> LastScore; // the copy the last text window was given
  std::function<void()> OnTextWindow;
  int32_t Layout = 1;

  void PlayCode(const std::string& Code, TBlockEnd End) override {
    Asked.push_back(Code);
    Player.PlayCode(Code, std::move(End));
  }
  void PlayCodeThenWave(const std::string& Code, const std::string& Name, TBlockEnd End) override {
    Asked.push_back(Code);
    Player.PlayCodeThenWave(Code, Name, std::move(End));
  }
  void SetKeyboardEnabled(bool On) override { FView.KeyPanel->setEnabled(On); }
  bool MnemonicsOn() const override { return FView.MerkCheckBox->isChecked(); }
  void BlockStarted(const std::string& What, bool File) override {
    (File ? WavesPlayed : Played).push_back(What);
  }
  void ShowTextWindow(const TMemScore* Score) override {
    ++TextWindows;
    LastScore = Score != nullptr ? std::optional<TMemScore>(*Score) : std::nullopt;
    if (OnTextWindow)
      OnTextWindow();
  }
  TPlayer* SoundPlayer() override { return &Player; }
  int32_t LayoutNr() const override { return Layout; }

private:
  TMainView& FView;
};

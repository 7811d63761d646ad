#pragma once

#include "course/WeakPractice.h"

#include "course/PracticeText.h"
#include "sound/Band.h"
#include "sound/PracticeTiming.h"
#include "storage/StatFile.h"

#include <QDialog>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressDialog;
class QPushButton;
class QSpinBox;
class QTextEdit;
class QTimer;
class TMessageReporter;
class TPlayer;

// The copy practice: a text of the kind chosen, sounded at the practice's
// own timing (character and effective speed) with the learner's tone, in
// blocks through the program's output, so that a long text starts at once
// and Stop silences it. The learner copies it typed, in the head or on
// paper; the text shows when it ends. Modal, opened while the course is
// idle, so nothing else sounds meanwhile.
class TPracticeForm final : public QDialog {
public:
  enum class TCopyMode { Typed, Head, Paper };

  TPracticeForm(TPlayer& Player, TMessageReporter& Reporter, QWidget* Parent = nullptr);
  ~TPracticeForm() override;

  // Before the window is shown: the texts of the interface language in
  // force (Charset the course's) and the learner's tone.
  void Prepare(uint8_t Charset);

  // Each character's result of a typed copy, for the statistics (the
  // characters as the course's keys have them).
  std::function<void(const std::vector<TStatRun>&)> OnScored;
  // "Practise my weak characters": the weights of the course's characters,
  // empty while the option is off. Groups of five are then drawn by them.
  std::function<TSchwaechen()> Schwaechen;
  // The clock the copy's keys are timed on: the output's (the steady clock).
  std::function<int64_t()> NowUs;
  // Asks for the learner's text file or the audio file to write; empty
  // when none was chosen. Tests answer without a dialog.
  std::function<QString()> AskTextFile;
  std::function<QString()> AskAudioFile;
  // A typed copy's run as a whole, with the band conditions it sounded
  // under, for the statistics; called just before OnScored.
  std::function<void(const TPracticeLauf&)> OnPracticeRun;
  // Keeps the learner's band conditions for the next time; called with
  // changed conditions when a text sounds or is written and when the
  // window closes.
  std::function<void(const practice::TBand&)> KeepBand;
  // The seed of each run's band conditions (noise, fading, stations,
  // crashes, fist): the clock's by default; tests give their own.
  std::function<uint32_t()> DrawSeed;

  // The controls, by their names.
  QComboBox* KindCB = nullptr;
  QPushButton* FileBtn = nullptr;
  QLabel* FileLabel = nullptr;
  QCheckBox* ReachedCheckBox = nullptr;
  QSpinBox* DepthSE = nullptr;
  QSpinBox* LengthSE = nullptr;
  QComboBox* LengthUnitCB = nullptr;
  QSpinBox* CharWpmSE = nullptr;
  QSpinBox* EffWpmSE = nullptr;
  QLabel* CpmLabel = nullptr;
  QSpinBox* ToneSE = nullptr;
  QComboBox* CopyCB = nullptr;
  QGroupBox* BandGroup = nullptr;
  QCheckBox* NoiseCB = nullptr;
  QSpinBox* SnrSE = nullptr;
  QSpinBox* QsbDepthSE = nullptr;
  QSpinBox* QsbPeriodSE = nullptr;
  QSpinBox* QrmSE = nullptr;
  QSpinBox* QrnSE = nullptr;
  QSpinBox* FistSE = nullptr;
  QPushButton* StartBtn = nullptr;
  QPushButton* StopBtn = nullptr;
  QPushButton* RepeatBtn = nullptr;
  QPushButton* SlowerBtn = nullptr;
  QPushButton* FasterBtn = nullptr;
  QPushButton* SaveBtn = nullptr;
  QPushButton* CloseBtn = nullptr;
  QLineEdit* CopyEdit = nullptr;
  QTextEdit* TextView = nullptr;
  QListWidget* WordList = nullptr;
  QLabel* ResultLabel = nullptr;

  // The handlers.
  void StartBtnClick();
  void StopBtnClick();
  void RepeatBtnClick();
  void SlowerBtnClick();
  void FasterBtnClick();
  void SaveBtnClick();
  void FileBtnClick();

  bool Running() const { return FRunning; }
  // The text sounded last, in the course's code page.
  const std::string& LastText() const { return FText; }
  practice::TTiming Timing() const;
  // The band conditions the controls set (seed 1), and the controls set to
  // Band's, each clamped to its range.
  practice::TBand Band() const;
  void SetBand(const practice::TBand& Wanted);
  // The conditions the last text sounded or was written under, with the
  // seed drawn for it.
  const practice::TBand& LastBand() const { return FBand; }
  // While Save as audio writes: waits for the writer to end (tests).
  void WaitForSave();

protected:
  void closeEvent(QCloseEvent* Event) override;
  void reject() override;

private:
  void ApplyTexts();
  void SpeedsChanged();
  void KindChanged();
  // Makes a new text from the settings; false (the learner told) when none
  // could be made.
  bool MakeText();
  // The groups of five drawn anew by the weak practice's weights; Text as
  // made when the option is off.
  std::string WeakGroups(const std::string& Text, const course::TPracticeRequest& Request) const;
  void Sound();
  void PlayNext();
  void Ended(bool Completed);
  void ShowResult();
  void HeadTicked();
  void SaveEnded();
  QString T(size_t Line) const;
  // The signal through the band conditions of the controls, a seed drawn.
  std::unique_ptr<practice::TBandMix> MakeMix();
  void KeepBandIfChanged();
  // Every control a run disables.
  std::vector<QWidget*> RunLocked() const;

  TPlayer& FPlayer;
  TMessageReporter& FReporter;
  uint8_t FCharset = 0;
  std::string FLearnerText;
  std::string FText;
  // When each character of the copy was typed, and when the text's first
  // sample was heard (-1: the output cannot tell), on the steady clock.
  std::vector<int64_t> FTypedUs;
  int64_t FHeardFromUs = -1;
  std::unique_ptr<practice::TBandMix> FMix;
  practice::TBand FBand;
  practice::TBand FKeptBand;
  std::vector<uint8_t> FBlock;
  bool FRunning = false;
  TCopyMode FMode = TCopyMode::Typed;

  // Save as audio runs in a worker; the interface thread follows it.
  std::thread FSaver;
  std::atomic<int64_t> FSaveDone{0};
  std::atomic<int64_t> FSaveTotal{1};
  std::atomic<bool> FSaveCancel{false};
  std::atomic<bool> FSaveFinished{false};
  std::string FSaveReason;
  int FSaveResult = 0;
  QString FSavePath;
  QProgressDialog* FProgress = nullptr;
  QTimer* FSavePoll = nullptr;
};

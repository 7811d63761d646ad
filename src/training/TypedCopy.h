#pragma once

#include "course/CopyScore.h"
#include "course/WeakPractice.h"
#include "storage/StatFile.h"
#include "training/Reaction.h"
#include "windows/MainView.h"
#include "windows/MemUnit.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QKeyEvent;
class QLabel;
class TCourseView;
class TMessageReporter;
struct TTypedKey;

// Typed copy of exercise 4 and the per-character statistics. With the
// option on, what the learner types while the groups are sounded is
// collected (through the same translation of keys as answers), shown on one
// line in the answer area, scored when the run ends and shown in the text
// window; its errors are proposed as the answer to the question after it and
// pre-mark the characters copied wrong. Runs of exercises 2, 3 and 4 add to
// "Stat.dat" while the option is on. Nothing is read or written before the
// option or the statistics are used.
class TTypedCopy {
public:
  TTypedCopy(TCourseView& CourseView, TMessageReporter& Reporter);
  ~TTypedCopy();
  TTypedCopy(const TTypedCopy&) = delete;
  TTypedCopy& operator=(const TTypedCopy&) = delete;

  // The option, as read from "Optionen.dat" at start-up; changed by the
  // learner it is saved.
  void LoadOption();
  bool On() const { return FOn; }
  void SetOn(bool On);
  // "Practise my weak characters": exercise 4 draws each character of the
  // lesson by its figures. Runs are counted while it is on, too.
  bool WeakOn() const { return FWeakOn; }
  void SetWeakOn(bool On);
  // The reaction times of exercises 2 and 3, measured whatever the options;
  // counted into the statistics with the run.
  TReaction& Reaction() { return FReaction; }
  // The weights of the weak practice from the statistics; empty while the
  // option is off. Told to OnSchwaechen whenever they may change (the
  // option read or switched, a run counted).
  TSchwaechen Schwaechen();
  // The learner's target reaction, kept in the statistics.
  void SetTargetMs(int32_t Ms);
  std::function<void(TSchwaechen)> OnSchwaechen;

  // --- The session's hooks
  // A run of the current exercise has started; LayoutNr translates typed keys.
  void RunStarted(int32_t LayoutNr);
  // The run was stopped by the learner: nothing is scored or counted.
  void RunStopped();
  // The item at UebPos of exercise 2 or 3 was answered wrong (or repeated
  // three times).
  void ItemWrong(int32_t UebPos);
  // The last answer of exercise 2 or 3 has been given; before the sequence
  // is cleared.
  void RunEnded23();
  // Exercise 4 has sounded its text and the text window opens: typing ends
  // and the copy is scored (null when none was collected or nothing was
  // typed).
  const TMemScore* TypingEnds();
  // The question after the text window: the answer the copy proposes
  // (errors: Yes, but never on the run that introduces the new characters),
  // or Designed when no copy was scored.
  bool ProposedAnswer(bool Designed) const;
  // The question was answered: on Yes the characters copied wrong are
  // marked, as clicks on their keys would mark them; the run is counted.
  void Answered(bool Yes);

  // The program ends: a scored copy whose question is still open is counted
  // as a No would count it (nothing marked) and saved, a failure told
  // through Reporter; so whatever way the program ends, the same figures
  // are saved.
  void SaveAtEnd(TMessageReporter& Reporter);

  // --- Typing, also for tests: a key of the form while collecting. True
  // when the key was taken (a character, space or Backspace).
  bool TypeKey(const TTypedKey& Key, uint16_t VirtualKey);
  bool Collecting() const { return FCollecting; }
  const std::string& Copy() const { return FCopy; }
  const TCopyScore& Score() const { return FScore; }
  QLabel* CopyLabel() const { return FLabel; }

  // --- Statistics
  // Read at the first use.
  TStatistik& Statistik();
  // The characters to mark for the next exercise-4 run (the statistics
  // window's button).
  void MarkForNextRun(const std::string& Zeichen);

private:
  void Show();
  void AddRun(const std::vector<char>& Sent, const std::vector<bool>& Wrong,
              const std::vector<TStatRun>& Reactions = {});
  // Statistics are counted while an option that uses them is on.
  bool Counting() const { return FOn || FWeakOn; }
  // The scored copy's characters as a run of the statistics.
  void CountScored();
  void Save(TMessageReporter& Reporter);
  void TellSchwaechen();
  std::string SentText() const;

  TCourseView& FCourseView;
  TMainView& FView;
  TMessageReporter& FReporter;
  bool FOn = false;
  bool FWeakOn = false;
  bool FOptionTold = false;
  TReaction FReaction;
  bool FStatTold = false;
  bool FStatFullTold = false;
  bool FCollecting = false;
  bool FScored = false;
  int32_t FLayoutNr = 0;
  std::string FCopy;
  TCopyScore FScore;
  TMemScore FMemScore;
  std::vector<bool> FWrong; // exercise 2 and 3: per item
  std::unique_ptr<TStatistik> FStat;
  QLabel* FLabel = nullptr;
  std::unique_ptr<QObject> FFilter;
};

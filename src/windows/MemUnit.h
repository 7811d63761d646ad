#pragma once

#include "sound/SoundState.h"
#include "windows/Controls.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TTickTimer;
class TPlayer;

// The exercise just sounded, as the replay window reads it; handed in by the
// window that owns the exercise sequence.
class TMemText {
public:
  virtual ~TMemText() = default;
  // Characters sounded.
  virtual int32_t Length() const = 0;
  // The I-th character (from 0) as written, and its code; '\0' and empty
  // where the sequence names no character.
  virtual char Character(int32_t I) const = 0;
  virtual std::string Code(int32_t I) const = 0;
  // The replay sounds Code now.
  virtual void Sounded(const std::string& Code) = 0;
};

// The learner's typed copy set against the text, column by column, as the
// window shows it under the text. Bytes of the layout's code page.
struct TMemScore {
  std::string Sent;  // per column the character sent; ' ' for one typed extra
  std::string Typed; // per column the character typed; ' ' for one missed
  std::string Marks; // per column: 'c' right, 'w' wrong, 'm' missed, 'x' extra
  int32_t Percent = 0; // characters sent copied right, in percent
};

// What the replay window uses of the rest of the program: the player that
// sounds its characters, the keyboard panel whose character set is the
// alphabet's, and the text. Any of them may be null; the window then does
// without.
struct TMemContext {
  TPlayer* Player = nullptr;
  QWidget* KeyPanel = nullptr;
  TMemText* Text = nullptr;
  // The typed copy of the run, when the learner typed one.
  const TMemScore* Score = nullptr;
};

// The text replay window: shows the text of a finished group exercise and
// sounds it again at a speed of its own. Shown modally by the session.
class TMemForm : public QDialog {
  // First, so that MemTimer can refer to it.
  std::unique_ptr<TTickTimer> FOwnTimer;

public:
  // MemTimer paces the replay; without one the window makes its own threaded
  // timer (disabled, normal priority).
  explicit TMemForm(QWidget* Parent = nullptr, TTickTimer* Timer = nullptr);
  ~TMemForm() override;

  void SetContext(const TMemContext& Context) { FContext = Context; }
  const TMemContext& Context() const { return FContext; }

  QLineEdit* GebEdit;      // the characters played so far in the current line
  QPlainTextEdit* GebText; // the whole text; the group being played is selected
  QPushButton* MemClBtn;
  QPushButton* MemPlayBtn;
  QPushButton* MemPausBtn; // a toggle
  QLabel* Label1;
  TBevel* Bevel1;
  QLabel* SPLabel; // the window's speed
  TSpinButton* SPSpeed;
  TTickTimer& MemTimer;
  // The typed copy under the text; hidden, and the window of its designed
  // size, when there is none.
  QTextEdit* CopyText;

  // Captions from the interface texts (TextFormText 1, 2, 4, 5).
  void ApplyTexts();

  void FormCreate();
  // Each time the window is shown.
  void FormActivate();
  void MemPlayBtnClick();
  void MemPausBtnClick();
  void MemClBtnClick();
  // Stop: the run ends at once, with no character after the one heard.
  void StopReplay();
  // Step the window's speed by 5 when Step, then apply it to the window's
  // own timing.
  void SPSpeedDownClick(bool Step = true);
  void SPSpeedUpClick(bool Step = true);
  void MemTimerTimer();

  // The replay's state.
  std::string MemText;  // as shown in GebText
  std::string GebZeile; // as shown in GebEdit
  int32_t MemPos = 0;   // next entry of UebFolge to play
  int32_t MemGruppe = 0;
  int32_t MemZeilen = 0;
  int32_t PauseMark = 0; // MemPos when paused; 0 when not paused
  int32_t ZeilenStart = 0;
  int32_t MarkStart = 0; // offset in MemText of the group to highlight next
  bool MarkNeu = false;
  int32_t MemSpeed = 0; // characters per minute, 30..150
  // The window's own timing: the learner's settings at MemSpeed, handed to
  // the player with each character, so the learner's stay as they are.
  sound::TKlang MemKlang;

  // The selection of GebText, in characters (= bytes of MemText).
  int SelStart() const;
  int SelLength() const;

  void reject() override;

protected:
  void showEvent(QShowEvent* Event) override;

private:
  int32_t Length() const;
  void ApplySpeed();
  void FillText();
  // Shows the context's score under the text, or hides it.
  void FillScore();
  void Select(int Start, int Length);
  int DocumentEnd() const;
  bool Running() const;
  uint8_t Charset() const;

  TMemContext FContext;
  // Where the highlight of the group playing starts.
  int32_t FGroupStart = 0;
};

#pragma once

#include <QLabel>
#include <QToolButton>

#include <cstdint>
#include <functional>
#include <string>

// What the hover keys read of the program and the label they write: handed
// in by the main window, so that the keys need not know the session.
class TMButtonContext {
public:
  virtual ~TMButtonContext() = default;
  virtual int UebNr() const = 0;      // the current exercise, 1..4
  virtual bool Idle() const = 0;      // no training session runs
  virtual bool Playing() const = 0;   // a block of the main window is playing
  virtual QLabel* MerkWLabel() const = 0;
};

// A key of the on-screen keyboard and of the large new-character keys: a
// flat toggle button that carries its character, the character's Morse code
// and mnemonic word, and shows a learning aid in MerkWLabel while the pointer
// rests on it.
//
// Like a speed button it has a group index: keys of one parent with the same
// non-zero index are down one at a time; with AllowAllUp all may be up.
class TMButton : public QToolButton {
public:
  // Context: what the hover aids read of the program; none, no aids.
  explicit TMButton(QWidget* Parent, const TMButtonContext* Context = nullptr);

  // Length-limited byte strings (longer values are cut).
  static constexpr size_t MCodeMax = 10;
  static constexpr size_t MCharMax = 2;
  static constexpr size_t MWortMax = 30;
  const std::string& MCode() const { return FMCode; }
  const std::string& MChar() const { return FMChar; }
  const std::string& MWort() const { return FMWort; }
  void SetMCode(const std::string& Value);
  void SetMChar(const std::string& Value);
  void SetMWort(const std::string& Value);

  void SetGroupIndex(int Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
  bool Down() const { return isChecked(); }
  // Putting a key down puts the other keys of its group up.
  void SetDown(bool Value);
  // The flat look (no raised frame), shown while a keyboard key is held on
  // the key.
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  // The key's own enabled state, whatever its panel's: the keyboard panel is
  // switched off while a code plays, and the keys keep their looks and their
  // hover aids meanwhile.
  bool Enabled() const;
  QColor FontColor() const;
  void SetFontColor(const QColor& Color);

  // The click handler (FreiClick, an answer handler, or none).
  std::function<void(TMButton*)> OnClick;
  // Runs the click as a user click does: the down state, then OnClick.
  void Click();

  // The hover handlers.
  // MerkWLabel gets its sizes in points ("size" 16), see Fonts.h.
  void CMMouseEnter();
  void CMMouseLeave();


  // The sung form of a code: "ти" for a dot and "та" for a dash (code page
  // 1251), " - " between them, at most 30 bytes.
  static std::string SungForm(const std::string& Code);

protected:
  void enterEvent(QEnterEvent* Event) override;
  void leaveEvent(QEvent* Event) override;
  void paintEvent(QPaintEvent* Event) override;

private:
  void Clicked();
  const TMButtonContext* FContext;
  std::string FMCode, FMChar, FMWort;
  int FGroupIndex = 0;
  bool FAllowAllUp = false;
  bool FFlat = false;
};

// A link label of the about box: navy while the pointer is on it, yellow
// otherwise, with a short sound when the pointer enters.
class TMLabel : public QLabel {
public:
  explicit TMLabel(QWidget* Parent);
  std::function<void()> OnClick;
  // Plays the hover sound; handed in by the window that makes the label.
  std::function<void()> OnHoverSound;

  void CMMouseEnter();
  void CMMouseLeave();

protected:
  void enterEvent(QEnterEvent* Event) override;
  void leaveEvent(QEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
};

#pragma once

#include <string>

// Plain message boxes and the beep: the fixed texts of the program and the error text of
// the wave output. Texts are bytes in the code page of the active layout; the
// real reporter converts them where the box shows them. Tests answer it
// without a window.
class TMessageReporter {
public:
  virtual ~TMessageReporter() = default;
  // A box with the text and an OK button; returns when it is closed.
  virtual void ShowMessage(const std::string& Text) = 0;
  // A confirmation box with Yes and No; true for Yes.
  virtual bool AskYesNo(const std::string& Text) = 0;
  // The same box with Yes (DefaultYes) or No as its default button; a
  // reporter without default buttons asks as AskYesNo does.
  virtual bool AskYesNoDefault(const std::string& Text, bool DefaultYes) {
    static_cast<void>(DefaultYes);
    return AskYesNo(Text);
  }
  // The default beep, for a step beyond the first or last lesson or exercise.
  virtual void Beep() = 0;
};

// The boxes that say a settings file cannot be saved. Fixed English texts,
// like the program's other file messages, not taken from the language files;
// the interval table's is here because the speed test, below the storage,
// tells it too.
inline constexpr char KundNotSavedText[] =
    "\"CWK.dat\" cannot be written. The progress of this run will not be saved!";
inline constexpr char IntNotSavedText[] =
    "\"Int.mtr\" cannot be written. The calibrated intervals will not be saved!";

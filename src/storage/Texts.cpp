#include "storage/Texts.h"

storage::TTexte storage::Texte;

void ClearTexts() {
  storage::Texte = {};
}

namespace {
template <size_t N>
std::string TextOrBuiltIn(const std::array<std::string, N>& Table, size_t Line,
                          const char* BuiltIn) {
  return Line < N && !Table[Line].empty() ? Table[Line] : std::string(BuiltIn);
}
} // namespace

std::string CaptionText(TCaptionLine Line) {
  static constexpr std::array<const char*, CaptionLines + 1> BuiltIn = {
      "", "Text", "Normal", "Only", "Timer", "Test", "Stop", "Repeat", "Text"};
  return TextOrBuiltIn(storage::Texte.CaptionsText, Line, BuiltIn[Line]);
}

std::string StatusLineText(TStatusLine Line) {
  static constexpr std::array<const char*, StatusLines + 1> BuiltIn = {
      "",
      "Passed without errors. \"Next\" takes you on.",
      "Passed without errors. \"Next\" opens only in your furthest lesson.",
      "Passed without errors. Lesson 1 has no exercise 3: \"Next\" goes on to exercise 4.",
      "This run introduced the new characters. Run exercise 4 once more to pass it.",
      "This run introduced the new characters: no key can be marked, and the next run introduces "
      "them again."};
  return TextOrBuiltIn(storage::Texte.StatusText, Line, BuiltIn[Line]);
}

std::string SoundLostText() {
  return TextOrBuiltIn(storage::Texte.SoundText, 1,
                       "The sound output has stopped: the audio server does not answer. The "
                       "exercise has been stopped; press Start again when the sound works.");
}

std::string StatistikLineText(TStatistikLine Line) {
  static constexpr std::array<const char*, StatistikLines + 1> BuiltIn = {
      "",
      "Median reaction: %1 ms.",
      "%1 answered while still sounding.",
      "Practise my weak characters",
      "Exercise 4 sounds the characters you miss, answer slowly or confuse more often",
      "Accuracy (%)",
      "Median reaction (ms)",
      "Target",
      "Taken for",
      "Progress per day",
      "Export CSV...",
      "The file cannot be written: %1",
      "Target reaction (ms):",
      "Day",
      "Runs",
      "No runs recorded yet"};
  return TextOrBuiltIn(storage::Texte.StatistikText, Line, BuiltIn[Line]);
}

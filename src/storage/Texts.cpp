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

std::string PracticeLineText(TPracticeLine Line) {
  static constexpr std::array<const char*, PracticeLines + 1> BuiltIn = {
      "",
      "Practice",
      "Copy practice",
      "Text:",
      "Groups of five",
      "Common words",
      "Callsigns",
      "Contacts",
      "Abbreviations and Q codes",
      "My own text file",
      "Only the characters I have reached",
      "Words from the first:",
      "Length:",
      "minutes",
      "characters",
      "Character speed (wpm):",
      "Effective speed (wpm):",
      "= %1 / %2 characters per minute",
      "Tone (Hz):",
      "Copy:",
      "Typed",
      "In the head",
      "On paper",
      "Start",
      "Stop",
      "Repeat",
      "Slower",
      "Faster",
      "Save as audio\x85",
      "Choose file\x85",
      "Close",
      "Which text is sounded",
      "Use only the characters of the lessons you have reached",
      "How far down the list of common words (most common first) the words are drawn",
      "How long the text is, in minutes or in characters",
      "How fast each character is sent, in words per minute (5 to 100); a word is five characters and a space",
      "The speed of the whole text (2 up to the character speed): the spaces between characters and words grow, the characters keep their speed",
      "The pitch of the tone in hertz",
      "How you copy: typed, in the head, or on paper",
      "Type what you hear here, with a space between words",
      "Writes the text as an audio file (WAV, FLAC, Ogg or MP3) with the text beside it",
      "Copied right: %1 of %2 characters (%3 %)",
      "Tick the words you copied: %1 of %2",
      "The list for this text is missing.",
      "The list or file holds nothing.",
      "The file is larger than 10 MB and is not read.",
      "This is not a text file.",
      "The text holds no character the course can sound.",
      "%1 characters the course cannot sound were left out.",
      "Save as audio",
      "Writing the audio file\x85",
      "The audio file could not be written: %1",
      "This system cannot write %1 files.",
      "Written: %1",
      "Cancel",
      "The text stays hidden until the end.",
      "Text files (*.txt);;All files (*)",
      "Audio files (*.wav *.flac *.ogg *.mp3)",
      "Compare your paper with the text.",
      "Choose a text file first.",
  };
  return TextOrBuiltIn(storage::Texte.PracticeText, Line, BuiltIn[Line]);
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
      "No runs recorded yet",
      "Characters"};
  return TextOrBuiltIn(storage::Texte.StatistikText, Line, BuiltIn[Line]);
}

std::string BandLineText(TBandLine Line) {
  static constexpr std::array<const char*, BandLines + 1> BuiltIn = {
      "",
      "Band conditions",
      "Noise, SNR (dB):",
      "Fading (dB):",
      "Fading period (s):",
      "Other stations:",
      "Static crashes per minute:",
      "Hand-key fist (%):",
      "Sounds the text through band noise, as a receiver hears a weak signal",
      "The signal-to-noise ratio: the tone's power while it sounds against the noise's power in "
      "500 Hz around the tone (-10 to 30 dB; lower is harder)",
      "How far the signal's level falls as it fades, in dB (0: no fading)",
      "About how many seconds the signal takes to fade and rise again (2 to 30)",
      "Other stations within 400 Hz of the tone, weaker or stronger, starting and stopping (0 to "
      "3)",
      "Short bursts of static per minute (0 to 100)",
      "How far each element and space strays from its length, as a hand key sends it, the average "
      "speed kept (0 to 20 %)",
      "Copy under band conditions",
      "Conditions",
      "Clean",
      "Noise 20 dB and more",
      "Noise 10 to 19 dB",
      "Noise 0 to 9 dB",
      "Noise below 0 dB",
      "With fading",
      "With other stations",
      "With static crashes",
      "With a fist",
      "No practice copied yet"};
  return TextOrBuiltIn(storage::Texte.BandText, Line, BuiltIn[Line]);
}

#pragma once

#include "course/PracticeText.h"
#include "sound/Band.h"
#include "sound/PracticeTiming.h"
#include "sound/SoundState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The copy practice apart from its window: its texts turned into codes, the
// characters the learner has reached, and the practice written as an audio
// file from the command line.
namespace practice {

// A character of the code page in capitals and in small letters (the code
// table keeps small letters); the Turkish dotted and dotless i included.
char UpperOf(char C, uint8_t Charset);
char LowerOf(char C, uint8_t Charset);
std::string UpperText(const std::string& Text, uint8_t Charset);

// The codes of Text (words parted by spaces) from Table: a character
// without a code is left out, and a space between words becomes the empty
// code of a word's space.
TCodeSequence CodesOf(const std::string& Text, const sound::TCodetafel& Table, uint8_t Charset);

// The characters of the lessons up to MaxLektNr of a course order (the
// letters in capitals), without the prosigns, which no text holds.
std::string ReachedCharacters(const std::string& KursFolge, int32_t MaxLektNr, uint8_t Charset);

// The learner's tone settings as the practice uses them: pitch, ramp and
// wave form of sound::Klang, read, never written.
TTone ToneOfKlang();

// Characters of text for a length in minutes at an effective speed: five
// characters per word.
int32_t CharsForMinutes(double Minutes, int32_t EffectiveWpm);

// What the other stations on the band send: a handful of callsigns and
// contact phrases of the course's language (AlphabetFile), as codes of
// Table, drawn from Seed.
std::vector<TCodeSequence> OtherStationTexts(const std::string& AlphabetFile,
                                             const sound::TCodetafel& Table, uint8_t Charset,
                                             uint32_t Seed);

// The command line's practice: --write-audio and the options with it.
struct TPracticeCommand {
  std::string AudioFile;
  course::TPracticeKind Kind = course::TPracticeKind::Groups;
  bool KindGiven = false;
  std::string Text;      // --text, UTF-8
  std::string TextFile;  // --text-file
  int32_t SprachNr = 1;  // --course en|de|ru|tr
  TTiming Timing;        // --wpm, --effective-wpm
  bool EffectiveGiven = false;
  int32_t ToneHz = 600;
  double Minutes = 1.0;
  uint32_t Seed = 1; // the text's and the band conditions'
  TBand Band;        // --snr, --qsb, --qrm, --qrn, --fist
};

// The kind named on the command line, or nothing.
std::optional<course::TPracticeKind> KindOfName(const std::string& Name);

// Writes the practice the command asks for, with the code table and texts
// of its course read through the data lookup; prints the text sounded on
// standard output (UTF-8). 0 when written; 2 with a one-line reason on
// standard error for a value or a text that cannot be sounded; 1 when the
// file cannot be written.
int RunPracticeCommand(const TPracticeCommand& Command);

} // namespace practice

#pragma once

#include <array>
#include <cstddef>
#include <string>

// The lines of the <Hints> section: a hint per control, shown when the
// pointer rests on it, then the names a screen reader gives the controls
// that have no caption of their own.
enum THintLine : size_t {
  HintNormalRB = 1,
  HintOnlyRB,
  HintGroupAD,
  HintLektAD,
  HintUebAD,
  HintIcoPanel,
  HintBRB,
  HintZiffRB,
  HintZeichRB,
  HintAllRB,
  HintScroller1,
  HintSpeedUD,
  HintVerhaltUD,
  HintAbstandUD,
  HintTnBar,
  HintFrontBar,
  HintTestBtn,
  HintTasten,
  HintNeuTasten,
  HintMerkWLabel,
  HintRepBtn,
  HintMerkCheckBox,
  HintStartBtn,
  HintWeiterBtn,
  HintImage1,
  HintImage2,
  HintTimeCB,
  NameGroupUp, // the arrows: what each raises or lowers
  NameGroupDown,
  NameLektUp,
  NameLektDown,
  NameUebUp,
  NameUebDown,
  NameSpeedUp,
  NameSpeedDown,
  NameVerhaltUp,
  NameVerhaltDown,
  NameAbstandUp,
  NameAbstandDown,
  NameTnBar,
  NameFrontBar,
  NameVerhaltUD, // the ratio's arrows as a whole ("- / ." says nothing)
  NameScroller1,
  NameImage1,
  NameImage2,
  HintLines = NameImage2
};

// The lines of the <Captions> section: captions the window had built in,
// in English, before the interface files gave them.
enum TCaptionLine : size_t {
  CaptionLabel2 = 1, // "Text" above Normal and Only
  CaptionNormalRB,
  CaptionOnlyRB,
  CaptionTimeCB,
  CaptionTestBtn,
  CaptionTestStop, // TestBtn while the speed test runs
  CaptionRepBtn,
  CaptionMemForm, // the text replay window's title
  CaptionLines = CaptionMemForm
};

// The lines of the <Status> section: the line under the window that says
// what the end of a run decided where nothing else on the screen does.
enum TStatusLine : size_t {
  StatusPassed = 1,    // exercise 2 or 3 passed, "Weiter" on
  StatusPassedBelow,   // passed below the furthest lesson: "Weiter" stays off
  StatusPassedLesson1, // exercise 2 of lesson 1 passed: "Weiter" goes to exercise 4
  StatusIntroNo,       // exercise 4 answered No on the run that introduced the new characters
  StatusIntroYes,      // answered Yes on that run: no key can be marked
  StatusLines = StatusIntroYes
};

// The lines of the <Practice> section: the copy practice's window, its
// captions, hints, results and messages, in this order.
enum TPracticeLine : size_t {
  PracticeMenu = 1,
  PracticeTitle,
  PracticeKindLabel,
  PracticeGroups,
  PracticeWords,
  PracticeCallsigns,
  PracticeContacts,
  PracticeAbbrev,
  PracticeOwnText,
  PracticeReached,
  PracticeDepthLabel,
  PracticeLengthLabel,
  PracticeMinutes,
  PracticeChars,
  PracticeCharWpm,
  PracticeEffWpm,
  PracticeCpmFormat,
  PracticeTone,
  PracticeCopyLabel,
  PracticeTyped,
  PracticeHead,
  PracticePaper,
  PracticeStart,
  PracticeStop,
  PracticeRepeat,
  PracticeSlower,
  PracticeFaster,
  PracticeSave,
  PracticeFile,
  PracticeClose,
  PracticeHintKind,
  PracticeHintReached,
  PracticeHintDepth,
  PracticeHintLength,
  PracticeHintCharWpm,
  PracticeHintEffWpm,
  PracticeHintTone,
  PracticeHintCopy,
  PracticeHintCopyEdit,
  PracticeHintSave,
  PracticeResult,
  PracticeHeadResult,
  PracticeErrNoList,
  PracticeErrEmpty,
  PracticeErrTooLarge,
  PracticeErrBinary,
  PracticeErrNothing,
  PracticeSkipped,
  PracticeSaveTitle,
  PracticeSaveProgress,
  PracticeSaveFailed,
  PracticeFormatMissing,
  PracticeSaved,
  PracticeCancel,
  PracticeHidden,
  PracticeTextFilter,
  PracticeAudioFilter,
  PracticePaperDone,
  PracticeNoText,
  PracticeLines = PracticeNoText
};

// The lines of the <Statistik> section.
enum TStatistikLine : size_t {
  StatReactionMedian = 1, // the result's reaction: %1 the median in ms
  StatReactionEarly,      // %1 answers given while the character still sounded
  StatWeakItem,           // the option's menu item
  StatWeakHint,           // its hint
  StatAccuracy,           // the accuracy axis, in %
  StatReaction,           // the reaction axis, in ms
  StatTarget,             // the target line
  StatTakenFor,           // what a character was taken for
  StatProgress,           // the progress chart's title
  StatExport,             // the CSV export button
  StatNotWritten,         // a CSV file that cannot be written: %1 its name
  StatTargetSetting,      // the target's setting
  StatDayAxis,            // the progress chart's time axis
  StatRunsLine,           // the runs in the history
  StatNoRuns,             // the progress chart without runs
  StatCharacters,         // the tab of the characters' table
  StatistikLines = StatCharacters
};

// The lines of the <Band> section: the copy practice's band conditions in
// its window, and their comparison in the statistics window.
enum TBandLine : size_t {
  BandTitle = 1, // the group's title
  BandNoise,     // the noise's check box, its SNR beside it
  BandQsbDepth,  // the fading's depth
  BandQsbPeriod, // the fading's period
  BandQrm,       // other stations
  BandQrn,       // static crashes
  BandFist,      // the fist
  BandHintNoise, // hints of the controls, in the order above
  BandHintSnr,
  BandHintQsbDepth,
  BandHintQsbPeriod,
  BandHintQrm,
  BandHintQrn,
  BandHintFist,
  BandCompare,    // the statistics window's comparison: its title
  BandConditions, // its first column's heading
  BandClean,      // runs heard clean
  BandSnr20,      // runs with noise at 20 dB and more
  BandSnr10,      // 10 to 19 dB
  BandSnr0,       // 0 to 9 dB
  BandSnrBelow0,  // below 0 dB
  BandWithQsb,    // runs with fading
  BandWithQrm,    // with other stations
  BandWithQrn,    // with static crashes
  BandWithFist,   // with a fist
  BandNoRuns,     // no practice run typed yet
  BandLines = BandNoRuns
};

// The interface texts of the active language, one table per section of the
// interface text file, numbered from 1 in file order (slot 0 is unused). They
// are empty until a text file has been read, and bytes in the code page of
// the layout. Written by the language files' reader only.
namespace storage {
struct TTexte {
  std::array<std::string, 8> MenuText;     // 7 lines
  std::array<std::string, 6> RadiogrText;  // 5 lines
  std::array<std::string, 5> LektText;     // 4 lines
  std::array<std::string, 5> SParamText;   // 4 lines
  std::array<std::string, 4> ButtonsText;  // 3 lines
  std::array<std::string, 6> TextFormText; // 5 lines
  std::array<std::string, 5> LabelText;    // 4 lines
  std::array<std::string, 7> MessagesText; // 6 lines
  // The layout items English, German, Russish, Turkish: the courses named in
  // the interface's language.
  std::array<std::string, 5> CoursesText;           // 4 lines
  std::array<std::string, HintLines + 1> HintsText; // THintLine
  // The typed copy of exercise 4 and the statistics: 1 the option's menu
  // item, 2 its hint, 3 its accessible name, 4 the Statistics menu item, 5
  // its hint, 6 the statistics window's title, 7 "Accuracy", 8 the weakest
  // characters' heading, 9 the button marking them, 10..13 the table's
  // headings (character, sent, wrong, error rate), 14 "Close", 15 the text
  // shown while there are no figures.
  std::array<std::string, 16> TypedCopyText; // 15 lines
  std::array<std::string, CaptionLines + 1> CaptionsText; // TCaptionLine
  std::array<std::string, StatusLines + 1> StatusText;    // TStatusLine
  // The speed test's result and the interval file (storage/IntFile.h): 1
  // what a test stored (%1 the speed, %2 the pause in ms), 2 what a full
  // calibration stored, 3 the close question, 4 the file not found.
  std::array<std::string, 5> IntervallText; // 4 lines
  // 1 what a second start on the same learner's folder says when the
  // running copy does not answer.
  std::array<std::string, 2> StartText; // 1 line
  // The sound output: 1 what the learner is told when it stops working, or
  // there is none, during a run.
  std::array<std::string, 2> SoundText; // 1 line
  std::array<std::string, PracticeLines + 1> PracticeText; // TPracticeLine
  // Reaction times, the statistics window and the weak-character practice
  // (TStatistikLine).
  std::array<std::string, StatistikLines + 1> StatistikText;
  std::array<std::string, BandLines + 1> BandText; // TBandLine
};
} // namespace storage

namespace storage {
extern storage::TTexte Texte;
} // namespace storage

// Empties every table (as at program start).
void ClearTexts();

// A caption or status line of the interface file, or the built-in English
// when the file has none.
std::string CaptionText(TCaptionLine Line);
std::string StatusLineText(TStatusLine Line);
// What the learner is told when the sound output stops working during a run:
// the interface file's text, or the English one where the file has none.
std::string SoundLostText();
// A line of the copy practice's window, or the built-in English.
std::string PracticeLineText(TPracticeLine Line);
// A line of the <Statistik> section, or the built-in English.
std::string StatistikLineText(TStatistikLine Line);
// A line of the <Band> section, or the built-in English.
std::string BandLineText(TBandLine Line);

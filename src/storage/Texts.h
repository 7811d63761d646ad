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
  std::array<std::string, 16> AbschriftText; // 15 lines
  // The sound output: 1 what the learner is told when it stops working, or
  // there is none, during a run.
  std::array<std::string, 2> SoundText; // 1 line
};
} // namespace storage

namespace storage {
extern storage::TTexte Texte;
} // namespace storage

// Empties every table (as at program start).
void ClearTexts();

// What the learner is told when the sound output stops working during a run:
// the interface file's text, or the English one where the file has none.
std::string SoundLostText();

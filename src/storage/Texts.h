#pragma once

#include <array>
#include <string>

// The interface texts of the active language, one table per section of the
// interface text file, numbered from 1 in file order (slot 0 is unused). They
// are empty until a text file has been read, and bytes in the code page of
// the layout. Written by the language files' reader only.
struct TTexte {
  std::array<std::string, 8> MenuText;     // 7 lines
  std::array<std::string, 6> RadiogrText;  // 5 lines
  std::array<std::string, 5> LektText;     // 4 lines
  std::array<std::string, 5> SParamText;   // 4 lines
  std::array<std::string, 4> ButtonsText;  // 3 lines
  std::array<std::string, 6> TextFormText; // 5 lines
  std::array<std::string, 5> LabelText;    // 4 lines
  std::array<std::string, 7> MessagesText; // 6 lines
};

extern TTexte Texte;

// Empties every table (as at program start).
void ClearTexts();

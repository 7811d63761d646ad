#pragma once

#include "windows/MainView.h"

class QWidget;

// The interface texts of storage/Texts.h shown on the controls.

// The controls of the text replay window that show interface texts. Any of
// them may be missing (null).
struct TMemCaptions {
  QWidget* MemClBtn = nullptr;
  QWidget* MemPlayBtn = nullptr;
  QWidget* MemPausBtn = nullptr;
  QWidget* Label1 = nullptr;
};

// Writes the tables into the controls, each shown in the character set of
// KeyPanel's font, which the layout switch has set; then the hints.
void ApplyTexts(TMainView& View, const TMemCaptions& Mem);

// The hints of the <Hints> section as the controls' tooltips and accessible
// descriptions, and the accessible names of the controls without a caption
// of their own: the arrows say what they raise or lower, the number displays
// and their arrows take the caption above them, the track bars are the pitch
// and the attack. Without the section the hints are empty and the names are
// the built-in English ones.
void ApplyHints(TMainView& View);

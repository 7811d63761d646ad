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
// KeyPanel's font, which the layout switch has set.
void ApplyTexts(TMainView& View, const TMemCaptions& Mem);

#pragma once

#include "storage/LengFiles.h"
#include "storage/Layouts.h"

#include <cstdint>
#include <functional>

// The course's part of a layout switch, run in this order after the texts.
// The window connects them to the course operations; a missing one is
// skipped.
struct TLayoutCourseOps {
  // TastReihen, TastLinks and AlphabetFile := the layout's.
  std::function<void(const TLayout& Layout)> TakeLayout;
  // The lesson order, the character file and the mnemonic words.
  std::function<void(int32_t SprachNr)> LoadLessonData;
  // The course cut anew from the loaded order.
  std::function<void()> RebuildCourse;
  std::function<void()> BuildKeyboard;
  std::function<void()> BindKeys;
};

struct TLayoutLinks {
  TTextLinks Texts;  // its Reporter serves the switch too
  // KeyPanel's character set, which the texts and keys are shown in.
  std::function<void(uint8_t Charset)> ShowCharset;
  TKeyboardLayouts* Layouts = nullptr;
  TLayoutCourseOps Course;
};

enum class TLayoutSwitch {
  Switched,      // the layout is in force (its text file may still be missing)
  NotInstalled,  // the previous layout stays
  Closing,       // "Leng.dat" is missing and the main window has been closed
  Ignored,       // the sender is not a layout item
};

// The switch to the layout of a layout item's tag (600 + SprachNr), run by
// the items' click handler and by the start-up for the stored layout. Loads
// the layout; when that fails it says "This layout is not installed." and
// the previous layout stays. When it succeeds: rows, TastLinks and
// AlphabetFile, the character set shown, storage::Kund.SprachNr and the typed
// characters follow the layout, then the interface texts are loaded, then
// the course hooks run in their order. This is done on every switch, to the
// layout already in force too. Ignored for a tag of no layout.
TLayoutSwitch SwitchLayout(TLayoutLinks& Links, int32_t Tag);

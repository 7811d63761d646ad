#pragma once

#include "storage/LengFiles.h"
#include "storage/Layouts.h"

#include <cstdint>
#include <functional>

class QAction;

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
  TTextLinks Texts;  // its View and Reporter serve the switch too
  TKeyboardLayouts* Layouts = nullptr;
  TLayoutCourseOps Course;
};

enum class TLayoutSwitch {
  Switched,      // the layout is in force (its text file may still be missing)
  NotInstalled,  // the previous layout stays
  Closing,       // "Leng.dat" is missing and the main window has been closed
  Ignored,       // the sender is not a layout item
};

// The click handler of the four layout items (their tag is 600 + SprachNr),
// also run by the start-up for the stored layout. Loads the layout; when that
// fails it says "This layout is not installed.", checks the item of the layout
// still in force (none if there is none) and disables the clicked one for the
// rest of the run. When it succeeds: rows, TastLinks and AlphabetFile, the
// character set of KeyPanel, Kund.SprachNr and the typed characters follow
// the layout, then the interface texts are loaded, then the course hooks run
// in their order. This is done on every switch, to the layout already in
// force too.
TLayoutSwitch EnglishClick(TLayoutLinks& Links, QAction* Sender);

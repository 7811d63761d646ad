#pragma once

#include "app/LayoutSwitch.h"
#include "windows/MainView.h"

class QAction;

// The main window's side of the layout switch and of the learner record.

// The click handler of the four layout items (their tag is 600 + SprachNr),
// also run by the start-up for the stored layout: the item is checked and the
// layout switched to (storage/LayoutSwitch.h). A layout that is not installed
// leaves the item of the layout still in force checked (none if there is
// none) and the clicked one disabled for the rest of the run.
TLayoutSwitch LayoutItemClick(TLayoutLinks& Links, TMainView& View, QAction* Sender);

// The sound controls of the start-up: SpeedUD, AbstandUD, FrontBar and TnBar
// take Kund's values, each kept within its range by the control, and Ton
// takes storage::Kund.Ton. The engine variables follow the controls afterwards, so
// what is stored at close is the clamped value.
void RestoreKundControls(TMainView& View);

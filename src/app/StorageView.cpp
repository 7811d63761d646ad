#include "app/StorageView.h"

#include "sound/SoundState.h"
#include "storage/StorageState.h"

#include <QAction>
#include <QActionGroup>

namespace {

QAction* ItemOf(const TMainView& V, int32_t SprachNr) {
  switch (SprachNr) {
  case 1:
    return V.English;
  case 2:
    return V.German;
  case 3:
    return V.Russish;
  case 4:
    return V.Turkish;
  default:
    return nullptr;
  }
}

// Checks the item of the layout in force, or none when there is none; an
// exclusive group lets no item be unchecked, so it is opened for that.
void CheckItemInForce(const TMainView& V, QAction* Clicked) {
  if (QAction* Item = ItemOf(V, storage::Kund.SprachNr)) {
    Item->setChecked(true);
    return;
  }
  QActionGroup* Group = Clicked->actionGroup();
  const auto Policy =
      Group != nullptr ? Group->exclusionPolicy() : QActionGroup::ExclusionPolicy::None;
  if (Group != nullptr)
    Group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (QAction* Item : {V.English, V.German, V.Russish, V.Turkish})
    if (Item != nullptr)
      Item->setChecked(false);
  if (Group != nullptr)
    Group->setExclusionPolicy(Policy);
}

} // namespace

TLayoutSwitch LayoutItemClick(TLayoutLinks& Links, TMainView& View, QAction* Sender) {
  if (Sender == nullptr || LayoutOfTag(Sender->data().toInt()) == nullptr)
    return TLayoutSwitch::Ignored;
  Sender->setChecked(true);
  const TLayoutSwitch Result = SwitchLayout(Links, Sender->data().toInt());
  if (Result == TLayoutSwitch::NotInstalled) {
    CheckItemInForce(View, Sender);
    Sender->setEnabled(false);
  }
  return Result;
}

void RestoreKundControls(TMainView& View) {
  if (View.SpeedUD != nullptr)
    View.SpeedUD->SetPosition(storage::Kund.Speed);
  if (View.AbstandUD != nullptr)
    View.AbstandUD->SetPosition(storage::Kund.Abstand);
  if (View.FrontBar != nullptr)
    View.FrontBar->setValue(storage::Kund.Front);
  if (View.TnBar != nullptr)
    View.TnBar->setValue(storage::Kund.Ton);
  sound::SetTon(storage::Kund.Ton);
}

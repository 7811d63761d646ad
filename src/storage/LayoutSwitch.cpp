#include "storage/LayoutSwitch.h"

#include "course/CourseState.h"
#include "sound/Reporter.h"
#include "storage/StorageState.h"
#include "windows/Caption.h"
#include "windows/MainView.h"

#include <QAction>
#include <QActionGroup>

#include <utility>

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
  if (QAction* Item = ItemOf(V, Kund.SprachNr)) {
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

template <class F, class... A> void Run(const F& Hook, A&&... Args) {
  if (Hook)
    Hook(std::forward<A>(Args)...);
}

} // namespace

TLayoutSwitch EnglishClick(TLayoutLinks& Links, QAction* Sender) {
  if (Sender == nullptr)
    return TLayoutSwitch::Ignored;
  const TLayout* Layout = LayoutOfTag(Sender->data().toInt());
  if (Layout == nullptr)
    return TLayoutSwitch::Ignored;
  Sender->setChecked(true);

  if (Links.Layouts == nullptr || !Links.Layouts->LoadKeyboardLayout(Layout->LocaleId)) {
    if (Links.Texts.Reporter != nullptr)
      Links.Texts.Reporter->ShowMessage("This layout is not installed.");
    if (Links.Texts.View != nullptr)
      CheckItemInForce(*Links.Texts.View, Sender);
    Sender->setEnabled(false);
    return TLayoutSwitch::NotInstalled;
  }

  Run(Links.Course.TakeLayout, *Layout);
  if (Links.Texts.View != nullptr && Links.Texts.View->KeyPanel != nullptr)
    SetCharset(Links.Texts.View->KeyPanel, Layout->Charset);
  Kund.SprachNr = static_cast<uint8_t>(Layout->SprachNr);
  Tastatur.InputLayoutNr = Layout->SprachNr;

  // With "Leng.dat" missing the program is ending: nothing more is loaded.
  if (LoadTexts(Links.Texts, Layout->SprachNr) == TTextsLoad::Closing)
    return TLayoutSwitch::Closing;
  Run(Links.Course.LoadLessonData, Layout->SprachNr);
  Run(Links.Course.RebuildCourse);
  Run(Links.Course.BuildKeyboard);
  Run(Links.Course.BindKeys);
  return TLayoutSwitch::Switched;
}

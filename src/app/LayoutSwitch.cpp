#include "app/LayoutSwitch.h"

#include "course/CourseState.h"
#include "base/Reporter.h"
#include "storage/StorageState.h"

#include <utility>

namespace {

template <class F, class... A> void Run(const F& Hook, A&&... Args) {
  if (Hook)
    Hook(std::forward<A>(Args)...);
}

} // namespace

TLayoutSwitch SwitchLayout(TLayoutLinks& Links, int32_t Tag) {
  const TLayout* Layout = LayoutOfTag(Tag);
  if (Layout == nullptr)
    return TLayoutSwitch::Ignored;

  if (Links.Layouts == nullptr || !Links.Layouts->LoadKeyboardLayout(Layout->LocaleId)) {
    if (Links.Texts.Reporter != nullptr)
      Links.Texts.Reporter->ShowMessage("This layout is not installed.");
    return TLayoutSwitch::NotInstalled;
  }

  Run(Links.Course.TakeLayout, *Layout);
  Run(Links.ShowCharset, Layout->Charset);
  storage::SetSprachNr(static_cast<uint8_t>(Layout->SprachNr));
  course::SetInputLayout(Layout->SprachNr);

  // With "Leng.dat" missing the program is ending: nothing more is loaded.
  if (LoadTexts(Links.Texts, Layout->SprachNr) == TTextsLoad::Closing)
    return TLayoutSwitch::Closing;
  Run(Links.Course.LoadLessonData, Layout->SprachNr);
  Run(Links.Course.RebuildCourse);
  Run(Links.Course.BuildKeyboard);
  Run(Links.Course.BindKeys);
  return TLayoutSwitch::Switched;
}

#include "course/Course.h"

#include "course/LessonData.h"

#include <QPointer>
#include <QRadioButton>

TCourse::TCourse(TMainView& View, TMessageReporter& Reporter, TCourseHooks Hooks)
    : FView(View), FReporter(Reporter), FHooks(std::move(Hooks)),
      FContext(std::make_unique<QObject>()) {}

TCourse::~TCourse() {
  for (const std::function<void()>& Unwire : FUnwire)
    Unwire();
}

void TCourse::RememberWiring(std::function<void()> Unwire) {
  FUnwire.push_back(std::move(Unwire));
}

bool TCourse::LoadLessonData(int32_t SprachNr) {
  return ::LoadLessonData(SprachNr, FReporter);
}

namespace {

using THandler = void (TCourse::*)(QObject*);

void WireSpin(TCourse& Course, TSpinButton* Spin, THandler Down, THandler Up) {
  if (Spin == nullptr)
    return;
  Spin->OnDownClick = [&Course, Spin, Down] { (Course.*Down)(Spin); };
  Spin->OnUpClick = [&Course, Spin, Up] { (Course.*Up)(Spin); };
  Course.RememberWiring([Guard = QPointer<TSpinButton>(Spin)] {
    // Through the plain pointer: GCC at -O2 does not see that QPointer's
    // test and its arrow agree.
    if (TSpinButton* Live = Guard.data()) {
      Live->OnDownClick = nullptr;
      Live->OnUpClick = nullptr;
    }
  });
}

// A radio button's click handler runs whenever it becomes checked, so that
// checking it from the program does what a click does.
void WireRadio(TCourse& Course, QRadioButton* Button, THandler Handler) {
  if (Button == nullptr)
    return;
  QObject::connect(Button, &QAbstractButton::toggled, Course.ConnectionContext(),
                   [&Course, Button, Handler](bool Checked) {
                     if (Checked)
                       (Course.*Handler)(Button);
                   });
}

} // namespace

void WireCourse(TCourse& Course) {
  TMainView& V = Course.View();
  WireSpin(Course, V.LektAD, &TCourse::LektADDownClick, &TCourse::LektADUpClick);
  WireSpin(Course, V.UebAD, &TCourse::UebADDownClick, &TCourse::UebADUpClick);
  WireSpin(Course, V.GroupAD, &TCourse::GroupADDownClick, &TCourse::GroupADUpClick);
  WireRadio(Course, V.BRB, &TCourse::BRBClick);
  WireRadio(Course, V.ZiffRB, &TCourse::ZiffRBClick);
  WireRadio(Course, V.ZeichRB, &TCourse::ZeichRBClick);
  WireRadio(Course, V.AllRB, &TCourse::AllRBClick);
  WireRadio(Course, V.NormalRB, &TCourse::NormalRBClick);
  WireRadio(Course, V.OnlyRB, &TCourse::OnlyRBClick);
  if (V.WeiterBtn != nullptr)
    QObject::connect(V.WeiterBtn, &QAbstractButton::clicked, Course.ConnectionContext(),
                     [&Course, Button = V.WeiterBtn] { Course.WeiterBtnClick(Button); });
  for (TMButton* Key : V.Tasten)
    if (Key != nullptr)
      Key->OnClick = [&Course](TMButton* Clicked) { Course.FreiClick(Clicked); };
  // The large keys get FreiClick from ShowNewChars.
  auto Unwire = [&Course](TMButton* Key) {
    if (Key != nullptr)
      Course.RememberWiring([Guard = QPointer<TMButton>(Key)] {
        if (TMButton* Live = Guard.data())
          Live->OnClick = nullptr;
      });
  };
  for (TMButton* Key : V.Tasten)
    Unwire(Key);
  for (TMButton* Key : V.NeuTasten)
    Unwire(Key);
}

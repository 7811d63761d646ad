#pragma once

#include "course/Course.h"
#include "windows/MainView.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

// Key font colours: red normally, lime when picked for Only or marked.
inline const QColor KeyRed = QColor(255, 0, 0);
inline const QColor KeyLime = QColor(0, 255, 0);

// Sounds a key the learner clicked: its code, followed by its sound file when
// mnemonics are on. Only asked while nothing plays.
class TKeySound {
public:
  virtual ~TKeySound() = default;
  virtual void SoundKey(TMButton& Key) = 0;
};

// The course on the main window's controls: shows the course's state, lays
// out the on-screen keyboard for the active layout and reports the learner's
// clicks to the course.
class TCourseView final : public TCourseDisplay {
public:
  explicit TCourseView(TMainView& View);
  ~TCourseView() override;
  TCourseView(const TCourseView&) = delete;
  TCourseView& operator=(const TCourseView&) = delete;

  TMainView& View() { return FView; }

  // Connects the course's handlers to the controls: the spin buttons LektAD,
  // UebAD and GroupAD, the set buttons, NormalRB and OnlyRB (their handlers
  // run when the button becomes checked, by the learner or by the program),
  // WeiterBtn, and FreiClick on the keys. Until then the controls do nothing.
  void Connect(TCourse& Course);
  // Who sounds clicked keys (the session); none, keys stay silent.
  void SetKeySound(TKeySound* Sound) { FKeySound = Sound; }
  // Who shows the congratulation window; none, it is skipped.
  void SetCongratulation(std::function<void()> Show) { FCongratulation = std::move(Show); }

  // Places the 50 keys for TastReihen and TastLinks.
  void BuildKeyboard();
  // A click on a key while no answer is awaited: marks it on the exercise-4
  // screen when marking is on, and sounds it.
  void FreiClick(TMButton* Key);
  // Marks each character of Zeichen for the next exercise-4 run, its key in
  // the mark colour.
  void MarkKeys(const std::string& Zeichen);

  // TCourseDisplay
  void ShowLektNr() override;
  void ShowUebNr() override;
  void ShowGruppenZahl() override;
  void EnableSatz(int32_t Satz) override;
  void CheckSatz(int32_t Satz) override;
  void EnableLessonKeys() override;
  void BindKeys() override;
  void ShowNewChars() override;
  void ShowNormal() override;
  void DisableWeiter() override;
  void ShowCongratulation() override;

private:
  QRadioButton* SetButton(int32_t Satz) const;

  TMainView& FView;
  TCourse* FCourse = nullptr;
  TKeySound* FKeySound = nullptr;
  std::function<void()> FCongratulation;
  // Context of the connections Connect makes: they end with the view.
  std::unique_ptr<QObject> FContext;
  std::vector<std::function<void()>> FUnwire;
};

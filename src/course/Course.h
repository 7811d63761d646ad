#pragma once

#include "sound/Reporter.h"
#include "sound/SoundState.h"
#include "windows/MainView.h"

#include <QColor>
#include <QObject>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// What the course needs of the parts above it.
struct TCourseHooks {
  // Shows the congratulation window modally; returns when it is closed.
  std::function<void()> ShowCongratulation;
  // Sounds a key the learner clicked: its code, followed by its sound file
  // when mnemonics are on. Only called while nothing plays.
  std::function<void(TMButton& Key)> SoundKey;
};

// Key font colours: red normally, lime when picked for Only or marked.
inline const QColor KeyRed = QColor(255, 0, 0);
inline const QColor KeyLime = QColor(0, 255, 0);

// What one GenerateSequence drew: the repetition limit it applied and how
// often each candidate was drawn as a first choice (the candidate's index
// into the candidate set, or into the Only keys when Only was true).
struct TSequenceDraw {
  int32_t Limit = 0;
  bool Only = false;
  std::array<int32_t, MaxLetters + 1> Counts{};
};

// The course model on the main window's controls: the lesson plan and its
// navigation, the on-screen keyboard and the exercise sequences. Its state
// is the program-wide state of course/CourseState.h.
//
// Handlers take the control that raised them as Sender; nullptr means the
// program calls them to re-apply the rules without stepping.
class TCourse {
public:
  TCourse(TMainView& View, TMessageReporter& Reporter, TCourseHooks Hooks = {});
  ~TCourse();
  TCourse(const TCourse&) = delete;
  TCourse& operator=(const TCourse&) = delete;

  TMainView& View() { return FView; }
  TCourseHooks& Hooks() { return FHooks; }

  // --- Lesson data
  bool LoadLessonData(int32_t SprachNr);

  // --- Lesson plan
  // Lesson bounds, LektZeichen, NeueZeichen, the set buttons and the usable
  // keys for LektNr.
  void ComputeLesson();
  void EnableSetButtons();
  void LektADDownClick(QObject* Sender);
  void LektADUpClick(QObject* Sender);
  void UebADDownClick(QObject* Sender);
  void UebADUpClick(QObject* Sender);
  void BRBClick(QObject* Sender);
  void ZiffRBClick(QObject* Sender);
  void ZeichRBClick(QObject* Sender);
  void AllRBClick(QObject* Sender);
  // Moves on after a passed exercise.
  void WeiterBtnClick(QObject* Sender);
  void GroupADDownClick(QObject* Sender);
  void GroupADUpClick(QObject* Sender);

  // --- On-screen keyboard
  // Places the 50 keys for TastReihen and TastLinks.
  void BuildKeyboard();
  // Gives every key of a taught character its character and code; KursFolge
  // becomes BuchFolge.
  void BindKeys();
  // Lays out the large keys for NeueZeichen and shows the exercise's title.
  void ShowNewChars();
  // Clears the Only selection and the marks; called with nullptr, it also
  // checks NormalRB.
  void NormalRBClick(QObject* Sender);
  // Exercise 4 then draws only from the marked keys.
  void OnlyRBClick(QObject* Sender);
  // A click on a key while no answer is awaited: marks it on the exercise-4
  // screen when marking is on, and sounds it.
  void FreiClick(TMButton* Key);

  // --- Exercise sequences
  // Fills UebFolge[0..N-1] from R candidates under the rules of the current
  // exercise. The generator is seeded afresh from the clock, or with Seed.
  TSequenceDraw GenerateSequence(int32_t N, int32_t R, std::optional<uint32_t> Seed = std::nullopt);

  // Context of the connections WireCourse makes: they end with the course.
  QObject* ConnectionContext() const { return FContext.get(); }
  // Handlers installed by WireCourse, taken away again when the course ends.
  void RememberWiring(std::function<void()> Unwire);

private:
  void ShowLektNr();
  void ShowUebNr();
  void CheckSetButtonOfLesson(bool EnableToo);
  // Sets Kurs.Satz and checks its button.
  void ChooseSatz(int32_t Satz);
  QRadioButton* SetButton(int32_t Satz) const;

  TMainView& FView;
  TMessageReporter& FReporter;
  TCourseHooks FHooks;
  std::unique_ptr<QObject> FContext;
  std::vector<std::function<void()>> FUnwire;
};

// Connects the course's handlers to the controls of its view: the spin
// buttons LektAD, UebAD and GroupAD, the set buttons, NormalRB and OnlyRB (their
// handlers run when the button becomes checked, by the learner or by the
// program), WeiterBtn, and FreiClick on the 50 keys.
void WireCourse(TCourse& Course);

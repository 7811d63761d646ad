#include "training/ExerciseText.h"

#include "course/CourseState.h"
#include "sound/SoundState.h"
#include "training/SessionState.h"

#include <algorithm>

namespace {

// The entry of the sequence at I as a 1-based position, or 0.
int32_t Entry(int32_t I) {
  return I >= 0 && I < static_cast<int32_t>(course::Folge.UebFolge.size())
             ? course::Folge.UebFolge[static_cast<size_t>(I)]
             : 0;
}

char At(const std::string& S, int32_t P) {
  return P >= 1 && P <= static_cast<int32_t>(S.size()) ? S[static_cast<size_t>(P) - 1] : '\0';
}

} // namespace

int32_t TExerciseText::Length() const {
  return std::clamp<int32_t>(course::Folge.UebLaenge, 0, static_cast<int32_t>(course::Folge.UebFolge.size()));
}

char TExerciseText::Character(int32_t I) const {
  return At(course::Kurs.BuchFolge, Entry(I));
}

std::string TExerciseText::Code(int32_t I) const {
  const char C = At(course::Kurs.KursFolge, Entry(I));
  return C != '\0' ? CodeOf(C) : std::string();
}

void TExerciseText::Sounded(const std::string& Code) {
  training::Sitzung.SollCode = Code;
}

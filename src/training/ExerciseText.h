#pragma once

#include "windows/MemUnit.h"

// The exercise just sounded, for the text replay window: the positions of
// the exercise sequence in the teaching order, and the code the replay
// sounds as the session's SollCode.
class TExerciseText final : public TMemText {
public:
  int32_t Length() const override;
  char Character(int32_t I) const override;
  std::string Code(int32_t I) const override;
  void Sounded(const std::string& Code) override;
};

// The mnemonic words of RusMerkW.txt.
#include "FuzzCheck.h"
#include "course/CourseState.h"
#include "course/LessonData.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  // Longer than any word read can be, so it is never read back.
  const std::string Old(MerkWortMax + 1, 'o');
  std::array<std::string, MaxLetters + 1> Woerter;
  Woerter.fill(Old);
  ParseMerkWoerter(std::span<const uint8_t>(Data, Size), Woerter);
  FuzzCheck(Woerter[0] == Old, "slot 0 is written");
  for (size_t P = 1; P < Woerter.size(); ++P)
    FuzzCheck(Woerter[P].size() <= MerkWortMax && Woerter[P] != Old,
              "a word is too long or was kept");
  return 0;
}

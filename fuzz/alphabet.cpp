// An alphabet file (Eng.txt, Deu.txt, Rus.txt, Tur.txt) into the code table.
#include "FuzzCheck.h"
#include "course/LessonData.h"
#include "sound/SoundState.h"

#include <cstdint>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  ResetSoundState();
  sound::Codetafel = ParseCodeTable(std::span<const uint8_t>(Data, Size));

  const std::string& Letters = sound::Codetafel.Letters;
  FuzzCheck(Letters.size() <= static_cast<size_t>(MaxLetters), "more characters than the table has");
  const std::string BuiltIn = std::string(BuiltInDigits) + BuiltInSigns;
  FuzzCheck(Letters.size() >= BuiltIn.size() &&
                Letters.substr(Letters.size() - BuiltIn.size()) == BuiltIn,
            "digits and signs are not at the end");
  FuzzCheck(sound::Codetafel.Codes[0].empty(), "slot 0 is used");
  for (size_t P = 1; P <= static_cast<size_t>(MaxLetters); ++P)
    FuzzCheck(sound::Codetafel.Codes[P].size() <= static_cast<size_t>(MaxCodeLen), "a code is too long");
  // Every character of the table is found at its own place: none is there twice.
  for (size_t P = 1; P <= Letters.size(); ++P)
    FuzzCheck(LetterPos(Letters[P - 1]) == static_cast<int32_t>(P), "a character is there twice");
  for (int C = 0; C < 256; ++C) {
    const int32_t P = LetterPos(static_cast<char>(C));
    FuzzCheck(P >= 0 && P <= static_cast<int32_t>(Letters.size()), "a position outside the table");
    FuzzCheck(CodeOf(static_cast<char>(C)).size() <= static_cast<size_t>(MaxCodeLen),
              "a code is too long");
  }
  return 0;
}

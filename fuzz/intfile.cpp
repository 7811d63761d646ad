// Int.mtr, the per-speed pause compensation, and the lookups that use it.
#include "FuzzCheck.h"
#include "sound/SoundState.h"
#include "storage/IntFile.h"

#include <algorithm>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  ResetSoundState();
  const bool Read = ParseIntFile(std::span<const uint8_t>(Data, Size));
  FuzzCheck(Read == (Size >= IntervallTabSize), "a record read from too few bytes");
  FuzzCheck(!Read || std::equal(sound::Klang.IntervallTab.begin(), sound::Klang.IntervallTab.end(), Data),
            "the table is not the file's first bytes");
  FuzzCheck(Read || std::all_of(sound::Klang.IntervallTab.begin(), sound::Klang.IntervallTab.end(),
                                [](uint8_t B) { return B == 0; }),
            "a short file changed the table");
  // Every speed, also outside the control's range, finds an entry.
  for (int32_t Speed = -300; Speed <= 300; ++Speed) {
    LoadIntervall(Speed);
    FuzzCheck(sound::Klang.Intervall >= 0 && sound::Klang.Intervall <= 255, "an interval outside a byte");
  }
  return 0;
}

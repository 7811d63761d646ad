#include "sound/SoundState.h"

#include <algorithm>
#include <cmath>

namespace {

// Pause of Tenths/10 dots in milliseconds, plus Intervall. The product is
// taken modulo 2^32 as a 32-bit integer would hold it (no overflow within the
// control ranges), the division in floating point, cut towards zero.
int32_t GapMs(uint32_t Factor) {
  const auto Product = static_cast<int32_t>(static_cast<uint32_t>(sound::Klang.Abstand) *
                                            static_cast<uint32_t>(sound::Klang.DotLen) * Factor);
  return static_cast<int32_t>(std::trunc(static_cast<long double>(Product) / 110250.0L)) +
         sound::Klang.Intervall;
}

} // namespace

sound::TKlang sound::Klang;
sound::TCodetafel sound::Codetafel;
sound::TPuffer sound::Puffer;
sound::TAusgabe sound::Ausgabe;

void ResetSoundState() {
  sound::Klang = {};
  sound::Codetafel = {};
  sound::Puffer = {};
  sound::Ausgabe = {};
}

int32_t LetterPos(char C) {
  const size_t At = sound::Codetafel.Letters.find(C);
  return At == std::string::npos ? 0 : static_cast<int32_t>(At) + 1;
}

std::string CodeOf(char C) {
  const int32_t P = LetterPos(C);
  if (P < 1 || P > MaxLetters)
    return {};
  return sound::Codetafel.Codes[static_cast<size_t>(P)];
}

int32_t RampLen() {
  return static_cast<int32_t>(
      std::nearbyintl(static_cast<long double>(sound::Klang.Atacke) * SamplesPerSec / 2000.0L));
}

int32_t CharGapMs() {
  return GapMs(1000);
}

int32_t GroupGapMs() {
  return GapMs(3000);
}

int32_t IntervallSlot(int32_t SpeedCpm) {
  const long double Slot = std::trunc(static_cast<long double>(SpeedCpm) / 5.0L - 5.0L);
  return static_cast<int32_t>(std::clamp(Slot, static_cast<long double>(FirstSpeedSlot),
                                         static_cast<long double>(LastSpeedSlot)));
}

uint8_t IntervallAt(int32_t Slot) {
  if (Slot < 1 || Slot > static_cast<int32_t>(IntervallTabSize))
    return 0;
  return sound::Klang.IntervallTab[static_cast<size_t>(Slot - 1)];
}

void SetIntervallAt(int32_t Slot, uint8_t Ms) {
  if (Slot < 1 || Slot > static_cast<int32_t>(IntervallTabSize))
    return;
  sound::Klang.IntervallTab[static_cast<size_t>(Slot - 1)] = Ms;
}

void SelectIntervall() {
  sound::Klang.Intervall = IntervallAt(IntervallSlot(sound::Klang.Speed));
}

#include "sound/SoundState.h"

#include "sound/Morse.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Pause of Tenths/10 dots in milliseconds, plus Intervall. The product is
// taken modulo 2^32 as a 32-bit integer would hold it (no overflow within the
// control ranges), the division in floating point, cut towards zero.
int32_t GapMs(const sound::TKlang& Timing, uint32_t Factor) {
  const auto Product = static_cast<int32_t>(static_cast<uint32_t>(Timing.Abstand) *
                                            static_cast<uint32_t>(Timing.DotLen) * Factor);
  return static_cast<int32_t>(std::trunc(static_cast<long double>(Product) / 110250.0L)) +
         Timing.Intervall;
}

// Nearest integer, ties to even, on extended precision.
int32_t Round(long double X) {
  return static_cast<int32_t>(std::nearbyintl(X));
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
  return RampLen(sound::Klang);
}

int32_t RampLen(const sound::TKlang& Timing) {
  return Round(static_cast<long double>(Timing.Atacke) * SamplesPerSec / 2000.0L);
}

int32_t CharGapMs() {
  return CharGapMs(sound::Klang);
}

int32_t GroupGapMs() {
  return GroupGapMs(sound::Klang);
}

int32_t CharGapMs(const sound::TKlang& Timing) {
  return GapMs(Timing, 1000);
}

int32_t GroupGapMs(const sound::TKlang& Timing) {
  return GapMs(Timing, 3000);
}

void DeriveElementLengths(sound::TKlang& Timing) {
  // Outside the control ranges the lengths are held to what the element
  // buffers take, so that no setting can write or read past them.
  constexpr int32_t MaxDot = static_cast<int32_t>(DotBufSize) - 1;
  constexpr int32_t MaxDash = static_cast<int32_t>(DashBufSize) - 1;
  Timing.DotLen = Timing.Speed < 1
                      ? MaxDot
                      : std::clamp(Round(static_cast<long double>(66120) / Timing.Speed), 0, MaxDot);
  Timing.DashLen = Round(std::clamp(static_cast<long double>(Timing.DotLen) * Timing.Verhalt / 10, 0.0L,
                                    static_cast<long double>(MaxDash)));
}

sound::TElementForm sound::FormOf(const TKlang& Timing) {
  return {Timing.DotLen, Timing.DashLen, Timing.Ton, Timing.Atacke, Timing.Rechteck};
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

// ---------------------------------------------------------------------------
// Setters

void sound::SetSpeed(int32_t Cpm) {
  Klang.Speed = Cpm;
  TMorse::BuildElements();
  SelectIntervall();
}

void sound::SetVerhalt(int32_t Tenths) {
  Klang.Verhalt = Tenths;
  TMorse::BuildElements();
}

void sound::SetAbstand(int32_t Tenths) {
  Klang.Abstand = Tenths;
}

void sound::SetTon(int32_t SamplesPerPeriod) {
  Klang.Ton = SamplesPerPeriod;
  TMorse::BuildElements();
}

void sound::SetAtacke(int32_t HalfMs) {
  Klang.Atacke = HalfMs;
  TMorse::BuildElements();
}

void sound::SetRechteck(bool Square) {
  Klang.Rechteck = Square;
  TMorse::BuildElements();
}

void sound::SetIntervall(int32_t Ms) {
  Klang.Intervall = Ms;
}

void sound::SetIntervallTab(const std::array<uint8_t, IntervallTabSize>& Table) {
  Klang.IntervallTab = Table;
}

void sound::SetIntChanged(bool Changed) {
  Klang.IntChanged = Changed;
}

void sound::SetCodetafel(TCodetafel Table) {
  Codetafel = std::move(Table);
}

sound::TKlang sound::AtSpeed(TKlang Timing, int32_t Cpm) {
  Timing.Speed = Cpm;
  DeriveElementLengths(Timing);
  Timing.Intervall = IntervallAt(IntervallSlot(Cpm));
  return Timing;
}

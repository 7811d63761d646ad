#include "sound/SoundState.h"

#include <algorithm>
#include <cmath>

namespace {

template <size_t N>
constexpr std::array<uint8_t, N> SilentBlock() {
  std::array<uint8_t, N> Block{};
  Block.fill(Silence);
  return Block;
}

// Pause of Tenths/10 dots in milliseconds, plus Intervall. The product is
// taken modulo 2^32 as a 32-bit integer would hold it (no overflow within the
// control ranges), the division in floating point, cut towards zero.
int32_t GapMs(uint32_t Factor) {
  const auto Product = static_cast<int32_t>(static_cast<uint32_t>(Abstand) *
                                            static_cast<uint32_t>(DotLen) * Factor);
  return static_cast<int32_t>(std::trunc(static_cast<long double>(Product) / 110250.0L)) +
         Intervall;
}

}  // namespace

int32_t Speed = 60;
int32_t Verhalt = 30;
int32_t Abstand = 0;
int32_t Ton = 23;
int32_t Atacke = 4;
bool Rechteck = false;
int32_t Intervall = 100;

int32_t DotLen = 1102;
int32_t DashLen = 3306;

std::array<uint8_t, IntervallTabSize> IntervallTab{};
bool IntChanged = false;

std::string Letters;
std::array<std::string, MaxLetters + 1> Codes;

std::array<uint8_t, DotBufSize> DotBuf = SilentBlock<DotBufSize>();
std::array<uint8_t, DashBufSize> DashBuf = SilentBlock<DashBufSize>();
std::array<uint8_t, SoundBufSize> SoundBuf = SilentBlock<SoundBufSize>();
int32_t SoundLen = 0;

TMMResult WaveResult = MMSYSERR_NOERROR;
TWaveHdr WaveHdr;
std::array<char, ErrTextSize> ErrText{};
bool DeviceOpen = false;
std::array<uint8_t, FileHeaderSize> FileHeader{};
std::array<uint8_t, FileBufSize> FileBuf{};

bool Playing = false;
bool MemPlaying = false;
bool WavePending = false;
std::string WavName;

void ResetSoundState() {
  Speed = 60;
  Verhalt = 30;
  Abstand = 0;
  Ton = 23;
  Atacke = 4;
  Rechteck = false;
  Intervall = 100;
  DotLen = 1102;
  DashLen = 3306;
  IntervallTab.fill(0);
  IntChanged = false;

  Letters.clear();
  for (std::string& Code : Codes)
    Code.clear();

  DotBuf.fill(Silence);
  DashBuf.fill(Silence);
  SoundBuf.fill(Silence);
  SoundLen = 0;

  WaveResult = MMSYSERR_NOERROR;
  WaveHdr = TWaveHdr{};
  ErrText.fill('\0');
  DeviceOpen = false;
  FileHeader.fill(0);
  FileBuf.fill(0);

  Playing = false;
  MemPlaying = false;
  WavePending = false;
  WavName.clear();
}

int32_t LetterPos(char C) {
  const size_t At = Letters.find(C);
  return At == std::string::npos ? 0 : static_cast<int32_t>(At) + 1;
}

std::string CodeOf(char C) {
  const int32_t P = LetterPos(C);
  if (P < 1 || P > MaxLetters)
    return {};
  return Codes[static_cast<size_t>(P)];
}

int32_t RampLen() {
  return static_cast<int32_t>(
      std::nearbyintl(static_cast<long double>(Atacke) * SamplesPerSec / 2000.0L));
}

int32_t CharGapMs() { return GapMs(1000); }

int32_t GroupGapMs() { return GapMs(3000); }

int32_t IntervallSlot(int32_t SpeedCpm) {
  const long double Slot = std::trunc(static_cast<long double>(SpeedCpm) / 5.0L - 5.0L);
  return static_cast<int32_t>(std::clamp(Slot, static_cast<long double>(FirstSpeedSlot),
                                         static_cast<long double>(LastSpeedSlot)));
}

uint8_t IntervallAt(int32_t Slot) {
  if (Slot < 1 || Slot > static_cast<int32_t>(IntervallTabSize))
    return 0;
  return IntervallTab[static_cast<size_t>(Slot - 1)];
}

void SetIntervallAt(int32_t Slot, uint8_t Ms) {
  if (Slot < 1 || Slot > static_cast<int32_t>(IntervallTabSize))
    return;
  IntervallTab[static_cast<size_t>(Slot - 1)] = Ms;
}

void SelectIntervall() { Intervall = IntervallAt(IntervallSlot(Speed)); }

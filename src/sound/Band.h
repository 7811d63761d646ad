#pragma once

#include "sound/PracticeTiming.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// Band conditions for the copy practice: the practice's signal as a
// receiver hears it on the air, through noise at a set signal-to-noise
// ratio, fading, other stations nearby and static crashes. The fist (uneven
// element and space lengths) belongs to the signal's own timing
// (`TFist`, sound/PracticeTiming.h).
namespace practice {

constexpr int32_t MinSnrDb = -10;
constexpr int32_t MaxSnrDb = 30;
constexpr int32_t MaxQsbDepthDb = 30;
constexpr int32_t MinQsbPeriodSec = 2;
constexpr int32_t MaxQsbPeriodSec = 30;
constexpr int32_t MaxQrm = 3;
constexpr int32_t MaxQrnPerMin = 100;
constexpr int32_t MaxFistPct = 20;
// The receiver filter's width the signal-to-noise ratio counts the noise
// in, centred on the tone.
constexpr int32_t SnrBandHz = 500;

struct TBand {
  // Noise: the tone's power while it sounds against the noise's power in
  // SnrBandHz around the tone.
  bool Noise = false;
  int32_t SnrDb = 10;
  // Fading (QSB): the signal's level falls by up to QsbDepthDb and rises
  // again, about every QsbPeriodSec; 0 dB is no fading.
  int32_t QsbDepthDb = 0;
  int32_t QsbPeriodSec = 8;
  // Other stations (QRM) within 400 Hz of the tone.
  int32_t Qrm = 0;
  // Static crashes (QRN) per minute.
  int32_t QrnPerMin = 0;
  // How far a hand key's element and space lengths stray, in percent.
  int32_t FistPct = 0;
  uint32_t Seed = 1;

  // Any condition on: the signal is not heard clean.
  bool Any() const;
  // Every value within its range.
  bool Valid() const;
  // The nearest valid conditions.
  TBand Clamped() const;
};

// The practice's signal mixed with the band conditions, in the program's
// output format (8-bit unsigned mono at the program's rate), block by block
// like the clean signal. The mix is scaled so that it never clips; every
// level change is ramped.
class TBandMix final : public TSampleSource {
public:
  // Codes sounded at Timing and Tone (with Band's fist) through Band's
  // conditions; Others are the texts the other stations draw from (none
  // needed when Band.Qrm is 0).
  TBandMix(const TCodeSequence& Codes, const TTiming& Timing, const TTone& Tone, const TBand& Band,
           std::vector<TCodeSequence> Others = {});
  ~TBandMix() override;

  int64_t TotalSamples() const override;
  int64_t Position() const override;
  size_t Next(std::span<uint8_t> Out) override;
  void Rewind() override;

  // The signal alone: its element times and character ends.
  const TRender& Signal() const;
  // Samples the mix had to clamp to the 8-bit range (0 by design).
  int64_t Clipped() const;

private:
  struct TImpl;
  std::unique_ptr<TImpl> F;
};

} // namespace practice

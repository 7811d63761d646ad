#include "sound/Band.h"

#include <algorithm>

namespace practice {

bool TBand::Any() const {
  return Noise || QsbDepthDb > 0 || Qrm > 0 || QrnPerMin > 0 || FistPct > 0;
}

bool TBand::Valid() const {
  return SnrDb >= MinSnrDb && SnrDb <= MaxSnrDb && QsbDepthDb >= 0 && QsbDepthDb <= MaxQsbDepthDb &&
         QsbPeriodSec >= MinQsbPeriodSec && QsbPeriodSec <= MaxQsbPeriodSec && Qrm >= 0 && Qrm <= MaxQrm &&
         QrnPerMin >= 0 && QrnPerMin <= MaxQrnPerMin && FistPct >= 0 && FistPct <= MaxFistPct;
}

TBand TBand::Clamped() const {
  TBand B = *this;
  B.SnrDb = std::clamp(SnrDb, MinSnrDb, MaxSnrDb);
  B.QsbDepthDb = std::clamp(QsbDepthDb, 0, MaxQsbDepthDb);
  B.QsbPeriodSec = std::clamp(QsbPeriodSec, MinQsbPeriodSec, MaxQsbPeriodSec);
  B.Qrm = std::clamp(Qrm, 0, MaxQrm);
  B.QrnPerMin = std::clamp(QrnPerMin, 0, MaxQrnPerMin);
  B.FistPct = std::clamp(FistPct, 0, MaxFistPct);
  return B;
}

// Placeholder until the mix is built: the signal alone.
struct TBandMix::TImpl {
  TRender Signal;
};

TBandMix::TBandMix(const TCodeSequence& Codes, const TTiming& Timing, const TTone& Tone, const TBand& Band,
                   std::vector<TCodeSequence> /*Others*/)
    : F(std::make_unique<TImpl>(TImpl{TRender(Codes, Timing, Tone, TFist{Band.FistPct, Band.Seed})})) {}

TBandMix::~TBandMix() = default;

int64_t TBandMix::TotalSamples() const { return F->Signal.TotalSamples(); }
int64_t TBandMix::Position() const { return F->Signal.Position(); }
size_t TBandMix::Next(std::span<uint8_t> Out) { return F->Signal.Next(Out); }
void TBandMix::Rewind() { F->Signal.Rewind(); }
const TRender& TBandMix::Signal() const { return F->Signal; }
int64_t TBandMix::Clipped() const { return 0; }

} // namespace practice

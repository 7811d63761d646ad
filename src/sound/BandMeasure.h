#pragma once

#include "sound/PracticeTiming.h"

#include <cstdint>
#include <span>

// The band conditions measured from the sound itself: the samples as
// written (8-bit unsigned, the program's rate) and the clean signal's
// element times, which say where the tone sounds and where only noise is.
namespace practice {

struct TBandFigures {
  // The tone's power while it sounds against the noise's power within
  // SnrBandHz centred on the tone, in dB.
  double SnrDb = 0;
  // Both in squared 8-bit steps.
  double TonePower = 0;
  double NoisePower = 0;
  // The fading's depth: the signal's level at the fading's peaks against
  // its troughs, in dB, and the peaks found.
  double QsbDepthDb = 0;
  int32_t QsbPeaks = 0;
  // Samples at either end of the 8-bit range.
  int64_t ClippedSamples = 0;
};

// Samples is Signal's sound through the conditions, sample for sample.
// QsbPeriodSec is the fading's set period, which sets how much the
// signal's level is smoothed to find the fading's peaks.
TBandFigures MeasureBand(std::span<const uint8_t> Samples, const TRender& Signal, double QsbPeriodSec);

// The power of Samples within SnrBandHz centred on CentreHz, for a
// stationary noise (as the mean over the whole stretch).
double BandPower(std::span<const double> Samples, double CentreHz);

} // namespace practice

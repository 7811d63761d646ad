#include "sound/WaveConvert.h"

#include <algorithm>
#include <cmath>
#include <cstring>

bool StreamCanPlay(const TWaveFormat& Format) {
  const bool Pcm = Format.FormatTag == WAVE_FORMAT_PCM;
  const bool Channels = Format.Channels == 1 || Format.Channels == 2;
  const bool Bits = Format.BitsPerSample == 8 || Format.BitsPerSample == 16;
  const bool Rate = Format.SamplesPerSec >= MinFileRate && Format.SamplesPerSec <= 192000;
  return Pcm && Channels && Bits && Rate &&
         Format.BlockAlign == Format.Channels * Format.BitsPerSample / 8;
}

uint32_t ConvertToStream(const TWaveFormat& Format, const TWaveHdr& Hdr, std::vector<uint8_t>& Out) {
  const uint8_t* In = Hdr.Data;
  if (In == nullptr || Format.BlockAlign == 0)
    return 0;
  const uint32_t Frames = Hdr.BufferLength / Format.BlockAlign;
  const bool Direct = Format.Channels == 1 && Format.BitsPerSample == 8 &&
                      Format.SamplesPerSec == static_cast<uint32_t>(StreamRate);
  if (Direct) {
    const uint32_t N = std::min<uint32_t>(Frames, static_cast<uint32_t>(Out.size()));
    std::memcpy(Out.data(), In, N);
    return N;
  }
  // A frame as a value in -32768..32767, channels mixed.
  auto FrameValue = [&](uint32_t F) -> int32_t {
    const uint8_t* P = In + static_cast<size_t>(F) * Format.BlockAlign;
    int32_t Sum = 0;
    for (uint16_t C = 0; C < Format.Channels; ++C) {
      if (Format.BitsPerSample == 8)
        Sum += (int32_t{P[C]} - 128) * 256;
      else
        Sum += static_cast<int16_t>(static_cast<uint16_t>(P[2 * C] | (P[2 * C + 1] << 8)));
    }
    return Sum / Format.Channels;
  };
  if (Frames == 0)
    return 0;
  const uint64_t OutCount64 = uint64_t{Frames} * StreamRate / Format.SamplesPerSec;
  const auto OutCount = static_cast<uint32_t>(std::min<uint64_t>(OutCount64, Out.size()));
  for (uint32_t J = 0; J < OutCount; ++J) {
    const long double X = static_cast<long double>(J) * Format.SamplesPerSec / StreamRate;
    const auto F0 = static_cast<uint32_t>(X);
    const uint32_t F1 = std::min(F0 + 1, Frames - 1);
    const long double Frac = X - F0;
    const long double V = FrameValue(F0) * (1.0L - Frac) + FrameValue(F1) * Frac;
    const long double Byte = std::nearbyint(V / 256.0L) + 128.0L;
    Out[J] = static_cast<uint8_t>(std::clamp(Byte, 0.0L, 255.0L));
  }
  return OutCount;
}

std::string WaveErrorText(TMMResult Result) {
  switch (Result) {
  case MMSYSERR_NOERROR:
    return "The command was carried out.";
  case MMSYSERR_BADDEVICEID:
  case MMSYSERR_NODRIVER:
    return "No sound output is available: the audio server or the output device cannot be reached.";
  case MMSYSERR_ALLOCATED:
    return "The sound output is already in use.";
  case MMSYSERR_INVALHANDLE:
    return "The sound output is not open.";
  case MMSYSERR_NOMEM:
    return "There is not enough memory for the sound output.";
  case MMSYSERR_INVALPARAM:
    return "A sound block was passed without data.";
  case WAVERR_BADFORMAT:
    return "The sound file has a format the sound output cannot play.";
  case WAVERR_STILLPLAYING:
    return "A sound is still playing.";
  case WAVERR_UNPREPARED:
    return "The sound block was not prepared.";
  default:
    return "The sound output reported an unknown error.";
  }
}

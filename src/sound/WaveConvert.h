#pragma once

#include "sound/WaveDevice.h"

#include <cstdint>
#include <string>
#include <vector>

// The wave outputs play one stream format: 8-bit unsigned mono at
// StreamRate. A block of the synthesised format is copied unchanged, so the
// tone reaches the server byte for byte; a sound file of another format is
// mixed to mono and resampled linearly.
constexpr int StreamRate = 11025;
// The lowest file rate accepted, and so the largest block after conversion:
// 100001 bytes of 8-bit mono at that rate.
constexpr int MinFileRate = 4000;
constexpr size_t MaxBlockSamples = 100001u * StreamRate / MinFileRate + 1;

// Whether a device can play blocks of Format.
bool StreamCanPlay(const TWaveFormat& Format);
// Converts Hdr's block of Format into Out (at least MaxBlockSamples long);
// returns the number of samples, at most Out.size().
uint32_t ConvertToStream(const TWaveFormat& Format, const TWaveHdr& Hdr, std::vector<uint8_t>& Out);

// The text both outputs give for a result code: at most 128 characters.
std::string WaveErrorText(TMMResult Result);

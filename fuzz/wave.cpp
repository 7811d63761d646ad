// A sound file (*.wav): a canonical 44-byte RIFF WAVE header and its data.
#include "FuzzCheck.h"
#include "sound/Morse.h"
#include "sound/SoundState.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  ResetSoundState();
  const bool Loaded = TMorse::ParseWave(std::span<const uint8_t>(Data, Size));
  if (!Loaded) {
    FuzzCheck(std::all_of(sound::Ausgabe.FileHeader.begin(), sound::Ausgabe.FileHeader.end(),
                          [](uint8_t B) { return B == 0; }),
              "a refused file changed the header");
    return 0;
  }
  FuzzCheck(Size >= FileHeaderSize &&
                std::memcmp(sound::Ausgabe.FileHeader.data(), Data, FileHeaderSize) == 0,
            "the header is not the file's");
  // What the player hands the device lies within the file and the buffer.
  const uint32_t DataSize = TMorse::FileDataSize();
  FuzzCheck(DataSize <= FileBufSize && DataSize <= Size - FileHeaderSize, "data past the end");
  FuzzCheck(std::memcmp(sound::Ausgabe.FileBuf.data(), Data + FileHeaderSize, DataSize) == 0,
            "the data is not the file's");
  return 0;
}

#pragma once

#include <cstdint>
#include <string>

// The file-system name of a character's sound file. Sound-file names are made
// from captions, bytes of the layout's code page (Charset as in Caption.h);
// the files themselves are named in UTF-8. No file name can hold "/", so the
// file of "/" is "%2F.wav", and "%" is written "%25" to keep the names apart.
std::string SoundFileName(const std::string& Bytes, uint8_t Charset);

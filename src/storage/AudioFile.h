#pragma once

#include "sound/PracticeTiming.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

// The practice written as an audio file the learner can play elsewhere,
// through libsndfile: WAV, FLAC, Ogg Vorbis or MP3, chosen by the file's
// extension, with the text beside it in a companion ".txt" (UTF-8).
//
// Both files are written under a temporary name in the same folder and
// renamed when complete, so nothing half-written is ever left under the
// names asked for.
namespace storage {

enum class TAudioFormat { None, Wav, Flac, Ogg, Mp3 };

// The format of a file's extension (letter case ignored); None for any
// other.
TAudioFormat AudioFormatOf(const std::filesystem::path& File);
// Whether the libsndfile the program runs with can write Format.
bool AudioFormatAvailable(TAudioFormat Format);
// "WAV", "FLAC", "Ogg Vorbis", "MP3".
const char* AudioFormatName(TAudioFormat Format);

enum class TAudioResult { Written, Cancelled, UnknownFormat, FormatMissing, CannotWrite };

struct TAudioWrite {
  TAudioResult Result = TAudioResult::Written;
  // Why it failed, in English, naming the file (the library's own text
  // where it gives one).
  std::string Reason;
};

// Writes Render's samples from its start as File and TextUtf8 as File with
// ".txt" for its extension. Progress gets the samples written and the
// total after every block; when it returns false, the writing stops and
// nothing is left. May run in any thread.
TAudioWrite WriteAudioFile(const std::filesystem::path& File, practice::TSampleSource& Render,
                           const std::string& TextUtf8,
                           const std::function<bool(int64_t Done, int64_t Total)>& Progress = {});

// The companion text's name: File with ".txt" for its extension.
std::filesystem::path CompanionTextFile(const std::filesystem::path& File);

} // namespace storage

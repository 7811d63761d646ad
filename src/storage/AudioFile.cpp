#include "storage/AudioFile.h"

#include "sound/SoundState.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <process.h>
#define VELM_PID _getpid()
#else
#include <unistd.h>
#define VELM_PID getpid()
#endif

namespace fs = std::filesystem;

namespace storage {

namespace {

int SndFormat(TAudioFormat Format) {
  switch (Format) {
  case TAudioFormat::Wav:
    return SF_FORMAT_WAV | SF_FORMAT_PCM_U8; // the samples as they are made
  case TAudioFormat::Flac:
    return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  case TAudioFormat::Ogg:
    return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  case TAudioFormat::Mp3:
    return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
  case TAudioFormat::None:
    break;
  }
  return 0;
}

SF_INFO InfoOf(TAudioFormat Format) {
  SF_INFO Info{};
  Info.samplerate = SamplesPerSec;
  Info.channels = 1;
  Info.format = SndFormat(Format);
  return Info;
}

std::string Lower(std::string Text) {
  for (char& C : Text)
    C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  return Text;
}

// A name in File's folder that no other writer uses.
fs::path TemporaryBeside(const fs::path& File) {
  static std::atomic<unsigned> Counter{0};
  fs::path Temp = File;
  Temp += ".part" + std::to_string(VELM_PID) + "-" + std::to_string(Counter++);
  return Temp;
}

std::string Shown(const fs::path& File) {
  return File.string();
}

TAudioWrite Failed(TAudioResult Result, std::string Reason) {
  return {Result, std::move(Reason)};
}

void Remove(const fs::path& File) {
  std::error_code Ignored;
  fs::remove(File, Ignored);
}

} // namespace

TAudioFormat AudioFormatOf(const fs::path& File) {
  const std::string Ext = Lower(File.extension().string());
  if (Ext == ".wav")
    return TAudioFormat::Wav;
  if (Ext == ".flac")
    return TAudioFormat::Flac;
  if (Ext == ".ogg" || Ext == ".oga")
    return TAudioFormat::Ogg;
  if (Ext == ".mp3")
    return TAudioFormat::Mp3;
  return TAudioFormat::None;
}

bool AudioFormatAvailable(TAudioFormat Format) {
  if (Format == TAudioFormat::None)
    return false;
  SF_INFO Info = InfoOf(Format);
  return sf_format_check(&Info) != 0;
}

const char* AudioFormatName(TAudioFormat Format) {
  switch (Format) {
  case TAudioFormat::Wav:
    return "WAV";
  case TAudioFormat::Flac:
    return "FLAC";
  case TAudioFormat::Ogg:
    return "Ogg Vorbis";
  case TAudioFormat::Mp3:
    return "MP3";
  case TAudioFormat::None:
    break;
  }
  return "";
}

fs::path CompanionTextFile(const fs::path& File) {
  fs::path Text = File;
  Text.replace_extension(".txt");
  return Text;
}

TAudioWrite WriteAudioFile(const fs::path& File, practice::TSampleSource& Render, const std::string& TextUtf8,
                           const std::function<bool(int64_t Done, int64_t Total)>& Progress) {
  const TAudioFormat Format = AudioFormatOf(File);
  if (Format == TAudioFormat::None)
    return Failed(TAudioResult::UnknownFormat,
                  "\"" + Shown(File) + "\": the name must end in .wav, .flac, .ogg or .mp3");
  if (!AudioFormatAvailable(Format))
    return Failed(TAudioResult::FormatMissing,
                  std::string("this system's libsndfile cannot write ") + AudioFormatName(Format));

  const fs::path Temp = TemporaryBeside(File);
  SF_INFO Info = InfoOf(Format);
  SNDFILE* Out = sf_open(Temp.string().c_str(), SFM_WRITE, &Info);
  if (Out == nullptr)
    return Failed(TAudioResult::CannotWrite,
                  "\"" + Shown(File) + "\" cannot be written: " + sf_strerror(nullptr));
  if (Format == TAudioFormat::Ogg || Format == TAudioFormat::Mp3) {
    // Speech-like quality is plenty for a single tone; keeps files small.
    double Quality = 0.3;
    sf_command(Out, SFC_SET_VBR_ENCODING_QUALITY, &Quality, sizeof(Quality));
  }

  Render.Rewind();
  const int64_t Total = Render.TotalSamples();
  std::array<uint8_t, 8192> Block{};
  std::array<short, 8192> Wide{};
  std::string Error;
  bool Cancelled = false;
  while (!Render.AtEnd()) {
    const size_t Count = Render.Next(Block);
    for (size_t I = 0; I < Count; ++I)
      Wide[I] = static_cast<short>((static_cast<int>(Block[I]) - 128) * 256);
    if (sf_write_short(Out, Wide.data(), static_cast<sf_count_t>(Count)) != static_cast<sf_count_t>(Count)) {
      Error = sf_strerror(Out);
      break;
    }
    if (Progress && !Progress(Render.Position(), Total)) {
      Cancelled = true;
      break;
    }
  }
  if (sf_close(Out) != 0 && Error.empty() && !Cancelled)
    Error = "the file could not be completed";
  if (Cancelled) {
    Remove(Temp);
    return Failed(TAudioResult::Cancelled, "cancelled");
  }
  if (!Error.empty()) {
    Remove(Temp);
    return Failed(TAudioResult::CannotWrite, "\"" + Shown(File) + "\" cannot be written: " + Error);
  }

  // The text beside it, under a temporary name as well.
  const fs::path Text = CompanionTextFile(File);
  const fs::path TextTemp = TemporaryBeside(Text);
  {
    std::ofstream Stream(TextTemp, std::ios::binary | std::ios::trunc);
    Stream << TextUtf8 << '\n';
    Stream.flush();
    if (!Stream) {
      Stream.close();
      Remove(TextTemp);
      Remove(Temp);
      return Failed(TAudioResult::CannotWrite, "\"" + Shown(Text) + "\" cannot be written");
    }
  }
  // The text first: a text that cannot take its name leaves the sound
  // unplaced as well, so a failure changes nothing under either name.
  std::error_code Rename;
  fs::rename(TextTemp, Text, Rename);
  if (Rename) {
    Remove(TextTemp);
    Remove(Temp);
    return Failed(TAudioResult::CannotWrite, "\"" + Shown(Text) + "\" cannot be written: " + Rename.message());
  }
  fs::rename(Temp, File, Rename);
  if (Rename) {
    Remove(Temp);
    Remove(Text);
    return Failed(TAudioResult::CannotWrite, "\"" + Shown(File) + "\" cannot be written: " + Rename.message());
  }
  return {};
}

} // namespace storage

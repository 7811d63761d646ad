// The band conditions as written: renders a long text through noise at five
// signal-to-noise ratios and three fading depths, writes each as an 8-bit
// WAV through the program's own writer, reads it back and measures the
// ratio and the depth from the samples. Then the hardest conditions (clips
// and speed), the 8-bit quantisation noise, and the sizes of a minute in
// each format. Exits 1 when a figure is off by more than 1 dB or a sample
// clips.
//
// --seed N shifts every condition's seed by N (to try other draws);
// --spectrogram FILE.wav also writes a short example (6 dB, 10 dB fading,
// two other stations, 10 crashes a minute) there.
#include "base/CodePage.h"
#include "course/LessonData.h"
#include "sound/Band.h"
#include "sound/BandMeasure.h"
#include "sound/BandRandom.h"
#include "sound/SoundState.h"
#include "storage/AudioFile.h"
#include "training/Practice.h"

#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

sound::TCodetafel Table() {
  std::ifstream In(VELM_SOURCE_DATA_DIR "/Eng.txt", std::ios::binary);
  const std::vector<uint8_t> Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  return ParseCodeTable(Bytes);
}

// About Seconds of text at 25 wpm.
practice::TCodeSequence LongText(const sound::TCodetafel& Codes, double Seconds) {
  const std::string Sentence = "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 1234567890 PARIS CQ DE 73 ";
  const practice::TCodeSequence One = practice::CodesOf(Sentence, Codes, ANSI_CHARSET);
  const double OneSec =
      static_cast<double>(practice::TRender(One, {}, {}).TotalSamples()) / SamplesPerSec;
  practice::TCodeSequence Text;
  for (int K = 0; K < static_cast<int>(std::ceil(Seconds / OneSec)); ++K)
    Text.insert(Text.end(), One.begin(), One.end());
  return Text;
}

std::vector<practice::TCodeSequence> OtherTexts(const sound::TCodetafel& Codes) {
  std::vector<practice::TCodeSequence> Texts;
  for (const char* T : {"CQ CQ DE DL1ABC", "G4XYZ", "UR RST 579", "TNX FER QSO", "73 ES GL", "K5ZD", "QTH HAMBURG"})
    Texts.push_back(practice::CodesOf(T, Codes, ANSI_CHARSET));
  return Texts;
}

std::vector<uint8_t> ReadBack(const fs::path& File) {
  SF_INFO Info{};
  SNDFILE* In = sf_open(File.string().c_str(), SFM_READ, &Info);
  if (!In)
    return {};
  std::vector<short> Shorts(static_cast<size_t>(Info.frames));
  sf_read_short(In, Shorts.data(), Info.frames);
  sf_close(In);
  std::vector<uint8_t> Samples(Shorts.size());
  for (size_t K = 0; K < Shorts.size(); ++K)
    Samples[K] = static_cast<uint8_t>((Shorts[K] >> 8) + 128);
  return Samples;
}

} // namespace

int main(int Argc, char** Argv) {
  uint32_t SeedShift = 0;
  const char* Spectrogram = nullptr;
  for (int K = 1; K + 1 < Argc; K += 2) {
    if (std::strcmp(Argv[K], "--seed") == 0)
      SeedShift = static_cast<uint32_t>(std::strtoul(Argv[K + 1], nullptr, 10));
    else if (std::strcmp(Argv[K], "--spectrogram") == 0)
      Spectrogram = Argv[K + 1];
  }
  const sound::TCodetafel Codes = Table();
  const fs::path Dir = fs::temp_directory_path() / ("band_bench_" + std::to_string(::getpid()));
  fs::create_directories(Dir);
  const practice::TCodeSequence Text = LongText(Codes, 300);
  const std::vector<practice::TCodeSequence> Others = OtherTexts(Codes);
  practice::TTiming Timing;
  practice::TTone Tone;
  bool Good = true;

  for (const int32_t Snr : {-6, 0, 6, 12, 20})
    for (const int32_t Depth : {0, 10, 20}) {
      practice::TBand Band;
      Band.Noise = true;
      Band.SnrDb = Snr;
      Band.QsbDepthDb = Depth;
      Band.QsbPeriodSec = 8;
      Band.Seed = static_cast<uint32_t>(100 + Snr * 7 + Depth) + SeedShift;
      practice::TBandMix Mix(Text, Timing, Tone, Band);
      const fs::path File = Dir / "band.wav";
      const storage::TAudioWrite Written = storage::WriteAudioFile(File, Mix, "");
      if (Written.Result != storage::TAudioResult::Written) {
        std::fprintf(stderr, "band: cannot write %s: %s\n", File.string().c_str(), Written.Reason.c_str());
        return 1;
      }
      const std::vector<uint8_t> Samples = ReadBack(File);
      const practice::TBandFigures F = practice::MeasureBand(Samples, Mix.Signal(), Band.QsbPeriodSec);
      std::printf("band: snr_set=%d snr_measured=%.1f qsb_depth_set=%d qsb_depth_measured=%.1f clip=%lld\n", Snr,
                  F.SnrDb, Depth, F.QsbDepthDb, static_cast<long long>(F.ClippedSamples + Mix.Clipped()));
      std::fflush(stdout);
      Good = Good && std::fabs(F.SnrDb - Snr) <= 1 && std::fabs(F.QsbDepthDb - Depth) <= 1 &&
             F.ClippedSamples == 0 && Mix.Clipped() == 0;
    }

  // The hardest conditions, rendered as the practice window plays them, in
  // blocks of a second.
  for (const int32_t Period : {2, 30}) {
    practice::TBand Band;
    Band.Noise = true;
    Band.SnrDb = practice::MinSnrDb;
    Band.QsbDepthDb = practice::MaxQsbDepthDb;
    Band.QsbPeriodSec = Period;
    Band.Qrm = practice::MaxQrm;
    Band.QrnPerMin = practice::MaxQrnPerMin;
    Band.FistPct = practice::MaxFistPct;
    Band.Seed += SeedShift;
    practice::TBandMix Mix(Text, Timing, Tone, Band, Others);
    std::vector<uint8_t> Block(SamplesPerSec);
    int64_t AtEnds = 0;
    const auto Start = std::chrono::steady_clock::now();
    while (const size_t Got = Mix.Next(Block))
      for (size_t K = 0; K < Got; ++K)
        AtEnds += Block[K] == 0 || Block[K] == 255;
    const double Sec = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    const double Audio = static_cast<double>(Mix.TotalSamples()) / SamplesPerSec;
    std::printf("band: extreme snr=%d qsb_depth=%d qsb_period=%d qrm=%d qrn_per_min=%d fist_pct=%d clip=%lld"
                " render_x_real_time=%.0f\n",
                Band.SnrDb, Band.QsbDepthDb, Period, Band.Qrm, Band.QrnPerMin, Band.FistPct,
                static_cast<long long>(AtEnds + Mix.Clipped()), Audio / Sec);
    Good = Good && AtEnds == 0 && Mix.Clipped() == 0;
  }

  // 8-bit rounding of a noise several steps wide, within the 500 Hz band,
  // against a full-scale tone; and the weakest noise the conditions make:
  // +30 dB with 30 dB fading.
  {
    practice::TBandRandom Random(7);
    std::vector<double> Error(static_cast<size_t>(60 * SamplesPerSec));
    for (double& E : Error) {
      const double X = 20 * Random.Gauss();
      E = std::round(X) - X;
    }
    const double FullScale = 127.0 * 127.0 / 2;
    const double Quantisation = 10 * std::log10(practice::BandPower(Error, Tone.ToneHz) / FullScale);
    practice::TBand Band;
    Band.Noise = true;
    Band.SnrDb = practice::MaxSnrDb;
    Band.QsbDepthDb = practice::MaxQsbDepthDb;
    practice::TBandMix Mix(LongText(Codes, 60), Timing, Tone, Band);
    std::vector<uint8_t> Samples(static_cast<size_t>(Mix.TotalSamples()));
    Mix.Next(Samples);
    const practice::TBandFigures F = practice::MeasureBand(Samples, Mix.Signal(), Band.QsbPeriodSec);
    const double Weakest = 10 * std::log10(F.NoisePower / FullScale);
    std::printf("band: quantisation_noise_500hz_db=%.1f weakest_band_noise_db=%.1f margin_db=%.1f\n", Quantisation,
                Weakest, Weakest - Quantisation);
    Good = Good && Weakest - Quantisation >= 10;
  }

  // A minute in each format.
  {
    practice::TBand Band;
    Band.Noise = true;
    Band.SnrDb = 0;
    Band.QsbDepthDb = 10;
    Band.Qrm = 2;
    Band.QrnPerMin = 10;
    practice::TBandMix Minute(LongText(Codes, 60), Timing, Tone, Band, Others);
    const double Minutes = static_cast<double>(Minute.TotalSamples()) / SamplesPerSec / 60;
    for (const char* Ext : {"wav", "flac", "ogg", "mp3"}) {
      const fs::path File = Dir / (std::string("minute.") + Ext);
      if (!storage::AudioFormatAvailable(storage::AudioFormatOf(File)))
        continue;
      Minute.Rewind();
      if (storage::WriteAudioFile(File, Minute, "").Result == storage::TAudioResult::Written)
        std::printf("%s %s_kb_per_min=%.0f", Ext[0] == 'w' ? "band:" : "", Ext,
                    static_cast<double>(fs::file_size(File)) / 1024 / Minutes);
    }
    std::printf("\n");
  }

  if (Spectrogram) {
    practice::TBand Band;
    Band.Noise = true;
    Band.SnrDb = 6;
    Band.QsbDepthDb = 10;
    Band.QsbPeriodSec = 4;
    Band.Qrm = 2;
    Band.QrnPerMin = 10;
    Band.Seed = 3;
    practice::TBandMix Example(practice::CodesOf("CQ CQ DE PARIS THE QUICK BROWN FOX", Codes, ANSI_CHARSET), Timing, Tone, Band, Others);
    storage::WriteAudioFile(Spectrogram, Example, "");
    fs::remove(storage::CompanionTextFile(Spectrogram));
  }
  fs::remove_all(Dir);
  return Good ? 0 : 1;
}

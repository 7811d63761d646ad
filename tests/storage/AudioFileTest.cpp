#include "storage/AudioFile.h"

#include "sound/SoundState.h"
#include "support/WorkDir.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

practice::TCodeSequence Words(int Count) {
  practice::TCodeSequence Codes;
  for (int W = 0; W < Count; ++W) {
    if (W > 0)
      Codes.emplace_back();
    for (const char* Code : {"-.-.", "--.-"}) // CQ
      Codes.emplace_back(Code);
  }
  return Codes;
}

practice::TRender Render(int Count) {
  practice::TTiming Timing;
  Timing.CharWpm = 25;
  Timing.EffectiveWpm = 10;
  return practice::TRender(Words(Count), Timing, practice::TTone{});
}

std::string Contents(const fs::path& File) {
  std::ifstream In(File, std::ios::binary);
  std::stringstream Out;
  Out << In.rdbuf();
  return Out.str();
}

std::vector<std::string> Names(const fs::path& Folder) {
  std::vector<std::string> Out;
  for (const auto& Entry : fs::directory_iterator(Folder))
    Out.push_back(Entry.path().filename().string());
  std::sort(Out.begin(), Out.end());
  return Out;
}

TEST(AudioFile, EachFormatIsWrittenAsItsExtensionSaysAndReadsBackAtItsLength) {
  const TWorkDir Dir;
  struct TCase {
    const char* Name;
    int Major;
    double SlackSec; // lossy coders pad the start and end
  };
  for (const TCase& Case : {TCase{"p.wav", SF_FORMAT_WAV, 0.0}, TCase{"p.FLAC", SF_FORMAT_FLAC, 0.0},
                            TCase{"p.ogg", SF_FORMAT_OGG, 0.05}, TCase{"p.mp3", SF_FORMAT_MPEG, 0.2}}) {
    const storage::TAudioFormat Format = storage::AudioFormatOf(Case.Name);
    if (!storage::AudioFormatAvailable(Format)) {
      ADD_FAILURE() << "this libsndfile cannot write " << Case.Name;
      continue;
    }
    practice::TRender R = Render(20);
    int64_t LastDone = 0;
    const storage::TAudioWrite W = storage::WriteAudioFile(Case.Name, R, "CQ CQ", [&](int64_t Done, int64_t Total) {
      EXPECT_GT(Done, LastDone);
      EXPECT_LE(Done, Total);
      LastDone = Done;
      return true;
    });
    ASSERT_EQ(W.Result, storage::TAudioResult::Written) << Case.Name << ": " << W.Reason;
    EXPECT_EQ(LastDone, R.TotalSamples());
    SF_INFO Info{};
    SNDFILE* In = sf_open(Case.Name, SFM_READ, &Info);
    ASSERT_NE(In, nullptr) << Case.Name;
    EXPECT_EQ(Info.format & SF_FORMAT_TYPEMASK, Case.Major) << Case.Name;
    EXPECT_EQ(Info.samplerate, SamplesPerSec);
    EXPECT_EQ(Info.channels, 1);
    EXPECT_NEAR(static_cast<double>(Info.frames) / SamplesPerSec,
                static_cast<double>(R.TotalSamples()) / SamplesPerSec, Case.SlackSec + 1e-9)
        << Case.Name;
    sf_close(In);
    EXPECT_EQ(Contents(storage::CompanionTextFile(Case.Name)), "CQ CQ\n");
  }
  // Nothing but the files and their texts is left.
  EXPECT_EQ(Names("."), (std::vector<std::string>{"p.FLAC", "p.mp3", "p.ogg", "p.txt", "p.wav"}));
}

TEST(AudioFile, AFailedOrCancelledWriteLeavesNothingUnderTheNameAndKeepsAnOldFile) {
  const TWorkDir Dir;
  practice::TRender R = Render(5);
  // No such folder.
  storage::TAudioWrite W = storage::WriteAudioFile("missing/p.wav", R, "CQ");
  EXPECT_EQ(W.Result, storage::TAudioResult::CannotWrite);
  EXPECT_NE(W.Reason.find("missing/p.wav"), std::string::npos) << W.Reason;
  // A name of no known format.
  EXPECT_EQ(storage::WriteAudioFile("p.aiff", R, "CQ").Result, storage::TAudioResult::UnknownFormat);
  // Cancelled half-way over an older file: the old one stays as it was.
  {
    std::ofstream("old.wav") << "old";
  }
  int Calls = 0;
  W = storage::WriteAudioFile("old.wav", R, "CQ", [&](int64_t, int64_t) { return ++Calls < 2; });
  EXPECT_EQ(W.Result, storage::TAudioResult::Cancelled);
  EXPECT_EQ(Contents("old.wav"), "old");
  // A folder that cannot be written into.
  fs::create_directory("locked");
  fs::permissions("locked", fs::perms::owner_read | fs::perms::owner_exec);
  if (::access("locked", W_OK) != 0) { // root writes anyway
    EXPECT_EQ(storage::WriteAudioFile("locked/p.flac", R, "CQ").Result, storage::TAudioResult::CannotWrite);
    EXPECT_TRUE(fs::is_empty("locked"));
  }
  fs::permissions("locked", fs::perms::owner_all);
  // A text that cannot be written beside a sound that could: a folder in
  // the text's place. Neither is left.
  fs::create_directory("clash.txt");
  EXPECT_EQ(storage::WriteAudioFile("clash.wav", R, "CQ").Result, storage::TAudioResult::CannotWrite);
  EXPECT_EQ(Names("."), (std::vector<std::string>{"clash.txt", "locked", "old.wav"}));
}

} // namespace

#include "sound/PracticeTiming.h"

#include "sound/SoundState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using practice::TRender;
using practice::TTiming;

TTiming Speeds(int32_t C, int32_t S) {
  TTiming T;
  T.CharWpm = C;
  T.EffectiveWpm = S;
  return T;
}

// PARIS: .--. .- .-. .. ... with its word space.
practice::TCodeSequence Paris(int Words) {
  practice::TCodeSequence Codes;
  for (int W = 0; W < Words; ++W) {
    if (W > 0)
      Codes.emplace_back();
    for (const char* Code : {".--.", ".-", ".-.", "..", "..."})
      Codes.emplace_back(Code);
  }
  return Codes;
}

TEST(PracticeTiming, EqualSpeedsSpaceThreeAndSevenDotsAndUnequalOnesKeepTheWordPerMinute) {
  for (const int32_t C : {5, 13, 18, 25, 40, 100}) {
    const TTiming T = Speeds(C, C);
    EXPECT_EQ(T.CharSpaceUnits(), 3 * T.DotUnits()) << C;
    EXPECT_EQ(T.WordSpaceUnits(), 7 * T.DotUnits()) << C;
    EXPECT_DOUBLE_EQ(T.DotSec(), 1.2 / C) << C;
  }
  // A common class: characters at 25 wpm, 4 wpm overall. ta = (60·25 −
  // 37.2·4) / (4·25) = 13.512 s per word.
  const TTiming Class = Speeds(25, 4);
  EXPECT_DOUBLE_EQ(Class.DotSec(), 0.048);
  EXPECT_NEAR(Class.CharSpaceSec(), 3 * 13.512 / 19, 1e-12);
  EXPECT_NEAR(Class.WordSpaceSec(), 7 * 13.512 / 19, 1e-12);
  // Whatever the pair, PARIS (31 dots of its own, four character spaces and
  // a word space) lasts a minute divided by the effective speed.
  for (const auto& [C, S] : {std::pair{25, 4}, {40, 15}, {18, 5}, {100, 2}, {20, 19}}) {
    const TTiming T = Speeds(C, S);
    EXPECT_EQ(31 * T.DotUnits() + 4 * T.CharSpaceUnits() + T.WordSpaceUnits(), 60 * T.Denominator() / S)
        << C << "/" << S;
  }
}

TEST(PracticeTiming, SpeedsOutOfRangeAreNotValidAndClampToTheNearest) {
  EXPECT_TRUE(Speeds(5, 2).Valid());
  EXPECT_TRUE(Speeds(100, 100).Valid());
  for (const auto& [Given, Wanted] : {std::pair{Speeds(4, 4), Speeds(5, 4)},
                                      {Speeds(101, 50), Speeds(100, 50)},
                                      {Speeds(25, 30), Speeds(25, 25)},
                                      {Speeds(25, 1), Speeds(25, 2)},
                                      {Speeds(0, 0), Speeds(5, 2)}}) {
    EXPECT_FALSE(Given.Valid());
    const TTiming Got = Given.Clamped();
    EXPECT_EQ(Got.CharWpm, Wanted.CharWpm);
    EXPECT_EQ(Got.EffectiveWpm, Wanted.EffectiveWpm);
  }
}

TEST(PracticeRender, ALongTextEndsWhereItsExactTimeSaysWhateverTheBlocks) {
  // At 13 wpm a dot is 1017.7 samples: rounded per element, a hundred words
  // would drift by many samples; counted from the start they cannot.
  const TTiming T = Speeds(13, 13);
  practice::TTone Tone;
  TRender Render(Paris(100), T, Tone);
  EXPECT_EQ(Render.TotalSamples(), (100LL * 60 * SamplesPerSec * 2 + 13) / (13 * 2)); // 5088462
  std::vector<uint8_t> Whole(static_cast<size_t>(Render.TotalSamples()));
  EXPECT_EQ(Render.Next(Whole), Whole.size());
  EXPECT_TRUE(Render.AtEnd());
  // The same samples in blocks of an odd size.
  Render.Rewind();
  std::vector<uint8_t> Pieces;
  std::vector<uint8_t> Block(997);
  while (const size_t N = Render.Next(Block))
    Pieces.insert(Pieces.end(), Block.begin(), Block.begin() + static_cast<std::ptrdiff_t>(N));
  EXPECT_EQ(Pieces, Whole);
  // Each element starts at phase 0 from silence and ends in silence.
  EXPECT_EQ(Whole[0], Silence);
  EXPECT_NE(Whole[1], Silence);
}

TEST(PracticeRender, SquareToneHasOnlyItsTwoLevelsAndSilenceBetween) {
  practice::TTone Tone;
  Tone.Square = true;
  TRender Render(Paris(2), Speeds(20, 10), Tone);
  std::vector<uint8_t> Samples(static_cast<size_t>(Render.TotalSamples()));
  Render.Next(Samples);
  EXPECT_TRUE(std::all_of(Samples.begin(), Samples.end(), [](uint8_t S) { return S == 8 || S == 248 || S == Silence; }));
  // The last word space is silence.
  const auto Tail = static_cast<std::ptrdiff_t>(Speeds(20, 10).WordSpaceSec() * SamplesPerSec) - 1;
  EXPECT_TRUE(std::all_of(Samples.end() - Tail, Samples.end(), [](uint8_t S) { return S == Silence; }));
}

} // namespace

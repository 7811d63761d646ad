#include "sound/Morse.h"
#include "sound/SoundState.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>

namespace {

class MorseTest : public ::testing::Test {
protected:
  void SetUp() override { ResetSoundState(); }
  void TearDown() override { ResetSoundState(); }

  static void Build(int32_t NewSpeed, int32_t NewVerhalt) {
    sound::Klang.Speed = NewSpeed;
    sound::Klang.Verhalt = NewVerhalt;
    TMorse::BuildElements();
  }

  static int64_t Sum(const uint8_t* First, size_t Count) {
    return std::accumulate(First, First + Count, int64_t{0});
  }
};

TEST_F(MorseTest, DotLenRoundsSixtySixThousandByTheSpeedTiesToEven) {
  const struct {
    int32_t Speed;
    int32_t DotLen;
  } Cases[] = {{30, 2204}, {60, 1102}, {150, 441}, {80, 826}, {48, 1378}};
  for (const auto& Case : Cases) {
    Build(Case.Speed, 30);
    EXPECT_EQ(sound::Klang.DotLen, Case.DotLen) << "speed " << Case.Speed;
  }
}

TEST_F(MorseTest, DashLenRoundsTiesToEven) {
  Build(60, 30);
  EXPECT_EQ(sound::Klang.DashLen, 3306);
  Build(40, 45); // 1653 * 4.5 = 7438.5
  EXPECT_EQ(sound::Klang.DashLen, 7438);
  Build(30, 45);
  EXPECT_EQ(sound::Klang.DashLen, 9918);
}

TEST_F(MorseTest, RampFollowsAttack) {
  const struct {
    int32_t Atacke;
    int32_t Ramp;
  } Cases[] = {{1, 6}, {4, 22}, {7, 39}, {13, 72}};
  for (const auto& Case : Cases) {
    sound::Klang.Atacke = Case.Atacke;
    EXPECT_EQ(RampLen(), Case.Ramp) << "attack " << Case.Atacke;
  }
}

TEST_F(MorseTest, DotSamplesWithStartUpDefaults) {
  TMorse::BuildElements();
  EXPECT_EQ(sound::Puffer.DotBuf[0], 128);
  EXPECT_EQ(sound::Puffer.DotBuf[1], 130);    // rise
  EXPECT_EQ(sound::Puffer.DotBuf[11], 137);   // rise
  EXPECT_EQ(sound::Puffer.DotBuf[100], 232);  // full amplitude
  EXPECT_EQ(sound::Puffer.DotBuf[1090], 172); // fall
  EXPECT_EQ(sound::Puffer.DotBuf[1101], 124);
  EXPECT_EQ(sound::Puffer.DotBuf[1102], 128); // end of the fall
  EXPECT_EQ(Sum(sound::Puffer.DotBuf.data(), 1103), 141185);
  EXPECT_EQ(Sum(sound::Puffer.DashBuf.data(), 3307), 423280);
  // Beyond the element the buffers are silent.
  for (size_t I = 1103; I < DotBufSize; ++I)
    ASSERT_EQ(sound::Puffer.DotBuf[I], 128) << I;
  for (size_t I = 3307; I < DashBufSize; ++I)
    ASSERT_EQ(sound::Puffer.DashBuf[I], 128) << I;
}

TEST_F(MorseTest, SamplesStayWithinBytesAtEveryExtreme) {
  // Fastest and slowest, highest and lowest tone, hardest and softest ramp:
  // every sample lies in 1..255 and the elements never run past their length.
  for (const int32_t S : {30, 150})
    for (const int32_t T : {8, 38})
      for (const int32_t A : {1, 13}) {
        sound::Klang.Speed = S;
        sound::Klang.Verhalt = 45;
        sound::Klang.Ton = T;
        sound::Klang.Atacke = A;
        TMorse::BuildElements();
        for (int32_t I = 0; I <= sound::Klang.DashLen; ++I)
          ASSERT_GE(sound::Puffer.DashBuf[static_cast<size_t>(I)], 1);
        EXPECT_EQ(sound::Puffer.DotBuf[static_cast<size_t>(sound::Klang.DotLen)], 128);
        EXPECT_EQ(sound::Puffer.DashBuf[static_cast<size_t>(sound::Klang.DashLen)], 128);
        EXPECT_EQ(sound::Puffer.DashBuf[static_cast<size_t>(sound::Klang.DashLen) + 1], 128);
      }
}

TEST_F(MorseTest, SquareWaveHasOnlyTwoLevelsAndSilentGaps) {
  sound::Klang.Rechteck = true;
  TMorse::BuildElements();
  EXPECT_EQ(sound::Puffer.DotBuf[0], 8); // sine zero at phase 0 is low
  for (int32_t I = 0; I <= sound::Klang.DotLen; ++I) {
    const uint8_t V = sound::Puffer.DotBuf[static_cast<size_t>(I)];
    ASSERT_TRUE(V == 8 || V == 248) << I;
  }
  EXPECT_EQ(sound::Puffer.DotBuf[1], 248);
  EXPECT_EQ(sound::Puffer.DotBuf[static_cast<size_t>(sound::Klang.DotLen) + 1], 128);

  TMorse::RenderCode(".-.");
  ASSERT_EQ(sound::Puffer.SoundLen, 2 * sound::Klang.DotLen + sound::Klang.DashLen + sound::Klang.DotLen + 2 * sound::Klang.DotLen);
  const int32_t DashAt = 2 * sound::Klang.DotLen;
  const int32_t SecondDotAt = DashAt + sound::Klang.DashLen + sound::Klang.DotLen;
  for (int32_t I = 0; I < sound::Puffer.SoundLen; ++I) {
    const bool InElement = I < sound::Klang.DotLen || (I >= DashAt && I < DashAt + sound::Klang.DashLen) ||
                           (I >= SecondDotAt && I < SecondDotAt + sound::Klang.DotLen);
    const uint8_t V = sound::Puffer.SoundBuf[static_cast<size_t>(I)];
    if (InElement)
      ASSERT_TRUE(V == 8 || V == 248) << I;
    else
      ASSERT_EQ(V, 128) << I;
  }
}

TEST_F(MorseTest, RenderedLengths) {
  TMorse::BuildElements();
  const struct {
    const char* Code;
    int32_t Len;
  } Cases[] = {
      {".", 2204},   {".-", 6612}, {"-...-", 15428}, {"", 1102}, // silence of one dot
      {".x-", 6612}, // a stray character inside changes nothing
      {".-x", 7714}, // ... as the last one it adds one dot of silence
      {"xyz", 1102},
  };
  for (const auto& Case : Cases) {
    TMorse::RenderCode(Case.Code);
    EXPECT_EQ(sound::Puffer.SoundLen, Case.Len) << '"' << Case.Code << '"';
  }

  Build(30, 45);
  TMorse::RenderCode("--..--");
  EXPECT_EQ(sound::Puffer.SoundLen, 57304);
}

TEST_F(MorseTest, RenderedBlockHoldsElementsAndSilence) {
  TMorse::BuildElements();
  TMorse::RenderCode("-.."); // leaves remnants of a longer block behind
  TMorse::RenderCode(".-");
  ASSERT_EQ(sound::Puffer.SoundLen, 6612);
  for (int32_t I = 0; I < sound::Klang.DotLen; ++I)
    ASSERT_EQ(sound::Puffer.SoundBuf[static_cast<size_t>(I)], sound::Puffer.DotBuf[static_cast<size_t>(I)]) << I;
  for (int32_t I = sound::Klang.DotLen; I < 2 * sound::Klang.DotLen; ++I)
    ASSERT_EQ(sound::Puffer.SoundBuf[static_cast<size_t>(I)], 128) << I;
  for (int32_t I = 0; I < sound::Klang.DashLen; ++I)
    ASSERT_EQ(sound::Puffer.SoundBuf[static_cast<size_t>(2 * sound::Klang.DotLen + I)],
              sound::Puffer.DashBuf[static_cast<size_t>(I)])
        << I;
  for (size_t I = static_cast<size_t>(2 * sound::Klang.DotLen + sound::Klang.DashLen); I < SoundBufSize; ++I)
    ASSERT_EQ(sound::Puffer.SoundBuf[I], 128) << I;
  // ".x-" is the same block as ".-".
  const std::array<uint8_t, SoundBufSize> Plain = sound::Puffer.SoundBuf;
  TMorse::RenderCode(".x-");
  EXPECT_TRUE(Plain == sound::Puffer.SoundBuf);
}

TEST_F(MorseTest, CodeTooLongForTheBufferIsCutAtItsEnd) {
  Build(30, 45);
  TMorse::RenderCode("----------"); // 10 * (9918 + 2204) would be 121220
  EXPECT_EQ(sound::Puffer.SoundLen, static_cast<int32_t>(SoundBufSize));
  // The ninth dash starts at 8 * 12122 = 96976 and fills the buffer to its end.
  EXPECT_EQ(sound::Puffer.SoundBuf[96975], 128);
  EXPECT_EQ(sound::Puffer.SoundBuf[96977], sound::Puffer.DashBuf[1]);
  EXPECT_EQ(sound::Puffer.SoundBuf[SoundBufSize - 1], sound::Puffer.DashBuf[SoundBufSize - 1 - 96976]);
  TMorse::RenderCode(".");
  EXPECT_EQ(sound::Puffer.SoundLen, 4408);
}

TEST_F(MorseTest, OutOfRangeSettingsStayInsideTheBuffers) {
  for (const int32_t S : {0, -5, 1, 10})
    for (const int32_t V : {0, -10, 1000}) {
      sound::Klang.Speed = S;
      sound::Klang.Verhalt = V;
      sound::Klang.Ton = 0;
      sound::Klang.Atacke = 0;
      TMorse::BuildElements();
      EXPECT_LT(sound::Klang.DotLen, static_cast<int32_t>(DotBufSize));
      EXPECT_GE(sound::Klang.DashLen, 0);
      EXPECT_LT(sound::Klang.DashLen, static_cast<int32_t>(DashBufSize));
      TMorse::RenderCode("-.-.-.-.-.");
      EXPECT_LE(sound::Puffer.SoundLen, static_cast<int32_t>(SoundBufSize));
    }
}

TEST_F(MorseTest, GapsAfterCharacterAndGroup) {
  sound::Klang.Abstand = 10;
  Build(60, 30);
  sound::Klang.Intervall = 100;
  EXPECT_EQ(CharGapMs(), 199);  // Trunc(99.95) + 100
  EXPECT_EQ(GroupGapMs(), 399); // Trunc(299.86) + 100
  sound::Klang.Abstand = 60;
  Build(30, 30);
  sound::Klang.Intervall = 7;
  EXPECT_EQ(CharGapMs(), 1199 + 7);
  EXPECT_EQ(GroupGapMs(), 3598 + 7);
  sound::Klang.Abstand = 0; // before the main window applies its setting
  EXPECT_EQ(CharGapMs(), 7);
}

TEST_F(MorseTest, IntervallIsTheEntryOfTheSpeed) {
  for (size_t Offset = 0; Offset < IntervallTabSize; ++Offset)
    sound::Klang.IntervallTab[Offset] = static_cast<uint8_t>(Offset + 1);
  const struct {
    int32_t Speed;
    int32_t Offset;
  } Cases[] = {{30, 0},
               {35, 1},
               {60, 6},
               {150, 24},
               // Outside 30..150 the nearest speed's entry, never outside the table.
               {29, 0},
               {25, 0},
               {0, 0},
               {-100, 0},
               {155, 24},
               {1000, 24}};
  for (const auto& Case : Cases) {
    sound::Klang.Speed = Case.Speed;
    SelectIntervall();
    EXPECT_EQ(sound::Klang.Intervall, Case.Offset + 1) << "speed " << Case.Speed;
  }
  // Slot k is byte k-1; slots outside the table read 0 and are not written.
  SetIntervallAt(60, 99);
  SetIntervallAt(0, 99);
  SetIntervallAt(61, 99);
  EXPECT_EQ(sound::Klang.IntervallTab[59], 99);
  EXPECT_EQ(IntervallAt(0), 0);
  EXPECT_EQ(IntervallAt(61), 0);
  EXPECT_EQ(std::accumulate(sound::Klang.IntervallTab.begin(), sound::Klang.IntervallTab.end(), 0),
            59 * 60 / 2 + 99);
}

TEST_F(MorseTest, CodeLookupThroughTheTable) {
  // 26 letters, then the built-in digits and signs.
  const std::string Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  sound::Codetafel.Letters = Alphabet + BuiltInDigits + BuiltInSigns;
  ASSERT_EQ(sound::Codetafel.Letters.size(), 44u);
  for (size_t I = 0; I < Alphabet.size(); ++I)
    sound::Codetafel.Codes[I + 1] = "letter" + std::to_string(I + 1);
  for (size_t I = 0; I < BuiltInDigitCodes.size(); ++I)
    sound::Codetafel.Codes[27 + I] = BuiltInDigitCodes[I];
  for (size_t I = 0; I < BuiltInSignCodes.size(); ++I)
    sound::Codetafel.Codes[37 + I] = BuiltInSignCodes[I];

  EXPECT_EQ(LetterPos('1'), 27);
  EXPECT_EQ(CodeOf('1'), ".----");
  EXPECT_EQ(CodeOf('0'), "-----");
  EXPECT_EQ(LetterPos('.'), 37);
  EXPECT_EQ(CodeOf('.'), ".-.-.-");
  EXPECT_EQ(CodeOf('@'), "-.-.-");
  EXPECT_EQ(LetterPos('\xA7'), 44);
  EXPECT_EQ(CodeOf('\xA7'), "...-.-");
  EXPECT_EQ(CodeOf('A'), "letter1");
  // Not in the table: no code.
  EXPECT_EQ(LetterPos('a'), 0);
  EXPECT_EQ(CodeOf('a'), "");
  EXPECT_EQ(CodeOf('\0'), "");
  // A character twice in the table has the code of its first slot.
  sound::Codetafel.Letters[43] = 'A';
  EXPECT_EQ(CodeOf('A'), "letter1");
  // Past the 50 slots there is no code either.
  sound::Codetafel.Letters = std::string(49, 'x') + "zy";
  sound::Codetafel.Codes[50] = "-";
  EXPECT_EQ(CodeOf('z'), "-");
  EXPECT_EQ(CodeOf('y'), "");
}

TEST_F(MorseTest, ResetRestoresTheStartUpState) {
  sound::Klang.Speed = 150;
  sound::Klang.Verhalt = 45;
  sound::Klang.Abstand = 60;
  sound::Klang.Ton = 8;
  sound::Klang.Atacke = 13;
  sound::Klang.Rechteck = true;
  sound::Klang.Intervall = 3;
  TMorse::BuildElements();
  TMorse::RenderCode("-");
  sound::Codetafel.Letters = "AB";
  sound::Codetafel.Codes[2] = ".-";
  sound::Klang.IntervallTab[5] = 9;
  sound::Ausgabe.DeviceOpen = sound::Ausgabe.Playing = sound::Ausgabe.MemPlaying = sound::Ausgabe.WavePending = true;
  sound::Ausgabe.WavName = "A.wav";
  sound::Ausgabe.WaveHdr.Flags = WHDR_PREPARED;
  sound::Ausgabe.WaveResult = MMSYSERR_ERROR;

  ResetSoundState();
  EXPECT_EQ(sound::Klang.Speed, 60);
  EXPECT_EQ(sound::Klang.Verhalt, 30);
  EXPECT_EQ(sound::Klang.Abstand, 0);
  EXPECT_EQ(sound::Klang.Ton, 23);
  EXPECT_EQ(sound::Klang.Atacke, 4);
  EXPECT_FALSE(sound::Klang.Rechteck);
  EXPECT_EQ(sound::Klang.Intervall, 100);
  EXPECT_EQ(sound::Klang.DotLen, 1102);
  EXPECT_EQ(sound::Klang.DashLen, 3306);
  EXPECT_EQ(sound::Puffer.SoundLen, 0);
  EXPECT_EQ(sound::Puffer.SoundBuf[0], 128);
  EXPECT_EQ(sound::Puffer.DotBuf[1], 128);
  EXPECT_TRUE(sound::Codetafel.Letters.empty());
  EXPECT_TRUE(sound::Codetafel.Codes[2].empty());
  EXPECT_EQ(sound::Klang.IntervallTab[5], 0);
  EXPECT_FALSE(sound::Ausgabe.DeviceOpen || sound::Ausgabe.Playing || sound::Ausgabe.MemPlaying || sound::Ausgabe.WavePending);
  EXPECT_TRUE(sound::Ausgabe.WavName.empty());
  EXPECT_EQ(sound::Ausgabe.WaveHdr.Flags, 0u);
  EXPECT_EQ(sound::Ausgabe.WaveResult, MMSYSERR_NOERROR);
}

} // namespace

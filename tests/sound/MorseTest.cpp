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
    Klang.Speed = NewSpeed;
    Klang.Verhalt = NewVerhalt;
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
    EXPECT_EQ(Klang.DotLen, Case.DotLen) << "speed " << Case.Speed;
  }
}

TEST_F(MorseTest, DashLenRoundsTiesToEven) {
  Build(60, 30);
  EXPECT_EQ(Klang.DashLen, 3306);
  Build(40, 45); // 1653 * 4.5 = 7438.5
  EXPECT_EQ(Klang.DashLen, 7438);
  Build(30, 45);
  EXPECT_EQ(Klang.DashLen, 9918);
}

TEST_F(MorseTest, RampFollowsAttack) {
  const struct {
    int32_t Atacke;
    int32_t Ramp;
  } Cases[] = {{1, 6}, {4, 22}, {7, 39}, {13, 72}};
  for (const auto& Case : Cases) {
    Klang.Atacke = Case.Atacke;
    EXPECT_EQ(RampLen(), Case.Ramp) << "attack " << Case.Atacke;
  }
}

TEST_F(MorseTest, DotSamplesWithStartUpDefaults) {
  TMorse::BuildElements();
  EXPECT_EQ(Puffer.DotBuf[0], 128);
  EXPECT_EQ(Puffer.DotBuf[1], 130);    // rise
  EXPECT_EQ(Puffer.DotBuf[11], 137);   // rise
  EXPECT_EQ(Puffer.DotBuf[100], 232);  // full amplitude
  EXPECT_EQ(Puffer.DotBuf[1090], 172); // fall
  EXPECT_EQ(Puffer.DotBuf[1101], 124);
  EXPECT_EQ(Puffer.DotBuf[1102], 128); // end of the fall
  EXPECT_EQ(Sum(Puffer.DotBuf.data(), 1103), 141185);
  EXPECT_EQ(Sum(Puffer.DashBuf.data(), 3307), 423280);
  // Beyond the element the buffers are silent.
  for (size_t I = 1103; I < DotBufSize; ++I)
    ASSERT_EQ(Puffer.DotBuf[I], 128) << I;
  for (size_t I = 3307; I < DashBufSize; ++I)
    ASSERT_EQ(Puffer.DashBuf[I], 128) << I;
}

TEST_F(MorseTest, SamplesStayWithinBytesAtEveryExtreme) {
  // Fastest and slowest, highest and lowest tone, hardest and softest ramp:
  // every sample lies in 1..255 and the elements never run past their length.
  for (const int32_t S : {30, 150})
    for (const int32_t T : {8, 38})
      for (const int32_t A : {1, 13}) {
        Klang.Speed = S;
        Klang.Verhalt = 45;
        Klang.Ton = T;
        Klang.Atacke = A;
        TMorse::BuildElements();
        for (int32_t I = 0; I <= Klang.DashLen; ++I)
          ASSERT_GE(Puffer.DashBuf[static_cast<size_t>(I)], 1);
        EXPECT_EQ(Puffer.DotBuf[static_cast<size_t>(Klang.DotLen)], 128);
        EXPECT_EQ(Puffer.DashBuf[static_cast<size_t>(Klang.DashLen)], 128);
        EXPECT_EQ(Puffer.DashBuf[static_cast<size_t>(Klang.DashLen) + 1], 128);
      }
}

TEST_F(MorseTest, SquareWaveHasOnlyTwoLevelsAndSilentGaps) {
  Klang.Rechteck = true;
  TMorse::BuildElements();
  EXPECT_EQ(Puffer.DotBuf[0], 8); // sine zero at phase 0 is low
  for (int32_t I = 0; I <= Klang.DotLen; ++I) {
    const uint8_t V = Puffer.DotBuf[static_cast<size_t>(I)];
    ASSERT_TRUE(V == 8 || V == 248) << I;
  }
  EXPECT_EQ(Puffer.DotBuf[1], 248);
  EXPECT_EQ(Puffer.DotBuf[static_cast<size_t>(Klang.DotLen) + 1], 128);

  TMorse::RenderCode(".-.");
  ASSERT_EQ(Puffer.SoundLen, 2 * Klang.DotLen + Klang.DashLen + Klang.DotLen + 2 * Klang.DotLen);
  const int32_t DashAt = 2 * Klang.DotLen;
  const int32_t SecondDotAt = DashAt + Klang.DashLen + Klang.DotLen;
  for (int32_t I = 0; I < Puffer.SoundLen; ++I) {
    const bool InElement = I < Klang.DotLen || (I >= DashAt && I < DashAt + Klang.DashLen) ||
                           (I >= SecondDotAt && I < SecondDotAt + Klang.DotLen);
    const uint8_t V = Puffer.SoundBuf[static_cast<size_t>(I)];
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
    EXPECT_EQ(Puffer.SoundLen, Case.Len) << '"' << Case.Code << '"';
  }

  Build(30, 45);
  TMorse::RenderCode("--..--");
  EXPECT_EQ(Puffer.SoundLen, 57304);
}

TEST_F(MorseTest, RenderedBlockHoldsElementsAndSilence) {
  TMorse::BuildElements();
  TMorse::RenderCode("-.."); // leaves remnants of a longer block behind
  TMorse::RenderCode(".-");
  ASSERT_EQ(Puffer.SoundLen, 6612);
  for (int32_t I = 0; I < Klang.DotLen; ++I)
    ASSERT_EQ(Puffer.SoundBuf[static_cast<size_t>(I)], Puffer.DotBuf[static_cast<size_t>(I)]) << I;
  for (int32_t I = Klang.DotLen; I < 2 * Klang.DotLen; ++I)
    ASSERT_EQ(Puffer.SoundBuf[static_cast<size_t>(I)], 128) << I;
  for (int32_t I = 0; I < Klang.DashLen; ++I)
    ASSERT_EQ(Puffer.SoundBuf[static_cast<size_t>(2 * Klang.DotLen + I)],
              Puffer.DashBuf[static_cast<size_t>(I)])
        << I;
  for (size_t I = static_cast<size_t>(2 * Klang.DotLen + Klang.DashLen); I < SoundBufSize; ++I)
    ASSERT_EQ(Puffer.SoundBuf[I], 128) << I;
  // ".x-" is the same block as ".-".
  const std::array<uint8_t, SoundBufSize> Plain = Puffer.SoundBuf;
  TMorse::RenderCode(".x-");
  EXPECT_TRUE(Plain == Puffer.SoundBuf);
}

TEST_F(MorseTest, CodeTooLongForTheBufferIsCutAtItsEnd) {
  Build(30, 45);
  TMorse::RenderCode("----------"); // 10 * (9918 + 2204) would be 121220
  EXPECT_EQ(Puffer.SoundLen, static_cast<int32_t>(SoundBufSize));
  // The ninth dash starts at 8 * 12122 = 96976 and fills the buffer to its end.
  EXPECT_EQ(Puffer.SoundBuf[96975], 128);
  EXPECT_EQ(Puffer.SoundBuf[96977], Puffer.DashBuf[1]);
  EXPECT_EQ(Puffer.SoundBuf[SoundBufSize - 1], Puffer.DashBuf[SoundBufSize - 1 - 96976]);
  TMorse::RenderCode(".");
  EXPECT_EQ(Puffer.SoundLen, 4408);
}

TEST_F(MorseTest, OutOfRangeSettingsStayInsideTheBuffers) {
  for (const int32_t S : {0, -5, 1, 10})
    for (const int32_t V : {0, -10, 1000}) {
      Klang.Speed = S;
      Klang.Verhalt = V;
      Klang.Ton = 0;
      Klang.Atacke = 0;
      TMorse::BuildElements();
      EXPECT_LT(Klang.DotLen, static_cast<int32_t>(DotBufSize));
      EXPECT_GE(Klang.DashLen, 0);
      EXPECT_LT(Klang.DashLen, static_cast<int32_t>(DashBufSize));
      TMorse::RenderCode("-.-.-.-.-.");
      EXPECT_LE(Puffer.SoundLen, static_cast<int32_t>(SoundBufSize));
    }
}

TEST_F(MorseTest, GapsAfterCharacterAndGroup) {
  Klang.Abstand = 10;
  Build(60, 30);
  Klang.Intervall = 100;
  EXPECT_EQ(CharGapMs(), 199);  // Trunc(99.95) + 100
  EXPECT_EQ(GroupGapMs(), 399); // Trunc(299.86) + 100
  Klang.Abstand = 60;
  Build(30, 30);
  Klang.Intervall = 7;
  EXPECT_EQ(CharGapMs(), 1199 + 7);
  EXPECT_EQ(GroupGapMs(), 3598 + 7);
  Klang.Abstand = 0; // before the main window applies its setting
  EXPECT_EQ(CharGapMs(), 7);
}

TEST_F(MorseTest, IntervallIsTheEntryOfTheSpeed) {
  for (size_t Offset = 0; Offset < IntervallTabSize; ++Offset)
    Klang.IntervallTab[Offset] = static_cast<uint8_t>(Offset + 1);
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
    Klang.Speed = Case.Speed;
    SelectIntervall();
    EXPECT_EQ(Klang.Intervall, Case.Offset + 1) << "speed " << Case.Speed;
  }
  // Slot k is byte k-1; slots outside the table read 0 and are not written.
  SetIntervallAt(60, 99);
  SetIntervallAt(0, 99);
  SetIntervallAt(61, 99);
  EXPECT_EQ(Klang.IntervallTab[59], 99);
  EXPECT_EQ(IntervallAt(0), 0);
  EXPECT_EQ(IntervallAt(61), 0);
  EXPECT_EQ(std::accumulate(Klang.IntervallTab.begin(), Klang.IntervallTab.end(), 0),
            59 * 60 / 2 + 99);
}

TEST_F(MorseTest, CodeLookupThroughTheTable) {
  // 26 letters, then the built-in digits and signs.
  const std::string Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  Codetafel.Letters = Alphabet + BuiltInDigits + BuiltInSigns;
  ASSERT_EQ(Codetafel.Letters.size(), 44u);
  for (size_t I = 0; I < Alphabet.size(); ++I)
    Codetafel.Codes[I + 1] = "letter" + std::to_string(I + 1);
  for (size_t I = 0; I < BuiltInDigitCodes.size(); ++I)
    Codetafel.Codes[27 + I] = BuiltInDigitCodes[I];
  for (size_t I = 0; I < BuiltInSignCodes.size(); ++I)
    Codetafel.Codes[37 + I] = BuiltInSignCodes[I];

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
  Codetafel.Letters[43] = 'A';
  EXPECT_EQ(CodeOf('A'), "letter1");
  // Past the 50 slots there is no code either.
  Codetafel.Letters = std::string(49, 'x') + "zy";
  Codetafel.Codes[50] = "-";
  EXPECT_EQ(CodeOf('z'), "-");
  EXPECT_EQ(CodeOf('y'), "");
}

TEST_F(MorseTest, ResetRestoresTheStartUpState) {
  Klang.Speed = 150;
  Klang.Verhalt = 45;
  Klang.Abstand = 60;
  Klang.Ton = 8;
  Klang.Atacke = 13;
  Klang.Rechteck = true;
  Klang.Intervall = 3;
  TMorse::BuildElements();
  TMorse::RenderCode("-");
  Codetafel.Letters = "AB";
  Codetafel.Codes[2] = ".-";
  Klang.IntervallTab[5] = 9;
  Ausgabe.DeviceOpen = Ausgabe.Playing = Ausgabe.MemPlaying = Ausgabe.WavePending = true;
  Ausgabe.WavName = "A.wav";
  Ausgabe.WaveHdr.Flags = WHDR_PREPARED;
  Ausgabe.WaveResult = MMSYSERR_ERROR;

  ResetSoundState();
  EXPECT_EQ(Klang.Speed, 60);
  EXPECT_EQ(Klang.Verhalt, 30);
  EXPECT_EQ(Klang.Abstand, 0);
  EXPECT_EQ(Klang.Ton, 23);
  EXPECT_EQ(Klang.Atacke, 4);
  EXPECT_FALSE(Klang.Rechteck);
  EXPECT_EQ(Klang.Intervall, 100);
  EXPECT_EQ(Klang.DotLen, 1102);
  EXPECT_EQ(Klang.DashLen, 3306);
  EXPECT_EQ(Puffer.SoundLen, 0);
  EXPECT_EQ(Puffer.SoundBuf[0], 128);
  EXPECT_EQ(Puffer.DotBuf[1], 128);
  EXPECT_TRUE(Codetafel.Letters.empty());
  EXPECT_TRUE(Codetafel.Codes[2].empty());
  EXPECT_EQ(Klang.IntervallTab[5], 0);
  EXPECT_FALSE(Ausgabe.DeviceOpen || Ausgabe.Playing || Ausgabe.MemPlaying || Ausgabe.WavePending);
  EXPECT_TRUE(Ausgabe.WavName.empty());
  EXPECT_EQ(Ausgabe.WaveHdr.Flags, 0u);
  EXPECT_EQ(Ausgabe.WaveResult, MMSYSERR_NOERROR);
}

} // namespace

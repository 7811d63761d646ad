#include "storage/StatFile.h"
#include "support/RecordingReporter.h"

#include "StorageTestDir.h"

#include <algorithm>
#include <filesystem>
#include <tuple>
#include <vector>

namespace {

std::vector<TStatRun> Lauf(std::initializer_list<TStatRun> Runs) {
  return std::vector<TStatRun>(Runs);
}

TEST(StatFile, RunsAddUpPerCourseAndCharacterAndSurviveTheFile) {
  TStatistik S;
  EXPECT_TRUE(S.Writable());
  EXPECT_EQ(S.Bytes().size(), StatHeaderSize);
  S.AddRun(1, Lauf({{'e', 10, 2}, {'t', 5, 0}}));
  S.AddRun(1, Lauf({{'e', 8, 1}, {'x', 0, 0}}));
  S.AddRun(3, Lauf({{'e', 4, 4}}));
  EXPECT_EQ(S.Records(), 3u); // e and t of course 1, e of course 3; x was not sent
  const TStatistik Read = TStatistik::Parse(S.Bytes());
  EXPECT_EQ(Read.Bytes(), S.Bytes());
  const TZeichenStat E = Read.Of(1, 'e');
  EXPECT_EQ(E.Sent, 18);
  EXPECT_EQ(E.Wrong, 3);
  EXPECT_EQ(E.Runs, 2);
  EXPECT_EQ(Read.Of(3, 'e').Wrong, 4);
  EXPECT_EQ(Read.Of(1, 't').Rate(), 0.0);
  EXPECT_EQ(Read.Of(2, 'e').Sent, 0);
  EXPECT_EQ(Read.Of(1, 'x').Runs, 0);
  EXPECT_EQ(S.Bytes().size(), StatHeaderSize + 3 * StatRecordSize);
}

TEST(StatFile, OnlyTheLastTwentyRunsCountAndWrongNeverExceedsSent) {
  TStatistik S;
  S.AddRun(2, Lauf({{'\xFC', 100, 100}})); // the oldest, dropped below
  for (int I = 0; I < 20; ++I)
    S.AddRun(2, Lauf({{'\xFC', 3, I == 19 ? 9 : 1}}));
  const TZeichenStat Z = TStatistik::Parse(S.Bytes()).Of(2, '\xFC');
  EXPECT_EQ(Z.Runs, 20);
  EXPECT_EQ(Z.Sent, 60);
  EXPECT_EQ(Z.Wrong, 19 + 3);
  // Counts beyond 16 bits are capped, not wrapped.
  TStatistik Big;
  Big.AddRun(1, Lauf({{'a', 70000, 70000}}));
  EXPECT_EQ(Big.Of(1, 'a').Sent, 65535);
  EXPECT_EQ(Big.Of(1, 'a').Wrong, 65535);
}

TEST(StatFile, ALaterVersionsLongerHeaderRecordsAndUnknownBytesAreKept) {
  // A later version: a header of 20 bytes, records of StatRecordSize + 6 bytes,
  // an invalid record (course 9) and three stray bytes at the end.
  const size_t Rec = StatRecordSize + 6;
  TBytes B = {'V', 'S', 'T', 'A', 9, 0, 20, 0, static_cast<uint8_t>(Rec), 0};
  B.resize(20, 0xEE);
  TBytes Known(Rec, 0);
  Known[0] = 1;
  Known[1] = 'k';
  Known[2] = 1; // next slot 1
  Known[3] = 1; // one run held
  Known[4] = 7; // sent 7
  Known[6] = 2; // wrong 2
  std::fill(Known.begin() + StatRecordSize, Known.end(), 0xAB);
  TBytes Invalid(Rec, 0x11);
  Invalid[0] = 9;
  B.insert(B.end(), Known.begin(), Known.end());
  B.insert(B.end(), Invalid.begin(), Invalid.end());
  B.insert(B.end(), {0x5A, 0x5B, 0x5C});

  TStatistik S = TStatistik::Parse(B);
  ASSERT_TRUE(S.Writable());
  EXPECT_EQ(S.Records(), 1u);
  EXPECT_EQ(S.Of(1, 'k').Sent, 7);
  EXPECT_EQ(S.Of(1, 'k').Wrong, 2);
  S.AddRun(1, Lauf({{'k', 1, 1}, {'m', 4, 0}}));

  const TBytes& Out = S.Bytes();
  ASSERT_EQ(Out.size(), B.size() + Rec);
  // The header as it was, version and all; the invalid record untouched.
  EXPECT_TRUE(std::equal(B.begin(), B.begin() + 20, Out.begin()));
  EXPECT_TRUE(std::equal(Invalid.begin(), Invalid.end(), Out.begin() + 20 + static_cast<long>(Rec)));
  // The known record's own tail kept; the new record after the invalid one,
  // the stray bytes still last.
  EXPECT_TRUE(std::equal(Known.begin() + StatRecordSize, Known.end(),
                         Out.begin() + 20 + static_cast<long>(StatRecordSize)));
  EXPECT_EQ(Out[20 + 2 * Rec], 1);
  EXPECT_EQ(Out[20 + 2 * Rec + 1], 'm');
  EXPECT_EQ(TBytes(Out.end() - 3, Out.end()), TBytes({0x5A, 0x5B, 0x5C}));
  const TStatistik Again = TStatistik::Parse(Out);
  EXPECT_EQ(Again.Of(1, 'k').Sent, 8);
  EXPECT_EQ(Again.Of(1, 'k').Runs, 2);
  EXPECT_EQ(Again.Of(1, 'm').Sent, 4);
}

// A file the first version of the program wrote (course 1: 'e' and 't' over
// 23 runs, 'e' sent 10 + run times and wrong run % 3 times, 't' 5 times and
// wrong every other run; course 3: two letters once).
TBytes FirstVersionFile() {
  return ReadFile(std::string(VELM_SOURCE_DIR) + "/tests/storage/data/StatV1.dat");
}

TEST(StatFile, AFileOfTheFirstVersionIsReadWholeAndKeptWhenReactionsConfusionsAndRunsAreAdded) {
  const TBytes Old = FirstVersionFile();
  ASSERT_EQ(Old.size(), StatHeaderSize + 4 * StatRecordSize);
  TStatistik S = TStatistik::Parse(Old);
  ASSERT_TRUE(S.Writable());
  EXPECT_EQ(S.Records(), 4u);
  EXPECT_EQ(S.Of(1, 'e').Sent, (13 + 32) * 10);
  EXPECT_EQ(S.Of(1, 'e').Wrong, 19);
  EXPECT_EQ(S.Of(1, 't').Sent, 100);
  EXPECT_EQ(S.Of(1, 't').Wrong, 10);
  EXPECT_EQ(S.Of(3, '\xE0').Wrong, 2);
  EXPECT_EQ(S.Of(1, 'e').ReactionMs, -1); // never timed
  EXPECT_EQ(S.TargetMs(), StatTargetMsDefault);
  EXPECT_TRUE(S.Laeufe(1).empty());

  // Odd run counts: the median of the runs' medians and of their spreads.
  S.AddRun(1, Lauf({{'e', 5, 1, 400, 100}, {'t', 5, 0}}));
  S.AddRun(1, Lauf({{'e', 5, 0, 700, 300}}));
  S.AddRun(1, Lauf({{'e', 5, 0, 500, 200}}));
  S.AddVerwechslung(1, 'e', 'i', 2);
  S.AddVerwechslung(1, 'e', 't');
  S.AddVerwechslung(1, 'e', 'e'); // no confusion
  S.AddLauf(1, {9000, 2, 1, 20, 1, 640});
  S.SetTargetMs(800);

  const TStatistik Again = TStatistik::Parse(S.Bytes());
  EXPECT_EQ(Again.Bytes(), S.Bytes());
  EXPECT_EQ(Again.Of(1, 'e').Runs, 20);
  EXPECT_EQ(Again.Of(1, 'e').ReactionMs, 500);
  EXPECT_EQ(Again.Of(1, 'e').SpreadMs, 200);
  EXPECT_EQ(Again.Of(1, 't').ReactionMs, -1);
  EXPECT_EQ(Again.Of(3, '\xE0').Sent, 7);
  const auto V = Again.Verwechslungen(1, 'e');
  ASSERT_EQ(V.size(), 2u);
  EXPECT_EQ(V[0].Als, 'i');
  EXPECT_EQ(V[0].Count, 2);
  EXPECT_EQ(V[1].Als, 't');
  ASSERT_EQ(Again.Laeufe(1).size(), 1u);
  EXPECT_EQ(Again.Laeufe(1)[0].ReactionMs, 640);
  EXPECT_EQ(Again.Laeufe(1)[0].Day, 9000);
  EXPECT_EQ(Again.TargetMs(), 800);

  // The old records keep their place; only the version and the target in
  // the header and the counts of the runs added changed. The new records
  // follow them, of kinds the first version keeps as bytes it does not know.
  EXPECT_EQ(S.Bytes()[4], StatVersion);
  EXPECT_TRUE(std::equal(Old.begin() + 16 + 2 * static_cast<long>(StatRecordSize), Old.end(),
                         S.Bytes().begin() + 16 + 2 * static_cast<long>(StatRecordSize)));
  for (size_t At = Old.size(); At < S.Bytes().size(); At += StatRecordSize)
    EXPECT_GT(S.Bytes()[At] >> 4, 0) << At;
}

// Practice runs keep their conditions beside the first version's records
// and the history of the course's runs; a kind this version does not know
// stays as bytes, and the oldest run goes first once the course holds its
// limit.
TEST(StatFile, PracticeRunsKeepTheirConditionsBesideOlderAndUnknownRecords) {
  TBytes Old = FirstVersionFile();
  TBytes Later(StatRecordSize, 0x77);
  Later[0] = 0x51; // a kind of a later version, course 1
  Old.insert(Old.end(), Later.begin(), Later.end());
  TStatistik S = TStatistik::Parse(Old);
  const TPracticeLauf Clean{9839, 100, 4, 420, 25, 18, false, 0, 0, 0, 0, 0, 0, 0};
  const TPracticeLauf Hard{9840, 60, 20, -1, 30, 30, true, -10, 30, 2, 3, 100, 20, 3};
  const TPracticeLauf Odd{1, 5, 9, 31000, 5, 2, true, 30, 0, 30, 0, 0, 0, 5};
  S.AddPracticeLauf(1, Clean);
  S.AddPracticeLauf(1, Hard);
  S.AddPracticeLauf(3, Odd);
  S.AddLauf(1, {9000, 4, 1, 20, 1, 640});

  const TStatistik Again = TStatistik::Parse(S.Bytes());
  EXPECT_EQ(Again.PracticeLaeufe(1), (std::vector<TPracticeLauf>{Clean, Hard}));
  EXPECT_TRUE(Clean.Clean());
  EXPECT_FALSE(Hard.Clean());
  // Wrong never above sent, a reaction beyond belief none.
  ASSERT_EQ(Again.PracticeLaeufe(3).size(), 1u);
  EXPECT_EQ(Again.PracticeLaeufe(3)[0].Wrong, 5);
  EXPECT_EQ(Again.PracticeLaeufe(3)[0].ReactionMs, -1);
  EXPECT_EQ(Again.PracticeLaeufe(3)[0].SnrDb, 30);
  EXPECT_EQ(Again.Laeufe(1).size(), 1u) << "the course's history stays apart";
  EXPECT_EQ(Again.Of(1, 't').Sent, 100);
  EXPECT_TRUE(std::equal(Later.begin(), Later.end(),
                         S.Bytes().begin() + static_cast<long>(Old.size() - Later.size())));

  TStatistik Full;
  for (int32_t I = 0; I < static_cast<int32_t>(StatPracticeMax) + 5; ++I)
    Full.AddPracticeLauf(2, {I, 10, 1, 300, 20, 20, I % 2 == 0, -5, 10, 8, 1, 20, 5, 0});
  const auto L = TStatistik::Parse(Full.Bytes()).PracticeLaeufe(2);
  ASSERT_EQ(L.size(), StatPracticeMax);
  EXPECT_EQ(L.front().Day, 5);
  EXPECT_EQ(L.back().Day, static_cast<int32_t>(StatPracticeMax) + 4);
  EXPECT_EQ(Full.Bytes().size(),
            StatHeaderSize + StatPracticeMax / StatPracticePerRecord * StatRecordSize);
}

TEST(StatFile, ImpossibleFiguresCutFilesAndFullHistoriesShowNothingUntrue) {
  TStatistik S;
  S.AddRun(2, Lauf({{'a', 3, 0, StatMaxReactionMs + 1, 5}, {'b', 3, 0, 300, 50}}));
  EXPECT_EQ(S.Of(2, 'a').ReactionMs, -1); // not kept
  TBytes B = S.Bytes();
  // A reaction record whose slot holds an impossible figure (a file another
  // program changed): read as no reaction.
  for (size_t At = StatHeaderSize; At < B.size(); At += StatRecordSize)
    if (B[At] == 0x12 && B[At + 1] == 'b')
      B[At + 4 + 4 * 0 + 1] = 0xF0;
  EXPECT_EQ(TStatistik::Parse(B).Of(2, 'b').ReactionMs, -1);
  // Cut in its last record: that record's bytes are kept, the rest read.
  const TBytes Cut(S.Bytes().begin(), S.Bytes().end() - 7);
  TStatistik C = TStatistik::Parse(Cut);
  EXPECT_EQ(C.Of(2, 'a').Sent, 3);
  C.AddRun(2, Lauf({{'a', 1, 1}}));
  EXPECT_TRUE(std::equal(Cut.end() - (static_cast<long>(StatRecordSize) - 7), Cut.end(),
                         C.Bytes().end() - (static_cast<long>(StatRecordSize) - 7)));

  // The history keeps the last StatHistoryMax runs, in a bounded number of
  // records.
  TStatistik H;
  for (int32_t I = 0; I < static_cast<int32_t>(StatHistoryMax) + 20; ++I)
    H.AddLauf(4, {I, 4, 3, 50, I % 7, -1});
  const auto L = TStatistik::Parse(H.Bytes()).Laeufe(4);
  ASSERT_EQ(L.size(), StatHistoryMax);
  EXPECT_EQ(L.front().Day, 20);
  EXPECT_EQ(L.back().Day, static_cast<int32_t>(StatHistoryMax) + 19);
  EXPECT_EQ(L.back().ReactionMs, -1);
  EXPECT_EQ(H.Bytes().size(), StatHeaderSize + StatHistoryMax / StatHistoryPerRecord * StatRecordSize);
  EXPECT_EQ(StatDay(2000, 1, 1), 0);
  EXPECT_EQ(StatDay(2026, 12, 9), 9839);

  // A character confused with more partners than kept gives up the rarest.
  TStatistik V;
  for (int I = 0; I < static_cast<int>(StatPartners); ++I)
    V.AddVerwechslung(1, 'a', static_cast<char>('b' + I), I == 3 ? 1 : 2);
  V.AddVerwechslung(1, 'a', 'z', 5);
  const auto P = V.Verwechslungen(1, 'a');
  ASSERT_EQ(P.size(), StatPartners);
  EXPECT_EQ(P[0].Als, 'z');
  EXPECT_TRUE(std::none_of(P.begin(), P.end(), [](const TVerwechslung& E) { return E.Als == 'e'; }));
}

TEST(StatFile, ShortRandomAndForeignBytesGiveNoFiguresAndAreNotToBeWritten) {
  EXPECT_TRUE(TStatistik::Parse({}).Writable()); // empty: as new
  for (const TBytes& B : {TBytes{'V', 'S', 'T'}, TBytes{'V', 'S', 'T', 'A', 1, 0, 16},
                          RandomBytes(5000, 7), TBytes(StatMaxFileSize + 1, 0)}) {
    TStatistik S = TStatistik::Parse(B);
    EXPECT_FALSE(S.Writable());
    EXPECT_EQ(S.Records(), 0u);
    S.AddRun(1, Lauf({{'a', 1, 1}}));
    EXPECT_EQ(S.Bytes(), B);
  }
  // A header naming sizes too small or beyond the file.
  TBytes Small = TStatistik().Bytes();
  Small[8] = 10;
  EXPECT_FALSE(TStatistik::Parse(Small).Writable());
  TBytes Far = TStatistik().Bytes();
  Far[6] = 200;
  EXPECT_FALSE(TStatistik::Parse(Far).Writable());
  // Random records after a good header: whatever is read is consistent.
  for (uint32_t Seed = 1; Seed <= 50; ++Seed) {
    TBytes B = TStatistik().Bytes();
    const TBytes Tail = RandomBytes(Seed * 37, Seed);
    B.insert(B.end(), Tail.begin(), Tail.end());
    TStatistik S = TStatistik::Parse(B);
    for (int K = 1; K <= 4; ++K)
      for (int C = 0; C < 256; ++C) {
        const TZeichenStat Z = S.Of(K, static_cast<char>(C));
        EXPECT_LE(Z.Wrong, Z.Sent);
        EXPECT_LE(Z.Runs, static_cast<int32_t>(StatRuns));
      }
  }
}

TEST(StatFile, SavedAtomicallyWithAForeignOrUnwritableFileToldOnce) {
  TWorkDir Dir;
  TRecordingReporter Reporter;
  bool Told = false;
  bool FullTold = false;
  EXPECT_EQ(LoadStatistik().Records(), 0u);
  EXPECT_FALSE(std::filesystem::exists(StatFileName)); // reading writes nothing
  TStatistik S = LoadStatistik();
  S.AddRun(4, Lauf({{'\xFD', 5, 1}}));
  ASSERT_TRUE(SaveStatistik(S, Reporter, Told, FullTold));
  EXPECT_EQ(ReadFile(StatFileName), S.Bytes());
  EXPECT_EQ(LoadStatistik().Of(4, '\xFD').Wrong, 1);

  // A file not of this program is read as nothing and never replaced.
  const TBytes Foreign = RandomBytes(300, 3);
  WriteFile(StatFileName, Foreign);
  TStatistik F = LoadStatistik();
  F.AddRun(1, Lauf({{'a', 1, 0}}));
  EXPECT_FALSE(SaveStatistik(F, Reporter, Told, FullTold));
  EXPECT_FALSE(SaveStatistik(F, Reporter, Told, FullTold));
  EXPECT_EQ(ReadFile(StatFileName), Foreign);
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{StatNotSavedText});

  // A folder of that name cannot be written either.
  std::filesystem::remove(StatFileName);
  std::filesystem::create_directory(StatFileName);
  bool Told2 = false;
  EXPECT_FALSE(SaveStatistik(S, Reporter, Told2, FullTold));
  EXPECT_TRUE(Told2);
  EXPECT_EQ(Reporter.Messages.size(), 2u);
}

TEST(StatFile, AFullFileGrowsNoFurtherKeepsCountingWhatItHoldsAndIsToldOnce) {
  TWorkDir Dir;
  TRecordingReporter Reporter;
  bool Told = false;
  bool FullTold = false;
  // One record short of the limit, with bytes of a later version after the
  // records that must stay.
  TStatistik Start;
  Start.AddRun(1, Lauf({{'e', 5, 1}}));
  TBytes B = Start.Bytes();
  const TBytes Tail = {0xAB, 0xCD, 0xEF};
  const size_t Records = (StatMaxFileSize - B.size() - Tail.size()) / StatRecordSize;
  B.resize(B.size() + Records * StatRecordSize, 0); // course 0: invalid, kept
  B.insert(B.end(), Tail.begin(), Tail.end());
  ASSERT_LE(B.size(), StatMaxFileSize);
  ASSERT_GT(B.size() + StatRecordSize, StatMaxFileSize);
  WriteFile(StatFileName, B);

  TStatistik S = LoadStatistik();
  ASSERT_TRUE(S.Writable());
  S.AddRun(1, Lauf({{'e', 4, 2}, {'t', 3, 0}}));
  EXPECT_EQ(S.Refused(), 1u); // t has no record and no room
  EXPECT_EQ(S.Bytes().size(), B.size());
  EXPECT_TRUE(SaveStatistik(S, Reporter, Told, FullTold));
  S.AddRun(1, Lauf({{'t', 3, 0}}));
  EXPECT_TRUE(SaveStatistik(S, Reporter, Told, FullTold));
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{StatFullText});
  EXPECT_FALSE(Told);

  // What was written is read back whole: e counted, the tail kept.
  const TBytes Written = ReadFile(StatFileName);
  EXPECT_EQ(Written.size(), B.size());
  EXPECT_TRUE(std::equal(Tail.begin(), Tail.end(), Written.end() - 3));
  const TStatistik Again = LoadStatistik();
  EXPECT_EQ(Again.Of(1, 'e').Sent, 9);
  EXPECT_EQ(Again.Of(1, 'e').Wrong, 3);
  EXPECT_EQ(Again.Of(1, 't').Sent, 0);
}

TEST(StatFile, TheOptionByteKeepsItsOtherBitsAndWhatFollows) {
  TWorkDir Dir;
  TRecordingReporter Reporter;
  bool Told = false;
  EXPECT_FALSE(LoadOptionen().TypedCopy);
  EXPECT_FALSE(ParseOptionen({}).TypedCopy);
  WriteFile(OptionFileName, TBytes{0xF0, 1, 2});
  EXPECT_FALSE(LoadOptionen().TypedCopy);
  ASSERT_TRUE(SaveOptionen({true, false}, Reporter, Told));
  EXPECT_EQ(ReadFile(OptionFileName), TBytes({0xF1, 1, 2}));
  EXPECT_TRUE(LoadOptionen().TypedCopy);
  ASSERT_TRUE(SaveOptionen({false, true}, Reporter, Told));
  EXPECT_EQ(ReadFile(OptionFileName), TBytes({0xF2, 1, 2}));
  EXPECT_TRUE(LoadOptionen().WeakPractice);
  EXPECT_FALSE(LoadOptionen().TypedCopy);
  EXPECT_TRUE(Reporter.Messages.empty());
  // The practice's conditions after the option byte: an older file has
  // none, the byte and what follows are kept, a changed byte is clamped.
  EXPECT_FALSE(LoadBandOptionen().Any());
  practice::TBand Band;
  Band.Noise = true;
  Band.SnrDb = -7;
  Band.QsbDepthDb = 30;
  Band.QsbPeriodSec = 2;
  Band.Qrm = 3;
  Band.QrnPerMin = 100;
  Band.FistPct = 20;
  ASSERT_TRUE(SaveBandOptionen(Band, Reporter, Told));
  const TBytes Kept = ReadFile(OptionFileName);
  EXPECT_EQ(Kept, TBytes({0xF2, 3, 0xF9, 30, 2, 3, 100, 20}));
  EXPECT_TRUE(LoadOptionen().WeakPractice);
  const practice::TBand Back = LoadBandOptionen();
  EXPECT_TRUE(Back.Noise);
  EXPECT_EQ(std::tuple(Back.SnrDb, Back.QsbDepthDb, Back.QsbPeriodSec, Back.Qrm, Back.QrnPerMin,
                       Back.FistPct),
            std::tuple(-7, 30, 2, 3, 100, 20));
  ASSERT_TRUE(SaveOptionen({true, false}, Reporter, Told));
  EXPECT_EQ(ReadFile(OptionFileName)[0], 0xF1);
  EXPECT_EQ(LoadBandOptionen().FistPct, 20) << "the option byte's writer keeps the conditions";
  const practice::TBand Wild = ParseBandOptionen(TBytes{0, 3, 0x7F, 200, 0, 9, 250, 99});
  EXPECT_EQ(std::tuple(Wild.SnrDb, Wild.QsbDepthDb, Wild.QsbPeriodSec, Wild.Qrm, Wild.QrnPerMin,
                       Wild.FistPct),
            std::tuple(30, 30, 2, 3, 100, 20));
  std::filesystem::remove(OptionFileName);
  std::filesystem::create_directory(OptionFileName);
  EXPECT_FALSE(SaveOptionen({true}, Reporter, Told));
  EXPECT_FALSE(SaveOptionen({true}, Reporter, Told));
  EXPECT_EQ(Reporter.Messages, std::vector<std::string>{OptionNotSavedText});
}

} // namespace

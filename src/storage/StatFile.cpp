#include "storage/StatFile.h"

#include "base/Reporter.h"
#include "storage/RecordFile.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr std::array<uint8_t, 4> Magic = {'V', 'S', 'T', 'A'};

uint16_t Get16(const std::vector<uint8_t>& B, size_t At) {
  return static_cast<uint16_t>(B[At] | (B[At + 1] << 8));
}

void Put16(std::vector<uint8_t>& B, size_t At, uint32_t Value) {
  const uint32_t V = std::min<uint32_t>(Value, 0xFFFF);
  B[At] = static_cast<uint8_t>(V & 0xFF);
  B[At + 1] = static_cast<uint8_t>(V >> 8);
}

std::vector<uint8_t> NewHeader() {
  std::vector<uint8_t> H(StatHeaderSize, 0);
  std::copy(Magic.begin(), Magic.end(), H.begin());
  Put16(H, 4, StatVersion);
  Put16(H, 6, StatHeaderSize);
  Put16(H, 8, StatRecordSize);
  return H;
}

void Tell(TMessageReporter& Reporter, bool& Told, const char* Text) {
  if (Told)
    return;
  Told = true;
  Reporter.ShowMessage(Text);
}

} // namespace

TStatistik::TStatistik() : FBytes(NewHeader()) {}

TStatistik TStatistik::Parse(std::span<const uint8_t> Bytes) {
  TStatistik S;
  if (Bytes.empty())
    return S;
  S.FBytes.assign(Bytes.begin(), Bytes.end());
  const size_t Size = S.FBytes.size();
  const bool Header = Size >= StatHeaderSize &&
                      std::equal(Magic.begin(), Magic.end(), S.FBytes.begin());
  const size_t HeaderSize = Header ? Get16(S.FBytes, 6) : 0;
  const size_t RecordSize = Header ? Get16(S.FBytes, 8) : 0;
  if (!Header || HeaderSize < StatHeaderSize || HeaderSize > Size ||
      RecordSize < StatRecordSize || Size > StatMaxFileSize) {
    // Not a file of ours, or one cut short in its header: nothing of it is
    // understood, and it is kept as it is.
    S.FWritable = false;
    S.FRecordsEnd = Size;
    return S;
  }
  S.FHeaderSize = HeaderSize;
  S.FRecordSize = RecordSize;
  S.FRecordsEnd = HeaderSize + (Size - HeaderSize) / RecordSize * RecordSize;
  // The first version wrote its number; what this one writes is told by it.
  if (Get16(S.FBytes, 4) < StatVersion)
    Put16(S.FBytes, 4, StatVersion);
  S.Index();
  return S;
}

namespace {

// A record's fields, as far as they are valid.
bool ValidRecord(const std::vector<uint8_t>& B, size_t At) {
  const uint8_t Kind = B[At] >> 4;
  const uint8_t KursNr = B[At] & 0x0F;
  if (KursNr < 1 || KursNr > 4)
    return false;
  switch (Kind) {
  case 0: {
    if (B[At + 2] >= StatRuns || B[At + 3] > StatRuns)
      return false;
    for (size_t R = 0; R < StatRuns; ++R)
      if (Get16(B, At + 4 + 4 * R + 2) > Get16(B, At + 4 + 4 * R))
        return false;
    return true;
  }
  case 1:
    return B[At + 2] < StatRuns && B[At + 3] <= StatRuns;
  case 2:
    return B[At + 2] <= StatPartners;
  case 3:
    return B[At + 1] <= StatHistoryPerRecord;
  case 4:
    return B[At + 1] <= StatPracticePerRecord;
  default:
    return false;
  }
}

constexpr uint8_t Tag(uint8_t Kind, int32_t Kurs) {
  return static_cast<uint8_t>(Kind << 4 | (Kurs & 0x0F));
}
constexpr uint16_t NoReaction = 0xFFFF;

int32_t Median(std::vector<int32_t> V) {
  if (V.empty())
    return -1;
  std::sort(V.begin(), V.end());
  const size_t N = V.size();
  return N % 2 == 1 ? V[N / 2] : (V[N / 2 - 1] + V[N / 2]) / 2;
}

} // namespace

void TStatistik::Index() {
  FValid.clear();
  if (!FWritable)
    return;
  for (size_t At = FHeaderSize; At + FRecordSize <= FRecordsEnd; At += FRecordSize) {
    if (!ValidRecord(FBytes, At))
      continue;
    const uint8_t T = FBytes[At];
    // History records are all used, in file order; of the others the first
    // of each character counts.
    if ((T >> 4) == 3 || (T >> 4) == 4 ||
        Find(T, static_cast<char>(FBytes[At + 1])) == std::string::npos)
      FValid.push_back(At);
  }
}

size_t TStatistik::Records() const {
  return static_cast<size_t>(
      std::count_if(FValid.begin(), FValid.end(), [this](size_t At) { return (FBytes[At] >> 4) == 0; }));
}

size_t TStatistik::Find(uint8_t T, char Zeichen) const {
  for (const size_t At : FValid)
    if (FBytes[At] == T && FBytes[At + 1] == static_cast<uint8_t>(Zeichen))
      return At;
  return std::string::npos;
}

size_t TStatistik::NewRecord(uint8_t T, char Zeichen) {
  // The file stays one the reader takes.
  if (FBytes.size() + FRecordSize > StatMaxFileSize) {
    ++FRefused;
    return std::string::npos;
  }
  // A new record goes after the last whole one; bytes after it move on.
  const size_t At = FRecordsEnd;
  FBytes.insert(FBytes.begin() + static_cast<std::ptrdiff_t>(At), FRecordSize, uint8_t{0});
  FBytes[At] = T;
  FBytes[At + 1] = static_cast<uint8_t>(Zeichen);
  FRecordsEnd += FRecordSize;
  FValid.push_back(At);
  return At;
}

TZeichenStat TStatistik::Of(int32_t Kurs, char Zeichen) const {
  TZeichenStat Z;
  if (Kurs < 1 || Kurs > 4)
    return Z;
  const size_t At = Find(Tag(0, Kurs), Zeichen);
  if (At != std::string::npos) {
    Z.Runs = FBytes[At + 3];
    // The runs held are the slots before Next, going back.
    const size_t Next = FBytes[At + 2];
    for (size_t K = 1; K <= static_cast<size_t>(Z.Runs); ++K) {
      const size_t Slot = (Next + StatRuns - K) % StatRuns;
      Z.Sent += Get16(FBytes, At + 4 + 4 * Slot);
      Z.Wrong += Get16(FBytes, At + 4 + 4 * Slot + 2);
    }
  }
  const size_t RAt = Find(Tag(1, Kurs), Zeichen);
  if (RAt != std::string::npos) {
    std::vector<int32_t> Medians;
    std::vector<int32_t> Spreads;
    const size_t Next = FBytes[RAt + 2];
    for (size_t K = 1; K <= FBytes[RAt + 3]; ++K) {
      const size_t Slot = (Next + StatRuns - K) % StatRuns;
      const int32_t M = Get16(FBytes, RAt + 4 + 4 * Slot);
      const int32_t Sp = Get16(FBytes, RAt + 4 + 4 * Slot + 2);
      // An impossible figure is not shown as one.
      if (M > StatMaxReactionMs || Sp > StatMaxReactionMs)
        continue;
      Medians.push_back(M);
      Spreads.push_back(Sp);
    }
    Z.ReactionMs = Median(Medians);
    Z.SpreadMs = Median(Spreads);
  }
  return Z;
}

void TStatistik::AddRun(int32_t Kurs, std::span<const TStatRun> Run) {
  if (!FWritable || Kurs < 1 || Kurs > 4)
    return;
  for (const TStatRun& R : Run) {
    if (R.Sent <= 0)
      continue;
    size_t At = Find(Tag(0, Kurs), R.Zeichen);
    if (At == std::string::npos)
      At = NewRecord(Tag(0, Kurs), R.Zeichen);
    if (At == std::string::npos)
      continue;
    const size_t Next = FBytes[At + 2];
    const uint32_t Sent = static_cast<uint32_t>(R.Sent);
    Put16(FBytes, At + 4 + 4 * Next, Sent);
    Put16(FBytes, At + 4 + 4 * Next + 2, std::min(static_cast<uint32_t>(std::max(R.Wrong, 0)), Sent));
    FBytes[At + 2] = static_cast<uint8_t>((Next + 1) % StatRuns);
    FBytes[At + 3] = static_cast<uint8_t>(std::min<size_t>(FBytes[At + 3] + 1u, StatRuns));

    if (R.ReactionMs < 0 || R.ReactionMs > StatMaxReactionMs)
      continue;
    size_t RAt = Find(Tag(1, Kurs), R.Zeichen);
    if (RAt == std::string::npos)
      RAt = NewRecord(Tag(1, Kurs), R.Zeichen);
    if (RAt == std::string::npos)
      continue;
    const size_t RNext = FBytes[RAt + 2];
    Put16(FBytes, RAt + 4 + 4 * RNext, static_cast<uint32_t>(R.ReactionMs));
    Put16(FBytes, RAt + 4 + 4 * RNext + 2,
          static_cast<uint32_t>(std::clamp(R.SpreadMs, 0, StatMaxReactionMs)));
    FBytes[RAt + 2] = static_cast<uint8_t>((RNext + 1) % StatRuns);
    FBytes[RAt + 3] = static_cast<uint8_t>(std::min<size_t>(FBytes[RAt + 3] + 1u, StatRuns));
  }
}

void TStatistik::AddVerwechslung(int32_t Kurs, char Zeichen, char Als, int32_t Count) {
  if (!FWritable || Kurs < 1 || Kurs > 4 || Count <= 0 || Zeichen == Als)
    return;
  size_t At = Find(Tag(2, Kurs), Zeichen);
  if (At == std::string::npos)
    At = NewRecord(Tag(2, Kurs), Zeichen);
  if (At == std::string::npos)
    return;
  const size_t N = FBytes[At + 2];
  size_t Slot = N;
  for (size_t I = 0; I < N; ++I)
    if (FBytes[At + 4 + 4 * I] == static_cast<uint8_t>(Als))
      Slot = I;
  if (Slot == N && N == StatPartners) {
    // Full: the least frequent partner makes room.
    Slot = 0;
    for (size_t I = 1; I < N; ++I)
      if (Get16(FBytes, At + 4 + 4 * I + 2) < Get16(FBytes, At + 4 + 4 * Slot + 2))
        Slot = I;
    Put16(FBytes, At + 4 + 4 * Slot + 2, 0);
  }
  if (Slot == N)
    FBytes[At + 2] = static_cast<uint8_t>(N + 1);
  FBytes[At + 4 + 4 * Slot] = static_cast<uint8_t>(Als);
  Put16(FBytes, At + 4 + 4 * Slot + 2,
        Get16(FBytes, At + 4 + 4 * Slot + 2) + static_cast<uint32_t>(Count));
}

std::vector<TVerwechslung> TStatistik::Verwechslungen(int32_t Kurs, char Zeichen) const {
  std::vector<TVerwechslung> V;
  if (Kurs < 1 || Kurs > 4)
    return V;
  const size_t At = Find(Tag(2, Kurs), Zeichen);
  if (At == std::string::npos)
    return V;
  for (size_t I = 0; I < FBytes[At + 2]; ++I) {
    const char Als = static_cast<char>(FBytes[At + 4 + 4 * I]);
    const int32_t Count = Get16(FBytes, At + 4 + 4 * I + 2);
    if (Count > 0 && Als != Zeichen)
      V.push_back({Als, Count});
  }
  std::stable_sort(V.begin(), V.end(),
                   [](const TVerwechslung& A, const TVerwechslung& B) { return A.Count > B.Count; });
  return V;
}

namespace {
constexpr size_t LaufSize = 10;
}

std::vector<TStatLauf> TStatistik::Laeufe(int32_t Kurs) const {
  std::vector<TStatLauf> L;
  if (Kurs < 1 || Kurs > 4)
    return L;
  for (const size_t At : FValid) {
    if (FBytes[At] != Tag(3, Kurs))
      continue;
    for (size_t I = 0; I < FBytes[At + 1]; ++I) {
      const size_t E = At + 4 + LaufSize * I;
      TStatLauf R;
      R.Day = Get16(FBytes, E);
      R.UebNr = FBytes[E + 2];
      R.LektNr = FBytes[E + 3];
      R.Sent = Get16(FBytes, E + 4);
      R.Wrong = std::min<int32_t>(Get16(FBytes, E + 6), R.Sent);
      const int32_t Ms = Get16(FBytes, E + 8);
      R.ReactionMs = Ms <= StatMaxReactionMs ? Ms : -1;
      L.push_back(R);
    }
  }
  if (L.size() > StatHistoryMax)
    L.erase(L.begin(), L.end() - static_cast<std::ptrdiff_t>(StatHistoryMax));
  return L;
}

void TStatistik::AddLauf(int32_t Kurs, const TStatLauf& R) {
  if (!FWritable || Kurs < 1 || Kurs > 4)
    return;
  std::vector<uint8_t> E(LaufSize, 0);
  Put16(E, 0, static_cast<uint32_t>(std::max(R.Day, 0)));
  E[2] = static_cast<uint8_t>(std::clamp(R.UebNr, 0, 255));
  E[3] = static_cast<uint8_t>(std::clamp(R.LektNr, 0, 255));
  Put16(E, 4, static_cast<uint32_t>(std::max(R.Sent, 0)));
  Put16(E, 6, static_cast<uint32_t>(std::clamp(R.Wrong, 0, std::max(R.Sent, 0))));
  Put16(E, 8,
        R.ReactionMs >= 0 && R.ReactionMs <= StatMaxReactionMs ? static_cast<uint32_t>(R.ReactionMs)
                                                               : NoReaction);
  AppendEntry(Tag(3, Kurs), StatHistoryPerRecord, StatHistoryMax, E);
}

namespace {
constexpr size_t PracticeSize = 20;
constexpr int8_t NoNoise = -128;

uint8_t Byte(int32_t Value, int32_t Max) {
  return static_cast<uint8_t>(std::clamp(Value, 0, Max));
}
} // namespace

void TStatistik::AddPracticeLauf(int32_t Kurs, const TPracticeLauf& R) {
  if (!FWritable || Kurs < 1 || Kurs > 4)
    return;
  std::vector<uint8_t> E(PracticeSize, 0);
  Put16(E, 0, static_cast<uint32_t>(std::max(R.Day, 0)));
  Put16(E, 2, static_cast<uint32_t>(std::max(R.Sent, 0)));
  Put16(E, 4, static_cast<uint32_t>(std::clamp(R.Wrong, 0, std::max(R.Sent, 0))));
  Put16(E, 6,
        R.ReactionMs >= 0 && R.ReactionMs <= StatMaxReactionMs ? static_cast<uint32_t>(R.ReactionMs)
                                                               : NoReaction);
  E[8] = Byte(R.CharWpm, 255);
  E[9] = Byte(R.EffectiveWpm, 255);
  E[10] =
      static_cast<uint8_t>(R.Noise ? static_cast<int8_t>(std::clamp(R.SnrDb, -127, 127)) : NoNoise);
  E[11] = Byte(R.QsbDepthDb, 255);
  E[12] = Byte(R.QsbPeriodSec, 255);
  E[13] = Byte(R.Qrm, 255);
  E[14] = Byte(R.QrnPerMin, 255);
  E[15] = Byte(R.FistPct, 255);
  E[16] = Byte(R.Kind, 255);
  AppendEntry(Tag(4, Kurs), StatPracticePerRecord, StatPracticeMax, E);
}

std::vector<TPracticeLauf> TStatistik::PracticeLaeufe(int32_t Kurs) const {
  std::vector<TPracticeLauf> L;
  if (Kurs < 1 || Kurs > 4)
    return L;
  for (const std::span<const uint8_t> E : Entries(Tag(4, Kurs), PracticeSize)) {
    TPracticeLauf R;
    // A fixed-size copy: the optimiser cannot take it for a null pointer.
    std::array<uint8_t, PracticeSize> B{};
    std::copy_n(E.begin(), std::min(E.size(), B.size()), B.begin());
    const auto At16 = [&B](size_t At) { return static_cast<int32_t>(B[At] | (B[At + 1] << 8)); };
    R.Day = At16(0);
    R.Sent = At16(2);
    R.Wrong = std::min<int32_t>(At16(4), R.Sent);
    const int32_t Ms = At16(6);
    R.ReactionMs = Ms <= StatMaxReactionMs ? Ms : -1;
    R.CharWpm = B[8];
    R.EffectiveWpm = B[9];
    const auto Snr = static_cast<int8_t>(B[10]);
    R.Noise = Snr != NoNoise;
    R.SnrDb = R.Noise ? Snr : 0;
    R.QsbDepthDb = B[11];
    R.QsbPeriodSec = B[12];
    R.Qrm = B[13];
    R.QrnPerMin = B[14];
    R.FistPct = B[15];
    R.Kind = B[16];
    L.push_back(R);
  }
  if (L.size() > StatPracticeMax)
    L.erase(L.begin(), L.end() - static_cast<std::ptrdiff_t>(StatPracticeMax));
  return L;
}

std::vector<std::span<const uint8_t>> TStatistik::Entries(uint8_t T, size_t EntrySize) const {
  std::vector<std::span<const uint8_t>> All;
  for (const size_t At : FValid) {
    if (FBytes[At] != T)
      continue;
    for (size_t I = 0; I < FBytes[At + 1]; ++I)
      All.emplace_back(FBytes.data() + At + 4 + EntrySize * I, EntrySize);
  }
  return All;
}

void TStatistik::AppendEntry(uint8_t T, size_t PerRecord, size_t Max,
                             std::span<const uint8_t> Entry) {
  const size_t Size = Entry.size();
  std::vector<size_t> Held;
  for (const size_t At : FValid)
    if (FBytes[At] == T)
      Held.push_back(At);
  if (!Held.empty() && FBytes[Held.back() + 1] < PerRecord) {
    const size_t At = Held.back();
    std::copy(Entry.begin(), Entry.end(),
              FBytes.begin() + static_cast<std::ptrdiff_t>(At + 4 + Size * FBytes[At + 1]));
    ++FBytes[At + 1];
    return;
  }
  if (Held.size() * PerRecord < Max) {
    const size_t At = NewRecord(T, '\0');
    if (At == std::string::npos)
      return;
    FBytes[At + 1] = 1;
    std::copy(Entry.begin(), Entry.end(), FBytes.begin() + static_cast<std::ptrdiff_t>(At + 4));
    return;
  }
  // As long as it may be: every entry moves one back, the oldest goes.
  std::vector<uint8_t> All;
  for (const std::span<const uint8_t> E : Entries(T, Size))
    All.insert(All.end(), E.begin(), E.end());
  All.insert(All.end(), Entry.begin(), Entry.end());
  const size_t Keep = std::min(All.size() / Size, Max);
  All.erase(All.begin(), All.end() - static_cast<std::ptrdiff_t>(Keep * Size));
  size_t K = 0;
  for (const size_t At : Held) {
    const size_t N = std::min(PerRecord, Keep - std::min(K, Keep));
    FBytes[At + 1] = static_cast<uint8_t>(N);
    std::copy_n(All.begin() + static_cast<std::ptrdiff_t>(K * Size), N * Size,
                FBytes.begin() + static_cast<std::ptrdiff_t>(At + 4));
    K += N;
  }
}

int32_t TStatistik::TargetMs() const {
  const int32_t Ms = FBytes.size() >= StatHeaderSize && FWritable ? Get16(FBytes, 10) : 0;
  return Ms >= 100 && Ms <= 10000 ? Ms : StatTargetMsDefault;
}

void TStatistik::SetTargetMs(int32_t Ms) {
  if (FWritable && FBytes.size() >= StatHeaderSize)
    Put16(FBytes, 10, static_cast<uint32_t>(std::clamp(Ms, 100, 10000)));
}

int32_t StatDay(int Year, int Month, int Day) {
  // Days from civil, after H. Hinnant's algorithm.
  const int Y = Year - (Month <= 2 ? 1 : 0);
  const int Era = (Y >= 0 ? Y : Y - 399) / 400;
  const int Yoe = Y - Era * 400;
  const int Doy = (153 * (Month + (Month > 2 ? -3 : 9)) + 2) / 5 + Day - 1;
  const int Doe = Yoe * 365 + Yoe / 4 - Yoe / 100 + Doy;
  const int Days1970 = Era * 146097 + Doe - 719468;
  return Days1970 - 10957; // 2000-01-01
}

TStatistik LoadStatistik() {
  std::vector<uint8_t> Bytes;
  switch (ReadRecordBytes(StatFileName, StatMaxFileSize + 1, Bytes)) {
  case TRecordRead::Read:
    return TStatistik::Parse(Bytes);
  case TRecordRead::Missing:
    return TStatistik();
  default: {
    // There is a file, but its bytes cannot be had: not to be replaced.
    const std::array<uint8_t, 1> Foreign = {0};
    return TStatistik::Parse(Foreign);
  }
  }
}

bool SaveStatistik(const TStatistik& Stat, TMessageReporter& Reporter, bool& Told, bool& FullTold) {
  if (Stat.Writable() && Stat.Bytes().size() <= StatMaxFileSize &&
      WriteRecord(StatFileName, Stat.Bytes()) != TRecordWrite::Failed) {
    if (Stat.Refused() > 0)
      Tell(Reporter, FullTold, StatFullText);
    return true;
  }
  Tell(Reporter, Told, StatNotSavedText);
  return false;
}

TOptionen ParseOptionen(std::span<const uint8_t> Bytes) {
  TOptionen O;
  if (!Bytes.empty()) {
    O.TypedCopy = (Bytes[0] & 1u) != 0;
    O.WeakPractice = (Bytes[0] & 2u) != 0;
  }
  return O;
}

TOptionen LoadOptionen() {
  std::vector<uint8_t> Bytes;
  if (ReadRecordBytes(OptionFileName, 1, Bytes) != TRecordRead::Read)
    return {};
  return ParseOptionen(Bytes);
}

bool SaveOptionen(const TOptionen& Optionen, TMessageReporter& Reporter, bool& Told) {
  // The other bits of the byte are kept for options to come.
  std::vector<uint8_t> Old;
  uint8_t Byte = 0;
  if (ReadRecordBytes(OptionFileName, 1, Old) == TRecordRead::Read && !Old.empty())
    Byte = Old[0];
  Byte = static_cast<uint8_t>((Byte & ~3u) | (Optionen.TypedCopy ? 1u : 0u) |
                               (Optionen.WeakPractice ? 2u : 0u));
  const std::array<uint8_t, 1> Record = {Byte};
  if (WriteRecord(OptionFileName, Record) != TRecordWrite::Failed)
    return true;
  Tell(Reporter, Told, OptionNotSavedText);
  return false;
}

namespace {
constexpr size_t BandEnd = 8; // the option byte and the conditions
}

practice::TBand ParseBandOptionen(std::span<const uint8_t> Bytes) {
  practice::TBand B;
  if (Bytes.size() < BandEnd || (Bytes[1] & 1u) == 0)
    return B;
  B.Noise = (Bytes[1] & 2u) != 0;
  B.SnrDb = static_cast<int8_t>(Bytes[2]);
  B.QsbDepthDb = Bytes[3];
  B.QsbPeriodSec = Bytes[4];
  B.Qrm = Bytes[5];
  B.QrnPerMin = Bytes[6];
  B.FistPct = Bytes[7];
  // A file changed by hand may hold any byte: the nearest valid conditions.
  return B.Clamped();
}

practice::TBand LoadBandOptionen() {
  std::vector<uint8_t> Bytes;
  if (ReadRecordBytes(OptionFileName, BandEnd, Bytes) != TRecordRead::Read)
    return {};
  return ParseBandOptionen(Bytes);
}

bool SaveBandOptionen(const practice::TBand& Band, TMessageReporter& Reporter, bool& Told) {
  // The option byte and whatever follows the conditions are kept.
  std::vector<uint8_t> Record;
  if (ReadRecordBytes(OptionFileName, 1, Record) != TRecordRead::Read)
    Record.clear();
  Record.resize(BandEnd, 0);
  const practice::TBand B = Band.Clamped();
  Record[1] = static_cast<uint8_t>(1u | (B.Noise ? 2u : 0u));
  Record[2] = static_cast<uint8_t>(static_cast<int8_t>(B.SnrDb));
  Record[3] = static_cast<uint8_t>(B.QsbDepthDb);
  Record[4] = static_cast<uint8_t>(B.QsbPeriodSec);
  Record[5] = static_cast<uint8_t>(B.Qrm);
  Record[6] = static_cast<uint8_t>(B.QrnPerMin);
  Record[7] = static_cast<uint8_t>(B.FistPct);
  if (WriteRecord(OptionFileName, Record) != TRecordWrite::Failed)
    return true;
  Tell(Reporter, Told, OptionNotSavedText);
  return false;
}

#include "storage/StatFile.h"

#include "sound/Reporter.h"
#include "storage/RecordFile.h"

#include <algorithm>
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
  S.Index();
  return S;
}

void TStatistik::Index() {
  FValid.clear();
  if (!FWritable)
    return;
  for (size_t At = FHeaderSize; At + FRecordSize <= FRecordsEnd; At += FRecordSize) {
    const uint8_t KursNr = FBytes[At];
    const uint8_t Next = FBytes[At + 2];
    const uint8_t Held = FBytes[At + 3];
    bool Valid = KursNr >= 1 && KursNr <= 4 && Next < StatRuns && Held <= StatRuns;
    for (size_t R = 0; Valid && R < StatRuns; ++R)
      Valid = Get16(FBytes, At + 4 + 4 * R + 2) <= Get16(FBytes, At + 4 + 4 * R);
    if (!Valid)
      continue;
    const char Zeichen = static_cast<char>(FBytes[At + 1]);
    // A character held twice: the first record counts.
    if (Find(KursNr, Zeichen) == std::string::npos)
      FValid.push_back(At);
  }
}

size_t TStatistik::Records() const {
  return FValid.size();
}

size_t TStatistik::Find(int32_t Kurs, char Zeichen) const {
  for (const size_t At : FValid)
    if (FBytes[At] == Kurs && FBytes[At + 1] == static_cast<uint8_t>(Zeichen))
      return At;
  return std::string::npos;
}

TZeichenStat TStatistik::Of(int32_t Kurs, char Zeichen) const {
  TZeichenStat Z;
  const size_t At = Find(Kurs, Zeichen);
  if (At == std::string::npos)
    return Z;
  Z.Runs = FBytes[At + 3];
  // The runs held are the slots before Next, going back.
  const size_t Next = FBytes[At + 2];
  for (size_t K = 1; K <= static_cast<size_t>(Z.Runs); ++K) {
    const size_t Slot = (Next + StatRuns - K) % StatRuns;
    Z.Sent += Get16(FBytes, At + 4 + 4 * Slot);
    Z.Wrong += Get16(FBytes, At + 4 + 4 * Slot + 2);
  }
  return Z;
}

void TStatistik::AddRun(int32_t Kurs, std::span<const TStatRun> Run) {
  if (!FWritable || Kurs < 1 || Kurs > 4)
    return;
  for (const TStatRun& R : Run) {
    if (R.Sent <= 0)
      continue;
    size_t At = Find(Kurs, R.Zeichen);
    if (At == std::string::npos) {
      // The file stays one the reader takes.
      if (FBytes.size() + FRecordSize > StatMaxFileSize) {
        ++FRefused;
        continue;
      }
      // A new record goes after the last whole one; bytes after it move on.
      At = FRecordsEnd;
      FBytes.insert(FBytes.begin() + static_cast<std::ptrdiff_t>(At), FRecordSize, uint8_t{0});
      FBytes[At] = static_cast<uint8_t>(Kurs);
      FBytes[At + 1] = static_cast<uint8_t>(R.Zeichen);
      FRecordsEnd += FRecordSize;
      FValid.push_back(At);
    }
    const size_t Next = FBytes[At + 2];
    const uint32_t Sent = static_cast<uint32_t>(R.Sent);
    Put16(FBytes, At + 4 + 4 * Next, Sent);
    Put16(FBytes, At + 4 + 4 * Next + 2, std::min(static_cast<uint32_t>(std::max(R.Wrong, 0)), Sent));
    FBytes[At + 2] = static_cast<uint8_t>((Next + 1) % StatRuns);
    FBytes[At + 3] = static_cast<uint8_t>(std::min<size_t>(FBytes[At + 3] + 1u, StatRuns));
  }
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
  if (!Bytes.empty())
    O.TypedCopy = (Bytes[0] & 1u) != 0;
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
  Byte = static_cast<uint8_t>((Byte & ~1u) | (Optionen.TypedCopy ? 1u : 0u));
  const std::array<uint8_t, 1> Record = {Byte};
  if (WriteRecord(OptionFileName, Record) != TRecordWrite::Failed)
    return true;
  Tell(Reporter, Told, OptionNotSavedText);
  return false;
}

#include "storage/Kund.h"

#include "base/Reporter.h"
#include "sound/SoundState.h"
#include "storage/RecordFile.h"

#include <array>
#include <vector>

namespace {

std::array<uint8_t, KundSize> Bytes(const storage::TKund& K) {
  return {K.MaxLektNr, K.MaxUebNr, K.Speed, K.Ton, K.Abstand, K.Front, K.SprachNr};
}

uint8_t LowByte(int32_t Value) {
  return static_cast<uint8_t>(static_cast<uint32_t>(Value) & 0xFFu);
}

} // namespace

TRecordRead ParseKund(std::span<const uint8_t> Bytes) {
  std::array<uint8_t, KundSize> Record{};
  const TRecordRead Result = ParseRecord(Bytes, Record);
  if (Result == TRecordRead::Read)
    KundSetzen(Record[0], Record[1], Record[2], Record[3], Record[4], Record[5], Record[6]);
  return Result;
}

uint8_t SprachNrOfLocale(const QString& LocaleName) {
  const QString Language = LocaleName.section(QLatin1Char('_'), 0, 0).section(QLatin1Char('.'), 0, 0);
  if (Language == QLatin1String("de"))
    return 2;
  if (Language == QLatin1String("ru"))
    return 3;
  if (Language == QLatin1String("tr"))
    return 4;
  return 1;
}

bool LoadKund(uint8_t FirstSprachNr) {
  std::vector<uint8_t> Head;
  TRecordRead Result = ReadRecordBytes(KundFileName, KundSize, Head);
  if (Result == TRecordRead::Read)
    Result = ParseKund(Head);
  if (Result == TRecordRead::Read)
    return RecordWritable(KundFileName);
  const storage::TKund D = DefaultKund;
  KundSetzen(D.MaxLektNr, D.MaxUebNr, D.Speed, D.Ton, D.Abstand, D.Front, FirstSprachNr);
  // A file that could not be read is kept: the learner's progress may be in
  // it.
  if (Result == TRecordRead::Missing || Result == TRecordRead::Short)
    return WriteRecord(KundFileName, Bytes(storage::Kund)) != TRecordWrite::Failed;
  return RecordWritable(KundFileName);
}

void TellKundNotSaved(TMessageReporter& Reporter, bool& Told) {
  if (Told)
    return;
  // Set first: a close while the box is shown must not tell again.
  Told = true;
  Reporter.ShowMessage(KundNotSavedText);
}

TKundValues KundValuesOf(int32_t MaxLektNr, int32_t MaxUebNr) {
  TKundValues V;
  V.MaxLektNr = MaxLektNr;
  V.MaxUebNr = MaxUebNr;
  V.Speed = sound::Klang.Speed;
  V.Ton = sound::Klang.Ton;
  V.Abstand = sound::Klang.Abstand;
  V.Front = FrontOfAtacke(sound::Klang.Atacke);
  return V;
}

bool KundSpeichern(const TKundValues& Values, TMessageReporter& Reporter, bool& Told) {
  KundSetzen(LowByte(Values.MaxLektNr), LowByte(Values.MaxUebNr), LowByte(Values.Speed),
             LowByte(Values.Ton), LowByte(Values.Abstand), LowByte(Values.Front), storage::Kund.SprachNr);
  if (WriteRecord(KundFileName, Bytes(storage::Kund)) != TRecordWrite::Failed)
    return true;
  TellKundNotSaved(Reporter, Told);
  return false;
}

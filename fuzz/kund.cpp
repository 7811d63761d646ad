// CWK.dat, the learner record.
#include "FuzzCheck.h"
#include "storage/Kund.h"
#include "storage/StorageState.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  ResetStorageState();
  const storage::TKund Before = storage::Kund;
  const TRecordRead Result = ParseKund(std::span<const uint8_t>(Data, Size));
  const bool Whole = Size >= static_cast<size_t>(KundSize);
  FuzzCheck(Result == (Whole ? TRecordRead::Read : TRecordRead::Short), "wrong result");
  const storage::TKund& K = storage::Kund;
  const uint8_t Fields[] = {K.MaxLektNr, K.MaxUebNr, K.Speed, K.Ton, K.Abstand, K.Front, K.SprachNr};
  const uint8_t Old[] = {Before.MaxLektNr, Before.MaxUebNr, Before.Speed,   Before.Ton,
                         Before.Abstand,   Before.Front,    Before.SprachNr};
  for (size_t I = 0; I < static_cast<size_t>(KundSize); ++I)
    FuzzCheck(Fields[I] == (Whole ? Data[I] : Old[I]), "a field is not its byte");
  return 0;
}

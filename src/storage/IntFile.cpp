#include "storage/IntFile.h"

#include "sound/Reporter.h"
#include "sound/SoundState.h"
#include "storage/RecordFile.h"

#include <vector>

bool ParseIntFile(std::span<const uint8_t> Bytes) {
  return ParseRecord(Bytes, sound::Klang.IntervallTab) == TRecordRead::Read;
}

bool ReadIntFile(TMessageReporter& Reporter) {
  std::vector<uint8_t> Bytes;
  if (ReadRecordBytes(IntFileName, IntervallTabSize, Bytes) == TRecordRead::Read &&
      ParseIntFile(Bytes))
    return true;
  Reporter.ShowMessage("Int.mtr ist nicht gefunden!");
  return false;
}

bool WriteIntFile() {
  return WriteRecord(IntFileName, sound::Klang.IntervallTab) != TRecordWrite::Failed;
}

void LoadIntervall(int32_t SpeedPosition) {
  sound::Klang.Intervall = IntervallAt(IntervallSlot(SpeedPosition));
}

bool SaveIntAtClose(TMessageReporter& Reporter) {
  if (!sound::Klang.IntChanged)
    return true;
  // The question names the file as the program always has.
  if (!Reporter.AskYesNo("Int.dat ist gewekselt. Speichern?"))
    return true;
  if (WriteIntFile())
    return true;
  Reporter.ShowMessage(IntNotSavedText);
  return false;
}

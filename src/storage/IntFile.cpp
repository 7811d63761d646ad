#include "storage/IntFile.h"

#include "base/Reporter.h"
#include "sound/SoundState.h"
#include "storage/RecordFile.h"
#include "storage/Texts.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// Whether the file (the learner's, or the shipped one) holds the table as
// it stands.
bool FileHoldsTable() {
  std::vector<uint8_t> Bytes;
  if (ReadRecordBytes(IntFileName, IntervallTabSize, Bytes) != TRecordRead::Read ||
      Bytes.size() < sound::Klang.IntervallTab.size())
    return false;
  return std::equal(sound::Klang.IntervallTab.begin(), sound::Klang.IntervallTab.end(),
                    Bytes.begin());
}

} // namespace

std::string IntervallText(size_t I) {
  static const std::array<const char*, 5> Own{
      "", "Stored for %1 characters per minute: %2 ms added to each pause between characters.",
      "Stored in Int.mtr for every speed from 30 to 150 characters per minute.",
      "Int.dat ist gewekselt. Speichern?", "Int.mtr ist nicht gefunden!"};
  if (I >= Own.size())
    return {};
  const std::string& Text = storage::Texte.IntervallText[I];
  return Text.empty() ? std::string(Own[I]) : Text;
}

std::string WithNumbers(std::string Text, int32_t First, int32_t Second) {
  for (const auto& [Mark, Value] : {std::pair{std::string("%1"), First}, std::pair{std::string("%2"), Second}})
    for (size_t At = Text.find(Mark); At != std::string::npos; At = Text.find(Mark, At)) {
      const std::string Number = std::to_string(Value);
      Text.replace(At, Mark.size(), Number);
      At += Number.size();
    }
  return Text;
}

bool ParseIntFile(std::span<const uint8_t> Bytes) {
  std::array<uint8_t, IntervallTabSize> Table = sound::Klang.IntervallTab;
  if (ParseRecord(Bytes, Table) != TRecordRead::Read)
    return false;
  sound::SetIntervallTab(Table);
  return true;
}

bool ReadIntFile(TMessageReporter& Reporter) {
  std::vector<uint8_t> Bytes;
  if (ReadRecordBytes(IntFileName, IntervallTabSize, Bytes) == TRecordRead::Read &&
      ParseIntFile(Bytes))
    return true;
  Reporter.ShowMessage(IntervallText(4));
  return false;
}

bool WriteIntFile() {
  return WriteRecord(IntFileName, sound::Klang.IntervallTab) != TRecordWrite::Failed;
}

void LoadIntervall(int32_t SpeedPosition) {
  sound::SetIntervall(IntervallAt(IntervallSlot(SpeedPosition)));
}

bool SaveIntAtClose(TMessageReporter& Reporter) {
  if (!sound::Klang.IntChanged || FileHoldsTable())
    return true;
  if (!Reporter.AskYesNo(IntervallText(3)))
    return true;
  if (WriteIntFile())
    return true;
  Reporter.ShowMessage(IntNotSavedText);
  return false;
}

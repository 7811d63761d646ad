// An interface text file (*.lng) into the text tables.
#include "FuzzCheck.h"
#include "storage/LengFiles.h"
#include "storage/Texts.h"

#include <cstdint>
#include <span>
#include <string>

namespace {

template <size_t N> void CheckTable(const std::array<std::string, N>& Table, size_t Size) {
  FuzzCheck(Table[0].empty(), "slot 0 is used");
  for (const std::string& Text : Table)
    FuzzCheck(Text.size() <= Size && Text.find('\r') == std::string::npos,
              "a text that is not a line");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  ClearTexts();
  ParseTexts(std::span<const uint8_t>(Data, Size));
  CheckTable(storage::Texte.MenuText, Size);
  CheckTable(storage::Texte.RadiogrText, Size);
  CheckTable(storage::Texte.LektText, Size);
  CheckTable(storage::Texte.SParamText, Size);
  CheckTable(storage::Texte.ButtonsText, Size);
  CheckTable(storage::Texte.TextFormText, Size);
  CheckTable(storage::Texte.LabelText, Size);
  CheckTable(storage::Texte.MessagesText, Size);
  CheckTable(storage::Texte.CoursesText, Size);
  CheckTable(storage::Texte.HintsText, Size);
  return 0;
}

#include "course/WordList.h"

#include "base/TextFile.h"
#include "base/BareFile.h"

#include <algorithm>
#include <optional>

namespace course {

namespace {

bool IsLineEnd(uint8_t B) {
  return B == '\r' || B == '\n';
}
bool IsBlank(uint8_t B) {
  return B == ' ' || B == '\t' || B == '\f' || B == '\v';
}

} // namespace

bool LooksBinary(std::span<const uint8_t> Bytes) {
  size_t Controls = 0;
  for (const uint8_t B : Bytes) {
    if (B == 0)
      return true;
    if ((B < 0x20 && !IsLineEnd(B) && !IsBlank(B)) || B == 0x7F)
      ++Controls;
  }
  return Controls * 10 > Bytes.size() * 3;
}

TWordList ParseWordList(std::span<const uint8_t> Bytes) {
  TWordList List;
  if (Bytes.size() > PracticeFileMaxBytes) {
    List.Error = TPracticeText::TError::TooLarge;
    return List;
  }
  if (LooksBinary(Bytes)) {
    List.Error = TPracticeText::TError::Binary;
    return List;
  }
  const auto End = std::find(Bytes.begin(), Bytes.end(), static_cast<uint8_t>(CtrlZ));
  auto It = Bytes.begin();
  while (It != End) {
    const auto LineEnd = std::find_if(It, End, IsLineEnd);
    auto WordStart = std::find_if_not(It, LineEnd, IsBlank);
    const auto WordEnd = std::find_if(WordStart, LineEnd, IsBlank);
    if (WordStart != WordEnd)
      List.Words.emplace_back(WordStart, WordEnd);
    It = LineEnd == End ? End : LineEnd + 1;
  }
  if (List.Words.empty())
    List.Error = TPracticeText::TError::EmptyList;
  return List;
}

TWordList ReadWordList(const std::string& BareName) {
  // One byte over the limit tells a file too large from one just at it.
  const std::optional<std::vector<uint8_t>> Bytes =
      ReadBareFile(BareName, PracticeFileMaxBytes + 1);
  if (!Bytes) {
    TWordList Missing;
    Missing.Error = TPracticeText::TError::NoList;
    return Missing;
  }
  return ParseWordList(*Bytes);
}

} // namespace course

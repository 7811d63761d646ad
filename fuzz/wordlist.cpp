// The practice's lists (common words, abbreviations): one word a line, lines
// ending at CR, LF or CR LF, a Ctrl-Z ending the data, no binary file taken.
#include "course/WordList.h"
#include "FuzzCheck.h"
#include "base/TextFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::span<const uint8_t> Bytes(Data, Size);
  const course::TWordList List = course::ParseWordList(Bytes);
  using TError = course::TPracticeText::TError;
  FuzzCheck(List.Error == TError::None || List.Words.empty(), "words kept beside an error");
  FuzzCheck((List.Error == TError::None) != List.Words.empty(), "an empty list without its error");
  FuzzCheck(List.Error != TError::Binary || course::LooksBinary(Bytes), "text taken for binary");
  FuzzCheck(List.Error == TError::None || List.Error == TError::EmptyList ||
                List.Error == TError::Binary,
            "an error the bytes cannot give");
  const size_t Lines = static_cast<size_t>(std::count(Data, Data + Size, '\n') +
                                           std::count(Data, Data + Size, '\r')) +
                       1;
  FuzzCheck(List.Words.size() <= Lines, "more words than lines");
  size_t Total = 0;
  for (const std::string& W : List.Words) {
    FuzzCheck(!W.empty(), "an empty word");
    FuzzCheck(W.find_first_of(std::string("\r\n \t\0", 5)) == std::string::npos,
              "a word holds a break");
    FuzzCheck(W.find(CtrlZ) == std::string::npos, "a word reaches past Ctrl-Z");
    Total += W.size();
  }
  FuzzCheck(Total <= Size, "words hold more bytes than the data");
  return 0;
}

// The 8-bit text line reader under every text file: lines end at CR (a LF
// right after it belongs to the line end), a Ctrl-Z ends the data, and a line
// is cut at the cap asked for.
#include "FuzzCheck.h"
#include "base/TextFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>

namespace {

// The data bytes with every line end taken out: what the lines, read whole,
// add up to.
std::string WithoutLineEnds(std::span<const uint8_t> Bytes) {
  std::string Out;
  for (size_t I = 0; I < Bytes.size(); ++I) {
    if (Bytes[I] == '\r') {
      if (I + 1 < Bytes.size() && Bytes[I + 1] == '\n')
        ++I;
      continue;
    }
    Out += static_cast<char>(Bytes[I]);
  }
  return Out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::span<const uint8_t> Bytes(Data, Size);
  const auto Z = std::find(Bytes.begin(), Bytes.end(), static_cast<uint8_t>(CtrlZ));
  const std::span<const uint8_t> Before = Bytes.first(static_cast<size_t>(Z - Bytes.begin()));
  const size_t LineEnds = static_cast<size_t>(std::count(Before.begin(), Before.end(), '\r'));

  for (const size_t Cap : {size_t{0}, size_t{1}, size_t{11}, size_t{30}, DefaultLineMax,
                           std::numeric_limits<size_t>::max()}) {
    TTextReader Reader;
    Reader.OpenBytes(Bytes);
    size_t Lines = 0;
    std::string Whole;
    while (!Reader.Eof()) {
      const std::string Line = Reader.ReadLine(Cap);
      FuzzCheck(Line.size() <= Cap, "a line is longer than its cap");
      FuzzCheck(Line.find('\r') == std::string::npos, "a line holds its line end");
      FuzzCheck(Line.find(CtrlZ) == std::string::npos, "a line reaches past Ctrl-Z");
      FuzzCheck(++Lines <= Size, "more lines than bytes");
      Whole += Line;
    }
    FuzzCheck(Lines == LineEnds || Lines == LineEnds + 1, "lines do not match the line ends");
    FuzzCheck(Reader.ReadLine(Cap).empty(), "a line after the end");
    if (Cap == std::numeric_limits<size_t>::max())
      FuzzCheck(Whole == WithoutLineEnds(Before), "whole lines lose or gain bytes");
  }
  return 0;
}

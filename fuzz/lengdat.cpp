// Leng.dat, the interface text file of each layout, one name a line.
#include "FuzzCheck.h"
#include "storage/LengFiles.h"

#include <cstdint>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::span<const uint8_t> Bytes(Data, Size);
  for (int32_t N = -1; N <= 6; ++N) {
    const std::string Name = ParseLengDat(Bytes, N);
    FuzzCheck(Name.size() <= Size && Name.find('\r') == std::string::npos,
              "a name that is not a line");
    if (N < 1)
      FuzzCheck(Name.empty(), "a name for no line");
  }
  return 0;
}

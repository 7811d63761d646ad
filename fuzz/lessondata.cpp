// LD.dat, the teaching order of each layout, one line each.
#include "FuzzCheck.h"
#include "course/LessonData.h"
#include "base/TextFile.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::span<const uint8_t> Bytes(Data, Size);
  bool Had = true;
  // Below 1, the four layouts and past them.
  for (int32_t SprachNr = -1; SprachNr <= 6; ++SprachNr) {
    const std::optional<std::string> Order = ParseLessonData(Bytes, SprachNr);
    if (SprachNr <= 1)
      FuzzCheck(Order.has_value(), "the first line is always there");
    // A file that lacks a line lacks every later one.
    FuzzCheck(Had || !Order, "a line after a missing one");
    Had = Order.has_value();
    if (Order)
      FuzzCheck(Order->size() <= DefaultLineMax && Order->find('\r') == std::string::npos,
                "an order longer than a line");
  }
  return 0;
}

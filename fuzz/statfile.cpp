// Stat.dat, the per-character statistics.
#include "FuzzCheck.h"
#include "storage/StatFile.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::span<const uint8_t> In(Data, Size);
  TStatistik S = TStatistik::Parse(In);
  // A file is never cut: what is written starts with every byte read.
  FuzzCheck(S.Bytes().size() >= Size, "bytes lost");
  if (Size > 0)
    FuzzCheck(std::equal(In.begin(), In.end(), S.Bytes().begin()) || S.Writable(),
              "a foreign file changed");
  for (int32_t K = 1; K <= 4; ++K)
    for (int C = 0; C < 256; ++C) {
      const TZeichenStat Z = S.Of(K, static_cast<char>(C));
      FuzzCheck(Z.Wrong <= Z.Sent && Z.Runs <= static_cast<int32_t>(StatRuns), "figures out of range");
    }
  // A run added reads back from the new bytes.
  const size_t Before = S.Records();
  const TStatRun Run[] = {{'e', 3, 1}};
  const int32_t Had = S.Of(1, 'e').Sent;
  S.AddRun(1, Run);
  if (S.Writable()) {
    // Never more than the reader takes; a full file leaves a new character out.
    FuzzCheck(S.Bytes().size() <= StatMaxFileSize, "grown beyond its reader");
    const TStatistik Again = TStatistik::Parse(S.Bytes());
    FuzzCheck(Again.Records() >= Before, "records lost");
    FuzzCheck(Again.Of(1, 'e').Runs >= 1 || S.Refused() > 0, "run not kept");
    FuzzCheck(Again.Of(1, 'e').Sent <= Had + 3, "run counted twice");
  } else {
    FuzzCheck(S.Bytes().size() == Size || Size == 0, "a file not to be written changed");
  }
  return 0;
}
